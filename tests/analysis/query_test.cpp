#include "analysis/query.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

struct QueryCase {
    const char *name;
    QString row;
    QString query;
};

class BuildQuery : public ::testing::TestWithParam<QueryCase> {};

TEST_P(BuildQuery, DropsPrefixAndReplacesPunctuation)
{
    EXPECT_EQ(buildQuery(GetParam().row), GetParam().query);
}

INSTANTIATE_TEST_SUITE_P(Rows, BuildQuery,
                         ::testing::Values(QueryCase{"brackets_and_quotes", u"12-他们认为“创新”是（关键）"_qs,
                                                     u"他们认为 创新 是 关键 "_qs},
                                           QueryCase{"exclamation_and_full_stop", u"3-好！对。"_qs, u"好 对 "_qs},
                                           QueryCase{"question_and_semicolon_stay", u"3-好？对；"_qs, u"好？对；"_qs},
                                           QueryCase{"two_digit_number", u"10-第十句"_qs, u"第十句"_qs},
                                           QueryCase{"no_prefix_used_whole", u"没有编号"_qs, u"没有编号"_qs},
                                           QueryCase{"digits_without_hyphen", u"2020年"_qs, u"2020年"_qs},
                                           QueryCase{"only_first_prefix", u"1-2-3"_qs, u"2-3"_qs},
                                           QueryCase{"trim_before_replacing", u"1- 甲 "_qs, u"甲"_qs},
                                           QueryCase{"ascii_comma", u"1-甲,乙"_qs, u"甲 乙"_qs},
                                           QueryCase{"runs_of_spaces_halved_once", u"1-甲《》《》乙"_qs, u"甲  乙"_qs},
                                           QueryCase{"ellipsis", u"1-等等……然后"_qs, u"等等 然后"_qs},
                                           QueryCase{"ascii_double_quote", u"1-\"甲\""_qs, u" 甲 "_qs},
                                           QueryCase{"full_width_space_stays", u"1-甲\u3000乙"_qs, u"甲\u3000乙"_qs}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(EmptyQuery, EmptyPrivateUseOrSingleSpace)
{
    EXPECT_TRUE(isEmptyQuery(QString()));
    EXPECT_TRUE(isEmptyQuery(QString(QChar(0xE003))));
    EXPECT_TRUE(isEmptyQuery(u" "_qs));
    EXPECT_FALSE(isEmptyQuery(u"  "_qs));
    EXPECT_FALSE(isEmptyQuery(u"甲"_qs));
    EXPECT_TRUE(isEmptyQuery(buildQuery(u"5-。"_qs)));
}

const Endpoints kEndpoints{u"http://search.test"_qs, u"http://wenku.test"_qs, u"http://site.test"_qs};

TEST(SearchUrl, WebSearchWithItsTail)
{
    EXPECT_EQ(composeSearchUrl(SearchEngine::WebSearch, kEndpoints, u"研究方法"_qs),
              u"http://search.test/s?wd=%E7%A0%94%E7%A9%B6%E6%96%B9%E6%B3%95&rsv_bp=0&ch=&bar=&rsv_spt=3&tn=baidu"_qs);
}

TEST(SearchUrl, WenkuWithItsTail)
{
    EXPECT_EQ(composeSearchUrl(SearchEngine::Wenku, kEndpoints, u"ab"_qs),
              u"http://wenku.test/search?word=ab&ie=utf-8&lm=0&od=0"_qs);
}

TEST(SearchUrl, JournalsHaveNoAddress)
{
    EXPECT_FALSE(composeSearchUrl(SearchEngine::NoQueryForm, kEndpoints, u"ab"_qs).has_value());
}

TEST(SearchUrl, ReservedCharactersStayInTheQuery)
{
    const QString url = *composeSearchUrl(SearchEngine::WebSearch, kEndpoints, u"a&b#c%d+e=f g"_qs);
    EXPECT_EQ(url, u"http://search.test/s?wd=a%26b%23c%25d%2Be%3Df%20g&rsv_bp=0&ch=&bar=&rsv_spt=3&tn=baidu"_qs);
}

} // namespace
} // namespace veltrik
