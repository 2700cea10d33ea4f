# SPDX-License-Identifier: MIT
# Include roots per library. Each library names the headers it offers; they
# are linked into a folder of its own under the build tree, in the path they
# are included by ("window/lifecycle.h"), and that folder is the library's
# only public include directory. A target sees the headers of the libraries
# it links and nothing else: the game cannot reach the Qt backend's widgets
# or the window layer's private state, and the core cannot reach the backend.
function(add_public_headers target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  foreach(header IN LISTS ARGN)
    get_filename_component(source ${header} ABSOLUTE)
    get_filename_component(name ${header} NAME)
    file(MAKE_DIRECTORY ${root}/${folder})
    file(CREATE_LINK ${source} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
