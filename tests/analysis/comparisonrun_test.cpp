#include "analysis/comparisonrun.h"
#include "analysis/segmentation.h"
#include "support/distinctpieces.h"
#include "support/resultpages.h"

#include <QUrl>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace veltrik {
namespace {

using testing::resultPage;

// What the run told its window, in order where order matters.
class RecordingView final : public RunListener {
public:
    QString article;
    bool loading = false;
    QStringList sent;
    QString status;
    QString figures;
    QStringList messages;
    QStringList marked;
    int selectedRow = -1;
    int pacingRestarts = 0;
    bool automatic = false;
    bool editorAlone = false;
    QStringList events;
    std::function<void()> whileMessageOpen;

    QString articleText() const override { return article; }
    SearchEngine chosenEngine() const override { return SearchEngine::WebSearch; }
    bool pageLoading() const override { return loading; }
    void showAnalysis(const QStringList &, const QString &) override { selectedRow = -1; }
    void showSelectedRow(int row, const QString &) override { selectedRow = row; }
    void showComparing() override { events << u"comparing"_qs; }
    void showEditorAlone() override { editorAlone = true; }
    void markPiece(const QString &piece) override { marked << piece; }
    void showStatus(const QString &text) override { status = text; }
    void showFigures(const QString &text) override { figures = text; }
    void showRunState(bool automaticRun) override { automatic = automaticRun; }
    void inform(const QString &text) override
    {
        messages << text;
        events << text;
        if (const auto once = std::exchange(whileMessageOpen, nullptr))
            once();
    }
    void send(const QString &address) override
    {
        sent << address;
        events << u"send"_qs;
        loading = true;
    }
    void restartPacing() override { ++pacingRestarts; }
    QList<int> changedPieces;
    void pieceResultChanged(int piece) override { changedPieces << piece; }
};

struct Harness {
    RecordingView view;
    ComparisonRun run{view, Endpoints{u"http://search.test"_qs, u"http://wenku.test"_qs, u"http://site.test"_qs}};

    void analyse(const QString &text)
    {
        view.article = text;
        run.analyse();
    }

    // The page of the last request arrives; an empty body is a failed load.
    void arrive(const QString &body, const QString &url = u"http://search.test/s"_qs)
    {
        view.loading = false;
        run.pageArrived({body, body, url});
    }

    // The piece index of each request sent, -1 for a query that is no row's.
    QList<int> sentPieces() const
    {
        const QStringList rows = analyseArticle(view.article).rows();
        QList<int> pieces;
        for (const QString &address : view.sent) {
            const QString query = QUrlQuery(QUrl(address)).queryItemValue(u"wd"_qs, QUrl::FullyDecoded);
            qsizetype piece = rows.size() - 1;
            while (piece >= 0 && buildQuery(rows[piece]) != query)
                --piece;
            pieces << int(piece);
        }
        return pieces;
    }
};

QString article(int pieces)
{
    return testing::articleOfDistinctPieces(pieces);
}

const QString kCheckPage = u"<div><p>百度安全验证</p><p>请完成下方验证</p><p>拖动左侧滑块使图片为正</p></div>"_qs;
const QString kCheckAddress = u"https://wappass.baidu.com/static/captcha/tuxing.html?ak=1"_qs;

using Step = std::function<void(Harness &)>;

const Step analyse = [](Harness &h) { h.run.analyse(); };
const Step compare = [](Harness &h) { h.run.compare(); };
const Step start = [](Harness &h) { h.run.start(); };
const Step stop = [](Harness &h) { h.run.stop(); };
const Step tick = [](Harness &h) { h.run.pacingTick(); };
const Step check = [](Harness &h) { h.arrive(kCheckPage, kCheckAddress); };
const Step fail = [](Harness &h) { h.arrive(QString()); };

Step click(int row)
{
    return [row](Harness &h) { h.run.rowClicked(row); };
}

Step arrive(qsizetype highlightLength)
{
    return [highlightLength](Harness &h) { h.arrive(resultPage(highlightLength)); };
}

Step arriveBody(const QString &body)
{
    return [body](Harness &h) { h.arrive(body); };
}

struct RunCase {
    const char *name;
    QString article;
    std::vector<Step> steps;
    QList<int> sentPieces;
    QString status;
    int curSentence;
    int lastSentence;
    QStringList messages;
    bool automatic;
    int resultCount;
};

void PrintTo(const RunCase &runCase, std::ostream *out)
{
    *out << runCase.name;
}

const QString kEnd = u"本次对比结束！"_qs;

class ComparisonRunSequences : public ::testing::TestWithParam<RunCase> {};

TEST_P(ComparisonRunSequences, SendShowAndKeepThePosition)
{
    const RunCase &c = GetParam();
    Harness h;
    h.view.article = c.article;
    for (const Step &step : c.steps)
        step(h);
    EXPECT_EQ(h.sentPieces(), c.sentPieces);
    EXPECT_EQ(h.view.status, c.status);
    EXPECT_EQ(h.run.state().curSentence, c.curSentence);
    EXPECT_EQ(h.run.state().lastSentence, c.lastSentence);
    EXPECT_EQ(h.view.messages, c.messages);
    EXPECT_EQ(h.run.state().autoMode, c.automatic);
    EXPECT_EQ(h.view.automatic, c.automatic);
    EXPECT_EQ(h.run.state().resultCount, c.resultCount);
    // Every request starts the pacing interval afresh.
    EXPECT_EQ(h.view.pacingRestarts, h.view.sent.size());
}

INSTANTIATE_TEST_SUITE_P(
    ComparisonRun, ComparisonRunSequences,
    ::testing::Values(RunCase{"compare_before_any_analysis", article(3), {compare}, {}, {}, 0, 0, {kEnd}, false, 0},
                      RunCase{"first_compare",
                              article(3),
                              {analyse, compare},
                              {0},
                              u"现在正在对比第 1 句！共 3 句。"_qs,
                              1,
                              0,
                              {},
                              false,
                              1},
                      RunCase{"second_compare_sends_only_the_next_row",
                              article(3),
                              {analyse, compare, compare},
                              {0, 1},
                              u"现在正在对比第 2 句！共 3 句。"_qs,
                              2,
                              1,
                              {},
                              false,
                              1},
                      RunCase{"fourth_compare_ends_the_run",
                              article(3),
                              {analyse, compare, compare, compare, compare},
                              {0, 1, 2},
                              u"现在正在对比第 3 句！共 3 句。"_qs,
                              3,
                              2,
                              {kEnd},
                              false,
                              1},
                      RunCase{"row_click_right_after_the_analysis_only_selects",
                              article(5),
                              {analyse, click(3)},
                              {},
                              u"本文共 162 字，本次分析共分析出 5 句，请多次点击进行对比！"_qs,
                              3,
                              0,
                              {},
                              false,
                              1},
                      RunCase{"compare_after_that_click_sends_the_row",
                              article(5),
                              {analyse, click(3), compare},
                              {3},
                              u"现在正在对比第 4 句！共 5 句。"_qs,
                              4,
                              3,
                              {},
                              false,
                              1},
                      RunCase{"row_click_in_a_manual_run_sends_at_once",
                              article(8),
                              {analyse, compare, click(5), compare},
                              {0, 5, 6},
                              u"现在正在对比第 7 句！共 8 句。"_qs,
                              7,
                              6,
                              {},
                              false,
                              1},
                      RunCase{"failed_page_in_an_automatic_run_is_sent_again",
                              article(3),
                              {analyse, start, fail, tick},
                              {0, 0},
                              u"网络不给力，正在重新对比第 1 句"_qs,
                              1,
                              0,
                              {},
                              true,
                              1},
                      RunCase{"page_without_text_is_repeated_and_its_count_taken_back",
                              article(3),
                              {analyse, start, arrive(412), tick, arriveBody(u"<p>Server Error</p>"_qs), tick},
                              {0, 1, 1},
                              u"网络不给力，正在重新对比第 2 句"_qs,
                              2,
                              1,
                              {},
                              true,
                              2},
                      RunCase{"automatic_run_to_its_end",
                              article(2),
                              {analyse, start, arrive(0), tick, arrive(0), tick},
                              {0, 1},
                              u"现在正在对比第 2 句！共 2 句。"_qs,
                              2,
                              1,
                              {kEnd},
                              false,
                              3},
                      RunCase{"tick_while_loading_waits_for_the_page",
                              article(3),
                              {analyse, start, tick, tick, arrive(412)},
                              {0, 1},
                              u"现在正在对比第 1 句！共 3 句。"_qs,
                              2,
                              1,
                              {},
                              true,
                              2},
                      RunCase{"security_check_holds_an_automatic_run",
                              article(3),
                              {analyse, start, arrive(412), tick, check, tick, tick},
                              {0, 1},
                              u"请在下方通过安全验证，之后自动继续对比第 2 句"_qs,
                              2,
                              1,
                              {},
                              true,
                              2},
                      RunCase{"the_run_goes_on_once_the_check_is_passed",
                              article(3),
                              {analyse, start, arrive(412), tick, check, tick, arrive(0), tick},
                              {0, 1, 2},
                              u"现在正在对比第 2 句！共 3 句。"_qs,
                              3,
                              2,
                              {},
                              true,
                              3},
                      RunCase{"stop_while_a_check_waits",
                              article(3),
                              {analyse, start, check, stop, tick},
                              {0},
                              u"请在下方通过安全验证，之后显示第 1 句的结果"_qs,
                              1,
                              0,
                              {},
                              false,
                              1},
                      RunCase{"stop_while_a_tick_waits_for_its_page",
                              article(3),
                              {analyse, start, tick, stop, arrive(412)},
                              {0},
                              u"现在正在对比第 1 句！共 3 句。"_qs,
                              1,
                              0,
                              {},
                              false,
                              2},
                      RunCase{"start_during_a_check_sends_the_waiting_piece_again",
                              article(3),
                              {analyse, start, arrive(412), tick, check, stop, start},
                              {0, 1, 1},
                              u"请在下方通过安全验证，之后显示第 2 句的结果"_qs,
                              2,
                              1,
                              {},
                              true,
                              2},
                      RunCase{"empty_editor_asks_for_text",
                              QString(),
                              {analyse, start},
                              {},
                              u"本文共 0 字，本次分析共分析出 0 句，请多次点击进行对比！"_qs,
                              0,
                              0,
                              {u"请先输入关键字"_qs},
                              false,
                              1},
                      RunCase{"empty_query_is_skipped_without_a_request",
                              u"，，"_qs,
                              {analyse, compare},
                              {},
                              u"本文共 2 字，本次分析共分析出 1 句，请多次点击进行对比！"_qs,
                              0,
                              0,
                              {},
                              false,
                              1}),
    [](const ::testing::TestParamInfo<RunCase> &info) { return std::string(info.param.name); });

TEST(ComparisonRun, FirstCompareSelectsAndMarksThePieceItSends)
{
    Harness h;
    h.analyse(article(3));
    h.run.compare();
    EXPECT_EQ(h.view.selectedRow, 0);
    EXPECT_EQ(h.view.marked, QStringList{u"甲"_qs.repeated(38)});
}

TEST(ComparisonRun, TheFinalCompareBlanksThePageBeforeItsMessage)
{
    Harness h;
    h.analyse(article(1));
    h.run.compare();
    h.arrive(resultPage(412));
    ASSERT_FALSE(h.run.state().pageHtml.isEmpty());
    h.view.events.clear();
    h.run.compare();
    EXPECT_EQ(h.view.events, (QStringList{u"comparing"_qs, kEnd}));
    EXPECT_TRUE(h.run.state().pageHtml.isEmpty());
}

TEST(ComparisonRun, TicksWhileAMessageIsOpenAreIgnored)
{
    Harness h;
    h.analyse(article(2));
    h.run.start();
    h.arrive(resultPage(412));
    h.run.pacingTick();
    h.arrive(resultPage(412));
    h.view.whileMessageOpen = [&h] { h.run.pacingTick(); };
    h.run.pacingTick(); // the end of the run
    EXPECT_EQ(h.view.messages, QStringList{kEnd});
    EXPECT_EQ(h.view.sent.size(), 2);
}

TEST(ComparisonRun, ScoredPagesShowTheFiguresAndFeedTheReport)
{
    Harness h;
    h.analyse(article(3));
    const QString item = testing::resultItem(u"论文网"_qs, u"http://a.test/"_qs);
    h.run.compare();
    h.arrive(resultPage(412, item));
    EXPECT_EQ(h.view.figures, u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
    h.run.compare();
    h.arrive(resultPage(0, item));
    EXPECT_EQ(h.view.figures, u"本句相似度：0%\r\n\r\n目前总体相似度：16%"_qs);
    EXPECT_TRUE(h.run.siteReport().contains(
        u"<a href=\"http://a.test/\" target=_blank>论文网</a></td><td width=100 align=center>2</td>"_qs));
}

// The page is read against the query that was sent for it: a page that found nothing for a query about
// security checks is scored, not taken for a check.
TEST(ComparisonRun, APageIsReadAgainstTheQuerySent)
{
    Harness h;
    h.analyse(u"百度安全验证怎么通过"_qs);
    h.run.compare();
    h.arrive(u"<p>抱歉，没有找到与“百度安全验证怎么通过”相关的网页。</p>"_qs);
    EXPECT_FALSE(h.run.securityCheckShown());
    EXPECT_EQ(h.view.figures, u"本句相似度：0%\r\n\r\n目前总体相似度：0%"_qs);
}

// The per-piece record through whole runs: what each piece's result says after the steps, and which
// changes the window was told of.
struct PieceResultCase {
    const char *name;
    int pieces;
    std::vector<Step> steps;
    QList<PieceState> states;
    QList<double> similarities;
    int position;
    QList<int> changes;
};

void PrintTo(const PieceResultCase &resultCase, std::ostream *out)
{
    *out << resultCase.name;
}

class PieceResults : public ::testing::TestWithParam<PieceResultCase> {};

constexpr PieceState kNot = PieceState::NotCompared;
constexpr PieceState kDone = PieceState::Compared;
constexpr PieceState kAgain = PieceState::Repeated;
constexpr PieceState kWait = PieceState::WaitingForCheck;

TEST_P(PieceResults, RecordEveryPieceAndTellTheWindow)
{
    const PieceResultCase &c = GetParam();
    Harness h;
    h.view.article = article(c.pieces);
    for (const Step &step : c.steps)
        step(h);
    const CheckResults &results = h.run.results();
    QList<PieceState> states;
    QList<double> similarities;
    for (const PieceResult &result : results.results) {
        states << result.state;
        similarities << result.similarity;
    }
    EXPECT_EQ(states, c.states);
    EXPECT_EQ(similarities, c.similarities);
    EXPECT_EQ(results.position, c.position);
    EXPECT_EQ(h.view.changedPieces, c.changes);
    EXPECT_EQ(results.pieces, *h.run.state().sentences);
    // The overall figure stays the run's own.
    EXPECT_EQ(results.similaritySum, h.run.state().similaritySum);
    EXPECT_EQ(results.resultCount, h.run.state().resultCount);
}

INSTANTIATE_TEST_SUITE_P(
    ComparisonRun, PieceResults,
    ::testing::Values(
        PieceResultCase{"analysis_leaves_every_piece_not_compared", 3, {analyse}, {kNot, kNot, kNot}, {0, 0, 0}, 0, {}},
        PieceResultCase{"scored_pages_give_each_piece_its_figure",
                        3,
                        {analyse, start, arrive(412), tick, arrive(0)},
                        {kDone, kDone, kNot},
                        {32, 0, 0},
                        2,
                        {0, 1}},
        PieceResultCase{"failed_page_marks_its_piece_repeated",
                        3,
                        {analyse, start, fail, tick},
                        {kAgain, kNot, kNot},
                        {0, 0, 0},
                        0,
                        {0}},
        PieceResultCase{"repeated_piece_is_compared_once_its_page_arrives",
                        3,
                        {analyse, start, fail, tick, arrive(412)},
                        {kDone, kNot, kNot},
                        {32, 0, 0},
                        1,
                        {0, 0}},
        PieceResultCase{"page_without_text_is_repeated_after_its_score",
                        3,
                        {analyse, start, arriveBody(u"<p>Server Error</p>"_qs), tick},
                        {kAgain, kNot, kNot},
                        {0, 0, 0},
                        0,
                        {0, 0}},
        PieceResultCase{"security_check_holds_its_piece",
                        3,
                        {analyse, start, arrive(412), tick, check, tick},
                        {kDone, kWait, kNot},
                        {32, 0, 0},
                        1,
                        {0, 1}},
        PieceResultCase{"passed_check_scores_the_waiting_piece",
                        3,
                        {analyse, start, arrive(412), tick, check, tick, arrive(412)},
                        {kDone, kDone, kNot},
                        {32, 32, 0},
                        2,
                        {0, 1, 1}},
        PieceResultCase{"row_compared_again_takes_its_last_page",
                        3,
                        {analyse, compare, arrive(412), compare, arrive(0), click(0), arrive(0)},
                        {kDone, kDone, kNot},
                        {0, 0, 0},
                        1,
                        {0, 1, 0}},
        PieceResultCase{
            "failed_page_in_a_manual_run_changes_nothing", 2, {analyse, compare, fail}, {kNot, kNot}, {0, 0}, 0, {}},
        PieceResultCase{
            "a_new_analysis_starts_afresh", 2, {analyse, compare, arrive(412), analyse}, {kNot, kNot}, {0, 0}, 0, {0}}),
    [](const ::testing::TestParamInfo<PieceResultCase> &info) { return std::string(info.param.name); });

TEST(ComparisonRun, EachPieceKeepsTheItemsOfItsPageAndTheFigureTheLabelShows)
{
    Harness h;
    h.analyse(article(2));
    const QString first = testing::resultItem(u"论文网"_qs, u"http://a.test/"_qs);
    const QString second = testing::resultItem(u"文库"_qs, u"http://b.test/"_qs);
    h.run.start();
    h.arrive(resultPage(412, first + second));
    EXPECT_TRUE(h.view.figures.startsWith(u"本句相似度：32%"_qs));
    h.run.pacingTick();
    h.arrive(resultPage(100, second));
    const QList<PieceResult> &results = h.run.results().results;
    EXPECT_EQ(results[0].items,
              (QList<ResultItem>{{u"论文网"_qs, u"http://a.test/"_qs}, {u"文库"_qs, u"http://b.test/"_qs}}));
    EXPECT_EQ(results[1].items, (QList<ResultItem>{{u"文库"_qs, u"http://b.test/"_qs}}));
    EXPECT_TRUE(h.view.figures.startsWith(u"本句相似度："_qs + QString::number(results[1].similarity) + u"%"_qs));
    EXPECT_EQ(h.run.results().article, article(2));
    EXPECT_TRUE(h.run.results().started.isValid());
    EXPECT_GE(h.run.results().lastChange, h.run.results().started);
}

// An automatic run over `pieces` pieces whose k-th page highlights 100 + 50 k characters; `from` is the
// piece it starts with, after a restore.
void runToTheEnd(Harness &h, int pieces, int from)
{
    h.run.start();
    for (int k = from; k < pieces; ++k) {
        h.arrive(resultPage(100 + 50 * k, testing::resultItem(QString::number(k), u"http://a.test/"_qs)));
        h.run.pacingTick();
    }
}

TEST(ComparisonRun, ARestoredCheckGoesOnWhereItWasLeftAndEndsAsAnUninterruptedRun)
{
    Harness whole;
    whole.analyse(article(5));
    runToTheEnd(whole, 5, 0);

    Harness first;
    first.analyse(article(5));
    first.run.start();
    for (int k = 0; k < 2; ++k) {
        first.arrive(resultPage(100 + 50 * k, testing::resultItem(QString::number(k), u"http://a.test/"_qs)));
        first.run.pacingTick();
    }
    // The third piece was in flight when the first run ended: its page never came.
    CheckResults saved = first.run.results();
    ASSERT_EQ(saved.position, 2);

    Harness resumed;
    resumed.view.article = saved.article;
    resumed.run.restore(saved);
    EXPECT_EQ(resumed.run.results(), saved);
    EXPECT_EQ(resumed.view.selectedRow, 2);
    EXPECT_EQ(resumed.view.status, u"现在正在对比第 2 句！共 5 句。"_qs);
    runToTheEnd(resumed, 5, 2);
    EXPECT_EQ(resumed.sentPieces(), (QList<int>{2, 3, 4}));

    CheckResults expected = whole.run.results();
    CheckResults actual = resumed.run.results();
    expected.started = actual.started = {};
    expected.lastChange = actual.lastChange = {};
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(resumed.run.siteReport(), whole.run.siteReport());
    EXPECT_EQ(resumed.view.figures, whole.view.figures);
}

TEST(ComparisonRun, APageInFlightWhenACheckIsTakenUpIsNotScoredForIt)
{
    Harness saved;
    saved.analyse(article(3));
    Harness h;
    h.analyse(article(4));
    h.run.compare(); // its page is loading when the saved check is opened
    h.view.article = saved.view.article;
    h.run.restore(saved.run.results());
    h.arrive(resultPage(412));
    EXPECT_EQ(h.run.results(), saved.run.results());
    h.run.compare();
    h.arrive(resultPage(412));
    EXPECT_EQ(h.run.results().results[0].state, PieceState::Compared);
}

TEST(ComparisonRun, ARestoredCheckWorksOnTheTextItsAnalysisKept)
{
    Harness h;
    h.view.article = article(3) + u"\r\n参考文献\r\n[1] 张三. 论文写作[M]. 北京: 科学出版社, 2010.\r\n"_qs;
    h.run.analyse({.excludeReferences = true});
    ASSERT_GT(h.run.results().excluded.references, 0);
    Harness resumed;
    resumed.view.article = h.view.article;
    resumed.run.restore(h.run.results());
    EXPECT_EQ(resumed.run.state().workText, h.run.state().workText);
}

TEST(ComparisonRun, ARestoredCheckShowsTheFiguresOfItsLastPiece)
{
    Harness h;
    h.analyse(article(3));
    h.run.compare();
    h.arrive(resultPage(412));
    Harness resumed;
    resumed.view.article = h.view.article;
    resumed.run.restore(h.run.results());
    EXPECT_EQ(resumed.view.figures, u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
}

} // namespace
} // namespace veltrik
