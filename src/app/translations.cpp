#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace veltrik {

bool installChineseTranslations(QCoreApplication &application)
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    // Dates and sizes in the file dialogs, and the language the browser engine asks pages for.
    QLocale::setDefault(chinese);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool complete = true;
    for (const char *catalogue : {"qtbase", "qtwebengine"}) {
        auto *translator = new QTranslator(&application);
        if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
        } else {
            delete translator;
            complete = false;
        }
    }
    return complete;
}

} // namespace veltrik
