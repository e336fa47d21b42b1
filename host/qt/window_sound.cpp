// The main window's "声音" menu: mute, volume and recording. Volume and mute
// act on the sound card's output only, so a recording keeps the device's own
// level; both are kept in the settings ([Sound] of rq4800.ini).
#include <QAction>
#include <QActionGroup>
#include <QAudio>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>

#include "host/qt/main_window.h"
#include "host/qt/qt_wave_device.h"

namespace rq4800 {

namespace {

constexpr int kVolumeSteps[] = {100, 75, 50, 25, 10};

}  // namespace

void MainWindow::BuildSoundMenu() {
  auto* menu = new QMenu(tr("声音"), this);
  // After "视图", before "状态".
  menuBar()->insertMenu(stateMenu != nullptr ? stateMenu->menuAction() : nullptr, menu);
  connect(menu, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, &MainWindow::ReturnKeysToDevice); });
  connect(menu, &QMenu::aboutToShow, this, &MainWindow::EndRewind);

  muteAction_ = menu->addAction(tr("静音        Ctrl+M"));
  muteAction_->setCheckable(true);
  connect(muteAction_, &QAction::triggered, this, &MainWindow::SetMute);
  QMenu* levels = menu->addMenu(tr("音量"));
  auto* group = new QActionGroup(this);
  for (int percent : kVolumeSteps) {
    QAction* action = levels->addAction(QStringLiteral("%1%").arg(percent));
    action->setCheckable(true);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, percent] { SetVolume(percent); });
    volumeActions_[percent] = action;
  }
  recordAction_ = menu->addAction(tr("录音        Ctrl+R"));
  recordAction_->setCheckable(true);
  connect(recordAction_, &QAction::triggered, this, [this] {
    if (emulator->Recording()) {
      StopRecording();
    } else {
      StartRecording();
    }
  });

  auto* muteKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+M")), this);
  connect(muteKey, &QShortcut::activated, this, [this] { SetMute(!view.mute); });
  auto* recordKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+R")), this);
  connect(recordKey, &QShortcut::activated, recordAction_, &QAction::trigger);

  recordLabel_ = new QLabel(this);
  recordLabel_->setObjectName(QStringLiteral("recording"));
  statusBar()->addPermanentWidget(recordLabel_);

  muteAction_->setChecked(view.mute);
  // A level set by hand between the steps leaves every step unchecked.
  if (auto step = volumeActions_.find(view.volume); step != volumeActions_.end()) step->second->setChecked(true);
  ApplyVolume();
}

void MainWindow::ApplyVolume() {
  if (!waveDevice_) return;
  // The steps are heard as even ones: the sink's volume is linear.
  const double level = view.mute ? 0.0
                                 : QAudio::convertVolume(view.volume / 100.0, QAudio::LogarithmicVolumeScale,
                                                         QAudio::LinearVolumeScale);
  waveDevice_->SetVolume(level);
}

void MainWindow::SetVolume(int percent) {
  view.volume = std::clamp(percent, 0, ViewSettings::kMaxVolume);
  for (auto& [step, action] : volumeActions_) action->setChecked(step == view.volume);
  SaveViewSetting(ViewEntry::kVolume);
  ApplyVolume();
}

void MainWindow::SetMute(bool on) {
  view.mute = on;
  muteAction_->setChecked(on);
  SaveViewSetting(ViewEntry::kMute);
  ApplyVolume();
  ShowStatus(on ? tr("静音") : tr("声音已打开"));
}

void MainWindow::StartRecording() {
  std::string path, error;
  if (emulator->StartRecording(PictureFolder(), Now(), &path, &error)) {
    ShowStatus(tr("正在录音: %1").arg(QString::fromStdString(path)));
    recordLabel_->setText(tr("录音"));
  } else {
    ShowProblem(tr("无法录音: %1\n").arg(QString::fromStdString(error)));
  }
  recordAction_->setChecked(emulator->Recording());
}

void MainWindow::StopRecording() {
  if (!emulator || !emulator->Recording()) return;
  const QString path = QString::fromStdString(emulator->recorder->path());
  const double seconds = emulator->RecordedSeconds();
  std::string error;
  if (emulator->StopRecording(&error)) {
    ShowStatus(tr("录音已保存: %1（%2 秒）").arg(path).arg(seconds, 0, 'f', 1));
  } else {
    ShowProblem(tr("录音在 %2 秒处中断，文件保留到中断前: %1\n").arg(QString::fromStdString(error)).arg(seconds, 0, 'f', 1));
  }
  recordLabel_->clear();
  recordAction_->setChecked(false);
}

void MainWindow::CheckRecording() {
  if (emulator->Recording() && !emulator->RecordingError().empty()) StopRecording();
}

}  // namespace rq4800
