# What `cmake --install` puts in place: the programs, the demo (its drive C:
# tree and its CD image), the desktop entry, the icon, the AppStream metadata
# and the manual pages (written in Italian, installed where `man` looks first).
include(GNUInstallDirs)

install(TARGETS quilo quilo-check quilo-sim quilo-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quilo/demo)
install(FILES ${PROJECT_BINARY_DIR}/demo/demo.cue ${PROJECT_BINARY_DIR}/demo/demo.bin
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quilo/disco)
install(FILES ${PROJECT_SOURCE_DIR}/data/quilo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/quilo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/io.github.quilo.Quilo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/man/quilo.1 ${PROJECT_SOURCE_DIR}/data/man/quilo-check.1
              ${PROJECT_SOURCE_DIR}/data/man/quilo-sim.1 ${PROJECT_SOURCE_DIR}/data/man/quilo-export.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# A Debian package of what is installed above (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quilo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Quilo developers <quilo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "slideshows that follow an audio CD to the second")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quilo plays an audio CD (a drive, a CD image or a folder of tracks) and, in step\n with the music, runs a script of timed lines on a full-screen display.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
