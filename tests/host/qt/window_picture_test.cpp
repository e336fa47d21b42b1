// The "视图" and "声音" menus on Qt's offscreen platform.
#include <QImage>

#include "host/qt/screen_widget.h"
#include "host/skin_layout.h"
#include "sound/wave_device.h"
#include "tests/host/qt/window_fixture.h"

namespace rq4800 {

namespace {

// A sound card that plays one block per pass of the main loop and keeps
// everything it played.
struct PlayingDevice final : IWaveDevice {
  std::vector<int16_t> played;
  int queued = 0;
  bool Open() override { return true; }
  bool Prepare(WaveBlock& block) override { return block.prepared = true; }
  void Unprepare(WaveBlock& block) override { block.prepared = false; }
  void Queue(WaveBlock& block) override {
    played.insert(played.end(), block.data, block.data + block.bytes / 2);
    ++queued;
  }
  int TakeFinishedBlocks() override { return queued > 0 ? (--queued, 1) : 0; }
};

std::vector<int16_t> WavSamples(const std::string& path) {
  const std::string b = ReadAll(path);
  std::vector<int16_t> samples;
  if (b.size() < 44 || b.compare(0, 4, "RIFF") != 0) return samples;
  for (size_t at = 44; at + 1 < b.size(); at += 2) {
    samples.push_back(static_cast<int16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8));
  }
  return samples;
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& extension) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == extension) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

class WindowPictureTest : public QObject, WindowScratch {
  Q_OBJECT

  std::unique_ptr<MainWindow> MakeWindow() { return MakeTestWindow(Folder(), clock); }

  // The key-word a click at frame pixel (x, y) leaves, at the window's present size.
  uint32_t ClickAt(MainWindow& window, int x, int y) {
    const Placement p = window.screenWidget->CurrentPlacement();
    const QPoint at(static_cast<int>(p.x + (x + 0.5) * p.scale), static_cast<int>(p.y + (y + 0.5) * p.scale));
    QTest::mousePress(window.screenWidget, Qt::LeftButton, Qt::NoModifier, at);
    const uint32_t word = window.machine->bus.keyWords[3];
    QTest::mouseRelease(window.screenWidget, Qt::LeftButton, Qt::NoModifier, at);
    RunFor(window, 40);
    return word;
  }

 private slots:
  void init() { QVERIFY(Begin()); }
  void cleanup() { End(); }

  void eachScaleSizesTheWindowAndClicksPressTheSameKey() {
    auto window = MakeWindow();
    window->show();
    QCOMPARE(window->screenWidget->size(), QSize(470, 611));
    const QSize one = window->size();
    QCOMPARE(ClickAt(*window, 45, 495), 0x01u);  // the A key
    for (int scale : {2, 3, 1}) {
      window->SetScale(scale);
      QCOMPARE(window->screenWidget->size(), QSize(470, 611) * scale);
      QCOMPARE(window->size(), one + QSize(470, 611) * (scale - 1));
      QCOMPARE(window->screenWidget->CurrentPlacement().scale, double(scale));
      // The key's corners just inside its region, and the pixel just outside.
      QCOMPARE(ClickAt(*window, 30, 485), 0x01u);
      QCOMPARE(ClickAt(*window, 61, 506), 0x01u);
      QCOMPARE(ClickAt(*window, 29, 495), 0x00u);
    }
    // The picture shown is the frame, every pixel a square of the step.
    window->SetScale(2);
    const QImage shown = window->screenWidget->grab().toImage();
    const Image& frame = window->emulator->screen.frameBuffer;
    for (auto [x, y] : {std::pair{0, 0}, {45, 495}, {200, 100}, {469, 610}}) {
      for (auto [dx, dy] : {std::pair{0, 0}, {1, 1}}) {
        QCOMPARE(shown.pixel(2 * x + dx, 2 * y + dy), frame.At(x, y));
      }
    }
    QCOMPARE(QString::fromStdString(ReadAll(Folder() + "rq4800.ini")).contains("[Window]\nScale=2\n"), true);
  }

  void aResizedWindowShowsTheLargestWholeStepOrASmoothFit() {
    auto window = MakeWindow();
    window->show();
    const QSize bars = window->size() - window->screenWidget->size();
    struct Row {
      QSize space;
      bool smooth;
      double scale;
    };
    const Row rows[] = {
        {{1500, 2000}, false, 3.0},   // room for 3x
        {{1500, 1300}, false, 2.0},   // 3x is too tall
        {{1500, 1300}, true, 1300.0 / 611},
        {{470, 611}, true, 1.0},
    };
    for (const Row& row : rows) {
      window->SetSmooth(row.smooth);
      window->resize(row.space + bars);
      QCOMPARE(window->screenWidget->size(), row.space);
      QCOMPARE(window->screenWidget->CurrentPlacement().scale, row.scale);
    }
    // Clicks still find their key in a big window.
    window->SetSmooth(false);
    window->resize(QSize(1500, 2000) + bars);
    QCOMPARE(ClickAt(*window, 45, 495), 0x01u);
  }

  void fullScreenTogglesWithF11AndEscStillReachesTheDevice() {
    auto window = MakeWindow();
    ShowActive(*window);
    QTest::keyClick(window.get(), Qt::Key_F11);
    QVERIFY(window->isFullScreen());
    QVERIFY(window->menuBar()->isHidden());
    QTest::keyClick(window.get(), Qt::Key_F10);  // the menu bar comes back on F10...
    QVERIFY(!window->menuBar()->isHidden());
    QTest::keyClick(window.get(), Qt::Key_F10);  // ...and goes again
    QVERIFY(window->menuBar()->isHidden());

    uint32_t* keyWords = window->machine->bus.keyWords;
    QTest::keyPress(window.get(), Qt::Key_Escape);
    QVERIFY(window->isFullScreen());  // Esc is the device's
    QVERIFY(std::any_of(keyWords, keyWords + 8, [](uint32_t w) { return w != 0; }));
    RunFor(*window, 40);
    QTest::keyRelease(window.get(), Qt::Key_Escape);
    QVERIFY(std::all_of(keyWords, keyWords + 8, [](uint32_t w) { return w == 0; }));

    QTest::keyClick(window.get(), Qt::Key_F11);
    QVERIFY(!window->isFullScreen());
    QVERIFY(!window->menuBar()->isHidden());
  }

  // On a high-DPI screen the picture is painted at the device's own pixels,
  // nearest-neighbour: every device pixel is one frame pixel's colour, never a
  // blend, at a whole ratio and at a fractional one alike.
  void theScreenIsSharpAtAnyDevicePixelRatio() {
    auto window = MakeWindow();
    window->show();
    RunFor(*window, 500);
    const Image& frame = window->emulator->screen.frameBuffer;
    for (const double ratio : {2.0, 1.5}) {
      const QSize logical = window->screenWidget->size();
      QImage shown(logical * ratio, QImage::Format_RGB32);
      shown.setDevicePixelRatio(ratio);
      window->screenWidget->render(&shown);
      int checked = 0;
      for (int y = 0; y < shown.height(); y += 3) {
        for (int x = 0; x < shown.width(); x += 3, ++checked) {
          const int fx = static_cast<int>((x + 0.5) / ratio), fy = static_cast<int>((y + 0.5) / ratio);
          QVERIFY2(shown.pixel(x, y) == (frame.At(fx, fy) | 0xFF000000u),
                   qPrintable(QStringLiteral("ratio %1 at %2,%3").arg(ratio).arg(x).arg(y)));
        }
      }
      QVERIFY(checked > 10000);
    }
  }

  void theLcdOnlyViewShowsThePanelAndTakesNoClicks() {
    auto window = MakeWindow();
    ShowActive(*window);
    RunFor(*window, 1000);  // the firmware has drawn its screen
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
    QVERIFY(window->view.lcdOnly);
    QCOMPARE(window->machine->bus.keyWords[3], 0u);  // Ctrl+L is no device key
    QCOMPARE(window->screenWidget->size(), QSize(378, 160));
    const QImage shown = window->screenWidget->grab().toImage();
    const Image& frame = window->emulator->screen.frameBuffer;
    for (int y = 0; y < 160; y += 7) {
      for (int x = 0; x < 378; x += 5) {
        QCOMPARE(shown.pixel(x, y), frame.At(skin::kPanelLeft + x, skin::kPanelTop + y));
      }
    }
    QTest::mousePress(window->screenWidget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 100));
    QVERIFY(std::all_of(window->machine->bus.keyWords, window->machine->bus.keyWords + 8,
                        [](uint32_t w) { return w == 0; }));
    QTest::mouseRelease(window->screenWidget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 100));
    window->SetScale(3);
    QCOMPARE(window->screenWidget->size(), QSize(378 * 3, 160 * 3));
  }

  void aScreenshotHoldsTheFrameAtItsScaleAndNeverReplacesAFile() {
    auto window = MakeWindow();
    ShowActive(*window);
    RunFor(*window, 1000);
    window->SetScale(2);
    QTest::keyClick(window.get(), Qt::Key_F12);
    const QString second = window->TakeScreenshot();
    const std::vector<std::string> shots = FilesIn(Folder(), ".png");
    QCOMPARE(shots.size(), size_t{2});
    QVERIFY(shots[1] == second.toStdString() || shots[0] == second.toStdString());
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("截图已保存: ") + second);
    for (const std::string& shot : shots) {
      QVERIFY(QString::fromStdString(shot).contains(QRegularExpression("/rq4800-\\d{8}-\\d{6}(-2)?\\.png$")));
      const QImage picture(QString::fromStdString(shot));
      QCOMPARE(picture.size(), QSize(940, 1222));
      const Image& frame = window->emulator->screen.frameBuffer;
      for (int y = 0; y < 1222; y += 13) {
        for (int x = 0; x < 940; x += 11) QCOMPARE(picture.pixel(x, y), frame.At(x / 2, y / 2));
      }
    }
    // A folder that is gone: the reason is shown and nothing is written.
    window->SetPictureFolder(Folder() + "gone");
    QCOMPARE(window->TakeScreenshot(), QString());
    QVERIFY(window->statusBar()->currentMessage().startsWith(QStringLiteral("问题: 截图失败: ")));
  }

  void volumeMuteAndScaleAreKeptForTheNextWindow() {
    {
      auto window = MakeWindow();
      ShowActive(*window);
      window->SetVolume(50);
      QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
      QVERIFY(window->view.mute);
      QCOMPARE(window->machine->bus.keyWords[2], 0u);  // Ctrl+M is no device key
      window->SetScale(2);
    }
    auto again = MakeWindow();
    QCOMPARE(again->view.volume, 50);
    QVERIFY(again->view.mute);
    QCOMPARE(again->screenWidget->size(), QSize(940, 1222));
    QStringList checked;
    for (QAction* title : again->menuBar()->actions()) {
      for (QAction* item : title->menu()->actions()) {
        if (item->isChecked()) checked << item->text();
        if (item->menu() == nullptr) continue;
        for (QAction* sub : item->menu()->actions()) {
          if (sub->isChecked()) checked << sub->text();
        }
      }
    }
    QCOMPARE(checked, QStringList({"跟随系统", "2×", "静音        Ctrl+M", "50%"}));
  }

  // The file holds exactly the blocks the sound card played from the start
  // to the stop, and quitting ends a recording with a whole file.
  void aRecordingHoldsWhatPlayedAndEndsCleanlyAtQuit() {
    PlayingDevice device;
    auto window = MakeTestWindow(Folder(), clock, false, [&](DesktopOptions& o) { o.waveDevice = &device; });
    ShowActive(*window);
    RunFor(*window, 200);
    const size_t from = device.played.size();
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(window->emulator->Recording());
    QCOMPARE(window->machine->bus.keyWords[2], 0u);  // Ctrl+R is no device key
    for (int i = 0; i < 30; ++i) {
      for (int k = 0; k < 882; ++k) window->emulator->ring.Push(static_cast<int16_t>(k % 3 == 0 ? 1234 : -1234));
      RunFor(*window, 20);
    }
    const size_t to = device.played.size();
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(!window->emulator->Recording());
    QVERIFY(window->statusBar()->currentMessage().startsWith(QStringLiteral("录音已保存: ")));
    RunFor(*window, 100);

    const std::vector<std::string> files = FilesIn(Folder(), ".wav");
    QCOMPARE(files.size(), size_t{1});
    const std::vector<int16_t> recorded = WavSamples(files[0]);
    QCOMPARE(recorded.size(), to - from);
    QVERIFY(std::equal(recorded.begin(), recorded.end(), device.played.begin() + static_cast<long>(from)));
    QVERIFY(std::count(recorded.begin(), recorded.end(), int16_t{1234}) > 0);

    window->StartRecording();
    RunFor(*window, 100);
    window->Quit();
    QVERIFY(!window->emulator->Recording());
    QCOMPARE(FilesIn(Folder(), ".wav").size(), size_t{2});
    QVERIFY(WavSamples(FilesIn(Folder(), ".wav")[1]).size() > 0);
  }

  // The command line's scale holds for the run; the settings keep theirs.
  void theCommandLinesScaleHoldsForTheRunOnly() {
    std::ofstream(Folder() + "rq4800.ini") << "[CPU]\nFrequency=1000\n[Window]\nScale=2\n";
    auto window = MakeTestWindow(Folder(), clock, true, [](DesktopOptions& o) { o.scale = 3; });
    QCOMPARE(window->screenWidget->size(), QSize(470, 611) * 3);
    QVERIFY(ReadAll(Folder() + "rq4800.ini").find("Scale=2") != std::string::npos);
  }
};

}  // namespace rq4800

QTEST_MAIN(rq4800::WindowPictureTest)
#include "window_picture_test.moc"
