#include "analysis/levels.h"
#include "analysis/report.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

const QString kHostileTitle = u"<script>alert('x')</script>\u0001 & \"站\""_qs;

// Three pieces: the first high, the second low, the third not compared. Two sites came up twice each: one
// with a hostile title, one behind an address that must not become a link.
CheckResults hostileCheck()
{
    CheckResults check;
    check.articleName = u"论文<初稿>.docx"_qs;
    check.article = u"第一句在网上。\r\n第二句是新的。第三句没查。"_qs;
    check.pieces = {u"第一句在网上。"_qs, u"第二句是新的。"_qs, u"第三句没查。"_qs};
    check.engine = SearchEngine::Wenku;
    const ResultItem hostile{kHostileTitle, u"https://evil.test/a?b=1&c=\"2\""_qs};
    const ResultItem scripted{u"脚本站"_qs, u"javascript:alert(1)"_qs};
    check.results = {{PieceState::Compared, 60, {hostile, scripted}},
                     {PieceState::Compared, 10, {hostile, scripted}},
                     {PieceState::NotCompared, 0, {}}};
    check.similaritySum = 70;
    check.resultCount = 3; // two pages counted
    check.started = QDateTime(QDate(2026, 5, 4), QTime(9, 30));
    return check;
}

struct ParsedReport {
    QString error;
    QStringList elements;
    QStringList hrefs;
    QStringList attributeNames;
    QString text;
};

// Reads the report strictly as XML: every element closed, every entity one of XML's own.
ParsedReport parse(const QString &html)
{
    ParsedReport parsed;
    QXmlStreamReader reader(html);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            parsed.elements << reader.name().toString();
            for (const QXmlStreamAttribute &attribute : reader.attributes()) {
                parsed.attributeNames << attribute.name().toString();
                if (attribute.name() == u"href")
                    parsed.hrefs << attribute.value().toString();
            }
        } else if (reader.isCharacters()) {
            parsed.text += reader.text();
        }
    }
    if (reader.hasError())
        parsed.error = reader.errorString();
    return parsed;
}

TEST(ReportTest, ParsesAsXmlWithoutScriptOrOutsideResources)
{
    const ParsedReport parsed = parse(reportHtml(hostileCheck(), QDateTime(QDate(2026, 5, 5), QTime(10, 0))));
    ASSERT_EQ(parsed.error, QString());
    EXPECT_FALSE(parsed.elements.contains(u"script"_qs));
    for (const char16_t *loader : {u"img", u"link", u"iframe", u"object", u"embed"})
        EXPECT_FALSE(parsed.elements.contains(QString::fromUtf16(loader)));
    for (const QString &name : parsed.attributeNames) {
        EXPECT_FALSE(name.startsWith(u"on")) << name.toStdString();
        EXPECT_NE(name, u"src"_qs);
    }
}

TEST(ReportTest, HostileTitlesStayTextAndOnlyWebAddressesBecomeLinks)
{
    const ParsedReport parsed = parse(reportHtml(hostileCheck(), QDateTime::currentDateTime()));
    ASSERT_EQ(parsed.error, QString());
    EXPECT_TRUE(parsed.text.contains(u"<script>alert('x')</script> & \"站\""_qs))
        << "shown as text, without its control character";
    EXPECT_TRUE(parsed.text.contains(u"脚本站"_qs));
    ASSERT_FALSE(parsed.hrefs.isEmpty());
    for (const QString &href : parsed.hrefs)
        EXPECT_EQ(href, u"https://evil.test/a?b=1&c=\"2\""_qs);
}

TEST(ReportTest, GivesTheFactsTheCountsAndEveryPiece)
{
    const ParsedReport parsed = parse(reportHtml(hostileCheck(), QDateTime(QDate(2026, 5, 5), QTime(10, 0))));
    for (const QString &expected : {u"论文<初稿>.docx"_qs, u"2026-05-05 10:00"_qs, u"2026-05-04 09:30"_qs,
                                    u"百度文库"_qs, u"35%"_qs, u"60%"_qs, u"10%"_qs, u"未检测"_qs, u"第三句没查。"_qs})
        EXPECT_TRUE(parsed.text.contains(expected)) << expected.toStdString();
}

TEST(ReportTest, SaysWhatTheAnalysisLeftOut)
{
    const auto shown = [](const CheckResults &check) {
        return parse(reportHtml(check, QDateTime::currentDateTime())).text;
    };
    CheckResults check = hostileCheck();
    EXPECT_TRUE(shown(check).contains(u"排除内容无"_qs));
    check.options.excludeQuotes = true;
    check.excluded.quotes = 37;
    EXPECT_TRUE(shown(check).contains(u"排除内容已排除引文 37 字，共 37 字不参与对比。"_qs));
    check.exclusionsKnown = false;
    EXPECT_TRUE(shown(check).contains(u"排除内容未记录（较早版本保存的检测）"_qs));
}

TEST(ReportTest, ColoursOnlyComparedPiecesOfTheArticle)
{
    const QString html = reportHtml(hostileCheck(), QDateTime::currentDateTime());
    const qsizetype article = html.indexOf(u"class=\"article\""_qs);
    ASSERT_GE(article, 0);
    const QString articleHtml = html.mid(article);
    const auto levelSpan = [](Level level, int piece) {
        return u"<span class=\"lv"_qs + QString::number(static_cast<int>(level)) + u"\" title=\""_qs +
               QString::number(piece) + u"\">"_qs;
    };
    EXPECT_TRUE(articleHtml.contains(levelSpan(Level::High, 1) + u"第一句在网上。</span><br/>"_qs));
    EXPECT_TRUE(articleHtml.contains(levelSpan(Level::Low, 2) + u"第二句是新的。</span>第三句没查。"_qs));
}

TEST(ReportTest, NoResultsYetGivesAnEmptyButWholeReport)
{
    CheckResults check;
    check.article = u"文章"_qs;
    check.pieces = {u"文章"_qs};
    const ParsedReport parsed = parse(reportHtml(check, QDateTime::currentDateTime()));
    ASSERT_EQ(parsed.error, QString());
    EXPECT_TRUE(parsed.text.contains(u"（粘贴的文章）"_qs));
    EXPECT_TRUE(parsed.text.contains(u"没有重复出现的网站。"_qs));
    EXPECT_TRUE(parsed.hrefs.isEmpty());
}

TEST(ReportTest, SiteRowsAreThoseOfTheMainWindowsReportOverTheSameSlots)
{
    CheckResults check = hostileCheck();
    check.results[2].items = {{u"三次"_qs, u"http://c.test/"_qs},
                              {u"三次"_qs, u"http://c.test/"_qs},
                              {u"三次"_qs, u"http://c.test/"_qs},
                              {u"一次"_qs, u"http://d.test/"_qs}};
    QStringList titles(31);
    QStringList urls(31);
    for (int piece = 0; piece < 3; ++piece)
        for (int k = 0; k < check.results[piece].items.size(); ++k) {
            titles[piece * 10 + k] = check.results[piece].items[k].title;
            urls[piece * 10 + k] = check.results[piece].items[k].url;
        }
    const QList<SiteRow> rows = siteRowsOf(check);
    EXPECT_EQ(rows, similarSites(titles, urls));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (SiteRow{u"三次"_qs, u"http://c.test/"_qs, 3}));
}

} // namespace
} // namespace veltrik
