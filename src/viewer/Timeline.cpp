#include "viewer/Timeline.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace kivora {

Timeline::Timeline(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setObjectName("Timeline");
  setFocusPolicy(Qt::NoFocus);
  setMinimumHeight(28);
}

void Timeline::SetMarks(std::vector<std::uint64_t> ticks) {
  marks_ = std::move(ticks);
  update();
}

int Timeline::MarkX(std::uint64_t tick) const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  // The handle's centre travels over the groove less half a handle at each end.
  const int span = groove.width() - handle.width();
  const int value = static_cast<int>(std::min<std::uint64_t>(tick, static_cast<std::uint64_t>(maximum())));
  return groove.left() + handle.width() / 2 +
         QStyle::sliderPositionFromValue(minimum(), maximum(), value, span > 0 ? span : 0);
}

void Timeline::paintEvent(QPaintEvent* event) {
  QSlider::paintEvent(event);
  if (marks_.empty()) return;
  QPainter painter(this);
  painter.setPen(QPen(QColor(200, 30, 30), 2));
  const int top = 2, bottom = height() - 3;
  int last = -1;
  for (const std::uint64_t tick : marks_) {
    const int x = MarkX(tick);
    if (x == last) continue;  // many falls close together: one mark
    painter.drawLine(x, top, x, top + 6);
    painter.drawLine(x, bottom - 6, x, bottom);
    last = x;
  }
}

}  // namespace kivora
