// Entry point of the tests that need a QApplication (widgets, or the browser engine).
#include "appearance/appearance.h"
#include "documents/pdfpages.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    veltrik::installFontFallbacks();
    veltrik::enablePdfDocuments();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
