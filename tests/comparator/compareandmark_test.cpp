#include "comparator/compareandmark.h"

#include "support/randomtext.h"
#include "text/replace.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

struct CutCase {
    const char *name;
    QString reference;
    QStringList pieces;
};

class CutReference : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutReference, CutsAfterPunctuationAndLineBreaks)
{
    EXPECT_EQ(cutReference(GetParam().reference).pieces, GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    References, CutReference,
    ::testing::Values(
        CutCase{"two_sentences", u"今天天气很好，我们去公园玩。"_qs, {u"今天天气很好，"_qs, u"我们去公园玩。"_qs}},
        CutCase{"ascii_comma_becomes_full_width", u"hello world, again"_qs, {u"hello world，"_qs, u" again"_qs}},
        CutCase{"ascii_marks", u"甲!乙?丙."_qs, {u"甲！"_qs, u"乙？"_qs, u"丙。"_qs}},
        CutCase{"decimal_number_is_cut", u"约3.14倍"_qs, {u"约3。"_qs, u"14倍"_qs}},
        CutCase{"ellipsis_cuts_single_does_not", u"等等……然后…再"_qs, {u"等等……"_qs, u"然后…再"_qs}},
        CutCase{"semicolon_and_colon_do_not_cut", u"甲；乙：丙;丁:戊"_qs, {u"甲；乙：丙;丁:戊"_qs}},
        CutCase{"trailing_spaces_before_a_line_break", u"第一行   \r\n第二行"_qs, {u"第一行"_qs, u"第二行"_qs}},
        CutCase{"four_spaces_leave_one", u"第一行    \r\n第二行"_qs, {u"第一行 "_qs, u"第二行"_qs}},
        CutCase{"space_after_comma_starts_the_next_piece", u"甲， 乙"_qs, {u"甲，"_qs, u" 乙"_qs}},
        CutCase{"blank_pieces_dropped", u"甲。\r\n\r\n  \r\n\u3000\u3000 \r\n乙"_qs, {u"甲。"_qs, u"乙"_qs}},
        CutCase{"tabs_are_not_blank", u"甲\r\n\t\t\r\n乙"_qs, {u"甲"_qs, u"\t"_qs, u"乙"_qs}},
        CutCase{"empty", QString(), {}}),
    [](const auto &info) { return std::string(info.param.name); });

// The replacements one whole pass after the other, then the split and the blank test, word for word.
QStringList piecesPassByPass(QString text)
{
    const QString crLf = u"\r\n"_qs;
    const QString steps[][2] = {
        {u","_qs, u"，"_qs},         {u"，"_qs, u"，"_qs + crLf}, {u"."_qs, u"。"_qs},
        {u"。"_qs, u"。"_qs + crLf}, {u"！"_qs, u"！"_qs + crLf}, {u"!"_qs, u"！"_qs + crLf},
        {u"？"_qs, u"？"_qs + crLf}, {u"?"_qs, u"？"_qs + crLf},  {u"……"_qs, u"……"_qs + crLf},
        {u"  "_qs + crLf, crLf},     {u" "_qs + crLf, crLf},      {u"\u3000\u3000"_qs + crLf, crLf},
        {u"\u3000"_qs + crLf, crLf}, {u"\t"_qs + crLf, crLf}};
    for (const auto &[find, replacement] : steps)
        text = replaceAll(text, find, replacement);
    QStringList pieces;
    for (const QString &piece : text.split(crLf))
        if (!trimSpaces(QString(piece).remove(QChar(0x3000))).isEmpty())
            pieces.append(piece);
    return pieces;
}

TEST(CutReference, AgreesWithTheReplacementsPassByPassOnRandomTexts)
{
    std::mt19937 random(29);
    const QString alphabet = u"甲乙,，.。!！?？………  \u3000\u3000\t\r\n\r\n"_qs;
    for (int round = 0; round < 2000; ++round) {
        const QString reference = testing::randomText(random, alphabet, int(random() % 60));
        ASSERT_EQ(cutReference(reference).pieces, piecesPassByPass(reference)) << reference.toStdString();
    }
}

TEST(CutReference, NormalisedTextJoinsThePieces)
{
    EXPECT_EQ(cutReference(u"甲，乙。"_qs).normalisedText, u"甲，\r\n乙。"_qs);
}

struct MatchCase {
    const char *name;
    QString article;
    QString reference;
    qint64 chars, sentences, segments;
    QList<TextSpan> marks;
};

class MatchPieces : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchPieces, CountsAndMarks)
{
    const MatchCase &c = GetParam();
    const MatchResult result = matchPieces(c.article, cutReference(c.reference).pieces);
    EXPECT_EQ(result.chars, c.chars);
    EXPECT_EQ(result.sentences, c.sentences);
    EXPECT_EQ(result.segments, c.segments);
    EXPECT_EQ(result.marks, c.marks);
}

// One sentence 100,000 times against itself: 10^10 occurrences counted, 100,000 places marked.
TEST(MatchPieces, ARepeatedSentenceIsCountedEveryTimeButMarkedOnce)
{
    constexpr qsizetype kTimes = 100'000;
    const QString sentence = u"我们去公园玩。"_qs;
    const QString article = sentence.repeated(kTimes);
    const MatchResult result = matchPieces(article, cutReference(article).pieces);
    EXPECT_EQ(result.sentences, kTimes);
    EXPECT_EQ(result.chars, kTimes * sentence.size());
    EXPECT_EQ(result.segments, kTimes * (kTimes - 1));
    EXPECT_EQ(result.marks, (QList<TextSpan>{{0, article.size()}}));
    EXPECT_EQ(result.lastMark, (TextSpan{article.size() - sentence.size(), sentence.size()}));
}

// Every piece searched on its own from the start of the article, as a plain search does it.
MatchResult plainSearch(const QString &article, const QStringList &pieces)
{
    MatchResult result;
    QList<TextSpan> marks;
    for (const QString &piece : pieces) {
        if (piece.size() < 6 || article.isEmpty())
            continue;
        qsizetype at = article.indexOf(piece);
        if (at < 0)
            continue;
        result.chars += piece.size();
        result.sentences += 1;
        for (bool first = true; at >= 0; at = article.indexOf(piece, at + piece.size()), first = false) {
            marks.append({at, piece.size()});
            result.lastMark = TextSpan{at, piece.size()};
            result.segments += first ? 0 : 1;
        }
    }
    result.marks = mergeSpans(marks);
    return result;
}

// Few letters, so that pieces repeat, overlap, share their ends and differ in length.
TEST(MatchPieces, AgreesWithAPlainSearchOnRandomArticles)
{
    std::mt19937 random(23);
    const QString alphabet = u"aab哈哈，。, \r\n"_qs;
    auto randomText = [&](int length) { return testing::randomText(random, alphabet, length); };
    for (int round = 0; round < 500; ++round) {
        const QString reference = randomText(30 + int(random() % 300));
        const QString article =
            randomText(int(random() % 400)) + reference.mid(int(random() % 50), 80) + randomText(int(random() % 100));
        const QStringList pieces = cutReference(reference).pieces;
        const MatchResult fast = matchPieces(article, pieces);
        const MatchResult plain = plainSearch(article, pieces);
        ASSERT_EQ(fast.chars, plain.chars) << reference.toStdString();
        ASSERT_EQ(fast.sentences, plain.sentences);
        ASSERT_EQ(fast.segments, plain.segments);
        ASSERT_EQ(fast.marks, plain.marks);
        ASSERT_EQ(fast.lastMark, plain.lastMark);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Articles, MatchPieces,
    ::testing::Values(
        MatchCase{"weather_example", u"昨天我们去公园玩。"_qs, u"今天天气很好，我们去公园玩。"_qs, 7, 1, 0, {{2, 7}}},
        MatchCase{"five_units_never_searched", u"你好吗？你好吗？"_qs, u"你好吗？"_qs, 0, 0, 0, {}},
        MatchCase{"six_units_searched", u"我们去公园。"_qs, u"我们去公园。"_qs, 6, 1, 0, {{0, 6}}},
        MatchCase{"ascii_comma_does_not_match_full_width",
                  u"hello world, again"_qs,
                  u"hello world, again"_qs,
                  6,
                  1,
                  0,
                  {{12, 6}}},
        MatchCase{"three_times_in_the_article",
                  u"我们去公园玩。甲我们去公园玩。乙我们去公园玩。"_qs,
                  u"我们去公园玩。"_qs,
                  7,
                  1,
                  2,
                  {{0, 7}, {8, 7}, {16, 7}}},
        MatchCase{"overlapping_pieces_give_one_mark",
                  u"我们今天去公园玩吧。"_qs,
                  u"我们今天去公园玩吧。今天去公园玩吧。"_qs,
                  18,
                  2,
                  0,
                  {{0, 10}}},
        MatchCase{
            "overlapping_occurrences_are_not_counted", u"哈哈哈哈哈哈哈哈哈"_qs, u"哈哈哈哈哈哈"_qs, 6, 1, 0, {{0, 6}}},
        MatchCase{"same_sentence_twice_in_the_reference",
                  u"我们去公园玩。"_qs,
                  u"我们去公园玩。我们去公园玩。"_qs,
                  14,
                  2,
                  0,
                  {{0, 7}}},
        MatchCase{"nothing_in_common", u"完全不同的文字内容"_qs, u"毫无关系的句子在这里。"_qs, 0, 0, 0, {}},
        MatchCase{"empty_article", QString(), u"我们去公园玩。"_qs, 0, 0, 0, {}},
        MatchCase{"line_breaks_count_two", u"第一行\r\n我们去公园玩。"_qs, u"我们去公园玩。"_qs, 7, 1, 0, {{5, 7}}},
        MatchCase{"surrogate_pairs_count_two", u"😀我们去公园玩。"_qs, u"我们去公园玩。"_qs, 7, 1, 0, {{2, 7}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CompareResult, RunFiguresWithSharesRoundedHalfToEven)
{
    MatchResult run;
    run.chars = 1;
    run.sentences = 1;
    const QString text = compareResultText(8, 8, run, CompareTotals{}, false);
    EXPECT_EQ(text, u"你的文章一共 8 字，重复 0 段， 1 句， 1 字\r\n"
                    u"        重复部分占你的文章的： 12 %\r\n"
                    u"        与参考文章的相似度为： 12 %"_qs);
    run.chars = 3;
    EXPECT_TRUE(compareResultText(8, 100, run, CompareTotals{}, false).contains(u"： 38 %\r\n"_qs));
}

TEST(CompareResult, SeveralRunsShowTotalsButThisRunsSimilarity)
{
    MatchResult run;
    run.chars = 7;
    run.sentences = 1;
    CompareTotals totals;
    totals.chars = 21;
    totals.sentences = 3;
    totals.segments = 2;
    const QString text = compareResultText(100, 70, run, totals, true);
    EXPECT_TRUE(text.startsWith(u"你的文章一共 100 字，重复 2 段， 3 句， 21 字\r\n"_qs));
    EXPECT_TRUE(text.contains(u"重复部分占你的文章的： 21 %"_qs));
    EXPECT_TRUE(text.endsWith(u"与参考文章的相似度为： 10 %"_qs));
}

TEST(CompareResult, EmptyArticleOrReferenceGivesZeroPercent)
{
    const QString text = compareResultText(0, 0, MatchResult{}, CompareTotals{}, false);
    EXPECT_EQ(text, u"你的文章一共 0 字，重复 0 段， 0 句， 0 字\r\n"
                    u"        重复部分占你的文章的： 0 %\r\n"
                    u"        与参考文章的相似度为： 0 %"_qs);
}

TEST(CompareResult, ShareAboveOneHundredIsShownAsItIs)
{
    MatchResult run;
    run.chars = 14;
    EXPECT_TRUE(compareResultText(7, 14, run, CompareTotals{}, false).contains(u"： 200 %\r\n"_qs));
}

TEST(MergeSpans, SortsAndJoinsOverlappingAndTouchingSpans)
{
    EXPECT_EQ(mergeSpans({{10, 2}, {0, 3}, {2, 3}, {12, 1}, {20, 0}, {30, 4}}),
              (QList<TextSpan>{{0, 5}, {10, 3}, {30, 4}}));
}

} // namespace
} // namespace veltrik
