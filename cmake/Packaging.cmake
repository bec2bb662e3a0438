# Installing Zelvor and its Debian package: the window and the runner in bin, the desktop entry,
# icon, AppStream metainfo, manual pages and the package's own documents. `cpack -G DEB` in a
# build folder makes zelvor_<version>_amd64.deb; scripts/package does it all.
include(GNUInstallDirs)

set(ZELVOR_RELEASE_DATE "2026-12-10")
set(ZELVOR_PACKAGE_MAINTAINER "Zelvor <packaging@zelvor.pl>" CACHE STRING
    "Maintainer of the Debian package: name and e-mail address")

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)
configure_file(${packaging}/pl.zelvor.Zelvor.metainfo.xml.in
               ${generated}/pl.zelvor.Zelvor.metainfo.xml @ONLY)

# Manual pages and the changelog are installed compressed, made reproducibly (gzip -n).
set(compressed)
foreach(page zelvor.1 zelvor-cli.1 changelog)
  configure_file(${packaging}/${page}.in ${generated}/${page} @ONLY)
  add_custom_command(OUTPUT ${generated}/${page}.gz
                     COMMAND gzip -9n -c ${generated}/${page} > ${generated}/${page}.gz
                     DEPENDS ${generated}/${page} VERBATIM)
  list(APPEND compressed ${generated}/${page}.gz)
endforeach()
add_custom_target(zelvor_package_documents ALL DEPENDS ${compressed})

install(TARGETS zelvor zelvor-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging}/pl.zelvor.Zelvor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/pl.zelvor.Zelvor.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${generated}/pl.zelvor.Zelvor.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/zelvor.1.gz ${generated}/zelvor-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelvor)
install(FILES ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelvor
        RENAME changelog.gz)  # a native package: its version has no Debian revision

set(CPACK_PACKAGE_NAME zelvor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Zelvor)
set(CPACK_PACKAGE_CONTACT "${ZELVOR_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "look up tax numbers in the register of road-transport undertakings")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Zelvor takes a workbook of customers' tax numbers (NIP) and looks each one\n\
up in the Polish national register of road-transport undertakings: the\n\
permit, the Community licences and their certified copies, and the\n\
transport manager. It annotates the workbook and writes a result workbook.\n\
It also downloads every enterprise whose manager's certificate was issued\n\
in a range of days, tests the connection and checks EU VAT numbers.\n\
zelvor is the window; zelvor-cli runs the same jobs without one.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZELVOR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (Yes, No, the file dialogs) in Polish.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
