# Installing on Linux: the game lives in lib/veltra/bin beside a link to its
# assets, so the "../assets" it opens from its working folder and the asset
# search both find them; bin/veltra is a small launcher that starts it from
# there. Desktop entry, icons, AppStream data, man page and copyright go
# where desktops and Debian expect them.
#   cmake --install build --prefix "/any/prefix"
#   tools/package-linux.sh   (the Debian package, made with CPack)
include(GNUInstallDirs)

# Debian puts games under games/ (tools/package-linux.sh says so).
set(VELTRA_GAME_DIR lib/veltra CACHE STRING "Folder of the game and its assets link, under the prefix")
set(VELTRA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/veltra CACHE STRING "Folder of the assets, under the prefix")
set(VELTRA_LINUX_FILES ${CMAKE_SOURCE_DIR}/tools/linux)

install(TARGETS veltra RUNTIME DESTINATION ${VELTRA_GAME_DIR}/bin)
# The launcher finds the game relative to itself, so the prefix can move.
file(RELATIVE_PATH VELTRA_GAME_FROM_LAUNCHER /${CMAKE_INSTALL_BINDIR} /${VELTRA_GAME_DIR}/bin)
configure_file(${VELTRA_LINUX_FILES}/launcher.sh ${CMAKE_BINARY_DIR}/linux/veltra @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/linux/veltra DESTINATION ${CMAKE_INSTALL_BINDIR})
# The icons are the desktop's, not the game's.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets DESTINATION ${VELTRA_DATA_DIR}
        PATTERN icons EXCLUDE)
# A relative link, so the tree works wherever the prefix is (spaces too).
file(RELATIVE_PATH assets_from_game_dir /${VELTRA_GAME_DIR} /${VELTRA_DATA_DIR}/assets)
install(CODE "
  set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELTRA_GAME_DIR}/assets\")
  file(REMOVE \"\${link}\")
  file(CREATE_LINK \"${assets_from_game_dir}\" \"\${link}\" SYMBOLIC)
  message(STATUS \"Installing: \${link} -> ${assets_from_game_dir}\")
")

install(FILES ${VELTRA_LINUX_FILES}/veltra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
configure_file(${VELTRA_LINUX_FILES}/veltra.metainfo.xml
               ${CMAKE_BINARY_DIR}/linux/org.veltra.Veltra.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/linux/org.veltra.Veltra.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Frames the game saved itself (F12), which the AppStream data shows.
install(FILES ${CMAKE_SOURCE_DIR}/docs/screenshot.png DESTINATION ${VELTRA_DATA_DIR}/screenshots
        RENAME flight.png)
install(FILES ${CMAKE_SOURCE_DIR}/docs/start-screen.png DESTINATION ${VELTRA_DATA_DIR}/screenshots
        RENAME start.png)

# The man page names the files where this prefix puts them; Debian wants it
# compressed, without a time stamp.
set(VELTRA_DATADIR ${CMAKE_INSTALL_PREFIX}/${VELTRA_DATA_DIR})
configure_file(${VELTRA_LINUX_FILES}/veltra.6 ${CMAKE_BINARY_DIR}/linux/veltra.6 @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/linux/veltra.6.gz
                   COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/linux/veltra.6 > ${CMAKE_BINARY_DIR}/linux/veltra.6.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/linux/veltra.6 VERBATIM)
add_custom_target(veltra_man_page ALL DEPENDS ${CMAKE_BINARY_DIR}/linux/veltra.6.gz)
install(FILES ${CMAKE_BINARY_DIR}/linux/veltra.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

install(FILES ${VELTRA_LINUX_FILES}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(VELTRA_CHANGELOG_DATE "Wed, 09 Dec 2026 12:00:00 +0000")
configure_file(${VELTRA_LINUX_FILES}/changelog ${CMAKE_BINARY_DIR}/linux/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/linux/changelog.gz
                   COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/linux/changelog > ${CMAKE_BINARY_DIR}/linux/changelog.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/linux/changelog VERBATIM)
add_custom_target(veltra_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/linux/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/linux/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package (tools/package-linux.sh sets the prefix to /usr).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "VELTRA developers <veltra@veltra.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "night flying arcade game through golden rings")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "VELTRA is a small arcade flying game: steer a winged flyer over hills and a
 lake at night, fly through glowing rings for points and reach the golden
gate before the two-minute timer runs out, without touching the ground, the
water or the wall. Keyboard or gamepad.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Dependencies on the runtime libraries, as dpkg-shlibdeps computes them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
