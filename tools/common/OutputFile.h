#pragma once
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// An output file named on the command line, relative to the directory the
// program was started in. Opened before the first battle, so that a name
// that cannot be created costs none. Every failure is told on `err` as
// "PROGRAM: cannot create/write the WHAT ...".
class OutputFile {
public:
  explicit OutputFile(const char* program) : program_(program) {}
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // False, with the reason on `err`, when the file cannot be created.
  // "-" is `standardOut` where the program has one for this file, else a
  // file of that name.
  bool Open(const std::string& name, const char* what, std::FILE* err, std::FILE* standardOut = nullptr);

  bool IsOpen() const { return file_ != nullptr; }

  // Writes and flushes `text`; false, with the reason on `err`, when it
  // could not be written.
  bool Write(std::string_view text, std::FILE* err);

  // Writes a piece without a word on `err`; false (the reason kept for
  // WriteAndClose) when this or an earlier piece failed.
  bool Append(std::string_view text);

  // Appends `text` and closes; false, with the reason on `err`, when the
  // file could not be written whole. True when it was never opened.
  bool WriteAndClose(std::string_view text, std::FILE* err);

  // Closes a file of its own; false, with the reason, when closing lost data.
  bool Close(std::FILE* err);

  // Closes and removes a file of its own that will not be written after all,
  // also once closed (a device or a pipe named on the command line stays).
  void Discard();

private:
  bool Failed(std::string_view why, std::FILE* err) const;

  const char* program_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned_{nullptr, &std::fclose};
  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  std::string shown_;
  const char* what_ = "";
  std::optional<std::string> why_;
};

}  // namespace kivora
