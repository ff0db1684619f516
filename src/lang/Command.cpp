// Reading command lines and describing commands.
//
// Every class reads its arguments from the whole line, the keyword skipped
// by "%*[^\t, ],", in the manner of the C library's scanf formats that are
// the language's definition: "%d" skips white space and takes a sign, "%1c"
// and the scan sets take the very next characters, a literal must match
// exactly, and whatever follows the last field is ignored (an accepted
// line tells where its reading stopped, so the checker can point at what
// is ignored). Words (labels,
// items) may be up to 255 bytes; a longer one refuses the line instead of
// being cut.
//
// A refused line is explained where it is refused: the reader that rejects
// a field names what that field should have been, so the checker's reasons
// can never disagree with what the game accepts.
#include "lang/Command.h"

#include <cstdio>
#include <cstring>

#include "base/Scanner.h"
#include "lang/CommandText.h"

namespace kivora {

namespace {

constexpr const char* moveNames[] = {"FORWARD", "BACKWARD", "LEFT", "RIGHT", "STOP"};
constexpr const char* jumpNames[] = {"JUMPFORWARD", "JUMPBACKWARD", "JUMPLEFT", "JUMPRIGHT"};
constexpr const char* turnNames[] = {"TURNLEFT", "TURNRIGHT"};
constexpr const char* itemNames[] = {"X", "Y", "DIR", "WEAPON"};
constexpr const char* itemTexts[] = {"SELFX", "SELFY", "SELFDIR", "WEAPON"};

constexpr const char* kComparisonSet = "=<>!";
constexpr const char* kOperatorSet = "-=+*/%";

// Refuses the line, saying why when asked.
int Refuse(std::string* why, std::string reason) {
  if (why) *why = std::move(reason);
  return 0;
}

// Accepts the line, whose reading stopped at `at`.
int Accept(std::size_t* end, std::size_t at) {
  if (end) *end = at;
  return 1;
}

// Where the keyword of `line` ends: commands without arguments read no more.
std::size_t KeywordEnd(const char* line) {
  Scanner in(line);
  in.SkipRun(kWordStops);
  return in.Position();
}

// Sets `kind` from the line's keyword, one of `names`; 0 if none matches.
template <std::size_t N>
int KindFromKeyword(const char* line, const char* const (&names)[N], int& kind, std::size_t* end) {
  std::string word;
  if (!ReadKeyword(line, word)) return 0;
  for (std::size_t i = 0; i < N; ++i) {
    if (EqualsIgnoringCase(word.c_str(), names[i])) {
      kind = static_cast<int>(i);
      return Accept(end, word.size());
    }
  }
  return 0;
}

template <std::size_t N>
const char* NameOf(int kind, const char* const (&names)[N]) {
  return kind >= 0 && static_cast<std::size_t>(kind) < N ? names[kind] : "?";
}

// Why a sector is out of range; empty when it is in range.
const char* SectorFault(int range, int angle, int width) {
  if (angle < -179 || angle > 180) return "angle must be -179..180";
  if (width < 1 || width > 360) return "width must be 1..360";
  if (range < 0) return "range must be 0 or more";
  return nullptr;
}

// "%*[^\t, ],": past the keyword and the comma after it.
bool Arguments(Scanner& in) { return in.SkipRun(kWordStops) && in.Literal(','); }

// ",%255[^\t, ]": the label that ends a branching command. Returns the
// reason when there is none or it is too long, else null.
const char* ReadLabel(Scanner& in, std::string& label) {
  if (!in.Literal(',')) return "expected a comma and a label";
  bool longer = false;
  if (!in.Run(kWordStops, kLongestWord, label, &longer)) return "no label after the comma";
  if (longer) return "label longer than 255 bytes";
  return nullptr;
}

// "%d(%d,%d)": a sector after the keyword's comma. Returns how many of the
// three numbers were read; 3 only with the closing parenthesis.
int ReadSector(Scanner& in, int& range, int& angle, int& width) {
  if (!in.Int(range)) return 0;
  if (!in.Literal('(') || !in.Int(angle)) return 1;
  if (!in.Literal(',') || !in.Int(width)) return 2;
  return 3;
}

// The codes of a character the scan set accepted (see Command.h).
int ComparisonCode(char c) { return static_cast<int>(std::strchr(comparisonChars, c) - comparisonChars); }
int OperatorCode(char c) { return static_cast<int>(std::strchr(operatorChars, c) - operatorChars); }

char ShownComparison(int op) { return comparisonChars[((op % 4) + 4) % 4]; }
char ShownOperator(int op) { return operatorChars[((op % 6) + 6) % 6]; }

// "%1[=<>!]=": a comparison, which always carries its trailing "=". Returns
// the reason it is not one, else null.
const char* ReadComparison(Scanner& in, char& cmp) {
  if (!in.OneOf(kComparisonSet, cmp)) return "";
  if (in.Peek() != '=') return "a comparison is written ==, !=, >= or <=";
  in.Literal('=');
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- helpers (CommandText.h)

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (FoldLetter(*a) != FoldLetter(*b)) return false;
    if (*a == '\0') return true;
  }
}

bool ReadKeyword(const char* line, std::string& word) {
  Scanner in(line);
  bool longer = false;
  return in.Run(kWordStops, kLongestWord, word, &longer) && !longer;
}

// ---------------------------------------------------------------- no arguments

int CommandNop::Parse(const char* line, std::string*, std::size_t* end) { return Accept(end, KeywordEnd(line)); }
int CommandFight::Parse(const char* line, std::string*, std::size_t* end) { return Accept(end, KeywordEnd(line)); }
int CommandProne::Parse(const char* line, std::string*, std::size_t* end) { return Accept(end, KeywordEnd(line)); }
int CommandGetParts::Parse(const char* line, std::string*, std::size_t* end) { return Accept(end, KeywordEnd(line)); }

int CommandMove::Parse(const char* line, std::string*, std::size_t* end) {
  return KindFromKeyword(line, moveNames, kind, end);
}
int CommandJump::Parse(const char* line, std::string*, std::size_t* end) {
  return KindFromKeyword(line, jumpNames, kind, end);
}
int CommandTurn::Parse(const char* line, std::string*, std::size_t* end) {
  return KindFromKeyword(line, turnNames, kind, end);
}

const char* CommandMove::Describe() { return NameOf(kind, moveNames); }
const char* CommandJump::Describe() { return NameOf(kind, jumpNames); }
const char* CommandTurn::Describe() { return NameOf(kind, turnNames); }

// ---------------------------------------------------------------- FIRE

int CommandFire::Parse(const char* line, std::string* why, std::size_t* end) {
  Scanner in(line);
  int r = 0, a = 0, w = 0;
  // Nothing after the width decides anything, not even the closing
  // parenthesis; it is passed over when present, so that only what comes
  // after it counts as ignored.
  if (!Arguments(in) || ReadSector(in, r, a, w) != 3) return Refuse(why, "expected FIRE,RANGE(ANGLE,WIDTH)");
  if (const char* fault = SectorFault(r, a, w)) return Refuse(why, fault);
  in.Literal(')');
  range = r;
  angle = a;
  width = w;
  return Accept(end, in.Position());
}

const char* CommandFire::Describe() {
  std::snprintf(text, sizeof text, "FIRE:%d(%d,%d)", range, angle, width);
  return text;
}

// ---------------------------------------------------------------- SEARCHE SEARCHF SEARCHO SEARCHB SEARCHP

int CommandSearch::Parse(const char* line, std::string* why, std::size_t* end) {
  Scanner in(line);
  int r = 0, a = 0, w = 0;
  if (!Arguments(in) || ReadSector(in, r, a, w) != 3)
    return Refuse(why, std::string("expected ") + Keyword() + ",RANGE(ANGLE,WIDTH),LABEL");
  if (const char* fault = SectorFault(r, a, w)) return Refuse(why, fault);
  std::string word;
  if (!in.Literal(')')) return Refuse(why, "expected a comma and a label");
  if (const char* fault = ReadLabel(in, word)) return Refuse(why, fault);
  range = r;
  angle = a;
  width = w;
  label = std::move(word);
  return Accept(end, in.Position());
}

const char* CommandSearch::Describe() {
  std::snprintf(text, sizeof text, "%s:%d(%d,%d)", Keyword(), range, angle, width);
  return text;
}

// ---------------------------------------------------------------- RANDOM

int CommandRandom::Parse(const char* line, std::string* why, std::size_t* end) {
  Scanner in(line);
  int n = 0, d = 0;
  if (!Arguments(in) || !in.Int(n) || !in.Literal('/') || !in.Int(d))
    return Refuse(why, "expected RANDOM,N/D,LABEL");
  std::string word;
  if (const char* fault = ReadLabel(in, word)) return Refuse(why, fault);
  numerator = n;
  denominator = d;
  label = std::move(word);
  return Accept(end, in.Position());
}

const char* CommandRandom::Describe() {
  std::snprintf(text, sizeof text, "RANDOM:%d/%d", numerator, denominator);
  return text;
}

// ---------------------------------------------------------------- REMAIN

int CommandRemain::Parse(const char* line, std::string* why, std::size_t* end) {
  constexpr const char* expected = "expected REMAIN,c=VALUE,LABEL with c one of = ! > <";
  Scanner in(line);
  char cmp = 0;
  int v = 0;
  if (!Arguments(in)) return Refuse(why, expected);
  if (const char* fault = ReadComparison(in, cmp)) return Refuse(why, *fault ? fault : expected);
  if (!in.Int(v)) return Refuse(why, expected);
  std::string word;
  if (const char* fault = ReadLabel(in, word)) return Refuse(why, fault);
  op = ComparisonCode(cmp);
  value = v;
  label = std::move(word);
  return Accept(end, in.Position());
}

const char* CommandRemain::Describe() {
  std::snprintf(text, sizeof text, "REMAIN:%c=%d", ShownComparison(op), value);
  return text;
}

// ---------------------------------------------------------------- VAR

int CommandVar::Parse(const char* line, std::string* why, std::size_t* end) {
  Scanner in(line);
  char letter = 0, oper = 0, source = 0;
  // "X<op>NUMBER" takes any character for X (a non-letter is a variable that
  // reads 0 and keeps nothing); "X<op>Y" only letters.
  if (Arguments(in) && in.Byte(letter) && in.OneOf(kOperatorSet, oper)) {
    int v = 0;
    Scanner number = in;
    if (number.Int(v)) {
      variable = FoldLetter(letter);
      value = v;
      op = OperatorCode(oper);
      return Accept(end, number.Position());
    }
    if (in.Byte(source)) {
      letter = FoldLetter(letter);
      source = FoldLetter(source);
      if (!IsVariableLetter(letter) || !IsVariableLetter(source)) return Refuse(why, "variables are the letters A to Z");
      variable = letter;
      sourceVariable = source;
      op = OperatorCode(oper) + 6;
      return Accept(end, in.Position());
    }
  }
  return Refuse(why, "expected VAR,X=NUMBER or VAR,X=Y (operators = + - * / %)");
}

const char* CommandVar::Describe() {
  if (op < 6) std::snprintf(text, sizeof text, "VAR:%c%c%d", variable, ShownOperator(op), value);
  else std::snprintf(text, sizeof text, "VAR:%c%c%c", variable, ShownOperator(op), sourceVariable);
  return text;
}

// ---------------------------------------------------------------- COND

int CommandVarCond::Parse(const char* line, std::string* why, std::size_t* end) {
  constexpr const char* expected = "expected COND,Xc=NUMBER,LABEL or COND,Xc=Y,LABEL (c one of = ! > <)";
  Scanner in(line);
  char letter = 0, cmp = 0, source = 0;
  if (!Arguments(in) || !in.Byte(letter)) return Refuse(why, expected);
  if (const char* fault = ReadComparison(in, cmp)) return Refuse(why, *fault ? fault : expected);
  std::string word;
  // "Xc=NUMBER,LABEL" takes any character for X; "Xc=Y,LABEL" only letters.
  int v = 0;
  Scanner number = in;
  if (number.Int(v)) {
    if (const char* fault = ReadLabel(number, word)) return Refuse(why, fault);
    variable = FoldLetter(letter);
    value = v;
    op = ComparisonCode(cmp);
    label = std::move(word);
    return Accept(end, number.Position());
  }
  if (!in.Byte(source)) return Refuse(why, expected);
  letter = FoldLetter(letter);
  source = FoldLetter(source);
  if (!IsVariableLetter(letter) || !IsVariableLetter(source)) return Refuse(why, "variables are the letters A to Z");
  if (const char* fault = ReadLabel(in, word)) return Refuse(why, fault);
  variable = letter;
  sourceVariable = source;
  op = ComparisonCode(cmp) + 4;
  label = std::move(word);
  return Accept(end, in.Position());
}

const char* CommandVarCond::Describe() {
  if (op < 4) std::snprintf(text, sizeof text, "COND:%c%c=%d", variable, ShownComparison(op), value);
  else std::snprintf(text, sizeof text, "COND:%c%c=%c", variable, ShownComparison(op), sourceVariable);
  return text;
}

// ---------------------------------------------------------------- GETINFO

int CommandGetInfo::Parse(const char* line, std::string* why, std::size_t* end) {
  Scanner in(line);
  char letter = 0;
  std::string word;
  bool longer = false;
  if (!Arguments(in) || !in.Byte(letter) || !in.Literal('=') || !in.Run(kWordStops, kLongestWord, word, &longer))
    return Refuse(why, "expected GETINFO,X=ITEM");
  if (longer) return Refuse(why, "item longer than 255 bytes");
  for (int i = 0; i < 4; ++i) {
    if (EqualsIgnoringCase(word.c_str(), itemNames[i])) {
      variable = FoldLetter(letter);
      item = i;
      return Accept(end, in.Position());
    }
  }
  return Refuse(why, "unknown item " + word + " (X, Y, DIR or WEAPON)");
}

const char* CommandGetInfo::Describe() {
  std::snprintf(text, sizeof text, "GETINFO:%c=%s", variable, NameOf(item, itemTexts));
  return text;
}

}  // namespace kivora
