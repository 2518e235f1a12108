#include "app/resultswindow.h"
#include "components/richeditor.h"
#include "support/distinctpieces.h"
#include "support/form1fixture.h"
#include "support/resultpages.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;
using testing::resultItem;
using testing::resultPage;

constexpr int kPieces = 8;

// Highlight lengths that give a 38-character piece 55 %, 32 % and 8 %.
constexpr int kHigh = 700;
constexpr int kMedium = 412;
constexpr int kLow = 100;

class ResultsWindowTest : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;

    void SetUp() override
    {
        form.RichTextBox1()->setText(testing::articleOfDistinctPieces(kPieces));
        form.Command1()->click();
        form.jieguo()->trigger();
        ASSERT_NE(form.resultsWindow(), nullptr);
        window = form.resultsWindow();
    }

    // 手动对比 and its page.
    void compareNext(int highlight, const QString &items = QString())
    {
        QTest::mouseClick(form.Command2(), Qt::LeftButton);
        fixture.browser1()->arrive(resultPage(highlight, items));
    }

    QTableView *table() const { return window->pieceTable(); }
    QString cell(int row, int column) const { return table()->model()->index(row, column).data().toString(); }

    void clickCell(int row, int column)
    {
        const QRect rect = table()->visualRect(table()->model()->index(row, column));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    void clickHeader(int column)
    {
        QHeaderView *header = table()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    QColor articleBackground(int position) const
    {
        QTextCursor cursor(window->articleView()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().background().color();
    }

    ResultsWindow *window = nullptr;
};

TEST_F(ResultsWindowTest, MenuItemShowsEveryPieceUnchecked)
{
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), u"检测结果"_qs);
    EXPECT_EQ(form.jieguo()->text(), u"检测结果"_qs);
    EXPECT_EQ(table()->model()->rowCount(), kPieces);
    EXPECT_EQ(cell(0, 1), testing::distinctPiece(0, kPieces));
    EXPECT_EQ(cell(3, 2), u"未检测"_qs);
    EXPECT_EQ(window->progressBar()->value(), 0);
    EXPECT_EQ(window->progressBar()->maximum(), kPieces);
    EXPECT_TRUE(window->progressLabel()->text().startsWith(u"已完成 0 句，剩余 8 句"_qs));
    EXPECT_EQ(window->phaseLabel()->text(), u"状态：已停止"_qs);
    EXPECT_EQ(window->overallLabel()->text(), u"总体相似度：—"_qs);
    EXPECT_TRUE(window->levelLabel(Level::NotChecked)->text().endsWith(u"未检测：8 句"_qs));
}

TEST_F(ResultsWindowTest, AScoredPageShowsThePieceByItsLevel)
{
    compareNext(kHigh, resultItem(u"某网站"_qs, u"http://a.test/"_qs));
    EXPECT_EQ(cell(0, 2), u"55%"_qs);
    EXPECT_EQ(cell(0, 3), u"1"_qs);
    EXPECT_EQ(cell(0, 4), u"某网站"_qs);
    EXPECT_EQ(window->progressBar()->value(), 1);
    EXPECT_EQ(window->overallLabel()->text(), u"总体相似度：55%"_qs);
    EXPECT_TRUE(window->levelLabel(Level::High)->text().endsWith(u"高（≥ 50%）：1 句"_qs));
    EXPECT_TRUE(window->levelLabel(Level::NotChecked)->text().endsWith(u"未检测：7 句"_qs));
    EXPECT_EQ(articleBackground(0), QColor(levelInfo(Level::High).background));
    EXPECT_NE(articleBackground(40), QColor(levelInfo(Level::High).background)) << "the next piece is unchecked";

    compareNext(kLow);
    EXPECT_EQ(cell(1, 2), u"8%"_qs);
    EXPECT_EQ(window->overallLabel()->text(), u"总体相似度：31.5%"_qs);
}

TEST_F(ResultsWindowTest, HeaderClicksSortBySimilarity)
{
    compareNext(kLow);
    compareNext(kHigh);
    compareNext(kMedium);
    clickHeader(2);
    const QString first = cell(0, 2);
    clickHeader(2);
    const QString firstReversed = cell(0, 2);
    EXPECT_TRUE((first == u"55%" && firstReversed == u"未检测") || (first == u"未检测" && firstReversed == u"55%"))
        << first.toStdString() << " / " << firstReversed.toStdString();
    clickHeader(0);
    EXPECT_EQ(cell(0, 0), u"1"_qs);
}

TEST_F(ResultsWindowTest, FilterShowsOneLevel)
{
    compareNext(kLow);
    compareNext(kHigh);
    compareNext(kMedium);
    QComboBox *filter = window->levelFilter();
    filter->setFocus();
    QTest::keyClick(filter, Qt::Key_Down); // 高
    EXPECT_EQ(filter->currentText(), u"高"_qs);
    ASSERT_EQ(table()->model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 0), u"2"_qs);
    QTest::keyClick(filter, Qt::Key_End); // 未检测
    EXPECT_EQ(table()->model()->rowCount(), kPieces - 3);
    QTest::keyClick(filter, Qt::Key_Home); // 全部
    EXPECT_EQ(table()->model()->rowCount(), kPieces);
}

TEST_F(ResultsWindowTest, ClickOnARowSelectsThePieceInTheEditorAsTheListDoes)
{
    compareNext(kLow);
    clickCell(5, 1);
    const QString piece = testing::distinctPiece(5, kPieces);
    EXPECT_EQ(form.RichTextBox1()->selText(), piece);
    EXPECT_EQ(form.List1()->currentRow(), 5);
}

TEST_F(ResultsWindowTest, ClickOnASortedRowSelectsItsOwnPiece)
{
    compareNext(kLow);
    compareNext(kHigh);
    clickHeader(2);
    clickHeader(2);
    ASSERT_EQ(cell(0, 2), u"55%"_qs);
    clickCell(0, 1);
    EXPECT_EQ(form.RichTextBox1()->selText(), testing::distinctPiece(1, kPieces));
}

TEST_F(ResultsWindowTest, SiteLinksOpenInTheDefaultBrowserOtherAddressesDoNot)
{
    const QString items =
        resultItem(u"重复的站"_qs, u"https://site.test/page"_qs) + resultItem(u"本地文件"_qs, u"file:///etc/passwd"_qs);
    compareNext(kMedium, items);
    compareNext(kMedium, items);
    QTableWidget *sites = window->sitesView();
    ASSERT_TRUE(QTest::qWaitFor([sites] { return sites->rowCount() == 2; }, 5000));
    for (int row = 0; row < 2; ++row) {
        const QRect rect = sites->visualItemRect(sites->item(row, 0));
        QTest::mouseClick(sites->viewport(), Qt::LeftButton, {}, rect.center());
    }
    EXPECT_EQ(sites->item(0, 1)->text(), u"2"_qs);
    EXPECT_EQ(fixture.desktop.openedAddresses, QStringList{u"https://site.test/page"_qs});
}

TEST_F(ResultsWindowTest, ABrowserThatCannotBeStartedIsReported)
{
    const QString items = resultItem(u"重复的站"_qs, u"https://site.test/page"_qs);
    compareNext(kMedium, items);
    compareNext(kMedium, items);
    QTableWidget *sites = window->sitesView();
    ASSERT_TRUE(QTest::qWaitFor([sites] { return sites->rowCount() == 1; }, 5000));
    fixture.desktop.shellWorks = false;
    const QPoint title = sites->visualItemRect(sites->item(0, 0)).center();
    QTest::mouseClick(sites->viewport(), Qt::LeftButton, {}, title);
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"critical|错误：|调用浏览器错误！"_qs});
}

TEST_F(ResultsWindowTest, StartOpensTheWindowAndItNamesTheRunState)
{
    window->close();
    QTest::mouseClick(form.Command3(), Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->phaseLabel()->text(), u"状态：运行中"_qs);
    QTest::mouseClick(form.Command4(), Qt::LeftButton);
    EXPECT_EQ(window->phaseLabel()->text(), u"状态：已停止"_qs);
}

TEST_F(ResultsWindowTest, EveryPieceComparedIsFinished)
{
    for (int piece = 0; piece < kPieces; ++piece)
        compareNext(kLow);
    EXPECT_EQ(window->phaseLabel()->text(), u"状态：已完成"_qs);
    EXPECT_EQ(window->progressBar()->value(), kPieces);
}

TEST_F(ResultsWindowTest, ExportWritesTheHtmlReportAndAsksBeforeReplacing)
{
    compareNext(kHigh);
    QTemporaryDir folder;
    fixture.desktop.nextChosenFile = folder.filePath(u"报告"_qs);
    QTest::mouseClick(window->exportButton(), Qt::LeftButton);
    QFile written(folder.filePath(u"报告.html"_qs));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(written.readAll());
    written.close();
    EXPECT_TRUE(html.contains(testing::distinctPiece(7, kPieces)));
    EXPECT_TRUE(html.contains(u"55%"_qs));

    fixture.desktop.nextChosenFile = folder.filePath(u"报告.html"_qs);
    fixture.desktop.answerYes = false;
    compareNext(kLow);
    QTest::mouseClick(window->exportButton(), Qt::LeftButton);
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_TRUE(fixture.desktop.boxes.first().contains(u"已经存在"_qs));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()), html) << "kept when the user says no";
}

TEST_F(ResultsWindowTest, ExportIntoAFolderThatCannotBeWrittenSaysSo)
{
    fixture.desktop.nextChosenFile = u"/nonexistent-folder/报告.html"_qs;
    QTest::mouseClick(window->exportButton(), Qt::LeftButton);
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_TRUE(fixture.desktop.boxes.first().startsWith(u"critical|导出报告|无法写入文件"_qs));
}

} // namespace
} // namespace veltrik
