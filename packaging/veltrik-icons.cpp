#include "appearance/appearance.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

// Writes the program's icon as PNG files for an icon theme, DIR/NxN/apps/veltrik.png for each SIZE given,
// drawn the way the running program draws its window icon.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 3) {
        std::fputs("usage: veltrik-icons DIR SIZE...\n", stderr);
        return 2;
    }
    veltrik::installFontFallbacks();
    for (const QString &sizeText : arguments.mid(2)) {
        bool isNumber = false;
        const int size = sizeText.toInt(&isNumber);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[1], sizeText);
        if (!isNumber || size <= 0 || !QDir().mkpath(folder) ||
            !veltrik::mainWindowIconImage(size).save(folder + QStringLiteral("/veltrik.png"))) {
            std::fprintf(stderr, "veltrik-icons: cannot write the %s icon into %s\n", qPrintable(sizeText),
                         qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
