// Runs the local search engine until it is stopped, for trying the program without the internet:
//   veltrik-search-engine [--port N] [--security-check TEXT]
// then start the program with VELTRIK_WEB_SEARCH_BASE and VELTRIK_WENKU_BASE set to the printed address.
#include "searchengine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A local stand-in for the search engines."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (a free one when 0)."),
                      QStringLiteral("N"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("security-check"),
                      QStringLiteral("Answer queries that contain TEXT with a security check until it is passed."),
                      QStringLiteral("TEXT")});
    parser.process(app);

    veltrik::testing::SearchEngine engine;
    if (parser.isSet(QStringLiteral("security-check")))
        engine.requireSecurityCheck(parser.value(QStringLiteral("security-check")));
    if (!engine.listen(static_cast<quint16>(parser.value(QStringLiteral("port")).toUInt()))) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1 port %s\n", qPrintable(parser.value(QStringLiteral("port"))));
        return 1;
    }
    std::printf("%s\n", qPrintable(engine.base()));
    std::fflush(stdout);
    return app.exec();
}
