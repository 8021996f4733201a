#include "framework/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tavora::framework::ui {

QString qtTranslationsPath() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool installQtJapaneseTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), qtTranslationsPath()) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace tavora::framework::ui
