#include "kivora-tournament/TournamentOptions.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>
#include <system_error>

#include "base/TextCodec.h"
#include "common/ToolKit.h"
#include "game/Replay.h"

namespace kivora {

const char* const kTournamentUsage =
    "usage: kivora-tournament [OPTIONS] ENTRY...\n"
    "       kivora-tournament --merge [--csv FILE] [--json FILE] SLICE.json...\n"
    "Plays every pair of entries (SPC:PRG, a model and a program of the data\n"
    "folder) against each other over a number of seeds, each seed once with\n"
    "each entry on either side, and prints the standings and who beat whom.\n"
    "Entries:\n"
    "  --entries FILE     read entries from FILE, one a line ('#' starts a comment)\n"
    "  --dir DIR          the data folder (default: the current directory)\n"
    "The battles:\n"
    "  --melee            every entry on one field instead, in two teams drawn\n"
    "                     by the seed (the first half, rounded up, on the\n"
    "                     player's side); each seed once more with the teams swapped\n"
    "  --seeds N          seeds per pairing, 1..1000000 (default 10)\n"
    "  --first-seed S     the first seed (default 1); then S+1, S+2, ...\n"
    "  --sim-seed S       seed RANDOM and rewards with S in every battle\n"
    "                     (default: with the battle's own seed)\n"
    "  --ticks N          ticks per battle at most, 1..1000000000000 (default 3000)\n"
    "  --full-time        run every battle to its time limit, decided or not\n"
    "  --no-map           leave out the walls of map.txt\n"
    "  --with-random      add the set-up's 10 random walls and 10 random parts\n"
    "  --with-rival       add the set-up's random rival unit\n"
    "  --campaign         run the rival's deployments and the leader's visits\n"
    "Running:\n"
    "  --threads N        battles at once, 1..1024 (default: one per core)\n"
    "  --shard K/N        play only the K-th of N slices of the battles (needs --json)\n"
    "  --merge            read the slices' JSON files named instead of entries\n"
    "                     and print the standings of them all\n"
    "What is written:\n"
    "  --csv FILE         the standings as CSV\n"
    "  --json FILE        the standings and every battle as JSON\n"
  "  --record-battle N FILE\n"
  "                     a replay of the battle with index N (as the JSON\n"
  "                     numbers them, from 0) in FILE\n"
  "  --record-all DIR   a replay of every battle played in DIR/battle-NNNNNN.kvr\n"
    "  --help             this text\n"
    "A win scores 3, a draw 1, a loss 0. SIGINT or SIGTERM stops the tournament:\n"
    "the battles under way are stopped and not counted, the standings of those\n"
    "finished are written (exit status 130 or 143).\n";

namespace {

// "K/N" with 1 <= K <= N.
bool ParseShard(std::string_view text, Shard& shard) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return false;
  Shard parsed;
  if (!ParseUnsigned(text.substr(0, slash), parsed.index) || !ParseUnsigned(text.substr(slash + 1), parsed.count))
    return false;
  if (parsed.count == 0 || parsed.index == 0 || parsed.index > parsed.count) return false;
  shard = parsed;
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::optional<TournamentOptions> ParseTournamentOptions(const std::vector<std::string>& args, std::string& error) {
  TournamentOptions options;
  TournamentSpec& spec = options.spec;
  std::vector<std::string> positional;
  std::string battleOption;  // the first option that decides battles, which --merge refuses
  bool optionsEnded = false;
  auto fail = [&error](std::string text) {
    error = std::move(text);
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--record-battle") {
      if (i + 2 >= args.size()) return fail("--record-battle needs a battle index and a file name");
      const std::string& index = args[++i];
      const std::string& file = args[++i];
      std::uint64_t n = 0;
      if (!ParseUnsigned(index, n))
        return fail("--record-battle wants a battle index, a whole number from 0, not " + ForTerminal(index));
      if (file.empty() || file == "-") return fail("--record-battle wants a file name after the index");
      options.recordBattle = n;
      options.recordBattleFile = file;
      continue;
    }
    if (arg == "--merge") {
      options.merge.emplace_back();  // a marker, replaced by the files below
      continue;
    }
    const bool flag = arg == "--melee" || arg == "--full-time" || arg == "--no-map" || arg == "--with-random" ||
                      arg == "--with-rival" || arg == "--campaign";
    if (flag) {
      if (battleOption.empty()) battleOption = arg;
      if (arg == "--melee") spec.mode = TournamentMode::Melee;
      else if (arg == "--full-time") spec.untilDecided = false;
      else if (arg == "--no-map") spec.parts.map = false;
      else if (arg == "--with-random") spec.parts.randomWallsAndParts = true;
      else if (arg == "--with-rival") spec.parts.rival = true;
      else spec.campaign = true;
      continue;
    }
    const bool takesValue = arg == "--entries" || arg == "--dir" || arg == "--seeds" || arg == "--first-seed" ||
                            arg == "--sim-seed" || arg == "--ticks" || arg == "--threads" || arg == "--shard" ||
                            arg == "--csv" || arg == "--json" || arg == "--record-all";
    if (!takesValue) return fail("unknown option " + ForTerminal(arg));
    if (i + 1 >= args.size()) return fail(arg + " needs a value");
    const std::string& value = args[++i];
    const std::string shown = ForTerminal(value);
    if (arg != "--threads" && arg != "--csv" && arg != "--json" && arg != "--record-all" && battleOption.empty())
      battleOption = arg;
    if (arg == "--entries") {
      if (value.empty()) return fail("--entries wants a file name");
      options.entriesFiles.push_back(value);
    } else if (arg == "--dir") {
      if (value.empty()) return fail("--dir wants a directory");
      spec.folder = value;
    } else if (arg == "--seeds") {
      if (!ParseUnsigned(value, spec.seeds) || spec.seeds == 0 || spec.seeds > 1'000'000)
        return fail("--seeds wants a whole number from 1 to 1000000, not " + shown);
    } else if (arg == "--first-seed" || arg == "--sim-seed") {
      std::uint32_t seed = 0;
      if (!ParseUnsigned(value, seed)) return fail(arg + " wants a number from 0 to 4294967295, not " + shown);
      if (arg == "--first-seed") spec.firstSeed = seed;
      else spec.simSeed = seed;
    } else if (arg == "--ticks") {
      if (!ParseUnsigned(value, spec.ticks) || spec.ticks == 0 || spec.ticks > kMaxBattleTicks)
        return fail("--ticks wants a whole number from 1 to " + std::to_string(kMaxBattleTicks) + ", not " + shown);
    } else if (arg == "--threads") {
      if (!ParseUnsigned(value, options.threads) || options.threads == 0 || options.threads > kMaxThreads)
        return fail("--threads wants a whole number from 1 to " + std::to_string(kMaxThreads) + ", not " + shown);
    } else if (arg == "--shard") {
      if (!ParseShard(value, options.shard))
        return fail("--shard wants K/N, the K-th of N slices with 1 <= K <= N, not " + shown);
      options.sharded = true;
    } else if (arg == "--record-all") {
      if (value.empty()) return fail("--record-all wants a directory");
      options.recordAll = value;
    } else {  // --csv, --json
      if (value.empty() || value == "-")
        return fail(arg + " wants a file name (the standings themselves go to standard output)");
      (arg == "--csv" ? options.csv : options.json) = value;
    }
  }
  if (options.help) return options;
  if (!options.merge.empty()) {
    if (options.merge.size() > 1) return fail("--merge given twice");
    if (!battleOption.empty())
      return fail("--merge takes the tournament from its files; " + battleOption + " does not go with it");
    if (options.sharded) return fail("--merge combines slices; --shard does not go with it");
    if (options.recordBattle || options.recordAll)
      return fail(std::string("--merge plays no battles; ") +
                  (options.recordBattle ? "--record-battle" : "--record-all") + " does not go with it");
    if (positional.empty()) return fail("--merge wants the JSON files of the slices");
    options.merge = std::move(positional);
    return options;
  }
  for (const std::string& text : positional) {
    const auto entry = ParseEntry(text);
    if (!entry) return fail("an entry is SPC:PRG, a model and a program file, not " + ForTerminal(text));
    if (spec.entries.size() >= kMaxEntries) return fail("more than " + std::to_string(kMaxEntries) + " entries");
    spec.entries.push_back(*entry);
  }
  if (options.sharded && !options.json) return fail("--shard wants --json FILE, where the slice's battles go");
  if (options.recordBattle && options.recordAll)
    return fail("--record-battle and --record-all do not go together (--record-all records every battle)");
  if ((options.recordBattle || options.recordAll) && spec.ticks > kMaxReplayTicks)
    return fail(std::string(options.recordBattle ? "--record-battle" : "--record-all") + " holds at most " +
                std::to_string(kMaxReplayTicks) + " ticks a battle; --ticks asks for " + std::to_string(spec.ticks));
  return options;
}

bool ReadEntriesFile(const std::string& path, std::vector<Entry>& entries, std::string& error) {
  constexpr long kMaxBytes = 1 << 20;
  const std::string shown = ForTerminal(path);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    error = "cannot open the entries file " + shown + ": " + ErrorText(errno);
    return false;
  }
  std::string text;
  char buffer[1 << 14];
  while (true) {
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
    if (got == 0) {
      if (std::ferror(file.get())) {
        error = "cannot read the entries file " + shown + ": " + ErrorText(errno ? errno : EIO);
        return false;
      }
      break;
    }
    text.append(buffer, got);
    if (text.size() > static_cast<std::size_t>(kMaxBytes)) {
      error = "the entries file " + shown + " is larger than 1 MiB";
      return false;
    }
  }
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    ++lineNumber;
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const auto entry = ParseEntry(line);
    if (!entry) {
      error = shown + ":" + std::to_string(lineNumber) + ": an entry is SPC:PRG, a model and a program file, not " +
              ForTerminal(line);
      return false;
    }
    if (entries.size() >= kMaxEntries) {
      error = shown + ":" + std::to_string(lineNumber) + ": more than " + std::to_string(kMaxEntries) + " entries";
      return false;
    }
    entries.push_back(*entry);
  }
  return true;
}

std::optional<std::string> CheckTournament(const TournamentSpec& spec) {
  if (spec.entries.size() < 2)
    return "a tournament wants at least two entries (SPC:PRG), " + std::to_string(spec.entries.size()) + " given";
  if (spec.entries.size() > kMaxEntries) return "more than " + std::to_string(kMaxEntries) + " entries";
  if (std::uint64_t{spec.firstSeed} + spec.seeds - 1 > 0xFFFFFFFFu)
    return "the seeds would go past 4294967295: --first-seed " + std::to_string(spec.firstSeed) + " with --seeds " +
           std::to_string(spec.seeds);
  if (BattleCount(spec) > kMaxBattles)
    return std::to_string(BattleCount(spec)) + " battles, more than the " + std::to_string(kMaxBattles) +
           " one tournament holds: fewer entries or seeds";
  return std::nullopt;
}

}  // namespace kivora
