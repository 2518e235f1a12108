#include "analysis/webcomparison.h"
#include "components/richeditor.h"
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

// Pieces of 38 distinct characters each (the last one shorter), so that each query can be told apart.
QString article(int pieces)
{
    const QString characters = u"甲乙丙丁戊己庚辛壬癸子丑寅卯"_qs;
    QString text;
    for (int i = 0; i < pieces; ++i)
        text += QString(characters[i]).repeated(i + 1 < pieces ? 38 : 10);
    return text;
}

QString pieceQuery(int piece, int pieces)
{
    return QString(u"甲乙丙丁戊己庚辛壬癸子丑寅卯"_qs[piece]).repeated(piece + 1 < pieces ? 38 : 10);
}

// The query of a request address, decoded.
QString queryOf(const QString &address)
{
    return QUrlQuery(QUrl(address)).queryItemValue(u"wd"_qs, QUrl::FullyDecoded);
}

class WebComparisonTest : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;
    WebComparison &comparison = form.comparison();
    AnalysisState &state = form.state();

    void analyse(const QString &text)
    {
        form.RichTextBox1->setText(text);
        comparison.Command1_Click();
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

TEST_F(WebComparisonTest, AnalysisFillsTheListAndReportsTheCounts)
{
    analyse(article(3));
    EXPECT_EQ(form.Label1->text(), u"本文共 86 字，本次分析共分析出 3 句，请多次点击进行对比！"_qs);
    ASSERT_EQ(form.List1->count(), 3);
    EXPECT_EQ(form.List1->item(0)->text(), u"1-"_qs + pieceQuery(0, 3));
    EXPECT_EQ(form.List1->currentRow(), -1);
    EXPECT_FALSE(form.Label2->isVisible());
    EXPECT_EQ(state.listSync, 1);
    EXPECT_EQ(state.siteTitles.size(), 31);
}

TEST_F(WebComparisonTest, CompareBeforeAnyAnalysisEndsTheRun)
{
    comparison.Command2_Click();
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"information|Veltrik|本次对比结束！"_qs});
    EXPECT_EQ(state.autoMode, 0);
    EXPECT_TRUE(searches().isEmpty());
}

TEST_F(WebComparisonTest, FirstCompareSendsRowZero)
{
    analyse(article(3));
    comparison.Command2_Click();
    EXPECT_EQ(searchedQueries(), QStringList{pieceQuery(0, 3)});
    EXPECT_EQ(form.Label1->text(), u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_EQ(state.curSentence, 1);
    EXPECT_EQ(state.lastSentence, 0);
    EXPECT_EQ(form.List1->currentRow(), 0);
    EXPECT_EQ(form.RichTextBox1->colorAt(0), kRed);
    EXPECT_EQ(form.RichTextBox1->colorAt(38), kBlack);
    EXPECT_FALSE(form.WebBrowser1->isHidden());
    EXPECT_FALSE(form.List1->isHidden());
    EXPECT_EQ(state.tallyDue, 1);
}

TEST_F(WebComparisonTest, SecondCompareSendsOnlyTheNextRow)
{
    analyse(article(3));
    comparison.Command2_Click();
    comparison.Command2_Click();
    EXPECT_EQ(searchedQueries(), (QStringList{pieceQuery(0, 3), pieceQuery(1, 3)}));
    EXPECT_EQ(form.Label1->text(), u"现在正在对比第 2 句！共 3 句。"_qs);
    EXPECT_EQ(state.curSentence, 2);
    EXPECT_EQ(state.lastSentence, 1);
    EXPECT_EQ(form.List1->currentRow(), 1);
    EXPECT_EQ(form.RichTextBox1->colorAt(0), kBlack); // the previous mark is cleared
    EXPECT_EQ(form.RichTextBox1->colorAt(38), kRed);
}

TEST_F(WebComparisonTest, FourthCompareEndsTheRunWithABlankBrowser)
{
    analyse(article(3));
    for (int i = 0; i < 3; ++i)
        comparison.Command2_Click();
    state.pageHtml = u"<p>旧页</p>"_qs;
    comparison.Command2_Click();
    EXPECT_EQ(searches().size(), 3);
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"information|Veltrik|本次对比结束！"_qs});
    EXPECT_TRUE(state.pageHtml.isEmpty());
    EXPECT_EQ(fixture.browser1()->writes.last(), QString());
    EXPECT_TRUE(form.Command4->isHidden());
}

TEST_F(WebComparisonTest, ClickOnARowRightAfterAnalysisOnlySelectsIt)
{
    analyse(article(5));
    form.List1->setCurrentRow(3);
    EXPECT_TRUE(searches().isEmpty());
    EXPECT_EQ(state.curSentence, 3);
    comparison.Command2_Click();
    EXPECT_EQ(searchedQueries(), QStringList{pieceQuery(3, 5)});
    EXPECT_EQ(form.Label1->text(), u"现在正在对比第 4 句！共 5 句。"_qs);
    EXPECT_EQ(state.curSentence, 4);
}

TEST_F(WebComparisonTest, ClickOnARowInManualModeSendsItAtOnce)
{
    analyse(article(8));
    comparison.Command2_Click();
    form.List1->setCurrentRow(5);
    EXPECT_EQ(searchedQueries().last(), pieceQuery(5, 8));
    comparison.Command2_Click();
    EXPECT_EQ(searchedQueries().last(), pieceQuery(6, 8));
    EXPECT_EQ(searches().size(), 3);
}

TEST_F(WebComparisonTest, EmptyEditorAsksForText)
{
    analyse(article(3));
    form.RichTextBox1->setText(QString());
    state.autoMode = 1;
    comparison.Command2_Click();
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"information|Veltrik|请先输入关键字"_qs});
    EXPECT_EQ(state.autoMode, 0);
    EXPECT_TRUE(form.List1->isHidden());
    EXPECT_TRUE(searches().isEmpty());
}

TEST_F(WebComparisonTest, WenkuMarkSendsToTheDocumentLibrary)
{
    form.baidu->setChecked(false);
    form.wenku->setChecked(true);
    analyse(u"研究方法"_qs);
    comparison.Command2_Click();
    ASSERT_EQ(searches().size(), 1);
    EXPECT_TRUE(searches()[0].startsWith(u"http://wenku.test/search?word="_qs));
    EXPECT_TRUE(searches()[0].endsWith(u"&ie=utf-8&lm=0&od=0"_qs));
}

TEST_F(WebComparisonTest, ScoredPageShowsTheFiguresAndTheProgressLine)
{
    analyse(article(3));
    comparison.Command2_Click();
    fixture.browser1()->arrive(resultPage(412));
    EXPECT_EQ(form.Label2->text(), u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
    EXPECT_EQ(form.Label1->text(), u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_TRUE(fixture.browser1()->silent());
}

TEST_F(WebComparisonTest, CompletionWhileBusyIsIgnored)
{
    analyse(article(3));
    comparison.Command2_Click();
    emit form.WebBrowser1->downloadComplete(); // still loading
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_TRUE(state.pageHtml.isEmpty());
}

TEST_F(WebComparisonTest, AutomaticRunRepeatsAFailedPieceAndGoesOn)
{
    analyse(article(3));
    comparison.Command3_Click();
    EXPECT_TRUE(form.Command3->isHidden());
    EXPECT_FALSE(form.Command4->isHidden());
    EXPECT_FALSE(form.Command1->isEnabled());
    fixture.browser1()->arrive(resultPage(412));
    comparison.Timer2_Timer();
    EXPECT_EQ(form.Label1->text(), u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_EQ(searchedQueries(), (QStringList{pieceQuery(0, 3), pieceQuery(1, 3)}));

    fixture.browser1()->arrive(u"<p>Server Error</p>"_qs); // counted, but no Chinese text at all
    const int resultCount = state.resultCount;
    comparison.Timer2_Timer();
    EXPECT_EQ(form.Label1->text(), u"网络不给力，正在重新对比第 2 句"_qs);
    EXPECT_EQ(state.resultCount, resultCount - 1);
    EXPECT_EQ(searchedQueries().last(), pieceQuery(1, 3));
    EXPECT_EQ(searches().size(), 3);

    fixture.browser1()->arrive(resultPage(0));
    comparison.Timer2_Timer();
    EXPECT_EQ(searchedQueries().last(), pieceQuery(2, 3));
    fixture.browser1()->arrive(resultPage(0));
    comparison.Timer2_Timer();
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"information|Veltrik|本次对比结束！"_qs});
    EXPECT_EQ(state.autoMode, 0);
    EXPECT_FALSE(form.Command3->isHidden());
    EXPECT_EQ(searches().size(), 4);
}

TEST_F(WebComparisonTest, APageThatNeverArrivedIsRepeatedWithoutTakingACountBack)
{
    analyse(article(3));
    comparison.Command3_Click();
    fixture.browser1()->fail();
    comparison.Timer2_Timer();
    EXPECT_EQ(form.Label1->text(), u"网络不给力，正在重新对比第 1 句"_qs);
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_EQ(searchedQueries(), (QStringList{pieceQuery(0, 3), pieceQuery(0, 3)}));
    fixture.browser1()->arrive(resultPage(412));
    EXPECT_EQ(form.Label2->text(), u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
}

TEST_F(WebComparisonTest, TickWhileLoadingWaitsAndResumesWhenThePageIsHandled)
{
    analyse(article(3));
    comparison.Command3_Click();
    comparison.Timer2_Timer();
    comparison.Timer2_Timer();
    EXPECT_EQ(searches().size(), 1); // the browser is busy: nothing more is sent
    fixture.browser1()->arrive(resultPage(412));
    EXPECT_EQ(searches().size(), 2); // the waiting tick went on at once
    EXPECT_EQ(searchedQueries().last(), pieceQuery(1, 3));
}

TEST_F(WebComparisonTest, StopEndsTheAutomaticRunAfterThePendingPage)
{
    analyse(article(3));
    comparison.Command3_Click();
    comparison.Command4_Click();
    EXPECT_EQ(state.autoMode, 0);
    fixture.browser1()->arrive(resultPage(412));
    comparison.Timer2_Timer();
    EXPECT_EQ(searches().size(), 1);
    EXPECT_EQ(form.Label2->text(), u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
    EXPECT_TRUE(form.Command1->isEnabled());
}

const QString kCheckPage = u"<div><p>百度安全验证</p><p>请完成下方验证</p><p>拖动左侧滑块使图片为正</p></div>"_qs;
const QString kCheckAddress = u"https://wappass.baidu.com/static/captcha/tuxing.html?ak=1"_qs;
const QString kAutomaticCheckLine = u"请在下方通过安全验证，之后自动继续对比第 %1 句"_qs;
const QString kManualCheckLine = u"请在下方通过安全验证，之后显示第 %1 句的结果"_qs;

TEST_F(WebComparisonTest, AnAutomaticRunWaitsAtASecurityCheckAndGoesOnAfterIt)
{
    analyse(article(3));
    comparison.Command3_Click();
    fixture.browser1()->arrive(resultPage(412));
    comparison.Timer2_Timer(); // sends piece 2
    const int resultCount = state.resultCount;
    fixture.browser1()->arrive(kCheckPage, kCheckAddress);
    EXPECT_EQ(form.Label1->text(), kAutomaticCheckLine.arg(2));
    EXPECT_EQ(state.resultCount, resultCount);
    EXPECT_EQ(state.similaritySum, 32);
    for (int tick = 0; tick < 5; ++tick)
        comparison.Timer2_Timer();
    EXPECT_EQ(searches().size(), 2); // nothing sent or repeated while the check is shown
    EXPECT_EQ(form.Label1->text(), kAutomaticCheckLine.arg(2));

    // The user passes the check; the engine shows the results of the same query.
    emit form.WebBrowser1->downloadBegin();
    fixture.browser1()->arrive(resultPage(0), searches().last());
    EXPECT_EQ(form.Label2->text(), u"本句相似度：0%\r\n\r\n目前总体相似度：16%"_qs);
    EXPECT_EQ(state.resultCount, resultCount + 1);
    comparison.Timer2_Timer();
    EXPECT_EQ(searchedQueries(), (QStringList{pieceQuery(0, 3), pieceQuery(1, 3), pieceQuery(2, 3)}));
}

TEST_F(WebComparisonTest, StopWorksWhileASecurityCheckIsShown)
{
    analyse(article(3));
    comparison.Command3_Click();
    fixture.browser1()->arrive(kCheckPage, kCheckAddress);
    EXPECT_EQ(form.Label1->text(), kAutomaticCheckLine.arg(1));
    comparison.Command4_Click();
    EXPECT_EQ(state.autoMode, 0);
    EXPECT_FALSE(form.Command3->isHidden());
    EXPECT_EQ(form.Label1->text(), kManualCheckLine.arg(1)); // nothing goes on by itself now
    comparison.Timer2_Timer();
    EXPECT_EQ(searches().size(), 1);
}

TEST_F(WebComparisonTest, AStartDuringACheckSendsTheWaitingPieceAgain)
{
    analyse(article(3));
    comparison.Command3_Click();
    fixture.browser1()->arrive(resultPage(412));
    comparison.Timer2_Timer(); // sends piece 2
    fixture.browser1()->arrive(kCheckPage, kCheckAddress);
    comparison.Command4_Click();
    comparison.Command3_Click();
    EXPECT_EQ(searchedQueries(), (QStringList{pieceQuery(0, 3), pieceQuery(1, 3), pieceQuery(1, 3)}));
    fixture.browser1()->arrive(kCheckPage, kCheckAddress);
    EXPECT_EQ(form.Label1->text(), kAutomaticCheckLine.arg(2));
    fixture.browser1()->arrive(resultPage(0), searches().last()); // passed
    comparison.Timer2_Timer();
    EXPECT_EQ(searchedQueries().last(), pieceQuery(2, 3));
}

// The check line is read beside the figures: it stays left of Label2 and within Label1's height, in the
// font Label1 really uses, for a thesis of thousands of pieces.
TEST_F(WebComparisonTest, TheCheckLineFitsBesideTheFigures)
{
    const int freeWidth = form.Label2->x() - form.Label1->x();
    ASSERT_GT(freeWidth, 0);
    const QFontMetrics metrics(form.Label1->font());
    EXPECT_LE(metrics.height(), form.Label1->height());
    for (const QString &line : {kAutomaticCheckLine, kManualCheckLine}) {
        const QString text = line.arg(9999);
        EXPECT_FALSE(text.contains(u'\n'));
        EXPECT_LE(metrics.horizontalAdvance(text), freeWidth) << text.toStdString();
    }
}

TEST_F(WebComparisonTest, ANoResultsPageForAQueryAboutChecksIsScored)
{
    analyse(u"百度安全验证怎么通过"_qs);
    comparison.Command3_Click();
    fixture.browser1()->arrive(u"<p>抱歉，没有找到与“百度安全验证怎么通过”相关的网页。</p>"_qs);
    EXPECT_EQ(form.Label2->text(), u"本句相似度：0%\r\n\r\n目前总体相似度：0%"_qs);
    comparison.Timer2_Timer();
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"information|Veltrik|本次对比结束！"_qs});
}

TEST_F(WebComparisonTest, ALinkAskingForANewWindowOpensInTheDefaultBrowser)
{
    emit form.WebBrowser1->newWindowRequested(u"http://a.test/page"_qs);
    EXPECT_EQ(fixture.desktop.openedAddresses, QStringList{u"http://a.test/page"_qs});
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());

    fixture.desktop.shellWorks = false;
    emit form.WebBrowser1->newWindowRequested(u"http://b.test/"_qs);
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"critical|错误：|调用浏览器错误！"_qs});
}

// Manual compare, a pacing tick while its page loads, then the start: the start's page must not make the
// tick that waited for the earlier page send the next piece at once.
TEST_F(WebComparisonTest, AWaitingTickDoesNotOutliveTheRequestItWaitedFor)
{
    QElapsedTimer clock;
    clock.start();
    QList<qint64> sentAt;
    QObject::connect(form.WebBrowser1, &BrowserView::downloadBegin, [&] { sentAt << clock.elapsed(); });
    analyse(article(4));
    form.show();
    QTest::mouseClick(form.Command2, Qt::LeftButton);
    comparison.Timer2_Timer(); // finds the browser busy
    QTest::mouseClick(form.Command3, Qt::LeftButton);
    ASSERT_EQ(sentAt.size(), 2);
    fixture.browser1()->arrive(resultPage(412));
    EXPECT_EQ(sentAt.size(), 2); // nothing sent 0 ms later
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentAt.size() == 3; }, 3000));
    fixture.browser1()->arrive(resultPage(412));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentAt.size() == 4; }, 3000));
    for (qsizetype i = 2; i < sentAt.size(); ++i)
        EXPECT_GE(sentAt[i] - sentAt[i - 1], 990) << "request " << i;
}

TEST_F(WebComparisonTest, AManualRunDoesNotScoreTheCheckEither)
{
    analyse(article(3));
    comparison.Command2_Click();
    fixture.browser1()->arrive(kCheckPage, kCheckAddress);
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_TRUE(state.pageHtml.isEmpty());
    fixture.browser1()->arrive(resultPage(412));
    EXPECT_EQ(form.Label2->text(), u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
}

// Analyse, compare, an automatic run, stop and the report, each through a click on its button.
TEST_F(WebComparisonTest, AWholeRunThroughTheButtons)
{
    const QString items = testing::resultItem(u"论文网"_qs, u"http://a.test/"_qs);
    form.show();
    form.RichTextBox1->setText(article(4));
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    EXPECT_EQ(form.List1->count(), 4);

    QTest::mouseClick(form.Command2, Qt::LeftButton);
    EXPECT_EQ(searchedQueries(), QStringList{pieceQuery(0, 4)});
    fixture.browser1()->arrive(resultPage(412, items));

    QTest::mouseClick(form.Command3, Qt::LeftButton);
    EXPECT_EQ(searchedQueries().last(), pieceQuery(1, 4));
    EXPECT_FALSE(form.Command4->isHidden());
    fixture.browser1()->arrive(resultPage(0, items));
    QTest::mouseClick(form.Command4, Qt::LeftButton);
    EXPECT_EQ(state.autoMode, 0);
    EXPECT_FALSE(form.Command3->isHidden());
    EXPECT_EQ(form.Label2->text(), u"本句相似度：0%\r\n\r\n目前总体相似度：16%"_qs);

    QTest::mouseClick(form.Command5, Qt::LeftButton);
    EXPECT_TRUE(fixture.browser1()->writtenDocument().contains(
        u"<a href=\"http://a.test/\" target=_blank>论文网</a></td><td width=100 align=center>2</td>"_qs));
    EXPECT_EQ(searches().size(), 2);
}

TEST_F(WebComparisonTest, EmptyQueryIsSkippedWithoutARequest)
{
    analyse(u"，，"_qs); // the query is a single space
    comparison.Command2_Click();
    EXPECT_TRUE(searches().isEmpty());
    EXPECT_EQ(state.curSentence, 0); // reached through the row selection: the position stays
}

} // namespace
} // namespace veltrik
