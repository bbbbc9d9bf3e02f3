# Installs the server's systemd unit and its settings file for the prefix
# being installed to: /etc for /usr (the package), PREFIX/etc otherwise.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(etc /etc)
else()
  set(etc ${CMAKE_INSTALL_PREFIX}/etc)
endif()
set(VORLAN_SERVICE_ENVFILE ${etc}/default/vorlan-server)
set(VORLAN_SERVER_PROGRAM ${CMAKE_INSTALL_PREFIX}/${VORLAN_BINDIR}/vorlan-server)
configure_file(${VORLAN_TEMPLATE} ${VORLAN_STAGE}/vorlan-server.service @ONLY)
file(INSTALL ${VORLAN_STAGE}/vorlan-server.service
  DESTINATION ${CMAKE_INSTALL_PREFIX}/lib/systemd/system)
file(INSTALL ${VORLAN_DEFAULTS} DESTINATION ${etc}/default RENAME vorlan-server)
