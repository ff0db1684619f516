#include "kivora-tournament/Tournament.h"

#include <cstdio>
#include <memory>
#include <numeric>

#include "base/ListFiles.h"
#include "base/Random.h"
#include "base/TextCodec.h"

#ifndef KIVORA_VERSION
#define KIVORA_VERSION "unknown"
#endif

namespace kivora {

std::optional<Entry> ParseEntry(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size()) return std::nullopt;
  return Entry{std::string(text.substr(0, colon)), std::string(text.substr(colon + 1))};
}

bool TournamentSpec::SameBattles(const TournamentSpec& other) const {
  const SetUpParts& a = parts;
  const SetUpParts& b = other.parts;
  return entries == other.entries && mode == other.mode && seeds == other.seeds && firstSeed == other.firstSeed &&
         simSeed == other.simSeed && ticks == other.ticks && untilDecided == other.untilDecided && a.map == b.map &&
         a.randomWallsAndParts == b.randomWallsAndParts && a.rival == b.rival && campaign == other.campaign;
}

std::uint64_t PairingCount(const TournamentSpec& spec) {
  const std::uint64_t n = spec.entries.size();
  if (n < 2) return 0;
  return spec.mode == TournamentMode::Melee ? 1 : n * (n - 1) / 2;
}

std::uint64_t BattleCount(const TournamentSpec& spec) { return PairingCount(spec) * spec.seeds * 2; }

BattlePlan PlanBattle(const TournamentSpec& spec, std::uint64_t index) {
  BattlePlan plan;
  plan.index = index;
  const bool swapped = index % 2 == 1;
  const std::uint64_t pairings = PairingCount(spec);
  if (pairings == 0) return plan;  // fewer than two entries: no battle
  const std::uint64_t pairing = index / 2 % pairings;
  plan.seed = static_cast<std::uint32_t>(spec.firstSeed + index / 2 / pairings);

  if (spec.mode == TournamentMode::Duels) {
    // The pairing-th pair in the order (0,1), (0,2) ... (0,n-1), (1,2) ...
    const std::size_t n = spec.entries.size();
    std::size_t first = 0;
    std::uint64_t left = pairing;
    while (left >= n - 1 - first) {
      left -= n - 1 - first;
      ++first;
    }
    const std::size_t second = first + 1 + static_cast<std::size_t>(left);
    plan.contestants = swapped ? std::vector<Contestant>{{second, 1}, {first, 0}}
                               : std::vector<Contestant>{{first, 1}, {second, 0}};
    return plan;
  }

  std::vector<std::size_t> order(spec.entries.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  Random shuffle(plan.seed);
  for (std::size_t i = order.size() - 1; i > 0; --i)
    std::swap(order[i], order[static_cast<std::size_t>(randomRange(shuffle, 0, static_cast<int>(i)))]);
  const std::size_t players = (order.size() + 1) / 2;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const bool player = (i < players) != swapped;
    plan.contestants.push_back({order[i], player ? 1 : 0});
  }
  return plan;
}

BattleSetup SetupFor(const TournamentSpec& spec, const BattlePlan& plan) {
  BattleSetup setup;
  setup.folder = spec.folder;
  setup.setupSeed = plan.seed;
  setup.simSeed = spec.simSeed.value_or(plan.seed);
  setup.parts = spec.parts;
  setup.campaign = spec.campaign;
  setup.ticks = spec.ticks;
  setup.untilDecided = spec.untilDecided;
  for (const Contestant& c : plan.contestants) {
    const Entry& entry = spec.entries[c.entry];
    setup.units.push_back(BattleUnit{.team = c.team, .spec = entry.spec, .program = entry.program, .at = {}});
  }
  return setup;
}

std::string_view ProgramVersion() { return KIVORA_VERSION; }

namespace {

// 64-bit FNV-1a: small, the same everywhere, and enough to tell two sets of
// files apart (it guards against mistakes, not against forgery).
class Digest {
public:
  void Add(std::string_view bytes) {
    for (const char c : bytes) {
      state_ ^= static_cast<unsigned char>(c);
      state_ *= 0x100000001b3u;
    }
  }
  std::string Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(state_));
    return text;
  }

private:
  std::uint64_t state_ = 0xcbf29ce484222325u;
};

// The digest of a file's bytes ("missing" when it cannot be opened). Reads
// at most 256 MiB, so that a device named as a file cannot hold it up.
std::string FileDigest(const std::filesystem::path& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return "missing";
  Digest digest;
  char buffer[1 << 16];
  std::uint64_t total = 0;
  while (total < (std::uint64_t{256} << 20)) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
    if (got == 0) break;
    digest.Add(std::string_view(buffer, got));
    total += got;
  }
  return digest.Hex();
}

}  // namespace

std::string Fingerprint(const TournamentSpec& spec) {
  std::string text = "kivora-tournament\nprogram ";
  text += ProgramVersion();
  text += spec.mode == TournamentMode::Duels ? "\nduels" : "\nmelee";
  text += "\nseeds " + std::to_string(spec.seeds) + " from " + std::to_string(spec.firstSeed);
  text += "\nsim-seed " + (spec.simSeed ? std::to_string(*spec.simSeed) : std::string("battle"));
  text += "\nticks " + std::to_string(spec.ticks) + (spec.untilDecided ? " until decided" : " full");
  text += "\nmap " + std::to_string(spec.parts.map) + " random " + std::to_string(spec.parts.randomWallsAndParts) +
          " rival " + std::to_string(spec.parts.rival) + " campaign " + std::to_string(spec.campaign) + "\n";
  // Names go in with their lengths, so no two lists read alike.
  auto name = [&text](std::string_view bytes) {
    text += std::to_string(bytes.size()) + ":";
    text += bytes;
  };
  for (const Entry& entry : spec.entries) {
    text += "entry ";
    name(entry.spec);
    text += " " + FileDigest(spec.folder / entry.spec) + " ";
    name(entry.program);
    text += " " + FileDigest(spec.folder / entry.program) + "\n";
  }
  if (spec.parts.map) text += "map.txt " + FileDigest(spec.folder / "map.txt") + "\n";
  if (spec.parts.rival || spec.campaign) {
    for (const char* pattern : {"*.spc", "*.prg"}) {
      for (const std::string& file : ListFiles(spec.folder, pattern, ListEntries::All)) {
        text += "file ";
        name(file);
        text += " " + FileDigest(spec.folder / file) + "\n";
      }
    }
  }
  Digest digest;
  digest.Add(text);
  return digest.Hex();
}

namespace {

std::string Count(std::uint64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string DescribeTournament(const TournamentSpec& spec) {
  const std::string folder =
      spec.folder == "." ? std::string("the current folder") : ForTerminal(spec.folder.native());
  const std::uint64_t battles = BattleCount(spec);
  std::string text;
  if (spec.mode == TournamentMode::Duels) {
    text = "round robin of " + std::to_string(spec.entries.size()) + " entries in " + folder + ": " +
           Count(PairingCount(spec), "pairing", "pairings") + " x " + Count(spec.seeds, "seed", "seeds") +
           " x 2 sides = " + Count(battles, "duel", "duels");
  } else {
    const std::size_t players = (spec.entries.size() + 1) / 2;
    text = "melee of " + std::to_string(spec.entries.size()) + " entries in " + folder + ", " +
           std::to_string(players) + " against " + std::to_string(spec.entries.size() - players) + ": " +
           Count(spec.seeds, "seed", "seeds") + " x 2 sides = " + Count(battles, "battle", "battles");
  }
  text += " of at most " + Count(spec.ticks, "tick", "ticks");
  text += spec.untilDecided ? ", each ended when decided" : ", each run to its time limit";
  std::string extras;
  auto add = [&extras](const char* what) { extras += extras.empty() ? std::string(what) : std::string(", ") + what; };
  if (!spec.parts.map) add("no map");
  if (spec.parts.randomWallsAndParts) add("random walls and parts");
  if (spec.parts.rival) add("the set-up's random rival");
  if (spec.campaign) add("the campaign");
  if (spec.simSeed) add(("RANDOM seeded with " + std::to_string(*spec.simSeed)).c_str());
  if (!extras.empty()) text += " (" + extras + ")";
  return text;
}

}  // namespace kivora
