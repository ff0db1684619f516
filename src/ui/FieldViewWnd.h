#pragma once
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "field/SimulationLoop.h"

namespace kivora {

// The battlefield, 320 x 320 pixels. It owns the simulation thread, which
// ticks the world every 100 ms and draws each frame into an off-screen
// buffer; painting only copies the last finished frame to the screen.
// A left click selects the unit under the pointer, a right click clears the
// selection.
class FieldViewWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kSize = 320;
  static constexpr int kCentre = 160;

  struct Hooks {
    std::function<void(std::int32_t fx, std::int32_t fy)> selectAt;
    std::function<void()> clearSelection;
  };

  FieldViewWnd(Hooks hooks, QWidget* parent);
  // Stops the simulation thread and waits for the tick in progress.
  ~FieldViewWnd() override;

  // Starts the simulation thread.
  void Start();
  void Stop();
  const SimulationLoop& Loop() const { return *loop_; }

  // A view pixel in field units: 100 units a pixel, the centre at (160, 160), y up.
  static std::int32_t FieldX(int px) { return (px - kCentre) * 100; }
  static std::int32_t FieldY(int py) { return (kCentre - py) * 100; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Hooks hooks_;
  std::vector<std::uint32_t> buffer_;
  std::unique_ptr<SimulationLoop> loop_;
};

}  // namespace kivora
