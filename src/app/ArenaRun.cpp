#include "app/ArenaRun.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/ArenaTrace.h"
#include "app/Campaign.h"
#include "app/Random.h"
#include "app/TextCodec.h"
#include "economy/Economy.h"
#include "economy/MessageSink.h"
#include "field/Canvas.h"
#include "field/DrawField.h"
#include "field/FieldSetup.h"
#include "field/PictureCache.h"
#include "field/SpawnRival.h"
#include "lang/LoadProgram.h"
#include "sim/Bullette.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "sim/WorldStep.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;

// Ticks between two campaign steps: three minutes at ten ticks a second.
constexpr std::uint64_t kCampaignTicks = 1800;

// Puts the working directory and the calling thread's generator back as
// they were, however the run ends.
class RestoreOnExit {
public:
  RestoreOnExit() : generator_(GetRandomState()) {
    std::error_code ec;
    directory_ = fs::current_path(ec);
  }
  ~RestoreOnExit() {
    SetRandomState(generator_);
    std::error_code ec;
    if (!directory_.empty()) fs::current_path(directory_, ec);
  }
  RestoreOnExit(const RestoreOnExit&) = delete;
  RestoreOnExit& operator=(const RestoreOnExit&) = delete;

private:
  std::uint32_t generator_;
  fs::path directory_;
};

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

// A path given on the command line, taken relative to where the program started.
fs::path FromStart(const fs::path& start, const std::string& given) {
  const fs::path p(given);
  return p.is_absolute() ? p : start / p;
}

bool WriteAll(std::FILE* file, const std::string& text) {
  return text.empty() || std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

class FrameWriter {
public:
  explicit FrameWriter(fs::path directory) : directory_(std::move(directory)), canvas_(320, 320) {}

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
  RestoreOnExit restore;
  std::error_code ec;
  const fs::path start = fs::current_path(ec);

  std::optional<fs::path> tracePath;
  if (options.trace && *options.trace != "-") tracePath = FromStart(start, *options.trace);
  std::optional<fs::path> framePath;
  if (options.frames) framePath = FromStart(start, *options.frames);

  fs::current_path(options.directory, ec);
  if (ec) {
    std::fprintf(err, "kivora-arena: cannot enter %s: %s\n", ToUtf8(options.directory).c_str(), ec.message().c_str());
    return 2;
  }

  // The set-up generator: the field, the units of the command line and the
  // campaign draw from it. The world ticks on a generator of its own that
  // starts at 1, as the game's simulation thread does.
  SeedRandom(options.seed);
  std::uint32_t simulationGenerator = 1;

  Economy economy;
  SpecTable specs;
  Field field(economy);
  std::map<std::int64_t, std::string> programs;  // unit id -> program file, for the summary
  std::vector<SpawnedUnit> spawned;

  auto remember = [&] {
    for (SpawnedUnit& unit : spawned) programs[unit.id] = std::move(unit.program);
    spawned.clear();
  };

  BuildField(
      field, specs,
      [err](std::string_view message) {
        std::fprintf(err, "%.*s\n", static_cast<int>(message.size()), message.data());
      },
      &spawned);
  remember();

  for (const ArenaUnit& wanted : options.units) {
    Ref<OKE> unit = OKE::Create(wanted.team, wanted.spec, specs);
    if (!unit) {
      std::fprintf(err, "kivora-arena: cannot load the model %s\n", ToUtf8(wanted.spec).c_str());
      return 2;
    }
    if (wanted.program) LoadProgram(*unit, *wanted.program);
    unit->x = randomRange(-150, 150) * 100;
    unit->y = randomRange(-150, 150) * 100;
    unit->direction = randomRange(-179, 180);
    const OKE* placed = field.Deploy(std::move(unit));
    programs[placed->fieldId] = wanted.program.value_or("");
  }

  std::FILE* trace = nullptr;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> traceFile(nullptr, &std::fclose);
  if (options.trace) {
    if (tracePath) {
      traceFile.reset(std::fopen(tracePath->c_str(), "wb"));
      if (!traceFile) {
        std::fprintf(err, "kivora-arena: cannot create the trace file %s\n",
                     ToUtf8(tracePath->native()).c_str());
        return 2;
      }
      trace = traceFile.get();
    } else {
      trace = out;
    }
  }
  std::unique_ptr<FrameWriter> frames;
  if (framePath) {
    frames = std::make_unique<FrameWriter>(*framePath);
    if (!frames->Prepare(err)) return 2;
  }

  bool written = true;
  std::string traceText;
  auto record = [&](std::uint64_t tick) {
    if (trace && tick % options.traceEvery == 0) {
      AppendTraceTick(traceText, tick, field, economy);
      if (traceText.size() >= (1u << 20)) {
        written = WriteAll(trace, traceText) && written;
        traceText.clear();
      }
    }
    if (frames && tick % options.frameEvery == 0) written = frames->Write(tick, field, err) && written;
  };

  std::uint64_t tick = 0;
  TickLog log(err, tick);
  std::int32_t visitCount = 0;
  record(0);
  const auto began = std::chrono::steady_clock::now();
  for (tick = 1; tick <= options.ticks; ++tick) {
    const std::uint32_t setupGenerator = GetRandomState();
    SetRandomState(simulationGenerator);
    WorldStep(field);
    simulationGenerator = GetRandomState();
    SetRandomState(setupGenerator);
    if (options.campaign && tick % kCampaignTicks == 0) {
      CampaignStep(field, specs, economy, visitCount, log, &spawned);
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
    std::fprintf(out, "ticks: %llu in %.3f s (%.0f ticks/s)\n", static_cast<unsigned long long>(ran), seconds,
                 seconds > 0 ? static_cast<double>(ran) / seconds : 0.0);
    PrintSide(out, field, kKindPlayerUnit, "player's side", programs);
    PrintSide(out, field, kKindRivalUnit, "rival's side", programs);
    int parts = 0;
    for (const EE* object : field.fieldList.Items()) {
      if (object->Kind() == kKindParts) ++parts;
    }
    std::fprintf(out, "bullets in flight: %zu, parts on the field: %d\n", field.bulletList.size(), parts);
    std::fprintf(out, "money %u, rival points %u, leader's purse %u, debt %u\n", economy.GetMoney(),
                 economy.GetRivalPoints(), economy.GetLeaderWallet(), economy.GetDebt());
    std::fflush(out);
  }
  return written ? 0 : 1;
}

}  // namespace kivora
