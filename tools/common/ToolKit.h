#pragma once
// What the command-line programs share: reasons for failed system calls,
// writing their output, the data folder check, and the stop signals.
#include <atomic>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace kivora {

// An option's number: plain decimal digits only, no sign, no blanks, no
// trailing junk. False also when the number does not fit.
template <typename T>
bool ParseUnsigned(std::string_view text, T& out) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return false;
  out = value;
  return true;
}

// The text of an errno value ("No such file or directory").
std::string ErrorText(int error);

// Writes `text` and flushes; on failure the reason.
std::optional<std::string> WriteOut(std::FILE* file, std::string_view text);

// Why `directory` cannot serve as the data folder (as entering it would
// fail), or no error.
std::error_code UnusableDirectory(const std::filesystem::path& directory);

// "SIGINT", "SIGTERM", else "signal N".
std::string SignalName(int signal);

// The signal that asked the program to stop, 0 for none: the one flag of the
// process, set by the handler CatchStopSignals installs and read by the
// battle loops between ticks. Only a program's main uses it; the drivers are
// handed a pointer to it, so the tests run them with a flag of their own.
std::atomic<int>& StopSignal();

// SIGINT and SIGTERM set StopSignal(). The handler is reset once it has run,
// so a second signal ends the program at once.
void CatchStopSignals();

// The main of a command-line program: parses the arguments (exit 2 with the
// error and the usage on standard error), prints the usage for --help, or
// runs the program with the stop signals caught.
template <class Options, class Parse, class Run>
int ToolMain(const char* program, const char* usage, int argc, char** argv, Parse parse, Run run) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const std::optional<Options> options = parse(args, error);
  if (!options) {
    std::fprintf(stderr, "%s: %s\n%s", program, error.c_str(), usage);
    return 2;
  }
  if (options->help) {
    std::fputs(usage, stdout);
    if (std::fflush(stdout) != 0) {
      std::perror((std::string(program) + ": cannot write the usage").c_str());
      return 1;
    }
    return 0;
  }
  CatchStopSignals();
  return run(*options, stdout, stderr, &StopSignal());
}

}  // namespace kivora
