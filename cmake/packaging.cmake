# SPDX-License-Identifier: MIT
# Installed layout and the Debian package.
#
# The program finds its card pictures in pkp/ beside its own file (through
# /proc/self/exe), so it lives in a private folder with pkp/ beside it, and
# the command on the PATH is a relative symlink to the program: the kernel
# resolves it, and the package stays relocatable.

set(KELMORA_PACKAGE_MAINTAINER "Kelmora maintainers <maintainers@users.noreply.c-seed-4cfb42af.example>"
    CACHE STRING "Maintainer field of the Debian package")
# The project has no public home yet: a reserved example domain stands in, so
# no one else's site is named. Set it once there is one (ending in /) and
# publish docs/screenshot.png there: software centres fetch it from AppStream.
set(KELMORA_HOMEPAGE "https://kelmora.example/" CACHE STRING "Home page of the game, ending in /")
set(kelmora_screenshot_url "${KELMORA_HOMEPAGE}screenshot.png")
# Debian keeps games out of bin/ (its PATH has /usr/games and /usr/local/games).
set(KELMORA_COMMAND_DIR games CACHE STRING "Folder of the kelmora command, relative to the prefix")
# Reverse-DNS name of the desktop entry and the AppStream component.
set(kelmora_app_id example.kelmora.kelmora)

# Directories made by the install step, whatever the umask of whoever builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  # One folder holds everything: the program, pkp\ beside it, where it looks
  # for the cards, a read-me and the licence. It ships as a zip to unpack
  # anywhere and as an installer (packaging/windows/NSIS.template.in).
  install(TARGETS kelmora RUNTIME DESTINATION .)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/pkp/ DESTINATION pkp FILES_MATCHING PATTERN "*.jpg")
  # Windows line ends, so that every Notepad shows the lines.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in
                 ${PROJECT_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt
          DESTINATION .)

  # The installer wears the program's icon.
  set(kelmora_icon ${PROJECT_SOURCE_DIR}/game/builtin/kelmora.ico)

  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_NAME kelmora)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_VENDOR "The Kelmora authors")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make 24 from four playing cards")
  set(CPACK_PACKAGE_FILE_NAME kelmora-${PROJECT_VERSION}-win64)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
  # Program Files\Kelmora, and the key of its Add/Remove programs entry.
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Kelmora)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Kelmora)
  set(CPACK_NSIS_DISPLAY_NAME "Kelmora小游戏")
  set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
  set(CPACK_NSIS_MUI_ICON ${kelmora_icon})
  set(CPACK_NSIS_MUI_UNIICON ${kelmora_icon})
  set(CPACK_NSIS_URL_INFO_ABOUT "${KELMORA_HOMEPAGE}")
  # CPack takes NSIS.template.in from the module path before its own.
  list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
  include(CPack)
  return()
endif()

# lib/, not the multiarch libdir: the folder holds a program and its data, not libraries.
set(kelmora_private_dir lib/kelmora)
install(TARGETS kelmora RUNTIME DESTINATION ${kelmora_private_dir})
# The pictures are the same on every architecture, so they live in share/;
# a relative link puts them beside the program, where it looks for them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/pkp/ DESTINATION share/kelmora/pkp
        FILES_MATCHING PATTERN "*.jpg")

# Links made once at configure time; install() copies a symlink as a symlink.
set(kelmora_launcher ${PROJECT_BINARY_DIR}/packaging/kelmora)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
file(RELATIVE_PATH kelmora_target /prefix/${KELMORA_COMMAND_DIR} /prefix/${kelmora_private_dir}/kelmora)
file(CREATE_LINK ${kelmora_target} ${kelmora_launcher} SYMBOLIC)
install(FILES ${kelmora_launcher} DESTINATION ${KELMORA_COMMAND_DIR})
file(CREATE_LINK ../../share/kelmora/pkp ${PROJECT_BINARY_DIR}/packaging/pkp SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/packaging/pkp DESTINATION ${kelmora_private_dir})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${kelmora_app_id}.desktop DESTINATION share/applications)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${kelmora_app_id}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${kelmora_app_id}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${kelmora_app_id}.metainfo.xml DESTINATION share/metainfo)
foreach(size IN ITEMS 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/game/builtin/icon${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME kelmora.png)
endforeach()

# The manual page and the changelog go in gzip-compressed, without a time
# stamp or a name in the header, so that two builds give the same bytes.
find_program(KELMORA_GZIP gzip REQUIRED)
set(kelmora_compressed)
foreach(doc IN ITEMS kelmora.6 changelog)
  set(compressed ${PROJECT_BINARY_DIR}/packaging/${doc}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/${doc} ${PROJECT_BINARY_DIR}/packaging/${doc}
    COMMAND ${KELMORA_GZIP} -9nf ${PROJECT_BINARY_DIR}/packaging/${doc}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${doc}
    VERBATIM)
  list(APPEND kelmora_compressed ${compressed})
endforeach()
add_custom_target(kelmora_docs ALL DEPENDS ${kelmora_compressed})
install(FILES ${PROJECT_BINARY_DIR}/packaging/kelmora.6.gz DESTINATION share/man/man6)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION share/doc/kelmora)
# Tags lintian reports that are meant so, each with its reason: only in the
# Debian package, which installs everything plus this "debian" component.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kelmora.lintian-overrides
        DESTINATION share/lintian/overrides RENAME kelmora COMPONENT debian EXCLUDE_FROM_ALL)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};kelmora;Unspecified;/"
                                 "${PROJECT_BINARY_DIR};kelmora;debian;/")

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
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KELMORA_HOMEPAGE}")
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
