#include "text/replace.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

struct ReplaceCase {
    const char *name;
    const char16_t *text;
    const char16_t *pattern;
    const char16_t *replacement;
    const char16_t *expected;
};

class ReplaceAll : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAll, OnePassLeftToRightWithoutOverlap)
{
    const ReplaceCase &c = GetParam();
    EXPECT_EQ(replaceAll(QString::fromUtf16(c.text), QString::fromUtf16(c.pattern), QString::fromUtf16(c.replacement)),
              QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceAll,
                         ::testing::Values(ReplaceCase{"every_occurrence", u"a,b,c", u",", u"，", u"a，b，c"},
                                           ReplaceCase{"runs_are_halved_once", u"a    b", u"  ", u" ", u"a  b"},
                                           ReplaceCase{"odd_run_leaves_one", u"a   b", u"  ", u" ", u"a  b"},
                                           ReplaceCase{"no_overlap", u"aaaa", u"aa", u"b", u"bb"},
                                           ReplaceCase{"result_not_searched_again", u"ab", u"a", u"aa", u"aab"},
                                           ReplaceCase{"case_sensitive", u"Aa", u"a", u"x", u"Ax"},
                                           ReplaceCase{"empty_pattern_changes_nothing", u"abc", u"", u"x", u"abc"},
                                           ReplaceCase{"empty_text", u"", u"a", u"b", u""},
                                           ReplaceCase{"line_breaks", u"a \r\nb", u" \r\n", u"\r\n", u"a\r\nb"},
                                           ReplaceCase{"delete", u"a b c", u" ", u"", u"abc"}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrik
