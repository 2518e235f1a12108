#include "app/appearance.h"
#include "app/form1.h"
#include "app/translations.h"
#include "components/desktop.h"
#include "components/webenginebrowser.h"
#include "documents/pdfpages.h"

#include <QApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// Chromium refuses to run its sandbox as root; such a user would otherwise get no browser at all.
void allowRunningAsRoot()
{
    if (geteuid() != 0)
        return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--no-sandbox"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --no-sandbox");
}

} // namespace

int main(int argc, char *argv[])
{
    allowRunningAsRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(veltrik::Form1::kAppTitle);
    veltrik::installFontFallbacks();
    if (!veltrik::installChineseTranslations(app))
        std::fputs("veltrik: Qt's Chinese translations are missing (qt6-translations-l10n)\n", stderr);
    veltrik::enablePdfDocuments();

    veltrik::SystemDesktop desktop;
    veltrik::Form1Services services;
    services.desktop = &desktop;
    services.makeBrowser = [](QWidget *parent) { return new veltrik::WebEngineBrowser(parent); };
    services.endpoints = veltrik::Endpoints::fromEnvironment();

    veltrik::Form1 window(std::move(services));
    window.show();
    return app.exec();
}
