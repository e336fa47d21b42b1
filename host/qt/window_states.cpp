// The main window's "状态" menu and its keys: save states in nine slots
// beside the flash image, pause, frame advance, and rewind while Backspace
// is held. The emulator decides what each does; the window shows it.
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProxyStyle>
#include <QShortcut>

#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"

namespace rq4800 {

namespace {

// The menus' default 16-pixel icons would shrink the LCD to a smudge; the
// slot menus draw theirs 64 pixels wide (the LCD at 2 : 5).
class SlotMenuStyle final : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_SmallIconSize) return 64;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

constexpr int kLcdWidth = 160, kLcdHeight = 80, kLcdRowBytes = kLcdWidth / 8;

QPixmap LcdPicture(const std::vector<uint8_t>& lcd, uint32_t on, uint32_t off) {
  QImage picture(kLcdWidth, kLcdHeight, QImage::Format_RGB32);
  picture.fill(off);
  if (lcd.size() < size_t{kLcdRowBytes} * kLcdHeight) return QPixmap::fromImage(picture);
  for (int y = 0; y < kLcdHeight; ++y) {
    auto* out = reinterpret_cast<uint32_t*>(picture.scanLine(y));
    // Dot 0 switches the row's status icon and is never shown as a dot.
    for (int x = 1; x < kLcdWidth; ++x) {
      const uint8_t byte = lcd[static_cast<size_t>(y * kLcdRowBytes + x / 8)];
      out[x] = (byte >> (7 - x % 8)) & 1 ? on : off;
    }
  }
  return QPixmap::fromImage(picture);
}

}  // namespace

void MainWindow::BuildStateMenu() {
  stateMenu = new QMenu(tr("状态"), this);
  stateMenu->setObjectName(QStringLiteral("状态"));  // found by its source title in every language
  // Before "帮助", which stays last.
  const QList<QAction*> titles = menuBar()->actions();
  menuBar()->insertMenu(titles.isEmpty() ? nullptr : titles.last(), stateMenu);
  connect(stateMenu, &QMenu::aboutToHide, this,
          [this] { QTimer::singleShot(0, this, &MainWindow::ReturnKeysToDevice); });
  connect(stateMenu, &QMenu::aboutToShow, this, &MainWindow::EndRewind);

  slotMenuStyle_ = new SlotMenuStyle;
  slotMenuStyle_->setParent(this);
  saveMenu = stateMenu->addMenu(tr("保存状态"));
  loadMenu = stateMenu->addMenu(tr("读取状态"));
  for (QMenu* menu : {saveMenu, loadMenu}) {
    menu->setStyle(slotMenuStyle_);
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::RefreshSlots);
  }
  for (int slot = 1; slot <= Emulator::kStateSlots; ++slot) {
    connect(saveMenu->addAction(QString()), &QAction::triggered, this, [this, slot] { SaveSlot(slot); });
    connect(loadMenu->addAction(QString()), &QAction::triggered, this, [this, slot] { LoadSlot(slot); });
    // The same keys whether a menu is open or not; no device key uses them.
    const QString digit = QString::number(slot);
    auto* save = new QShortcut(QKeySequence(QStringLiteral("Ctrl+") + digit), this);
    connect(save, &QShortcut::activated, this, [this, slot] { SaveSlot(slot); });
    auto* load = new QShortcut(QKeySequence(QStringLiteral("Alt+") + digit), this);
    connect(load, &QShortcut::activated, this, [this, slot] { LoadSlot(slot); });
  }
  connect(stateMenu, &QMenu::aboutToShow, this, &MainWindow::RefreshSlots);
  stateMenu->addSeparator();

  pauseAction = stateMenu->addAction(tr("暂停        Ctrl+P"));
  pauseAction->setCheckable(true);
  connect(pauseAction, &QAction::triggered, this, &MainWindow::TogglePause);
  for (const char* keys : {"Ctrl+P", "Pause"}) {
    auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), this);
    connect(shortcut, &QShortcut::activated, this, &MainWindow::TogglePause);
  }
  QAction* step = stateMenu->addAction(tr("帧步进      Ctrl+N"));
  connect(step, &QAction::triggered, this, &MainWindow::StepFrame);
  auto* stepKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+N")), this);
  connect(stepKey, &QShortcut::activated, this, &MainWindow::StepFrame);
  stateMenu->addAction(tr("倒带        按住Backspace"))->setEnabled(false);
  RefreshSlots();
}

void MainWindow::RefreshSlots() {
  const QList<QAction*> saves = saveMenu->actions(), loads = loadMenu->actions();
  for (int slot = 1; slot <= Emulator::kStateSlots && slot <= saves.size() && slot <= loads.size(); ++slot) {
    const Emulator::SlotInfo info = emulator->StateSlot(slot);
    const QString when = info.used ? QString::fromStdString(info.time) : tr("空");
    const QIcon picture = info.used ? QIcon(LcdPicture(info.lcd, emulator->screen.onColour, emulator->screen.offColour))
                                    : QIcon();
    saves[slot - 1]->setText(tr("状态%1  %2    Ctrl+%1").arg(slot).arg(when));
    loads[slot - 1]->setText(tr("状态%1  %2    Alt+%1").arg(slot).arg(when));
    saves[slot - 1]->setIcon(picture);
    loads[slot - 1]->setIcon(picture);
    loads[slot - 1]->setEnabled(info.used);
  }
}

void MainWindow::SaveSlot(int slot) {
  const std::string path = emulator->StateSlotPath(slot);
  std::string error;
  if (emulator->SaveStateFile(path, &error)) {
    ShowStatus(tr("状态 %1 已保存: %2").arg(slot).arg(QString::fromStdString(path)));
  } else {
    ShowProblem(tr("保存状态 %1 失败: %2\n").arg(slot).arg(QString::fromStdString(error)));
  }
}

void MainWindow::LoadSlot(int slot) {
  std::string error;
  if (!emulator->LoadStateFile(emulator->StateSlotPath(slot), &error)) {
    ShowStatus(tr("读取状态 %1 失败: %2").arg(slot).arg(QString::fromStdString(error)));
    return;
  }
  ShowStatus(tr("已读取状态 %1").arg(slot));
  ShowFault();
  Paint();
}

void MainWindow::TogglePause() {
  emulator->TogglePause();
  ShowRunState();
  KickLoop();
}

void MainWindow::StepFrame() {
  if (emulator->StepFrame()) {
    ++framesRun;
    ShowFault();
    Paint();
  }
  ShowRunState();
}

void MainWindow::ShowRunState() {
  pauseAction->setChecked(emulator->paused);
  runStateLabel->setText(emulator->rewinding ? tr("倒带")
                         : emulator->paused  ? tr("暂停")
                                             : QString());
}

void MainWindow::KickLoop() {
  if (runLoop_ && !exiting_ && !Paused() && emulator->Running()) loopTimer_.start(0);
}

bool MainWindow::RewindKey(QKeyEvent* event, bool down) {
  if (event->key() != Qt::Key_Backspace) return false;
  // A held key repeats its press only; rewinding goes on until the release.
  if (event->isAutoRepeat()) return true;
  if (down) {
    emulator->StartRewind();
  } else {
    emulator->StopRewind();
  }
  ShowRunState();
  KickLoop();
  return true;
}

void MainWindow::EndRewind() {
  if (!emulator || !emulator->rewinding) return;
  emulator->StopRewind();
  ShowRunState();
  KickLoop();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) EndRewind();
  QMainWindow::changeEvent(event);
}

}  // namespace rq4800
