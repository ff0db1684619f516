#pragma once
#include <QImage>
#include <QPolygonF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "field/Canvas.h"

namespace kivora {

// The field as the viewer shows it: the game's own drawing of the tick,
// enlarged, and over it what the player asked for: the selected unit's path
// (where it went solid, where it is going dotted) and box, the tick, and
// the side and program of each unit.
class ReplayView : public QWidget {
  Q_OBJECT
 public:
  struct Label {
    QPointF at;  // the unit's centre, in canvas pixels
    QString text;
    bool player = true;
  };
  struct Overlay {
    QPolygonF walked;  // canvas pixels
    QPolygonF ahead;
    std::optional<QRectF> selected;
    std::vector<Label> labels;
    QString tick;  // empty: not shown
  };

  // A click at a canvas pixel; the right button clears the selection.
  using ClickHook = std::function<void(int x, int y, Qt::MouseButton button)>;

  ReplayView(const Canvas& canvas, ClickHook click, QWidget* parent);

  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  void SetOverlay(Overlay overlay);
  const Overlay& CurrentOverlay() const { return overlay_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const Canvas& canvas_;
  ClickHook click_;
  int zoom_ = 2;
  Overlay overlay_;
};

}  // namespace kivora
