#pragma once
// Shows the frame buffer unscaled at the window's client origin and takes the
// left button for the skin's keys. The frame buffer is stored bottom-up; the
// widget keeps a top-down copy that it refreshes on every paint.
#include <QImage>
#include <QWidget>
#include <functional>

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

  // The frame as the window shows it (top row first).
  const QImage& Picture();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const Image& frame_;
  QImage picture_;
  bool holding_ = false;
};

}  // namespace rq4800
