// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// kwtool script: the map script as the game reads it. "dump" prints the statements the
// game's own parser makes of a file, as JSON lines; "check" is the authors' lint: it
// names the line and says in plain words what the game would do differently from what
// the author probably meant (unknown commands, if/endif and brace balance, unclosed
// parentheses, keywords the parser does not see, names with a blank, and commands
// that would run in every frame by mistake).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "kwtool.h"
#include "maptext.h"
#include "media/media.h"
#include "script/script.h"

namespace kwtool {

namespace {

// One statement and where it came from.
struct Placed {
  int line = 0;
  bool start = false;  // in the start block
  const kw::Statement* s = nullptr;
};

// One line as the game reads it (after lower-casing and stripping), with the scan
// states before and after it.
struct ReadLine {
  int number = 0;
  std::string text;
  int inBlockBefore = 0, inBlockAfter = 0;
  int inParensBefore = 0, inParensAfter = 0;
};

struct Finding {
  int line;
  std::string message;
};

struct ParsedScript {
  std::vector<ReadLine> lines;
  std::vector<Placed> statements;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "kwtool script: %s\n", message.c_str());
  return 1;
}

// The statements added to a list since it held count elements.
void CollectNew(kw::List<kw::Statement>& list, int count, int line, bool start,
                std::vector<Placed>& out) {
  int index = 0;
  for (const kw::Statement& s : list)
    if (index++ >= count) out.push_back({line, start, &s});
}

// Runs the game's parser over the file line by line. The statements live in the
// game's two lists until the next parse.
ParsedScript Parse(const std::string& bytes) {
  ParsedScript parsed;
  kw::StartScript.Clear();
  kw::MainScript.Clear();
  kw::ScriptScan scan;
  int number = 0;
  for (const std::string& raw : kwmap::SplitLines(bytes)) {
    ++number;
    ReadLine line{number, kw::StripBlanks(kw::ScriptLowerCase(raw)), scan.inBlock, 0,
                  scan.inParens, 0};
    int startCount = kw::StartScript.Count(), mainCount = kw::MainScript.Count();
    kw::ParseScriptLine(scan, raw);
    line.inBlockAfter = scan.inBlock;
    line.inParensAfter = scan.inParens;
    CollectNew(kw::StartScript, startCount, number, true, parsed.statements);
    CollectNew(kw::MainScript, mainCount, number, false, parsed.statements);
    parsed.lines.push_back(line);
  }
  return parsed;
}

// ---------------------------------------------------------------------------------
// dump
// ---------------------------------------------------------------------------------

// The highest argument index with a non-empty text (0 when none).
int HighestArg(const kw::Statement& s) {
  int m = int(s.arg.size()) - 1;
  while (m > 0 && s.arg[size_t(m)].empty()) --m;
  return std::max(m, 0);
}

int Dump(const std::string& path) {
  std::string bytes;
  if (!kwmap::ReadFileBytes(path, bytes)) return Fail("cannot read " + path);
  for (const Placed& p : Parse(bytes).statements) {
    std::string line = "{\"list\":\"" + std::string(p.start ? "start" : "main") +
                       "\",\"kind\":" + std::to_string(p.s->kind) +
                       ",\"command\":" + kw::JsonString(p.s->command) + ",\"args\":[";
    for (int i = 1; i <= HighestArg(*p.s); ++i)
      line += (i > 1 ? "," : "") + kw::JsonString(kw::ScriptArg(*p.s, i));
    std::printf("%s]}\n", line.c_str());
  }
  return 0;
}

// ---------------------------------------------------------------------------------
// check: the lines
// ---------------------------------------------------------------------------------

bool IsKeyword(const std::string& word) {
  return word == "if" || word == "else" || word == "endif" || word == "for" || word == "next";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The first and the second blank-separated word of a line.
std::pair<std::string, std::string> FirstWords(const std::string& line) {
  size_t blank = line.find(' ');
  if (blank == std::string::npos) return {line, ""};
  size_t from = line.find_first_not_of(' ', blank);
  if (from == std::string::npos) return {line.substr(0, blank), ""};
  return {line.substr(0, blank), line.substr(from, line.find(' ', from) - from)};
}

// Braces: a block opens and closes only with a brace as a word of its own.
void CheckBraces(const ReadLine& l, std::vector<Finding>& out) {
  auto [first, second] = FirstWords(l.text);
  bool brace = first == "{" || first == "}";
  if (!brace && !first.empty() && (first[0] == '{' || first[0] == '}'))
    out.push_back({l.number, Quoted(first.substr(0, 1)) +
                                 " must stand alone, followed by a blank; written like this it "
                                 "is part of the command and opens or closes no block"});
  if (first == "{" && l.inBlockBefore == 1)
    out.push_back({l.number, "\"{\" while the start block is already open"});
  if (first == "}" && l.inBlockBefore == 0)
    out.push_back({l.number, "\"}\" without \"{\": there is no start block to close"});
  if (brace && IsKeyword(second))
    out.push_back({l.number, Quoted(second) + " after " + Quoted(first) +
                                 " on the same line is not seen as a keyword; put it on a "
                                 "line of its own"});
}

// Parentheses, and keywords that are also taken out inside other words.
void CheckLineText(const ReadLine& l, std::vector<Finding>& out) {
  std::string code = l.text.substr(0, l.text.find(';'));
  int open = l.inParensBefore;
  for (char c : code) {
    if (c == '(') open = 1;
    if (c == ')' && open == 0) out.push_back({l.number, "\")\" without \"(\""});
    if (c == ')') open = 0;
  }
  if (l.inParensAfter == 1 && (l.inParensBefore == 0 || code.find('(') != std::string::npos))
    out.push_back({l.number, "\"(\" is not closed on this line: the following lines are read "
                             "as its arguments until the next \")\""});
  std::string first = FirstWords(l.text).first;
  if (IsKeyword(first) && l.text.find(first, first.size()) != std::string::npos)
    out.push_back({l.number, Quoted(first) + " appears again later in the line and is taken "
                             "out there too, also inside words (\"if gift = 1\" reads \" gt = 1\")"});
}

// ---------------------------------------------------------------------------------
// check: the statements
// ---------------------------------------------------------------------------------

// Which arguments of a command or condition are names or texts that must match.
std::vector<int> NameArguments(const std::string& cmd) {
  if (cmd == "giveitem") return {2};
  if (cmd == "choice") return {4};
  if (cmd == "deletitem" || cmd == "loadcutscene" || cmd == "playcutscene" ||
      cmd == "unloadcutscene" || cmd == "setval" || cmd == "setstr" || cmd == "haveitem" ||
      cmd == "varexist")
    return {1};
  return {};
}

void CheckNames(const Placed& p, const std::string& cmd, std::vector<Finding>& out) {
  for (int i : NameArguments(cmd)) {
    const std::string& a = kw::ScriptArg(*p.s, i);
    if (a.empty() || (a.front() != ' ' && a.back() != ' ')) continue;
    out.push_back({p.line, "argument " + std::to_string(i) + " of " + Quoted(cmd) +
                               " has a blank at its start or end, which is kept as part of "
                               "the name " + Quoted(a)});
  }
}

void CheckArgCount(const Placed& p, const std::string& cmd, int wanted, std::vector<Finding>& out) {
  int given = HighestArg(*p.s);
  if (given == wanted) return;
  out.push_back({p.line, Quoted(cmd) + " takes " + std::to_string(wanted) + " argument" +
                             (wanted == 1 ? "" : "s") + ", found " + std::to_string(given) +
                             (given < wanted ? " (missing ones count as 0 or empty)"
                                             : " (the extra ones are ignored)")});
}

bool IsCalcOperator(const std::string& op) {
  return op == "+" || op == "-" || op == "*" || op == "/" || op == "=";
}

bool IsCompareOperator(const std::string& op) {
  return op == "=" || op == "<" || op == ">" || op == "<>";
}

void CheckCondition(const Placed& p, const std::string& cmd, std::vector<Finding>& out) {
  if (cmd == "playerontag" || cmd == "haveitem" || cmd == "varexist") {
    CheckArgCount(p, cmd, 1, out);
    CheckNames(p, cmd, out);
    return;
  }
  std::array<std::string, 3> w = kw::ScriptWords(cmd);
  if (!w[0].empty() && IsCompareOperator(w[1]) && !w[2].empty()) return;
  out.push_back({p.line, "this \"if\" is never true: " + Quoted(cmd) +
                             " is no condition (use playerontag(n), haveitem(name), "
                             "varexist(name) or \"variable op value\" with =, <, >, <> "
                             "between single blanks)"});
}

void CheckCommand(const Placed& p, const std::string& cmd, std::vector<Finding>& out) {
  int wanted = 0;
  if (kw::IsScriptCommand(cmd, &wanted)) {
    CheckArgCount(p, cmd, wanted, out);
    CheckNames(p, cmd, out);
    return;
  }
  std::array<std::string, 3> w = kw::ScriptWords(cmd);
  if (!w[0].empty() && IsCalcOperator(w[1]) && !w[2].empty()) return;  // a calculation
  if (IsKeyword(w[0]))
    out.push_back({p.line, Quoted(w[0]) + " is a keyword only as the first word of a line"});
  else if (cmd.find("  ") != std::string::npos)
    out.push_back({p.line, Quoted(cmd) + " does nothing: a calculation needs single blanks "
                           "between variable, operator and value"});
  else
    out.push_back({p.line, "unknown command " + Quoted(cmd) + ": it does nothing"});
}

// Commands that add something each time they run, outside any "if" of the main script.
void CheckEveryFrame(const Placed& p, const std::string& cmd, int depth, std::vector<Finding>& out) {
  if (p.start || depth > 0) return;
  if (cmd == "createportal")
    out.push_back({p.line, "\"createportal\" outside any \"if\" in the main script runs in "
                           "every frame: a portal is added on every frame"});
  if (cmd == "loadcutscene")
    out.push_back({p.line, "\"loadcutscene\" outside any \"if\" in the main script runs in "
                           "every frame: the cutscene is loaded again on every frame"});
}

// if / else / endif balance, per list (each list runs on its own).
struct Nesting {
  std::vector<int> openIfs;  // lines of the open "if"s
};

void CheckNesting(const Placed& p, Nesting& n, std::vector<Finding>& out) {
  if (p.s->kind == 1) n.openIfs.push_back(p.line);
  if (p.s->kind == 2 && n.openIfs.empty())
    out.push_back({p.line, "\"else\" without an open \"if\""});
  if (p.s->kind == 3) {
    if (n.openIfs.empty()) out.push_back({p.line, "\"endif\" without an open \"if\""});
    else n.openIfs.pop_back();
  }
}

void CheckStatement(const Placed& p, Nesting& n, std::vector<Finding>& out) {
  std::string cmd = kw::StripBlanks(kw::ScriptLowerCase(p.s->command));
  CheckNesting(p, n, out);
  if (p.s->kind == 1) {
    CheckCondition(p, cmd, out);
    return;
  }
  if (cmd.empty()) return;
  CheckCommand(p, cmd, out);
  CheckEveryFrame(p, cmd, int(n.openIfs.size()), out);
}

std::vector<Finding> Check(const ParsedScript& parsed) {
  std::vector<Finding> out;
  int lastOpenBrace = 0;
  for (const ReadLine& l : parsed.lines) {
    CheckBraces(l, out);
    CheckLineText(l, out);
    if (l.inBlockBefore == 0 && l.inBlockAfter == 1) lastOpenBrace = l.number;
  }
  if (!parsed.lines.empty() && parsed.lines.back().inBlockAfter == 1)
    out.push_back({lastOpenBrace, "\"{\" is never closed: the rest of the file is in the "
                                  "start block"});
  Nesting start, main;
  for (const Placed& p : parsed.statements) CheckStatement(p, p.start ? start : main, out);
  for (const Nesting* n : {&start, &main})
    for (int line : n->openIfs)
      out.push_back({line, "\"if\" without \"endif\": from here on everything stays hidden "
                           "while its condition is false, in every later frame and map"});
  std::stable_sort(out.begin(), out.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return out;
}

int CheckFile(const std::string& path) {
  std::string bytes;
  if (!kwmap::ReadFileBytes(path, bytes)) return Fail("cannot read " + path);
  std::vector<Finding> findings = Check(Parse(bytes));
  for (const Finding& f : findings)
    std::printf("%s:%d: %s\n", path.c_str(), f.line, kw::Latin1ToUtf8(f.message).c_str());
  return findings.empty() ? 0 : 1;
}

}  // namespace

int ScriptCommand(const Args& args) {
  if (args.size() == 2 && args[0] == "dump") return Dump(args[1]);
  if (args.size() == 2 && args[0] == "check") return CheckFile(args[1]);
  return Fail("usage: kwtool script dump FILE.ssc | kwtool script check FILE.ssc");
}

}  // namespace kwtool
