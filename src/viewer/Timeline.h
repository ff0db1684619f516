#pragma once
#include <QSlider>

#include <cstdint>
#include <vector>

namespace kivora {

// The battle's ticks as a slider, with a red mark at every tick in which a
// unit fell. The slider never takes the keyboard: the window's own keys
// step and seek.
class Timeline : public QSlider {
  Q_OBJECT
 public:
  explicit Timeline(QWidget* parent);

  void SetMarks(std::vector<std::uint64_t> ticks);
  const std::vector<std::uint64_t>& Marks() const { return marks_; }
  // Where the mark of `tick` is drawn, in the slider's pixels.
  int MarkX(std::uint64_t tick) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<std::uint64_t> marks_;
};

}  // namespace kivora
