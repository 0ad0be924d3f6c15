// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// The texts in every language of po/LINGUAS: each menu screen is drawn in that language and
// every text of the catalogue it draws must stay inside the picture it is drawn on (its
// button, the dialog, the screen) without touching its rim, and off the other texts; the
// story's messages, answers, cutscene lines and boss names fit the screen; and the font
// has every character of every catalogue.
#include <fstream>
#include <set>
#include <sstream>

#include "media/core_internal.h"
#include "menu_fixture.h"
#include "script/script.h"

using namespace kwtest;

namespace {

// One entry of a PO file: its context, id and translation (UTF-8), and where it is used.
struct PoEntry {
  std::string context, id, translation;
  std::vector<std::string> places;
  bool fuzzy = false;
};

// The quoted string of a PO line, its escapes undone.
std::string PoQuoted(const std::string& line) {
  std::string out;
  size_t from = line.find('"'), to = line.rfind('"');
  for (size_t i = from + 1; i < to; ++i) {
    if (line[i] != '\\' || i + 1 >= to) {
      out += line[i];
      continue;
    }
    char c = line[++i];
    out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
  }
  return out;
}

// The entries of a PO file (the header and obsolete entries left out).
std::vector<PoEntry> ReadPo(const std::string& path) {
  std::vector<PoEntry> entries;
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  PoEntry e;
  std::string* field = nullptr;
  auto finish = [&] {
    if (!e.id.empty()) entries.push_back(e);
    e = PoEntry{};
    field = nullptr;
  };
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) finish();
    else if (line.rfind("#: ", 0) == 0) {
      std::istringstream refs(line.substr(3));
      for (std::string r; refs >> r;) e.places.push_back(r);
    } else if (line.rfind("#,", 0) == 0) e.fuzzy = line.find("fuzzy") != std::string::npos;
    else if (line.rfind("msgctxt ", 0) == 0) *(field = &e.context) = PoQuoted(line);
    else if (line.rfind("msgid ", 0) == 0) *(field = &e.id) = PoQuoted(line);
    else if (line.rfind("msgstr ", 0) == 0) *(field = &e.translation) = PoQuoted(line);
    else if (line.rfind("\"", 0) == 0 && field) *field += PoQuoted(line);
  }
  finish();
  return entries;
}

std::vector<std::string> Languages() {
  std::vector<std::string> out;
  std::ifstream in(std::string(KW_SOURCE_DIR) + "/po/LINGUAS");
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') out.push_back(line);
  return out;
}

std::vector<PoEntry> Template() { return ReadPo(std::string(KW_SOURCE_DIR) + "/po/klingenwald.pot"); }

bool UsedIn(const PoEntry& e, const std::string& part) {
  for (const std::string& p : e.places)
    if (p.find(part) != std::string::npos) return true;
  return false;
}

// Texts that have always run out of their place in the German game, which stays exactly as
// it was: the main menu's story entry is wider than its button.
const std::set<std::pair<std::string, std::string>> KnownOverflows = {{"de", "Story fortsetzen"}};

// How far a text ends before the right edge of a picture smaller than the screen: a
// button's rim and frame, to its pale inlay. A text begins where the screen puts it in
// every language, so its other edges only stay inside the picture (the new-game labels
// stay put while their buttons go down, onto the pressed button's upper rim).
constexpr int RimMargin = 7;

std::string Box(const kw::DrawnItem& d) {
  return "[" + std::to_string(d.left) + ".." + std::to_string(d.right) + ") x [" + std::to_string(d.top) +
         ".." + std::to_string(d.bottom) + ")";
}

class TranslationsTest : public MenuTest {
 protected:
  void TearDown() override {
    kw::RecordDraws(nullptr);
    kw::StopTranslations();
    MenuTest::TearDown();
  }
  void Use(const std::string& language) {
    kw::StartTranslations(std::string(KW_BINARY_DIR) + "/locale", language);
    ASSERT_EQ(kw::TranslationLanguage(), language);
    shown.clear();
    for (const PoEntry& e : Template())
      if (e.context.empty()) shown.insert(kw::Translate(kw::Utf8ToLatin1(e.id)));
  }
  // Draws a screen with the log on; the log of that draw.
  std::vector<kw::DrawnItem> Draw(const std::function<void()>& draw) {
    std::vector<kw::DrawnItem> log;
    kw::ClearBackBuffer(0);
    kw::RecordDraws(&log);
    draw();
    kw::RecordDraws(nullptr);
    return log;
  }
  // Every text stays on the screen; a text of the catalogue stays inside the smallest
  // picture under its starting point, ending RimMargin before its right edge, and off every
  // other such text.
  void ExpectFits(const std::string& language, const std::string& screen,
                  const std::vector<kw::DrawnItem>& log) {
    std::vector<const kw::DrawnItem*> texts;
    for (size_t i = 0; i < log.size(); ++i) {
      const kw::DrawnItem& t = log[i];
      if (t.sprite >= 0 || t.right <= t.left) continue;
      SCOPED_TRACE(language + " " + screen + ": \"" + kw::Latin1ToUtf8(t.text) + "\" " + Box(t));
      EXPECT_TRUE(t.left >= 0 && t.top >= 0 && t.right <= kw::ScreenWidth && t.bottom <= kw::ScreenHeight);
      if (!shown.count(t.text)) continue;
      texts.push_back(&t);
      const kw::DrawnItem* under = nullptr;
      for (size_t j = 0; j < i; ++j) {
        const kw::DrawnItem& s = log[j];
        bool covers = s.sprite >= 0 && s.left <= t.x && t.x < s.right && s.top <= t.y && t.y < s.bottom;
        bool smaller = !under || (s.right - s.left) * (s.bottom - s.top) < (under->right - under->left) * (under->bottom - under->top);
        if (covers && smaller && (s.right - s.left < kw::ScreenWidth || s.bottom - s.top < kw::ScreenHeight))
          under = &s;
      }
      if (!under) continue;
      bool fits = t.left >= under->left && t.right <= under->right - RimMargin && t.top >= under->top &&
                  t.bottom <= under->bottom;
      if (KnownOverflows.count({language, t.text}))
        EXPECT_FALSE(fits) << "fits now: take it off KnownOverflows";
      else
        EXPECT_TRUE(fits) << "runs out of sprite " << under->sprite << " " << Box(*under);
    }
    for (size_t a = 0; a < texts.size(); ++a)
      for (size_t b = a + 1; b < texts.size(); ++b) {
        const kw::DrawnItem &p = *texts[a], &q = *texts[b];
        EXPECT_FALSE(p.left < q.right && q.left < p.right && p.top < q.bottom && q.top < p.bottom)
            << language << " " << screen << ": \"" << kw::Latin1ToUtf8(p.text) << "\" " << Box(p)
            << " runs into \"" << kw::Latin1ToUtf8(q.text) << "\" " << Box(q);
      }
  }

  std::set<std::string> shown;  // the catalogue's texts in the language in use (Latin-1)
};

// Each menu screen, its buttons up and pressed.
TEST_F(TranslationsTest, EveryMenuLabelFitsItsButtonInEveryLanguage) {
  for (const std::string& language : Languages()) {
    Use(language);
    for (int16_t pressed : {0, 1}) {
      const std::string state = pressed ? " (pressed)" : "";
      for (int inGame : {0, 1}) {
        kw::MenuInGame = inGame;
        kw::MenuSlide = 0;
        kw::StoryProgress = 2;
        kw::BtnStartDown = kw::BtnHighscoreDown = kw::BtnOptionsDown = kw::BtnQuitDown = kw::StoryDown = pressed;
        ExpectFits(language, (inGame ? "pause menu" : "main menu") + state, Draw(kw::DrawMainMenuScreen));
      }
      kw::NewGameDown.fill(pressed);
      for (int difficulty : {0, 1})
        ExpectFits(language, (difficulty ? "difficulty" : "new game") + state,
                   Draw([difficulty] { kw::DrawNewGameScreen(difficulty); }));
      kw::BtnYesDown = kw::BtnNoDown = pressed;
      Mouse(600, 460, false);
      kw::ReadMouse();
      ExpectFits(language, "quit" + state, Draw([] { kw::ConfirmQuit(kw::Translate("Spiel beenden?"), "!exit"); }));
    }
    kw::OptionsEnter();
    ExpectFits(language, "options", Draw(kw::DrawOptionsScreen));
    ExpectFits(language, "highscore", Draw(kw::DrawHighscoreList));
    // The name entry with the longest name and score, and the letter choice for a pad.
    kw::NameInput = std::string(kw::MaxNameLength, 'W');
    kw::NameGridShown = 1;
    ExpectFits(language, "name entry", Draw([] { kw::NameEntryFrame(32767); }));
  }
}

// The story's texts where the game draws them: a message or an answer on the top line
// (an answer after "3. "), a cutscene's lines, and a boss's name with its health marks.
TEST_F(TranslationsTest, StoryTextsFitTheScreenInEveryLanguage) {
  kw::EnemyType type;
  type.hitPoints = 10;
  kw::Enemy boss;
  boss.type = &type;
  boss.health = 5;
  for (const std::string& language : Languages()) {
    Use(language);
    for (const PoEntry& e : Template()) {
      const std::string text = kw::Utf8ToLatin1(e.id);
      if (UsedIn(e, ".ssc:")) {
        kw::P().message = "3. " + kw::Translate(text);
        kw::TextShift = 0;
        ExpectFits(language, "message line", Draw([] { kw::DrawHud(); }));
      } else if (UsedIn(e, "cutscenes.ini:")) {
        kw::Cutscene c;
        c.text = text;
        c.color = kw::Rgb(255, 255, 255);
        ExpectFits(language, "cutscene", Draw([&c] { kw::DrawCutsceneFrame(c); }));
      } else if (UsedIn(e, "Gegner.ini:")) {
        type.typeName = text;
        kw::Boss = &boss;
        kw::BossShown = 1;
        kw::P().message.clear();
        ExpectFits(language, "boss line", Draw([] { kw::DrawHud(); }));
        kw::Boss = nullptr;
        kw::BossShown = 0;
      }
    }
  }
}

// Every character of every catalogue is Latin-1, the game's character set, and the faces
// of the menus and messages (the decorative one) and of the cutscenes and name entry (the
// system one) have a picture for it.
TEST_F(TranslationsTest, TheFontsCoverEveryCharacterOfEveryCatalogue) {
  std::vector<PoEntry> all = Template();
  for (const std::string& language : Languages())
    for (PoEntry& e : ReadPo(std::string(KW_SOURCE_DIR) + "/po/" + language + ".po")) all.push_back(e);
  std::set<unsigned char> characters;
  for (const PoEntry& e : all)
    for (const std::string* s : {&e.id, &e.translation}) {
      const std::string latin1 = kw::Utf8ToLatin1(*s);
      EXPECT_EQ(kw::Latin1ToUtf8(latin1), *s) << "not Latin-1: " << *s;
      for (char c : latin1)
        if (c != '\\') characters.insert(static_cast<unsigned char>(c));
    }
  for (unsigned char c : characters)
    for (int font : {kw::Font::Small, kw::Font::Large, -1})
      EXPECT_TRUE(kw::FontHasGlyph(font, c)) << "font " << font << " has no '" << kw::Latin1ToUtf8(std::string(1, char(c)))
                                             << "'";
}

}  // namespace
