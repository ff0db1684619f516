#include "lang/DropReason.h"

#include <cstdio>
#include <cstring>

#include "lang/Command.h"
#include "lang/CommandText.h"

namespace kivora {

namespace {

std::string SectorReason(int range, int angle, int width) {
  if (angle < -179 || angle > 180) return "angle must be -179..180";
  if (width < 1 || width > 360) return "width must be 1..360";
  if (range < 0) return "range must be 0 or more";
  return {};
}

// The label that ends a branching command. `prefix` scans the line up to the
// comma before the label and ends in "%n".
std::string LabelReason(int fieldsRead, int fieldsWanted, const char* line, int end, const char* word,
                        const char* prefix) {
  if (fieldsRead == fieldsWanted - 1) {
    int at = 0;
    std::sscanf(line, prefix, &at);
    return at > 0 && line[at] == ',' ? "no label after the comma" : "expected a comma and a label";
  }
  if (fieldsRead == fieldsWanted && WordOverflows(word, line, end)) return "label longer than 255 bytes";
  return {};
}

std::string FireReason(const char* line) {
  int r = 0, a = 0, w = 0;
  if (std::sscanf(line, "%*[^\t, ],%d(%d,%d)", &r, &a, &w) != 3) return "expected FIRE,RANGE(ANGLE,WIDTH)";
  return SectorReason(r, a, w);
}

std::string SearchReason(const char* line, const char* keyword) {
  int r = 0, a = 0, w = 0, end = 0;
  char word[wordBufferSize] = {};
  const int got = std::sscanf(line, "%*[^\t, ],%d(%d,%d),%255[^\t, ]%n", &r, &a, &w, word, &end);
  if (got < 3) return std::string("expected ") + keyword + ",RANGE(ANGLE,WIDTH),LABEL";
  std::string reason = SectorReason(r, a, w);
  if (reason.empty()) reason = LabelReason(got, 4, line, end, word, "%*[^\t, ],%*d(%*d,%*d)%n");
  return reason;
}

std::string RandomReason(const char* line) {
  int n = 0, d = 0, end = 0;
  char word[wordBufferSize] = {};
  const int got = std::sscanf(line, "%*[^\t, ],%d/%d,%255[^\t, ]%n", &n, &d, word, &end);
  if (got < 2) return "expected RANDOM,N/D,LABEL";
  return LabelReason(got, 3, line, end, word, "%*[^\t, ],%*d/%*d%n");
}

std::string RemainReason(const char* line) {
  char cmp[2] = {};
  int v = 0, end = 0;
  char word[wordBufferSize] = {};
  const int got = std::sscanf(line, "%*[^\t, ],%1[=<>!]=%d,%255[^\t, ]%n", cmp, &v, word, &end);
  if (got == 1) {
    int at = 0;
    std::sscanf(line, "%*[^\t, ],%*1[=<>!]%n", &at);
    if (at > 0 && line[at] != '=') return "a comparison is written ==, !=, >= or <=";
  }
  if (got < 2) return "expected REMAIN,c=VALUE,LABEL with c one of = ! > <";
  return LabelReason(got, 3, line, end, word, "%*[^\t, ],%*1[=<>!]=%*d%n");
}

std::string VarReason(const char* line) {
  char letter = 0, source = 0;
  char oper[2] = {};
  if (std::sscanf(line, "%*[^\t, ],%1c%1[-=+*/%]%1c", &letter, oper, &source) == 3) {
    if (!IsVariableLetter(FoldLetter(letter)) || !IsVariableLetter(FoldLetter(source)))
      return "variables are the letters A to Z";
  }
  return "expected VAR,X=NUMBER or VAR,X=Y (operators = + - * / %)";
}

std::string CondReason(const char* line) {
  char letter = 0, source = 0;
  char cmp[2] = {};
  int v = 0, end = 0;
  char word[wordBufferSize] = {};
  int got = std::sscanf(line, "%*[^\t, ],%1c%1[=<>!]=%d,%255[^\t, ]%n", &letter, cmp, &v, word, &end);
  if (got >= 3) return LabelReason(got, 4, line, end, word, "%*[^\t, ],%*1c%*1[=<>!]=%*d%n");
  end = 0;
  got = std::sscanf(line, "%*[^\t, ],%1c%1[=<>!]=%1c,%255[^\t, ]%n", &letter, cmp, &source, word, &end);
  if (got >= 3) {
    if (!IsVariableLetter(FoldLetter(letter)) || !IsVariableLetter(FoldLetter(source)))
      return "variables are the letters A to Z";
    return LabelReason(got, 4, line, end, word, "%*[^\t, ],%*1c%*1[=<>!]=%*1c%n");
  }
  if (got == 2) {
    int at = 0;
    std::sscanf(line, "%*[^\t, ],%*1c%*1[=<>!]%n", &at);
    if (at > 0 && line[at] != '=') return "a comparison is written ==, !=, >= or <=";
  }
  return "expected COND,Xc=NUMBER,LABEL or COND,Xc=Y,LABEL (c one of = ! > <)";
}

std::string GetInfoReason(const char* line) {
  char letter = 0;
  int end = 0;
  char word[wordBufferSize] = {};
  if (std::sscanf(line, "%*[^\t ,],%1c=%255[^\t ,]%n", &letter, word, &end) == 2) {
    if (WordOverflows(word, line, end)) return "item longer than 255 bytes";
    return std::string("unknown item ") + word + " (X, Y, DIR or WEAPON)";
  }
  return "expected GETINFO,X=ITEM";
}

}  // namespace

std::string DropReason(const char* line) {
  if (line == nullptr || line[0] == '\0') return "no keyword";
  if (line[0] == ' ' || line[0] == '\t') return "no keyword: the line starts with white space";
  if (line[0] == ',') return "no keyword: the line starts with a comma";
  char keyword[wordBufferSize];
  if (!ReadKeyword(line, keyword)) return "keyword longer than 255 bytes";
  if (!IsKnownKeyword(keyword)) {
    std::string reason = std::string("unknown keyword ") + keyword;
    if (EqualsIgnoringCase(keyword, "NOP")) reason += " (NOP is written in capitals)";
    return reason;
  }
  std::string reason;
  if (EqualsIgnoringCase(keyword, "FIRE")) reason = FireReason(line);
  else if (std::strlen(keyword) == 7 && EqualsIgnoringCase(std::string(keyword, 6).c_str(), "SEARCH")) {
    char upper[8];
    for (int i = 0; i < 8; ++i) upper[i] = FoldLetter(keyword[i]);
    reason = SearchReason(line, upper);
  } else if (EqualsIgnoringCase(keyword, "RANDOM")) reason = RandomReason(line);
  else if (EqualsIgnoringCase(keyword, "REMAIN")) reason = RemainReason(line);
  else if (EqualsIgnoringCase(keyword, "VAR")) reason = VarReason(line);
  else if (EqualsIgnoringCase(keyword, "COND")) reason = CondReason(line);
  else if (EqualsIgnoringCase(keyword, "GETINFO")) reason = GetInfoReason(line);
  return reason.empty() ? "arguments do not fit the command" : reason;
}

}  // namespace kivora
