#include "components/webenginebrowser.h"
#include "localhttpserver.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::LocalHttpServer;

constexpr int kPageTimeoutMs = 30000;

// A result item as the search engine writes it: the JSON attribute in single quotes, then the anchor.
const QByteArray kResultPage = R"(<html><head><title>结果</title></head><body>
<div class="result"><h3><a href="http://a.test/1"><em>研究方法</em>标题</a></h3>
<span data-tools='{"title":"标题一","url":"http://a.test/1"}'><a class="c-tip-icon"></a></span>
</div></body></html>)";

LocalHttpServer::Response page(const QByteArray &body, int delayMs = 0)
{
    LocalHttpServer::Response response;
    response.body = body;
    response.delayMs = delayMs;
    return response;
}

LocalHttpServer::Response route(const QByteArray &target)
{
    if (target.startsWith("/result"))
        return page(kResultPage);
    if (target.startsWith("/slow"))
        return page("<html><body><p>慢页面</p></body></html>", 1500);
    return page("<html><body><p>" + target + "</p></body></html>");
}

// The page the view really shows, read from the engine.
QString shownHtml(WebEngineBrowser &browser)
{
    QString html;
    bool done = false;
    browser.findChild<QWebEngineView *>()->page()->toHtml([&](const QString &result) {
        html = result;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, kPageTimeoutMs))
        ADD_FAILURE() << "the page did not hand out its HTML";
    return html;
}

class WebEngineBrowserTest : public ::testing::Test {
protected:
    LocalHttpServer server{route};
    WebEngineBrowser browser;
    QSignalSpy completions{&browser, &BrowserView::downloadComplete};
    QSignalSpy beginnings{&browser, &BrowserView::downloadBegin};

    void SetUp() override { browser.resize(400, 300); }

    bool waitForIdleCompletion()
    {
        return QTest::qWaitFor([&] { return !completions.isEmpty() && !browser.busy(); }, kPageTimeoutMs);
    }

    void navigateAndWait(const QString &path)
    {
        completions.clear();
        browser.navigate(server.base() + path);
        ASSERT_TRUE(waitForIdleCompletion()) << path.toStdString();
    }
};

TEST_F(WebEngineBrowserTest, BusyUntilThePageAndItsHtmlAreInHand)
{
    browser.navigate(server.base() + u"/result"_qs);
    EXPECT_TRUE(browser.busy());
    ASSERT_TRUE(waitForIdleCompletion());
    EXPECT_FALSE(beginnings.isEmpty());
    EXPECT_TRUE(browser.bodyHtml().contains(u"<em>研究方法</em>"_qs));
    EXPECT_TRUE(browser.pageHtml().startsWith(u"<html>"_qs));
    EXPECT_TRUE(browser.pageHtml().contains(u"<title>结果</title>"_qs));
}

TEST_F(WebEngineBrowserTest, DataToolsComeOutInSingleQuotesAsTheScoringExpects)
{
    navigateAndWait(u"/result"_qs);
    EXPECT_TRUE(browser.bodyHtml().contains(
        uR"(data-tools='{"title":"标题一","url":"http://a.test/1"}'><a class="c-tip-icon">)"_qs))
        << browser.bodyHtml().toStdString();
}

TEST_F(WebEngineBrowserTest, WriteReplacesThePageAndLaterWritesAppend)
{
    navigateAndWait(u"/result"_qs);
    browser.write(u"<table><tr><td>报告</td></tr></table>"_qs);
    browser.write(u"<p>追加</p>"_qs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownHtml(browser).contains(u"追加"_qs); }, kPageTimeoutMs));
    const QString shown = shownHtml(browser);
    EXPECT_TRUE(shown.contains(u"报告"_qs));
    EXPECT_FALSE(shown.contains(u"研究方法"_qs));
    EXPECT_FALSE(browser.busy());
}

TEST_F(WebEngineBrowserTest, EmptyWriteFollowedAtOnceByNavigationNeverBlanksTheNewPage)
{
    navigateAndWait(u"/first"_qs);
    for (int round = 0; round < 3; ++round) {
        completions.clear();
        browser.write(QString());
        browser.navigate(server.base() + u"/result?round="_qs + QString::number(round));
        ASSERT_TRUE(waitForIdleCompletion());
        EXPECT_TRUE(browser.bodyHtml().contains(u"研究方法"_qs)) << "round " << round;
        QTest::qWait(300); // a late blank document would show up here
        EXPECT_TRUE(shownHtml(browser).contains(u"研究方法"_qs)) << "round " << round;
    }
}

TEST_F(WebEngineBrowserTest, APageLoadedInsideTheViewEndsTheWrittenDocument)
{
    navigateAndWait(u"/first"_qs);
    browser.write(u"<p>旧报告</p>"_qs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownHtml(browser).contains(u"旧报告"_qs); }, kPageTimeoutMs));
    // The page itself goes elsewhere, as a link, Back or Reload does.
    completions.clear();
    browser.findChild<QWebEngineView *>()->page()->runJavaScript(u"location.href = '%1/result'"_qs.arg(server.base()));
    ASSERT_TRUE(waitForIdleCompletion());
    EXPECT_TRUE(browser.bodyHtml().contains(u"研究方法"_qs));
    browser.write(u"<p>新报告</p>"_qs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownHtml(browser).contains(u"新报告"_qs); }, kPageTimeoutMs));
    EXPECT_FALSE(shownHtml(browser).contains(u"旧报告"_qs));
}

TEST_F(WebEngineBrowserTest, ALaterNavigationReplacesOneInProgress)
{
    browser.navigate(server.base() + u"/slow"_qs);
    QTest::qWait(100);
    browser.navigate(server.base() + u"/result"_qs);
    ASSERT_TRUE(waitForIdleCompletion());
    EXPECT_TRUE(browser.bodyHtml().contains(u"研究方法"_qs));
    QTest::qWait(2000); // the slow answer comes in after all
    EXPECT_FALSE(browser.busy());
    EXPECT_TRUE(shownHtml(browser).contains(u"研究方法"_qs));
}

TEST_F(WebEngineBrowserTest, AFailedLoadCompletesWithEmptyHtml)
{
    navigateAndWait(u"/result"_qs);
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close(); // nothing listens there now
    completions.clear();
    browser.navigate(u"http://127.0.0.1:%1/gone"_qs.arg(port));
    ASSERT_TRUE(waitForIdleCompletion());
    EXPECT_EQ(browser.bodyHtml(), QString());
}

TEST_F(WebEngineBrowserTest, AboutBlankCompletesWithAnEmptyBody)
{
    completions.clear();
    browser.navigate(u"about:blank"_qs);
    ASSERT_TRUE(waitForIdleCompletion());
    EXPECT_EQ(browser.bodyHtml(), QString());
}

} // namespace
} // namespace veltrik
