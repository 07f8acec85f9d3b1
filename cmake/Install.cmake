# Install layout and the Debian package: the program, its desktop entry,
# icons, man page and the SQL to set up an office server.
include(GNUInstallDirs)

# Installing and packaging need the program, not every test: build the
# declaraties target (it brings the man page) before cmake --install or cpack.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS declaraties RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(_res ${CMAKE_SOURCE_DIR}/resources)
install(FILES ${_res}/declaraties.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(_size 16 32 48 64 128 256)
  install(FILES ${_res}/icons/declaraties-${_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
          RENAME declaraties.png)
endforeach()
install(FILES ${_res}/icons/declaraties.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

file(GLOB _schema CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/schema/*.sql)
install(FILES ${_schema} DESTINATION ${CMAKE_INSTALL_DATADIR}/declaraties/schema)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/schema/restore.sh DESTINATION ${CMAKE_INSTALL_DATADIR}/declaraties/schema)
# The server's procedures of the consultants' actions, which upgrade_accounts.sql reads.
file(GLOB _eigen CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/schema/eigen/*.sql)
install(FILES ${_eigen} DESTINATION ${CMAKE_INSTALL_DATADIR}/declaraties/schema/eigen)
file(GLOB _beheer CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/schema/beheer/*.sql)
install(FILES ${_beheer} DESTINATION ${CMAKE_INSTALL_DATADIR}/declaraties/schema/beheer)

# Debian wants man pages compressed, without a time stamp in the gzip header.
configure_file(${_res}/declaraties.1 ${CMAKE_BINARY_DIR}/man/declaraties.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/declaraties.1.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/man/declaraties.1 > ${CMAKE_BINARY_DIR}/man/declaraties.1.gz
  DEPENDS ${CMAKE_BINARY_DIR}/man/declaraties.1
  VERBATIM)
add_custom_target(dl_manpage ALL DEPENDS ${CMAKE_BINARY_DIR}/man/declaraties.1.gz)
add_dependencies(declaraties dl_manpage)
install(FILES ${CMAKE_BINARY_DIR}/man/declaraties.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# cpack -G DEB in the build folder gives declaraties_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME declaraties)
set(CPACK_PACKAGE_VENDOR "Declaraties & Logboeken")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "urenlogboek en declaraties van consultants")
set(CPACK_PACKAGE_DESCRIPTION
  "Consultants houden per project en maand hun gewerkte dagen bij (datum,\nactiviteit, contactpersoon, uren, kilometers) en dienen daarvan een\ndeclaratie in, die op kantoor verwerkt en afgedrukt kan worden. De\ngegevens staan op de MySQL/MariaDB-server van het kantoor; het pakket\nbevat ook de SQL om zo'n server in te richten.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Declaraties & Logboeken <beheer@declaraties.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libmariadb3, libqt6printsupport6 (>= 6.4), libsodium23, fonts-liberation")
# dpkg-shlibdeps adds libc, libstdc++ and the client library with their versions.
find_program(DL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DL_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, mariadb-client")
set(CPACK_GENERATOR DEB)
include(CPack)
