#include "ui/FieldViewWnd.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <mutex>
#include <string_view>

#include "field/DrawField.h"
#include "game/Battle.h"
#include "ui/MapMessageBox.h"

namespace kivora {

FieldViewWnd::FieldViewWnd(Battle& battle, Hooks hooks, QWidget* parent)
    : QWidget(parent),
      battle_(battle),
      pictures_(battle.Folder()),
      hooks_(std::move(hooks)),
      canvas_(kSize, kSize) {
  setObjectName("View");
  setFixedSize(kSize, kSize);
  setAttribute(Qt::WA_OpaquePaintEvent);

  // The thread does not run yet.
  battle_.Build([this](std::string_view message) {
    MapMessageBox box(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())), window());
    box.exec();
  });

  loop_ = std::make_unique<SimulationLoop>(SimulationLoop::Hooks{
      [this] { battle_.Tick(); },
      [this] {
        // The pictures are gathered once, on this thread, with the first
        // frame; only this thread touches the cache. Outside the field lock:
        // a large file must not hold up the window thread.
        if (!drawPictures_) drawPictures_ = FieldPictures::Gather(pictures_);
        DrawField(canvas_, *battle_.Lock(), *drawPictures_);
      },
      // Queued to the window thread; dropped if the view is gone by then.
      [this] { QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection); },
  });
}

FieldViewWnd::~FieldViewWnd() { Stop(); }

void FieldViewWnd::Start() { loop_->Start(); }

void FieldViewWnd::Stop() { loop_->Stop(); }

QImage FieldViewWnd::Frame() {
  auto frame = loop_->LockFrame();
  return QImage(reinterpret_cast<const uchar*>(canvas_.Data()), canvas_.Width(), canvas_.Height(),
                canvas_.Width() * 4, QImage::Format_RGB32)
      .copy();
}

void FieldViewWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Waits only for a frame being drawn; the thread skips drawing meanwhile.
  auto frame = loop_->LockFrame();
  const QImage image(reinterpret_cast<const uchar*>(canvas_.Data()), canvas_.Width(), canvas_.Height(),
                     canvas_.Width() * 4, QImage::Format_RGB32);
  painter.drawImage(0, 0, image);
}

void FieldViewWnd::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    if (hooks_.selectAt) hooks_.selectAt(ViewToFieldX(p.x()), ViewToFieldY(p.y()));
  } else if (event->button() == Qt::RightButton) {
    if (hooks_.clearSelection) hooks_.clearSelection();
  }
}

}  // namespace kivora
