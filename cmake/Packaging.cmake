# The Debian packages, built by scripts/package with cpack: "quillon" (the
# client) and "quillon-server" (the server, its unit and the SQL). Every rule
# here is EXCLUDE_FROM_ALL, so a developer's `cmake --install` stays as it was
# and only cpack, installing one component at a time, writes /etc and /lib.
set(pkg ${PROJECT_SOURCE_DIR}/packaging)
set(gen ${PROJECT_BINARY_DIR}/packaging)
set(QUILLON_VERSION ${PROJECT_VERSION})

# The client reads zidad.ini and loads its plug-ins beside the program, so
# both live in /usr/lib/quillon; the settings there are a link to the
# conffile in /etc. The sample's demo log-in is no station's default.
file(READ ${PROJECT_SOURCE_DIR}/app/zidad.ini.sample ini)
string(REGEX REPLACE "\nusername=[^\n]*" "\nusername=" ini "${ini}")
string(REGEX REPLACE "\npassword=[^\n]*" "\npassword=" ini "${ini}")
file(WRITE ${gen}/zidad.ini "${ini}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/zidad.ini.sample)

install(TARGETS quillon RUNTIME DESTINATION lib/quillon COMPONENT client EXCLUDE_FROM_ALL)
install(TARGETS quillon_plugin_bijlage LIBRARY DESTINATION lib/quillon COMPONENT client EXCLUDE_FROM_ALL)
install(FILES ${gen}/zidad.ini DESTINATION /etc/quillon COMPONENT client EXCLUDE_FROM_ALL)
install(FILES ${pkg}/quillon.desktop DESTINATION share/applications COMPONENT client EXCLUDE_FROM_ALL)
install(FILES ${pkg}/quillon.svg DESTINATION share/icons/hicolor/scalable/apps COMPONENT client EXCLUDE_FROM_ALL)
install(FILES ${pkg}/quillon.lintian-overrides DESTINATION share/lintian/overrides RENAME quillon
        COMPONENT client EXCLUDE_FROM_ALL)

# The server package: the configuration made from the sample, the unit in
# Debian 12's place for units, the schema for the first installation.
install(FILES ${PROJECT_SOURCE_DIR}/server/quillon-server.ini.sample DESTINATION /etc/quillon
        RENAME quillon-server.ini COMPONENT server EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/sql/schema.sql ${PROJECT_SOURCE_DIR}/sql/privileges.sql
              ${PROJECT_SOURCE_DIR}/sql/README.md
        DESTINATION share/quillon/sql COMPONENT server EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/server/README.md DESTINATION share/doc/quillon-server
        COMPONENT server EXCLUDE_FROM_ALL)

# Per package: man page, copyright and changelog (gzip -n: no time stamp, so
# the same source makes the same package).
foreach(component client server)
  if(component STREQUAL client)
    set(QUILLON_PACKAGE quillon)
  else()
    set(QUILLON_PACKAGE quillon-server)
  endif()
  configure_file(${pkg}/${QUILLON_PACKAGE}.1 ${gen}/${QUILLON_PACKAGE}.1 @ONLY)
  configure_file(${pkg}/changelog.in ${gen}/${QUILLON_PACKAGE}/changelog @ONLY)
  install(FILES ${pkg}/copyright DESTINATION share/doc/${QUILLON_PACKAGE} COMPONENT ${component} EXCLUDE_FROM_ALL)
  install(CODE "
    foreach(pair \"${gen}/${QUILLON_PACKAGE}.1|share/man/man1/${QUILLON_PACKAGE}.1.gz\"
                 \"${gen}/${QUILLON_PACKAGE}/changelog|share/doc/${QUILLON_PACKAGE}/changelog.gz\")
      string(REPLACE \"|\" \";\" pair \"\${pair}\")
      list(GET pair 0 from)
      list(GET pair 1 to)
      set(to \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${to}\")
      get_filename_component(dir \"\${to}\" DIRECTORY)
      file(MAKE_DIRECTORY \"\${dir}\")
      execute_process(COMMAND gzip -9nc \"\${from}\" OUTPUT_FILE \"\${to}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()" COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(CREATE_LINK ../lib/quillon/quillon \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/quillon\" SYMBOLIC)
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/quillon\")
  file(CREATE_LINK /etc/quillon/zidad.ini \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/quillon/zidad.ini\" SYMBOLIC)"
  COMPONENT client EXCLUDE_FROM_ALL)
install(CODE "
  set(QUILLON_BINDIR \"\${CMAKE_INSTALL_PREFIX}/bin\")
  configure_file(\"${PROJECT_SOURCE_DIR}/server/quillon-server.service.in\"
                 \"\$ENV{DESTDIR}/lib/systemd/system/quillon-server.service\" @ONLY)"
  COMPONENT server EXCLUDE_FROM_ALL)

# cpack would otherwise build every target (the tests too) before packaging;
# scripts/package builds first, and tst_package depends on what it packs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillon developers")
set(CPACK_PACKAGE_CONTACT "Quillon developers <quillon@omroep.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_COMPONENTS_ALL client server)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME quillon)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_CLIENT_DESCRIPTION "editorial system of a news desk (client)
The desktop program of the news desk: agenda, production and ready lists,
texts, rubrics, sources and incoming material. It works on a PostgreSQL
database and keeps one connection to quillon-server.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME quillon-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS adduser)
set(CPACK_DEBIAN_SERVER_PACKAGE_RECOMMENDS postgresql-client)
set(CPACK_DEBIAN_SERVER_DESCRIPTION "editorial system of a news desk (coordination server)
The server every client keeps one connection to: log-in, record locks,
broadcasts, messages between editors, background jobs and the import of
incoming material. Runs as the systemd service quillon-server. The database
schema is in /usr/share/quillon/sql.")
# cpack indents the long description itself.
# cpack wants the control files under these names.
foreach(script postinst postrm prerm)
  configure_file(${pkg}/${script} ${gen}/server/${script} COPYONLY)
endforeach()
configure_file(${pkg}/quillon-server.conffiles ${gen}/server/conffiles COPYONLY)
configure_file(${pkg}/quillon.conffiles ${gen}/client/conffiles COPYONLY)
set(CPACK_DEBIAN_CLIENT_PACKAGE_CONTROL_EXTRA ${gen}/client/conffiles)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${gen}/server/conffiles ${gen}/server/postinst ${gen}/server/postrm ${gen}/server/prerm)

include(CPack)
