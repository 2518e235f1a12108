#include "text/multisearch.h"

#include "support/randomtext.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

QList<qsizetype> naiveStarts(const QString &text, const QString &pattern)
{
    QList<qsizetype> starts;
    if (pattern.isEmpty())
        return starts;
    for (qsizetype at = text.indexOf(pattern); at >= 0; at = text.indexOf(pattern, at + 1))
        starts.append(at);
    return starts;
}

TEST(MultiSearch, FindsOverlappingAndNestedPatterns)
{
    const QStringList patterns = {u"he"_qs, u"she"_qs, u"his"_qs, u"hers"_qs, u"哈哈"_qs, u""_qs, u"he"_qs};
    const QString text = u"ushers 哈哈哈"_qs;
    const auto found = MultiSearch(patterns).findAll(text);
    ASSERT_EQ(found.size(), patterns.size());
    EXPECT_EQ(found[0], (QList<qsizetype>{2}));
    EXPECT_EQ(found[1], (QList<qsizetype>{1}));
    EXPECT_TRUE(found[2].isEmpty());
    EXPECT_EQ(found[3], (QList<qsizetype>{2}));
    EXPECT_EQ(found[4], (QList<qsizetype>{7, 8}));
    EXPECT_TRUE(found[5].isEmpty());
    EXPECT_EQ(found[6], found[0]); // the same pattern twice gets the same places
}

TEST(MultiSearch, AgreesWithPlainSearchOnRandomTexts)
{
    std::mt19937 random(11);
    const QString alphabet = u"ab哈，\r\n"_qs;
    auto randomText = [&](int length) { return testing::randomText(random, alphabet, length); };
    for (int round = 0; round < 300; ++round) {
        QStringList patterns;
        for (int p = 0; p < 8; ++p)
            patterns << randomText(1 + int(random() % 5));
        const QString text = randomText(200);
        const auto found = MultiSearch(patterns).findAll(text);
        for (qsizetype p = 0; p < patterns.size(); ++p)
            ASSERT_EQ(found[p], naiveStarts(text, patterns[p])) << patterns[p].toStdString();
    }
}

// Long patterns of many lengths that end alike, in a text that repeats them: every length is tried at
// every place, and the text before the place reaches back further than the shortest patterns.
TEST(MultiSearch, AgreesWithPlainSearchForLongPatternsThatEndAlike)
{
    std::mt19937 random(17);
    const QString alphabet = u"ab。"_qs;
    auto randomText = [&](int length) { return testing::randomText(random, alphabet, length) + u"。"_qs; };
    for (int round = 0; round < 100; ++round) {
        QStringList patterns;
        QString text;
        for (int p = 0; p < 20; ++p) {
            patterns << randomText(1 + int(random() % 60));
            text += patterns.last().repeated(1 + int(random() % 3)) + randomText(int(random() % 20));
        }
        patterns << patterns.first() << u"a"_qs.repeated(70);
        text += u"a"_qs.repeated(150);
        const auto found = MultiSearch(patterns).findAll(text);
        for (qsizetype p = 0; p < patterns.size(); ++p)
            ASSERT_EQ(found[p], naiveStarts(text, patterns[p])) << patterns[p].toStdString();
    }
}

TEST(MultiSearch, NoPatternsFindNothing)
{
    EXPECT_TRUE(MultiSearch({}).findAll(u"text"_qs).isEmpty());
}

} // namespace
} // namespace veltrik
