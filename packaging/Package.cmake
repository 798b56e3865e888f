# `cpack` in the build directory makes tender_<version>_<arch>.deb: the app,
# tender-cli and tender-server installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tender)
set(CPACK_PACKAGE_CONTACT "Tender developers <dev@tender.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tell people you think of them: a tray heart that makes their screen glow")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Staged with DESTDIR, so the install step writes the entry for /usr and registers nothing on the builder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The QML modules the views import are loaded at run time, so dpkg-shlibdeps
# cannot see them (the X11 platform plugin comes with libqt6gui6).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-templates, qml6-module-qtquick-layouts, qml6-module-qtqml-workerscript")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_CURRENT_LIST_DIR}/debian/postinst;${CMAKE_CURRENT_LIST_DIR}/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
