// The PDF report through the real browser engine, read back with pdftotext.
#include "app/reportpdf.h"
#include "app/resultswindow.h"
#include "support/fakedesktop.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

const QString kArticle = u"论文的第一段写在这里。\r\n第二段说明研究方法与结论。"_qs;

CheckResults sampleCheck()
{
    CheckResults check;
    check.articleName = u"毕业论文.docx"_qs;
    check.article = kArticle;
    check.pieces = {u"论文的第一段写在这里。第二段说"_qs, u"明研究方法与结论。"_qs};
    check.results = {{PieceState::Compared, 62, {{u"<b>来源</b>"_qs, u"https://source.test/"_qs}}},
                     {PieceState::Compared, 12, {}}};
    check.similaritySum = 74;
    check.resultCount = 3; // two pages counted
    return check;
}

QString pdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_qs, {u"-enc"_qs, u"UTF-8"_qs, path, u"-"_qs});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    // The text is laid out in lines: compare without the breaks the layout put in.
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).remove(u'\n').remove(u' ');
}

TEST(ReportPdfTest, ExportAsPdfWritesAValidPdfWithTheArticle)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(u"pdftotext"_qs).isEmpty()) << "poppler-utils is needed";
    testing::FakeDesktop desktop;
    ResultsWindow window(desktop);
    window.showCheck(sampleCheck(), RunPhase::Finished);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"报告.pdf"_qs);
    desktop.nextChosenFile = path;
    QSignalSpy exported(&window, &ResultsWindow::pdfExported);
    QTest::mouseClick(window.exportButton(), Qt::LeftButton);
    ASSERT_TRUE(exported.wait(120000));
    EXPECT_TRUE(exported.first().first().toBool());
    EXPECT_TRUE(desktop.boxes.isEmpty()) << desktop.boxes.join(u'\n').toStdString();

    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    const QString text = pdfText(path);
    for (const QString &expected : {u"论文的第一段写在这里。"_qs, u"第二段说明研究方法与结论。"_qs, u"毕业论文.docx"_qs,
                                    u"<b>来源</b>"_qs, u"37%"_qs})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n" << text.toStdString();
}

TEST(ReportPdfTest, AFolderThatCannotBeWrittenFails)
{
    ReportPdf writer;
    std::optional<bool> result;
    writer.write(u"<p>x</p>"_qs, u"/nonexistent-folder/报告.pdf"_qs, [&result](bool ok) { result = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&result] { return result.has_value(); }, 120000));
    EXPECT_FALSE(*result);
}

} // namespace
} // namespace veltrik
