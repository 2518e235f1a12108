#include "app/checkkeeper.h"
#include "app/form1.h"
#include "app/translations.h"
#include "appearance/appearance.h"
#include "components/backgroundwork.h"
#include "components/desktop.h"
#include "components/webenginebrowser.h"
#include "documents/pdfpages.h"

#include <QApplication>
#include <QCommandLineParser>

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

void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("Checks an article for text already on the web."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version print and end the program before the window system is reached, so that they
// also work without a display.
void answerInformationOptions(int &argc, char *argv[])
{
    QCommandLineParser parser;
    describeOptions(parser);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // The window system's own options (-platform, -style, ...) are unknown here; QApplication takes them.
    parser.parse(arguments);
    if (!parser.isSet(QStringLiteral("help")) && !parser.isSet(QStringLiteral("help-all")) &&
        !parser.isSet(QStringLiteral("version")))
        return;
    QCoreApplication terminal(argc, argv);
    parser.process(terminal);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(veltrik::Form1::kAppTitle);
    QCoreApplication::setApplicationVersion(QLatin1StringView(veltrik::kVersion));
    answerInformationOptions(argc, argv);
    allowRunningAsRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("net.veltrik.veltrik"));
    QCommandLineParser options;
    describeOptions(options);
    options.process(app);
    veltrik::installFontFallbacks();
    if (!veltrik::installChineseTranslations(app))
        std::fputs("veltrik: Qt's Chinese translations are missing (qt6-translations-l10n)\n", stderr);
    veltrik::enablePdfDocuments();

    veltrik::SystemDesktop desktop;
    veltrik::Form1Services services;
    services.desktop = &desktop;
    services.makeBrowser = [](QWidget *parent) { return new veltrik::WebEngineBrowser(parent); };
    services.endpoints = veltrik::Endpoints::fromEnvironment();
    services.automaticCheckFile = veltrik::automaticCheckFile();

    veltrik::Form1 window(std::move(services));
    window.show();
    const int status = app.exec();
    // Windows closed at the end are destroyed now, which asks their work in the background to stop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    veltrik::waitForBackgroundWork();
    return status;
}
