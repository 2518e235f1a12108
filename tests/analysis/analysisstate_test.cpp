#include "analysis/analysisstate.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

TEST(AnalysisState, UnsetFieldsReadZeroOrEmpty)
{
    const AnalysisState state;
    EXPECT_FALSE(state.sentences.has_value());
    EXPECT_EQ(state.sentenceCount(), 0);
    EXPECT_EQ(state.autoMode, 0);
    EXPECT_EQ(state.resultCount, 0);
    EXPECT_EQ(state.similaritySum, 0);
    EXPECT_TRUE(state.workText.isEmpty());
    EXPECT_TRUE(state.pageHtml.isEmpty());
    EXPECT_TRUE(state.siteTitles.isEmpty());
}

TEST(AnalysisState, AnalysisResetsCountersAndRecreatesSlots)
{
    AnalysisState state;
    state.curSentence = 7;
    state.lastSentence = 6;
    state.resultCount = 5;
    state.similaritySum = 80;
    state.autoMode = 1;
    state.tallyDue = 1;
    state.pageHtml = u"<p>kept</p>"_qs;
    state.siteTitles = QStringList{u"old"_qs};
    state.startAnalysis({u"甲"_qs, u"乙"_qs, u"丙"_qs}, u"甲乙丙"_qs);

    EXPECT_EQ(state.sentenceCount(), 3);
    EXPECT_EQ(state.curSentence, 0);
    EXPECT_EQ(state.lastSentence, 0);
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_EQ(state.similaritySum, 0);
    EXPECT_EQ(state.autoMode, 0);
    EXPECT_EQ(state.tallyDue, 0);
    EXPECT_EQ(state.listSync, 1);
    EXPECT_EQ(state.workText, u"甲乙丙"_qs);
    EXPECT_EQ(state.pageHtml, u"<p>kept</p>"_qs); // the page fields are the next compare's to empty
    ASSERT_EQ(state.siteTitles.size(), 31);
    EXPECT_EQ(state.siteUrls.size(), 31);
    EXPECT_EQ(state.siteTally.size(), 31);
    EXPECT_TRUE(state.siteTitles.first().isEmpty());
}

TEST(AnalysisState, AnalysisWithoutPiecesKeepsOneSlot)
{
    AnalysisState state;
    state.startAnalysis({}, QString());
    EXPECT_TRUE(state.sentences.has_value());
    EXPECT_EQ(state.sentenceCount(), 0);
    EXPECT_EQ(state.siteTitles.size(), 1);
}

} // namespace
} // namespace veltrik
