#include "base/JsonText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kivora {
namespace {

TEST(JsonTextTest, StringsAreValidJsonWhateverTheBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain.prg", R"("plain.prg")"},
      {"a\"b\\c", R"("a\"b\\c")"},
      {std::string("nul\0tab\tlf\n", 11), R"("nul\u0000tab\u0009lf\u000a")"},
      {"\x1b[2J\x7f", R"("\u001b[2J\u007f")"},
      {"\xc2\x85\xc2\xa0", "\"\\u0085\xc2\xa0\""},                 // C1 control escaped, NBSP kept
      {"\x83\x65\x83\x58\x83\x67.spc", "\"テスト.spc\""},         // Shift-JIS becomes UTF-8
      {"\xff", "\"\xef\xbf\xbd\""},                               // an undecodable byte: U+FFFD
      {"/ and 日本", "\"/ and 日本\""},
  };
  for (const auto& [bytes, json] : cases) {
    std::string out;
    AppendJsonString(out, bytes);
    EXPECT_EQ(out, json);
  }
}

TEST(JsonTextTest, WriterNestsWithCommasAndIndentation) {
  std::string out;
  JsonWriter json(out);
  json.BeginObject();
  json.Key("n").Int(-5);
  json.Key("big").Uint(std::numeric_limits<std::uint64_t>::max());
  json.Key("empty").BeginArray().EndArray();
  json.Key("list").BeginArray().Bool(true).Null().BeginObject().Key("k").String("v").EndObject().EndArray();
  json.Key("none").BeginObject().EndObject();
  json.Key("rates").BeginArray().Fixed(0.68754, 4).Fixed(2.0 / 3.0, 1).Fixed(std::nan(""), 4).EndArray();
  json.EndObject();
  EXPECT_EQ(out,
            "{\n"
            "  \"n\": -5,\n"
            "  \"big\": 18446744073709551615,\n"
            "  \"empty\": [],\n"
            "  \"list\": [\n"
            "    true,\n"
            "    null,\n"
            "    {\n"
            "      \"k\": \"v\"\n"
            "    }\n"
            "  ],\n"
            "  \"none\": {},\n"
            "  \"rates\": [\n"
            "    0.6875,\n"
            "    0.7,\n"
            "    null\n"
            "  ]\n"
            "}\n");
}

}  // namespace
}  // namespace kivora
