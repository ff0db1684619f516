#pragma once
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "field/Canvas.h"
#include "field/DrawField.h"
#include "field/PictureCache.h"
#include "field/SimulationLoop.h"
#include "field/ViewGeometry.h"

namespace kivora {

class Battle;

// The battlefield, 320 x 320 pixels. Creating it builds the battle's field
// from its data folder; it owns the simulation thread, which ticks the world
// every 100 ms and draws each frame into an off-screen canvas, so painting
// only copies the last finished frame to the screen. A left click selects
// the unit under the pointer, a right click clears the selection.
class FieldViewWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kSize = kViewSize;

  struct Hooks {
    std::function<void(std::int32_t fx, std::int32_t fy)> selectAt;
    std::function<void()> clearSelection;
  };

  // Builds the field: the map's walls, random walls and parts, one rival
  // unit. A map that cannot be read is told in a message box, and the game
  // goes on without it.
  FieldViewWnd(Battle& battle, Hooks hooks, QWidget* parent);
  // Stops the simulation thread and waits for the tick in progress.
  ~FieldViewWnd() override;

  void Start();
  void Stop();
  const SimulationLoop& Loop() const { return *loop_; }

  // Copies the last finished frame (the window thread's side of the hand-shake).
  QImage Frame();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Battle& battle_;
  PictureCache pictures_;
  Hooks hooks_;
  Canvas canvas_;
  std::optional<FieldPictures> drawPictures_;  // the simulation thread's only
  std::unique_ptr<SimulationLoop> loop_;
};

}  // namespace kivora
