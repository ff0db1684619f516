#include "game/Replay.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <system_error>

#include "base/Fnv1a.h"
#include "base/TextCodec.h"
#include "field/Bmp.h"

namespace kivora {
namespace {

constexpr char kMagic[8] = {'K', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr std::size_t kHeaderBytes = 24;
constexpr std::size_t kSectionFrame = 4 + 8 + 8;  // tag, length, digest
constexpr char kSetupTag[4] = {'S', 'E', 'T', 'U'};
constexpr char kFileTag[4] = {'F', 'I', 'L', 'E'};
constexpr char kCheckTag[4] = {'C', 'H', 'E', 'K'};

enum SetupFlag : std::uint8_t {
  kMap = 1,
  kRandomWallsAndParts = 2,
  kRival = 4,
  kCampaign = 8,
  kUntilDecided = 16,
};

// Little-endian numbers and length-prefixed strings into a byte buffer.
class Writer {
public:
  explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
  void U8(std::uint8_t v) { out_.push_back(v); }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void U64(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void Bytes(std::string_view bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
  void String(std::string_view bytes) {
    U32(static_cast<std::uint32_t>(bytes.size()));
    Bytes(bytes);
  }

private:
  std::vector<std::uint8_t>& out_;
};

// The same read back, every read checked against what is left.
class Reader {
public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::size_t Left() const { return bytes_.size() - pos_; }
  bool U8(std::uint8_t& v) {
    if (Left() < 1) return false;
    v = bytes_[pos_++];
    return true;
  }
  bool U32(std::uint32_t& v) {
    if (Left() < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{bytes_[pos_++]} << (8 * i);
    return true;
  }
  bool I32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!U32(u)) return false;
    v = static_cast<std::int32_t>(u);
    return true;
  }
  bool U64(std::uint64_t& v) {
    if (Left() < 8) return false;
    v = 0;
    for (int i = 0; i < 8; ++i) v |= std::uint64_t{bytes_[pos_++]} << (8 * i);
    return true;
  }
  bool Bytes(std::uint64_t count, std::string& out) {
    if (count > Left()) return false;
    const auto* begin = reinterpret_cast<const char*>(bytes_.data() + pos_);
    out.assign(begin, static_cast<std::size_t>(count));
    pos_ += static_cast<std::size_t>(count);
    return true;
  }
  bool Span(std::uint64_t count, std::span<const std::uint8_t>& out) {
    if (count > Left()) return false;
    out = bytes_.subspan(pos_, static_cast<std::size_t>(count));
    pos_ += static_cast<std::size_t>(count);
    return true;
  }
  // A name: at most kMaxReplayNameBytes.
  bool String(std::string& out) {
    std::uint32_t length = 0;
    return U32(length) && length <= kMaxReplayNameBytes && Bytes(length, out);
  }

private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

std::uint64_t SectionDigest(const char tag[4], std::span<const std::uint8_t> lengthAndPayload) {
  return Fnv1a().Add(std::string_view(tag, 4)).Add(lengthAndPayload).Value();
}

void AppendSection(std::vector<std::uint8_t>& out, const char tag[4], const std::vector<std::uint8_t>& payload) {
  const std::size_t start = out.size();
  out.insert(out.end(), tag, tag + 4);
  Writer(out).U64(payload.size());
  out.insert(out.end(), payload.begin(), payload.end());
  const std::span<const std::uint8_t> covered(out.data() + start + 4, out.size() - start - 4);
  Writer(out).U64(SectionDigest(tag, covered));
}

std::vector<std::uint8_t> EncodeSetup(const BattleSetup& setup) {
  std::vector<std::uint8_t> bytes;
  Writer w(bytes);
  w.U32(setup.setupSeed);
  w.U32(setup.simSeed);
  std::uint8_t flags = 0;
  if (setup.parts.map) flags |= kMap;
  if (setup.parts.randomWallsAndParts) flags |= kRandomWallsAndParts;
  if (setup.parts.rival) flags |= kRival;
  if (setup.campaign) flags |= kCampaign;
  if (setup.untilDecided) flags |= kUntilDecided;
  w.U8(flags);
  w.U64(setup.ticks);
  w.U32(static_cast<std::uint32_t>(setup.units.size()));
  for (const BattleUnit& unit : setup.units) {
    w.I32(unit.team);
    w.String(unit.spec);
    w.U8(unit.program ? 1 : 0);
    if (unit.program) w.String(*unit.program);
    w.U8(unit.at ? 1 : 0);
    if (unit.at) {
      w.I32(unit.at->x);
      w.I32(unit.at->y);
      w.I32(unit.at->direction);
    }
  }
  return bytes;
}

std::vector<std::uint8_t> EncodeEntry(const ReplayEntry& entry) {
  std::vector<std::uint8_t> bytes;
  Writer w(bytes);
  w.U8(static_cast<std::uint8_t>(entry.kind));
  w.String(entry.name);
  if (entry.kind == ReplayEntry::Kind::File) {
    w.U64(entry.bytes.size());
    w.Bytes(entry.bytes);
  }
  return bytes;
}

std::vector<std::uint8_t> EncodeCheck(const ReplayCheck& check) {
  std::vector<std::uint8_t> bytes;
  Writer w(bytes);
  w.U64(check.ticksRun);
  w.U8(static_cast<std::uint8_t>(check.outcome.winner));
  w.U8(check.outcome.decidedAt ? 1 : 0);
  w.U64(check.outcome.decidedAt.value_or(0));
  w.U32(check.checkpointEvery);
  w.U64(check.digests.size());
  for (const std::uint64_t digest : check.digests) w.U64(digest);
  return bytes;
}

// Each Decode* reads one section's payload whole; `why` names the fault.
bool DecodeSetup(Reader& r, BattleSetup& setup, std::string& why) {
  std::uint8_t flags = 0;
  std::uint32_t count = 0;
  if (!r.U32(setup.setupSeed) || !r.U32(setup.simSeed) || !r.U8(flags) || !r.U64(setup.ticks) || !r.U32(count)) {
    why = "the setup is cut short";
    return false;
  }
  if ((flags & ~(kMap | kRandomWallsAndParts | kRival | kCampaign | kUntilDecided)) != 0) {
    why = "the setup has unknown flags";
    return false;
  }
  setup.parts.map = (flags & kMap) != 0;
  setup.parts.randomWallsAndParts = (flags & kRandomWallsAndParts) != 0;
  setup.parts.rival = (flags & kRival) != 0;
  setup.campaign = (flags & kCampaign) != 0;
  setup.untilDecided = (flags & kUntilDecided) != 0;
  if (setup.ticks > kMaxBattleTicks) {
    why = "the setup asks for more than " + std::to_string(kMaxBattleTicks) + " ticks";
    return false;
  }
  // Each unit takes at least 4 + 4 + 1 + 1 bytes: a count beyond that is a lie.
  constexpr std::size_t kSmallestUnit = 10;
  if (count > r.Left() / kSmallestUnit) {
    why = "the setup's unit count does not fit its length";
    return false;
  }
  setup.units.reserve(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    BattleUnit unit;
    std::uint8_t hasProgram = 0;
    std::uint8_t hasAt = 0;
    if (!r.I32(unit.team) || !r.String(unit.spec) || !r.U8(hasProgram) || hasProgram > 1) {
      why = "unit " + std::to_string(k + 1) + " of the setup is damaged";
      return false;
    }
    if (hasProgram) {
      std::string program;
      if (!r.String(program)) {
        why = "unit " + std::to_string(k + 1) + " of the setup is damaged";
        return false;
      }
      unit.program = std::move(program);
    }
    if (!r.U8(hasAt) || hasAt > 1) {
      why = "unit " + std::to_string(k + 1) + " of the setup is damaged";
      return false;
    }
    if (hasAt) {
      UnitStart at;
      if (!r.I32(at.x) || !r.I32(at.y) || !r.I32(at.direction) || at.direction < -179 || at.direction > 180) {
        why = "unit " + std::to_string(k + 1) + " of the setup is damaged";
        return false;
      }
      unit.at = at;
    }
    if (unit.team != 0 && unit.team != 1) {
      why = "unit " + std::to_string(k + 1) + " of the setup has no side";
      return false;
    }
    std::string fault = ReplayUnitFileFault(unit.spec);
    if (fault.empty() && unit.program) fault = ReplayUnitFileFault(*unit.program);
    if (!fault.empty()) {
      why = "unit " + std::to_string(k + 1) + " of the setup: " + fault;
      return false;
    }
    setup.units.push_back(std::move(unit));
  }
  if (r.Left() != 0) {
    why = "the setup has bytes left over";
    return false;
  }
  return true;
}

bool DecodeEntry(Reader& r, ReplayEntry& entry, std::string& why) {
  std::uint8_t kind = 0;
  if (!r.U8(kind) || (kind != 1 && kind != 2) || !r.String(entry.name)) {
    why = "a file entry is damaged";
    return false;
  }
  entry.kind = static_cast<ReplayEntry::Kind>(kind);
  if (const std::string fault = ReplayEntryNameFault(entry.name); !fault.empty()) {
    why = "a file entry's name " + fault;
    return false;
  }
  if (entry.kind == ReplayEntry::Kind::File) {
    std::uint64_t length = 0;
    if (!r.U64(length) || length != r.Left() || !r.Bytes(length, entry.bytes)) {
      why = "a file entry's length does not match its section";
      return false;
    }
  }
  if (r.Left() != 0) {
    why = "a file entry has bytes left over";
    return false;
  }
  return true;
}

bool DecodeCheck(Reader& r, ReplayCheck& check, std::string& why) {
  std::uint8_t winner = 0;
  std::uint8_t decided = 0;
  std::uint64_t decidedAt = 0;
  std::uint64_t count = 0;
  if (!r.U64(check.ticksRun) || !r.U8(winner) || !r.U8(decided) || !r.U64(decidedAt) ||
      !r.U32(check.checkpointEvery) || !r.U64(count)) {
    why = "the outcome is cut short";
    return false;
  }
  if (winner > 2 || decided > 1 || (decided == 0 && decidedAt != 0) || (decided == 1 && decidedAt > check.ticksRun)) {
    why = "the outcome is not one a battle can have";
    return false;
  }
  if (check.ticksRun > kMaxReplayTicks) {
    why = "the battle ran " + std::to_string(check.ticksRun) + " ticks; a replay holds at most " +
          std::to_string(kMaxReplayTicks);
    return false;
  }
  if (check.checkpointEvery == 0 || check.checkpointEvery > kMaxCheckpointEvery ||
      count != ReplayCheck::DigestCount(check.ticksRun, check.checkpointEvery) || count != r.Left() / 8 ||
      r.Left() % 8 != 0) {
    why = "the digests do not match the ticks run";
    return false;
  }
  check.outcome.winner = static_cast<Side>(winner);
  if (decided) check.outcome.decidedAt = decidedAt;
  check.digests.resize(static_cast<std::size_t>(count));
  for (std::uint64_t& digest : check.digests) r.U64(digest);
  return true;
}

bool IsTag(std::span<const std::uint8_t> tag, const char expected[4]) {
  return std::memcmp(tag.data(), expected, 4) == 0;
}

std::string Printable(std::span<const std::uint8_t> tag) {
  std::string text;
  for (const std::uint8_t b : tag) {
    if (b >= 0x20 && b < 0x7F) {
      text += static_cast<char>(b);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", b);
      text += hex;
    }
  }
  return text;
}

}  // namespace

std::uint64_t ReplayCheck::DigestCount(std::uint64_t ticksRun, std::uint32_t every) {
  if (every == 0) return 0;
  return ticksRun / every + 1 + (ticksRun % every != 0 ? 1 : 0);
}

std::uint64_t ReplayCheck::TickOf(std::size_t index) const {
  const std::uint64_t tick = std::uint64_t{index} * checkpointEvery;
  return tick > ticksRun ? ticksRun : tick;
}

std::string ReplayEntryNameFault(std::string_view name) {
  if (name.empty()) return "is empty";
  if (name.size() > kMaxReplayNameBytes) return "is too long";
  if (name.find('\0') != std::string_view::npos) return "holds a zero byte";
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = name.find('/', start);
    const std::string_view part = name.substr(start, slash == std::string_view::npos ? name.npos : slash - start);
    if (part.empty() || part == "." || part == "..") return "is not a plain path inside the folder";
    if (part.size() > 255) return "has a part longer than 255 bytes";
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return "";
}

std::string ReplayUnitFileFault(std::string_view name) {
  if (name.empty()) return "a file name is empty";
  if (name.front() == '/') return "the file " + ForTerminal(name) + " lies outside the data folder";
  const std::string entry = ReplayEntryName(name);
  if (const std::string fault = ReplayEntryNameFault(entry); !fault.empty()) {
    return "the file name " + ForTerminal(name) + " " + fault;
  }
  return "";
}

std::string ReplayEntryName(std::string_view unitFile) {
  // Empty and "." parts go; ".." stays, for the check to refuse.
  std::string entry;
  std::size_t start = 0;
  while (start <= unitFile.size()) {
    std::size_t slash = unitFile.find('/', start);
    if (slash == std::string_view::npos) slash = unitFile.size();
    const std::string_view part = unitFile.substr(start, slash - start);
    if (!part.empty() && part != ".") {
      if (!entry.empty()) entry += '/';
      entry += part;
    }
    start = slash + 1;
  }
  return entry;
}

std::vector<std::uint8_t> EncodeReplay(const Replay& replay) {
  std::vector<std::uint8_t> out(kMagic, kMagic + sizeof kMagic);
  Writer w(out);
  w.U32(kReplayFormatVersion);
  w.U32(replay.rules);
  w.U32(static_cast<std::uint32_t>(replay.files.size() + 2));
  w.U32(0);
  AppendSection(out, kSetupTag, EncodeSetup(replay.setup));
  for (const ReplayEntry& entry : replay.files) AppendSection(out, kFileTag, EncodeEntry(entry));
  AppendSection(out, kCheckTag, EncodeCheck(replay.check));
  return out;
}

std::optional<Replay> DecodeReplay(std::span<const std::uint8_t> bytes, std::string& why) {
  if (bytes.size() > kMaxReplayBytes) {
    why = "too large: " + std::to_string(bytes.size()) + " bytes, a replay has at most " +
          std::to_string(kMaxReplayBytes);
    return std::nullopt;
  }
  if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    why = "not a replay (it does not begin with KVREPLAY)";
    return std::nullopt;
  }
  Reader header(bytes.subspan(sizeof kMagic));
  std::uint32_t format = 0;
  std::uint32_t rules = 0;
  std::uint32_t sections = 0;
  std::uint32_t reserved = 0;
  if (!header.U32(format) || !header.U32(rules) || !header.U32(sections) || !header.U32(reserved)) {
    why = "truncated: the file ends inside its header";
    return std::nullopt;
  }
  if (format != kReplayFormatVersion) {
    why = "a replay of format version " + std::to_string(format) + "; this program reads version " +
          std::to_string(kReplayFormatVersion);
    return std::nullopt;
  }
  if (rules != kBattleRulesVersion) {
    why = "recorded under the battle rules of version " + std::to_string(rules) +
          "; this program plays version " + std::to_string(kBattleRulesVersion) +
          ", so the battle would not come out the same";
    return std::nullopt;
  }
  if (reserved != 0) {
    why = "damaged: the header's reserved field is not zero";
    return std::nullopt;
  }
  // The smallest section is its frame alone: a count beyond that is a lie.
  if (sections < 2 || sections > (bytes.size() - kHeaderBytes) / kSectionFrame) {
    why = "damaged: the header's section count does not fit the file";
    return std::nullopt;
  }
  if (sections - 2 > kMaxReplayFiles) {
    why = "the replay holds " + std::to_string(sections - 2) + " files; at most " + std::to_string(kMaxReplayFiles) +
          " are played";
    return std::nullopt;
  }

  Replay replay;
  replay.rules = rules;
  replay.setup.folder.clear();
  Reader r(bytes.subspan(kHeaderBytes));
  std::set<std::string> names;
  for (std::uint32_t k = 0; k < sections; ++k) {
    const std::string where = "section " + std::to_string(k + 1) + " of " + std::to_string(sections);
    std::span<const std::uint8_t> tag;
    std::span<const std::uint8_t> lengthBytes;
    std::uint64_t length = 0;
    if (!r.Span(4, tag) || !r.Span(8, lengthBytes)) {
      why = "truncated: the file ends in " + where;
      return std::nullopt;
    }
    Reader(lengthBytes).U64(length);
    std::span<const std::uint8_t> payload;
    std::uint64_t digest = 0;
    if (length > r.Left() || !r.Span(length, payload) || !r.U64(digest)) {
      why = "truncated: the file ends in " + where;
      return std::nullopt;
    }
    const std::span<const std::uint8_t> covered(lengthBytes.data(), 8 + payload.size());
    const std::string tagText = Printable(tag);
    if (digest != SectionDigest(reinterpret_cast<const char*>(tag.data()), covered)) {
      why = "damaged: " + where + " (" + tagText + ") does not match its digest";
      return std::nullopt;
    }
    const bool first = k == 0;
    const bool last = k + 1 == sections;
    const char* expected = first ? kSetupTag : last ? kCheckTag : kFileTag;
    if (!IsTag(tag, expected)) {
      why = "damaged: " + where + " is " + tagText + " where " + std::string(expected, 4) + " belongs";
      return std::nullopt;
    }
    Reader body(payload);
    std::string fault;
    bool read = false;
    if (first) {
      read = DecodeSetup(body, replay.setup, fault);
    } else if (last) {
      read = DecodeCheck(body, replay.check, fault);
    } else {
      ReplayEntry entry;
      read = DecodeEntry(body, entry, fault);
      if (read && !names.insert(entry.name).second) {
        read = false;
        fault = "a file is there twice";
      }
      if (read) replay.files.push_back(std::move(entry));
    }
    if (!read) {
      why = "damaged: " + where + " (" + tagText + "): " + fault;
      return std::nullopt;
    }
  }
  if (r.Left() != 0) {
    why = "damaged: " + std::to_string(r.Left()) + " bytes after the last section";
    return std::nullopt;
  }
  if (replay.check.ticksRun > replay.setup.ticks) {
    why = "damaged: the battle ran more ticks than its setup allows";
    return std::nullopt;
  }
  return replay;
}

bool WriteReplay(const std::filesystem::path& path, const Replay& replay, std::string& why) {
  const std::vector<std::uint8_t> bytes = EncodeReplay(replay);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    why = "cannot create " + ForTerminal(path.native()) + ": " + std::error_code(errno, std::system_category()).message();
    return false;
  }
  errno = 0;
  int error = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) error = errno ? errno : EIO;
  if (std::fclose(file) != 0 && error == 0) error = errno ? errno : EIO;
  if (error == 0) return true;
  why = "cannot write " + ForTerminal(path.native()) + ": " + std::error_code(error, std::system_category()).message();
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) std::remove(path.c_str());
  return false;
}

std::optional<Replay> ReadReplay(const std::filesystem::path& path, std::string& why) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    why = std::error_code(errno, std::system_category()).message();
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    why = "not a file";
    return std::nullopt;
  }
  if (static_cast<std::uint64_t>(info.st_size) > kMaxReplayBytes) {
    why = "too large: " + std::to_string(info.st_size) + " bytes, a replay has at most " +
          std::to_string(kMaxReplayBytes);
    return std::nullopt;
  }
  const auto bytes = ReadFileBytes(path.native(), kMaxReplayBytes);
  if (!bytes) {
    why = "cannot be read: " + std::error_code(errno ? errno : EIO, std::system_category()).message();
    return std::nullopt;
  }
  return DecodeReplay(*bytes, why);
}

}  // namespace kivora
