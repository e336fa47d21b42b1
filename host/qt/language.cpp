#include "host/qt/language.h"

#include <QAction>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTranslator>

namespace rq4800 {

namespace {

// Translators this code installed carry this name, so a later choice (a test
// making windows in both languages) finds and replaces them.
constexpr const char* kTranslatorName = "rq4800-translator";

bool Install(const QString& file, const QString& folder) {
  auto* translator = new QTranslator(QCoreApplication::instance());
  translator->setObjectName(QLatin1String(kTranslatorName));
  if (!translator->load(file, folder) || !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> SystemUiLanguages() {
  std::vector<std::string> languages;
  for (const QString& tag : QLocale::system().uiLanguages()) languages.push_back(tag.toStdString());
  return languages;
}

bool InstallLanguage(Language language) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  for (QTranslator* old : app->findChildren<QTranslator*>(QLatin1String(kTranslatorName), Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (language == Language::kChinese) {
    Install(QStringLiteral("qtbase_zh_CN"), qtFolder);
    return true;
  }
  return Install(QStringLiteral("rq4800_en"), QStringLiteral(":/i18n"));
}

QMenu* FindMenu(QMenuBar* bar, const QString& sourceTitle) {
  for (QAction* action : bar->actions()) {
    if (QMenu* menu = action->menu(); menu != nullptr && menu->objectName() == sourceTitle) return menu;
  }
  return nullptr;
}

}  // namespace rq4800
