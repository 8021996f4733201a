#pragma once
// Qt's own Japanese texts (the standard buttons はい, いいえ, キャンセル, the context menus of
// text boxes...) for a program whose every other text is Japanese, whatever the locale.
// Call once on the UI thread after the application object exists.
#include <QString>

class QCoreApplication;

namespace tavora::framework::ui {

// Loads "qtbase_ja" from Qt's translations folder and installs it on the application (which
// owns it). False when the translations are not installed; Qt's English texts remain then.
bool installQtJapaneseTranslations(QCoreApplication& app);

// The folder the translations are read from.
QString qtTranslationsPath();

} // namespace tavora::framework::ui
