#include "components/legacyhtml.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

struct QuotingCase {
    const char *name;
    const char16_t *chromium;
    const char16_t *legacy;
};

class LegacyQuoting : public ::testing::TestWithParam<QuotingCase> {};

TEST_P(LegacyQuoting, RequotesOnlyValuesWithDoubleQuotes)
{
    EXPECT_EQ(toLegacyAttributeQuoting(QString::fromUtf16(GetParam().chromium)).toStdU16String(),
              std::u16string(GetParam().legacy));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LegacyQuoting,
    ::testing::Values(
        QuotingCase{
            "data_tools",
            uR"(<div data-tools="{&quot;title&quot;:&quot;标题&quot;,&quot;url&quot;:&quot;http://a/&quot;}"><a class="c-tip-icon"></a></div>)",
            uR"(<div data-tools='{"title":"标题","url":"http://a/"}'><a class="c-tip-icon"></a></div>)"},
        QuotingCase{"plain_attributes_untouched", uR"(<a class="x" href="http://a/?b=1&amp;c=2">t</a>)",
                    uR"(<a class="x" href="http://a/?b=1&amp;c=2">t</a>)"},
        QuotingCase{"value_with_both_quotes_kept", uR"(<p title="it's &quot;x&quot;">t</p>)",
                    uR"(<p title="it's &quot;x&quot;">t</p>)"},
        QuotingCase{"text_with_entity_untouched", uR"(<p>&quot;quoted&quot; a="&quot;"</p>)",
                    uR"(<p>&quot;quoted&quot; a="&quot;"</p>)"},
        QuotingCase{"several_attributes", uR"(<i a="&quot;" b="c" d="&quot;&quot;">)", uR"(<i a='"' b="c" d='""'>)"},
        QuotingCase{"script_copied", uR"(<script>if (a<b) x="&quot;";</script><b c="&quot;">)",
                    uR"(<script>if (a<b) x="&quot;";</script><b c='"'>)"},
        QuotingCase{"comment_copied", uR"(<!-- <a b="&quot;"> --><a b="&quot;">)",
                    uR"(<!-- <a b="&quot;"> --><a b='"'>)"},
        QuotingCase{"boolean_attribute", uR"(<input disabled data-x="&quot;">)", uR"(<input disabled data-x='"'>)"},
        QuotingCase{"truncated_tag", uR"(<a b="&quot;)", uR"(<a b='"')"},
        QuotingCase{"lone_angle", u"1 < 2 <", u"1 < 2 <"}, QuotingCase{"empty", u"", u""}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrik
