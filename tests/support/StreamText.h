#pragma once
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kivora::test {

// Everything written to `f` (a std::tmpfile standing in for a program's
// standard output or error) so far.
inline std::string ReadWhole(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  return text;
}

// The whole of the file at `path`; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace kivora::test
