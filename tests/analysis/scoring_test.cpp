#include "analysis/scoring.h"
#include "support/resultpages.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::fillerText;
using testing::highlighted;
using testing::resultItem;

// An analysis of `count` pieces of 38 characters, with the first compare issued.
AnalysisState comparing(int count = 3, int sentence = 1)
{
    AnalysisState state;
    QStringList pieces;
    for (int i = 0; i < count; ++i)
        pieces << u"句"_qs.repeated(38);
    state.startAnalysis(pieces, pieces.join(QString()));
    state.curSentence = sentence;
    state.lastSentence = sentence - 1;
    state.listSync = 0;
    return state;
}

struct HighlightCase {
    const char *name;
    QString html;
    qsizetype counted;
};

class Highlights : public ::testing::TestWithParam<HighlightCase> {};

TEST_P(Highlights, CountsFragmentsLongerThanNine)
{
    EXPECT_EQ(highlightTextOf(GetParam().html).size(), GetParam().counted);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, Highlights,
    ::testing::Values(HighlightCase{"nine_ignored", highlighted(9), 0}, HighlightCase{"ten_counts", highlighted(10), 10},
                      HighlightCase{"several", highlighted(12) + u"间"_qs + highlighted(3) + highlighted(20), 32},
                      HighlightCase{"upper_case_masks_lower", highlighted(12, u"EM"_qs) + highlighted(30), 12},
                      HighlightCase{"lower_case_alone", highlighted(30), 30},
                      HighlightCase{"unclosed_runs_to_next_tag", u"<em>"_qs + u"y"_qs.repeated(11) + highlighted(4), 11},
                      HighlightCase{"no_highlight", fillerText(), 0}, HighlightCase{"empty", QString(), 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PageText, KeepsDoubleByteCharactersWithoutIdeographicSpaces)
{
    EXPECT_EQ(pageTextOf(u"<p class=\"x\">中文，\u3000ab€😀</p>"_qs), u"中文，"_qs);
}

TEST(SentencePercent, WorkedExample)
{
    EXPECT_EQ(sentencePercent(412, 38), 32);
    EXPECT_EQ(sentencePercent(0, 38), 0);
    EXPECT_GT(sentencePercent(3000, 38), 100); // no upper limit
}

TEST(ScorePage, FirstPageGivesItsFigureTwice)
{
    AnalysisState state = comparing();
    const QString page = fillerText() + u"<em>"_qs + u"匹"_qs.repeated(412) + u"</em>"_qs;
    const ScoringOutcome outcome = scorePage(state, page);
    EXPECT_EQ(outcome.similarityCaption, u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
    EXPECT_EQ(outcome.progressCaption, u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_EQ(state.similaritySum, 32);
    EXPECT_EQ(state.resultCount, 2);
    EXPECT_EQ(state.pageHtml, page);
    EXPECT_FALSE(state.pageText.isEmpty());
    EXPECT_FALSE(state.markedHtml.isEmpty());
}

TEST(ScorePage, ShortPageScoresZeroAndStillCountsInTheMean)
{
    AnalysisState state = comparing();
    scorePage(state, fillerText() + u"<em>"_qs + u"匹"_qs.repeated(412) + u"</em>"_qs);
    state.curSentence = 2;
    const ScoringOutcome outcome = scorePage(state, u"<p>出错了</p>"_qs + highlighted(50));
    EXPECT_EQ(outcome.similarityCaption, u"本句相似度：0%\r\n\r\n目前总体相似度：16%"_qs);
    EXPECT_EQ(state.similaritySum, 32);
    EXPECT_EQ(state.resultCount, 3);
}

TEST(ScorePage, EmptyBodyChangesOnlyTheProgressLine)
{
    AnalysisState state = comparing();
    const ScoringOutcome outcome = scorePage(state, QString());
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_EQ(outcome.progressCaption, u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_TRUE(state.pageHtml.isEmpty());
    EXPECT_TRUE(state.markedHtml.isEmpty());
}

TEST(ScorePage, BeforeAnyAnalysisNothingVisibleChanges)
{
    AnalysisState state;
    const ScoringOutcome outcome = scorePage(state, QString());
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_FALSE(outcome.progressCaption.has_value());
}

TEST(ScorePage, ZeroResultCountLeavesTheLabelButAddsTheFigure)
{
    AnalysisState state = comparing();
    state.resultCount = 0;
    const ScoringOutcome outcome = scorePage(state, fillerText() + u"<em>"_qs + u"匹"_qs.repeated(412) + u"</em>"_qs);
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_EQ(state.similaritySum, 32);
    EXPECT_EQ(state.resultCount, 1);
}

TEST(ScorePage, NoSuchPieceSkipsTheFigureButCountsThePage)
{
    AnalysisState state = comparing(3, 0); // no compare issued yet
    const ScoringOutcome outcome = scorePage(state, fillerText() + highlighted(50));
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_EQ(state.similaritySum, 0);
    EXPECT_EQ(state.resultCount, 2);
}

TEST(ScorePage, ItemsGoIntoThePieceSlotsInPageOrder)
{
    AnalysisState state = comparing(3, 2);
    scorePage(state, fillerText() + resultItem(u"<em>标题</em>一"_qs, u"http://a.test/1"_qs) + resultItem(u"标题二"_qs, u"http://b.test/2"_qs));
    EXPECT_EQ(state.siteTitles[10], u"标题一"_qs);
    EXPECT_EQ(state.siteUrls[10], u"http://a.test/1"_qs);
    EXPECT_EQ(state.siteTitles[11], u"标题二"_qs);
    EXPECT_EQ(state.siteUrls[11], u"http://b.test/2"_qs);
    EXPECT_TRUE(state.siteTitles[12].isEmpty());
    EXPECT_TRUE(state.siteTitles[0].isEmpty());
}

TEST(ScorePage, ItemsBeyondTheTenthAreDropped)
{
    AnalysisState state = comparing(2, 1);
    QString page = fillerText();
    for (int i = 0; i < 12; ++i)
        page += resultItem(u"标题"_qs + QString::number(i), u"http://a.test/"_qs + QString::number(i));
    scorePage(state, page);
    EXPECT_EQ(state.siteTitles[9], u"标题9"_qs);
    EXPECT_TRUE(state.siteTitles[10].isEmpty()); // the next piece's first slot
}

TEST(MarkedItems, UpperCaseAnchorFormToo)
{
    const QString page = u"<div data-tools='{\"title\":\"甲\",\"url\":\"http://a/\"}'><A class=c-tip-icon></A></div>"_qs;
    EXPECT_EQ(itemsOfMarkedPage(markItems(page)), (QList<ResultItem>{{u"甲"_qs, u"http://a/"_qs}}));
}

TEST(MarkedItems, ATitleHoldingTheUrlMarkerShiftsThePairs)
{
    const QString page = resultItem(u"甲\",\"url\":\"乙"_qs, u"http://a/"_qs) + resultItem(u"丙"_qs, u"http://c/"_qs);
    const QList<ResultItem> items = itemsOfMarkedPage(markItems(page));
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items[0].title, u"甲"_qs); // cut at the marker
    EXPECT_NE(items.value(1), (ResultItem{u"丙"_qs, u"http://c/"_qs}));
}

TEST(MarkedItems, NoItemsOnAPlainPage)
{
    EXPECT_TRUE(itemsOfMarkedPage(markItems(fillerText())).isEmpty());
}

} // namespace
} // namespace veltrik

namespace veltrik {
namespace {

// The marking as written: each pattern replaced over the whole page in turn, then each tag removed.
QString markedPassByPass(QString html)
{
    const QString marker = u"<bbbbbbbb>"_qs;
    for (const QString &pattern : {u"\",\"url\":\""_qs, u"data-tools='{\"title\":\""_qs, u"\"}'><A class=c-tip-icon>"_qs,
                                   u"\"}'><a class=\"c-tip-icon\">"_qs})
        html.replace(pattern, marker);
    for (const QString &tag : {u"<EM>"_qs, u"<em>"_qs, u"</EM>"_qs, u"</em>"_qs})
        html.replace(tag, QString());
    return html;
}

TEST(MarkedItems, AgreeWithReplacingPatternByPatternOnRandomPages)
{
    const QStringList fragments = {u"\",\"url\":\""_qs, u"data-tools='{\"title\":\""_qs, u"\"}'><A class=c-tip-icon>"_qs,
                                   u"\"}'><a class=\"c-tip-icon\">"_qs, u"<EM>"_qs, u"<em>"_qs, u"</EM>"_qs, u"</em>"_qs,
                                   u"<"_qs, u"e"_qs, u"m>"_qs, u"EM>"_qs, u"/"_qs, u"\""_qs, u"d"_qs, u"标题"_qs,
                                   u"data-tools='{\"title\":"_qs, u"x"_qs};
    std::srand(7);
    for (int round = 0; round < 20000; ++round) {
        QString page;
        const int length = std::rand() % 12;
        for (int i = 0; i < length; ++i)
            page += fragments[std::rand() % fragments.size()];
        ASSERT_EQ(markItems(page), markedPassByPass(page)) << page.toStdString();
    }
}

TEST(MarkedItems, TagsJoinedByARemovalAreRemovedLikeTheOthers)
{
    EXPECT_EQ(markItems(u"a<<EM>em>b</<em>em>c"_qs), u"abc"_qs);
    EXPECT_EQ(markItems(u"a<<em>EM>b"_qs), u"a<EM>b"_qs); // "<EM>" was removed before this one appeared
}

} // namespace
} // namespace veltrik
