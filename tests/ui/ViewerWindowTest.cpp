// The battle viewer on Qt's offscreen platform, on a battle recorded here.
#include <QFile>
#include <QImage>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/Fnv1a.h"
#include "economy/Economy.h"
#include "field/DrawField.h"
#include "field/PictureCache.h"
#include "field/ProgramListing.h"
#include "field/StatusSheet.h"
#include "field/ViewGeometry.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayRecorder.h"
#include "game/Trace.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "support/AnimationFile.h"
#include "support/TempDir.h"
#include "ui/UiTestSupport.h"
#include "viewer/ReplayView.h"
#include "viewer/Timeline.h"
#include "viewer/ViewerWindow.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;

// The map and the random walls and parts, no random rival: two of the
// player's units against a sniper and a brawler, until one side is gone
// (at tick 301, after both of the player's have fallen).
BattleSetup Duel() {
  BattleSetup setup;
  setup.folder = fs::path(KIVORA_SOURCE_DIR) / "arena";
  setup.setupSeed = 6;
  setup.parts.rival = false;
  setup.units = {BattleUnit{1, "standard.spc", "hunter.prg", std::nullopt},
                 BattleUnit{1, "scout.spc", "collector.prg", std::nullopt},
                 BattleUnit{0, "gunner.spc", "sniper.prg", std::nullopt},
                 BattleUnit{0, "brawler.spc", "brawler.prg", std::nullopt}};
  setup.ticks = 1500;
  setup.untilDecided = true;
  return setup;
}

std::vector<std::uint8_t> Record(const BattleSetup& setup) {
  std::string why;
  auto files = CaptureBattleFiles(setup, true, why);
  EXPECT_TRUE(files) << why;
  ReplayRecorder recorder(std::move(*files));
  BattleRun run(setup, &recorder);
  EXPECT_FALSE(run.Start());
  run.Run();
  return EncodeReplay(recorder.Finish(run));
}

std::uint64_t PixelDigest(const Canvas& canvas) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(canvas.Data());
  return Fnv1a().Add(std::span(bytes, canvas.Pixels().size() * sizeof(Pixel))).Value();
}

// What a straight run of the battle shows after each tick: its trace and
// its field drawn from white with the arena's own pictures.
struct StraightRun {
  struct Tick {
    std::string trace;
    std::uint64_t pixels = 0;
  };
  explicit StraightRun(const BattleSetup& setup) : pictures(setup.folder), run(setup) {
    drawn = FieldPictures::Gather(pictures);
    EXPECT_FALSE(run.Start());
    Keep();
    while (!run.Done()) {
      run.Step();
      Keep();
    }
  }
  void Keep() {
    Tick tick;
    Battle& battle = run.GetBattle();
    Canvas canvas(kViewSize, kViewSize);
    const auto field = battle.Lock();
    AppendTraceTick(tick.trace, run.TicksRun(), *field, battle.GetEconomy());
    DrawField(canvas, *field, drawn);
    tick.pixels = PixelDigest(canvas);
    ticks.push_back(std::move(tick));
  }
  std::string TraceOf(ReplayPlayer& player) const {
    std::string text;
    Battle& battle = player.Shown();
    AppendTraceTick(text, player.Tick(), *battle.Lock(), battle.GetEconomy());
    return text;
  }

  PictureCache pictures;
  FieldPictures drawn;
  BattleRun run;
  std::vector<Tick> ticks;
};

class ViewerWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    bytes_ = new std::vector<std::uint8_t>(Record(Duel()));
    straight_ = new StraightRun(Duel());
  }
  static void TearDownTestSuite() {
    delete straight_;
    delete bytes_;
  }

  void SetUp() override {
    file = dir.Path() / "duel.kvr";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes_->data()),
                                                static_cast<std::streamsize>(bytes_->size()));
    ASSERT_TRUE(window.Open(file));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  // The shown tick agrees with the straight run: the tick, the trace, the
  // drawn field, the line under the field and the timeline.
  void ExpectShows(std::uint64_t tick) {
    ASSERT_EQ(window.Tick(), tick);
    ASSERT_LT(tick, straight_->ticks.size());
    EXPECT_EQ(straight_->TraceOf(*window.Player()), straight_->ticks[tick].trace) << "tick " << tick;
    EXPECT_EQ(PixelDigest(window.FieldCanvas()), straight_->ticks[tick].pixels) << "tick " << tick;
    EXPECT_TRUE(window.TickText().startsWith(QString::fromUtf8("ティック %1 / ").arg(tick)));
    EXPECT_EQ(window.TimelineBar()->value(), static_cast<int>(tick));
  }

  std::uint64_t Last() const { return window.Player()->Ticks(); }

  // The centre of a unit on the shown field, in the view's pixels.
  QPoint UnitPoint(std::int64_t id) {
    const auto field = window.Player()->Shown().Lock();
    const OKE* unit = window.Player()->UnitOnField(field, id);
    EXPECT_NE(unit, nullptr);
    const ViewPoint at = FieldToView(unit->x, unit->y);
    const int zoom = window.FieldView()->Zoom();
    return {at.x * zoom + zoom / 2, at.y * zoom + zoom / 2};
  }

  static std::vector<std::uint8_t>* bytes_;
  static StraightRun* straight_;
  test::TempDir dir;
  fs::path file;
  ViewerWindow window;
};

std::vector<std::uint8_t>* ViewerWindowTest::bytes_ = nullptr;
StraightRun* ViewerWindowTest::straight_ = nullptr;

TEST_F(ViewerWindowTest, KeysStepAndSeekToWhatAStraightRunShows) {
  ASSERT_GT(Last(), 200u);
  ASSERT_EQ(straight_->ticks.size(), Last() + 1);
  ExpectShows(0);
  const struct {
    int key;
    std::uint64_t tick;  // UINT64_MAX: the last
  } steps[] = {
      {Qt::Key_Right, 1},     {Qt::Key_Right, 2},      {Qt::Key_Left, 1},    {Qt::Key_Left, 0},
      {Qt::Key_Left, 0},      {Qt::Key_End, UINT64_MAX}, {Qt::Key_Right, UINT64_MAX},
      {Qt::Key_Left, UINT64_MAX - 1}, {Qt::Key_Home, 0}, {Qt::Key_PageDown, 100}, {Qt::Key_PageDown, 200},
      {Qt::Key_Left, 199},    {Qt::Key_PageUp, 99},    {Qt::Key_PageUp, 0},
  };
  for (const auto& step : steps) {
    QTest::keyClick(&window, static_cast<Qt::Key>(step.key));
    const std::uint64_t want = step.tick == UINT64_MAX ? Last() : step.tick == UINT64_MAX - 1 ? Last() - 1 : step.tick;
    SCOPED_TRACE(QKeySequence(step.key).toString().toStdString());
    ExpectShows(want);
  }
  // The timeline seeks, back and forth across snapshots.
  for (const int tick : {173, 37, 100, 101, 0, static_cast<int>(Last())}) {
    window.TimelineBar()->setValue(tick);
    ExpectShows(static_cast<std::uint64_t>(tick));
  }
  // Fall marks sit at the ticks the player knows of.
  EXPECT_EQ(window.TimelineBar()->Marks(), window.Player()->FallTicks());
  EXPECT_FALSE(window.TimelineBar()->Marks().empty());
}

TEST_F(ViewerWindowTest, PlaysAtEachSpeedAndPausesWithSpace) {
  // ×16 by its key, then Space: ticks go by, faster than at ×1.
  QTest::keyClick(&window, Qt::Key_3);
  EXPECT_EQ(window.CurrentSpeed(), ViewerWindow::Speed::X16);
  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_TRUE(window.Playing());
  ASSERT_TRUE(test::SpinUntil([&] { return window.Tick() >= 30; }, 20000));
  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_FALSE(window.Playing());
  const std::uint64_t paused = window.Tick();
  QTest::qWait(150);
  ExpectShows(paused);

  // As fast as drawing allows: to the end, where playing stops by itself;
  // Space there plays again from the start.
  window.SetSpeed(ViewerWindow::Speed::Fastest);
  window.Play();
  ASSERT_TRUE(test::SpinUntil([&] { return !window.Playing(); }, 60000));
  ExpectShows(Last());
  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_TRUE(window.Playing());
  EXPECT_LT(window.Tick(), Last());
  // A single step pauses.
  QTest::keyClick(&window, Qt::Key_Right);
  EXPECT_FALSE(window.Playing());
}

TEST_F(ViewerWindowTest, EventListJumpsToItsTickAndUnit) {
  const auto& events = window.Player()->Events();
  QListView* list = window.EventList();
  ASSERT_EQ(list->model()->rowCount(), static_cast<int>(events.size()));
  // One of each kind this battle has; falls and hits at least.
  std::map<ReplayEvent::Kind, int> firstOfKind;
  for (int row = 0; row < static_cast<int>(events.size()); ++row) firstOfKind.try_emplace(events[row].kind, row);
  ASSERT_TRUE(firstOfKind.count(ReplayEvent::Kind::Hit));
  ASSERT_TRUE(firstOfKind.count(ReplayEvent::Kind::Fall));
  for (const auto& [kind, row] : firstOfKind) {
    const ReplayEvent& event = events[static_cast<std::size_t>(row)];
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    SCOPED_TRACE(list->model()->data(index).toString().toStdString());
    ExpectShows(event.tick);
    EXPECT_EQ(window.Selected(), event.unitId);
    EXPECT_TRUE(list->model()->data(index).toString().startsWith(QString::number(event.tick) + "  "));
    if (kind == ReplayEvent::Kind::Fall) {
      // The fallen unit's last sheet, marked as fallen; no program runs.
      EXPECT_TRUE(window.SheetText().contains(QString::fromUtf8("実行<撃破>")));
      EXPECT_TRUE(window.ListingLines().isEmpty());
    }
  }
}

TEST_F(ViewerWindowTest, ClickOnAUnitShowsItsSheetProgramAndPath) {
  window.SeekTo(60);
  const ReplayUnitInfo& hunter = window.Player()->Units().front();
  ASSERT_EQ(hunter.program, "hunter.prg");
  test::Click(window.FieldView(), Qt::LeftButton, UnitPoint(hunter.id));
  ASSERT_EQ(window.Selected(), hunter.id);

  // The straight run's unit at the same tick: its sheet, its listing, the
  // command it runs next.
  BattleRun run(Duel());
  ASSERT_FALSE(run.Start());
  while (run.TicksRun() < 60) run.Step();
  std::string sheet;
  ProgramListing listing;
  {
    const auto field = run.GetBattle().Lock();
    OKE* unit = nullptr;
    for (OKE* u : field->unitList)
      if (u->fieldId == hunter.id) unit = u;
    ASSERT_NE(unit, nullptr);
    const UnitSheet unitSheet = SheetOf(*unit);
    const Economy& economy = run.GetBattle().GetEconomy();
    sheet = StatusSheetText(economy.GetMoney(), economy.GetRivalPoints(), &unitSheet);
    listing.Follow(unit);
    listing.Update();
  }
  EXPECT_EQ(window.SheetText().toStdString(), sheet);
  ASSERT_FALSE(listing.Lines().empty());
  QStringList lines;
  for (const std::string& line : listing.Lines()) lines << QString::fromStdString(line);
  EXPECT_EQ(window.ListingLines(), lines);
  ASSERT_TRUE(listing.Current());
  EXPECT_EQ(window.ListingCurrentRow(), static_cast<int>(*listing.Current()));
  EXPECT_EQ(window.ListingHead().toStdString(), listing.Head());

  // The path: walked up to the shown tick, the rest ahead, both on the unit.
  const ReplayView::Overlay& overlay = window.FieldView()->CurrentOverlay();
  EXPECT_EQ(overlay.walked.size(), 61 - static_cast<qsizetype>(hunter.deployedAt));
  ASSERT_FALSE(overlay.ahead.isEmpty());
  EXPECT_EQ(overlay.walked.last(), overlay.ahead.first());
  ASSERT_TRUE(overlay.selected);
  EXPECT_TRUE(overlay.selected->contains(overlay.walked.last()));

  // Stepping moves the highlight with the unit; a right click lets go.
  for (int k = 0; k < 5; ++k) window.StepForward();
  EXPECT_EQ(window.FieldView()->CurrentOverlay().walked.size(), 66 - static_cast<qsizetype>(hunter.deployedAt));
  test::Click(window.FieldView(), Qt::RightButton, {5, 5});
  EXPECT_FALSE(window.Selected());
  EXPECT_TRUE(window.ListingLines().isEmpty());
  EXPECT_TRUE(window.FieldView()->CurrentOverlay().walked.isEmpty());
}

TEST_F(ViewerWindowTest, LabelsShowTheTickAndEveryUnitsSideAndProgram) {
  window.SeekTo(10);
  EXPECT_TRUE(window.FieldView()->CurrentOverlay().labels.empty());
  QTest::keyClick(&window, Qt::Key_L);
  ASSERT_TRUE(window.LabelsShown());
  const ReplayView::Overlay& overlay = window.FieldView()->CurrentOverlay();
  EXPECT_EQ(overlay.tick, "10");
  QStringList texts;
  for (const ReplayView::Label& label : overlay.labels) texts << label.text;
  EXPECT_EQ(texts, QStringList({QString::fromUtf8("ペコ党 hunter.prg"), QString::fromUtf8("ペコ党 collector.prg"),
                                QString::fromUtf8("ポボゴム sniper.prg"), QString::fromUtf8("ポボゴム brawler.prg")}));
  // Exports carry the tick in their corner then; the field itself does not change.
  const Canvas exported = window.ExportCanvas();
  EXPECT_NE(PixelDigest(exported), PixelDigest(window.FieldCanvas()));
  ExpectShows(10);
}

TEST_F(ViewerWindowTest, ExportsTheShownTickAndARangeAsAnimation) {
  window.SeekTo(42);
  std::string why;
  const std::string png = (dir.Path() / "tick.png").string();
  ASSERT_TRUE(window.ExportPng(png, why)) << why;
  const QImage image(QString::fromStdString(png));
  ASSERT_EQ(image.size(), QSize(kViewSize, kViewSize));
  for (const QPoint p : {QPoint(0, 0), QPoint(160, 160), QPoint(319, 200), QPoint(77, 301)})
    EXPECT_EQ(image.pixel(p) & 0xFFFFFF, window.FieldCanvas().At(p.x(), p.y()) & 0xFFFFFF);

  // Ticks 10..30, one picture every 4 ticks: 10, 14, ..., 30; the shown tick stays.
  const std::string webp = (dir.Path() / "range.webp").string();
  ASSERT_TRUE(window.ExportAnimation(webp, 10, 30, 4, why)) << why;
  ExpectShows(42);
  std::ifstream in(webp, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const test::AnimationFile animation = test::ReadAnimation(bytes);
  ASSERT_TRUE(animation.valid);
  EXPECT_TRUE(animation.animated);
  ASSERT_FALSE(animation.frames.empty());
  EXPECT_EQ(animation.ends.back(), 6 * 400);  // six pictures, 400 ms each
  // Its last picture is tick 30 as the straight run drew it.
  window.SeekTo(30);
  for (std::size_t i = 0; i < animation.frames.back().size(); i += 97)
    ASSERT_EQ(animation.frames.back()[i] & 0xFFFFFF, window.FieldCanvas().Pixels()[i] & 0xFFFFFF) << i;

  EXPECT_FALSE(window.ExportAnimation(webp, 30, 10, 1, why));
  EXPECT_FALSE(window.ExportPng((dir.Path() / "no" / "such" / "folder.png").string(), why));
  EXPECT_FALSE(why.empty());
}

// A damaged replay is refused with its name and the reason, and the battle
// shown stays as it was.
TEST_F(ViewerWindowTest, RefusesDamagedFilesWithAMessage) {
  window.SeekTo(77);
  std::vector<std::uint8_t> flipped = *bytes_;
  flipped[flipped.size() / 2] ^= 0x20;
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } files[] = {
      {"truncated.kvr", std::vector<std::uint8_t>(bytes_->begin(), bytes_->begin() + static_cast<long>(bytes_->size() / 3))},
      {"flipped.kvr", flipped},
      {"empty.kvr", {}},
      {"text.kvr", {'h', 'e', 'l', 'l', 'o', '\n'}},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const fs::path path = dir.Path() / f.name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.bytes.data()),
                                                static_cast<std::streamsize>(f.bytes.size()));
    test::ModalAnswers answers({"OK"});
    EXPECT_FALSE(window.Open(path));
    EXPECT_EQ(answers.Answered(), 1);
    const QString text = answers.texts.join('\n');
    EXPECT_TRUE(text.contains(QString::fromUtf8("このリプレイは再生できません"))) << text.toStdString();
    EXPECT_TRUE(text.contains(f.name)) << text.toStdString();
    EXPECT_GT(text.size(), QString::fromUtf8("このリプレイは再生できません：\n").size() + path.string().size() + 10);
    ExpectShows(77);
  }
  test::ModalAnswers answers({"OK"});
  EXPECT_FALSE(window.Open(dir.Path() / "missing.kvr"));
  EXPECT_EQ(answers.Answered(), 1);
}

}  // namespace
}  // namespace kivora
