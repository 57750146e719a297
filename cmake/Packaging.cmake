# Install rules for the desktop integration files, and the Debian package.

set(TAVELOR_APP_ID io.github.tavelor.Tavelor)

install(FILES ${PROJECT_SOURCE_DIR}/data/tavelor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/tavelor.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME ${TAVELOR_APP_ID}.metainfo.xml)

# Debian wants manual pages and the changelog compressed, reproducibly (-n).
find_program(GZIP_EXE gzip REQUIRED)
set(TAVELOR_MAN_GZ ${PROJECT_BINARY_DIR}/tavelor.1.gz)
set(TAVELOR_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${TAVELOR_MAN_GZ}
    COMMAND ${GZIP_EXE} -9nc ${PROJECT_SOURCE_DIR}/data/tavelor.1 > ${TAVELOR_MAN_GZ}
    DEPENDS ${PROJECT_SOURCE_DIR}/data/tavelor.1 VERBATIM)
add_custom_command(OUTPUT ${TAVELOR_CHANGELOG_GZ}
    COMMAND ${GZIP_EXE} -9nc ${PROJECT_SOURCE_DIR}/data/changelog > ${TAVELOR_CHANGELOG_GZ}
    DEPENDS ${PROJECT_SOURCE_DIR}/data/changelog VERBATIM)
add_custom_target(tavelor_docs ALL DEPENDS ${TAVELOR_MAN_GZ} ${TAVELOR_CHANGELOG_GZ})
install(FILES ${TAVELOR_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TAVELOR_CHANGELOG_GZ} ${PROJECT_SOURCE_DIR}/data/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavelor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavelor)
set(CPACK_PACKAGE_VENDOR "The Tavelor developers")
set(CPACK_PACKAGE_CONTACT "The Tavelor developers <tavelor@tavelor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "save and restore the layout of application windows")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavelor is a small tray utility that saves where every application's windows\n\
are and how large they are, as named layout profiles, and puts them back: from\n\
its tray menu, or from any application with one global shortcut that applies\n\
the active profile. It works with X11 windows, and with XWayland windows\n\
under Wayland.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt platform plugin that draws on X11 is a plugin, invisible to shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
