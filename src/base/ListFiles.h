#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

// Which directory entries a listing keeps. The software dialog offers only
// files that can be read as programs; the rival draws from every matching
// entry, so a directory named "x.spc" still takes its turn in the draw.
enum class ListEntries { RegularFiles, All };

// The regular files of `directory` whose names match `pattern`, a wildcard of
// the form "*.ext" (as the game asks for "*.spc" and "*.prg"). The extension
// is matched without regard to the case of ASCII letters, so "RIVAL.PRG" is a
// program too. Names come back bare (no directory) in their bytes, sorted
// with ASCII letters upper-cased and then byte by byte, so the same directory
// always lists the same way and random picks from the list repeat from run to
// run. Entries that are not regular files (directories, sockets, dangling
// links) are left out unless `entries` is All; a link to a regular file
// counts as one. A directory that cannot be read lists nothing; an empty path
// is the working directory.
std::vector<std::string> ListFiles(const std::filesystem::path& directory, std::string_view pattern,
                                   ListEntries entries = ListEntries::RegularFiles);

// The listing order: true when `a` comes before `b`.
bool FileNameLess(std::string_view a, std::string_view b);

}  // namespace kivora
