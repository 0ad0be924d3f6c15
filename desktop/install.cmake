# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# Installing and packaging, included by the top CMakeLists.txt after the game, the game
# folder and the icons are known. Two layouts of the same files:
# - `cmake --install` under a prefix: bin/klingenwald and bin/kwtool, the game folder in
#   share/klingenwald;
# - the Debian package (`cpack -G DEB` in the build folder, or the target `package`): only
#   the game, in /usr/games, with the game folder in /usr/share/games/klingenwald, the
#   manual page and the changelog compressed, and Debian's copyright file. Its files are
#   the install component `deb`, which a plain install leaves out.
# The game finds its folder in either layout by itself.

# The release the metadata and the package describe: the newest entry of the Debian
# changelog gives the Debian revision and the date, for the version of the project.
file(STRINGS ${CMAKE_SOURCE_DIR}/desktop/deb/changelog KW_CHANGELOG)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/desktop/deb/changelog)
list(GET KW_CHANGELOG 0 KW_CHANGELOG_HEAD)
if(NOT KW_CHANGELOG_HEAD MATCHES "^klingenwald \\(([^()]+)-([0-9]+)\\) ")
  message(FATAL_ERROR "desktop/deb/changelog: no version in its first line")
endif()
set(KW_DEB_REVISION ${CMAKE_MATCH_2})
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(WARNING "desktop/deb/changelog is at ${CMAKE_MATCH_1}, the project at ${PROJECT_VERSION}: "
                  "add an entry for the new version")
endif()
foreach(line IN LISTS KW_CHANGELOG)
  if(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1")
    if(month LESS 10)
      set(month 0${month})
    endif()
    set(KW_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})
    break()
  endif()
endforeach()
if(NOT KW_RELEASE_DATE)
  message(FATAL_ERROR "desktop/deb/changelog: no date in its newest entry")
endif()
set(KW_RELEASE_NOTE "The first release: the story, the free game and the time match, three \
difficulties, quick save and highscores, played with keyboard and mouse or a game controller.")
# Software centres fetch screenshots from the web, and AppStream wants a web address for
# each. The project has no web home yet, so the default is a placeholder on the reserved
# .invalid domain; whoever publishes the PNGs installed beside the game folder
# (screenshots/free.png, story.png, time.png) sets this to where they are.
set(KW_SCREENSHOT_URL "https://klingenwald.invalid/screenshots" CACHE STRING
  "Web folder that holds the published screenshots")
# A placeholder too: lintian refuses a host such as localhost, .invalid is reserved for
# addresses that are known not to work.
set(KW_MAINTAINER "Klingenwald developers <klingenwald@klingenwald.invalid>")

# The metadata is German, as the game is; msgfmt merges the catalogues' translations of its
# summary, description and captions into it (xml:lang).
configure_file(${CMAKE_SOURCE_DIR}/desktop/${KW_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/untranslated/${KW_APP_ID}.metainfo.xml @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/${KW_APP_ID}.metainfo.xml
  COMMAND ${KW_MSGFMT} --xml --template=${CMAKE_BINARY_DIR}/untranslated/${KW_APP_ID}.metainfo.xml
          -d ${CMAKE_SOURCE_DIR}/po -o ${CMAKE_BINARY_DIR}/${KW_APP_ID}.metainfo.xml
  DEPENDS ${CMAKE_BINARY_DIR}/untranslated/${KW_APP_ID}.metainfo.xml ${KW_PO_FILES}
          ${CMAKE_SOURCE_DIR}/po/LINGUAS
  COMMENT "Merging the translations into the AppStream metadata"
  VERBATIM)
add_custom_target(metainfo ALL DEPENDS ${CMAKE_BINARY_DIR}/${KW_APP_ID}.metainfo.xml)

# One screenshot per game mode, of real play from the recorded playthroughs.
set(KW_SHOT_DIR ${CMAKE_BINARY_DIR}/screenshots)
set(KW_SHOT_FILES ${KW_SHOT_DIR}/free.png ${KW_SHOT_DIR}/story.png ${KW_SHOT_DIR}/time.png)
set(KW_SHOT_REPLAYS ${CMAKE_SOURCE_DIR}/tests/e2e/playthroughs)
add_custom_command(
  OUTPUT ${KW_SHOT_FILES}
  COMMAND ${CMAKE_COMMAND} -DGAME=$<TARGET_FILE:klingenwald> -DDATA=${KW_GAME_DIR}
          -DREPLAYS=${KW_SHOT_REPLAYS} -DOUT=${KW_SHOT_DIR}
          -P ${CMAKE_SOURCE_DIR}/desktop/screenshots.cmake
  DEPENDS klingenwald gamedata ${CMAKE_SOURCE_DIR}/desktop/screenshots.cmake
          ${KW_SHOT_REPLAYS}/free1.replay ${KW_SHOT_REPLAYS}/story1.replay
          ${KW_SHOT_REPLAYS}/time1.replay
  COMMENT "Drawing the screenshots"
  VERBATIM)
add_custom_target(screenshots ALL DEPENDS ${KW_SHOT_FILES})

# Debian wants the manual page and its changelog compressed, without a time stamp.
set(KW_DEB_DIR ${CMAKE_BINARY_DIR}/deb)
add_custom_command(
  OUTPUT ${KW_DEB_DIR}/klingenwald.6.gz ${KW_DEB_DIR}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KW_DEB_DIR}
  COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/desktop/klingenwald.6
          ${KW_DEB_DIR}/klingenwald.6.gz
  COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/desktop/deb/changelog
          ${KW_DEB_DIR}/changelog.Debian.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/desktop/klingenwald.6 ${CMAKE_SOURCE_DIR}/desktop/deb/changelog
  VERBATIM)
add_custom_target(debfiles ALL DEPENDS ${KW_DEB_DIR}/klingenwald.6.gz ${KW_DEB_DIR}/changelog.Debian.gz)

# The files both layouts share: the game folder with the screenshots, the desktop entry,
# the metadata, the icons and the catalogues (share/locale, where the game looks beside
# its bin/ or games/). Further arguments go to every install() (a component).
function(kw_install_shared gamedir)
  foreach(lang ${KW_LANGUAGES})
    install(FILES ${KW_LOCALE_DIR}/${lang}/LC_MESSAGES/klingenwald.mo
            DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${lang}/LC_MESSAGES ${ARGN})
  endforeach()
  install(DIRECTORY ${KW_GAME_DIR}/ DESTINATION ${gamedir} ${ARGN} PATTERN .stamp EXCLUDE)
  install(FILES ${KW_SHOT_FILES} DESTINATION ${gamedir}/screenshots ${ARGN})
  install(FILES ${CMAKE_SOURCE_DIR}/desktop/${KW_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications ${ARGN})
  install(FILES ${CMAKE_BINARY_DIR}/${KW_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo ${ARGN})
  foreach(size ${KW_ICON_SIZES})
    install(FILES ${KW_ICON_DIR}/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${KW_APP_ID}.png ${ARGN})
  endforeach()
endfunction()

# Under a prefix.
install(TARGETS klingenwald kwtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
kw_install_shared(${CMAKE_INSTALL_DATADIR}/klingenwald)
install(FILES ${CMAKE_SOURCE_DIR}/desktop/klingenwald.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/COPYING DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/klingenwald)

# The Debian package (prefix /usr). kwtool is for map and pack authors and stays out:
# a player's package holds the game.
set(KW_DEB COMPONENT deb EXCLUDE_FROM_ALL)
install(TARGETS klingenwald RUNTIME DESTINATION games ${KW_DEB})
# Stripped as Debian's own tools strip: the symbols and the compiler's notes go.
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --remove-section=.comment
  --remove-section=.note --strip-unneeded \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/games/klingenwald\"
  COMMAND_ERROR_IS_FATAL ANY)" ${KW_DEB})
kw_install_shared(share/games/klingenwald ${KW_DEB})
install(FILES ${KW_DEB_DIR}/klingenwald.6.gz DESTINATION share/man/man6 ${KW_DEB})
install(FILES ${CMAKE_SOURCE_DIR}/desktop/deb/copyright ${KW_DEB_DIR}/changelog.Debian.gz
        DESTINATION share/doc/klingenwald ${KW_DEB})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME klingenwald)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KW_DEB_REVISION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Klingenwald;deb;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KW_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binary; the faces the game draws its texts with are looked
# up by name through fontconfig, so their packages are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-junicode, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "side-view action adventure with sword and spells
Alrik, a young woodsman, walks, jumps, climbs and fights his way through the
forest realm of Klingenwald with a sword, throwing axes, four spells and bombs.
There is a story mode, a free game and a time match, three difficulties, a
quick save and a highscore list. It plays with keyboard and mouse or with a
game controller alone, in a window or full screen. The game speaks German and
English.")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
