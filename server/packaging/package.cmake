# The server's files, component "server", left out of a plain
# `cmake --install` (the game's tree); `cpack -G DEB` makes the
# vermix-server package from them beside the game's (packaging/install.cmake).
set(VERMIX_SERVER_PACKAGING ${CMAKE_SOURCE_DIR}/server/packaging)
install(TARGETS vermix-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  COMPONENT server EXCLUDE_FROM_ALL)
install(FILES ${VERMIX_SERVER_PACKAGING}/vermix-server.service
  DESTINATION lib/systemd/system COMPONENT server EXCLUDE_FROM_ALL)
install(FILES ${VERMIX_SERVER_PACKAGING}/vermix-server.conf
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vermix-server COMPONENT server
  EXCLUDE_FROM_ALL)

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME vermix-server)
set(CPACK_DEBIAN_SERVER_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_SHLIBDEPS ON)
# useradd, and deb-systemd-helper for the service's state.
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "passwd, init-system-helpers")
set(CPACK_COMPONENT_SERVER_DESCRIPTION
  "online server of Vermix 2D\\\\3D\n\
Rooms by invite code, a relay between the two players of a room and the\n\
spectators' streams, over UDP and WebSocket, with a health and figures page.\n\
Runs as a systemd service under its own user.")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
  ${VERMIX_SERVER_PACKAGING}/postinst
  ${VERMIX_SERVER_PACKAGING}/prerm
  ${VERMIX_SERVER_PACKAGING}/postrm)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION ON)
