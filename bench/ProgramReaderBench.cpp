// How fast program files load: the rival loads one for every unit it
// deploys, on the window thread, so a load must stay well below a frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lang/Command.h"
#include "lang/ProgramReader.h"

namespace {

// A typical program of `repeats` x 8 lines, written once to a temporary file.
class ProgramFile {
public:
  explicit ProgramFile(int repeats) {
    char name[] = "/tmp/kivora-bench-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) std::abort();
    path_ = name;
    std::string text = "# bench\n";
    for (int i = 0; i < repeats; ++i) {
      const std::string n = std::to_string(i);
      text += ":top" + n + "\nFORWARD\nSEARCHE,300(0,60),shoot" + n + "\n>top" + n + "\n:shoot" + n +
              "\nFIRE,300(0,60)\nVAR,A+1\nCOND,A>=10,top" + n + "\n";
    }
    if (::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
    ::close(fd);
  }
  ~ProgramFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

void BM_ReadProgram(benchmark::State& state) {
  const ProgramFile file(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    kivora::CommandChain chain = kivora::ReadProgram(file.path());
    benchmark::DoNotOptimize(chain.First());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * 8);  // lines
}
BENCHMARK(BM_ReadProgram)->Arg(4)->Arg(10000);

void BM_CreateCommand(benchmark::State& state) {
  const char* lines[] = {"FORWARD", "SEARCHE,300(0,60),shoot", "COND,A>=10,top", "VAR,a+b", "GETINFO,D=DIR", "bogus"};
  std::string label;
  for (auto _ : state) {
    for (const char* line : lines) benchmark::DoNotOptimize(kivora::CreateCommand(line, label));
  }
  state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_CreateCommand);

}  // namespace
