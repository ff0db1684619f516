#include "ui/StatusViewWnd.h"

#include <QActionGroup>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

#include "base/TickClock.h"
#include "economy/Economy.h"
#include "field/StatusSheet.h"
#include "sim/Field.h"

namespace kivora {

namespace {

constexpr int kLineHeight = 16;

struct IntervalItem {
  const char* text;
  int id;
};
// Longest first, as the menu lists them.
const IntervalItem kIntervals[] = {
    {"１秒程度", 1010},      {"900ミリ秒程度", 1009}, {"800ミリ秒程度", 1008}, {"700ミリ秒程度", 1007},
    {"600ミリ秒程度", 1006}, {"500ミリ秒程度", 1005}, {"400ミリ秒程度", 1004}, {"300ミリ秒程度", 1003},
    {"200ミリ秒程度", 1002}, {"わずか100ミリ秒程度", 1001},
};

}  // namespace

StatusViewWnd::StatusViewWnd(SharedField& field, Economy& economy, std::function<std::uint32_t()> clock,
                             QWidget* parent)
    : QWidget(parent), field_(field), economy_(economy), clock_(std::move(clock)) {
  setObjectName("Status");
  font_ = SheetFont();
  setAttribute(Qt::WA_OpaquePaintEvent);
  lastRefresh_ = clock_();
}

StatusViewWnd::~StatusViewWnd() = default;

QFont StatusViewWnd::SheetFont() {
  // Every ASCII character of the IPA Gothic has one width, so the columns of
  // the variable lines stay aligned.
  QFont font("IPAGothic");
  font.setPixelSize(16);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

void StatusViewWnd::SelectAt(std::int32_t fx, std::int32_t fy) {
  OKE* hit = nullptr;
  {
    const auto field = field_.Lock();
    hit = UnitAt(field->unitList, fx, fy);
    // Taken while the unit is certainly on the field.
    if (hit != nullptr && hit != selected_.get()) selected_ = Ref<OKE>(hit);
    else hit = nullptr;
  }
  if (hit == nullptr) return;
  update();
  emit selectionChanged();
}

void StatusViewWnd::Select(OKE* unit) {
  if (unit == selected_.get()) return;
  selected_ = Ref<OKE>(unit);
  update();
  emit selectionChanged();
}

void StatusViewWnd::ClearSelection() {
  const bool had = selected_ != nullptr;
  selected_.Reset();
  update();
  if (had) emit selectionChanged();
}

bool StatusViewWnd::Refresh() {
  const std::uint32_t now = clock_();
  if (TicksSince(lastRefresh_, now) < static_cast<std::uint32_t>(refreshInterval_)) return false;
  lastRefresh_ = now;
  update();
  emit refreshed();
  return true;
}

void StatusViewWnd::OnIntervalCommand(int id) {
  if (id < 1001 || id > 1010) return;
  refreshInterval_ = (id - 1000) * 100;
}

QMenu* StatusViewWnd::BuildIntervalMenu() {
  auto* menu = new QMenu(this);
  menu->addAction(QString::fromUtf8("表示更新間隔"));
  menu->addSeparator();
  for (const IntervalItem& item : kIntervals) {
    QAction* action = menu->addAction(QString::fromUtf8(item.text));
    action->setData(item.id);
    // Only the current interval carries a mark; the others show none.
    const bool current = (item.id - 1000) * 100 == refreshInterval_;
    action->setCheckable(current);
    action->setChecked(current);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { OnIntervalCommand(id); });
  }
  menu->addSeparator();
  connect(menu->addAction(QString::fromUtf8("プログラム表示")), &QAction::triggered, this,
          &StatusViewWnd::listingRequested);
  return menu;
}

std::string StatusViewWnd::SheetText() const {
  if (!selected_) return StatusSheetText(economy_.GetMoney(), economy_.GetRivalPoints(), nullptr);
  UnitSheet sheet;
  {
    const auto field = field_.Lock();
    sheet = SheetOf(*selected_);
  }
  return StatusSheetText(economy_.GetMoney(), economy_.GetRivalPoints(), &sheet);
}

void StatusViewWnd::paintEvent(QPaintEvent*) {
  const QString text = QString::fromStdString(SheetText());
  // Qt paints widgets into an off-screen backing store and shows the result
  // at once, so clearing and drawing here never flickers.
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));  // the view's border
  painter.setFont(font_);
  // One line every 16 pixels, the height of the characters: the font's own
  // line spacing is larger and would push the last variable lines out of
  // the view. Lines wider than the view wrap; what does not fit below is cut.
  const QRect area = rect().adjusted(1, 1, -1, -1);
  painter.setClipRect(area);
  QTextOption option(Qt::AlignLeft);
  option.setWrapMode(QTextOption::WordWrap);
  int top = area.top();
  for (const QString& paragraph : text.split('\n')) {
    if (top >= area.bottom()) break;
    QTextLayout layout(paragraph, font_, this);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(area.width());
      line.setPosition(QPointF(0, top - area.top()));
      top += kLineHeight;
    }
    layout.endLayout();
    if (!paragraph.isEmpty()) layout.draw(&painter, area.topLeft());
  }
}

void StatusViewWnd::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return QWidget::mousePressEvent(event);
  QMenu* menu = BuildIntervalMenu();
  menu->exec(event->globalPosition().toPoint());
  delete menu;
}

void StatusViewWnd::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  emit listingRequested();
}

}  // namespace kivora
