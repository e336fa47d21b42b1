#pragma once
// Shows the frame buffer, or the LCD panel cut out of it, and takes the left
// button for the skin's keys. The picture is scaled to the largest whole step
// that fits the widget (smooth scaling: to whatever fits) and centred on
// black; whole steps are drawn nearest-neighbour down to the screen's device
// pixels, so every frame pixel stays a sharp square on high-DPI screens too.
// A click is mapped back through the offset and the step to the skin pixel
// under it, so it presses the same key at any size; the LCD-only view has no
// keys to click. The frame buffer is stored bottom-up; the widget keeps a
// top-down copy that it refreshes on every paint.
#include <QImage>
#include <QWidget>
#include <functional>

#include "host/picture_layout.h"

namespace rq4800 {

struct Image;

class ScreenWidget final : public QWidget {
  Q_OBJECT
 public:
  ScreenWidget(const Image& frame, QWidget* parent);

  // Called before each paint so the picture shows the machine of that moment.
  std::function<void()> beforePaint;
  std::function<void(int x, int y)> buttonDown;
  std::function<void()> buttonUp;

  // The frame as the window shows it (top row first), whole.
  const QImage& Picture();

  // What is shown: the whole frame or the LCD panel; whole steps or smooth;
  // the step the widget asks its window for.
  void SetView(bool lcdOnly, bool smooth, int scale);
  bool LcdOnly() const { return lcdOnly_; }
  int Scale() const { return scale_; }
  FrameArea Area() const { return area_; }
  QSize PictureSize() const { return {area_.width, area_.height}; }
  // Where the picture lies in the widget now.
  Placement CurrentPlacement() const;
  // Repaints the widget's part that shows this rectangle of the frame.
  void UpdateFrameRect(int x, int y, int width, int height);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const Image& frame_;
  QImage picture_;
  bool holding_ = false;
  bool lcdOnly_ = false;
  bool smooth_ = false;
  int scale_ = 1;
  FrameArea area_;
};

}  // namespace rq4800
