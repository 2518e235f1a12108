#include "components/richeditor.h"
#include "support/distinctpieces.h"
#include "support/form1fixture.h"
#include "support/resultpages.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;
using testing::resultPage;

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

QString article(int pieces)
{
    return testing::articleOfDistinctPieces(pieces);
}

QString pieceQuery(int piece, int pieces)
{
    return testing::distinctPiece(piece, pieces);
}

// The query of a request address, decoded.
QString queryOf(const QString &address)
{
    return QUrlQuery(QUrl(address)).queryItemValue(u"wd"_qs, QUrl::FullyDecoded);
}

class Form1RunTest : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;
    const AnalysisState &state = form.state();

    void analyse(const QString &text)
    {
        form.RichTextBox1()->setText(text);
        form.Command1()->click();
    }

    // Requests sent to the search engine (the blank page at load left out).
    QStringList searches() const
    {
        QStringList sent = fixture.browser1()->navigations;
        sent.removeAll(u"about:blank"_qs);
        return sent;
    }

    QStringList searchedQueries() const
    {
        QStringList queries;
        for (const QString &address : searches())
            queries << queryOf(address);
        return queries;
    }
};

TEST_F(Form1RunTest, AnalysisFillsTheListAndReportsTheCounts)
{
    analyse(article(3));
    EXPECT_EQ(form.Label1()->text(), u"本文共 86 字，本次分析共分析出 3 句，请多次点击进行对比！"_qs);
    ASSERT_EQ(form.List1()->count(), 3);
    EXPECT_EQ(form.List1()->item(0)->text(), u"1-"_qs + pieceQuery(0, 3));
    EXPECT_EQ(form.List1()->currentRow(), -1);
    EXPECT_FALSE(form.Label2()->isVisible());
}

TEST_F(Form1RunTest, FirstCompareSendsRowZero)
{
    analyse(article(3));
    form.Command2()->click();
    EXPECT_EQ(searchedQueries(), QStringList{pieceQuery(0, 3)});
    EXPECT_EQ(form.Label1()->text(), u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_EQ(form.List1()->currentRow(), 0);
    EXPECT_EQ(form.RichTextBox1()->colorAt(0), kRed);
    EXPECT_EQ(form.RichTextBox1()->colorAt(38), kBlack);
    EXPECT_FALSE(form.WebBrowser1()->isHidden());
    EXPECT_FALSE(form.List1()->isHidden());
}

TEST_F(Form1RunTest, SecondCompareSendsOnlyTheNextRow)
{
    analyse(article(3));
    form.Command2()->click();
    form.Command2()->click();
    EXPECT_EQ(searchedQueries(), (QStringList{pieceQuery(0, 3), pieceQuery(1, 3)}));
    EXPECT_EQ(form.Label1()->text(), u"现在正在对比第 2 句！共 3 句。"_qs);
    EXPECT_EQ(form.List1()->currentRow(), 1);
    EXPECT_EQ(form.RichTextBox1()->colorAt(0), kBlack); // the previous mark is cleared
    EXPECT_EQ(form.RichTextBox1()->colorAt(38), kRed);
}

TEST_F(Form1RunTest, ClickOnARowInManualModeSendsItAtOnce)
{
    analyse(article(8));
    form.Command2()->click();
    form.List1()->setCurrentRow(5);
    EXPECT_EQ(searchedQueries().last(), pieceQuery(5, 8));
    form.Command2()->click();
    EXPECT_EQ(searchedQueries().last(), pieceQuery(6, 8));
    EXPECT_EQ(searches().size(), 3);
}

TEST_F(Form1RunTest, EmptyEditorAsksForTextAndStandsAlone)
{
    analyse(article(3));
    form.RichTextBox1()->setText(QString());
    form.Command3()->click();
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"information|Veltrik|请先输入关键字"_qs});
    EXPECT_FALSE(form.Command3()->isHidden());
    EXPECT_TRUE(form.List1()->isHidden());
    EXPECT_TRUE(searches().isEmpty());
}

TEST_F(Form1RunTest, WenkuMarkSendsToTheDocumentLibrary)
{
    form.baidu()->setChecked(false);
    form.wenku()->setChecked(true);
    analyse(u"研究方法"_qs);
    form.Command2()->click();
    ASSERT_EQ(searches().size(), 1);
    EXPECT_TRUE(searches()[0].startsWith(u"http://wenku.test/search?word="_qs));
    EXPECT_TRUE(searches()[0].endsWith(u"&ie=utf-8&lm=0&od=0"_qs));
}

TEST_F(Form1RunTest, ScoredPageShowsTheFiguresAndTheProgressLine)
{
    analyse(article(3));
    form.Command2()->click();
    fixture.browser1()->arrive(resultPage(412));
    EXPECT_EQ(form.Label2()->text(), u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
    EXPECT_EQ(form.Label1()->text(), u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_TRUE(fixture.browser1()->silent());
}

TEST_F(Form1RunTest, CompletionWhileBusyIsIgnored)
{
    analyse(article(3));
    form.Command2()->click();
    emit form.WebBrowser1()->downloadComplete(); // still loading
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_TRUE(state.pageHtml.isEmpty());
}

const QString kCheckPage = u"<div><p>百度安全验证</p><p>请完成下方验证</p><p>拖动左侧滑块使图片为正</p></div>"_qs;
const QString kCheckAddress = u"https://wappass.baidu.com/static/captcha/tuxing.html?ak=1"_qs;
const QString kAutomaticCheckLine = u"请在下方通过安全验证，之后自动继续对比第 %1 句"_qs;
const QString kManualCheckLine = u"请在下方通过安全验证，之后显示第 %1 句的结果"_qs;

// The check line is read beside the figures: it stays left of Label2 and within Label1's height, in the
// font Label1 really uses, for a thesis of thousands of pieces.
TEST_F(Form1RunTest, TheCheckLineFitsBesideTheFigures)
{
    const int freeWidth = form.Label2()->x() - form.Label1()->x();
    ASSERT_GT(freeWidth, 0);
    const QFontMetrics metrics(form.Label1()->font());
    EXPECT_LE(metrics.height(), form.Label1()->height());
    for (const QString &line : {kAutomaticCheckLine, kManualCheckLine}) {
        const QString text = line.arg(9999);
        EXPECT_FALSE(text.contains(u'\n'));
        EXPECT_LE(metrics.horizontalAdvance(text), freeWidth) << text.toStdString();
    }
}

TEST_F(Form1RunTest, ALinkAskingForANewWindowOpensInTheDefaultBrowser)
{
    emit form.WebBrowser1()->newWindowRequested(u"http://a.test/page"_qs);
    EXPECT_EQ(fixture.desktop.openedAddresses, QStringList{u"http://a.test/page"_qs});
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());

    fixture.desktop.shellWorks = false;
    emit form.WebBrowser1()->newWindowRequested(u"http://b.test/"_qs);
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"critical|错误：|调用浏览器错误！"_qs});
}

// Manual compare, a pacing tick while its page loads, then the start: the start's page must not make the
// tick that waited for the earlier page send the next piece at once.
TEST_F(Form1RunTest, AWaitingTickDoesNotOutliveTheRequestItWaitedFor)
{
    QElapsedTimer clock;
    clock.start();
    QList<qint64> sentAt;
    QObject::connect(form.WebBrowser1(), &BrowserView::downloadBegin, [&] { sentAt << clock.elapsed(); });
    analyse(article(4));
    form.show();
    QTest::mouseClick(form.Command2(), Qt::LeftButton);
    form.run().pacingTick(); // finds the browser busy
    QTest::mouseClick(form.Command3(), Qt::LeftButton);
    ASSERT_EQ(sentAt.size(), 2);
    fixture.browser1()->arrive(resultPage(412));
    EXPECT_EQ(sentAt.size(), 2); // nothing sent 0 ms later
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentAt.size() == 3; }, 3000));
    fixture.browser1()->arrive(resultPage(412));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentAt.size() == 4; }, 3000));
    for (qsizetype i = 2; i < sentAt.size(); ++i)
        EXPECT_GE(sentAt[i] - sentAt[i - 1], 990) << "request " << i;
}

TEST_F(Form1RunTest, ACheckPageIsNotScored)
{
    analyse(article(3));
    form.Command2()->click();
    fixture.browser1()->arrive(kCheckPage, kCheckAddress);
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_TRUE(state.pageHtml.isEmpty());
    fixture.browser1()->arrive(resultPage(412));
    EXPECT_EQ(form.Label2()->text(), u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
}

} // namespace
} // namespace veltrik
