#include "documents/pdfparagraphs.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

// Page texts as Qt PDF gives them: lines ended by CR LF, the lines of a paragraph all of one width but
// the last.
QString page(std::initializer_list<const char16_t *> lines)
{
    QStringList list;
    for (const char16_t *line : lines)
        list << QString::fromUtf16(line);
    return list.join(u"\r\n"_qs);
}

struct RebuildCase {
    const char *name;
    QStringList pages;
    QString paragraphs;
};

class Rebuild : public ::testing::TestWithParam<RebuildCase> {};

TEST_P(Rebuild, GivesTheParagraphs)
{
    EXPECT_EQ(rebuildPdfParagraphs(GetParam().pages), GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(
    PdfText, Rebuild,
    ::testing::Values(
        RebuildCase{"ChineseLinesJoinWithoutSpace",
                    {page({u"论文查重是学位论文写作中的", u"重要一环，学生在提交之前", u"应当自查。"})},
                    u"论文查重是学位论文写作中的重要一环，学生在提交之前应当自查。"_qs},
        RebuildCase{"LatinWordsKeepOneSpace",
                    {page({u"The text layer comes back", u"broken at every line end of", u"the page."})},
                    u"The text layer comes back broken at every line end of the page."_qs},
        RebuildCase{"ChineseAndLatinJoinWithoutSpace",
                    {page({u"本文使用的排版系统是一个叫做", u"LaTeX 的程序，它的作者是高德纳", u"先生。"})},
                    u"本文使用的排版系统是一个叫做LaTeX 的程序，它的作者是高德纳先生。"_qs},
        RebuildCase{"CharactersBeyondTheBasicPlaneJoinByWhatTheyAre",
                    {page({u"记 𝑋 为小明的累计得分，即 𝑌 =", u"𝑍 为另一位同学的得分，字形为𠀀", u"𠀁字。"})},
                    u"记 𝑋 为小明的累计得分，即 𝑌 = 𝑍 为另一位同学的得分，字形为𠀀𠀁字。"_qs},
        RebuildCase{"HyphenatedWordIsJoinedAgain",
                    {page({u"The reader rebuilds the infor-", u"mation of the page into para-", u"graphs."})},
                    u"The reader rebuilds the information of the page into paragraphs."_qs},
        RebuildCase{"HyphenBeforeCapitalStays",
                    {page({u"It follows the guideline of GB-", u"T 7714 for every reference in it", u"now."})},
                    u"It follows the guideline of GB- T 7714 for every reference in it now."_qs},
        RebuildCase{"SingleSpaceBetweenChineseCharactersGoes", {page({u"学 位 论 文 的 写 作"})}, u"学位论文的写作"_qs},
        RebuildCase{"WiderGapsAndSpacesNextToLatinStay",
                    {page({u"第一章  绪论：使用 LaTeX 排版"})},
                    u"第一章  绪论：使用 LaTeX 排版"_qs},
        RebuildCase{"PrivateUseAndNonCharactersAreDropped",
                    {page({u"\uE03A公式\U000F0001符号\uF8FF", u"cqu\uFFFEthesis.cfg"})},
                    u"公式符号\ncquthesis.cfg"_qs},
        RebuildCase{"ControlCharactersAreDroppedTabsBecomeSpaces", {page({u"甲\u0001乙\u0085丙\t丁"})}, u"甲乙丙丁"_qs},
        RebuildCase{"ShortLineEndsItsParagraph",
                    {page({u"第一段的第一行文字写满了", u"第一段到此结束。", u"第二段的第一行文字写满了",
                           u"第二段也结束了。"})},
                    u"第一段的第一行文字写满了第一段到此结束。\n第二段的第一行文字写满了第二段也结束了。"_qs},
        RebuildCase{"HeadingsListItemsAndFootnotesStartParagraphs",
                    {page({u"这是第一段的第一行写满了整行", u"1.2.1 方法的小节标题写满了行",
                           u"• 第一个列表项写满了整一行；", u"• 第二个列表项写满了整一行；",
                           u"（1）第一小问写满了整整一行", u"17.第十七题写满了整整一行", u"二、第二部分写满了整整一行",
                           u"第三章 结论写满了整整一行了", u"最后一行写满了它的整一行", u"① 脚注写满了它的整整一行"})},
                    u"这是第一段的第一行写满了整行\n1.2.1 方法的小节标题写满了行\n• 第一个列表项写满了整一行；\n"
                    u"• 第二个列表项写满了整一行；\n（1）第一小问写满了整整一行\n17.第十七题写满了整整一行\n"
                    u"二、第二部分写满了整整一行\n第三章结论写满了整整一行了最后一行写满了它的整一行\n"
                    u"① 脚注写满了它的整整一行"_qs},
        RebuildCase{"NumbersInsideTheTextStartNothing",
                    {page({u"实验测得的概率一共是这么多：", u"0.8，与 2021 年的数据相", u"符。"})},
                    u"实验测得的概率一共是这么多：0.8，与 2021 年的数据相符。"_qs},
        RebuildCase{"TableRowsStayRows",
                    {page({u"实验中使用的数据来自三个来源，", u"下表列出了其中的两个：", u"文件名 描述", u"111 222",
                           u"222 333"})},
                    u"实验中使用的数据来自三个来源，下表列出了其中的两个：\n文件名描述\n111 222\n222 333"_qs},
        RebuildCase{"PageEndsAParagraph",
                    {page({u"这一页的最后一句话写满了整行。"}), page({u"下一页从新的段落开始写满了。"})},
                    u"这一页的最后一句话写满了整行。\n下一页从新的段落开始写满了。"_qs},
        RebuildCase{
            "SentenceRunningOnToTheNextPageStaysOne",
            {page({u"这一句话在页末还没有写完，", u"它一直延续到下一页的开头"}), page({u"才结束，这是同一句话。写满"})},
            u"这一句话在页末还没有写完，它一直延续到下一页的开头才结束，这是同一句话。写满"_qs},
        RebuildCase{"RunningHeadAndPageNumbersOnMostPagesGo",
                    {page({u"某某大学硕士学位论文", u"第一页的正文内容写满整行。", u"1"}),
                     page({u"某某大学硕士学位论文", u"第二页的正文内容写满整行。", u"2"}),
                     page({u"某某大学硕士学位论文", u"第三页的正文内容写满整行。", u"3"})},
                    u"第一页的正文内容写满整行。\n第二页的正文内容写满整行。\n第三页的正文内容写满整行。"_qs},
        RebuildCase{"HeadsThatChangeWithTheChapterGo",
                    {page({u"某某大学硕士学位论文 1 绪论", u"1 绪论", u"绪论的正文写满了整个一行。"}),
                     page({u"某某大学硕士学位论文 1 绪论", u"绪论的第二页正文写满整行。"}),
                     page({u"某某大学硕士学位论文 2 方法", u"2 方法", u"方法一章的正文写满整一行。"}),
                     page({u"某某大学硕士学位论文 2 方法", u"方法的第二页正文写满整行。"}),
                     page({u"某某大学硕士学位论文 2 方法", u"方法的第三页正文写满整行。"})},
                    u"1 绪论\n绪论的正文写满了整个一行。\n绪论的第二页正文写满整行。\n2 方法\n"
                    u"方法一章的正文写满整一行。\n方法的第二页正文写满整行。\n方法的第三页正文写满整行。"_qs},
        RebuildCase{
            "HeadsAlternatingBetweenLeftAndRightPagesGo",
            {page({u"论文题目", u"第一页正文写满了一整行。"}), page({u"第一章 引言", u"第二页正文写满了一整行。"}),
             page({u"论文题目", u"第三页正文写满了一整行。"}), page({u"第一章 引言", u"第四页正文写满了一整行。"})},
            u"第一页正文写满了一整行。\n第二页正文写满了一整行。\n第三页正文写满了一整行。\n"
            u"第四页正文写满了一整行。"_qs},
        RebuildCase{"HeadsCarryingThePageNumberGo",
                    {page({u"B 基本概念 6", u"第六页的正文写满了整行。", u"CTEX FAQ"}),
                     page({u"C 安装升级 7", u"第七页的正文写满了整行。", u"CTEX FAQ"})},
                    u"第六页的正文写满了整行。\n第七页的正文写满了整行。"_qs},
        RebuildCase{"PageNumbersInOtherFormsGo",
                    {page({u"第一页的正文写满了整行。", u"- 1 -"}), page({u"第二页的正文写满了整行。", u"第 2 页"}),
                     page({u"第三页的正文写满了整行。", u"Page 3"})},
                    u"第一页的正文写满了整行。\n第二页的正文写满了整行。\n第三页的正文写满了整行。"_qs},
        RebuildCase{"RomanPageNumbersGo",
                    {page({u"摘要的正文写满了整一行。", u"I"}), page({u"目录的正文写满了整一行。", u"II"}),
                     page({u"前言的正文写满了整一行。", u"III"})},
                    u"摘要的正文写满了整一行。\n目录的正文写满了整一行。\n前言的正文写满了整一行。"_qs},
        RebuildCase{
            "HeadsWithRomanPageNumbersGo",
            {page({u"目录的第一行写满了整一行。", u"vi 目 录"}), page({u"目录的第二行写满了整一行。", u"目 录 vii"}),
             page({u"目录的第三行写满了整一行。", u"viii 目 录"}), page({u"目录的第四行写满了整一行。", u"目 录 ix"}),
             page({u"目录的第五行写满了整一行。", u"x 目 录"})},
            u"目录的第一行写满了整一行。\n目录的第二行写满了整一行。\n目录的第三行写满了整一行。\n"
            u"目录的第四行写满了整一行。\n目录的第五行写满了整一行。"_qs},
        RebuildCase{"LinesAtTheTopOfOnlyOnePageStay",
                    {page({u"第一章 绪论", u"第一页正文写满了一整行。"}),
                     page({u"1.1 背景", u"第二页正文写满了一整行。"}), page({u"1.2 目标", u"第三页正文写满了一整行。"}),
                     page({u"1.3 方法", u"第四页正文写满了一整行。"})},
                    u"第一章绪论\n第一页正文写满了一整行。\n1.1 背景\n第二页正文写满了一整行。\n1.2 目标\n"
                    u"第三页正文写满了一整行。\n1.3 方法\n第四页正文写满了一整行。"_qs},
        RebuildCase{"ASinglePageKeepsAllItsLines",
                    {page({u"2021 年", u"一页纸上的正文写满了一整行，", u"到这里结束。", u"1"})},
                    u"2021 年\n一页纸上的正文写满了一整行，到这里结束。\n1"_qs},
        RebuildCase{"EveryKindOfLineBreakSplitsLines",
                    {u"第一行写满了\r第二行写满了\n第三行写满了\u2028结束。"_qs},
                    u"第一行写满了第二行写满了第三行写满了结束。"_qs},
        RebuildCase{"PagesWithoutTextGiveNothing", {QString(), page({u" ", u"\uE000"}), QString()}, QString()},
        RebuildCase{"NoPagesGiveNothing", {}, QString()}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrik
