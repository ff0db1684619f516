#include "kivora-check/FileShape.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/CstdFile.h"
#include "base/TextCodec.h"
#include "kivora-check/Report.h"

namespace kivora {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Where the bytes that `data` ends with stop forming whole UTF-8 sequences:
// before a lead byte among the last three whose sequence is cut off. Cutting
// there never changes whether the whole is well-formed, since a
// concatenation of well-formed pieces is well-formed and a lead byte always
// starts a sequence.
std::size_t WholeSequences(std::string_view data) {
  const std::size_t n = data.size();
  for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
    const auto c = static_cast<unsigned char>(data[n - back]);
    if (c < 0x80) return n;
    if (c >= 0xC0) {
      const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
      return back < length ? n - back : n;
    }
  }
  return n;
}

}  // namespace

FileShape ExamineFile(const std::string& fileName) {
  File file(fileName, File::modeRead);
  FileShape shape;
  std::vector<char> buffer(kChunk);
  std::string pending;  // the start of a sequence cut by the end of a piece
  bool first = true;
  for (std::size_t got; (got = file.Read(buffer.data(), buffer.size())) > 0;) {
    std::string_view piece(buffer.data(), got);
    if (first) {
      first = false;
      if (piece.starts_with("\xEF\xBB\xBF")) {
        shape.mark = FileShape::Mark::utf8;
        piece.remove_prefix(3);
      } else if (piece.starts_with("\xFF\xFE") || piece.starts_with("\xFE\xFF")) {
        shape.mark = FileShape::Mark::utf16;
        piece.remove_prefix(2);
      }
    }
    shape.lineFeed = shape.lineFeed || piece.find('\n') != std::string_view::npos;
    shape.carriageReturn = shape.carriageReturn || piece.find('\r') != std::string_view::npos;
    shape.nonAscii = shape.nonAscii || std::any_of(piece.begin(), piece.end(),
                                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (!shape.validUtf8) continue;
    pending.append(piece);
    const std::size_t whole = WholeSequences(pending);
    shape.validUtf8 = IsValidUtf8(std::string_view(pending).substr(0, whole));
    pending.erase(0, whole);
  }
  if (!pending.empty()) shape.validUtf8 = false;
  return shape;
}

void WarnAboutShape(const FileShape& shape, Report& report) {
  if (shape.mark == FileShape::Mark::utf8)
    report.Warn(1, "the file starts with a UTF-8 byte-order mark, which the game reads as part of line 1");
  else if (shape.mark == FileShape::Mark::utf16)
    report.Warn(1, "the file starts with a UTF-16 byte-order mark; the game reads Shift-JIS");
  if (shape.carriageReturn && !shape.lineFeed)
    report.Warn(1, "line ends are carriage returns only; the game drops them and reads the file as one line");
}

}  // namespace kivora
