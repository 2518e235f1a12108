#include "analysis/report.h"
#include "analysis/scoring.h"
#include "analysis/segmentation.h"
#include "analysis/sitereport.h"
#include "articles.h"
#include "checks.h"
#include "comparator/compareandmark.h"
#include "comparator/referencecomparison.h"

#include <benchmark/benchmark.h>

namespace veltrik {
namespace {

void BM_AnalyseArticle(benchmark::State &state)
{
    const QString article = benchmarks::thesisArticle(state.range(0));
    for (auto _ : state) {
        const ArticleAnalysis analysis = analyseArticle(article);
        benchmark::DoNotOptimize(analysis.pieces.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AnalyseArticle)->Arg(200000)->Unit(benchmark::kMillisecond);

// The article between a table of contents and a references section, every exclusion on: each paragraph
// is tested for a heading, a contents line and quotes.
void BM_AnalyseArticleWithExclusions(benchmark::State &state)
{
    QString article = QStringLiteral("目录\r\n");
    for (int chapter = 1; chapter <= 60; ++chapter)
        article += QStringLiteral("第%1章 研究内容……………………%2\r\n").arg(chapter).arg(chapter * 3);
    article += benchmarks::thesisArticle(state.range(0));
    article += QStringLiteral("\r\n参考文献\r\n");
    for (int entry = 1; entry <= 300; ++entry)
        article += QStringLiteral("[%1] 王建国. 在线教育发展研究[J]. 教育研究, 2019, 40(3): 45-52.\r\n").arg(entry);
    const AnalysisOptions everything{true, true, true};
    for (auto _ : state) {
        const ArticleAnalysis analysis = analyseArticle(article, everything);
        benchmark::DoNotOptimize(analysis.pieces.size());
    }
    state.SetItemsProcessed(state.iterations() * article.size());
}
BENCHMARK(BM_AnalyseArticleWithExclusions)->Arg(200000)->Unit(benchmark::kMillisecond);

// About 1 MB (in UTF-16 code units) of one block repeated.
QString repeatedToOneMegabyte(const QString &block)
{
    QString page;
    while (page.size() < 1000000)
        page += block;
    return page;
}

// A result page packed with highlights and items: a hard case.
QString denseResultPage()
{
    const QString block = QStringLiteral(
        "<div class=\"result c-container\"><h3 class=\"t\"><a href=\"http://a.example/x\">学术<em>写作规范研究与引用</em>"
        "</a></h3><div class=\"c-abstract\">本文分析了论文写作中引用不规范的主要原因，<em>结果表明学生对合理引用的认识不足</em>"
        "。</div><span data-tools='{\"title\":\"学术写作规范研究\",\"url\":\"http://a.example/x\"}'>"
        "<a class=\"c-tip-icon\"></a></span></div>\n");
    return repeatedToOneMegabyte(block);
}

// A result page of about 1 MB shaped like a real one: mostly markup, style and script, ten items.
QString typicalResultPage()
{
    const QString markup = QStringLiteral(
        "<div class=\"s_form\"><script>var s_session={\"logId\":\"3541\",\"seqId\":\"3542\"};"
        "function c(a){return a.replace(/x/g,'y');}</script><style>.c-container{margin:0 0 14px}"
        ".t{font-size:medium}</style><span class=\"nums\">百度为您找到相关结果约100,000个</span></div>\n");
    const QString item = QStringLiteral(
        "<div class=\"result c-container\"><h3 class=\"t\"><a href=\"http://a.example/x\"><em>学术写作规范研究与引用</em>"
        "</a></h3><div class=\"c-abstract\">本文分析了论文写作中引用不规范的主要原因，<em>结果表明学生对合理引用的认识不足</em>"
        "。</div><span data-tools='{\"title\":\"学术写作规范研究\",\"url\":\"http://a.example/x\"}'>"
        "<a class=\"c-tip-icon\"></a></span></div>\n");
    QString page;
    for (int i = 0; i < 10; ++i)
        page += item;
    while (page.size() < 1000000)
        page += markup;
    return page;
}

// A result page of cards: mu addresses, title links, inline scripts that highlight.
QString cardResultPage()
{
    const QString card = QStringLiteral(
        "<div class=\"result-op c-container xpath-log\" tpl=\"music\" mu=\"http://music.example/x\">"
        "<h3 class=\"t\"><a href=\"/link?url=1\" target=\"_blank\">学术写作规范研究与引用_在线试听</a></h3>"
        "<div class=\"c-row\"><div><div>歌曲、歌词与专辑</div></div></div><script>var musicCard = "
        "{\"name\":\"<em>学术写作规范研究与引用<\\/em>\"};</script><div class=\"c-abstract\">"
        "<em>结果表明学生对合理引用的认识不足</em></div></div>\n");
    return repeatedToOneMegabyte(card);
}

void scoreRepeatedly(benchmark::State &state, const QString &page)
{
    AnalysisState analysis;
    analysis.startAnalysis({QStringLiteral("学术写作规范研究与引用学术写作规范研究与引用学术写作规范研究与引用")},
                           QString());
    for (auto _ : state) {
        analysis.curSentence = 1;
        analysis.resultCount = 1;
        const ScoringOutcome outcome =
            scorePage(analysis, {page, page, QStringLiteral("https://www.baidu.com/s?wd=x")});
        benchmark::DoNotOptimize(outcome.similarityCaption);
    }
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}

void BM_ScoreTypicalPage(benchmark::State &state)
{
    scoreRepeatedly(state, typicalResultPage());
}
BENCHMARK(BM_ScoreTypicalPage)->Unit(benchmark::kMillisecond);

void BM_ScoreDensePage(benchmark::State &state)
{
    scoreRepeatedly(state, denseResultPage());
}
BENCHMARK(BM_ScoreDensePage)->Unit(benchmark::kMillisecond);

void BM_ScoreCardPage(benchmark::State &state)
{
    scoreRepeatedly(state, cardResultPage());
}
BENCHMARK(BM_ScoreCardPage)->Unit(benchmark::kMillisecond);

// The recorded items of 1,000 pieces: ten a piece, titles drawn from a few hundred sites, some of them
// very common.
void BM_SiteReport(benchmark::State &state)
{
    const int pieces = int(state.range(0));
    QStringList titles(10 * pieces + 1);
    QStringList urls(10 * pieces + 1);
    quint32 seed = 1;
    for (qsizetype slot = 0; slot + 1 < titles.size(); ++slot) {
        seed = seed * 1103515245 + 12345;
        const quint32 site = (seed >> 16) % 400;
        titles[slot] = QStringLiteral("学术网站%1：论文范文").arg(site % 7 == 0 ? site % 5 : site);
        urls[slot] = QStringLiteral("http://site%1.example/").arg(site);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(siteReportHtml(similarSites(titles, urls)));
}
BENCHMARK(BM_SiteReport)->Arg(1000)->Unit(benchmark::kMillisecond);

// The exported HTML report of a check of n compared pieces: the table, the coloured article and the sites.
void BM_ReportHtml(benchmark::State &state)
{
    const CheckResults check = benchmarks::comparedCheck(int(state.range(0)));
    const QDateTime made = QDateTime::currentDateTime();
    for (auto _ : state)
        benchmark::DoNotOptimize(reportHtml(check, made));
    state.counters["pieces"] = double(check.pieces.size());
}
BENCHMARK(BM_ReportHtml)->Arg(1000)->Unit(benchmark::kMillisecond);

void compareAndMarkRepeatedly(benchmark::State &state, const QString &article, const QString &reference)
{
    qsizetype marks = 0;
    for (auto _ : state) {
        const MatchResult result = matchPieces(article, cutReference(reference).pieces);
        marks = result.marks.size();
        benchmark::DoNotOptimize(result.segments);
    }
    state.counters["marks"] = double(marks);
}

void BM_CompareAndMark(benchmark::State &state)
{
    compareAndMarkRepeatedly(state, benchmarks::thesisArticle(state.range(0)),
                             benchmarks::referenceArticle(state.range(0)));
}
BENCHMARK(BM_CompareAndMark)->Arg(200000)->Unit(benchmark::kMillisecond);

// The same, with the place in the reference of every place marked, as each reference file gets it.
void BM_CompareWithReference(benchmark::State &state)
{
    const QString article = benchmarks::thesisArticle(state.range(0));
    const QString reference = benchmarks::referenceArticle(state.range(0));
    qsizetype places = 0;
    for (auto _ : state)
        places = compareWithReference(article, reference).places.size();
    state.counters["places"] = double(places);
}
BENCHMARK(BM_CompareWithReference)->Arg(200000)->Unit(benchmark::kMillisecond);

// One sentence repeated against itself: every piece is found at every place.
void BM_CompareAndMarkRepeatedSentence(benchmark::State &state)
{
    const QString article = u"我们去公园玩。"_qs.repeated(state.range(0));
    compareAndMarkRepeatedly(state, article, article);
}
BENCHMARK(BM_CompareAndMarkRepeatedSentence)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace veltrik
