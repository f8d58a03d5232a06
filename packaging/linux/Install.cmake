# SPDX-License-Identifier: MIT
# What `cmake --install` puts under the prefix on Linux, and the Debian package
# CPack makes of it (cpack -G DEB). Included from the top CMakeLists.txt.
include(GNUInstallDirs)

set(TARNWICK_APP_ID org.tarnwick.Tarnwick)
# The one setting a packager of another copy of the repository changes: its
# public address. The AppStream home page, bug tracker and screenshot, the
# manual page's reference and the package's Homepage all come from it; the
# screenshot is the README's picture as the forge serves the default branch's
# raw file at <address>/raw/HEAD/docs/window.png (GitHub does).
set(TARNWICK_PUBLIC_URL "https://github.com/tarnwick/tarnwick" CACHE STRING
    "The repository's public address (no trailing slash)")
set(TARNWICK_SCREENSHOT_URL "${TARNWICK_PUBLIC_URL}/raw/HEAD/docs/window.png")
# Who answers for the Debian package: its Maintainer field and changelog.
set(TARNWICK_MAINTAINER "The Tarnwick developers <developers@tarnwick.org>" CACHE STRING
    "The Debian package's maintainer, as \"Name <address>\"")

install(TARGETS tarnwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${TARNWICK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${CMAKE_CURRENT_LIST_DIR}/${TARNWICK_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${TARNWICK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${TARNWICK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page: version and date filled in, compressed as Debian wants it
# (gzip -9n: no name or time stamp inside, so the bytes depend only on the
# text). Built with the program, since the package installs what is built.
set(TARNWICK_MAN_DIR ${CMAKE_BINARY_DIR}/man)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tarnwick.1.in ${TARNWICK_MAN_DIR}/tarnwick.1 @ONLY)
find_program(TARNWICK_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${TARNWICK_MAN_DIR}/tarnwick.1.gz
  COMMAND ${TARNWICK_GZIP} -9nkf ${TARNWICK_MAN_DIR}/tarnwick.1
  DEPENDS ${TARNWICK_MAN_DIR}/tarnwick.1
  COMMENT "Compressing the manual page" VERBATIM)
add_custom_target(tarnwick_manpage DEPENDS ${TARNWICK_MAN_DIR}/tarnwick.1.gz)
add_dependencies(tarnwick tarnwick_manpage)
install(FILES ${TARNWICK_MAN_DIR}/tarnwick.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# /usr/share/doc/tarnwick: the copyright file in Debian's machine-readable
# format, its licence text taken from LICENSE, and the changelog a Debian
# native package carries (one entry: this release; NEWS.md lists the changes).
set(TARNWICK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE TARNWICK_LICENSE)
if(NOT TARNWICK_LICENSE MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(.+)$")
  message(FATAL_ERROR "LICENSE: expected the title, the copyright line and the licence text")
endif()
set(TARNWICK_COPYRIGHT_HOLDERS "${CMAKE_MATCH_1}")
set(TARNWICK_LICENSE_TEXT "${CMAKE_MATCH_2}")
string(STRIP "${TARNWICK_LICENSE_TEXT}" TARNWICK_LICENSE_TEXT)
# A field's continuation lines start with a space; an empty line is " .".
string(REPLACE "\n\n" "\n.\n" TARNWICK_LICENSE_TEXT "${TARNWICK_LICENSE_TEXT}")
string(REPLACE "\n" "\n " TARNWICK_LICENSE_TEXT "${TARNWICK_LICENSE_TEXT}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/doc/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tarnwick
Upstream-Contact: ${TARNWICK_MAINTAINER}
Source: ${TARNWICK_PUBLIC_URL}

Files: *
Copyright: ${TARNWICK_COPYRIGHT_HOLDERS}
License: Expat
Comment: The MIT licence (SPDX identifier MIT), which Debian calls Expat.

License: Expat
 ${TARNWICK_LICENSE_TEXT}
")
install(FILES ${CMAKE_BINARY_DIR}/doc/copyright DESTINATION ${TARNWICK_DOC_DIR})

execute_process(COMMAND date -u -R -d "${TARNWICK_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE TARNWICK_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog CONTENT
"tarnwick (${PROJECT_VERSION}) unstable; urgency=medium

  * Release ${PROJECT_VERSION}. The changes are listed in NEWS.md in the source.

 -- ${TARNWICK_MAINTAINER}  ${TARNWICK_RELEASE_DATE_RFC2822}
")
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
  COMMAND ${TARNWICK_GZIP} -9nkf ${CMAKE_BINARY_DIR}/doc/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog
  COMMENT "Compressing the package's changelog" VERBATIM)
add_custom_target(tarnwick_changelog DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_dependencies(tarnwick tarnwick_changelog)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${TARNWICK_DOC_DIR})

# The PNG sizes are committed renders of the SVG (tools/render-icons.sh).
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/hicolor/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${TARNWICK_APP_ID}.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/assets/logo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${TARNWICK_APP_ID}.svg)

# The package installs whatever is already built: `cpack` must not build
# every test and benchmark first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "The Tarnwick developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "clipboard history: paste any of the last ten copied texts with a key stroke")
set(CPACK_PACKAGE_HOMEPAGE_URL ${TARNWICK_PUBLIC_URL})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TARNWICK_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The summary above is the first line of the package's description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarnwick keeps the plain texts you copy in a history list and pastes the Nth\n\
most recent one when you press an enabled modifier key plus a digit. It sits in\n\
the system tray and works with X11, and with Wayland compositors that offer\n\
data-control (elsewhere through XWayland).")
# dpkg-shlibdeps finds the libraries the binary links; Qt loads its X11
# platform plugin at run time, which no link names, and its Wayland one where
# Tarnwick uses Wayland (without it the window goes through XWayland).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, qt6-wayland")
include(CPack)
