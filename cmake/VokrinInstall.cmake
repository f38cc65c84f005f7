# What `cmake --install` lays out, and the Debian package that CPack makes of it:
#   bin/vokrin                                   the program
#   bin/vokrin-lrc                               LRC and UltraStar texts to and from projects
#   libexec/vokrin/vokrin-crashreport            its crash helper (found from bin/)
#   share/vokrin/help/vokrin.html                the manual that F1 shows (found from bin/)
#   share/applications/<id>.desktop              the menu entry
#   share/icons/hicolor/{scalable,48x48,128x128,256x256}/apps/<id>.{svg,png}
#   share/mime/packages/<id>.xml                 the .lyp and .lyl file types
#   share/metainfo/<id>.metainfo.xml             AppStream data
#   share/man/man1/vokrin.1, share/man/ru/man1/vokrin.1   the man page, in English and Russian
#   share/man/man1/vokrin-lrc.1                  the command-line tool's man page
# <id> is VOKRIN_DESKTOP_ID.
set(VOKRIN_RELEASE_DATE 2026-12-10)
set(vokrin_desktop_src ${PROJECT_SOURCE_DIR}/resources/desktop)
set(vokrin_desktop_out ${PROJECT_BINARY_DIR}/desktop)

install(TARGETS vokrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vokrin-lrc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vokrin-crashreport RUNTIME DESTINATION ${VOKRIN_INSTALL_HELPER_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/help/vokrin.html
        DESTINATION ${VOKRIN_INSTALL_DATA_DIR}/help)

# The icon is drawn by our own generator; building the program draws it too, so an
# install after building only the program finds it.
set(vokrin_icon_files ${vokrin_desktop_out}/${VOKRIN_DESKTOP_ID}.svg)
foreach(size 48 128 256)
  list(APPEND vokrin_icon_files ${vokrin_desktop_out}/${VOKRIN_DESKTOP_ID}-${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${vokrin_icon_files}
  COMMAND vokrin_icon_gen ${vokrin_desktop_out} ${VOKRIN_DESKTOP_ID}
  DEPENDS vokrin_icon_gen
  COMMENT "Drawing the program's icon")
add_custom_target(vokrin_icons ALL DEPENDS ${vokrin_icon_files})
add_dependencies(vokrin vokrin_icons)
install(FILES ${vokrin_desktop_out}/${VOKRIN_DESKTOP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
  install(FILES ${vokrin_desktop_out}/${VOKRIN_DESKTOP_ID}-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${VOKRIN_DESKTOP_ID}.png)
endforeach()

configure_file(${vokrin_desktop_src}/${VOKRIN_DESKTOP_ID}.metainfo.xml.in
               ${vokrin_desktop_out}/${VOKRIN_DESKTOP_ID}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/man/vokrin.1.in
               ${vokrin_desktop_out}/vokrin.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/man/vokrin.ru.1.in
               ${vokrin_desktop_out}/ru/vokrin.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/man/vokrin-lrc.1.in
               ${vokrin_desktop_out}/vokrin-lrc.1 @ONLY)
install(FILES ${vokrin_desktop_src}/${VOKRIN_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vokrin_desktop_src}/${VOKRIN_DESKTOP_ID}.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${vokrin_desktop_out}/${VOKRIN_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${vokrin_desktop_out}/vokrin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${vokrin_desktop_out}/vokrin-lrc.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${vokrin_desktop_out}/ru/vokrin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)

# The Debian package (scripts/package): vokrin_<version>_<arch>.deb, installed under
# /usr. Its dependencies on libraries are what dpkg-shlibdeps finds the two binaries
# need; dbus-send is added by hand, since the menu entry's play/pause and stop actions
# run it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vokrin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vokrin developers")
set(CPACK_PACKAGE_CONTACT "The Vokrin developers <vokrin@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "karaoke player that lights each line as it is sung")
set(CPACK_PACKAGE_DESCRIPTION
    "Vokrin plays the backing track of a song project and shows the song's text in a big\n"
    "list, lighting up each line when the music reaches it. It keeps a catalogue of song\n"
    "projects, shapes the sound with an equaliser, reverb, compressor and echo, and makes\n"
    "new projects with a wizard. Media keys and remotes drive it through MPRIS.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "dbus-bin")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-liberation2, qt6-translations-l10n, xdg-utils, pulseaudio | pipewire-pulse")
# Only what the program ships; tests and tools have no install rules.
include(CPack)
