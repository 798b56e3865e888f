# `cpack` in the build directory makes two Debian packages, both installing under /usr:
# tender_<version>_<arch>.deb (the app and tender-cli) and tender-server_<version>_<arch>.deb
# (the service and its systemd unit), so that a desktop install brings no server.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tender)
set(CPACK_PACKAGE_CONTACT "Tender developers <dev@tender.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Staged with DESTDIR, so the install step writes the entry for /usr and registers nothing on the builder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE) # a package per component, even when only one is built
set(CPACK_COMPONENTS_ALL)
if(TENDER_BUILD_APP)
  list(APPEND CPACK_COMPONENTS_ALL app)
endif()
if(TENDER_BUILD_SERVER)
  list(APPEND CPACK_COMPONENTS_ALL server)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_APP_PACKAGE_NAME tender)
set(CPACK_COMPONENT_APP_DESCRIPTION "Tell people you think of them: a tray heart that makes their screen glow")
# The QML modules the views import are loaded at run time, so dpkg-shlibdeps
# cannot see them (the X11 platform plugin comes with libqt6gui6).
set(CPACK_DEBIAN_APP_PACKAGE_DEPENDS "qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-templates, qml6-module-qtquick-layouts, qml6-module-qtqml-workerscript")
set(CPACK_DEBIAN_APP_PACKAGE_RECOMMENDS "xdg-utils, desktop-file-utils")
set(CPACK_DEBIAN_APP_PACKAGE_CONTROL_EXTRA "${CMAKE_CURRENT_LIST_DIR}/debian/postinst;${CMAKE_CURRENT_LIST_DIR}/debian/postrm")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME tender-server)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "The Tender service: REST API, live streams, sign-in and invite pages")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
  "${CMAKE_CURRENT_LIST_DIR}/server/postinst;${CMAKE_CURRENT_LIST_DIR}/server/prerm;${CMAKE_CURRENT_LIST_DIR}/server/postrm")
include(CPack)
