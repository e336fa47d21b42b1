#include "host/qt/screen_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <cstring>

#include "host/image.h"
#include "host/skin_layout.h"

namespace rq4800 {

ScreenWidget::ScreenWidget(const Image& frame, QWidget* parent)
    : QWidget(parent),
      frame_(frame),
      picture_(skin::kFrameWidth, skin::kFrameHeight, QImage::Format_RGB32),
      area_(ViewArea(false)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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

void ScreenWidget::SetView(bool lcdOnly, bool smooth, int scale) {
  lcdOnly_ = lcdOnly;
  smooth_ = smooth;
  scale_ = scale;
  area_ = ViewArea(lcdOnly);
  updateGeometry();
  update();
}

QSize ScreenWidget::sizeHint() const { return PictureSize() * scale_; }

Placement ScreenWidget::CurrentPlacement() const {
  return PlacePicture(width(), height(), area_.width, area_.height, smooth_);
}

void ScreenWidget::UpdateFrameRect(int x, int y, int width, int height) {
  const Placement p = CurrentPlacement();
  const double left = p.x + (x - area_.x) * p.scale, top = p.y + (y - area_.y) * p.scale;
  // Rounded outwards, so a smooth picture's edge pixels are repainted too.
  const QRect rect(QPoint(static_cast<int>(std::floor(left)) - 1, static_cast<int>(std::floor(top)) - 1),
                   QPoint(static_cast<int>(std::ceil(left + width * p.scale)),
                          static_cast<int>(std::ceil(top + height * p.scale))));
  update(rect.intersected(this->rect()));
}

void ScreenWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const Placement p = CurrentPlacement();
  const QRectF target(p.x, p.y, p.width, p.height);
  // Black around the picture; the picture itself covers the rest.
  QRegion around(rect());
  around -= target.toAlignedRect();
  for (const QRect& r : around) painter.fillRect(r, Qt::black);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth_ && std::floor(p.scale) != p.scale);
  painter.drawImage(target, Picture(), QRectF(area_.x, area_.y, area_.width, area_.height));
}

void ScreenWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || lcdOnly_) return;
  const QPointF at = event->position();
  const auto hit = PictureAt(CurrentPlacement(), area_.width, area_.height, at.x(), at.y());
  if (!hit) return;
  // Keep the mouse while the button is down, so that a release outside the
  // window still releases the key.
  holding_ = true;
  grabMouse();
  if (buttonDown) buttonDown(area_.x + hit->x, area_.y + hit->y);
}

void ScreenWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !holding_) return;
  releaseMouse();
  holding_ = false;
  if (buttonUp) buttonUp();
}

}  // namespace rq4800
