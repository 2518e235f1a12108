#include "analysis/segmentation.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

QString repeated(const QString &unit, qsizetype count)
{
    return unit.repeated(count);
}

struct AnalysisCase {
    const char *name;
    QString article;
    QStringList pieces;
    qsizetype doubleBytes;
};

class AnalyseArticle : public ::testing::TestWithParam<AnalysisCase> {};

TEST_P(AnalyseArticle, CleansCutsAndCounts)
{
    const ArticleAnalysis analysis = analyseArticle(GetParam().article);
    EXPECT_EQ(analysis.pieces, GetParam().pieces);
    EXPECT_EQ(analysis.doubleByteCount, GetParam().doubleBytes);
    EXPECT_EQ(analysis.pieces.join(QString()), QString(analysis.workText).remove(kPieceSeparator));
}

INSTANTIATE_TEST_SUITE_P(
    Articles, AnalyseArticle,
    ::testing::Values(
        AnalysisCase{"two_sentences_one_piece", u"第一句。第二句！"_qs, {u"第一句。第二句！"_qs}, 8},
        AnalysisCase{"ascii_marks_become_full_width", u"Hello world!"_qs, {u"Helloworld！"_qs}, 1},
        AnalysisCase{"question_mark", u"对吗?"_qs, {u"对吗？"_qs}, 3},
        AnalysisCase{"ideographic_spaces_before_break_go_after_stay",
                     u"甲\u3000\u3000\r\n\u3000\u3000乙"_qs,
                     {u"甲\u3000\u3000乙"_qs},
                     4},
        AnalysisCase{"three_ideographic_spaces_all_go", u"甲\u3000\u3000\u3000\r\n乙"_qs, {u"甲乙"_qs}, 2},
        AnalysisCase{
            "four_ideographic_spaces_leave_one", u"甲\u3000\u3000\u3000\u3000\r\n乙"_qs, {u"甲\u3000乙"_qs}, 3},
        AnalysisCase{"two_tabs_leave_one", u"甲\t\t\r\n乙"_qs, {u"甲\t乙"_qs}, 2},
        AnalysisCase{"tab_inside_stays", u"甲\t乙"_qs, {u"甲\t乙"_qs}, 2},
        AnalysisCase{"lone_cr_and_lf_stay", u"甲\r乙\n丙"_qs, {u"甲\r乙\n丙"_qs}, 3},
        AnalysisCase{"pieces_run_across_paragraphs", u"一二三\r\n四五"_qs, {u"一二三四五"_qs}, 5},
        AnalysisCase{"empty_article", QString(), {}, 0},
        AnalysisCase{"only_spaces_and_breaks", u"  \r\n \r\n   "_qs, {}, 0},
        AnalysisCase{"separator_in_article_cuts_and_is_lost", u"甲乙|@|丙丁"_qs, {u"甲乙"_qs, u"丙丁"_qs}, 4}),
    [](const auto &info) { return std::string(info.param.name); });

struct LengthCase {
    qsizetype length;
    QList<qsizetype> pieceLengths;
};

class CutLengths : public ::testing::TestWithParam<LengthCase> {};

TEST_P(CutLengths, PiecesOfAtMost38)
{
    const QStringList pieces = cutIntoPieces(repeated(u"字"_qs, GetParam().length));
    QList<qsizetype> lengths;
    for (const QString &piece : pieces)
        lengths << piece.size();
    EXPECT_EQ(lengths, GetParam().pieceLengths);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, CutLengths,
                         ::testing::Values(LengthCase{0, {}}, LengthCase{1, {1}}, LengthCase{37, {37}},
                                           LengthCase{38, {38}}, LengthCase{39, {38, 1}}, LengthCase{76, {38, 38}},
                                           LengthCase{77, {38, 38, 1}}, LengthCase{114, {38, 38, 38}}));

TEST(ListRows, NumberHyphenAndTrimmedPiece)
{
    EXPECT_EQ(listRowText(0, u"第一句"_qs), u"1-第一句"_qs);
    EXPECT_EQ(listRowText(9, u" 第十句  "_qs), u"10-第十句"_qs);
    EXPECT_EQ(listRowText(119, u"\u3000句"_qs), u"120-\u3000句"_qs);
}

TEST(Caption, CarriesCountAndPieces)
{
    const ArticleAnalysis analysis = analyseArticle(u"第一句。第二句！"_qs);
    EXPECT_EQ(analysis.caption(), u"本文共 8 字，本次分析共分析出 1 句，请多次点击进行对比！"_qs);
    EXPECT_EQ(analysis.rows(), QStringList{u"1-第一句。第二句！"_qs});
    EXPECT_EQ(analyseArticle(QString()).caption(), u"本文共 0 字，本次分析共分析出 0 句，请多次点击进行对比！"_qs);
}

} // namespace
} // namespace veltrik
