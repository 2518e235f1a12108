#include "analysis/scoring.h"
#include "support/resultpages.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::fillerText;
using testing::highlighted;
using testing::resultItem;

// A body as the browser hands it out, from a normal result address.
ScoringOutcome scoreBody(AnalysisState &state, const QString &body)
{
    return scorePage(state, {body, u"<html><head><title>百度搜索</title></head><body>"_qs + body,
                             u"https://www.baidu.com/s?wd=x"_qs});
}

// The items as the marked page's markers divide it: every third marker closes an item whose title and
// address are the two pieces before it.
QList<ResultItem> markerSplitItems(const QString &html)
{
    const QStringList pieces = markItems(html).split(u"<bbbbbbbb>"_qs);
    QList<ResultItem> items;
    for (qsizetype j = 3; j < pieces.size(); j += 3)
        items.append({pieces[j - 2], pieces[j - 1]});
    return items;
}

// An analysis of `count` pieces of 38 characters, with the first compare issued.
AnalysisState comparing(int count = 3, int sentence = 1)
{
    AnalysisState state;
    QStringList pieces;
    for (int i = 0; i < count; ++i)
        pieces << u"句"_qs.repeated(38);
    state.startAnalysis(pieces, pieces.join(QString()));
    state.curSentence = sentence;
    state.lastSentence = sentence - 1;
    state.listSync = false;
    return state;
}

struct HighlightCase {
    const char *name;
    QString html;
    qsizetype counted;
};

class Highlights : public ::testing::TestWithParam<HighlightCase> {};

TEST_P(Highlights, CountsFragmentsLongerThanNine)
{
    EXPECT_EQ(highlightTextOf(GetParam().html).size(), GetParam().counted);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, Highlights,
    ::testing::Values(
        HighlightCase{"nine_ignored", highlighted(9), 0}, HighlightCase{"ten_counts", highlighted(10), 10},
        HighlightCase{"several", highlighted(12) + u"间"_qs + highlighted(3) + highlighted(20), 32},
        HighlightCase{"upper_case_masks_lower", highlighted(12, u"EM"_qs) + highlighted(30), 12},
        HighlightCase{"lower_case_alone", highlighted(30), 30},
        HighlightCase{"unclosed_runs_to_next_tag", u"<em>"_qs + u"y"_qs.repeated(11) + highlighted(4), 11},
        HighlightCase{"no_highlight", fillerText(), 0}, HighlightCase{"empty", QString(), 0},
        HighlightCase{"script_content_left_out",
                      u"<script>var card = {\"name\":\"<em>研究方法与论文写作<\\/em>\"};</script>"_qs + highlighted(12),
                      12},
        HighlightCase{
            "upper_case_script_left_out",
            u"<SCRIPT type=\"text/javascript\"><EM>"_qs + u"x"_qs.repeated(30) + u"</SCRIPT>"_qs + highlighted(12), 12},
        HighlightCase{"style_content_left_out",
                      u"<style>em::after{content:\"<em>xxxxxxxxxxxx</em>\"}</style>"_qs + highlighted(11), 11},
        HighlightCase{"unclosed_script_hides_the_rest", highlighted(10) + u"<script>"_qs + highlighted(20), 10},
        HighlightCase{"a_longer_tag_name_is_no_script", u"<scripts>"_qs + highlighted(12) + u"</scripts>"_qs, 12}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PageText, KeepsDoubleByteCharactersWithoutIdeographicSpaces)
{
    EXPECT_EQ(pageTextOf(u"<p class=\"x\">中文，\u3000ab€😀</p>"_qs), u"中文，"_qs);
}

TEST(SentencePercent, WorkedExample)
{
    EXPECT_EQ(sentencePercent(412, 38), 32);
    EXPECT_EQ(sentencePercent(0, 38), 0);
    EXPECT_GT(sentencePercent(3000, 38), 100); // no upper limit
}

TEST(ScorePage, FirstPageGivesItsFigureTwice)
{
    AnalysisState state = comparing();
    const QString page = fillerText() + u"<em>"_qs + u"匹"_qs.repeated(412) + u"</em>"_qs;
    const ScoringOutcome outcome = scoreBody(state, page);
    EXPECT_EQ(outcome.similarityCaption, u"本句相似度：32%\r\n\r\n目前总体相似度：32%"_qs);
    EXPECT_EQ(outcome.progressCaption, u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_EQ(state.similaritySum, 32);
    EXPECT_EQ(state.resultCount, 2);
    EXPECT_EQ(state.pageHtml, page);
    EXPECT_FALSE(state.pageText.isEmpty());
    EXPECT_FALSE(state.markedHtml.isEmpty());
}

TEST(ScorePage, ShortPageScoresZeroAndStillCountsInTheMean)
{
    AnalysisState state = comparing();
    scoreBody(state, fillerText() + u"<em>"_qs + u"匹"_qs.repeated(412) + u"</em>"_qs);
    state.curSentence = 2;
    const ScoringOutcome outcome = scoreBody(state, u"<p>出错了</p>"_qs + highlighted(50));
    EXPECT_EQ(outcome.similarityCaption, u"本句相似度：0%\r\n\r\n目前总体相似度：16%"_qs);
    EXPECT_EQ(state.similaritySum, 32);
    EXPECT_EQ(state.resultCount, 3);
}

TEST(ScorePage, EmptyBodyChangesOnlyTheProgressLine)
{
    AnalysisState state = comparing();
    const ScoringOutcome outcome = scoreBody(state, QString());
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_EQ(outcome.progressCaption, u"现在正在对比第 1 句！共 3 句。"_qs);
    EXPECT_EQ(state.resultCount, 1);
    EXPECT_TRUE(state.pageHtml.isEmpty());
    EXPECT_TRUE(state.markedHtml.isEmpty());
}

TEST(ScorePage, BeforeAnyAnalysisNothingVisibleChanges)
{
    AnalysisState state;
    const ScoringOutcome outcome = scoreBody(state, QString());
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_FALSE(outcome.progressCaption.has_value());
}

TEST(ScorePage, ZeroResultCountLeavesTheLabelButAddsTheFigure)
{
    AnalysisState state = comparing();
    state.resultCount = 0;
    const ScoringOutcome outcome = scoreBody(state, fillerText() + u"<em>"_qs + u"匹"_qs.repeated(412) + u"</em>"_qs);
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_EQ(state.similaritySum, 32);
    EXPECT_EQ(state.resultCount, 1);
}

TEST(ScorePage, NoSuchPieceSkipsTheFigureButCountsThePage)
{
    AnalysisState state = comparing(3, 0); // no compare issued yet
    const ScoringOutcome outcome = scoreBody(state, fillerText() + highlighted(50));
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_EQ(state.similaritySum, 0);
    EXPECT_EQ(state.resultCount, 2);
}

// A result page as the engine writes it today: a music card whose inline script highlights the query as
// "<em>…<\/em>", then results that highlight 38 characters each.
QString pageWithAMusicCard()
{
    const QString query = u"句"_qs.repeated(38);
    return fillerText() +
           u"<div class=\"result-op c-container\" tpl=\"music\" mu=\"http://music.test/1\">"_qs
           u"<h3 class=\"t\"><a href=\"/link?url=1\">句句_在线试听</a></h3><script>var musicCard = {\"name\":\"<em>"_qs +
           query + u"<\\/em>\",\"lyric\":\""_qs + u"歌"_qs.repeated(1250) + u"\"};</script></div>"_qs +
           resultItem(u"标题"_qs, u"http://a.test/1"_qs) + u"<p><em>"_qs + query + u"</em></p>"_qs;
}

TEST(ScorePage, AnInlineScriptsHighlightIsNotCounted)
{
    AnalysisState state = comparing(2, 1);
    const ScoringOutcome outcome = scoreBody(state, pageWithAMusicCard());
    // 38 / (2 x 38 + 1200) = 0.0298 -> 3 %; the script's "<em>" would have run on over 1,300 characters.
    EXPECT_EQ(outcome.similarityCaption, u"本句相似度：3%\r\n\r\n目前总体相似度：3%"_qs);
    EXPECT_EQ(state.siteTitles[0], u"句句_在线试听"_qs);
    EXPECT_EQ(state.siteUrls[0], u"http://music.test/1"_qs);
    EXPECT_EQ(state.siteTitles[1], u"标题"_qs);
}

TEST(ScorePage, ItemsGoIntoThePieceSlotsInPageOrder)
{
    AnalysisState state = comparing(3, 2);
    scoreBody(state, fillerText() + resultItem(u"<em>标题</em>一"_qs, u"http://a.test/1"_qs) +
                         resultItem(u"标题二"_qs, u"http://b.test/2"_qs));
    EXPECT_EQ(state.siteTitles[10], u"标题一"_qs);
    EXPECT_EQ(state.siteUrls[10], u"http://a.test/1"_qs);
    EXPECT_EQ(state.siteTitles[11], u"标题二"_qs);
    EXPECT_EQ(state.siteUrls[11], u"http://b.test/2"_qs);
    EXPECT_TRUE(state.siteTitles[12].isEmpty());
    EXPECT_TRUE(state.siteTitles[0].isEmpty());
}

TEST(ScorePage, ItemsBeyondTheTenthAreDropped)
{
    AnalysisState state = comparing(2, 1);
    QString page = fillerText();
    for (int i = 0; i < 12; ++i)
        page += resultItem(u"标题"_qs + QString::number(i), u"http://a.test/"_qs + QString::number(i));
    scoreBody(state, page);
    EXPECT_EQ(state.siteTitles[9], u"标题9"_qs);
    EXPECT_TRUE(state.siteTitles[10].isEmpty()); // the next piece's first slot
}

TEST(MarkedItems, UpperCaseAnchorFormToo)
{
    const QString page =
        u"<div data-tools='{\"title\":\"甲\",\"url\":\"http://a/\"}'><A class=c-tip-icon></A></div>"_qs;
    EXPECT_EQ(markerSplitItems(page), (QList<ResultItem>{{u"甲"_qs, u"http://a/"_qs}}));
    EXPECT_EQ(itemsOfPage(page), markerSplitItems(page));
}

TEST(ResultItems, AgreeWithTheMarkerSplitOnTheEnginesPlainMarkup)
{
    QString page = fillerText();
    for (int i = 0; i < 7; ++i)
        page += resultItem(u"<em>标题</em>"_qs + QString::number(i), u"http://a.test/"_qs + QString::number(i)) +
                highlighted(12);
    const QList<ResultItem> items = itemsOfPage(page);
    EXPECT_EQ(items.size(), 7);
    EXPECT_EQ(items, markerSplitItems(page));
    EXPECT_EQ(items[3], (ResultItem{u"标题3"_qs, u"http://a.test/3"_qs}));
}

struct ItemCase {
    const char *name;
    QString html;
    QList<ResultItem> items;
};

class ResultItemMarkup : public ::testing::TestWithParam<ItemCase> {};

TEST_P(ResultItemMarkup, EachDataToolsAttributeIsOneItem)
{
    EXPECT_EQ(itemsOfPage(GetParam().html), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Markup, ResultItemMarkup,
    ::testing::Values(
        ItemCase{"escaped_title",
                 uR"(<div data-tools='{"title":"31省区","url":"http://a/"}'><a class="c-tip-icon"></a></div>)"_qs,
                 {{u"31省区"_qs, u"http://a/"_qs}}},
        ItemCase{"extra_members_and_any_order",
                 uR"(<div data-tools='{"url":"http://b/","abs":"摘要","title":"乙"}'></div>)"_qs,
                 {{u"乙"_qs, u"http://b/"_qs}}},
        ItemCase{
            "id_between_attribute_and_anchor",
            uR"(<div data-tools='{"title":"丙","url":"http://c/"}' id="tools_1"><a class="c-tip-icon"></a></div>)"_qs,
            {{u"丙"_qs, u"http://c/"_qs}}},
        ItemCase{"invalid_json_skipped_without_shifting",
                 uR"(<i data-tools='{"title":"坏}'></i><i data-tools='{"title":"丁","url":"http://d/"}'></i>)"_qs,
                 {{u"丁"_qs, u"http://d/"_qs}}},
        ItemCase{
            "title_holding_the_url_marker_read_whole",
            uR"(<i data-tools='{"title":"甲\",\"url\":\"乙","url":"http://e/"}'></i><i data-tools='{"title":"丙","url":"http://f/"}'></i>)"_qs,
            {{u"甲\",\"url\":\"乙"_qs, u"http://e/"_qs}, {u"丙"_qs, u"http://f/"_qs}}},
        ItemCase{
            "double_quoted_with_entities",
            uR"(<i data-tools="{&quot;title&quot;:&quot;It's&quot;,&quot;url&quot;:&quot;http://g/?a=1&amp;b=2&quot;}"></i>)"_qs,
            {{u"It's"_qs, u"http://g/?a=1&b=2"_qs}}},
        ItemCase{"highlight_tags_removed_from_titles",
                 uR"(<i data-tools='{"title":"<em>论文</em>网","url":"http://h/"}'></i>)"_qs,
                 {{u"论文网"_qs, u"http://h/"_qs}}},
        ItemCase{"no_items", u"<p>没有结果</p>"_qs, {}},
        ItemCase{
            "card_title_link_and_mu_address",
            uR"(<div class="result-op c-container" tpl="bk_polysemy" mu="https://baike.test/item/1"><h3 class="t"><a href="http://search.test/link?url=x" target="_blank"><em>论文</em>_百科 &amp; 词典</a></h3><p>简介</p></div>)"_qs,
            {{u"论文_百科 & 词典"_qs, u"https://baike.test/item/1"_qs}}},
        ItemCase{
            "card_without_mu_address_takes_the_link",
            uR"(<div class="result-op" mu=""><H3 class=t><A href=http://news.test/2 target=_blank>新闻</A></H3></div>)"_qs,
            {{u"新闻"_qs, u"http://news.test/2"_qs}}},
        ItemCase{"cards_in_page_order_with_the_items",
                 uR"(<div mu="http://v.test/1"><h3><a href="/l">视频</a></h3></div>)"_qs +
                     resultItem(u"甲"_qs, u"http://a/"_qs) +
                     uR"(<div class="result"><h3><a href="/l2">乙</a></h3>)"_qs +
                     resultItem(u"乙"_qs, u"http://b/"_qs) +
                     uR"(</div><div mu='http://zhidao.test/3'><h3><a href="/l3">知道</a></h3></div>)"_qs,
                 {{u"视频"_qs, u"http://v.test/1"_qs},
                  {u"甲"_qs, u"http://a/"_qs},
                  {u"乙"_qs, u"http://b/"_qs},
                  {u"知道"_qs, u"http://zhidao.test/3"_qs}}},
        ItemCase{"result_with_mu_and_data_tools_is_one_item",
                 uR"(<div class="result c-container" mu="http://a/"><h3><a href="/l">甲</a></h3>)"_qs +
                     resultItem(u"甲"_qs, u"http://a/"_qs) + u"</div>"_qs,
                 {{u"甲"_qs, u"http://a/"_qs}}},
        ItemCase{
            "data_tools_on_the_container_itself",
            uR"(<div data-tools='{"title":"甲 mu=1","url":"http://a/"}' mu="http://a/"><h3><a href="/l">甲</a></h3></div>)"_qs,
            {{u"甲 mu=1"_qs, u"http://a/"_qs}}},
        ItemCase{"mu_in_text_or_a_longer_name_is_no_card",
                 uR"(<p>emu="x" 参数 a&mu=1</p><div data-emu="http://x/"><h3><a href="/l">不是卡片</a></h3></div>)"_qs,
                 {}},
        ItemCase{
            "card_without_a_title_link_is_skipped",
            uR"(<div mu="http://x/"><h3>没有链接</h3></div><div mu="http://y/"><h3><a href="/l">有</a></h3></div>)"_qs,
            {{u"有"_qs, u"http://y/"_qs}}}),
    [](const auto &info) { return std::string(info.param.name); });

struct CheckCase {
    const char *name;
    ResultPage page;
    bool check;
};

class SecurityCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(SecurityCheck, RecognisesTheSigns)
{
    const ResultPage &page = GetParam().page;
    EXPECT_EQ(isSecurityCheckPage(page, pageTextOf(page.bodyHtml).size(), !itemsOfPage(page.bodyHtml).isEmpty()),
              GetParam().check);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SecurityCheck,
    ::testing::Values(
        CheckCase{"title",
                  {u"<div>x</div>"_qs, u"<html><head><title>百度安全验证</title></head></html>"_qs,
                   u"https://www.baidu.com/s"_qs},
                  true},
        CheckCase{"wappass_host",
                  {u"<div>x</div>"_qs, QString(), u"https://wappass.baidu.com/static/captcha/tuxing.html?x=1"_qs},
                  true},
        CheckCase{"captcha_path", {u"<div>x</div>"_qs, QString(), u"https://www.baidu.com/captcha/verify"_qs}, true},
        CheckCase{"slider_text",
                  {u"<p>请完成下方验证</p><p>拖动左侧滑块使图片为正</p>"_qs, QString(), u"https://x/s"_qs},
                  true},
        CheckCase{"network_text", {u"<p>网络不给力，请稍后重试</p>"_qs, QString(), u"https://x/s"_qs}, true},
        CheckCase{"result_page_quoting_the_words",
                  {fillerText() + resultItem(u"百度安全验证怎么通过？请完成下方验证"_qs, u"http://a/"_qs),
                   u"<title>安全验证_百度搜索</title>"_qs, u"https://www.baidu.com/s?wd=x"_qs},
                  false},
        CheckCase{"short_error_page_without_signs", {u"<p>出错了</p>"_qs, QString(), u"https://x/s"_qs}, false},
        CheckCase{"no_results_for_a_query_about_checks",
                  {u"<input value=\"百度安全验证 失败\"><p>抱歉，没有找到与“百度安全验证 失败”相关的网页。</p>"_qs,
                   u"<title>百度安全验证 失败_百度搜索</title>"_qs, u"https://www.baidu.com/s?wd=x"_qs,
                   u"百度安全验证 失败"_qs},
                  false},
        CheckCase{"escaped_echo_of_the_query",
                  {u"<p>没有找到与“安全验证&lt;拖动左侧滑块&gt;”相关的网页。</p>"_qs, QString(), u"https://x/s"_qs,
                   u"安全验证<拖动左侧滑块>"_qs},
                  false},
        CheckCase{"check_text_outside_the_echo",
                  {u"<p>研究方法</p><p>请完成下方验证</p>"_qs, QString(), u"https://x/s"_qs, u"研究方法"_qs},
                  true},
        CheckCase{"a_page_with_result_items_is_never_a_check",
                  {u"<p>拖动左侧滑块</p>"_qs + resultItem(u"甲"_qs, u"http://a/"_qs), u"<title>百度安全验证</title>"_qs,
                   u"https://wappass.baidu.com/static/captcha/x"_qs},
                  false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ScorePage, ASecurityCheckChangesNothingButTheStatusLine)
{
    AnalysisState state = comparing(3, 2);
    state.similaritySum = 32;
    state.resultCount = 2;
    const ScoringOutcome outcome = scorePage(state, {u"<p>请完成下方验证</p>"_qs, QString(), u"https://x/s"_qs});
    EXPECT_TRUE(outcome.securityCheck);
    EXPECT_EQ(outcome.progressCaption, u"请在下方通过安全验证，之后显示第 2 句的结果"_qs);
    EXPECT_FALSE(outcome.similarityCaption.has_value());
    EXPECT_EQ(state.similaritySum, 32);
    EXPECT_EQ(state.resultCount, 2);
    EXPECT_TRUE(state.pageHtml.isEmpty() && state.pageText.isEmpty() && state.markedHtml.isEmpty());
    EXPECT_TRUE(state.siteTitles[10].isEmpty());
}

TEST(ScorePage, TheCheckLineSaysWhatAnAutomaticRunDoes)
{
    AnalysisState state = comparing(3, 3);
    state.autoMode = true;
    const ScoringOutcome outcome = scorePage(state, {u"<p>请完成下方验证</p>"_qs, QString(), u"https://x/s"_qs});
    EXPECT_EQ(outcome.progressCaption, u"请在下方通过安全验证，之后自动继续对比第 3 句"_qs);
}

TEST(MarkedItems, NoItemsOnAPlainPage)
{
    EXPECT_TRUE(itemsOfPage(fillerText()).isEmpty());
}

} // namespace
} // namespace veltrik

namespace veltrik {
namespace {

// The marking as written: each pattern replaced over the whole page in turn, then each tag removed.
QString markedPassByPass(QString html)
{
    const QString marker = u"<bbbbbbbb>"_qs;
    for (const QString &pattern : {u"\",\"url\":\""_qs, u"data-tools='{\"title\":\""_qs,
                                   u"\"}'><A class=c-tip-icon>"_qs, u"\"}'><a class=\"c-tip-icon\">"_qs})
        html.replace(pattern, marker);
    for (const QString &tag : {u"<EM>"_qs, u"<em>"_qs, u"</EM>"_qs, u"</em>"_qs})
        html.replace(tag, QString());
    return html;
}

TEST(MarkedItems, AgreeWithReplacingPatternByPatternOnRandomPages)
{
    const QStringList fragments = {u"\",\"url\":\""_qs,
                                   u"data-tools='{\"title\":\""_qs,
                                   u"\"}'><A class=c-tip-icon>"_qs,
                                   u"\"}'><a class=\"c-tip-icon\">"_qs,
                                   u"<EM>"_qs,
                                   u"<em>"_qs,
                                   u"</EM>"_qs,
                                   u"</em>"_qs,
                                   u"<"_qs,
                                   u"e"_qs,
                                   u"m>"_qs,
                                   u"EM>"_qs,
                                   u"/"_qs,
                                   u"\""_qs,
                                   u"d"_qs,
                                   u"标题"_qs,
                                   u"data-tools='{\"title\":"_qs,
                                   u"x"_qs};
    std::srand(7);
    for (int round = 0; round < 20000; ++round) {
        QString page;
        const int length = std::rand() % 12;
        for (int i = 0; i < length; ++i)
            page += fragments[std::rand() % fragments.size()];
        ASSERT_EQ(markItems(page), markedPassByPass(page)) << page.toStdString();
    }
}

TEST(MarkedItems, TagsJoinedByARemovalAreRemovedLikeTheOthers)
{
    EXPECT_EQ(markItems(u"a<<EM>em>b</<em>em>c"_qs), u"abc"_qs);
    EXPECT_EQ(markItems(u"a<<em>EM>b"_qs), u"a<EM>b"_qs); // "<EM>" was removed before this one appeared
}

} // namespace
} // namespace veltrik
