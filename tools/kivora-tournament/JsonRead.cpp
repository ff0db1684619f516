#include "kivora-tournament/JsonRead.h"

#include <charconv>

namespace kivora {

namespace {

constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxValues = 1 << 20;
constexpr std::size_t kMaxStringBytes = 16u << 20;

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
  if (type != Type::Object) return nullptr;
  for (const auto& [name, value] : members) {
    if (name == key) return &value;
  }
  return nullptr;
}

std::optional<std::uint64_t> JsonValue::Uint() const {
  if (type != Type::Number) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::int64_t> JsonValue::Int() const {
  if (type != Type::Number) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int JsonFileReader::Peek() {
  if (at_ == have_) {
    have_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    at_ = 0;
    if (have_ == 0) {
      atEnd_ = true;
      return EOF;
    }
  }
  return static_cast<unsigned char>(buffer_[at_]);
}

int JsonFileReader::Get() {
  const int c = Peek();
  if (c != EOF) {
    ++at_;
    ++offset_;
  }
  return c;
}

void JsonFileReader::SkipBlanks() {
  for (int c = Peek(); c == ' ' || c == '\t' || c == '\n' || c == '\r'; c = Peek()) Get();
}

bool JsonFileReader::Fail(std::string why) {
  // Whatever was expected, a file that stops is said to stop.
  if (std::ferror(file_)) why = "a read error";
  else if (atEnd_) why = "the file ends early";
  if (why_.empty()) why_ = std::move(why) + " at byte " + std::to_string(offset_);
  return false;
}

bool JsonFileReader::Count(std::size_t bytes) {
  bytes_ += bytes;
  if (++values_ > kMaxValues || bytes_ > kMaxStringBytes) return Fail("too much in one piece");
  return true;
}

bool JsonFileReader::ParseWord(const char* word) {
  for (const char* p = word; *p; ++p) {
    if (Get() != static_cast<unsigned char>(*p)) return Fail("not JSON");
  }
  return true;
}

bool JsonFileReader::ParseString(std::string& out) {
  Get();  // the opening quote
  while (true) {
    const int c = Get();
    if (c == EOF) return Fail("a string without its end");
    if (c == '"') return true;
    if (c < 0x20) return Fail("a control character in a string");
    if (out.size() >= kMaxStringBytes) return Fail("a string too long");
    if (c != '\\') {
      out += static_cast<char>(c);
      continue;
    }
    const int e = Get();
    switch (e) {
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      case '/': out += '/'; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'u': {
        auto hex4 = [this](std::uint32_t& code) {
          code = 0;
          for (int i = 0; i < 4; ++i) {
            const int h = Get();
            int digit = -1;
            if (h >= '0' && h <= '9') digit = h - '0';
            else if (h >= 'a' && h <= 'f') digit = h - 'a' + 10;
            else if (h >= 'A' && h <= 'F') digit = h - 'A' + 10;
            if (digit < 0) return Fail("a bad \\u escape");
            code = code * 16 + static_cast<std::uint32_t>(digit);
          }
          return true;
        };
        std::uint32_t code = 0;
        if (!hex4(code)) return false;
        if (code >= 0xD800 && code < 0xDC00) {
          std::uint32_t low = 0;
          if (Get() != '\\' || Get() != 'u' || !hex4(low) || low < 0xDC00 || low >= 0xE000)
            return Fail("a lone surrogate");
          code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        } else if (code >= 0xDC00 && code < 0xE000) {
          return Fail("a lone surrogate");
        }
        AppendUtf8(out, code);
        break;
      }
      default: return Fail("a bad escape in a string");
    }
  }
}

bool JsonFileReader::ParseNumber(std::string& out) {
  auto digits = [this, &out] {
    std::size_t count = 0;
    for (int c = Peek(); c >= '0' && c <= '9'; c = Peek()) {
      if (out.size() >= 64) return Fail("a number too long");
      out += static_cast<char>(Get());
      ++count;
    }
    return count > 0 || Fail("a bad number");
  };
  if (Peek() == '-') out += static_cast<char>(Get());
  if (Peek() == '0') {
    out += static_cast<char>(Get());
  } else if (!digits()) {
    return false;
  }
  if (Peek() == '.') {
    out += static_cast<char>(Get());
    if (!digits()) return false;
  }
  if (Peek() == 'e' || Peek() == 'E') {
    out += static_cast<char>(Get());
    if (Peek() == '+' || Peek() == '-') out += static_cast<char>(Get());
    if (!digits()) return false;
  }
  return true;
}

bool JsonFileReader::ParseValue(JsonValue& value, int depth, bool topLevel) {
  if (depth >= kMaxDepth) return Fail("nested too deep");
  if (!Count(0)) return false;
  SkipBlanks();
  const int c = Peek();
  if (c == '{') {
    Get();
    value.type = JsonValue::Type::Object;
    SkipBlanks();
    if (Peek() == '}') {
      Get();
      return true;
    }
    while (true) {
      SkipBlanks();
      if (Peek() != '"') return Fail("a member name expected");
      std::string name;
      if (!ParseString(name) || !Count(name.size())) return false;
      SkipBlanks();
      if (Get() != ':') return Fail("':' expected");
      JsonValue member;
      if (topLevel && name == streamed_) {
        SkipBlanks();
        if (Get() != '[') return Fail("an array expected");
        member.type = JsonValue::Type::Array;
        SkipBlanks();
        if (Peek() == ']') {
          Get();
        } else {
          while (true) {
            const std::size_t values = values_, bytes = bytes_;
            JsonValue element;
            if (!ParseValue(element, depth + 2, false)) return false;
            std::string why;
            if (!element_(value, element, why)) return Fail(why);
            values_ = values;
            bytes_ = bytes;
            SkipBlanks();
            const int next = Get();
            if (next == ']') break;
            if (next != ',') return Fail("',' or ']' expected");
          }
        }
      } else if (!ParseValue(member, depth + 1, false)) {
        return false;
      }
      value.members.emplace_back(std::move(name), std::move(member));
      SkipBlanks();
      const int next = Get();
      if (next == '}') return true;
      if (next != ',') return Fail("',' or '}' expected");
    }
  }
  if (c == '[') {
    Get();
    value.type = JsonValue::Type::Array;
    SkipBlanks();
    if (Peek() == ']') {
      Get();
      return true;
    }
    while (true) {
      value.items.emplace_back();
      if (!ParseValue(value.items.back(), depth + 1, false)) return false;
      SkipBlanks();
      const int next = Get();
      if (next == ']') return true;
      if (next != ',') return Fail("',' or ']' expected");
    }
  }
  if (c == '"') {
    value.type = JsonValue::Type::String;
    return ParseString(value.text) && Count(value.text.size());
  }
  if (c == 't' || c == 'f') {
    value.type = JsonValue::Type::Bool;
    value.boolean = c == 't';
    return ParseWord(c == 't' ? "true" : "false");
  }
  if (c == 'n') return ParseWord("null");
  if (c == '-' || (c >= '0' && c <= '9')) {
    value.type = JsonValue::Type::Number;
    return ParseNumber(value.text);
  }
  return Fail(c == EOF ? "the file ends early" : "not JSON");
}

std::optional<JsonValue> JsonFileReader::Read(std::string& why) {
  JsonValue value;
  bool ok = ParseValue(value, 0, true);
  if (ok) {
    SkipBlanks();
    if (Peek() != EOF) ok = Fail("more after the document");
  }
  if (ok && std::ferror(file_)) ok = Fail("a read error");
  if (!ok) {
    why = why_;
    return std::nullopt;
  }
  return value;
}

}  // namespace kivora
