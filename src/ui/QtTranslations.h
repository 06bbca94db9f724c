// Qt's own words (the file dialogs, the message box buttons, the text box's
// context menu) in the user's language, from the translations that ship with Qt.
#pragma once

class QCoreApplication;

namespace ekoto {

// Installs Qt's translation for the system locale on app. Returns false, leaving
// Qt's English, when there is none for that locale (or the locale is C/English).
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace ekoto
