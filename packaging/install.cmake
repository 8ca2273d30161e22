# Installing the program as a desktop program (cmake --install build --prefix P) and its Debian
# package (cpack -G DEB from the build folder).
include(GNUInstallDirs)

set(BARQEEN_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
configure_file(${CMAKE_CURRENT_LIST_DIR}/barqeen.desktop.in
  ${BARQEEN_PACKAGING_OUT}/${BARQEEN_DESKTOP_ID}.desktop @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/barqeen.metainfo.xml.in
  ${BARQEEN_PACKAGING_OUT}/${BARQEEN_DESKTOP_ID}.metainfo.xml @ONLY)
# The manual page's synopsis is the usage that --help prints (app/usage.txt): its lines that
# begin with two spaces, written for roff.
file(STRINGS ${CMAKE_SOURCE_DIR}/app/usage.txt usage_lines ENCODING UTF-8)
set(BARQEEN_MAN_SYNOPSIS ".nf")
foreach(line IN LISTS usage_lines)
  if(line MATCHES "^  ")
    string(REPLACE "…" "..." line "${line}")
    string(REPLACE "-" "\\-" line "${line}")
    string(APPEND BARQEEN_MAN_SYNOPSIS "\n${line}")
  endif()
endforeach()
string(APPEND BARQEEN_MAN_SYNOPSIS "\n.fi")
configure_file(${CMAKE_CURRENT_LIST_DIR}/barqeen.1.in ${BARQEEN_PACKAGING_OUT}/barqeen.1 @ONLY)

# The manual page and the changelog are installed compressed, as Debian wants them.
function(barqeen_gzip source target)
  add_custom_command(OUTPUT ${target}
    COMMAND gzip -9nc ${source} > ${target}
    DEPENDS ${source} VERBATIM)
endfunction()
barqeen_gzip(${BARQEEN_PACKAGING_OUT}/barqeen.1 ${BARQEEN_PACKAGING_OUT}/barqeen.1.gz)
barqeen_gzip(${CMAKE_CURRENT_LIST_DIR}/changelog ${BARQEEN_PACKAGING_OUT}/changelog.gz)
add_custom_target(barqeen_packaging_files ALL
  DEPENDS ${BARQEEN_PACKAGING_OUT}/barqeen.1.gz ${BARQEEN_PACKAGING_OUT}/changelog.gz)

# The copyright file names the fonts the executable carries, with their own notices.
file(READ /usr/share/doc/fonts-hosny-amiri/copyright AMIRI_COPYRIGHT)
file(READ /usr/share/doc/fonts-noto-core/copyright NOTO_COPYRIGHT)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${BARQEEN_PACKAGING_OUT}/copyright @ONLY)

install(TARGETS barqeen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${BARQEEN_PACKAGING_OUT}/${BARQEEN_DESKTOP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${BARQEEN_PACKAGING_OUT}/${BARQEEN_DESKTOP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${BARQEEN_PACKAGING_OUT}/barqeen.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${BARQEEN_PACKAGING_OUT}/copyright ${BARQEEN_PACKAGING_OUT}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/barqeen)
install(FILES ${CMAKE_SOURCE_DIR}/assets/pictures/barqeen.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${BARQEEN_DESKTOP_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/pictures/barqeen-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${BARQEEN_DESKTOP_ID}.png)
endforeach()

# --- the Debian package ---
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME barqeen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Barqeen team <maintainers@barqeen.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Arabic poetry: verse table and poetic exchange game")
# The long description, under the summary; cpack indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Barqeen keeps a table of single verses of Arabic poetry, each with its poet,
the letter it begins with, the letter it ends on and its topics, and plays
the poetic exchange against the computer: each side answers with a verse
that begins with the letter on which the other side's verse ended. Games
are recorded; verses can be searched, edited, imported and exported.

The whole interface is in Arabic, right to left.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)  # games would want it in /usr/games
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.barqeen.net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the linked libraries: the toolkit's Arabic texts for the standard buttons. The Arabic
# fonts (Amiri, Noto Sans Arabic) live inside the executable; a font for Latin text comes with
# fontconfig, which the toolkit's library needs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
