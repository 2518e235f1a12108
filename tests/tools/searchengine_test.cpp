#include "searchengine.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace veltrik::testing {
namespace {

struct Answer {
    QNetworkReply::NetworkError error;
    int status;
    QString body;
    qint64 elapsedMs;
};

class SearchEngineTest : public ::testing::Test {
protected:
    SearchEngine engine{[] {
        SearchEngine::Options options;
        options.slowDelayMs = 400;
        return options;
    }()};
    QNetworkAccessManager network;

    Answer get(const QString &pathAndQuery)
    {
        QElapsedTimer clock;
        clock.start();
        QNetworkRequest request(QUrl(engine.base() + pathAndQuery));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkReply *reply = network.get(request);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        EXPECT_TRUE(finished.wait(10000));
        Answer answer{reply->error(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                      QString::fromUtf8(reply->readAll()), clock.elapsed()};
        reply->deleteLater();
        return answer;
    }
};

TEST_F(SearchEngineTest, AnswersBothSearchPathsAndLogsTheQueries)
{
    const Answer web = get(u"/s?wd=%E7%A0%94%E7%A9%B6&rsv_bp=0"_qs);
    EXPECT_EQ(web.status, 200);
    EXPECT_TRUE(web.body.contains(u"<em>研究</em>"_qs));
    EXPECT_TRUE(web.body.contains(u"data-tools='{\"title\":\"公共论文资料库：毕业论文范文大全\""_qs));
    const Answer library = get(u"/search?word=abc&ie=utf-8"_qs);
    EXPECT_TRUE(library.body.contains(u"<em>abc</em>"_qs));
    EXPECT_EQ(get(u"/other"_qs).status, 404);
    ASSERT_EQ(engine.requests().size(), 3);
    EXPECT_EQ(engine.requests()[0].query, u"研究"_qs);
    EXPECT_EQ(engine.requests()[1].path, u"/search"_qs);
    EXPECT_EQ(engine.requests()[1].query, u"abc"_qs);
}

TEST_F(SearchEngineTest, PagesMixInCardsAsTheEngineDoes)
{
    const QString page = get(u"/s?wd=%E7%A0%94%E7%A9%B6%2F1"_qs).body; // 研究/1
    EXPECT_TRUE(page.contains(u"<script>var musicCard = {\"name\":\"<em>研究\\/1<\\/em>\""_qs)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"mu=\"http://music.example.test/search?key=%E7%A0%94%E7%A9%B6%2F1\""_qs));
    EXPECT_TRUE(page.contains(u"mu=\""_qs + SearchEngine::kEncyclopediaUrl + u"\""_qs));
    EXPECT_EQ(page.count(u"data-tools="_qs), 3);
    EXPECT_LT(page.indexOf(u"tpl=\"music\""_qs), page.indexOf(u"第1条结果"_qs));

    SearchEngine::Options plain;
    plain.cards = false;
    engine.setOptions(plain);
    EXPECT_FALSE(get(u"/s?wd=x"_qs).body.contains(u" mu="_qs));
}

TEST_F(SearchEngineTest, ScriptedFailuresHappenAsOftenAsAsked)
{
    // A client may send a GET again once when the connection closes unanswered: fail both.
    engine.failQuery(u"甲"_qs, SearchEngine::Failure::NoAnswer, 2);
    engine.failQuery(u"乙"_qs, SearchEngine::Failure::Slow);
    engine.failQuery(u"丙"_qs, SearchEngine::Failure::EmptyBody);
    engine.failQuery(u"丁"_qs, SearchEngine::Failure::ShortPage);
    EXPECT_NE(get(u"/s?wd=甲"_qs).error, QNetworkReply::NoError);
    EXPECT_EQ(get(u"/s?wd=甲"_qs).status, 200); // no more failures left
    EXPECT_GE(get(u"/s?wd=乙"_qs).elapsedMs, 400);
    EXPECT_TRUE(get(u"/s?wd=丙"_qs).body.contains(u"<body>\n</body>"_qs));
    const Answer shortPage = get(u"/s?wd=丁"_qs);
    EXPECT_TRUE(shortPage.body.contains(u"没有找到"_qs));
    EXPECT_FALSE(shortPage.body.contains(u"data-tools"_qs));
}

TEST_F(SearchEngineTest, SecurityCheckUntilTheContinueLinkIsFollowed)
{
    engine.requireSecurityCheck(u"秋"_qs);
    const Answer check = get(u"/s?wd=秋天"_qs);
    EXPECT_TRUE(check.body.contains(u"<title>百度安全验证</title>"_qs));
    EXPECT_TRUE(get(u"/s?wd=秋天"_qs).body.contains(u"请完成下方验证"_qs));
    const qsizetype link = check.body.indexOf(u"/verify?next="_qs);
    ASSERT_GE(link, 0);
    const QString continueLink = check.body.mid(link, check.body.indexOf(u'"', link) - link);
    const Answer passed = get(continueLink);
    EXPECT_EQ(passed.status, 200);
    EXPECT_TRUE(passed.body.contains(u"<em>秋天</em>"_qs));
}

TEST_F(SearchEngineTest, ACheckAskedForTwiceComesTwice)
{
    engine.requireSecurityCheck(QString(), 2);
    EXPECT_TRUE(get(u"/s?wd=a"_qs).body.contains(u"百度安全验证"_qs));
    EXPECT_TRUE(get(u"/s?wd=b"_qs).body.contains(u"百度安全验证"_qs));
    EXPECT_FALSE(get(u"/s?wd=c"_qs).body.contains(u"百度安全验证"_qs));
}

TEST_F(SearchEngineTest, TodaysMarkupEscapesTitlesAndLeavesOneAnchorOut)
{
    SearchEngine::Options options;
    options.realisticItems = true;
    engine.setOptions(options);
    const Answer page = get(u"/s?wd=x"_qs);
    EXPECT_TRUE(page.body.contains(u"\\u516c\\u5171"_qs)); // 公共
    EXPECT_TRUE(page.body.contains(u"\"abs\":"_qs));
    EXPECT_TRUE(page.body.contains(u"}' id=\"tools_"_qs));
    EXPECT_EQ(page.body.count(u"c-tip-icon"_qs), 2); // three items, the last without its anchor
}

} // namespace
} // namespace veltrik::testing
