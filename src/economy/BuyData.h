#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

// One row of the warehouse list `buylist.txt`: a model file, its price in
// ペコグスタ and a description, written "model.spc,price,description".
class BuyData {
public:
  // Longest model file name or description a row may carry, in bytes.
  static constexpr std::size_t kFieldLimit = 255;

  // Reads `line` as "%[^,],%d,%[^,]": a model file of one or more bytes
  // other than a comma, a decimal price (optionally signed, white space
  // allowed before it) directly followed by a comma, and a description of
  // one or more bytes up to the next comma or the end. Whatever follows a
  // comma after the description is ignored. Returns 1 and fills the row
  // when the line is valid; otherwise 0 and the row is left empty. Lines
  // with a text field over 255 bytes or a price beyond 32 bits are invalid.
  int Parse(std::string_view line);

  // The list entry "%dペコG\t%s" in UTF-8: the price, a tab, the description.
  std::string RowText() const;

  std::string specFile;
  std::int32_t price = 0;
  std::string description;
};

// Every valid row of the buy list file `file`, in file order. A file that
// cannot be opened or read gives an empty list.
std::vector<BuyData> ReadBuyList(const std::filesystem::path& file);

}  // namespace kivora
