#include "common/OutputFile.h"

#include <sys/stat.h>

#include <cerrno>

#include "base/TextCodec.h"
#include "common/ToolKit.h"

namespace kivora {

bool OutputFile::Open(const std::string& name, const char* what, std::FILE* err, std::FILE* standardOut) {
  what_ = what;
  if (standardOut && name == "-") {
    file_ = standardOut;
    shown_ = "standard output";
    return true;
  }
  path_ = std::filesystem::absolute(name);
  shown_ = ForTerminal(path_.native());
  owned_.reset(std::fopen(path_.c_str(), "wb"));
  if (!owned_) {
    std::fprintf(err, "%s: cannot create the %s file %s: %s\n", program_, what, shown_.c_str(),
                 ErrorText(errno).c_str());
    return false;
  }
  file_ = owned_.get();
  return true;
}

bool OutputFile::Failed(std::string_view why, std::FILE* err) const {
  std::fprintf(err, "%s: cannot write the %s to %s: %.*s\n", program_, what_, shown_.c_str(),
               static_cast<int>(why.size()), why.data());
  return false;
}

bool OutputFile::Write(std::string_view text, std::FILE* err) {
  if (const auto why = WriteOut(file_, text)) return Failed(*why, err);
  return true;
}

bool OutputFile::Append(std::string_view text) {
  if (!file_ || why_) return false;
  errno = 0;
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size())
    why_ = ErrorText(errno ? errno : EIO);
  return !why_;
}

bool OutputFile::WriteAndClose(std::string_view text, std::FILE* err) {
  if (!file_) return true;
  Append(text);
  auto why = why_ ? why_ : WriteOut(file_, "");
  file_ = nullptr;
  if (owned_) {
    std::FILE* file = owned_.release();
    if (std::fclose(file) != 0 && !why) why = ErrorText(errno);
  }
  if (!why) return true;
  return Failed(*why, err);
}

bool OutputFile::Close(std::FILE* err) {
  if (!owned_) return true;
  std::FILE* file = owned_.release();
  file_ = nullptr;
  if (std::fclose(file) != 0) return Failed(ErrorText(errno), err);
  return true;
}

void OutputFile::Discard() {
  file_ = nullptr;
  owned_.reset();
  if (path_.empty()) return;
  struct stat st {};
  if (::lstat(path_.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) std::remove(path_.c_str());
  path_.clear();
}

}  // namespace kivora
