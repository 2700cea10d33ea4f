# SPDX-License-Identifier: MIT
# The program's texts are GBK bytes. They are written in UTF-8 in a list file
# (one "name = text" per line) and turned into a header of GBK byte literals
# at build time with iconv, so no source file has to hold raw GBK.
function(add_gbk_texts target listfile namespace)
  get_filename_component(listpath ${listfile} ABSOLUTE)
  set(header ${CMAKE_CURRENT_BINARY_DIR}/${namespace}texts.h)
  add_custom_command(
    OUTPUT ${header}
    COMMAND ${CMAKE_COMMAND} -DLIST=${listpath} -DHEADER=${header} -DNAMESPACE=${namespace}
            -P ${PROJECT_SOURCE_DIR}/cmake/gbktextsgen.cmake
    DEPENDS ${listpath} ${PROJECT_SOURCE_DIR}/cmake/gbktextsgen.cmake
    COMMENT "Generating GBK texts ${namespace}texts.h")
  target_sources(${target} PRIVATE ${header})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
