// The web comparison end to end: the real browser engine against the local search engine.
#include "analysis/query.h"
#include "app/form1.h"
#include "components/richeditor.h"
#include "components/webenginebrowser.h"
#include "searchengine.h"
#include "support/fakedesktop.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <memory>

namespace veltrik {
namespace {

using testing::FakeDesktop;
using testing::SearchEngine;

constexpr int kRunTimeoutMs = 120000;
const QString kEndOfRun = u"information|Veltrik|本次对比结束！"_qs;

// Five pieces: four of 38 characters and one of 10, none with punctuation, so each query is the piece.
QString fivePieceArticle()
{
    const QString characters = u"春夏秋冬雪"_qs;
    QString text;
    for (int i = 0; i < 5; ++i)
        text += QString(characters[i]).repeated(i < 4 ? 38 : 10) + (i == 1 ? u"\r\n"_qs : QString());
    return text;
}

class WebComparisonEndToEnd : public ::testing::Test {
protected:
    SearchEngine engine;
    FakeDesktop desktop;
    std::unique_ptr<Form1> form;

    void SetUp() override
    {
        Form1Services services;
        services.desktop = &desktop;
        services.makeBrowser = [](QWidget *parent) { return new WebEngineBrowser(parent); };
        services.endpoints = Endpoints{engine.base(), engine.base(), engine.base()};
        form = std::make_unique<Form1>(std::move(services));
        form->show();
    }

    QStringList searchQueries() const
    {
        QStringList queries;
        for (const SearchEngine::Request &request : engine.requests())
            if (request.path == u"/s")
                queries << request.query;
        return queries;
    }

    QList<qint64> searchTimes() const
    {
        QList<qint64> times;
        for (const SearchEngine::Request &request : engine.requests())
            if (request.path == u"/s")
                times << request.receivedMs;
        return times;
    }

    QStringList expectedQueries() const
    {
        QStringList queries;
        for (int row = 0; row < form->List1()->count(); ++row)
            queries << buildQuery(form->List1()->item(row)->text());
        return queries;
    }

    void runAutomatically()
    {
        form->RichTextBox1()->setText(fivePieceArticle());
        form->Command1()->click();
        ASSERT_EQ(form->List1()->count(), 5);
        form->Command3()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.boxes.contains(kEndOfRun); }, kRunTimeoutMs))
            << form->Label1()->text().toStdString();
    }

    void expectRequestsASecondApart() const
    {
        const QList<qint64> times = searchTimes();
        for (qsizetype i = 1; i < times.size(); ++i)
            EXPECT_GE(times[i] - times[i - 1], 990) << "request " << i;
    }
};

// Each page highlights its query three times: 3 x 38 / (2 x 38 + 1200) gives 9 %, 3 x 10 / 1220 gives 2 %;
// the mean over the five pieces is (4 x 9 + 2) / 5 = 7.6 %.
const QString kFinalFigures = u"本句相似度：2%\r\n\r\n目前总体相似度：7.6%"_qs;

TEST_F(WebComparisonEndToEnd, AutomaticRunSendsEachPieceOnceAndScoresEveryPage)
{
    runAutomatically();
    EXPECT_EQ(searchQueries(), expectedQueries());
    expectRequestsASecondApart();
    EXPECT_EQ(form->Label2()->text(), kFinalFigures);
    EXPECT_EQ(form->Label1()->text(), u"现在正在对比第 5 句！共 5 句。"_qs);
    EXPECT_FALSE(form->state().autoMode);

    // The items and the cards, in page order: the common site, the music card, two hits, the encyclopedia.
    const AnalysisState &state = form->state();
    for (int piece = 0; piece < 5; ++piece) {
        const int slot = piece * AnalysisState::kSlotsPerSentence;
        const QString query = expectedQueries()[piece];
        EXPECT_EQ(state.siteTitles[slot], u"公共论文资料库：毕业论文范文大全"_qs) << piece;
        EXPECT_EQ(state.siteUrls[slot], u"http://lib.example.test/common"_qs) << piece;
        EXPECT_EQ(state.siteTitles[slot + 1], query.left(8) + u"_在线试听_音乐"_qs) << piece;
        EXPECT_TRUE(state.siteUrls[slot + 1].startsWith(u"http://music.example.test/search?key=%E"_qs)) << piece;
        EXPECT_EQ(state.siteTitles[slot + 2], u"第1条结果："_qs + query.left(12)) << piece;
        EXPECT_TRUE(state.siteUrls[slot + 3].startsWith(u"http://site2.example.test/doc?q=%E"_qs)) << piece;
        EXPECT_EQ(state.siteTitles[slot + 4], SearchEngine::kEncyclopediaTitle) << piece;
        EXPECT_EQ(state.siteUrls[slot + 4], SearchEngine::kEncyclopediaUrl) << piece;
        EXPECT_TRUE(state.siteTitles[slot + 5].isEmpty()) << piece;
    }
}

TEST_F(WebComparisonEndToEnd, APageThatFailsOnceIsRepeatedAndTheFiguresStayRight)
{
    engine.failQuery(u"秋"_qs, SearchEngine::Failure::NoAnswer);
    runAutomatically();
    QStringList expected = expectedQueries();
    expected.insert(2, expected[2]);
    EXPECT_EQ(searchQueries(), expected);
    expectRequestsASecondApart();
    EXPECT_EQ(form->Label2()->text(), kFinalFigures);
}

TEST_F(WebComparisonEndToEnd, ItemsInTodaysMarkupAreReadWhole)
{
    engine.setOptions([] {
        SearchEngine::Options options;
        options.realisticItems = true; // escaped titles, extra members, id attributes, an item without anchor
        return options;
    }());
    runAutomatically();
    EXPECT_EQ(form->Label2()->text(), kFinalFigures);
    const AnalysisState &state = form->state();
    for (int piece = 0; piece < 5; ++piece) {
        const int slot = piece * AnalysisState::kSlotsPerSentence;
        EXPECT_EQ(state.siteTitles[slot], u"公共论文资料库：毕业论文范文大全"_qs) << piece;
        EXPECT_EQ(state.siteTitles[slot + 2], u"第1条结果："_qs + expectedQueries()[piece].left(12)) << piece;
        EXPECT_EQ(state.siteTitles[slot + 3], u"第2条结果："_qs + expectedQueries()[piece].left(12)) << piece;
        EXPECT_TRUE(state.siteUrls[slot + 3].startsWith(u"http://site2.example.test/doc?q=%E"_qs)) << piece;
    }
}

QWebEngineView *viewOf(BrowserView *browser)
{
    return browser->findChild<QWebEngineView *>();
}

QVariant evaluate(QWebEngineView *view, const QString &script)
{
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        ADD_FAILURE() << "the page did not run " << script.toStdString();
    return result;
}

TEST_F(WebComparisonEndToEnd, AClickOnAReportLinkOpensItInTheDefaultBrowser)
{
    runAutomatically();
    QTest::mouseClick(form->Command5(), Qt::LeftButton);
    QWebEngineView *view = viewOf(form->WebBrowser1());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return evaluate(view, u"document.querySelectorAll('a').length"_qs).toInt() == 2; }, kRunTimeoutMs));
    EXPECT_EQ(evaluate(view, u"document.querySelector('tr').innerText"_qs).toString().simplified(),
              u"标题 出现次数"_qs);
    const QString address = evaluate(view, u"document.querySelector('a').href"_qs).toString();
    EXPECT_TRUE(address == u"http://lib.example.test/common"_qs || address == SearchEngine::kEncyclopediaUrl)
        << address.toStdString();
    const QVariantList centre = evaluate(view, u"(function(){var r=document.querySelector('a').getBoundingClientRect();"
                                               u"return [r.left+r.width/2, r.top+r.height/2];})()"_qs)
                                    .toList();
    ASSERT_EQ(centre.size(), 2);
    const QPoint at(qRound(centre[0].toDouble() * view->zoomFactor()),
                    qRound(centre[1].toDouble() * view->zoomFactor()));
    QWidget *surface = view->focusProxy();
    ASSERT_NE(surface, nullptr);
    QTest::mouseMove(surface, at);
    QTest::mouseClick(surface, Qt::LeftButton, {}, at);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.openedAddresses.isEmpty(); }, 10000));
    EXPECT_EQ(desktop.openedAddresses, QStringList{address});
    // The report stays in the view.
    EXPECT_EQ(evaluate(view, u"document.querySelectorAll('a').length"_qs).toInt(), 2);
}

// The user's click on the check page's continue link, made in the page itself.
void passTheCheck(Form1 &form)
{
    form.WebBrowser1()->findChild<QWebEngineView *>()->page()->runJavaScript(
        QStringLiteral("document.getElementById('continue').click()"));
}

TEST_F(WebComparisonEndToEnd, ARunWaitsAtASecurityCheckUntilItIsPassed)
{
    engine.requireSecurityCheck(u"秋"_qs);
    form->RichTextBox1()->setText(fivePieceArticle());
    form->Command1()->click();
    form->Command3()->click();
    const QString waiting = u"请在下方通过安全验证，之后自动继续对比第 3 句"_qs;
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Label1()->text() == waiting; }, kRunTimeoutMs))
        << form->Label1()->text().toStdString();
    const qsizetype requestsAtTheCheck = engine.requests().size();
    QTest::qWait(3500); // three ticks and more
    EXPECT_EQ(engine.requests().size(), requestsAtTheCheck);
    EXPECT_EQ(form->Label1()->text(), waiting);

    passTheCheck(*form);
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.boxes.contains(kEndOfRun); }, kRunTimeoutMs))
        << form->Label1()->text().toStdString();
    QStringList expected = expectedQueries();
    expected.insert(2, expected[2]); // the check, then the same query again after passing it
    EXPECT_EQ(searchQueries(), expected);
    EXPECT_EQ(form->Label2()->text(), kFinalFigures);
    expectRequestsASecondApart();
}

} // namespace
} // namespace veltrik
