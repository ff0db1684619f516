#include "economy/BuyData.h"

#include <limits>

#include "base/CstdFile.h"
#include "base/TextCodec.h"

namespace kivora {
namespace {

// White space as the C library's scanf skips it.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// "%[^,]": one or more bytes up to a comma or the end; empty when there is none.
std::string_view ScanToComma(std::string_view& rest) {
  const std::size_t n = rest.find(',');
  const std::string_view field = rest.substr(0, n);
  rest.remove_prefix(field.size());
  return field;
}

}  // namespace

int BuyData::Parse(std::string_view line) {
  *this = BuyData{};
  // A line is a C string to the format: it ends at the first zero byte.
  line = line.substr(0, line.find('\0'));

  std::string_view rest = line;
  const std::string_view model = ScanToComma(rest);
  if (model.empty() || model.size() > kFieldLimit || rest.empty()) return 0;
  rest.remove_prefix(1);  // the comma

  while (!rest.empty() && IsSpace(rest.front())) rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  std::int64_t value = 0;
  std::size_t digits = 0;
  while (!rest.empty() && rest.front() >= '0' && rest.front() <= '9') {
    value = value * 10 + (rest.front() - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return 0;  // beyond 32 bits
    rest.remove_prefix(1);
    ++digits;
  }
  if (digits == 0) return 0;
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return 0;
  if (rest.empty() || rest.front() != ',') return 0;
  rest.remove_prefix(1);

  const std::string_view text = ScanToComma(rest);
  if (text.empty() || text.size() > kFieldLimit) return 0;

  specFile = model;
  price = static_cast<std::int32_t>(value);
  description = text;
  return 1;
}

std::string BuyData::RowText() const { return std::to_string(price) + "ペコG\t" + ToUtf8(description); }

std::vector<BuyData> ReadBuyList(const std::filesystem::path& file) {
  std::vector<BuyData> rows;
  try {
    CstdFile in(file.string(), File::modeRead);
    std::string line;
    while (in.ReadString(line)) {
      BuyData row;
      if (row.Parse(line) == 1) rows.push_back(std::move(row));
    }
  } catch (const FileException&) {
    // An unreadable list is an empty warehouse, never half a list.
    rows.clear();
  }
  return rows;
}

}  // namespace kivora
