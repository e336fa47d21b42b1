// The window's language: English texts under an English system or setting,
// the Chinese source texts under Chinese, the setting over the system, the
// "语言" submenu, and a translation file that leaves no text behind.
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "host/qt/about_dialog.h"
#include "host/qt/language.h"
#include "tests/host/qt/window_fixture.h"

namespace rq4800 {

namespace {

QStringList MenuTitles(MainWindow& window) {
  QStringList titles;
  for (QAction* action : window.menuBar()->actions()) titles << action->text();
  return titles;
}

QStringList ItemTexts(QMenu* menu) {
  QStringList texts;
  for (QAction* action : menu->actions())
    if (!action->isSeparator()) texts << action->text();
  return texts;
}

}  // namespace

class WindowLanguageTest final : public QObject, WindowScratch {
  Q_OBJECT

  std::unique_ptr<MainWindow> Make(const char* setting, std::vector<std::string> system) {
    std::ofstream(Folder() + "rq4800.ini", std::ios::trunc)
        << "[CPU]\nFrequency=1000\n" << (setting ? std::string("[Interface]\nLanguage=") + setting + "\n" : "");
    return MakeTestWindow(Folder(), clock, true, [&](DesktopOptions& o) { o.systemLanguages = std::move(system); });
  }

 private slots:
  void init() { QVERIFY(Begin()); }
  void cleanup() {
    InstallLanguage(Language::kChinese);
    End();
  }

  void theSettingOrTheSystemPicksTheTexts() {
    const QStringList chinese{"文件", "设置", "视图", "声音", "状态", "帮助"},
        english{"File", "Settings", "View", "Sound", "States", "Help"};
    struct Row {
      const char* setting;
      std::vector<std::string> system;
      bool english;
    };
    const Row rows[] = {
        {nullptr, {"en-US"}, true},      {nullptr, {"zh-CN"}, false}, {"system", {"en-GB"}, true},
        {"zh", {"en-US"}, false},        {"en", {"zh-CN"}, true},     {nullptr, {"C"}, false},
    };
    for (const Row& row : rows) {
      const QString trace = QStringLiteral("%1 / %2").arg(row.setting ? row.setting : "none",
                                                          QString::fromStdString(row.system.front()));
      auto window = Make(row.setting, row.system);
      QVERIFY2(MenuTitles(*window) == (row.english ? english : chinese), qPrintable(trace));
      QCOMPARE(window->language, row.english ? Language::kEnglish : Language::kChinese);
      // The menu is found by its source title in either language.
      QMenu* file = FindMenu(window->menuBar(), QStringLiteral("文件"));
      QVERIFY2(file != nullptr, qPrintable(trace));
      QCOMPARE(ItemTexts(file).first(), row.english ? QStringLiteral("Download file...") : QStringLiteral("文件下载..."));
      QCOMPARE(window->windowTitle(), row.english ? QStringLiteral("Lumora Emulator") : QStringLiteral("Lumora模拟器"));
    }
  }

  // The English keeps the keys the Chinese names, and the texts made at run
  // time (status lines, the state slots) are translated with their values.
  void englishTextsKeepKeysAndValues() {
    auto window = Make("en", {"zh-CN"});
    const QStringList file = ItemTexts(FindMenu(window->menuBar(), QStringLiteral("文件")));
    QCOMPARE(file, (QStringList{"Download file...", "Recent files", "Initialise flash", "Save flash", "Reset        F8", "Exit"}));
    const QStringList settings = ItemTexts(FindMenu(window->menuBar(), QStringLiteral("设置")));
    QCOMPARE(settings.mid(0, 3), (QStringList{"Fast play", "Flash info", "Debug"}));
    QVERIFY(settings.contains(QStringLiteral("Language")));
    window->RefreshSlots();
    QCOMPARE(window->saveMenu->actions().first()->text(), QStringLiteral("State 1  empty    Ctrl+1"));
    window->SaveSlot(2);
    QVERIFY2(window->statusBar()->currentMessage().startsWith(QStringLiteral("State 2 saved: ")),
             qPrintable(window->statusBar()->currentMessage()));
    AboutDialog about(window.get(), &window->paths);
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QVERIFY(about.folders->text().contains(QStringLiteral("Data folder: ") + QString::fromStdString(Folder())));
  }

  void theLanguageMenuKeepsTheChoiceForTheNextStart() {
    auto window = Make(nullptr, {"zh-CN"});
    QVERIFY(window->languageMenu != nullptr);
    const QList<QAction*> choices = window->languageMenu->actions();
    QCOMPARE(ItemTexts(window->languageMenu), (QStringList{"跟随系统", "中文", "English"}));
    QVERIFY(choices[0]->isChecked());
    choices[2]->trigger();
    QVERIFY(choices[2]->isChecked() && !choices[0]->isChecked());
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("语言设置已保存，下次启动时生效"));
    QCOMPARE(MenuTitles(*window).first(), QStringLiteral("文件"));  // unchanged until then
    QCOMPARE(ReadProfileString(Folder() + "rq4800.ini", "Interface", "Language", ""), std::string("en"));
    choices[1]->trigger();  // Chinese is what shows: nothing waits for a start
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("语言设置已保存"));
    window.reset();

    window = Make("en", {"zh-CN"});
    QCOMPARE(MenuTitles(*window).first(), QStringLiteral("File"));
    QVERIFY(window->languageMenu->actions()[2]->isChecked());
  }

  // A setting that cannot be written is said to be lost, and the check mark
  // stays with the setting still in force.
  void aSettingThatCannotBeWrittenKeepsTheOldChoice() {
    auto window = Make("zh", {"zh-CN"});
    std::filesystem::remove(Folder() + "rq4800.ini");
    std::filesystem::create_directories(Folder() + "rq4800.ini/in-the-way");
    const QList<QAction*> choices = window->languageMenu->actions();
    choices[2]->trigger();
    QVERIFY(choices[1]->isChecked() && !choices[2]->isChecked());
    QVERIFY2(window->statusBar()->currentMessage().startsWith(QStringLiteral("问题: 语言设置未保存")),
             qPrintable(window->statusBar()->currentMessage()));
    QCOMPARE(window->languageSetting, LanguageSetting::kChinese);
  }

  // Every text has its English, with the same placeholders and the same keys.
  void theTranslationLeavesNoTextBehind() {
    QFile file(QStringLiteral(RQ4800_SOURCE_DIR "/translations/rq4800_en.ts"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    const QRegularExpression marks(QStringLiteral("%\\d|F\\d+|Ctrl\\+|Alt\\+|Backspace|<a href=\"%1\">|\\n"));
    const auto found = [&marks](const QString& text) {
      QStringList all;
      for (auto it = marks.globalMatch(text); it.hasNext();) all << it.next().captured();
      all.sort();
      return all;
    };
    int messages = 0;
    QString source;
    while (!xml.atEnd()) {
      xml.readNext();
      if (!xml.isStartElement()) continue;
      if (xml.name() == QLatin1String("source")) source = xml.readElementText();
      if (xml.name() == QLatin1String("translation")) {
        const QString type = xml.attributes().value(QLatin1String("type")).toString();
        const QString english = xml.readElementText();
        if (type == QLatin1String("vanished") || type == QLatin1String("obsolete")) continue;
        ++messages;
        QVERIFY2(type.isEmpty() && !english.isEmpty(), qPrintable(QStringLiteral("untranslated: ") + source));
        QVERIFY2(found(source) == found(english), qPrintable(source + QStringLiteral(" / ") + english));
        QVERIFY2(!english.contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))), qPrintable(english));
      }
    }
    QVERIFY(!xml.hasError());
    QVERIFY(messages > 40);
  }
};

}  // namespace rq4800

QTEST_MAIN(rq4800::WindowLanguageTest)
#include "window_language_test.moc"
