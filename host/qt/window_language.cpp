// The main window's language: chosen from the settings and the system's
// languages before any text is made, and the submenu "语言" under "设置"
// (跟随系统 / 中文 / English) that changes the setting. The texts are made
// once, so a new choice shows from the next start; the status bar says so.
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "core/debug_log.h"
#include "host/qt/language.h"
#include "host/qt/main_window.h"

namespace rq4800 {

void MainWindow::ApplyLanguage(const DesktopOptions& options) {
  languageSetting = ReadLanguageSetting(paths.settingsFile);
  language = ChooseLanguage(languageSetting, options.systemLanguages ? *options.systemLanguages : SystemUiLanguages());
  if (!InstallLanguage(language)) {
    ReportProblem("the English texts could not be loaded; the program's Chinese texts are shown\n");
    language = Language::kChinese;
  }
}

void MainWindow::BuildLanguageMenu() {
  QMenu* settings = FindMenu(menuBar(), QStringLiteral("设置"));
  if (settings == nullptr) return;
  languageMenu = settings->addMenu(tr("语言"));
  languageMenu->setObjectName(QStringLiteral("语言"));
  auto* group = new QActionGroup(languageMenu);
  struct Choice {
    LanguageSetting setting;
    QString text;
  };
  // Each language is named in itself, so that a reader of only one finds it.
  const Choice choices[] = {
      {LanguageSetting::kSystem, tr("跟随系统")},
      {LanguageSetting::kChinese, QStringLiteral("中文")},
      {LanguageSetting::kEnglish, QStringLiteral("English")},
  };
  for (const Choice& choice : choices) {
    QAction* action = languageMenu->addAction(choice.text);
    action->setCheckable(true);
    action->setChecked(choice.setting == languageSetting);
    action->setData(static_cast<int>(choice.setting));
    group->addAction(action);
    const LanguageSetting setting = choice.setting;
    connect(action, &QAction::triggered, this, [this, setting] { ChooseLanguageSetting(setting); });
  }
}

void MainWindow::ChooseLanguageSetting(LanguageSetting setting) {
  std::string error;
  if (readOnly) error = tr("只读").toStdString();
  if (readOnly || !WriteLanguageSetting(paths.settingsFile, setting, &error)) {
    // The check mark goes back to the setting still in force.
    for (QAction* action : languageMenu->actions())
      action->setChecked(action->data().toInt() == static_cast<int>(languageSetting));
    ShowProblem(tr("语言设置未保存: %1\n").arg(QString::fromStdString(error)));
    return;
  }
  languageSetting = setting;
  const Language next = ChooseLanguage(setting, SystemUiLanguages());
  ShowStatus(next == language ? tr("语言设置已保存") : tr("语言设置已保存，下次启动时生效"));
}

}  // namespace rq4800
