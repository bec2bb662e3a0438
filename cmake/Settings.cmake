# Build settings: where the services live and how the client certificate is chosen.
# Defaults are the production values; tests point transports elsewhere at run time.
set(ZELVOR_REGISTER_HOST "https://api.kreptd.gitd.gov.pl:8447" CACHE STRING "Register endpoint (scheme, host, port)")
set(ZELVOR_REGISTER_NS_HOST "http://kreptd.gitd.gov.pl" CACHE STRING "Host part of the register's XML namespaces")
set(ZELVOR_VIES_URL "http://ec.europa.eu/taxation_customs/vies/services/zelvorService" CACHE STRING "VAT check endpoint")
set(ZELVOR_VIES_NS "urn:ec.europa.eu:taxud:vies:services:zelvor:types" CACHE STRING "VAT check types namespace (the interface namespace followed by \":types\")")
set(ZELVOR_CERT_DISPLAY_NAME "KREPTD" CACHE STRING "Client certificate selector: display name")
set(ZELVOR_CERT_ISSUER "local;gitd;GITD SUB03 CA" CACHE STRING "Client certificate selector: issuer")
set(ZELVOR_CERT_SUBJECT "" CACHE STRING "Client certificate selector: subject")
set(ZELVOR_CERT_SERIAL "" CACHE STRING "Client certificate selector: serial number")
set(ZELVOR_REGISTER_CONNECTIONS "1" CACHE STRING "Records the window's batch jobs look up at once, each on a register connection of its own (1 to 8)")
if(NOT ZELVOR_REGISTER_CONNECTIONS MATCHES "^[1-8]$")
  message(FATAL_ERROR "ZELVOR_REGISTER_CONNECTIONS must be a number from 1 to 8, not '${ZELVOR_REGISTER_CONNECTIONS}'")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/build_settings.h.in ${CMAKE_BINARY_DIR}/generated/zelvor/build_settings.h @ONLY)
add_library(zelvor_build_settings INTERFACE)
target_include_directories(zelvor_build_settings INTERFACE ${CMAKE_BINARY_DIR}/generated)
