#include "base/JsonText.h"

#include <cmath>
#include <cstdio>

#include "base/TextCodec.h"

namespace kivora {

void AppendJsonString(std::string& out, std::string_view bytes) {
  const std::string text = ToUtf8(bytes);
  auto escape = [&out](unsigned code) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[code >> 4];
    out += kHex[code & 0xFu];
  };
  out += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      escape(c);
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      escape(static_cast<unsigned char>(text[++i]));  // U+0080..U+009F, two bytes in UTF-8
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

}  // namespace kivora

namespace kivora {

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (counts_.empty()) return;
  if (counts_.back()++ > 0) out_ += ',';
  out_ += '\n';
  out_.append(2 * counts_.size(), ' ');
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  counts_.push_back(0);
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  counts_.push_back(0);
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  const int count = counts_.back();
  counts_.pop_back();
  if (count > 0) {
    out_ += '\n';
    out_.append(2 * counts_.size(), ' ');
  }
  out_ += bracket;
  if (counts_.empty()) out_ += '\n';
  return *this;
}

JsonWriter& JsonWriter::EndObject() { return Close('}'); }
JsonWriter& JsonWriter::EndArray() { return Close(']'); }

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  AppendJsonString(out_, name);
  out_ += ": ";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view bytes) {
  BeforeValue();
  AppendJsonString(out_, bytes);
  return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Uint(std::uint64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}

JsonWriter& JsonWriter::Fixed(double value, int decimals) {
  if (!std::isfinite(value)) return Null();
  BeforeValue();
  char text[400];  // the widest double, printed in full, with up to 17 decimals
  std::snprintf(text, sizeof text, "%.*f", decimals < 0 ? 0 : decimals > 17 ? 17 : decimals, value);
  out_ += text;
  return *this;
}

}  // namespace kivora
