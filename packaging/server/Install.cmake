# The service's own install: the program and its systemd unit, in the component "server", so that
# packages keep it apart from the desktop app.
include(GNUInstallDirs)
install(TARGETS tender-server COMPONENT server)
install(CODE "set(TENDER_SERVICE_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/tender-server.service.in\")
set(TENDER_BINDIR \"${CMAKE_INSTALL_BINDIR}\")" COMPONENT server)
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallServiceUnit.cmake COMPONENT server)
