#include "app/QtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void QtTexts::Apply(bool english) {
    static QTranslator *russian = nullptr;
    static bool loaded = false;
    static bool installed = false;
    if (!russian) {
        russian = new QTranslator(QCoreApplication::instance());
        // Without the system's translations (qt6-translations-l10n) Qt keeps its English texts.
        loaded = russian->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    if (!loaded || english != installed) return;
    if (english) QCoreApplication::removeTranslator(russian);
    else QCoreApplication::installTranslator(russian);
    installed = !english;
}
