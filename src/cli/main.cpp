#include "cli.h"
#include "documents/pdfpages.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    veltrik::enablePdfDocuments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return veltrik::runCli(QCoreApplication::arguments().mid(1), out, err);
}
