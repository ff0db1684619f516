#include "economy/SoftwareList.h"

#include "base/CstdFile.h"
#include "base/ListFiles.h"
#include "base/TextCodec.h"

namespace kivora {

std::string SoftwareEntry::EntryText() const { return ToUtf8(fileName) + "\t" + ToUtf8(firstLine); }

std::vector<SoftwareEntry> ListSoftware(const std::filesystem::path& directory) {
  std::vector<SoftwareEntry> entries;
  for (std::string& name : ListFiles(directory, "*.prg")) {
    SoftwareEntry entry;
    try {
      CstdFile in((directory / name).string(), File::modeRead);
      if (!in.ReadString(entry.firstLine)) entry.firstLine.clear();
    } catch (const FileException&) {
      entry.firstLine.clear();
    }
    entry.fileName = std::move(name);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string SoftwareQuestion(const std::string& fileName) {
  return "ソフトウェアは[" + ToUtf8(fileName) + "]でいいのかい？";
}

}  // namespace kivora
