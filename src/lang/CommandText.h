#pragma once
#include <string>

#include "lang/Command.h"

namespace kivora {

// Small helpers for reading command lines. Letter case is folded for ASCII
// letters only: every other byte (Shift-JIS included) compares as it is.

constexpr char FoldLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr bool IsVariableLetter(char c) { return c >= 'A' && c <= 'Z'; }

// Whole-word comparison ignoring the case of ASCII letters.
bool EqualsIgnoringCase(const char* a, const char* b);

// The bytes that end a word of a command line (the end of the line too).
inline constexpr const char* kWordStops = "\t, ";

// A word (keyword, label, GETINFO item) fits a buffer of this size with its
// terminating zero; a line with a longer word is refused.
inline constexpr std::size_t kLongestWord = 255;

// The line's keyword (the run up to the first tab, comma or space) into
// `word`. False when there is none or it is longer than kLongestWord.
bool ReadKeyword(const char* line, std::string& word);

// True when `keyword` names a command of the language (as CreateCommand matches it).
bool IsKnownKeyword(const char* keyword);

}  // namespace kivora
