#include "library/fingerprints.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>

namespace veltrik {
namespace {

QString randomChinese(QRandomGenerator &random, qsizetype length)
{
    QString text;
    for (qsizetype i = 0; i < length; ++i)
        text += QChar(char16_t(0x4e00 + random.bounded(3000)));
    return text;
}

bool shareAny(const QList<qint32> &a, const QList<qint32> &b)
{
    return std::any_of(a.cbegin(), a.cend(),
                       [&](qint32 hash) { return std::binary_search(b.cbegin(), b.cend(), hash); });
}

TEST(TextFingerprints, AreSortedAndDistinct)
{
    QRandomGenerator random(7);
    const QList<qint32> fingerprints = textFingerprints(randomChinese(random, 5000));
    ASSERT_FALSE(fingerprints.isEmpty());
    EXPECT_TRUE(std::adjacent_find(fingerprints.cbegin(), fingerprints.cend(), std::greater_equal<>()) ==
                fingerprints.cend());
}

TEST(TextFingerprints, IgnorePunctuationWhiteSpaceAndLineBreaks)
{
    const QString plain = u"今天天气很好我们去公园玩然后回家吃饭晚上看书写字睡觉明天再去学校上课"_qs;
    const QString broken = u"今天天气很好，我们去公园玩。\r\n然后回家吃饭！  晚上看书写字……睡觉\t明天再去学校上课？"_qs;
    EXPECT_EQ(textFingerprints(plain), textFingerprints(broken));
}

TEST(TextFingerprints, AShortTextHasOne)
{
    EXPECT_EQ(textFingerprints(u"一二三四五六七八九十"_qs).size(), 1);
    EXPECT_TRUE(textFingerprints(u"一二三，。"_qs).isEmpty());
}

// Winnowing's promise: a passage of kGuaranteedRun characters shared by two otherwise different texts
// gives them a fingerprint in common, wherever it stands.
TEST(TextFingerprints, ASharedPassageOfTheGuaranteedLengthAlwaysSharesOne)
{
    QRandomGenerator random(11);
    for (int trial = 0; trial < 200; ++trial) {
        const QString passage = randomChinese(random, kGuaranteedRun);
        const QString first = randomChinese(random, random.bounded(500)) + passage + randomChinese(random, 300);
        const QString second = randomChinese(random, random.bounded(500)) + passage + randomChinese(random, 300);
        ASSERT_TRUE(shareAny(textFingerprints(first), textFingerprints(second))) << "trial " << trial;
    }
}

TEST(TextFingerprints, UnrelatedTextsShareAlmostNone)
{
    QRandomGenerator random(13);
    const QList<qint32> first = textFingerprints(randomChinese(random, 20000));
    const QList<qint32> second = textFingerprints(randomChinese(random, 20000));
    qsizetype shared = 0;
    for (qint32 hash : first)
        shared += std::binary_search(second.cbegin(), second.cend(), hash);
    EXPECT_LE(shared, 2);
}

} // namespace
} // namespace veltrik
