// The main window's "视图" menu: the picture's size in whole steps (or
// smooth), full screen, the LCD-only view, and screenshots. The choices are
// kept in the settings ([Window] of rq4800.ini) as they are made.
#include <QActionGroup>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <algorithm>
#include <cmath>

#include "host/picture_file.h"
#include "host/qt/main_window.h"
#include "host/qt/screen_widget.h"

namespace rq4800 {

namespace {

// A screenshot is never made larger than this many times the frame.
constexpr int kMaxScreenshotScale = 16;

QShortcut* WindowKey(QWidget* window, const char* keys) {
  auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), window);
  shortcut->setContext(Qt::WindowShortcut);
  return shortcut;
}

}  // namespace

void MainWindow::BuildViewMenu(int scale) {
  view = ReadViewSettings(paths.settingsFile);
  // The command line's scale holds for this run only; the menu's is kept.
  const int startScale = scale >= ViewSettings::kMinScale && scale <= ViewSettings::kMaxScale ? scale : view.scale;

  auto* menu = new QMenu(tr("视图"), this);
  // After "设置": before "状态" (and "帮助", which stays last).
  menuBar()->insertMenu(stateMenu != nullptr ? stateMenu->menuAction() : nullptr, menu);
  connect(menu, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, &MainWindow::ReturnKeysToDevice); });
  connect(menu, &QMenu::aboutToShow, this, &MainWindow::EndRewind);

  QMenu* sizes = menu->addMenu(tr("缩放"));
  auto* sizeGroup = new QActionGroup(this);
  for (int n = ViewSettings::kMinScale; n <= ViewSettings::kMaxScale; ++n) {
    QAction* action = sizes->addAction(QStringLiteral("%1×").arg(n));
    action->setCheckable(true);
    sizeGroup->addAction(action);
    connect(action, &QAction::triggered, this, [this, n] { SetScale(n); });
    scaleActions_[n] = action;
  }
  smoothAction_ = menu->addAction(tr("平滑缩放"));
  smoothAction_->setCheckable(true);
  connect(smoothAction_, &QAction::triggered, this, &MainWindow::SetSmooth);
  fullScreenAction_ = menu->addAction(tr("全屏        F11"));
  fullScreenAction_->setCheckable(true);
  connect(fullScreenAction_, &QAction::triggered, this, &MainWindow::SetFullScreen);
  lcdOnlyAction_ = menu->addAction(tr("只显示LCD   Ctrl+L"));
  lcdOnlyAction_->setCheckable(true);
  connect(lcdOnlyAction_, &QAction::triggered, this, &MainWindow::SetLcdOnly);
  menu->addSeparator();
  connect(menu->addAction(tr("截图        F12")), &QAction::triggered, this, &MainWindow::TakeScreenshot);
  connect(menu->addAction(tr("截图文件夹...")), &QAction::triggered, this, [this] {
    QFileDialog dialog(this, tr("截图文件夹"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(QString::fromStdString(PictureFolder()));
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    SetPictureFolder(dialog.selectedFiles().first().toStdString());
  });

  // No device key uses these; Esc stays the device's, in full screen too.
  connect(WindowKey(this, "F11"), &QShortcut::activated, this, [this] { SetFullScreen(!isFullScreen()); });
  connect(WindowKey(this, "F10"), &QShortcut::activated, this, &MainWindow::ToggleMenuBar);
  connect(WindowKey(this, "F12"), &QShortcut::activated, this, &MainWindow::TakeScreenshot);
  connect(WindowKey(this, "Ctrl+L"), &QShortcut::activated, this, [this] { SetLcdOnly(!view.lcdOnly); });

  // The window can now be resized and maximised; the picture follows.
  statusBar()->setSizeGripEnabled(true);
  smoothAction_->setChecked(view.smooth);
  lcdOnlyAction_->setChecked(view.lcdOnly);
  scaleActions_[startScale]->setChecked(true);
  screenWidget->SetView(view.lcdOnly, view.smooth, startScale);
  FitWindowToPicture();
}

std::string MainWindow::PictureFolder() const {
  return view.pictureFolder.empty() ? paths.programFolder : view.pictureFolder;
}

void MainWindow::SaveViewSetting(ViewEntry entry) {
  if (readOnly) {
    ShowStatus(tr("只读：设置未保存"));
    return;
  }
  std::string error;
  if (!WriteViewSetting(paths.settingsFile, view, entry, &error)) {
    ShowProblem(tr("设置未保存: %1\n").arg(QString::fromStdString(error)));
  }
}

void MainWindow::FitWindowToPicture() {
  // Maximised or full screen, the space is the screen's: the picture fits it.
  if (isFullScreen() || isMaximized()) {
    screenWidget->update();
    return;
  }
  // The window takes the exact size that shows the picture at its step, and
  // then becomes freely resizable again (down to half a step).
  screenWidget->setFixedSize(screenWidget->sizeHint());
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  layout()->activate();
  layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
  screenWidget->setMinimumSize(screenWidget->PictureSize() / 2);
  screenWidget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  screenWidget->update();
}

void MainWindow::SetScale(int scale) {
  scale = std::clamp(scale, ViewSettings::kMinScale, ViewSettings::kMaxScale);
  scaleActions_[scale]->setChecked(true);
  view.scale = scale;
  SaveViewSetting(ViewEntry::kScale);
  screenWidget->SetView(view.lcdOnly, view.smooth, scale);
  FitWindowToPicture();
}

void MainWindow::SetSmooth(bool on) {
  view.smooth = on;
  smoothAction_->setChecked(on);
  SaveViewSetting(ViewEntry::kSmooth);
  screenWidget->SetView(view.lcdOnly, on, screenWidget->Scale());
}

void MainWindow::SetLcdOnly(bool on) {
  view.lcdOnly = on;
  lcdOnlyAction_->setChecked(on);
  SaveViewSetting(ViewEntry::kLcdOnly);
  // A key held by the mouse comes up before its picture goes.
  emulator->ButtonUp();
  screenWidget->SetView(on, view.smooth, screenWidget->Scale());
  FitWindowToPicture();
}

void MainWindow::SetFullScreen(bool on) {
  fullScreenAction_->setChecked(on);
  if (on == isFullScreen()) return;
  if (on) {
    // Only the picture; F10 brings the menu bar back while in full screen.
    menuBar()->hide();
    statusBar()->hide();
    showFullScreen();
  } else {
    showNormal();
    menuBar()->show();
    statusBar()->show();
    FitWindowToPicture();
  }
  screenWidget->setFocus();
}

void MainWindow::ToggleMenuBar() {
  if (isFullScreen()) menuBar()->setVisible(!menuBar()->isVisible());
}

int MainWindow::ScreenshotScale() const {
  const double scale = screenWidget->CurrentPlacement().scale;
  return std::clamp(static_cast<int>(std::floor(scale)), 1, kMaxScreenshotScale);
}

QString MainWindow::TakeScreenshot() {
  emulator->Paint();
  const FrameArea area = screenWidget->Area();
  const Image picture = CropImage(emulator->screen.frameBuffer, area.x, area.y, area.width, area.height);
  std::string path, error;
  if (!SaveScreenshot(PictureFolder(), picture, ScreenshotScale(), Now(), &path, &error)) {
    ShowProblem(tr("截图失败: %1\n").arg(QString::fromStdString(error)));
    return {};
  }
  ShowStatus(tr("截图已保存: %1").arg(QString::fromStdString(path)));
  return QString::fromStdString(path);
}

void MainWindow::SetPictureFolder(const std::string& folder) {
  view.pictureFolder = folder;
  SaveViewSetting(ViewEntry::kPictureFolder);
  ShowStatus(tr("截图和录音保存到: %1").arg(QString::fromStdString(PictureFolder())));
}

LocalTime MainWindow::Now() const {
  if (machine != nullptr && machine->clock != nullptr) return machine->clock->Now();
  SystemClock system;
  return system.Now();
}

}  // namespace rq4800
