#include "viewer/ViewerWindow.h"

#include <QAbstractListModel>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "base/TextCodec.h"
#include "economy/Economy.h"
#include "field/Animation.h"
#include "field/Png.h"
#include "field/StatusSheet.h"
#include "field/TickLabel.h"
#include "field/ViewGeometry.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "ui/ListingModel.h"
#include "viewer/ReplayView.h"
#include "viewer/Timeline.h"
#include "viewer/ViewerText.h"

namespace kivora {

namespace {

// A list view counts its rows in int.
constexpr std::size_t kMaxRows = 0x7FFFFFFF;
// The playing clock looks at the time this often; each look runs the ticks due.
constexpr int kPlayPollMs = 10;
// Ticks run at most per look: a slow machine falls behind instead of freezing.
constexpr int kMaxTicksPerPoll = 64;
constexpr int kPageTicks = 100;

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QFont SheetFont() {
  // Every ASCII character of the IPA Gothic has one width: the variable
  // columns of the sheet stay aligned, as in the game.
  QFont font("IPAGothic");
  font.setPixelSize(14);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

}  // namespace

// The battle's events, written out only as the list shows them.
class EventModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  void Reset(const ReplayPlayer* player) {
    beginResetModel();
    player_ = player;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent) const override {
    if (parent.isValid() || player_ == nullptr) return 0;
    return static_cast<int>(std::min(player_->Events().size(), kMaxRows));
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount({})) return {};
    const ReplayEvent& event = player_->Events()[static_cast<std::size_t>(index.row())];
    switch (role) {
      case Qt::DisplayRole: return FromUtf8(EventLine(event, *player_));
      case Qt::ForegroundRole:
        return event.kind == ReplayEvent::Kind::Fall     ? QVariant(QColor(180, 20, 20))
               : event.kind == ReplayEvent::Kind::PickUp ? QVariant(QColor(20, 110, 20))
                                                          : QVariant();
      default: return {};
    }
  }
  const ReplayEvent* At(int row) const {
    return player_ && row >= 0 && row < rowCount({}) ? &player_->Events()[static_cast<std::size_t>(row)] : nullptr;
  }

 private:
  const ReplayPlayer* player_ = nullptr;
};

int ViewerWindow::TicksPerSecond(Speed speed) {
  switch (speed) {
    case Speed::X1: return 10;
    case Speed::X4: return 40;
    case Speed::X16: return 160;
    case Speed::Fastest: return 0;
  }
  return 10;
}

ViewerWindow::ViewerWindow(QWidget* parent) : QMainWindow(parent), canvas_(kViewSize, kViewSize) {
  setObjectName("Viewer");
  setWindowTitle(QString::fromUtf8("Kivora リプレイ"));
  BuildMenus();
  BuildControls();
  connect(&playTimer_, &QTimer::timeout, this, &ViewerWindow::OnPlayTimer);
  ShowTick();
}

ViewerWindow::~ViewerWindow() {
  playTimer_.stop();
  listing_.Follow(nullptr);  // before the battle it points into
}

void ViewerWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QString::fromUtf8("ファイル(&F)"));
  QAction* open = file->addAction(QString::fromUtf8("開く(&O)..."), this, &ViewerWindow::OpenDialog);
  open->setShortcut(QKeySequence::Open);
  QMenu* exports = file->addMenu(QString::fromUtf8("書き出し(&E)"));
  battleActions_.push_back(
      exports->addAction(QString::fromUtf8("この画面を PNG 画像に(&P)..."), this, &ViewerWindow::ExportPngDialog));
  battleActions_.push_back(
      exports->addAction(QString::fromUtf8("動画（WebP）に(&A)..."), this, &ViewerWindow::ExportAnimationDialog));
  file->addSeparator();
  QAction* quit = file->addAction(QString::fromUtf8("終了(&X)"), this, &QWidget::close);
  quit->setShortcut(QKeySequence::Quit);

  QMenu* play = menuBar()->addMenu(QString::fromUtf8("再生(&P)"));
  playAction_ = play->addAction(QString::fromUtf8("再生／一時停止"), this, &ViewerWindow::TogglePlay);
  playAction_->setShortcut(Qt::Key_Space);
  struct Move {
    const char* text;
    QKeySequence key;
    std::function<void(ViewerWindow&)> run;
  };
  const Move moves[] = {
      {"1ティック進む", Qt::Key_Right, [](ViewerWindow& w) { w.Pause(); w.StepForward(); }},
      {"1ティック戻る", Qt::Key_Left, [](ViewerWindow& w) { w.Pause(); w.StepBack(); }},
      {"100ティック進む", Qt::Key_PageDown, [](ViewerWindow& w) { w.SeekTo(w.Tick() + kPageTicks); }},
      {"100ティック戻る", Qt::Key_PageUp,
       [](ViewerWindow& w) { w.SeekTo(w.Tick() > kPageTicks ? w.Tick() - kPageTicks : 0); }},
      {"最初へ", Qt::Key_Home, [](ViewerWindow& w) { w.SeekTo(0); }},
      {"最後へ", Qt::Key_End, [](ViewerWindow& w) { w.SeekTo(w.Player() ? w.Player()->Ticks() : 0); }},
  };
  battleActions_.push_back(playAction_);
  for (const Move& move : moves) {
    QAction* action = play->addAction(QString::fromUtf8(move.text));
    action->setShortcut(move.key);
    connect(action, &QAction::triggered, this, [this, run = move.run] { run(*this); });
    battleActions_.push_back(action);
  }
  play->addSeparator();
  QMenu* speeds = play->addMenu(QString::fromUtf8("速さ(&S)"));
  speedGroup_ = new QActionGroup(this);
  const std::pair<const char*, Speed> speedItems[] = {
      {"×1（ゲームと同じ）", Speed::X1}, {"×4", Speed::X4}, {"×16", Speed::X16}, {"最速", Speed::Fastest}};
  int key = Qt::Key_1;
  for (const auto& [text, speed] : speedItems) {
    QAction* action = speeds->addAction(QString::fromUtf8(text));
    action->setCheckable(true);
    action->setChecked(speed == speed_);
    action->setShortcut(key++);
    action->setData(static_cast<int>(speed));
    speedGroup_->addAction(action);
    connect(action, &QAction::triggered, this, [this, speed = speed] { SetSpeed(speed); });
  }

  QMenu* view = menuBar()->addMenu(QString::fromUtf8("表示(&V)"));
  labelsAction_ = view->addAction(QString::fromUtf8("ティックと名前(&L)"));
  labelsAction_->setCheckable(true);
  labelsAction_->setShortcut(Qt::Key_L);
  connect(labelsAction_, &QAction::toggled, this, &ViewerWindow::SetLabelsShown);
  pathAction_ = view->addAction(QString::fromUtf8("選んだユニットの通り道(&P)"));
  pathAction_->setCheckable(true);
  pathAction_->setChecked(true);
  pathAction_->setShortcut(Qt::Key_P);
  connect(pathAction_, &QAction::toggled, this, &ViewerWindow::SetPathShown);
  view->addSeparator();
  auto* zooms = new QActionGroup(this);
  for (int zoom = 1; zoom <= 3; ++zoom) {
    QAction* action = view->addAction(QString::fromUtf8("拡大 ×%1").arg(zoom));
    action->setCheckable(true);
    action->setChecked(zoom == 2);
    zooms->addAction(action);
    connect(action, &QAction::triggered, this, [this, zoom] {
      view_->SetZoom(zoom);
      adjustSize();
    });
  }
}

void ViewerWindow::BuildControls() {
  auto* central = new QWidget(this);
  auto* columns = new QHBoxLayout(central);
  columns->setContentsMargins(6, 6, 6, 6);

  auto* left = new QVBoxLayout;
  view_ = new ReplayView(
      canvas_,
      [this](int px, int py, Qt::MouseButton button) {
        if (button == Qt::LeftButton) SelectAt(ViewToFieldX(px), ViewToFieldY(py));
        else if (button == Qt::RightButton) Select(std::nullopt);
      },
      central);
  left->addWidget(view_, 0, Qt::AlignLeft | Qt::AlignTop);

  auto* controls = new QHBoxLayout;
  auto button = [&](const char* text, const char* tip, auto slot) {
    auto* b = new QPushButton(QString::fromUtf8(text), central);
    b->setToolTip(QString::fromUtf8(tip));
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedWidth(50);
    connect(b, &QPushButton::clicked, this, slot);
    controls->addWidget(b);
    return b;
  };
  button("|◀◀", "最初へ (Home)", [this] { SeekTo(0); });
  button("◀|", "1ティック戻る (←)", [this] { Pause(); StepBack(); });
  playButton_ = button("▶", "再生／一時停止 (Space)", [this] { TogglePlay(); });
  playButton_->setObjectName("Play");
  button("|▶", "1ティック進む (→)", [this] { Pause(); StepForward(); });
  button("▶▶|", "最後へ (End)", [this] { SeekTo(player_ ? player_->Ticks() : 0); });
  speedBox_ = new QComboBox(central);
  speedBox_->setFocusPolicy(Qt::NoFocus);
  for (const char* text : {"×1", "×4", "×16", "最速"}) speedBox_->addItem(QString::fromUtf8(text));
  connect(speedBox_, &QComboBox::activated, this, [this](int index) { SetSpeed(static_cast<Speed>(index)); });
  controls->addWidget(speedBox_);
  tickText_ = new QLabel(central);
  tickText_->setObjectName("Tick");
  tickText_->setMinimumWidth(130);
  tickText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  controls->addWidget(tickText_, 1);
  left->addLayout(controls);

  timeline_ = new Timeline(central);
  connect(timeline_, &QSlider::valueChanged, this, [this](int value) { SeekTo(static_cast<std::uint64_t>(value)); });
  left->addWidget(timeline_);

  events_ = new QListView(central);
  events_->setObjectName("Events");
  eventModel_ = new EventModel(this);
  events_->setModel(eventModel_);
  events_->setUniformItemSizes(true);  // a long battle's list lays out in no time
  events_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  events_->setFocusPolicy(Qt::NoFocus);
  events_->setMinimumHeight(120);
  connect(events_, &QListView::clicked, this, [this](const QModelIndex& index) {
    if (const ReplayEvent* event = eventModel_->At(index.row())) {
      Pause();
      selected_ = event->unitId;
      SelectedPath();
      SeekTo(event->tick);
    }
  });
  left->addStretch(1);
  columns->addLayout(left);

  auto* right = new QVBoxLayout;
  sheet_ = new QLabel(central);
  sheet_->setObjectName("Sheet");
  sheet_->setTextFormat(Qt::PlainText);  // model names come from data files
  sheet_->setFont(SheetFont());
  sheet_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  sheet_->setMinimumWidth(340);
  sheet_->setFixedHeight(20 * 16 + 8);
  sheet_->setAutoFillBackground(true);
  sheet_->setStyleSheet("QLabel { background: white; border: 1px solid black; padding: 2px; }");
  right->addWidget(sheet_);
  listingHead_ = new QLabel(central);
  listingHead_->setTextFormat(Qt::PlainText);
  listingHead_->setWordWrap(true);
  listingHead_->setFont(SheetFont());
  right->addWidget(listingHead_);
  listingView_ = new QListView(central);
  listingView_->setObjectName("Listing");
  listingModel_ = new ListingModel(this);
  listingView_->setModel(listingModel_);
  listingView_->setFont(SheetFont());
  listingView_->setSelectionMode(QAbstractItemView::NoSelection);
  listingView_->setFocusPolicy(Qt::NoFocus);
  listingView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listingView_->setUniformItemSizes(true);
  listingView_->setMinimumWidth(340);
  right->addWidget(listingView_, 1);
  right->addWidget(new QLabel(QString::fromUtf8("出来事（クリックでそのティックへ）"), central));
  right->addWidget(events_, 1);
  columns->addLayout(right, 1);

  setCentralWidget(central);
  setFocusPolicy(Qt::StrongFocus);
}

bool ViewerWindow::Open(const std::filesystem::path& file) {
  const QString name = QString::fromStdString(file.filename().string());
  std::string why;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::unique_ptr<ReplayPlayer> player = ReplayPlayer::Open(file, why);
  QApplication::restoreOverrideCursor();
  if (!player) {
    Refused(QString::fromStdString(file.string()), why);
    return false;
  }
  Show(std::move(player), name);
  return true;
}

void ViewerWindow::Refused(const QString& name, const std::string& why) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8("リプレイを開けません"),
                  QString::fromUtf8("このリプレイは再生できません：\n%1\n\n%2").arg(name, FromUtf8(why)),
                  QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void ViewerWindow::Show(std::unique_ptr<ReplayPlayer> player, const QString& name) {
  Pause();
  listing_.Follow(nullptr);
  selected_.reset();
  path_.clear();
  eventModel_->Reset(nullptr);
  player_ = std::move(player);
  pictures_ = std::make_unique<PictureCache>(player_->Folder());
  drawn_ = FieldPictures::Gather(*pictures_);
  eventModel_->Reset(player_.get());
  {
    const QSignalBlocker quiet(timeline_);
    timeline_->setRange(0, static_cast<int>(std::min<std::uint64_t>(player_->Ticks(), kMaxRows)));
    timeline_->setPageStep(kPageTicks);
    timeline_->setValue(static_cast<int>(player_->Tick()));
  }
  timeline_->SetMarks(player_->FallTicks());
  setWindowTitle(QString::fromUtf8("Kivora リプレイ - %1").arg(name));
  const BattleOutcome& outcome = player_->Outcome();
  QString result = outcome.winner == Side::Draw     ? QString::fromUtf8("引き分け")
                   : outcome.winner == Side::Player ? QString::fromUtf8("ペコ党の勝ち")
                                                    : QString::fromUtf8("ポボゴムの勝ち");
  if (outcome.decidedAt) result += QString::fromUtf8("（ティック %1 で決着）").arg(*outcome.decidedAt);
  if (player_->EventsCut()) result += QString::fromUtf8("　出来事は多すぎて一部だけ");
  statusBar()->showMessage(QString::fromUtf8("%1 ティック　%2").arg(player_->Ticks()).arg(result));
  ShowTick();
}

std::uint64_t ViewerWindow::Tick() const { return player_ ? player_->Tick() : 0; }

void ViewerWindow::SeekTo(std::uint64_t tick) {
  if (!player_) return;
  tick = std::min(tick, player_->Ticks());
  if (tick == player_->Tick()) return;
  player_->Seek(tick);
  ShowTick();
}

bool ViewerWindow::StepForward() {
  if (!player_ || !player_->StepForward()) return false;
  ShowTick();
  return true;
}

bool ViewerWindow::StepBack() {
  if (!player_ || !player_->StepBack()) return false;
  ShowTick();
  return true;
}

void ViewerWindow::Play() {
  if (!player_ || Playing()) return;
  if (player_->Tick() >= player_->Ticks()) SeekTo(0);  // again from the start
  RestartClock();
  playTimer_.start(speed_ == Speed::Fastest ? 0 : kPlayPollMs);
  playButton_->setText(QString::fromUtf8("❚❚"));
}

void ViewerWindow::Pause() {
  if (!Playing()) return;
  playTimer_.stop();
  playButton_->setText(QString::fromUtf8("▶"));
}

void ViewerWindow::TogglePlay() { Playing() ? Pause() : Play(); }

void ViewerWindow::SetSpeed(Speed speed) {
  speed_ = speed;
  speedBox_->setCurrentIndex(static_cast<int>(speed));
  for (QAction* action : speedGroup_->actions())
    if (action->data().toInt() == static_cast<int>(speed)) action->setChecked(true);
  if (Playing()) {
    RestartClock();
    playTimer_.start(speed_ == Speed::Fastest ? 0 : kPlayPollMs);
  }
}

void ViewerWindow::RestartClock() {
  clock_.start();
  clockTick_ = Tick();
}

void ViewerWindow::OnPlayTimer() {
  if (!player_) return Pause();
  int steps = 0;
  if (speed_ == Speed::Fastest) {
    steps = player_->StepForward() ? 1 : 0;
  } else {
    const std::uint64_t due = clockTick_ + static_cast<std::uint64_t>(clock_.elapsed()) *
                                               static_cast<std::uint64_t>(TicksPerSecond(speed_)) / 1000;
    while (player_->Tick() < due && steps < kMaxTicksPerPoll && player_->StepForward()) ++steps;
    if (steps == kMaxTicksPerPoll) RestartClock();  // behind: go on from here rather than race
  }
  if (steps > 0) ShowTick();
  if (player_->Tick() >= player_->Ticks()) Pause();
}

void ViewerWindow::Select(std::optional<std::int64_t> id) {
  if (id == selected_) return;
  selected_ = id;
  SelectedPath();
  ShowTick();
}

void ViewerWindow::SelectAt(std::int32_t fx, std::int32_t fy) {
  if (!player_) return;
  std::optional<std::int64_t> hit;
  {
    const auto field = player_->Shown().Lock();
    if (const OKE* unit = UnitAt(field->unitList, fx, fy)) hit = unit->fieldId;
  }
  if (hit) Select(hit);
}

void ViewerWindow::SetLabelsShown(bool shown) {
  if (labels_ == shown) return;
  labels_ = shown;
  const QSignalBlocker quiet(labelsAction_);
  labelsAction_->setChecked(shown);
  ShowTick();
}

bool ViewerWindow::LabelsShown() const { return labels_; }

void ViewerWindow::SetPathShown(bool shown) {
  if (showPath_ == shown) return;
  showPath_ = shown;
  const QSignalBlocker quiet(pathAction_);
  pathAction_->setChecked(shown);
  ShowTick();
}

void ViewerWindow::SelectedPath() {
  path_.clear();
  pathFirst_ = 0;
  if (!player_ || !selected_) return;
  const auto points = player_->PathBetween(*selected_, 0, player_->Ticks(), &pathFirst_);
  path_.reserve(static_cast<qsizetype>(points.size()));
  for (const ReplayPathPoint& p : points) {
    const ViewPoint v = FieldToView(p.x, p.y);
    path_ << QPointF(v.x, v.y);
  }
}

void ViewerWindow::DrawTick(Canvas& canvas) {
  // From white every time: a tick looks the same however it was reached.
  canvas.Whiten();
  DrawField(canvas, *player_->Shown().Lock(), drawn_);
}

void ViewerWindow::ShowTick() {
  for (QAction* action : battleActions_) action->setEnabled(player_ != nullptr);
  if (!player_) {
    canvas_.Fill(Rgb(48, 48, 48));
    sheet_->setText(QString());
    listingHead_->setText(QString::fromUtf8("ファイル → 開く でリプレイを選んでください"));
    tickText_->setText(QString());
    view_->SetOverlay({});
    return;
  }
  const std::uint64_t tick = player_->Tick();
  ReplayView::Overlay overlay;
  std::optional<UnitSheet> sheet;
  bool gathered = false;
  {
    Battle& battle = player_->Shown();
    const auto field = battle.Lock();
    canvas_.Whiten();
    DrawField(canvas_, *field, drawn_);
    if (labels_) {
      for (const OKE* unit : field->unitList) {
        const ReplayUnitInfo* info = player_->Unit(unit->fieldId);
        const ViewPoint at = FieldToView(unit->x, unit->y);
        overlay.labels.push_back({QPointF(at.x, at.y), info ? FromUtf8(UnitLabel(*info)) : QString("#%1").arg(unit->fieldId),
                                  unit->team == 1});
      }
    }
    OKE* unit = selected_ ? player_->UnitOnField(field, *selected_) : nullptr;
    if (unit != nullptr) {
      const ViewPoint at = FieldToView(unit->x, unit->y);
      const double w = unit->width / static_cast<double>(kFieldUnitsPerPixel);
      const double h = unit->height / static_cast<double>(kFieldUnitsPerPixel);
      overlay.selected = QRectF(at.x - w / 2, at.y - h / 2, w, h);
      sheet = SheetOf(*unit);
    }
    // Looked up again after every move: the shown field is another one.
    listing_.Follow(unit);
    gathered = listing_.Update();
  }
  if (selected_ && !sheet) sheet = player_->Sheet(*selected_);  // fallen: its last sheet
  if (labels_) overlay.tick = QString::number(tick);
  if (showPath_ && selected_ && !path_.isEmpty()) {
    const std::uint32_t stride = std::max<std::uint32_t>(player_->PathStride(), 1);
    const qsizetype split =
        tick < pathFirst_ ? 0 : std::min<qsizetype>(path_.size(), static_cast<qsizetype>((tick - pathFirst_) / stride) + 1);
    overlay.walked = path_.mid(0, split);
    overlay.ahead = path_.mid(std::max<qsizetype>(split - 1, 0));
  }
  view_->SetOverlay(std::move(overlay));

  const Economy& economy = player_->Shown().GetEconomy();
  sheet_->setText(FromUtf8(StatusSheetText(economy.GetMoney(), economy.GetRivalPoints(), sheet ? &*sheet : nullptr)));

  // The program: the live unit's through the listing; a unit off the field
  // keeps its head line and shows no lines.
  if (listing_.Followed() != nullptr) {
    if (gathered || listingUnit_ != selected_) listingModel_->Reset(listing_.Lines());
    listingUnit_ = selected_;
    listingHead_->setText(FromUtf8(listing_.Head()));
  } else {
    listingModel_->Reset({});
    listingUnit_.reset();
    if (sheet) listingHead_->setText(FromUtf8(SheetTitleLine(*sheet) + "\n" + SheetCommandLine(*sheet)));
    else if (selected_) listingHead_->setText(QString::fromUtf8("まだ戦場にいません"));
    else listingHead_->setText(QString::fromUtf8("ユニットをクリックすると、ここにプログラムが出ます"));
  }
  const std::optional<std::size_t> current = listing_.Current();
  const int row = current && *current < kMaxRows ? static_cast<int>(*current) : -1;
  if (listingModel_->SetCurrent(row) && row >= 0) {
    const QModelIndex index = listingModel_->index(row);
    if (!listingView_->viewport()->rect().contains(listingView_->visualRect(index)))
      listingView_->scrollTo(index, QAbstractItemView::PositionAtCenter);
  }

  {
    const QSignalBlocker quiet(timeline_);
    timeline_->setValue(static_cast<int>(std::min<std::uint64_t>(tick, kMaxRows)));
  }
  tickText_->setText(TickText());
}

QString ViewerWindow::TickText() const {
  if (!player_) return {};
  return QString::fromUtf8("ティック %1 / %2").arg(player_->Tick()).arg(player_->Ticks());
}

Canvas ViewerWindow::ExportCanvas() const {
  Canvas canvas = canvas_;
  if (labels_ && player_) DrawTickLabel(canvas, player_->Tick());
  return canvas;
}

QString ViewerWindow::SheetText() const { return sheet_->text(); }
QString ViewerWindow::ListingHead() const { return listingHead_->text(); }
QStringList ViewerWindow::ListingLines() const {
  QStringList lines;
  for (int row = 0; row < listingModel_->rowCount({}); ++row) lines << listingModel_->Line(row);
  return lines;
}
int ViewerWindow::ListingCurrentRow() const { return listingModel_->Current(); }

bool ViewerWindow::ExportPng(const std::string& path, std::string& why) const {
  if (!player_) {
    why = "no battle is open";
    return false;
  }
  return WritePngFile(path, ExportCanvas(), &why);
}

bool ViewerWindow::ExportAnimation(const std::string& path, std::uint64_t from, std::uint64_t to,
                                   std::uint32_t every, std::string& why,
                                   const std::function<bool(double)>& progress) {
  if (!player_) {
    why = "no battle is open";
    return false;
  }
  to = std::min(to, player_->Ticks());
  every = std::max<std::uint32_t>(every, 1);
  if (from > to) {
    why = "the first tick comes after the last";
    return false;
  }
  if ((to - from) / every + 1 > static_cast<std::uint64_t>(kMaxAnimationFrames)) {
    why = "more than " + std::to_string(kMaxAnimationFrames) + " pictures";
    return false;
  }
  const int delay = static_cast<int>(std::min<std::uint64_t>(std::uint64_t{every} * 100, kMaxFrameMilliseconds));
  AnimationWriter writer(kViewSize, kViewSize, delay);
  const std::uint64_t shown = player_->Tick();
  Canvas frame(kViewSize, kViewSize);
  bool ok = true;
  player_->Seek(from);
  for (std::uint64_t tick = from; tick <= to; tick += every) {
    // Forward tick by tick from the last picture: each costs one tick.
    while (player_->Tick() < tick) player_->StepForward();
    DrawTick(frame);
    if (labels_) DrawTickLabel(frame, tick);
    if (!writer.Add(frame)) {
      why = writer.Error();
      ok = false;
      break;
    }
    if (progress && !progress(to == from ? 1.0 : static_cast<double>(tick - from) / static_cast<double>(to - from))) {
      why = "stopped";
      ok = false;
      break;
    }
    if (to - tick < every) break;
  }
  player_->Seek(shown);
  ShowTick();
  if (ok && !writer.Save(path)) {
    why = writer.Error();
    ok = false;
  }
  return ok;
}

void ViewerWindow::OpenDialog() {
  Pause();
  const QString file = QFileDialog::getOpenFileName(this, QString::fromUtf8("リプレイを開く"), QString(),
                                                    QString::fromUtf8("リプレイ (*.kvr);;すべてのファイル (*)"));
  if (!file.isEmpty()) Open(std::filesystem::path(file.toStdString()));
}

void ViewerWindow::ExportPngDialog() {
  if (!player_) return;
  Pause();
  const QString suggested = QString("tick-%1.png").arg(player_->Tick(), 6, 10, QChar('0'));
  const QString file = QFileDialog::getSaveFileName(this, QString::fromUtf8("PNG 画像に書き出す"), suggested,
                                                    QString::fromUtf8("PNG 画像 (*.png)"));
  if (file.isEmpty()) return;
  std::string why;
  if (!ExportPng(file.toStdString(), why))
    QMessageBox::warning(this, QString::fromUtf8("書き出せません"), FromUtf8(why));
}

void ViewerWindow::ExportAnimationDialog() {
  if (!player_) return;
  Pause();
  QDialog dialog(this);
  dialog.setWindowTitle(QString::fromUtf8("動画に書き出す"));
  auto* form = new QFormLayout(&dialog);
  const int last = static_cast<int>(std::min<std::uint64_t>(player_->Ticks(), kMaxRows));
  auto* from = new QSpinBox(&dialog);
  from->setRange(0, last);
  auto* to = new QSpinBox(&dialog);
  to->setRange(0, last);
  to->setValue(last);
  auto* every = new QSpinBox(&dialog);
  every->setRange(1, 200);
  form->addRow(QString::fromUtf8("最初のティック"), from);
  form->addRow(QString::fromUtf8("最後のティック"), to);
  form->addRow(QString::fromUtf8("何ティックごとに1枚"), every);
  form->addRow(new QLabel(QString::fromUtf8("1ティック100ミリ秒、ゲームと同じ速さの WebP 動画です。"), &dialog));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  const QString file = QFileDialog::getSaveFileName(this, QString::fromUtf8("動画に書き出す"), "battle.webp",
                                                    QString::fromUtf8("WebP 動画 (*.webp)"));
  if (file.isEmpty()) return;
  QProgressDialog wait(QString::fromUtf8("書き出し中..."), QString::fromUtf8("やめる"), 0, 1000, this);
  wait.setWindowModality(Qt::WindowModal);
  wait.setMinimumDuration(300);
  std::string why;
  const bool ok = ExportAnimation(file.toStdString(), static_cast<std::uint64_t>(from->value()),
                                  static_cast<std::uint64_t>(to->value()), static_cast<std::uint32_t>(every->value()),
                                  why, [&wait](double done) {
                                    wait.setValue(static_cast<int>(done * 1000));
                                    return !wait.wasCanceled();
                                  });
  wait.reset();
  if (!ok && why != "stopped") QMessageBox::warning(this, QString::fromUtf8("書き出せません"), FromUtf8(why));
}

}  // namespace kivora
