// Feeds arbitrary bytes to the program reader as a .prg file, and again as
// one long line, then checks the chain it builds: every link stays inside
// the chain, every command describes itself, and the text conversion copes
// with whatever it shows. Run it with -max_len=8192 or more, so that inputs
// also reach past the line reader's 2048-byte pieces by themselves.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

#include "base/CstdFile.h"
#include "base/TextCodec.h"
#include "lang/Command.h"
#include "lang/ProgramReader.h"

namespace {

struct Sink : kivora::ProgramDiagnostics {
  void Accepted(std::int64_t, kivora::Command& command) override { kivora::ToUtf8(command.Describe()); }
  void Dropped(std::int64_t, const std::string& text, const std::string& reason) override {
    kivora::ToUtf8(text);
    kivora::ToUtf8(reason);
  }
  void UnknownLabel(std::int64_t, const std::string& name) override { kivora::ToUtf8(name); }
  void Ignored(std::int64_t, const std::string& text, std::size_t from) override {
    if (from >= text.size() || from > std::strlen(text.c_str())) std::abort();
  }
};

// Loads `bytes` as a program file and checks the chain it builds.
void LoadAndCheck(const std::string& bytes) {
  const int fd = ::memfd_create("fuzz.prg", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  Sink sink;
  try {
    const kivora::CommandChain chain = kivora::ReadProgram("/proc/self/fd/" + std::to_string(fd), &sink);
    std::unordered_set<const kivora::Command*> members;
    for (const kivora::Command* c = chain.First(); c != nullptr; c = c->textNext) members.insert(c);
    for (const kivora::Command* c = chain.First(); c != nullptr; c = c->textNext) {
      if (c->next != nullptr && members.count(c->next) == 0) std::abort();
      if (c->jumpTarget != nullptr && members.count(c->jumpTarget) == 0) std::abort();
      if (c->jumpTarget != nullptr && c->JumpLabel() == nullptr) std::abort();
    }
  } catch (const kivora::FileException&) {
    std::abort();  // a readable in-memory file must always load
  }
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The bytes as one command line, as the factory sees it.
  const std::string line(reinterpret_cast<const char*>(data), size);
  std::string label, why;
  std::size_t end = 0;
  if (auto command = kivora::CreateCommand(line.c_str(), label, &why, &end)) {
    command->Describe();
    if (end > std::strlen(line.c_str())) std::abort();  // it can only have read the C text
  }

  // The bytes as a whole program file.
  LoadAndCheck(line);

  // The bytes without their line ends, repeated into one line of more than
  // two of the line reader's 2048-byte pieces, so that pieces start and end
  // anywhere in the text (inside a word, between the bytes of a character).
  std::string once;
  for (char c : line) {
    if (c != '\n') once += c;
  }
  if (!once.empty()) {
    std::string longLine;
    while (longLine.size() < 4200) longLine += once;
    LoadAndCheck(longLine);
  }
  return 0;
}
