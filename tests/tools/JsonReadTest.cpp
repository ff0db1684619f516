// The JSON reader that merges tournament slices: strict, and bounded on
// whatever a file holds.
#include "kivora-tournament/JsonRead.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace kivora {
namespace {

struct Read {
  std::optional<JsonValue> value;
  std::string why;
  int streamed = 0;
};

Read ReadText(const std::string& text) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  Read read;
  JsonFileReader reader(file, "list", [&read](const JsonValue& head, const JsonValue& element, std::string& why) {
    ++read.streamed;
    if (!head.Find("before")) {
      why = "the head was not read first";
      return false;
    }
    if (element.type == JsonValue::Type::String && element.text == "stop") {
      why = "stopped";
      return false;
    }
    return true;
  });
  read.value = reader.Read(read.why);
  std::fclose(file);
  return read;
}

TEST(JsonReadTest, ReadsStrictJsonAndStreamsTheList) {
  const Read read = ReadText(
      "{\"before\": [1, -2.5e3, true, null], \"s\": \"a\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\\u001b\","
      " \"list\": [{\"n\": 18446744073709551615}, [], \"x\"], \"after\": {}}  \n");
  ASSERT_TRUE(read.value) << read.why;
  EXPECT_EQ(read.streamed, 3);
  EXPECT_EQ(read.value->Find("s")->text, "a\"\\/\b\f\n\r\t\xc3\xa9\xf0\x9f\x98\x80\x1b");
  const JsonValue& before = *read.value->Find("before");
  ASSERT_EQ(before.items.size(), 4u);
  EXPECT_EQ(before.items[0].Uint(), 1u);
  EXPECT_EQ(before.items[1].text, "-2.5e3");
  EXPECT_FALSE(before.items[1].Int());  // not a whole number
  EXPECT_TRUE(read.value->Find("list")->items.empty());  // streamed, not kept
  EXPECT_TRUE(read.value->Find("after"));
}

TEST(JsonReadTest, RefusesWhatIsNotJsonOrTooBig) {
  const struct {
    std::string text;
    const char* why;
  } cases[] = {
      {"", "the file ends early at byte 0"},
      {"{\"before\": 1", "the file ends early"},
      {"{\"before\": \"abc", "the file ends early"},
      {"{\"before\": 1} x", "more after the document"},
      {"{\"before\": 01}", "',' or '}' expected"},
      {"{\"before\": -}", "a bad number"},
      {"{\"before\": 1.}", "a bad number"},
      {"{\"before\": tru}", "not JSON"},
      {"{\"before\": 'a'}", "not JSON"},
      {"{\"before\": \"\\x\"}", "a bad escape in a string"},
      {"{\"before\": \"\\ud800\"}", "a lone surrogate"},
      {"{\"before\": \"\\udc00\"}", "a lone surrogate"},
      {"{\"before\": \"\\u12g4\"}", "a bad \\u escape"},
      {"{\"before\": \"a\nb\"}", "a control character in a string"},
      {"{\"before\": [1,]}", "not JSON"},
      {"{\"before\": 1,}", "a member name expected"},
      {std::string(65, '[') + std::string(65, ']'), "nested too deep"},  // 64 levels are fine
      {"{\"before\": [" + std::string(20000, '1') + "]}", "a number too long"},
      {"{\"before\": 1, \"list\": [1, \"stop\", 3]}", "stopped at byte"},
      {"{\"list\": [1]}", "the head was not read first"},
      {"{\"before\": 1, \"list\": {}}", "an array expected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    const Read read = ReadText(c.text);
    EXPECT_FALSE(read.value);
    EXPECT_NE(read.why.find(c.why), std::string::npos) << read.why;
  }
  EXPECT_TRUE(ReadText(std::string(64, '[') + std::string(64, ']')).value);
  // A million and more values in one piece is refused; the same count
  // spread over the streamed list is fine.
  std::string wide = "{\"before\": [";
  for (int i = 0; i < (1 << 20) + 1; ++i) wide += "0,";
  wide += "0]}";
  EXPECT_NE(ReadText(wide).why.find("too much in one piece"), std::string::npos);
  std::string streamed = "{\"before\": 1, \"list\": [";
  for (int i = 0; i < (1 << 20) + 1; ++i) streamed += "[0],";
  streamed += "[0]]}";
  EXPECT_TRUE(ReadText(streamed).value);
}

}  // namespace
}  // namespace kivora
