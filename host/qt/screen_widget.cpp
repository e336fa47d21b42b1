#include "host/qt/screen_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "host/image.h"
#include "host/skin_layout.h"

namespace rq4800 {

ScreenWidget::ScreenWidget(const Image& frame, QWidget* parent)
    : QWidget(parent), frame_(frame), picture_(skin::kFrameWidth, skin::kFrameHeight, QImage::Format_RGB32) {
  setFixedSize(skin::kFrameWidth, skin::kFrameHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  picture_.fill(Qt::black);
}

const QImage& ScreenWidget::Picture() {
  if (beforePaint) beforePaint();
  if (frame_.width == picture_.width() && frame_.height == picture_.height()) {
    const size_t rowBytes = static_cast<size_t>(frame_.width) * 4;
    for (int y = 0; y < frame_.height; ++y) {
      std::memcpy(picture_.scanLine(y), &frame_.pixels[static_cast<size_t>(frame_.height - 1 - y) * frame_.width],
                  rowBytes);
    }
  }
  return picture_;
}

void ScreenWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, Picture());
}

void ScreenWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // Keep the mouse while the button is down, so that a release outside the
  // window still releases the key.
  holding_ = true;
  grabMouse();
  const QPoint p = event->position().toPoint();
  if (buttonDown) buttonDown(p.x(), p.y());
}

void ScreenWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (holding_) releaseMouse();
  holding_ = false;
  if (buttonUp) buttonUp();
}

}  // namespace rq4800
