#include "analysis/analysisstate.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

TEST(AnalysisState, AnalysisResetsCountersAndRecreatesSlots)
{
    AnalysisState state;
    state.curSentence = 7;
    state.lastSentence = 6;
    state.resultCount = 5;
    state.similaritySum = 80;
    state.autoMode = true;
    state.pageHtml = u"<p>kept</p>"_qs;
    state.siteTitles = QStringList{u"old"_qs};
    state.startAnalysis({u"甲"_qs, u"乙"_qs, u"丙"_qs}, u"甲乙丙"_qs);

    EXPECT_EQ(state.sentenceCount(), 3);
    EXPECT_EQ(state.curSentence, 0);
    EXPECT_EQ(state.lastSentence, 0);
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_EQ(state.similaritySum, 0);
    EXPECT_FALSE(state.autoMode);
    EXPECT_TRUE(state.listSync);
    EXPECT_EQ(state.workText, u"甲乙丙"_qs);
    EXPECT_EQ(state.pageHtml, u"<p>kept</p>"_qs); // the page fields are the next compare's to empty
    ASSERT_EQ(state.siteTitles.size(), 31);
    EXPECT_EQ(state.siteUrls.size(), 31);
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
