#pragma once
// The Qt side of the language choice (host/language.h): the system's
// user-interface languages as Qt sees them, and the translators of the
// chosen language installed into the application: the program's own English
// texts, carried inside the program, and Qt's translation of its standard
// dialogs (the file dialog's buttons and the like) from the system's Qt
// translations, so that those speak the program's language.
#include <QString>
#include <string>
#include <vector>

#include "host/language.h"

class QMenu;
class QMenuBar;

namespace rq4800 {

std::vector<std::string> SystemUiLanguages();

// Replaces the translators an earlier call installed. Returns false when the
// program's own translation could not be loaded (the texts then stay
// Chinese); a missing Qt translation only leaves Qt's dialogs in English.
bool InstallLanguage(Language language);

// A menu of the menu bar by its source (Chinese) title, whatever language
// it is shown in; null when there is none.
QMenu* FindMenu(QMenuBar* bar, const QString& sourceTitle);

}  // namespace rq4800
