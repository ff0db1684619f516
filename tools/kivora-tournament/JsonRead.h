#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivora {

// A JSON value as read: numbers kept as their text, members in file order.
struct JsonValue {
  enum class Type { Null, Bool, Number, String, Array, Object };
  Type type = Type::Null;
  bool boolean = false;
  std::string text;  // a string's UTF-8 bytes, a number's digits
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  // The member `key` of an object; null for anything else or none.
  const JsonValue* Find(std::string_view key) const;
  // A number that is a whole number and fits.
  std::optional<std::uint64_t> Uint() const;
  std::optional<std::int64_t> Int() const;
};

// Reads one JSON document from a file, strictly (RFC 8259, no comments,
// nothing after it), with bounds that keep bad files small: 64 levels at
// most, and at most 1,048,576 values and 16 MiB of strings in memory at a
// time. The elements of the top-level object's member `streamed` (an array)
// are handed to `element` one at a time and not kept, so that a long list
// costs no more than its longest element, together with the members of the
// top-level object read before it; `element` returns false, with a reason,
// to stop the reading. Throws nothing: errors come back as text,
// with the byte offset where the reading stopped.
class JsonFileReader {
public:
  using ElementHandler = std::function<bool(const JsonValue& head, const JsonValue& element, std::string& why)>;

  JsonFileReader(std::FILE* file, std::string streamed, ElementHandler element)
      : file_(file), streamed_(std::move(streamed)), element_(std::move(element)) {}

  // The document, less the streamed array (left empty); none with `why`.
  std::optional<JsonValue> Read(std::string& why);

private:
  int Peek();
  int Get();
  void SkipBlanks();
  bool Fail(std::string why);
  bool Count(std::size_t bytes);
  bool ParseValue(JsonValue& value, int depth, bool topLevel);
  bool ParseString(std::string& out);
  bool ParseNumber(std::string& out);
  bool ParseWord(const char* word);

  std::FILE* file_;
  std::string streamed_;
  ElementHandler element_;
  char buffer_[1 << 16];
  std::size_t have_ = 0;
  std::size_t at_ = 0;
  std::uint64_t offset_ = 0;
  bool atEnd_ = false;  // the file has no more bytes
  std::size_t values_ = 0;
  std::size_t bytes_ = 0;
  std::string why_;
};

}  // namespace kivora
