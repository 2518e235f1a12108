#include "comparator/referencecomparison.h"

#include "support/randomtext.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

QString foldSeparators(QString text)
{
    return text.replace(u',', u'，').replace(u'.', u'。').replace(u'!', u'！').replace(u'?', u'？');
}

TEST(CompareWithReference, GivesTheFiguresAndMarksOfCompareAndMark)
{
    const QString article = u"昨天我们去公园玩。今天天气很好，我们去公园玩。哈哈哈哈哈哈哈"_qs;
    const QString reference = u"今天天气很好，我们去公园玩。\r\n我们去公园玩。哈哈哈哈哈哈"_qs;
    const ReferenceComparison comparison = compareWithReference(article, reference);
    const MatchResult run = matchPieces(article, cutReference(reference).pieces);
    EXPECT_EQ(comparison.run.chars, run.chars);
    EXPECT_EQ(comparison.run.sentences, run.sentences);
    EXPECT_EQ(comparison.run.segments, run.segments);
    EXPECT_EQ(comparison.run.marks, run.marks);
    EXPECT_EQ(comparison.run.lastMark, run.lastMark);
    EXPECT_EQ(comparison.referenceLength, reference.size());
}

// Each place found in the article points at the same text in the reference; a sentence that stands
// twice in the reference points at its first place.
TEST(CompareWithReference, EveryPlacePointsAtItsTextInTheReference)
{
    const QString article = u"昨天我们去公园玩。甲我们去公园玩。"_qs;
    const QString reference = u"今天天气很好，我们去公园玩。\r\n  我们去公园玩。"_qs;
    const ReferenceComparison comparison = compareWithReference(article, reference);
    EXPECT_EQ(comparison.places, (QList<RepeatedPlace>{{2, 7, 7}, {10, 7, 7}}));
}

TEST(CompareWithReference, AsciiSeparatorsKeepTheirPlaceInTheReference)
{
    const QString reference = u"Short. We went to the park, and then home!  \r\nAnother line?"_qs;
    const QString article = u"so We went to the park， and then home！"_qs;
    const ReferenceComparison comparison = compareWithReference(article, reference);
    ASSERT_EQ(comparison.places.size(), 2);
    for (const RepeatedPlace &place : comparison.places)
        EXPECT_EQ(article.mid(place.articleStart, place.length),
                  foldSeparators(reference.mid(place.referenceStart, place.length)));
    EXPECT_EQ(comparison.places[0].referenceStart, reference.indexOf(u"We went"_qs) - 1);
    EXPECT_EQ(comparison.places[1].referenceStart, reference.indexOf(u" and then"_qs));
}

TEST(CompareWithReference, RandomReferencesPointAtTheirOwnText)
{
    std::mt19937 random(5);
    const QString alphabet = u"ab哈 ,.!?，。\r\n"_qs;
    auto randomText = [&](int length) { return testing::randomText(random, alphabet, length); };
    for (int round = 0; round < 300; ++round) {
        const QString reference = randomText(120);
        const QString article = randomText(40) + foldSeparators(reference.mid(20, 60)) + randomText(40);
        const ReferenceComparison comparison = compareWithReference(article, reference);
        EXPECT_EQ(comparison.run.marks, matchPieces(article, cutReference(reference).pieces).marks);
        for (const RepeatedPlace &place : comparison.places)
            ASSERT_EQ(article.mid(place.articleStart, place.length),
                      foldSeparators(reference.mid(place.referenceStart, place.length)))
                << reference.toStdString();
    }
}

TEST(PieceStartsInReference, FollowsThePiecesPastBlankLinesAndSpaces)
{
    const QString reference = u"第一句话在这里。\r\n \u3000\r\n第二句话, 第三句话。  \r\n"_qs;
    const ReferenceCut cut = cutReference(reference);
    ASSERT_EQ(cut.pieces, (QStringList{u"第一句话在这里。"_qs, u"第二句话，"_qs, u" 第三句话。"_qs}));
    EXPECT_EQ(pieceStartsInReference(reference, cut.pieces), (QList<qsizetype>{0, 14, 19}));
}

struct PlaceAtCase {
    const char *name;
    qsizetype offset;
    std::optional<RepeatedPlace> place;
};

class RepeatedPlaceAt : public ::testing::TestWithParam<PlaceAtCase> {};

TEST_P(RepeatedPlaceAt, FindsThePlaceUnderAnOffset)
{
    ReferenceComparison comparison;
    comparison.places = {{0, 100, 20}, {5, 200, 6}, {30, 300, 8}};
    EXPECT_EQ(repeatedPlaceAt(comparison, GetParam().offset), GetParam().place);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, RepeatedPlaceAt,
    ::testing::Values(PlaceAtCase{"first_unit", 0, RepeatedPlace{0, 100, 20}},
                      PlaceAtCase{"inside_two_places_takes_the_later", 7, RepeatedPlace{5, 200, 6}},
                      PlaceAtCase{"past_the_short_one_inside_the_long_one", 12, RepeatedPlace{0, 100, 20}},
                      PlaceAtCase{"between_places", 20, std::nullopt},
                      PlaceAtCase{"last_unit", 37, RepeatedPlace{30, 300, 8}},
                      PlaceAtCase{"after_the_last", 38, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrik
