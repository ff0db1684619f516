#include "common/ToolKit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace kivora {

std::string ErrorText(int error) { return std::error_code(error, std::system_category()).message(); }

std::optional<std::string> WriteOut(std::FILE* file, std::string_view text) {
  errno = 0;
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file) != text.size())
    return ErrorText(errno ? errno : EIO);
  if (std::fflush(file) != 0 || std::ferror(file)) return ErrorText(errno ? errno : EIO);
  return std::nullopt;
}

std::error_code UnusableDirectory(const std::filesystem::path& directory) {
  struct stat st {};
  if (::stat(directory.c_str(), &st) != 0) return {errno, std::system_category()};
  if (!S_ISDIR(st.st_mode)) return {ENOTDIR, std::system_category()};
  if (::access(directory.c_str(), X_OK) != 0) return {errno, std::system_category()};
  return {};
}

std::string SignalName(int signal) {
  if (signal == SIGINT) return "SIGINT";
  if (signal == SIGTERM) return "SIGTERM";
  return "signal " + std::to_string(signal);
}

std::atomic<int>& StopSignal() {
  // Constant-initialized: no first-call guard for the handler to run into.
  static std::atomic<int> signal{0};
  static_assert(std::atomic<int>::is_always_lock_free);
  return signal;
}

namespace {

extern "C" void AskToStop(int signal) { StopSignal().store(signal); }

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = AskToStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace kivora
