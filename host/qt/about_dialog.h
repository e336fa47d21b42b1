#pragma once
// "版本信息": the program's name and version, two lines about it, the folders
// the program keeps its data and settings in (when given), the link
// "说明" that opens the README carried inside the program (by mouse, or
// Enter on the focused link; nothing outside the program is needed, so it
// works wherever the program is installed), and "确定".
#include <QDialog>

class QLabel;

namespace rq4800 {

struct FrontEndPaths;

class AboutDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kLinkId = 1028;
  static constexpr const char* kReadmeLink = "readme";
  explicit AboutDialog(QWidget* parent, const FrontEndPaths* paths = nullptr);
  QLabel* link;
  QLabel* folders = nullptr;  // the data and settings folders in use

 signals:
  // The README window is open (a child of this dialog) when this arrives.
  void linkOpened(const QString& address);

 private:
  void ShowReadme();
};

// The README as the build embedded it; empty if it is missing.
QString EmbeddedReadme();

}  // namespace rq4800
