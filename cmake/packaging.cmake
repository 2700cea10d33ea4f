# Installed layout and the Debian package.
#
# The program finds its card pictures in pkp/ beside its own file (through
# /proc/self/exe), so both go into one private folder and the command on the
# PATH is a relative symlink to the program: the kernel resolves it, and the
# package stays relocatable.

set(KELMORA_PACKAGE_MAINTAINER "Kelmora maintainers <maintainers@users.noreply.c-seed-4cfb42af.example>"
    CACHE STRING "Maintainer field of the Debian package")

# Directories made by the install step, whatever the umask of whoever builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  # No symlinks or desktop files there: the program and its pictures share bin/.
  install(TARGETS kelmora RUNTIME DESTINATION bin)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/pkp/ DESTINATION bin/pkp FILES_MATCHING PATTERN "*.jpg")
  return()
endif()

# lib/, not the multiarch libdir: the folder holds a program and its data, not libraries.
set(kelmora_private_dir lib/kelmora)
install(TARGETS kelmora RUNTIME DESTINATION ${kelmora_private_dir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/pkp/ DESTINATION ${kelmora_private_dir}/pkp
        FILES_MATCHING PATTERN "*.jpg")

# Made once at configure time; install() copies a symlink as a symlink.
set(kelmora_launcher ${PROJECT_BINARY_DIR}/packaging/kelmora)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
file(CREATE_LINK ../${kelmora_private_dir}/kelmora ${kelmora_launcher} SYMBOLIC)
install(FILES ${kelmora_launcher} DESTINATION bin)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/kelmora.desktop DESTINATION share/applications)
foreach(size IN ITEMS 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/game/builtin/icon${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME kelmora.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make 24 from four playing cards")
# Line breaks kept: the control file wants lines of under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "A small desktop drill in mental arithmetic. Four playing cards are dealt
at random; build an expression from their ranks with + - * / and brackets
whose value is exactly 24, before the 100-second countdown runs out.
The texts of the game are in Simplified Chinese.")
set(CPACK_PACKAGE_CONTACT "${KELMORA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELMORA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries the program links are found by dpkg-shlibdeps; the loader cannot
# see the rest. Qt loads its xcb platform plugin at run time and aborts
# without it. Any CJK font makes the Chinese texts readable (fontconfig falls
# back to it); the two AR PL faces are the song and kai faces the labels ask for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-arphic-uming | fonts-wqy-zenhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-uming, fonts-arphic-ukai")
include(CPack)
