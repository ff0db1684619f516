#include "kivora-arena/ArenaRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "base/TextCodec.h"
#include "economy/Economy.h"
#include "economy/MessageSink.h"
#include "field/Canvas.h"
#include "field/DrawField.h"
#include "field/PictureCache.h"
#include "field/SpawnRival.h"
#include "field/ViewGeometry.h"
#include "game/Battle.h"
#include "game/Campaign.h"
#include "game/Trace.h"
#include "sim/Bullette.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;

// The campaign's news on standard error, each line after the tick it came with.
class TickLog : public MessageSink {
public:
  TickLog(std::FILE* err, const std::uint64_t& tick) : err_(err), tick_(tick) {}
  void AddMessage(std::string_view text) override {
    std::fprintf(err_, "[%llu] %.*s\n", static_cast<unsigned long long>(tick_), static_cast<int>(text.size()),
                 text.data());
  }

private:
  std::FILE* err_;
  const std::uint64_t& tick_;
};

// Why `directory` cannot serve as the data folder (as entering it would
// fail), or no error.
std::error_code UnusableDirectory(const fs::path& directory) {
  struct stat st {};
  if (::stat(directory.c_str(), &st) != 0) return {errno, std::system_category()};
  if (!S_ISDIR(st.st_mode)) return {ENOTDIR, std::system_category()};
  if (::access(directory.c_str(), X_OK) != 0) return {errno, std::system_category()};
  return {};
}

bool WriteAll(std::FILE* file, const std::string& text) {
  return text.empty() || std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

class FrameWriter {
public:
  FrameWriter(fs::path directory, const fs::path& pictures)
      : directory_(std::move(directory)), canvas_(kViewSize, kViewSize), pictures_(pictures) {}

  bool Prepare(std::FILE* err) {
    std::error_code ec;
    fs::create_directories(directory_, ec);
    if (!fs::is_directory(directory_, ec)) {
      std::fprintf(err, "kivora-arena: cannot create the frame directory %s\n", ToUtf8(directory_.native()).c_str());
      return false;
    }
    return true;
  }

  bool Write(std::uint64_t tick, const Field& field, std::FILE* err) {
    // Gathered with the first frame, as the game's view does when its
    // thread starts: later frames read no file.
    if (!gathered_) gathered_ = FieldPictures::Gather(pictures_);
    DrawField(canvas_, field, *gathered_);
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06llu.bmp", static_cast<unsigned long long>(tick));
    const fs::path path = directory_ / name;
    if (canvas_.WriteBmp(path.string())) return true;
    std::fprintf(err, "kivora-arena: cannot write %s\n", ToUtf8(path.native()).c_str());
    return false;
  }

private:
  fs::path directory_;
  Canvas canvas_;
  PictureCache pictures_;
  std::optional<FieldPictures> gathered_;
};

void PrintSide(std::FILE* out, const Field& field, int kind, const char* title,
               const std::map<std::int64_t, std::string>& programs) {
  std::vector<const OKE*> units;
  for (const OKE* unit : field.unitList) {
    if (unit->Kind() == kind) units.push_back(unit);
  }
  std::fprintf(out, "%s: %zu unit%s\n", title, units.size(), units.size() == 1 ? "" : "s");
  for (const OKE* unit : units) {
    const auto program = programs.find(unit->fieldId);
    const std::string programName =
        program == programs.end() || program->second.empty() ? std::string("-") : ToUtf8(program->second);
    std::fprintf(out, "  #%lld %s %s hp=%d ammo=%d at (%d,%d) dir=%d\n", static_cast<long long>(unit->fieldId), ToUtf8(unit->spec->name).c_str(),
                 programName.c_str(), unit->hp, unit->ammo, unit->x, unit->y, unit->direction);
  }
}

}  // namespace

int RunArena(const ArenaOptions& options, std::FILE* out, std::FILE* err) {
  const fs::path folder(options.directory);
  if (const std::error_code ec = UnusableDirectory(folder)) {
    std::fprintf(err, "kivora-arena: cannot enter %s: %s\n", ToUtf8(options.directory).c_str(), ec.message().c_str());
    return 2;
  }

  // The set-up generator: the field, the units of the command line and the
  // campaign draw from it. The world ticks on the field's own generator,
  // which starts at 1 as the game's simulation thread does.
  Battle battle(folder, options.seed);
  std::map<std::int64_t, std::string> programs;  // unit id -> program file, for the summary
  std::vector<SpawnedUnit> spawned;

  auto remember = [&] {
    for (SpawnedUnit& unit : spawned) programs[unit.id] = std::move(unit.program);
    spawned.clear();
  };

  battle.Build(
      [err](std::string_view message) {
        std::fprintf(err, "%.*s\n", static_cast<int>(message.size()), message.data());
      },
      &spawned);
  remember();

  for (const ArenaUnit& wanted : options.units) {
    Ref<OKE> unit = battle.NewUnit(wanted.team, wanted.spec);
    if (!unit) {
      std::fprintf(err, "kivora-arena: cannot load the model %s\n", ToUtf8(wanted.spec).c_str());
      return 2;
    }
    if (wanted.program) battle.GiveProgram(*unit, *wanted.program);
    const OKE* placed = battle.Deploy(std::move(unit));
    programs[placed->fieldId] = wanted.program.value_or("");
  }

  std::FILE* trace = nullptr;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> traceFile(nullptr, &std::fclose);
  if (options.trace) {
    if (*options.trace != "-") {
      const fs::path tracePath = fs::absolute(*options.trace);
      traceFile.reset(std::fopen(tracePath.c_str(), "wb"));
      if (!traceFile) {
        std::fprintf(err, "kivora-arena: cannot create the trace file %s\n", ToUtf8(tracePath.native()).c_str());
        return 2;
      }
      trace = traceFile.get();
    } else {
      trace = out;
    }
  }
  std::unique_ptr<FrameWriter> frames;
  if (options.frames) {
    frames = std::make_unique<FrameWriter>(fs::absolute(*options.frames), folder);
    if (!frames->Prepare(err)) return 2;
  }

  bool written = true;
  std::string traceText;
  auto record = [&](std::uint64_t tick) {
    if (!trace && !frames) return;
    const auto field = battle.Lock();
    if (trace && tick % options.traceEvery == 0) {
      AppendTraceTick(traceText, tick, *field, battle.GetEconomy());
      if (traceText.size() >= (1u << 20)) {
        written = WriteAll(trace, traceText) && written;
        traceText.clear();
      }
    }
    if (frames && tick % options.frameEvery == 0) written = frames->Write(tick, *field, err) && written;
  };

  std::uint64_t tick = 0;
  TickLog log(err, tick);
  record(0);
  const auto began = std::chrono::steady_clock::now();
  for (tick = 1; tick <= options.ticks; ++tick) {
    battle.Tick();
    if (options.campaign && tick % kCampaignPeriodTicks == 0) {
      battle.CampaignStep(log, &spawned);
      remember();
    }
    record(tick);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  const std::uint64_t ran = options.ticks;

  if (trace) {
    written = WriteAll(trace, traceText) && written;
    written = std::fflush(trace) == 0 && written;
    if (!written) std::fprintf(err, "kivora-arena: the trace could not be written completely\n");
  }

  if (!options.quiet) {
    const Economy& economy = battle.GetEconomy();
    const auto field = battle.Lock();
    std::fprintf(out, "ticks: %llu in %.3f s (%.0f ticks/s)\n", static_cast<unsigned long long>(ran), seconds,
                 seconds > 0 ? static_cast<double>(ran) / seconds : 0.0);
    PrintSide(out, *field, kKindPlayerUnit, "player's side", programs);
    PrintSide(out, *field, kKindRivalUnit, "rival's side", programs);
    const std::size_t parts = field->fieldList.OfKind(kKindParts).size();
    std::fprintf(out, "bullets in flight: %zu, parts on the field: %zu\n", field->bulletList.size(), parts);
    std::fprintf(out, "money %u, rival points %u, leader's purse %u, debt %u\n", economy.GetMoney(),
                 economy.GetRivalPoints(), economy.GetLeaderWallet(), economy.GetDebt());
    std::fflush(out);
  }
  return written ? 0 : 1;
}

}  // namespace kivora
