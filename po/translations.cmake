# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Klingenwald developers
# The translations, included by the top CMakeLists.txt before the game folder is made.
# German is the game's own language and the message id; each po/LANG.po of po/LINGUAS is
# checked and compiled into locale/LANG/LC_MESSAGES/klingenwald.mo in the build folder,
# where the game (beside its binary), the tests and the data generator find it; installs put
# it in share/locale. The target po-update remakes po/klingenwald.pot from the sources and
# the game data and merges it into the catalogues: new texts then wait in po/en.po for
# their translation (tests/e2e/translations.sh fails until they have one).
find_program(KW_MSGFMT msgfmt REQUIRED)
find_program(KW_MSGMERGE msgmerge REQUIRED)
find_program(KW_XGETTEXT xgettext REQUIRED)

file(STRINGS ${CMAKE_SOURCE_DIR}/po/LINGUAS KW_LANGUAGES REGEX "^[a-z]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/LINGUAS)
set(KW_LOCALE_DIR ${CMAKE_BINARY_DIR}/locale)
set(KW_CATALOGUES)
set(KW_PO_FILES)
foreach(lang ${KW_LANGUAGES})
  set(mo ${KW_LOCALE_DIR}/${lang}/LC_MESSAGES/klingenwald.mo)
  add_custom_command(
    OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KW_LOCALE_DIR}/${lang}/LC_MESSAGES
    COMMAND ${KW_MSGFMT} --check -o ${mo} ${CMAKE_SOURCE_DIR}/po/${lang}.po
    DEPENDS ${CMAKE_SOURCE_DIR}/po/${lang}.po
    COMMENT "Compiling the ${lang} catalogue"
    VERBATIM)
  list(APPEND KW_CATALOGUES ${mo})
  list(APPEND KW_PO_FILES ${CMAKE_SOURCE_DIR}/po/${lang}.po)
endforeach()
add_custom_target(translations ALL DEPENDS ${KW_CATALOGUES})

# German stays empty (its texts are the ids); English gets fuzzy guesses for changed
# texts, which the check refuses until someone has looked at them.
add_custom_target(po-update
  COMMAND bash po/make_pot.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:kwtool> po/klingenwald.pot
  COMMAND ${KW_MSGMERGE} --quiet --update --backup=none --no-fuzzy-matching po/de.po po/klingenwald.pot
  COMMAND ${KW_MSGMERGE} --quiet --update --backup=none po/en.po po/klingenwald.pot
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  DEPENDS kwtool
  COMMENT "Remaking po/klingenwald.pot and merging it into the catalogues"
  VERBATIM)
