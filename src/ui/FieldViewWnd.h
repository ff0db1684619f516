#pragma once
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "field/Canvas.h"
#include "field/DrawField.h"
#include "field/SimulationLoop.h"

namespace kivora {

class Field;
class PictureCache;
class SpecTable;

// The battlefield, 320 x 320 pixels. Creating it builds the field from the
// working directory; it owns the simulation thread, which ticks the world
// every 100 ms and draws each frame into an off-screen canvas, so painting
// only copies the last finished frame to the screen. A left click selects
// the unit under the pointer, a right click clears the selection.
class FieldViewWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kSize = 320;
  static constexpr int kCentre = 160;

  struct Hooks {
    std::function<void(std::int32_t fx, std::int32_t fy)> selectAt;
    std::function<void()> clearSelection;
  };

  // Builds the field: the map's walls, random walls and parts, one rival
  // unit. A map that cannot be read is told in a message box, and the game
  // goes on without it.
  FieldViewWnd(Field& field, SpecTable& specs, PictureCache& pictures, Hooks hooks, QWidget* parent);
  // Stops the simulation thread and waits for the tick in progress.
  ~FieldViewWnd() override;

  void Start();
  void Stop();
  const SimulationLoop& Loop() const { return *loop_; }

  // A view pixel in field units: 100 units a pixel, the centre at (160, 160), y up.
  static std::int32_t FieldX(int px) { return (px - kCentre) * 100; }
  static std::int32_t FieldY(int py) { return (kCentre - py) * 100; }

  // Copies the last finished frame (the window thread's side of the hand-shake).
  QImage Frame();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Field& field_;
  PictureCache& pictures_;
  Hooks hooks_;
  Canvas canvas_;
  std::optional<FieldPictures> drawPictures_;  // the simulation thread's only
  std::unique_ptr<SimulationLoop> loop_;
};

}  // namespace kivora
