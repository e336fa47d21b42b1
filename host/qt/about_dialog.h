#pragma once
// "版本信息": the program's name, two lines about it, the link "网址" that
// opens in the default browser (by mouse, or Enter on the focused link), and
// "确定".
#include <QDialog>

class QLabel;

namespace rq4800 {

class AboutDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kLinkId = 1028;
  explicit AboutDialog(QWidget* parent);
  QLabel* link;

 signals:
  void linkOpened(const QString& address);
};

}  // namespace rq4800
