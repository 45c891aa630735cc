# Where `cmake --install` puts the programs and what they need, and the
# Debian package made from that with `cpack -G DEB`. An installed program
# finds its language files in ../share/quill/ beside bin/.
include(GNUInstallDirs)

set(QUILL_SHARE ${CMAKE_INSTALL_DATADIR}/quill)
# The package's documentation directory is named after the package.
set(QUILL_DOC ${CMAKE_INSTALL_DATADIR}/doc/quill)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man ${CMAKE_BINARY_DIR}/doc)

# Manual pages and changelogs are installed compressed, as Debian wants
# them: gzip -9 without a name or time stamp, so the package is the same
# from build to build.
find_program(QUILL_GZIP gzip REQUIRED)
function(quill_gzip input output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${QUILL_GZIP} -9n -c ${input} > ${output}
    DEPENDS ${input}
    COMMENT "Compressing ${output}"
    VERBATIM)
endfunction()

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
    quill_gzip(${QUILL_CLI_MAN} ${QUILL_CLI_MAN}.gz)
    add_custom_target(quill_cli_man ALL DEPENDS ${QUILL_CLI_MAN} ${QUILL_CLI_MAN}.gz)
    install(FILES ${QUILL_CLI_MAN}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endif()

if(QUILL_BUILD_GUI)
  install(TARGETS quill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(QUILL_MAN ${CMAKE_BINARY_DIR}/man/quill.1.gz)
  quill_gzip(${CMAKE_SOURCE_DIR}/resources/man/quill.1 ${QUILL_MAN})
  add_custom_target(quill_man ALL DEPENDS ${QUILL_MAN})
  install(FILES ${QUILL_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/quill.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/org.example.quill.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/quill.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/quill-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quill.png)
  endforeach()
endif()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/Language DESTINATION ${QUILL_SHARE})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/DataPoint DESTINATION ${QUILL_SHARE})

install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright DESTINATION ${QUILL_DOC})
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quill)
set(QUILL_CHANGELOG ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz)
quill_gzip(${CMAKE_SOURCE_DIR}/resources/debian/changelog ${QUILL_CHANGELOG})
add_custom_target(quill_changelog ALL DEPENDS ${QUILL_CHANGELOG})
install(FILES ${QUILL_CHANGELOG} DESTINATION ${QUILL_DOC})

set(CPACK_PACKAGE_NAME quill)
set(CPACK_PACKAGE_VENDOR "Quill!")
set(CPACK_PACKAGE_CONTACT "Quill! developers <quill@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shared documents, comments, attachments and tasks for a workgroup")
# Debian shows the description as it is: lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Quill! keeps a workgroup's documents, their comments, attached files and\n"
  "scheduled tasks in a directory tree on a network share, without a server.\n"
  "Every member runs the program on their own computer and works on the same\n"
  "plain files: documents of several kinds with typed properties, comments,\n"
  "attachments, an edit history, tasks with reminders for an owner and a\n"
  "team, and folders that only named users or groups see.\n"
  "\n"
  "The package holds the desktop program quill and quill-cli, which does the\n"
  "same work from a terminal, for scripts and administration.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quill)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The first number of the package's own changes, as resources/debian/changelog
# names them.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/quill")
# The shared libraries the programs link are found by dpkg-shlibdeps; Qt's
# platform plugin, the web engine's helper process and the desktop tools
# are used at run time only, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, qt6-qpa-plugins, libqt6webenginecore6-bin")
# Qt's own buttons and dialogs in the language of the language files.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
