#include "base/Scanner.h"

#include <limits>

#include "base/IntMath.h"

namespace kivora {

Scanner::Scanner(std::string_view line) : text_(line.substr(0, line.find('\0'))) {}

bool Scanner::Literal(char c) {
  if (AtEnd() || text_[pos_] != c) return false;
  ++pos_;
  return true;
}

bool Scanner::Int(std::int64_t& out) {
  std::size_t p = pos_;
  while (p < text_.size() && IsScanSpace(text_[p])) ++p;
  bool negative = false;
  if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) {
    negative = text_[p] == '-';
    ++p;
  }
  if (p >= text_.size() || text_[p] < '0' || text_[p] > '9') return false;
  // The magnitude in 64 unsigned bits, stopping at one past the largest
  // magnitude either sign can hold; further digits change nothing.
  constexpr std::uint64_t kCap = std::uint64_t{std::numeric_limits<std::int64_t>::max()} + 1;
  std::uint64_t magnitude = 0;
  for (; p < text_.size() && text_[p] >= '0' && text_[p] <= '9'; ++p) {
    const unsigned digit = static_cast<unsigned>(text_[p] - '0');
    magnitude = magnitude > (kCap - digit) / 10 ? kCap : magnitude * 10 + digit;
  }
  if (negative) {
    out = magnitude >= kCap ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
  } else {
    out = magnitude >= kCap ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
  }
  pos_ = p;
  return true;
}

bool Scanner::Int(std::int32_t& out) {
  std::int64_t wide = 0;
  if (!Int(wide)) return false;
  out = WrapToInt32(wide);
  return true;
}

bool Scanner::Run(std::string_view stops, std::size_t width, std::string& out, bool* longer) {
  std::size_t end = pos_;
  while (end < text_.size() && end - pos_ < width && stops.find(text_[end]) == std::string_view::npos) ++end;
  if (end == pos_) return false;
  out.assign(text_.substr(pos_, end - pos_));
  if (longer) *longer = end < text_.size() && stops.find(text_[end]) == std::string_view::npos;
  pos_ = end;
  return true;
}

bool Scanner::SkipRun(std::string_view stops) {
  std::size_t end = pos_;
  while (end < text_.size() && stops.find(text_[end]) == std::string_view::npos) ++end;
  if (end == pos_) return false;
  pos_ = end;
  return true;
}

bool Scanner::Byte(char& out) {
  if (AtEnd()) return false;
  out = text_[pos_++];
  return true;
}

bool Scanner::OneOf(std::string_view set, char& out) {
  if (AtEnd() || set.find(text_[pos_]) == std::string_view::npos) return false;
  out = text_[pos_++];
  return true;
}

}  // namespace kivora
