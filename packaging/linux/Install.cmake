# What `cmake --install` puts under the prefix on Linux, and the Debian package
# CPack makes of it (cpack -G DEB). Included from the top CMakeLists.txt.
include(GNUInstallDirs)

set(TARNWICK_APP_ID org.tarnwick.Tarnwick)
set(TARNWICK_HOMEPAGE "https://tarnwick.org" CACHE STRING
    "The project's home page; the AppStream screenshot is <home page>/docs/window.png")

install(TARGETS tarnwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${TARNWICK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${CMAKE_CURRENT_LIST_DIR}/${TARNWICK_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${TARNWICK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${TARNWICK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

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
set(CPACK_PACKAGE_HOMEPAGE_URL ${TARNWICK_HOMEPAGE})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Tarnwick developers")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The summary above is the first line of the package's description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarnwick keeps the plain texts you copy in a history list and pastes the Nth\n\
most recent one when you press an enabled modifier key plus a digit. It sits in\n\
the system tray and works with X11 (through XWayland in a Wayland session).")
# dpkg-shlibdeps finds the libraries the binary links; Qt loads its X11
# platform plugin at run time, which no link names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")
include(CPack)
