// Feeds arbitrary bytes to the program reader as a .prg file, then checks
// the chain it builds: every link stays inside the chain, every command
// describes itself, and the text conversion copes with whatever it shows.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
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
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The bytes as one command line, as the factory sees it.
  const std::string line(reinterpret_cast<const char*>(data), size);
  std::string label, why;
  if (auto command = kivora::CreateCommand(line.c_str(), label, &why)) command->Describe();

  // The bytes as a whole program file.
  const int fd = ::memfd_create("fuzz.prg", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::write(fd, data + done, size - done);
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
  return 0;
}
