#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

// Appends `bytes` as one JSON string, quotes included: converted to UTF-8 as
// ToUtf8 does (so a Shift-JIS file name reads as it does on a terminal),
// then the quote and the backslash escaped and every control character
// (U+0000..U+001F and U+007F..U+009F, the tab included) written as \u00XX.
// Anything else stays as it is, so the text is valid UTF-8 JSON whatever
// the bytes were.
void AppendJsonString(std::string& out, std::string_view bytes);

// Writes one JSON document into a string, two spaces of indentation a level,
// one member or element a line. The caller keeps the nesting right (Key
// before every value inside an object, nothing else); the writer puts the
// commas, the indentation and the final line feed.
class JsonWriter {
public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view bytes);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Uint(std::uint64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  // A number with `decimals` digits after the point ("0.6875"); null for a
  // value that is not finite, which JSON cannot hold.
  JsonWriter& Fixed(double value, int decimals);

private:
  void BeforeValue();
  JsonWriter& Close(char bracket);

  std::string& out_;
  std::vector<int> counts_;  // members or elements so far, one per open level
  bool afterKey_ = false;
};

}  // namespace kivora
