#include "kivora-arena/ArenaRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "base/TextCodec.h"
#include "common/OutputFile.h"
#include "common/ToolKit.h"
#include "economy/Economy.h"
#include "field/Animation.h"
#include "field/Canvas.h"
#include "field/DrawField.h"
#include "field/PictureCache.h"
#include "field/Png.h"
#include "field/TickLabel.h"
#include "field/ViewGeometry.h"
#include "game/Battle.h"
#include "game/BattleReport.h"
#include "game/BattleRun.h"
#include "game/Replay.h"
#include "game/ReplayRecorder.h"
#include "game/Trace.h"
#include "sim/Bullette.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kProgram = "kivora-arena";

// The trace as the battle goes: kept in a bounded buffer, written out when
// the buffer is full and at least once a second of run time, so that a run
// stopped from outside loses at most the last second.
class TraceWriter {
public:
  static constexpr std::size_t kBufferBytes = 1u << 20;
  static constexpr auto kFlushEvery = std::chrono::seconds(1);

  explicit TraceWriter(OutputFile& file) : file_(file), lastFlush_(Clock::now()) { buffer_.reserve(kBufferBytes); }

  std::string& Buffer() { return buffer_; }

  // After each tick: writes out what is due; false when it failed.
  bool Tick(std::FILE* err) {
    if (buffer_.empty()) return true;
    if (buffer_.size() < kBufferBytes && Clock::now() - lastFlush_ < kFlushEvery) return true;
    return Flush(err);
  }

  bool Flush(std::FILE* err) {
    lastFlush_ = Clock::now();
    const bool written = file_.Write(buffer_, err);
    buffer_.clear();
    return written;
  }

private:
  OutputFile& file_;
  std::string buffer_;
  Clock::time_point lastFlush_;
};

// The field drawn as the game's view draws it: one canvas that keeps its
// pixels from frame to frame, the pictures gathered with the first frame (as
// the view does when its thread starts: later frames read no file). The tick
// label goes on a copy, so that it never stays behind in the next frame.
class FieldPainter {
public:
  FieldPainter(const fs::path& pictures, bool tickLabel)
      : canvas_(kViewSize, kViewSize), labelled_(tickLabel ? kViewSize : 0, tickLabel ? kViewSize : 0),
        pictures_(pictures), tickLabel_(tickLabel) {}

  const Canvas& Draw(std::uint64_t tick, const Field& field) {
    if (!gathered_) gathered_ = FieldPictures::Gather(pictures_);
    DrawField(canvas_, field, *gathered_);
    if (!tickLabel_) return canvas_;
    labelled_ = canvas_;
    DrawTickLabel(labelled_, tick);
    return labelled_;
  }

private:
  Canvas canvas_;
  Canvas labelled_;
  PictureCache pictures_;
  std::optional<FieldPictures> gathered_;
  bool tickLabel_;
};

class FrameWriter {
public:
  FrameWriter(fs::path directory, FrameFormat format) : directory_(std::move(directory)), format_(format) {}

  bool Prepare(std::FILE* err) {
    std::error_code ec;
    fs::create_directories(directory_, ec);
    if (!ec && !fs::is_directory(directory_, ec) && !ec) ec = std::make_error_code(std::errc::not_a_directory);
    if (ec) {
      std::fprintf(err, "kivora-arena: cannot create the frame directory %s: %s\n",
                   ForTerminal(directory_.native()).c_str(), ec.message().c_str());
      return false;
    }
    return true;
  }

  // Writes one frame; a file that cannot be written completely is removed,
  // and the reason goes to `err`.
  bool Write(std::uint64_t tick, const Canvas& canvas, std::FILE* err) {
    const bool png = format_ == FrameFormat::Png;
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06llu.%s", static_cast<unsigned long long>(tick), png ? "png" : "bmp");
    const fs::path path = directory_ / name;
    std::string why;
    std::vector<std::uint8_t> bytes;
    if (!png) {
      bytes = canvas.EncodeBmp();
    } else if (auto encoded = EncodePng(canvas.Width(), canvas.Height(), canvas.Pixels(), PngFormat::Rgb, &why,
                                        kPngQuick)) {
      bytes = std::move(*encoded);
    }
    if (why.empty()) {
      const auto failed = WriteWholeFile(path.native(), bytes);
      if (!failed) return true;
      why = *failed;
    }
    std::fprintf(err, "kivora-arena: cannot write the frame %s: %s\n", ForTerminal(path.native()).c_str(),
                 why.c_str());
    return false;
  }

private:
  fs::path directory_;
  FrameFormat format_;
};

// The animation of the battle: frames kept by the encoder as the battle goes,
// the file written once after the last tick (or a stop), so that what is
// written is always a whole animation. The file is made before the first
// tick, and removed again when it cannot be written in full.
class AnimationOutput {
public:
  static constexpr int kMillisecondsPerTick = 100;

  explicit AnimationOutput(std::uint64_t every)
      : writer_(kViewSize, kViewSize, static_cast<int>(every) * kMillisecondsPerTick) {}

  bool Open(const std::string& name, std::FILE* out, std::FILE* err) {
    path_ = fs::absolute(name);
    if (!file_.Open(name, "animation", err, out)) return false;
    return file_.Close(err);
  }

  bool Add(const Canvas& frame, std::FILE* err) {
    if (writer_.Add(frame)) return true;
    std::fprintf(err, "kivora-arena: cannot make the animation: %s\n", writer_.Error().c_str());
    return false;
  }

  bool Finish(std::FILE* err) {
    const auto bytes = writer_.Finish();
    if (!bytes) {
      std::fprintf(err, "kivora-arena: cannot make the animation: %s\n", writer_.Error().c_str());
      file_.Discard();
      return false;
    }
    if (const auto why = WriteWholeFile(path_.native(), *bytes)) {
      std::fprintf(err, "kivora-arena: cannot write the animation to %s: %s\n", ForTerminal(path_.native()).c_str(),
                   why->c_str());
      return false;
    }
    return true;
  }

private:
  AnimationWriter writer_;
  OutputFile file_{kProgram};
  fs::path path_;
};

// What the arena writes while the battle runs: the map message and the
// campaign's news on standard error, the trace and the frames.
class ArenaWatch : public BattleObserver {
public:
  ArenaWatch(const ArenaOptions& options, std::FILE* err) : options_(options), err_(err) {}

  void MapUnreadable(std::string_view message) override {
    std::fprintf(err_, "%.*s\n", static_cast<int>(message.size()), message.data());
  }
  void Message(std::uint64_t tick, std::string_view text) override {
    std::fprintf(err_, "[%llu] %.*s\n", static_cast<unsigned long long>(tick), static_cast<int>(text.size()),
                 text.data());
  }
  void Ticked(std::uint64_t tick, Battle& battle) override { Record(tick, battle); }

  void Record(std::uint64_t tick, Battle& battle) {
    if (failed_ || (!trace && !frames && !animation)) return;
    const bool traced = trace && tick % options_.traceEvery == 0;
    const bool drawn = frames && tick % options_.frameEvery == 0;
    const bool animated = animation && tick % options_.animationEvery == 0;
    if (traced || drawn || animated) {
      const auto field = battle.Lock();
      if (traced) AppendTraceTick(trace->Buffer(), tick, *field, battle.GetEconomy());
      // The frames and the animation share a canvas when they are drawn on
      // the same ticks; else each keeps its own, as if drawn alone.
      const Canvas* canvas = drawn ? &framePainter_->Draw(tick, *field) : nullptr;
      if (drawn && !frames->Write(tick, *canvas, err_)) failed_ = true;
      if (animated && !failed_) {
        if (!drawn || animationPainter_ != framePainter_) canvas = &animationPainter_->Draw(tick, *field);
        if (!animation->Add(*canvas, err_)) failed_ = true;
      }
    }
    if (trace && !failed_ && !trace->Tick(err_)) failed_ = true;
  }

  // Painters for the frames and the animation, made once the outputs are.
  void MakePainters(const fs::path& pictures) {
    if (frames) framePainter_ = &painters_.emplace_back(pictures, options_.frameTick);
    if (!animation) return;
    if (frames && options_.animationEvery == options_.frameEvery)
      animationPainter_ = framePainter_;
    else
      animationPainter_ = &painters_.emplace_back(pictures, options_.frameTick);
  }

  bool Failed() const { return failed_; }
  void Fail() { failed_ = true; }

  std::unique_ptr<TraceWriter> trace;
  std::unique_ptr<FrameWriter> frames;
  std::unique_ptr<AnimationOutput> animation;

private:
  std::deque<FieldPainter> painters_;
  FieldPainter* framePainter_ = nullptr;
  FieldPainter* animationPainter_ = nullptr;
  const ArenaOptions& options_;
  std::FILE* err_;
  bool failed_ = false;
};

void AppendSide(std::string& text, const Field& field, std::int32_t team, const BattleRun& run) {
  std::vector<const OKE*> units;
  for (const OKE* unit : field.unitList) {
    if (unit->team == team) units.push_back(unit);
  }
  char line[160];
  std::snprintf(line, sizeof line, "%s: %zu unit%s\n", SideTitle(team), units.size(), units.size() == 1 ? "" : "s");
  text += line;
  for (const OKE* unit : units) {
    const UnitRecord* record = nullptr;
    if (const auto found = run.Units().find(unit->fieldId); found != run.Units().end()) record = &found->second;
    const std::string program = record == nullptr || record->program.empty() ? "-" : ForTerminal(record->program);
    text += "  #" + std::to_string(unit->fieldId) + " " + ForTerminal(unit->spec->name) + " " + program;
    std::snprintf(line, sizeof line, " hp=%d ammo=%d at (%d,%d) dir=%d\n", unit->hp, unit->ammo, unit->x, unit->y,
                  unit->direction);
    text += line;
  }
}

std::string Summary(BattleRun& run, double seconds, const std::string& stopped) {
  std::string text;
  char line[200];
  const std::uint64_t ran = run.TicksRun();
  std::snprintf(line, sizeof line, "ticks: %llu in %.3f s (%.0f ticks/s)\n", static_cast<unsigned long long>(ran),
                seconds, seconds > 0 ? static_cast<double>(ran) / seconds : 0.0);
  text += line;
  if (!stopped.empty()) text += stopped + "\n";
  Battle& battle = run.GetBattle();
  const Economy& economy = battle.GetEconomy();
  {
    const auto field = battle.Lock();
    AppendSide(text, *field, 1, run);
    AppendSide(text, *field, 0, run);
    std::snprintf(line, sizeof line, "bullets in flight: %zu, parts on the field: %zu\n", field->bulletList.size(),
                  field->fieldList.OfKind(kKindParts).size());
    text += line;
  }
  std::snprintf(line, sizeof line, "money %u, rival points %u, leader's purse %u, debt %u\n", economy.GetMoney(),
                economy.GetRivalPoints(), economy.GetLeaderWallet(), economy.GetDebt());
  text += line;
  text += DescribeResult(run);
  text += DescribeUnits(run);
  return text;
}

}  // namespace

int RunArena(const ArenaOptions& options, std::FILE* out, std::FILE* err, const std::atomic<int>* stop) {
  const fs::path& folder = options.battle.folder;
  if (const std::error_code ec = UnusableDirectory(folder)) {
    std::fprintf(err, "kivora-arena: cannot enter %s: %s\n", ForTerminal(folder.native()).c_str(),
                 ec.message().c_str());
    return 2;
  }

  ArenaWatch watch(options, err);
  // The data files are read for the replay before the battle reads them.
  std::unique_ptr<ReplayRecorder> recorder;
  if (options.record) {
    std::string why;
    auto files = CaptureBattleFiles(options.battle, true, why);
    if (!files) {
      std::fprintf(err, "kivora-arena: cannot record the battle: %s\n", why.c_str());
      return 2;
    }
    recorder = std::make_unique<ReplayRecorder>(std::move(*files), &watch);
  }
  BattleRun run(options.battle, recorder ? static_cast<BattleObserver*>(recorder.get()) : &watch);
  if (const auto fault = run.Start()) {
    std::fprintf(err, "kivora-arena: %s\n", fault->Describe().c_str());
    return 2;
  }

  // Every output is made before the first tick; when one cannot be, those
  // made before it go again.
  OutputFile traceFile{kProgram};
  OutputFile jsonFile{kProgram};
  OutputFile recordFile{kProgram};
  if (options.trace) {
    if (!traceFile.Open(*options.trace, "trace", err, out)) return 2;
    watch.trace = std::make_unique<TraceWriter>(traceFile);
  }
  if (options.json && !jsonFile.Open(*options.json, "JSON", err, out)) {
    traceFile.Discard();
    return 2;
  }
  if (options.record && !recordFile.Open(*options.record, "replay", err, out)) {
    traceFile.Discard();
    jsonFile.Discard();
    return 2;
  }
  if (options.frames) {
    watch.frames = std::make_unique<FrameWriter>(fs::absolute(*options.frames), options.frameFormat);
    if (!watch.frames->Prepare(err)) {
      traceFile.Discard();
      jsonFile.Discard();
      recordFile.Discard();
      return 2;
    }
  }
  if (options.animation) {
    watch.animation = std::make_unique<AnimationOutput>(options.animationEvery);
    if (!watch.animation->Open(*options.animation, out, err)) {
      traceFile.Discard();
      jsonFile.Discard();
      recordFile.Discard();
      return 2;
    }
  }
  watch.MakePainters(folder);

  int signal = 0;
  watch.Record(0, run.GetBattle());
  const auto began = Clock::now();
  run.Run([&] {
    if (stop) signal = stop->load();
    return signal != 0 || watch.Failed();
  });
  const double seconds = std::chrono::duration<double>(Clock::now() - began).count();

  const bool failedMidRun = watch.Failed();
  bool written = !failedMidRun;
  if (watch.trace && written && !watch.trace->Flush(err)) written = false;
  if (!traceFile.Close(err)) written = false;

  std::string stopped;
  std::string stoppedKey;
  if (failedMidRun) {
    stopped = "stopped at tick " + std::to_string(run.TicksRun()) + ": an output could not be written";
    stoppedKey = "output failure";
  } else if (signal != 0) {
    stopped = "interrupted at tick " + std::to_string(run.TicksRun()) + " by " + SignalName(signal);
    stoppedKey = SignalName(signal);
    std::fprintf(err, "kivora-arena: %s\n", stopped.c_str());
  }

  // The animation holds the frames up to the last tick run, also after a
  // stop or a failure of another output.
  if (watch.animation && !watch.animation->Finish(err)) written = false;
  if (options.json) {
    if (!jsonFile.Write(ArenaJson(run, stoppedKey), err)) written = false;
    if (!jsonFile.Close(err)) written = false;
  }
  if (recorder) {
    // A run stopped early is recorded with the ticks it ran; a replay that
    // cannot be written whole is removed.
    const std::vector<std::uint8_t> bytes = EncodeReplay(recorder->Finish(run));
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!recordFile.Write(text, err) || !recordFile.Close(err)) {
      recordFile.Discard();
      written = false;
    }
  }
  if (!options.quiet) {
    if (const auto why = WriteOut(out, Summary(run, seconds, stopped))) {
      std::fprintf(err, "kivora-arena: cannot write the summary: %s\n", why->c_str());
      written = false;
    }
  } else if (const auto why = WriteOut(out, "")) {
    std::fprintf(err, "kivora-arena: cannot write to standard output: %s\n", why->c_str());
    written = false;
  }
  if (!written) return 1;
  return signal != 0 ? 128 + signal : 0;
}

}  // namespace kivora
