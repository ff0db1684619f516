#include "economy/BuyData.h"

#include <limits>

#include "base/CstdFile.h"
#include "base/Scanner.h"
#include "base/TextCodec.h"

namespace kivora {
int BuyData::Parse(std::string_view line) {
  *this = BuyData{};
  // "%[^,],%d,%[^,]", each text at most kFieldLimit bytes, the price within 32 bits.
  Scanner in(line);
  std::string model, text;
  std::int64_t value = 0;
  bool longModel = false, longText = false;
  if (!in.Run(",", kFieldLimit, model, &longModel) || longModel || !in.Literal(',') || !in.Int(value) ||
      value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max() ||
      !in.Literal(',') || !in.Run(",", kFieldLimit, text, &longText) || longText)
    return 0;
  specFile = std::move(model);
  price = static_cast<std::int32_t>(value);
  description = std::move(text);
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
