# What `cmake --install` puts in place: the programs, the demo (its drive C:
# tree and its CD image), the desktop entry, the icon, the AppStream metadata
# and the manual pages (written in Italian, installed where `man` looks first).
include(GNUInstallDirs)

install(TARGETS quilo quilo-check quilo-sim quilo-export quilo-studio quilo-pack
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quilo/demo)
# The guide's example scripts, so that its examples run as written after a
# first run has copied the demo to ~/Quilo.
install(FILES ${PROJECT_SOURCE_DIR}/docs/copione/mostra.txt ${PROJECT_SOURCE_DIR}/docs/copione/errori.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quilo/demo/Allegato)
install(FILES ${PROJECT_BINARY_DIR}/demo/demo.cue ${PROJECT_BINARY_DIR}/demo/demo.flac
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quilo/disco)
install(FILES ${PROJECT_SOURCE_DIR}/data/quilo.desktop ${PROJECT_SOURCE_DIR}/data/quilo-studio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/quilo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Show files (.quilo): their type, with the program's icon, opened by the
# player on a double click and by the studio from "Apri con".
install(FILES ${PROJECT_SOURCE_DIR}/data/quilo-show.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
# Both entries take show files; a double click plays them.
install(FILES ${PROJECT_SOURCE_DIR}/data/mimeapps.list
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/quilo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-quilo-show.svg)
# The PNG sizes are drawn from the SVG by scripts/render-icons and kept in the
# tree, so that building needs no SVG renderer.
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${size}x${size}/quilo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${size}x${size}/quilo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/mimetypes
          RENAME application-x-quilo-show.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/io.github.quilo.Quilo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Manual pages and the Debian changelog go compressed, as Debian expects.
set(quilo_compressed)
foreach(file man/quilo.1 man/quilo-check.1 man/quilo-sim.1 man/quilo-export.1 man/quilo-studio.1
             man/quilo-pack.1
             changelog)
  get_filename_component(name ${file} NAME)
  set(out ${PROJECT_BINARY_DIR}/data/${name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/data
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/data/${file} > ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/data/${file})
  list(APPEND quilo_compressed ${out})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${quilo_compressed})
install(FILES ${PROJECT_BINARY_DIR}/data/quilo.1.gz ${PROJECT_BINARY_DIR}/data/quilo-check.1.gz
              ${PROJECT_BINARY_DIR}/data/quilo-sim.1.gz ${PROJECT_BINARY_DIR}/data/quilo-export.1.gz
              ${PROJECT_BINARY_DIR}/data/quilo-studio.1.gz ${PROJECT_BINARY_DIR}/data/quilo-pack.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/data/changelog.gz ${PROJECT_SOURCE_DIR}/data/copyright
              ${PROJECT_SOURCE_DIR}/docs/copione.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quilo)
# The script guide's pictures and example show, beside it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/copione DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quilo)

# A Debian package of what is installed above (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quilo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Quilo developers <quilo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "slideshows that follow an audio CD to the second")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quilo plays an audio CD (a drive, a CD image or a folder of tracks)\n and, in step with the music, runs a script of timed lines on a\n full-screen display.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The captions are drawn in Liberation Sans (Arial's metrics); the sound goes
# through a PulseAudio server (PipeWire's will do); WebP and TIFF pictures
# need Qt's extra image plugins; the studio's file and colour dialogs speak
# Italian with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "pulseaudio | pipewire-pulse, qt6-image-formats-plugins, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
