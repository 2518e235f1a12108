#include "text/codepage936.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

namespace veltrik {
namespace {

struct UnitCase {
    const char *name;
    char16_t unit;
    bool doubleByte;
};

class DoubleByteExamples : public ::testing::TestWithParam<UnitCase> {};

TEST_P(DoubleByteExamples, MatchesCodePage936)
{
    EXPECT_EQ(isDoubleByte(GetParam().unit), GetParam().doubleByte);
}

INSTANTIATE_TEST_SUITE_P(
    Units, DoubleByteExamples,
    ::testing::Values(UnitCase{"cjk_zhong", u'中', true}, UnitCase{"fullwidth_comma", u'，', true},
                      UnitCase{"ideographic_space", 0x3000, true}, UnitCase{"em_dash", 0x2014, true},
                      UnitCase{"middle_dot", 0x00B7, true}, UnitCase{"ellipsis", 0x2026, true},
                      UnitCase{"user_defined_area", 0xE000, true}, UnitCase{"ascii_letter", u'A', false},
                      UnitCase{"ascii_space", u' ', false}, UnitCase{"euro_single_byte", 0x20AC, false},
                      UnitCase{"high_surrogate", 0xD83D, false}, UnitCase{"low_surrogate", 0xDE00, false},
                      UnitCase{"hangul_outside", 0xAC00, false}, UnitCase{"nul", 0x0000, false}),
    [](const auto &info) { return std::string(info.param.name); });

// The reference: ICU's windows-936 converter writes the code unit in exactly two bytes.
bool icuEncodesInTwoBytes(UConverter *converter, char16_t unit)
{
    UChar source[1] = {unit};
    char target[8];
    UErrorCode error = U_ZERO_ERROR;
    ucnv_reset(converter);
    const int length = ucnv_fromUChars(converter, target, sizeof target, source, 1, &error);
    return U_SUCCESS(error) && length == 2;
}

TEST(DoubleByte, AgreesWithIcuOverEveryBmpCodeUnit)
{
    UErrorCode error = U_ZERO_ERROR;
    UConverter *converter = ucnv_open("windows-936", &error);
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    ASSERT_TRUE(U_SUCCESS(error));
    int disagreements = 0;
    int doubleByteUnits = 0;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        const auto u = static_cast<char16_t>(unit);
        const bool expected = (unit < 0xD800 || unit > 0xDFFF) && icuEncodesInTwoBytes(converter, u);
        doubleByteUnits += expected ? 1 : 0;
        if (isDoubleByte(u) != expected && ++disagreements <= 5)
            ADD_FAILURE() << "code unit U+" << std::hex << unit;
    }
    ucnv_close(converter);
    EXPECT_EQ(disagreements, 0);
    EXPECT_GT(doubleByteUnits, 20000);
}

TEST(DoubleByte, CountsOnlyDoubleByteUnits)
{
    EXPECT_EQ(countDoubleByte(QString()), 0);
    EXPECT_EQ(countDoubleByte(u"Helloworld！"_qs), 1);
    EXPECT_EQ(countDoubleByte(u"第一句。第二句！"_qs), 8);
    EXPECT_EQ(countDoubleByte(u"€5 和 😀"_qs), 1);
}

} // namespace
} // namespace veltrik
