# SPDX-License-Identifier: MIT
# Files compiled into a program as byte arrays: a header of
# `inline constexpr unsigned char name[]` in `namespace`, one array a file,
# named for the file with every other character than a letter or digit
# turned into "_" (ace.jpg: ace_jpg). No resource system is needed to read
# them, on any platform.
function(add_embedded_files target header namespace)
  set(files)
  foreach(file IN LISTS ARGN)
    get_filename_component(path ${file} ABSOLUTE)
    list(APPEND files ${path})
  endforeach()
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}_embedded)
  set(output ${folder}/${header})
  # A list would be split into separate shell words.
  string(REPLACE ";" "|" joined "${files}")
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} "-DFILES=${joined}" -DHEADER=${output} -DNAMESPACE=${namespace}
            -P ${PROJECT_SOURCE_DIR}/cmake/embedgen.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/embedgen.cmake
    COMMENT "Embedding ${header}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
  target_include_directories(${target} PRIVATE ${folder})
endfunction()
