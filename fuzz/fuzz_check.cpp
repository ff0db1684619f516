// Feeds arbitrary bytes to the program checker as a program and as a unit
// model, with the listing and every warning on, and checks what it prints:
// no control byte but the line feed and the tab, whatever the file holds,
// and one summary line per file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "ScratchFile.h"
#include "kivora-check/ProgramCheck.h"

namespace {

void CheckOutput(const std::string& text, const std::string& summaryMark) {
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F) std::abort();
  }
  if (text.empty() || text.back() != '\n') std::abort();
  const std::size_t lastLine = text.rfind('\n', text.size() - 2);
  const std::string last = text.substr(lastLine == std::string::npos ? 0 : lastLine + 1);
  if (last.find(summaryMark) == std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kivora::fuzz::ScratchFile program("check", ".prg");
  static kivora::fuzz::ScratchFile model("check", ".spc");
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  std::ostringstream out, err;
  int status = kivora::RunProgramCheck({"--list", "-W", program.Write(bytes)}, out, err);
  if (status != 0 && status != 1) std::abort();
  CheckOutput(out.str(), " unknown labels");
  if (!err.str().empty()) std::abort();

  std::ostringstream modelOut;
  status = kivora::RunProgramCheck({"-W", model.Write(bytes)}, modelOut, err);
  if (status != 0 && status != 1) std::abort();
  CheckOutput(modelOut.str(), " rejected");
  return 0;
}
