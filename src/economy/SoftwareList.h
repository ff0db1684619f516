#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace kivora {

// A program file offered in the software selection: its name (bytes, as the
// directory gives it, to be opened later) and the first line of the file,
// which by custom names the program.
struct SoftwareEntry {
  std::string fileName;
  std::string firstLine;

  // The list entry "%s\t%s" in UTF-8: file name, a tab, the first line.
  std::string EntryText() const;
};

// Every .prg file of `directory` with its first line (at most 2048 bytes,
// carriage returns dropped), sorted by file name. A file that cannot be
// opened or read, or is empty, is listed with an empty first line.
std::vector<SoftwareEntry> ListSoftware(const std::filesystem::path& directory);

// The question put before the program is installed.
std::string SoftwareQuestion(const std::string& fileName);

}  // namespace kivora
