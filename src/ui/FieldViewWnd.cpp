#include "ui/FieldViewWnd.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace kivora {

FieldViewWnd::FieldViewWnd(Hooks hooks, QWidget* parent)
    : QWidget(parent), hooks_(std::move(hooks)), buffer_(kSize * kSize, 0xFFFFFFFFu) {
  setObjectName("View");
  setFixedSize(kSize, kSize);
  setAttribute(Qt::WA_OpaquePaintEvent);
  loop_ = std::make_unique<SimulationLoop>(SimulationLoop::Hooks{
      [] {},
      [] {},
      [this] { QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection); },
  });
}

FieldViewWnd::~FieldViewWnd() { Stop(); }

void FieldViewWnd::Start() { loop_->Start(); }

void FieldViewWnd::Stop() { loop_->Stop(); }

void FieldViewWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  auto frame = loop_->LockFrame();
  const QImage image(reinterpret_cast<const uchar*>(buffer_.data()), kSize, kSize, kSize * 4, QImage::Format_RGB32);
  painter.drawImage(0, 0, image);
}

void FieldViewWnd::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    if (hooks_.selectAt) hooks_.selectAt(FieldX(p.x()), FieldY(p.y()));
  } else if (event->button() == Qt::RightButton) {
    if (hooks_.clearSelection) hooks_.clearSelection();
  }
}

}  // namespace kivora
