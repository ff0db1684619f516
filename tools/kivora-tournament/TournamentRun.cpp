#include "kivora-tournament/TournamentRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "base/TextCodec.h"
#include "common/OutputFile.h"
#include "common/ToolKit.h"
#include "game/BattleRun.h"
#include "game/Replay.h"
#include "game/ReplayRecorder.h"
#include "kivora-tournament/TournamentJson.h"

namespace kivora {

namespace fs = std::filesystem;

fs::path ReplayFileIn(const fs::path& folder, std::uint64_t index) {
  std::string number = std::to_string(index);
  if (number.size() < 6) number.insert(0, 6 - number.size(), '0');
  return folder / ("battle-" + number + ".kvr");
}

PlayedBattles PlayBattles(const TournamentSpec& spec, const std::vector<std::uint64_t>& indices, unsigned threads,
                          const std::atomic<int>* stop, const std::function<void(std::uint64_t)>& progress,
                          const ReplayFileFor& replayFileFor) {
  PlayedBattles played;
  played.results.resize(indices.size());
  std::atomic<std::size_t> next{0};
  std::atomic<std::uint64_t> finished{0};
  std::atomic<bool> abort{false};
  std::mutex mutex;
  std::condition_variable changed;
  unsigned running = 0;

  const std::function<bool()> stopped = [&] {
    return abort.load(std::memory_order_relaxed) || (stop && stop->load(std::memory_order_relaxed) != 0);
  };
  auto fail = [&](std::string why) {
    const std::lock_guard lock(mutex);
    if (!played.fault) played.fault = std::move(why);
    abort = true;
  };
  std::atomic<bool> recording{static_cast<bool>(replayFileFor)};
  auto replayFailed = [&](std::string why) {
    const std::lock_guard lock(mutex);
    if (!played.replayFault) played.replayFault = std::move(why);
    recording = false;  // the rest would most likely fail alike
  };
  auto work = [&] {
    while (!stopped()) {
      const std::size_t i = next.fetch_add(1);
      if (i >= indices.size()) break;
      try {
        const BattlePlan plan = PlanBattle(spec, indices[i]);
        const BattleSetup setup = SetupFor(spec, plan);
        std::optional<fs::path> replayFile;
        if (recording.load(std::memory_order_relaxed)) replayFile = replayFileFor(indices[i]);
        // The files are read for the replay before the battle reads them.
        std::unique_ptr<ReplayRecorder> recorder;
        if (replayFile) {
          std::string why;
          auto files = CaptureBattleFiles(setup, true, why);
          if (files) recorder = std::make_unique<ReplayRecorder>(std::move(*files));
          else replayFailed("cannot record battle " + std::to_string(indices[i]) + ": " + why);
        }
        BattleRun run(setup, recorder.get());
        if (const auto fault = run.Start()) {
          fail("battle " + std::to_string(indices[i]) + ": " + fault->Describe());
          break;
        }
        run.Run(stopped);
        if (!run.Done()) break;  // stopped under way: not played
        played.results[i] = BattleResult::Of(plan, run);
        if (recorder) {
          std::string why;
          if (!WriteReplay(*replayFile, recorder->Finish(run), why))
            replayFailed("the replay of battle " + std::to_string(indices[i]) + ": " + why);
        }
        finished.fetch_add(1, std::memory_order_relaxed);
      } catch (const std::exception& e) {
        fail("battle " + std::to_string(indices[i]) + " failed: " + ForTerminal(e.what()));
        break;
      }
    }
    const std::lock_guard lock(mutex);
    --running;
    changed.notify_all();
  };

  const unsigned count = static_cast<unsigned>(std::clamp<std::size_t>(indices.size(), 1, std::max(threads, 1u)));
  std::vector<std::thread> workers;
  workers.reserve(count);
  {
    const std::lock_guard lock(mutex);
    running = count;
  }
  for (unsigned t = 0; t < count; ++t) {
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      // No more threads to be had: those started share the list.
      const std::lock_guard lock(mutex);
      running -= count - t;
      break;
    }
  }
  if (workers.empty()) {
    running = 1;
    work();
  }
  {
    std::unique_lock lock(mutex);
    while (running > 0) {
      changed.wait_for(lock, std::chrono::milliseconds(100));
      if (progress) {
        lock.unlock();
        progress(finished.load());
        lock.lock();
      }
    }
  }
  for (std::thread& worker : workers) worker.join();
  if (progress) progress(finished.load());
  return played;
}

std::optional<std::string> CheckEntries(const TournamentSpec& spec) {
  for (std::size_t i = 0; i < spec.entries.size(); ++i) {
    const Entry& entry = spec.entries[i];
    BattleSetup setup;
    setup.folder = spec.folder;
    setup.parts = SetUpParts{.map = false, .randomWallsAndParts = false, .rival = false};
    setup.ticks = 1;
    setup.units.push_back(BattleUnit{.team = 1, .spec = entry.spec, .program = entry.program, .at = {}});
    BattleRun run(setup);
    if (const auto fault = run.Start())
      return "entry " + std::to_string(i + 1) + ", " + ForTerminal(entry.Name()) + ": " + fault->Describe();
  }
  return std::nullopt;
}

namespace {

constexpr const char* kProgram = "kivora-tournament";

// The bar on a terminal: "[#####.....] 1234/2100 battles", redrawn only
// when it changes; cleared at the end.
class ProgressBar {
public:
  ProgressBar(std::FILE* err, std::uint64_t total) : err_(err), total_(total) {}

  void Show(std::uint64_t finished) {
    constexpr std::uint64_t kWidth = 40;
    const std::uint64_t filled = total_ ? finished * kWidth / total_ : kWidth;
    std::string text = "\r[" + std::string(filled, '#') + std::string(kWidth - filled, '.') + "] " +
                       std::to_string(finished) + "/" + std::to_string(total_) + " battles";
    if (text == last_) return;
    std::fputs(text.c_str(), err_);
    std::fflush(err_);
    last_ = std::move(text);
  }

  void Clear() {
    if (last_.empty()) return;
    std::fprintf(err_, "\r%*s\r", static_cast<int>(last_.size()), "");
    std::fflush(err_);
  }

private:
  std::FILE* err_;
  std::uint64_t total_;
  std::string last_;
};

// What is written at the end: the standings on `out`, the CSV and the JSON.
int WriteResults(const TournamentSpec& spec, std::string_view fingerprint, const Shard& shard, std::uint64_t planned,
                 const std::string& note, std::string_view interrupted, const std::vector<const BattleResult*>& results,
                 OutputFile& csv, OutputFile& json, std::FILE* out, std::FILE* err) {
  const Standings standings = Tally(spec, results);
  bool written = true;
  if (json.IsOpen()) {
    WriteTournamentJson(spec, fingerprint, shard, planned, interrupted, results, standings,
                        [&json](std::string_view piece) { return json.Append(piece); });
    if (!json.WriteAndClose("", err)) written = false;
  }
  if (!csv.WriteAndClose(StandingsCsv(spec, standings), err)) written = false;
  const std::string text = DescribeTournament(spec) + "\n" + note + StandingsText(spec, standings);
  if (const auto why = WriteOut(out, text)) {
    std::fprintf(err, "kivora-tournament: cannot write the standings: %s\n", why->c_str());
    written = false;
  }
  return written ? 0 : 1;
}

// What stands in the way of recording the battles asked for, before the
// first one: a battle index outside the list (or the slice), a unit file a
// replay cannot hold, a folder for --record-all that is no folder or cannot
// be made.
std::optional<std::string> CheckRecording(const TournamentOptions& options, const TournamentSpec& spec) {
  if (options.recordBattle) {
    const std::uint64_t total = BattleCount(spec);
    const std::uint64_t n = *options.recordBattle;
    if (n >= total)
      return "--record-battle " + std::to_string(n) + ": the battles are numbered 0 to " + std::to_string(total - 1);
    if (options.sharded && n % options.shard.count != options.shard.index - 1)
      return "--record-battle " + std::to_string(n) + ": that battle is not in slice " +
             std::to_string(options.shard.index) + " of " + std::to_string(options.shard.count);
  }
  for (std::size_t i = 0; i < spec.entries.size(); ++i) {
    const Entry& entry = spec.entries[i];
    std::string why = ReplayUnitFileFault(entry.spec);
    if (why.empty()) why = ReplayUnitFileFault(entry.program);
    if (!why.empty())
      return "entry " + std::to_string(i + 1) + ", " + ForTerminal(entry.Name()) + " cannot be recorded: " + why;
  }
  if (options.recordAll) {
    const fs::path folder = *options.recordAll;
    const std::string shown = ForTerminal(folder.native());
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (fs::exists(status)) {
      if (!fs::is_directory(status)) return "--record-all: " + shown + " exists and is not a directory";
    } else if (fs::create_directories(folder, ec); ec) {
      return "--record-all: cannot create the directory " + shown + ": " + ec.message();
    }
  }
  return std::nullopt;
}

int RunMerge(const TournamentOptions& options, std::FILE* out, std::FILE* err) {
  std::vector<TournamentDocument> slices(options.merge.size());
  for (std::size_t i = 0; i < slices.size(); ++i) {
    std::string why;
    if (!ReadTournamentJson(options.merge[i], slices[i], why)) {
      std::fprintf(err, "kivora-tournament: cannot merge %s: %s\n", ForTerminal(options.merge[i]).c_str(),
                   ForTerminal(why).c_str());
      return 2;
    }
    const TournamentDocument& first = slices.front();
    if (slices[i].fingerprint != first.fingerprint || slices[i].shard.count != first.shard.count ||
        !slices[i].spec.SameBattles(first.spec)) {
      std::fprintf(err, "kivora-tournament: %s is not a slice of the tournament of %s (other entries, files, options "
                   "or program version)\n",
                   ForTerminal(options.merge[i]).c_str(), ForTerminal(options.merge[0]).c_str());
      return 2;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (slices[j].shard.index == slices[i].shard.index) {
        std::fprintf(err, "kivora-tournament: %s and %s are both slice %u of %u\n",
                     ForTerminal(options.merge[j]).c_str(), ForTerminal(options.merge[i]).c_str(),
                     slices[i].shard.index, slices[i].shard.count);
        return 2;
      }
    }
  }
  const std::uint32_t count = slices.front().shard.count;
  if (slices.size() != count) {
    std::vector<bool> have(count + 1);
    for (const TournamentDocument& slice : slices) have[slice.shard.index] = true;
    std::uint32_t missing = 1;
    while (have[missing]) ++missing;
    std::fprintf(err, "kivora-tournament: slice %u of %u is missing\n", missing, count);
    return 2;
  }

  OutputFile csv{kProgram}, json{kProgram};
  if (options.csv && !csv.Open(*options.csv, "CSV", err)) return 2;
  if (options.json && !json.Open(*options.json, "JSON", err)) {
    csv.Discard();
    return 2;
  }
  const TournamentSpec& spec = slices.front().spec;
  std::vector<const BattleResult*> results;
  std::string interrupted;
  for (const TournamentDocument& slice : slices) {
    for (const BattleResult& result : slice.results) results.push_back(&result);
    if (interrupted.empty()) interrupted = slice.interrupted;
  }
  std::sort(results.begin(), results.end(),
            [](const BattleResult* a, const BattleResult* b) { return a->plan.index < b->plan.index; });
  const std::uint64_t total = BattleCount(spec);
  std::string note;
  if (results.size() < total) {
    note = "interrupted: " + std::to_string(results.size()) + " of " + std::to_string(total) +
           " battles played, the standings count only those\n";
  }
  return WriteResults(spec, slices.front().fingerprint, Shard{}, total, note, interrupted, results, csv, json, out,
                      err);
}

}  // namespace

int RunTournament(const TournamentOptions& options, std::FILE* out, std::FILE* err, const std::atomic<int>* stop) {
  if (!options.merge.empty()) return RunMerge(options, out, err);

  TournamentSpec spec = options.spec;
  for (const std::string& file : options.entriesFiles) {
    std::string why;
    if (!ReadEntriesFile(file, spec.entries, why)) {
      std::fprintf(err, "kivora-tournament: %s\n", why.c_str());
      return 2;
    }
  }
  if (const auto why = CheckTournament(spec)) {
    std::fprintf(err, "kivora-tournament: %s\n", why->c_str());
    return 2;
  }
  if (const std::error_code ec = UnusableDirectory(spec.folder)) {
    std::fprintf(err, "kivora-tournament: cannot enter the data folder %s: %s\n",
                 ForTerminal(spec.folder.native()).c_str(), ec.message().c_str());
    return 2;
  }
  if (const auto why = CheckEntries(spec)) {
    std::fprintf(err, "kivora-tournament: %s; the tournament does not start\n", why->c_str());
    return 2;
  }
  ReplayFileFor replayFileFor;
  if (options.recordBattle || options.recordAll) {
    if (const auto why = CheckRecording(options, spec)) {
      std::fprintf(err, "kivora-tournament: %s\n", why->c_str());
      return 2;
    }
    if (options.recordBattle) {
      const std::uint64_t wanted = *options.recordBattle;
      const fs::path file = options.recordBattleFile;
      replayFileFor = [wanted, file](std::uint64_t index) -> std::optional<fs::path> {
        if (index != wanted) return std::nullopt;
        return file;
      };
    } else {
      const fs::path folder = *options.recordAll;
      replayFileFor = [folder](std::uint64_t index) -> std::optional<fs::path> { return ReplayFileIn(folder, index); };
    }
  }
  OutputFile csv{kProgram}, json{kProgram};
  if (options.csv && !csv.Open(*options.csv, "CSV", err)) return 2;
  if (options.json && !json.Open(*options.json, "JSON", err)) {
    csv.Discard();
    return 2;
  }

  const std::string fingerprint = Fingerprint(spec);
  std::vector<std::uint64_t> indices;
  const std::uint64_t total = BattleCount(spec);
  for (std::uint64_t i = options.shard.index - 1; i < total; i += options.shard.count) indices.push_back(i);

  const unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  ProgressBar bar(err, indices.size());
  std::function<void(std::uint64_t)> progress;
  if (::isatty(::fileno(err))) progress = [&bar](std::uint64_t finished) { bar.Show(finished); };
  const PlayedBattles played = PlayBattles(spec, indices, threads, stop, progress, replayFileFor);
  bar.Clear();
  if (played.fault) {
    std::fprintf(err, "kivora-tournament: %s\n", played.fault->c_str());
    csv.Discard();
    json.Discard();
    return 2;
  }

  std::vector<const BattleResult*> results;
  for (const auto& result : played.results) {
    if (result) results.push_back(&*result);
  }
  const int signal = stop ? stop->load() : 0;
  std::string note;
  if (options.sharded) {
    note = "slice " + std::to_string(options.shard.index) + " of " + std::to_string(options.shard.count) + ": " +
           std::to_string(indices.size()) + " of the " + std::to_string(total) + " battles\n";
  }
  std::string interrupted;
  if (signal != 0 && results.size() < indices.size()) {
    interrupted = SignalName(signal);
    const std::string line = "interrupted by " + interrupted + ": " + std::to_string(results.size()) + " of " +
                             std::to_string(indices.size()) +
                             " battles played; those under way were stopped and are not counted";
    std::fprintf(err, "kivora-tournament: %s\n", line.c_str());
    note += line + "\n";
  }
  int status = WriteResults(spec, fingerprint, options.shard, indices.size(), note, interrupted, results, csv, json,
                            out, err);
  if (played.replayFault) {
    std::fprintf(err, "kivora-tournament: %s\n", played.replayFault->c_str());
    status = 1;
  }
  if (status != 0) return status;
  return interrupted.empty() ? 0 : 128 + signal;
}

}  // namespace kivora
