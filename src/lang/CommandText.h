#pragma once
#include "lang/Command.h"

namespace kivora {

// Small helpers for reading command lines. Letter case is folded for ASCII
// letters only: every other byte (Shift-JIS included) compares as it is.

constexpr char FoldLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr bool IsVariableLetter(char c) { return c >= 'A' && c <= 'Z'; }

// Whole-word comparison ignoring the case of ASCII letters.
bool EqualsIgnoringCase(const char* a, const char* b);

// The characters that end a word of a command line (and the end of the line).
bool IsWordEnd(char c);

// After "%255[...]%n" read `word` and stopped at `end` of `line`: true when
// the word filled the buffer and goes on, i.e. it is 256 bytes or longer.
bool WordOverflows(const char* word, const char* line, int end);

// The line's keyword (the run up to the first tab, comma or space) into
// `word`. False when there is none or it does not fit the buffer.
bool ReadKeyword(const char* line, char (&word)[wordBufferSize]);

}  // namespace kivora

namespace kivora {
// True when `keyword` names a command of the language (as CreateCommand matches it).
bool IsKnownKeyword(const char* keyword);
}  // namespace kivora
