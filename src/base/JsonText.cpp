#include "base/JsonText.h"

#include <cmath>
#include <cstdio>

#include "base/TextCodec.h"

namespace kivora {

void AppendJsonString(std::string& out, std::string_view bytes) {
  out += '"';
  AppendEscaped(out, ToUtf8(bytes), "\\u00", false, "\"\\");
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
