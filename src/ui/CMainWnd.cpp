#include "ui/CMainWnd.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>

#include "base/TickClock.h"
#include "economy/Economy.h"
#include "field/ViewGeometry.h"
#include "game/Battle.h"
#include "sim/OKE.h"
#include "ui/BuyListDlg.h"
#include "ui/FieldViewWnd.h"
#include "ui/ListText.h"
#include "ui/LoanTousyuDlg.h"
#include "ui/NewSoftDlg.h"
#include "ui/Pictures.h"
#include "ui/PoboSlotDlg.h"
#include "ui/ProgramListWnd.h"
#include "ui/StatusViewWnd.h"

namespace kivora {

namespace {
constexpr std::uint32_t kFlashPeriodMs = 1000;

// The client area under the three children. It paints itself in the window's
// background colour, which shows only in the gaps between them; the colour is
// not set through the palette, which the children would take on too.
class ClientArea : public QWidget {
 public:
  explicit ClientArea(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor::fromRgb(CMainWnd::kBackground)); }
};

}  // namespace

CMainWnd::CMainWnd(Battle& battle, Clock clock)
    : battle_(battle), clock_(clock ? std::move(clock) : Clock(TickCount)) {
  setWindowTitle("Kivora Virtual System by Pobogom");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setWindowIcon(QIcon(GamePicture("AppIcon")));

  auto* client = new ClientArea(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);

  fieldView_ = new FieldViewWnd(battle_,
                                {[this](std::int32_t x, std::int32_t y) { SelectAt(x, y); },
                                 [this] { ClearSelection(); }},
                                client);
  fieldView_->setGeometry(0, 0, kViewSize, kViewSize);

  statusView_ = new StatusViewWnd(battle_.Shared(), battle_.GetEconomy(), clock_, client);
  statusView_->setGeometry(kViewSize + 1, 0, kClientWidth - (kViewSize + 1), kViewSize);
  connect(statusView_, &StatusViewWnd::listingRequested, this, &CMainWnd::OpenProgramList);

  messageLog_ = new QListWidget(client);
  messageLog_->setObjectName("MessageLog");
  messageLog_->setGeometry(0, kViewSize + 1, kClientWidth, kClientHeight - (kViewSize + 1));
  // Long lines can be scrolled sideways up to 1024 pixels; the vertical bar
  // comes once the log outgrows its four visible lines.
  SetHorizontalExtent(*messageLog_, kMessageLogExtent);
  messageLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  BuildMenu();
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  battle_.OnSquadLost([this] { PostSquadLost(); });
  fieldView_->Start();
  battle_.StartCampaignClock(clock_());
  campaignTimer_ = new QTimer(this);
  connect(campaignTimer_, &QTimer::timeout, this, &CMainWnd::CampaignTick);
  campaignTimer_->start(kCampaignTimerMs);
}

CMainWnd::~CMainWnd() {
  // The simulation thread goes first: it may still be drawing the field.
  fieldView_->Stop();
  battle_.OnSquadLost(nullptr);
}

void CMainWnd::BuildMenu() {
  QMenu* file = menuBar()->addMenu(QString::fromUtf8("ファイル(&F)"));
  actions_[0] = file->addAction(QString::fromUtf8("終了(&X)"), this, &CMainWnd::OnExit);
  actions_[1] = menuBar()->addAction(QString::fromUtf8("ＯＫＥ購入(&B)!"), this, &CMainWnd::OnBuy);
  actions_[2] = menuBar()->addAction(QString::fromUtf8("スロットマシーン(&M)!"), this, &CMainWnd::OnSlot);
  actions_[3] = menuBar()->addAction(QString::fromUtf8("ローン「党首」(&L)!"), this, &CMainWnd::OnLoan);
  for (int i = 0; i < 4; ++i) actions_[i]->setData(1000 + i);
}

QAction* CMainWnd::MenuAction(int id) const {
  return id >= 1000 && id <= 1003 ? actions_[id - 1000] : nullptr;
}

void CMainWnd::AddMessage(std::string_view text) {
  while (messageLog_->count() >= kMessageLogLimit) delete messageLog_->takeItem(0);
  messageLog_->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  messageLog_->setCurrentRow(messageLog_->count() - 1);
}

void CMainWnd::SelectAt(std::int32_t fx, std::int32_t fy) { statusView_->SelectAt(fx, fy); }

void CMainWnd::ClearSelection() { statusView_->ClearSelection(); }

void CMainWnd::CampaignTick() {
  const std::uint32_t now = clock_();
  if (battle_.CampaignDue(now)) {
    ++campaignSteps_;
    battle_.CampaignStep(*this);
  }
  if (flashing_ && TicksSince(lastFlashTick_, now) > kFlashPeriodMs) {
    Flash();
    lastFlashTick_ = now;
  }
  statusView_->Refresh();
}

void CMainWnd::PostSquadLost() {
  QMetaObject::invokeMethod(this, &CMainWnd::OnSquadLost, Qt::QueuedConnection);
}

void CMainWnd::OnSquadLost() {
  if (!isMinimized()) return;
  lastFlashTick_ = clock_();
  Flash();
  flashing_ = true;
}

void CMainWnd::Flash() {
  ++flashCount_;
  QApplication::alert(this);
}

void CMainWnd::OnExit() {
  if (ask_(QString::fromUtf8("終了してもいいのかい？"), nullptr)) close();
}

void CMainWnd::OnBuy() {
  Economy& economy = battle_.GetEconomy();
  BuyListDlg buyList(
      economy, battle_.Folder(),
      [this](const std::string& specFile) { return battle_.Specs().GetSpec(specFile) != nullptr; }, this);
  if (buyList.exec() != QDialog::Accepted) return;
  const BuyData row = buyList.ChosenRow();
  Ref<OKE> unit = battle_.NewUnit(1, row.specFile);
  if (!unit) {
    // The warehouse checked the model before taking the money, and loaded
    // models stay loaded; should it still fail, the player gets the money back.
    economy.AddMoney(static_cast<std::uint32_t>(row.price));
    return;
  }

  NewSoftDlg software(battle_.Folder(), this);
  if (software.exec() == QDialog::Accepted) battle_.GiveProgram(*unit, software.SoftwareName());

  // Our own reference keeps the unit alive until the view holds its own: the
  // battle may already remove it once the field lock is released.
  const Ref<OKE> placed = unit;
  battle_.Deploy(std::move(unit));
  statusView_->Select(placed.get());
  AddMessage("ＯＫＥを配置しました");
}

void CMainWnd::OnSlot() {
  PoboSlotDlg slot(battle_.GetEconomy(), battle_.SetupRandom(), this);
  slot.exec();
  statusView_->update();
}

void CMainWnd::OnLoan() {
  RunLoanCommand(battle_.GetEconomy(), *this, this);
  statusView_->update();
}

void CMainWnd::OpenProgramList() {
  if (programList_ == nullptr) programList_ = new ProgramListWnd(battle_.Shared(), *statusView_, this);
  programList_->Open();
}

void CMainWnd::closeEvent(QCloseEvent* event) {
  campaignTimer_->stop();
  event->accept();
}

void CMainWnd::changeEvent(QEvent* event) {
  // Bringing the window back to the player ends the flashing. Some window
  // systems keep a minimised window active, which is no sign of the player.
  const bool shown = event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowStateChange;
  if (shown && isActiveWindow() && !isMinimized()) flashing_ = false;
  QMainWindow::changeEvent(event);
}

}  // namespace kivora
