#include "base/ListFiles.h"

#include <algorithm>
#include <system_error>

namespace kivora {
namespace {

unsigned char UpperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
  if (suffix.size() > name.size()) return false;
  const std::string_view tail = name.substr(name.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    if (UpperAscii(static_cast<unsigned char>(tail[i])) != UpperAscii(static_cast<unsigned char>(suffix[i])))
      return false;
  }
  return true;
}

// "*.prg" -> ".prg"; "*" -> "" (everything). Any other pattern is taken as
// a literal suffix after its leading stars.
std::string_view SuffixOf(std::string_view pattern) {
  while (!pattern.empty() && pattern.front() == '*') pattern.remove_prefix(1);
  return pattern;
}

}  // namespace

bool FileNameLess(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = UpperAscii(static_cast<unsigned char>(a[i]));
    const unsigned char cb = UpperAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  // Names that differ only in case ("a.prg", "A.prg"): plain bytes decide,
  // so the order never depends on the order the directory returns them in.
  return a < b;
}

std::vector<std::string> ListFiles(const std::filesystem::path& directory, std::string_view pattern,
                                   ListEntries entries) {
  namespace fs = std::filesystem;
  const std::string_view suffix = SuffixOf(pattern);
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(directory.empty() ? fs::path(".") : directory, ec);
  if (ec) return names;
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::string name = it->path().filename().native();
    if (!EndsWithIgnoringCase(name, suffix)) continue;
    if (entries == ListEntries::RegularFiles) {
      std::error_code typeError;
      if (!it->is_regular_file(typeError) || typeError) continue;
    }
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return FileNameLess(a, b); });
  return names;
}

}  // namespace kivora
