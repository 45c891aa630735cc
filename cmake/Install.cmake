# Where `cmake --install` puts the programs and what they need, and the
# Debian package made from that with `cpack -G DEB`. An installed program
# finds its language files in ../share/quill/ beside bin/.
include(GNUInstallDirs)

set(QUILL_SHARE ${CMAKE_INSTALL_DATADIR}/quill)

if(QUILL_BUILD_APPS)
  install(TARGETS quill-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/resources/completion/quill-cli
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  # The manual page of quill-cli is its own help, so it lists every command.
  find_program(QUILL_HELP2MAN help2man)
  if(QUILL_HELP2MAN)
    set(QUILL_CLI_MAN ${CMAKE_BINARY_DIR}/man/quill-cli.1)
    add_custom_command(OUTPUT ${QUILL_CLI_MAN}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${QUILL_HELP2MAN} --no-info --no-discard-stderr
              --name "work on a Quill! data point from the command line"
              --include ${CMAKE_SOURCE_DIR}/resources/man/quill-cli.h2m
              --output ${QUILL_CLI_MAN} $<TARGET_FILE:quill-cli>
      DEPENDS quill-cli ${CMAKE_SOURCE_DIR}/resources/man/quill-cli.h2m
      COMMENT "Making the manual page of quill-cli")
    add_custom_target(quill_cli_man ALL DEPENDS ${QUILL_CLI_MAN})
    install(FILES ${QUILL_CLI_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endif()

if(QUILL_BUILD_GUI)
  install(TARGETS quill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/resources/man/quill.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/quill.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/quill.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/quill-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quill.png)
  endforeach()
endif()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/Language DESTINATION ${QUILL_SHARE})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/DataPoint DESTINATION ${QUILL_SHARE})

set(CPACK_PACKAGE_NAME quill)
set(CPACK_PACKAGE_VENDOR "Quill!")
set(CPACK_PACKAGE_CONTACT "Quill! developers <quill@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shared documents, comments, attachments and tasks for a workgroup")
set(CPACK_PACKAGE_DESCRIPTION
    "Quill! keeps a workgroup's documents, their comments, attached files and scheduled tasks in a directory tree on a network share, without a server.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quill)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/quill")
# The shared libraries the programs link are found by dpkg-shlibdeps; Qt's
# platform plugin, the web engine's helper process and the desktop tools
# are used at run time only, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, qt6-qpa-plugins, libqt6webenginecore6-bin")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
