// Feeds arbitrary bytes to the warehouse list reader, as a whole file and
// as one line, and checks every row it keeps: both text fields hold one to
// 255 bytes without a comma or a zero byte, and a row written back as
// "model,price,description" reads as the same row.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ScratchFile.h"
#include "base/TextCodec.h"
#include "economy/BuyData.h"

namespace {

bool FieldOk(const std::string& field) {
  return !field.empty() && field.size() <= kivora::BuyData::kFieldLimit && field.find(',') == std::string::npos &&
         field.find('\0') == std::string::npos;
}

void CheckRow(const kivora::BuyData& row) {
  if (!FieldOk(row.specFile) || !FieldOk(row.description)) std::abort();
  kivora::BuyData again;
  if (again.Parse(row.specFile + "," + std::to_string(row.price) + "," + row.description) != 1) std::abort();
  if (again.specFile != row.specFile || again.price != row.price || again.description != row.description)
    std::abort();
  kivora::ForTerminal(row.RowText());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  kivora::BuyData line;
  if (line.Parse(bytes) == 1) CheckRow(line);
  else if (!line.specFile.empty() || !line.description.empty() || line.price != 0) std::abort();

  const std::string& path = kivora::fuzz::WriteScratchFile("buylist", data, size);
  for (const kivora::BuyData& row : kivora::ReadBuyList(path)) CheckRow(row);
  return 0;
}
