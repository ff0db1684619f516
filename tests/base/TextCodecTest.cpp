#include "base/TextCodec.h"

#include <gtest/gtest.h>

namespace kivora {
namespace {

TEST(TextCodecTest, Utf8StaysShiftJisIsDecodedBadBytesBecomeReplacement) {
  struct Case {
    std::string_view in;
    std::string_view out;
  };
  const Case cases[] = {
      {"", ""},
      {"FORWARD", "FORWARD"},
      {"\xE6\x92\x83\xE3\x81\xA6", "\xE6\x92\x83\xE3\x81\xA6"},         // 撃て, already UTF-8
      {"\x8C\x82\x82\xC4", "\xE6\x92\x83\xE3\x81\xA6"},                  // 撃て in Shift-JIS
      {"\xB1", "\xEF\xBD\xB1"},                                          // half-width ｱ
      {"a\x80" "b", "a\xEF\xBF\xBD" "b"},
      {"\xA0\xFD\xFE\xFF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\x82", "\xEF\xBF\xBD"},                                          // lead byte at the end
      {"x\x82\xA0\x82", "x\xE3\x81\x82\xEF\xBF\xBD"},                     // あ then a lone lead byte
      {std::string_view("a\0b", 3), std::string_view("a\0b", 3)},
      {"\xC0\x80", "\xEF\xBE\x80\xEF\xBF\xBD"},  // overlong UTF-8 is not UTF-8: half-width ﾀ, then a bad byte
  };
  for (const Case& c : cases) EXPECT_EQ(ToUtf8(c.in), c.out) << c.in;
}

TEST(TextCodecTest, ControlCharactersReachTheTerminalEscaped) {
  struct Case {
    std::string_view in;
    std::string_view out;
  };
  const Case cases[] = {
      {"FORWARD\tx", "FORWARD\tx"},                          // the tab stays
      {"\x1b]0;owned\x07\x1b[2J", "\\x1b]0;owned\\x07\\x1b[2J"},
      {std::string_view("a\0b\n\r\x7f", 6), "a\\x00b\\x0a\\x0d\\x7f"},
      {"\xC2\x9B" "c\xC2\xA0", "\\x9bc\xC2\xA0"},             // U+009B escaped, U+00A0 kept
      {"\x8C\x82\x1b", "\xE6\x92\x83\\x1b"},                  // Shift-JIS decoded first
  };
  for (const Case& c : cases) EXPECT_EQ(ForTerminal(c.in), c.out) << c.in;
}

TEST(TextCodecTest, RejectsMalformedUtf8) {
  const std::string_view bad[] = {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81", "\x80", "\xF8\x88\x80\x80\x80"};
  for (auto s : bad) EXPECT_FALSE(IsValidUtf8(s)) << s;
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80 \xE3\x81\x82"));
}

}  // namespace
}  // namespace kivora
