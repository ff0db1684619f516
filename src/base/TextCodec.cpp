#include "base/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace kivora {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";  // U+FFFD

// Closes the converter on every way out.
class Converter {
public:
  Converter() : cd_(::iconv_open("UTF-8", "CP932")) {}
  ~Converter() {
    if (ok()) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

private:
  iconv_t cd_;
};

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07u;
    } else {
      return false;
    }
    if (n - i < len) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto t = static_cast<unsigned char>(bytes[i + k]);
      if ((t & 0xC0u) != 0x80u) return false;
      cp = (cp << 6) | (t & 0x3Fu);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
    if (cp >= 0xD800 && cp <= 0xDFFF) return false;
    i += len;
  }
  return true;
}

std::string ToUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);

  std::string out;
  Converter conv;
  if (!conv.ok()) {
    // No code page 932 on this system: keep ASCII, mark the rest.
    for (const char c : bytes) {
      if (static_cast<unsigned char>(c) < 0x80) out.push_back(c);
      else out += replacement;
    }
    return out;
  }

  // Every Shift-JIS byte becomes at most three UTF-8 bytes.
  std::string chunk(bytes.size() * 3 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());  // iconv's interface is not const-correct
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = chunk.data();
    std::size_t outLeft = chunk.size();
    const std::size_t r = ::iconv(conv.get(), &in, &inLeft, &outPtr, &outLeft);
    const int err = errno;
    out.append(chunk.data(), chunk.size() - outLeft);
    if (r != static_cast<std::size_t>(-1)) break;
    if (err == E2BIG) continue;
    // EILSEQ or EINVAL: this one byte cannot start a character here.
    out += replacement;
    ++in;
    --inLeft;
    ::iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

void AppendEscaped(std::string& out, std::string_view utf8, std::string_view prefix, bool keepTab,
                   std::string_view backslashed) {
  auto escape = [&out, prefix](unsigned code) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += prefix;
    out += kHex[code >> 4];
    out += kHex[code & 0xFu];
  };
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (backslashed.find(static_cast<char>(c)) != std::string_view::npos) {
      out += '\\';
      out += static_cast<char>(c);
    } else if ((c < 0x20 && !(keepTab && c == '\t')) || c == 0x7F) {
      escape(c);
    } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      escape(static_cast<unsigned char>(utf8[++i]));  // U+0080..U+009F, two bytes in UTF-8
    } else {
      out += static_cast<char>(c);
    }
  }
}

std::string ForTerminal(std::string_view bytes) {
  std::string out;
  AppendEscaped(out, ToUtf8(bytes), "\\x", true);
  return out;
}

}  // namespace kivora
