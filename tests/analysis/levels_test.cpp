#include "analysis/levels.h"
#include "analysis/runprogress.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

PieceResult compared(double similarity)
{
    return {PieceState::Compared, similarity, {}};
}

struct LevelCase {
    PieceResult result;
    Level level;
};

class LevelOfTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelOfTest, FollowsTheThresholds)
{
    EXPECT_EQ(levelOf(GetParam().result), GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(Thresholds, LevelOfTest,
                         ::testing::Values(LevelCase{compared(0), Level::Low}, LevelCase{compared(19.99), Level::Low},
                                           LevelCase{compared(20), Level::Medium},
                                           LevelCase{compared(49), Level::Medium}, LevelCase{compared(50), Level::High},
                                           LevelCase{compared(130), Level::High},
                                           LevelCase{{PieceState::NotCompared, 0, {}}, Level::NotChecked},
                                           LevelCase{{PieceState::Repeated, 60, {}}, Level::NotChecked},
                                           LevelCase{{PieceState::WaitingForCheck, 0, {}}, Level::NotChecked}));

TEST(LevelsTest, RangesInWordsComeFromTheTable)
{
    EXPECT_EQ(levelRangeText(Level::High), u"≥ 50%"_qs);
    EXPECT_EQ(levelRangeText(Level::Medium), u"20%–50%"_qs);
    EXPECT_EQ(levelRangeText(Level::Low), u"< 20%"_qs);
    EXPECT_EQ(levelRangeText(Level::NotChecked), QString());
    for (const LevelInfo &info : levelTable())
        EXPECT_EQ(&levelInfo(info.level), &info);
}

TEST(LevelsTest, CountsEveryPieceOnceAndPiecesWithoutResultAsUnchecked)
{
    CheckResults check;
    check.pieces = {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs};
    check.results = {compared(70), compared(30), compared(5), compared(55)};
    const LevelCounts counts = countLevels(check);
    EXPECT_EQ(counts.of(Level::High), 2);
    EXPECT_EQ(counts.of(Level::Medium), 1);
    EXPECT_EQ(counts.of(Level::Low), 1);
    EXPECT_EQ(counts.of(Level::NotChecked), 1);
    EXPECT_EQ(counts.checked(), 4);
}

TEST(LevelsTest, OverallFigureIsTheRoundedMeanAndNoneBeforeAPage)
{
    CheckResults check;
    EXPECT_EQ(overallSimilarity(check), std::nullopt);
    check.similaritySum = 32;
    // The run counts a page after its figure is shown: three pages counted leave a count of four.
    check.resultCount = 4;
    EXPECT_EQ(overallSimilarity(check), 10.67);
}

struct LocateCase {
    const char16_t *name;
    QString article;
    QStringList pieces;
    QStringList found; // the located stretch of each piece; empty when not found
};

class LocatePiecesTest : public ::testing::TestWithParam<LocateCase> {};

TEST_P(LocatePiecesTest, FindsEachPieceInItsPlace)
{
    CheckResults check;
    check.article = GetParam().article;
    check.pieces = GetParam().pieces;
    const LocatedArticle located = locatePieces(check);
    ASSERT_EQ(located.pieces.size(), GetParam().found.size());
    for (qsizetype i = 0; i < located.pieces.size(); ++i)
        EXPECT_EQ(located.text.mid(located.pieces[i].start, located.pieces[i].length), GetParam().found[i])
            << QString::fromUtf16(GetParam().name).toStdString() << " piece " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Articles, LocatePiecesTest,
    ::testing::Values(
        LocateCase{u"plain", u"甲乙丙丁戊己"_qs, {u"甲乙丙"_qs, u"丁戊己"_qs}, {u"甲乙丙"_qs, u"丁戊己"_qs}},
        LocateCase{u"across a paragraph end and spaces",
                   u"甲乙 丙\r\n丁戊己"_qs,
                   {u"甲乙丙丁"_qs, u"戊己"_qs},
                   {u"甲乙 丙\n丁"_qs, u"戊己"_qs}},
        LocateCase{u"full-width marks of the cleaning", u"对吗?是的!"_qs, {u"对吗？是的！"_qs}, {u"对吗?是的!"_qs}},
        LocateCase{u"a repeated piece is found after the one before",
                   u"重复重复"_qs,
                   {u"重复"_qs, u"重复"_qs},
                   {u"重复"_qs, u"重复"_qs}},
        LocateCase{
            u"a piece not in the article", u"甲乙丙"_qs, {u"丁戊"_qs, u"甲乙丙"_qs}, {QString(), u"甲乙丙"_qs}}));

TEST(RunProgressTest, CountsComparedPiecesAsDone)
{
    CheckResults check;
    check.pieces = {u"a"_qs, u"b"_qs, u"c"_qs};
    check.results = {compared(1), {PieceState::Repeated, 0, {}}};
    const PieceProgress progress = pieceProgress(check);
    EXPECT_EQ(progress.done, 1);
    EXPECT_EQ(progress.left, 2);
}

TEST(RunProgressTest, TimeLeftFollowsTheMeasuredPace)
{
    RunPace pace;
    EXPECT_EQ(pace.msecsLeft(10), std::nullopt);
    pace.sample(1000, 5);
    EXPECT_EQ(pace.msecsLeft(10), std::nullopt) << "one sample measures no pace";
    pace.sample(7000, 8); // three pieces in six seconds
    EXPECT_EQ(pace.msecsLeft(10), 20000);
    pace.sample(8000, 0); // a new analysis
    EXPECT_EQ(pace.msecsLeft(10), std::nullopt);
}

TEST(RunProgressTest, WordsForPhasesAndTimes)
{
    EXPECT_EQ(runPhaseText(RunPhase::Running), u"运行中"_qs);
    EXPECT_EQ(runPhaseText(RunPhase::Stopped), u"已停止"_qs);
    EXPECT_EQ(runPhaseText(RunPhase::Finished), u"已完成"_qs);
    EXPECT_EQ(runPhaseText(RunPhase::WaitingForCheck), u"等待安全验证"_qs);
    EXPECT_EQ(timeLeftText(std::nullopt), u"—"_qs);
    EXPECT_EQ(timeLeftText(44001), u"45 秒"_qs);
    EXPECT_EQ(timeLeftText(185000), u"3 分 05 秒"_qs);
    EXPECT_EQ(timeLeftText(3720000), u"1 小时 02 分"_qs);
}

} // namespace
} // namespace veltrik
