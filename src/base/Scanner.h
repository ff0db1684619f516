#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kivora {

// Reads the fields of one line of a data file: the game's formats are those
// of the C library's scanf ("%d,%d", "%*[^\t, ],%d(%d,%d)", ...), and this
// reads them the same way, one field at a time, so that every reader of
// numbers and words shares one set of rules:
//
//   Literal   a character of the format: the very next byte must be it;
//   Int       "%d": white space skipped, an optional sign, one or more
//             decimal digits;
//   Run       "%N[^stops]": one or more bytes up to a stop byte, at most N;
//   Byte      "%1c": the very next byte, whatever it is;
//   OneOf     "%1[set]": the very next byte when it is one of the set.
//
// A line is C text to those formats: it ends at its first zero byte. A
// field that does not match leaves the position where it was.
class Scanner {
public:
  explicit Scanner(std::string_view line);

  std::size_t Position() const { return pos_; }
  bool AtEnd() const { return pos_ >= text_.size(); }
  // The byte at the position; '\0' at the end.
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  bool Literal(char c);

  // A number of any length: beyond 64 bits it saturates at the 64-bit limits.
  bool Int(std::int64_t& out);
  // A number as the C library stores "%d" into an int: the saturated 64-bit
  // value cut to its low 32 bits (so 4294967296 reads 0 and any number of
  // twenty digits reads -1). Readers that must refuse numbers beyond 32 bits
  // use the 64-bit form.
  bool Int(std::int32_t& out);

  // Bytes up to (not including) the first of `stops` or the end of the line,
  // at least one and at most `width`; `out` receives them. `longer` (when
  // given) tells whether the run went on past `width`.
  bool Run(std::string_view stops, std::size_t width, std::string& out, bool* longer = nullptr);
  // The same, read and thrown away, without a width ("%*[^stops]").
  bool SkipRun(std::string_view stops);

  bool Byte(char& out);
  bool OneOf(std::string_view set, char& out);

private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// White space as scanf skips it before a number.
constexpr bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace kivora
