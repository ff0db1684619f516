// Reading command lines and describing commands.
//
// Every class reads its arguments with sscanf formats over the whole line,
// the keyword skipped by "%*[^\t, ],". The formats are the language's
// definition: "%d" skips white space and takes a sign, "%1c" and the scan
// sets take the very next characters, a literal must match exactly, and
// whatever follows the last field is ignored. Words (labels, items) are
// read into fixed buffers with a width, and a word that would not fit
// refuses the line instead of being cut.
#include "lang/Command.h"

#include "lang/CommandText.h"

#include <cstdio>
#include <cstring>

namespace kivora {

namespace {

constexpr const char* moveNames[] = {"FORWARD", "BACKWARD", "LEFT", "RIGHT", "STOP"};
constexpr const char* jumpNames[] = {"JUMPFORWARD", "JUMPBACKWARD", "JUMPLEFT", "JUMPRIGHT"};
constexpr const char* turnNames[] = {"TURNLEFT", "TURNRIGHT"};
constexpr const char* itemNames[] = {"X", "Y", "DIR", "WEAPON"};
constexpr const char* itemTexts[] = {"SELFX", "SELFY", "SELFDIR", "WEAPON"};

// Sets `kind` from the line's keyword, one of `names`; 0 if none matches.
template <std::size_t N>
int KindFromKeyword(const char* line, const char* const (&names)[N], int& kind) {
  char word[wordBufferSize];
  if (!ReadKeyword(line, word)) return 0;
  for (std::size_t i = 0; i < N; ++i) {
    if (EqualsIgnoringCase(word, names[i])) {
      kind = static_cast<int>(i);
      return 1;
    }
  }
  return 0;
}

template <std::size_t N>
const char* NameOf(int kind, const char* const (&names)[N]) {
  return kind >= 0 && static_cast<std::size_t>(kind) < N ? names[kind] : "?";
}

bool SectorInRange(int range, int angle, int width) {
  return angle >= -179 && angle <= 180 && width >= 1 && width <= 360 && range >= 0;
}

int ComparisonCode(char c) {
  const char* p = std::strchr(comparisonChars, c);
  return p != nullptr && c != '\0' ? static_cast<int>(p - comparisonChars) : 0;
}

int OperatorCode(char c) {
  const char* p = std::strchr(operatorChars, c);
  return p != nullptr && c != '\0' ? static_cast<int>(p - operatorChars) : 0;
}

char ShownComparison(int op) { return comparisonChars[((op % 4) + 4) % 4]; }
char ShownOperator(int op) { return operatorChars[((op % 6) + 6) % 6]; }

}  // namespace

// ---------------------------------------------------------------- helpers (CommandText.h)

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (FoldLetter(*a) != FoldLetter(*b)) return false;
    if (*a == '\0') return true;
  }
}

bool IsWordEnd(char c) { return c == '\0' || c == '\t' || c == ',' || c == ' '; }

bool WordOverflows(const char* word, const char* line, int end) {
  return std::strlen(word) == wordBufferSize - 1 && !IsWordEnd(line[end]);
}

bool ReadKeyword(const char* line, char (&word)[wordBufferSize]) {
  int end = 0;
  if (std::sscanf(line, "%255[^\t, ]%n", word, &end) != 1) return false;
  return !WordOverflows(word, line, end);
}

// ---------------------------------------------------------------- no arguments

int CommandNop::Parse(const char*) { return 1; }
int CommandFight::Parse(const char*) { return 1; }
int CommandProne::Parse(const char*) { return 1; }
int CommandGetParts::Parse(const char*) { return 1; }

int CommandMove::Parse(const char* line) { return KindFromKeyword(line, moveNames, kind); }
int CommandJump::Parse(const char* line) { return KindFromKeyword(line, jumpNames, kind); }
int CommandTurn::Parse(const char* line) { return KindFromKeyword(line, turnNames, kind); }

const char* CommandMove::Describe() { return NameOf(kind, moveNames); }
const char* CommandJump::Describe() { return NameOf(kind, jumpNames); }
const char* CommandTurn::Describe() { return NameOf(kind, turnNames); }

// ---------------------------------------------------------------- FIRE

int CommandFire::Parse(const char* line) {
  int r = 0, a = 0, w = 0;
  if (std::sscanf(line, "%*[^\t, ],%d(%d,%d)", &r, &a, &w) != 3) return 0;
  if (!SectorInRange(r, a, w)) return 0;
  range = r;
  angle = a;
  width = w;
  return 1;
}

const char* CommandFire::Describe() {
  std::snprintf(text, sizeof text, "FIRE:%d(%d,%d)", range, angle, width);
  return text;
}

// ---------------------------------------------------------------- SEARCHE SEARCHF SEARCHO SEARCHB SEARCHP

int CommandSearch::Parse(const char* line) {
  int r = 0, a = 0, w = 0, end = 0;
  char word[wordBufferSize];
  if (std::sscanf(line, "%*[^\t, ],%d(%d,%d),%255[^\t, ]%n", &r, &a, &w, word, &end) != 4) return 0;
  if (WordOverflows(word, line, end)) return 0;
  if (!SectorInRange(r, a, w)) return 0;
  range = r;
  angle = a;
  width = w;
  label = word;
  return 1;
}

const char* CommandSearch::Describe() {
  std::snprintf(text, sizeof text, "%s:%d(%d,%d)", Keyword(), range, angle, width);
  return text;
}

// ---------------------------------------------------------------- RANDOM

int CommandRandom::Parse(const char* line) {
  int n = 0, d = 0, end = 0;
  char word[wordBufferSize];
  if (std::sscanf(line, "%*[^\t, ],%d/%d,%255[^\t, ]%n", &n, &d, word, &end) != 3) return 0;
  if (WordOverflows(word, line, end)) return 0;
  numerator = n;
  denominator = d;
  label = word;
  return 1;
}

const char* CommandRandom::Describe() {
  std::snprintf(text, sizeof text, "RANDOM:%d/%d", numerator, denominator);
  return text;
}

// ---------------------------------------------------------------- REMAIN

int CommandRemain::Parse(const char* line) {
  char cmp[2] = {};
  int v = 0, end = 0;
  char word[wordBufferSize];
  if (std::sscanf(line, "%*[^\t, ],%1[=<>!]=%d,%255[^\t, ]%n", cmp, &v, word, &end) != 3) return 0;
  if (WordOverflows(word, line, end)) return 0;
  op = ComparisonCode(cmp[0]);
  value = v;
  label = word;
  return 1;
}

const char* CommandRemain::Describe() {
  std::snprintf(text, sizeof text, "REMAIN:%c=%d", ShownComparison(op), value);
  return text;
}

// ---------------------------------------------------------------- VAR

int CommandVar::Parse(const char* line) {
  char letter = 0, source = 0;
  char oper[2] = {};
  int v = 0;
  if (std::sscanf(line, "%*[^\t, ],%1c%1[-=+*/%]%d", &letter, oper, &v) == 3) {
    variable = FoldLetter(letter);
    value = v;
    op = OperatorCode(oper[0]);
    return 1;
  }
  if (std::sscanf(line, "%*[^\t, ],%1c%1[-=+*/%]%1c", &letter, oper, &source) == 3) {
    letter = FoldLetter(letter);
    source = FoldLetter(source);
    if (!IsVariableLetter(letter) || !IsVariableLetter(source)) return 0;
    variable = letter;
    sourceVariable = source;
    op = OperatorCode(oper[0]) + 6;
    return 1;
  }
  return 0;
}

const char* CommandVar::Describe() {
  if (op < 6) std::snprintf(text, sizeof text, "VAR:%c%c%d", variable, ShownOperator(op), value);
  else std::snprintf(text, sizeof text, "VAR:%c%c%c", variable, ShownOperator(op), sourceVariable);
  return text;
}

// ---------------------------------------------------------------- COND

int CommandVarCond::Parse(const char* line) {
  char letter = 0, source = 0;
  char cmp[2] = {};
  int v = 0, end = 0;
  char word[wordBufferSize];
  if (std::sscanf(line, "%*[^\t, ],%1c%1[=<>!]=%d,%255[^\t, ]%n", &letter, cmp, &v, word, &end) == 4) {
    if (WordOverflows(word, line, end)) return 0;
    variable = FoldLetter(letter);
    value = v;
    op = ComparisonCode(cmp[0]);
    label = word;
    return 1;
  }
  end = 0;
  if (std::sscanf(line, "%*[^\t, ],%1c%1[=<>!]=%1c,%255[^\t, ]%n", &letter, cmp, &source, word, &end) == 4) {
    if (WordOverflows(word, line, end)) return 0;
    letter = FoldLetter(letter);
    source = FoldLetter(source);
    if (!IsVariableLetter(letter) || !IsVariableLetter(source)) return 0;
    variable = letter;
    sourceVariable = source;
    op = ComparisonCode(cmp[0]) + 4;
    label = word;
    return 1;
  }
  return 0;
}

const char* CommandVarCond::Describe() {
  if (op < 4) std::snprintf(text, sizeof text, "COND:%c%c=%d", variable, ShownComparison(op), value);
  else std::snprintf(text, sizeof text, "COND:%c%c=%c", variable, ShownComparison(op), sourceVariable);
  return text;
}

// ---------------------------------------------------------------- GETINFO

int CommandGetInfo::Parse(const char* line) {
  char letter = 0;
  int end = 0;
  char word[wordBufferSize];
  if (std::sscanf(line, "%*[^\t ,],%1c=%255[^\t ,]%n", &letter, word, &end) != 2) return 0;
  if (WordOverflows(word, line, end)) return 0;
  variable = FoldLetter(letter);
  for (int i = 0; i < 4; ++i) {
    if (EqualsIgnoringCase(word, itemNames[i])) {
      item = i;
      return 1;
    }
  }
  return 0;
}

const char* CommandGetInfo::Describe() {
  std::snprintf(text, sizeof text, "GETINFO:%c=%s", variable, NameOf(item, itemTexts));
  return text;
}

}  // namespace kivora
