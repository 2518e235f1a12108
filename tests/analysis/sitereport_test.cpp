#include "analysis/sitereport.h"

#include <gtest/gtest.h>

#include <random>

namespace veltrik {
namespace {

// The report exactly as the procedure is written: quadratic tally, exchange sort and thinning, in place.
QList<SiteRow> literalReport(QStringList titles, QStringList urls)
{
    const qsizetype n = titles.size() - 1; // the upper index
    QList<int> tally(titles.size(), 0);
    for (qsizetype i = 0; i <= n; ++i)
        for (qsizetype j = 0; j <= n; ++j)
            if (!titles[i].isEmpty() && titles[i] == titles[j])
                ++tally[i];
    for (qsizetype a = 0; a < n; ++a)
        for (qsizetype b = 0; b < n; ++b)
            if (tally[a] > tally[b]) {
                std::swap(tally[a], tally[b]);
                titles.swapItemsAt(a, b);
                urls.swapItemsAt(a, b);
            }
    for (qsizetype a = 0; a + 1 < n; ++a)
        for (qsizetype b = a + 1; b < n; ++b)
            if (titles[a] == titles[b])
                titles[b].clear();
    for (qsizetype a = 0; a < n; ++a)
        if (tally[a] == 1)
            titles[a].clear();
    QList<SiteRow> rows;
    for (qsizetype i = 0; i <= n; ++i)
        if (!titles[i].isEmpty())
            rows.append({titles[i], urls[i], tally[i]});
    return rows;
}

QList<qsizetype> literalOrder(const QList<int> &tallies)
{
    QList<int> t = tallies;
    QList<qsizetype> order(t.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = i;
    for (qsizetype a = 0; a < t.size(); ++a)
        for (qsizetype b = 0; b < t.size(); ++b)
            if (t[a] > t[b]) {
                std::swap(t[a], t[b]);
                std::swap(order[a], order[b]);
            }
    return order;
}

TEST(OrderByTally, ReproducesTheExchangeProcedureOnRandomTallies)
{
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        const int size = 1 + int(random() % 40);
        const int distinct = 1 + int(random() % (round % 2 ? 3 : 30)); // few and many distinct tallies
        QList<int> tallies(size);
        for (int &tally : tallies)
            tally = int(random() % distinct);
        ASSERT_EQ(orderByTally(tallies), literalOrder(tallies)) << "round " << round;
    }
}

TEST(SimilarSites, AgreesWithTheLiteralReportOnRandomSlots)
{
    std::mt19937 random(9);
    for (int round = 0; round < 500; ++round) {
        const int pieces = 1 + int(random() % 6);
        QStringList titles(10 * pieces + 1);
        QStringList urls(10 * pieces + 1);
        for (qsizetype slot = 0; slot + 1 < titles.size(); ++slot) {
            if (random() % 3 == 0)
                continue;
            titles[slot] = u"站点"_qs + QString::number(random() % 8);
            urls[slot] = u"http://s.test/"_qs + QString::number(slot);
        }
        ASSERT_EQ(similarSites(titles, urls), literalReport(titles, urls)) << "round " << round;
    }
}

QStringList slotList(std::initializer_list<QString> filled, qsizetype count = 21)
{
    QStringList list(count);
    qsizetype slot = 0;
    for (const QString &value : filled)
        list[slot++] = value;
    return list;
}

TEST(SimilarSites, ATitleFoundOnceIsNotListed)
{
    EXPECT_TRUE(similarSites(slotList({u"甲"_qs}), slotList({u"http://a/"_qs})).isEmpty());
}

TEST(SimilarSites, TwiceForOneSentenceIsListedWithTwo)
{
    const auto rows = similarSites(slotList({u"甲"_qs, u"甲"_qs}), slotList({u"http://a/1"_qs, u"http://a/2"_qs}));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].tally, 2);
    EXPECT_EQ(rows[0].title, u"甲"_qs);
}

TEST(SimilarSites, SameTitleWithDifferentAddressesIsListedOnce)
{
    QStringList titles(21);
    QStringList urls(21);
    titles[0] = titles[10] = titles[11] = u"甲"_qs;
    urls[0] = u"http://a/0"_qs;
    urls[10] = u"http://a/10"_qs;
    urls[11] = u"http://a/11"_qs;
    const auto rows = similarSites(titles, urls);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].tally, 3);
    EXPECT_EQ(rows, literalReport(titles, urls));
}

TEST(SimilarSites, LetterCaseMakesDifferentSites)
{
    EXPECT_TRUE(
        similarSites(slotList({u"Site"_qs, u"site"_qs}), slotList({u"http://a/"_qs, u"http://b/"_qs})).isEmpty());
}

TEST(SimilarSites, NoItemsGiveNoRowsAndTheRecordsStayAsTheyWere)
{
    EXPECT_TRUE(similarSites(QStringList(31), QStringList(31)).isEmpty());
    EXPECT_TRUE(similarSites({}, {}).isEmpty());
    const QStringList titles = slotList({u"甲"_qs, u"乙"_qs, u"甲"_qs});
    const QStringList copy = titles;
    similarSites(titles, slotList({}));
    EXPECT_EQ(titles, copy);
}

TEST(SimilarSites, MostFrequentFirst)
{
    const auto rows = similarSites(slotList({u"乙"_qs, u"甲"_qs, u"甲"_qs, u"乙"_qs, u"甲"_qs}), slotList({}));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].title, u"甲"_qs);
    EXPECT_EQ(rows[0].tally, 3);
    EXPECT_EQ(rows[1].tally, 2);
}

TEST(SiteReportHtml, RowsAsTheProgramWritesThem)
{
    const QString heading = u"<tr><th>标题</th><th>出现次数</th></tr>"_qs;
    EXPECT_EQ(siteReportHtml({{u"论文网"_qs, u"http://a.test/x?a=1&b=2"_qs, 3}}),
              u"<br><br><br><br><br><table>"_qs + heading +
                  u"<tr><td><a href=\"http://a.test/x?a=1&amp;b=2\" target=_blank>论文网</a>"
                  u"</td><td width=100 align=center>3</td></tr></table>"_qs);
    EXPECT_EQ(siteReportHtml({}), u"<br><br><br><br><br><table>"_qs + heading + u"</table>"_qs);
}

TEST(SiteReportHtml, TitlesAndAddressesFromPagesRunNothing)
{
    const QString html = siteReportHtml({{u"<img src=x onerror=alert(1)>"_qs, u"javascript:alert(1)"_qs, 2},
                                         {u"甲"_qs, u"http://a/\" onmouseover=\"x"_qs, 2}});
    EXPECT_FALSE(html.contains(u"<img"_qs));
    EXPECT_TRUE(html.contains(u"&lt;img src=x onerror=alert(1)&gt;"_qs));
    EXPECT_FALSE(html.contains(u"javascript:"_qs));
    EXPECT_FALSE(html.contains(u"\" onmouseover"_qs));
}

TEST(SiteReportHtml, ControlCharactersFromPagesNeverReachTheReport)
{
    const QString title = u"论文"_qs + QChar(0) + u"网\u0007\t资料\r\n库\u0085"_qs;
    const QString html = siteReportHtml({{title, u"http://a.test/\u0000x"_qs, 2}});
    EXPECT_TRUE(html.contains(u">论文网 资料  库</a>"_qs)) << html.toStdString();
    EXPECT_TRUE(html.contains(u"href=\"http://a.test/x\""_qs)) << html.toStdString();
    for (const QChar c : html)
        EXPECT_NE(c.category(), QChar::Other_Control) << int(c.unicode());
}

} // namespace
} // namespace veltrik
