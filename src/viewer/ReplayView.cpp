#include "viewer/ReplayView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <vector>

namespace kivora {

ReplayView::ReplayView(const Canvas& canvas, ClickHook click, QWidget* parent)
    : QWidget(parent), canvas_(canvas), click_(std::move(click)) {
  setObjectName("Field");
  setAttribute(Qt::WA_OpaquePaintEvent);
  SetZoom(2);
}

void ReplayView::SetZoom(int zoom) {
  zoom_ = zoom < 1 ? 1 : zoom > 4 ? 4 : zoom;
  setFixedSize(sizeHint());
  update();
}

QSize ReplayView::sizeHint() const { return {canvas_.Width() * zoom_, canvas_.Height() * zoom_}; }

void ReplayView::SetOverlay(Overlay overlay) {
  overlay_ = std::move(overlay);
  update();
}

void ReplayView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QImage image(reinterpret_cast<const uchar*>(canvas_.Data()), canvas_.Width(), canvas_.Height(),
                     canvas_.Width() * 4, QImage::Format_RGB32);
  // Pixels stay pixels: the game's sprites enlarged, never blurred.
  painter.drawImage(QRect(0, 0, canvas_.Width() * zoom_, canvas_.Height() * zoom_), image);

  painter.setRenderHint(QPainter::Antialiasing);
  const double z = zoom_;
  // Half a pixel in: the centre of the canvas pixel a point falls on.
  auto scaled = [z](const QPolygonF& line) {
    QPolygonF out;
    out.reserve(line.size());
    for (const QPointF& p : line) out << QPointF((p.x() + 0.5) * z, (p.y() + 0.5) * z);
    return out;
  };
  if (overlay_.ahead.size() > 1) {
    painter.setPen(QPen(QColor(255, 255, 255, 150), 1.5, Qt::DotLine));
    painter.drawPolyline(scaled(overlay_.ahead));
  }
  if (overlay_.walked.size() > 1) {
    painter.setPen(QPen(QColor(0, 0, 0, 120), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPolygonF line = scaled(overlay_.walked);
    painter.drawPolyline(line);
    painter.setPen(QPen(QColor(255, 220, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
  }
  if (overlay_.selected) {
    const QRectF& r = *overlay_.selected;
    painter.setPen(QPen(QColor(255, 220, 40), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(r.left() * z - 3, r.top() * z - 3, r.width() * z + 6, r.height() * z + 6));
  }

  QFont font = painter.font();
  font.setPixelSize(12);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  std::vector<QRect> placed;
  for (const Label& label : overlay_.labels) {
    const QString& text = label.text;
    const int w = metrics.horizontalAdvance(text) + 6;
    const int h = metrics.height() + 2;
    const int cx = static_cast<int>(label.at.x() * z), cy = static_cast<int>(label.at.y() * z);
    // Under the unit, else over it, else further down: where it hides no
    // other label, and inside the view.
    QRect box;
    for (const int top : {cy + 14, cy - 14 - h, cy + 14 + h, cy - 14 - 2 * h, cy + 14 + 2 * h}) {
      box = QRect(std::clamp(cx - w / 2, 0, std::max(0, width() - w)), std::clamp(top, 0, std::max(0, height() - h)), w, h);
      if (std::none_of(placed.begin(), placed.end(), [&box](const QRect& other) { return other.intersects(box); })) break;
    }
    placed.push_back(box);
    painter.setPen(Qt::NoPen);
    painter.setBrush(label.player ? QColor(20, 40, 120, 190) : QColor(130, 20, 20, 190));
    painter.drawRoundedRect(box, 3, 3);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
  }
  if (!overlay_.tick.isEmpty()) {
    QFont big = font;
    big.setPixelSize(16);
    big.setBold(true);
    painter.setFont(big);
    const QFontMetrics m(big);
    const QRect box(6, 6, m.horizontalAdvance(overlay_.tick) + 12, m.height() + 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(16, 16, 16, 200));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, overlay_.tick);
  }
}

void ReplayView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (click_) click_(p.x() / zoom_, p.y() / zoom_, event->button());
}

}  // namespace kivora
