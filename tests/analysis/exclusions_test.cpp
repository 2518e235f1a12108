#include "analysis/exclusions.h"
#include "analysis/segmentation.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

const QString kCrLf = u"\r\n"_qs;

// Paragraphs of a thesis that every exclusion keeps.
const QString kIntroduction = u"近年来，随着互联网技术的快速发展，在线教育逐渐成为高等教育的重要组成部分。"_qs;
const QString kMethod = u"本研究采用问卷调查与访谈相结合的方法，对三所高校的 612 名学生进行了调查。"_qs;
const QString kThanks = u"感谢导师在论文写作过程中给予的悉心指导，感谢家人一直以来的支持。"_qs;
const QString kQuestionnaire = u"1. 您每周参加在线课程的时间是多少？"_qs;
const QString kChapterOne = u"第一章 绪论"_qs;

const QStringList kReferenceEntries = {
    u"[1] 王建国. 在线教育发展研究[J]. 教育研究, 2019, 40(3): 45-52."_qs,
    u"[2] Smith J, Brown K. Online learning in higher education[J]. Computers & Education, 2020, 145."_qs,
    u"[3] 李明. 高等教育信息化[M]. 北京: 高等教育出版社, 2018."_qs,
};
const QStringList kNumberedReferenceEntries = {
    u"1. 王建国. 在线教育发展研究[J]. 教育研究, 2019, 40(3): 45-52."_qs,
    u"2 Smith J, Brown K. Online learning in higher education. Computers & Education, 2020."_qs,
};

// Characters as the summary counts them: line breaks, spaces, U+3000 and tabs are not counted.
qsizetype visibleLength(const QStringList &paragraphs)
{
    qsizetype length = 0;
    for (const QString &paragraph : paragraphs) {
        for (const QChar c : paragraph)
            length += (c == u' ' || c == u'\u3000' || c == u'\t') ? 0 : 1;
    }
    return length;
}

QString article(const QStringList &paragraphs)
{
    return paragraphs.join(kCrLf);
}

struct ExclusionCase {
    const char *name;
    AnalysisOptions options;
    QStringList before;   // kept
    QStringList excluded; // whole paragraphs left out
    QStringList after;    // kept
    ExcludedCharacters expected() const
    {
        ExcludedCharacters counts;
        if (options.excludeReferences)
            counts.references = visibleLength(excluded);
        else if (options.excludeTableOfContents)
            counts.tableOfContents = visibleLength(excluded);
        else
            counts.quotes = visibleLength(excluded);
        return counts;
    }
};

constexpr AnalysisOptions kReferences{true, false, false};
constexpr AnalysisOptions kQuotes{false, true, false};
constexpr AnalysisOptions kContents{false, false, true};

class WholeParagraphs : public ::testing::TestWithParam<ExclusionCase> {};

TEST_P(WholeParagraphs, AreLeftOutWithTheirLineBreaks)
{
    const ExclusionCase &c = GetParam();
    const ExclusionResult result = applyExclusions(article(c.before + c.excluded + c.after), c.options);
    const QString kept = c.after.isEmpty() ? article(c.before) + kCrLf : article(c.before + c.after);
    EXPECT_EQ(result.keptText, c.excluded.isEmpty() ? article(c.before + c.after) : kept);
    EXPECT_EQ(result.excluded, c.expected());
}

INSTANTIATE_TEST_SUITE_P(
    References, WholeParagraphs,
    ::testing::Values(ExclusionCase{"unnumbered_to_the_end",
                                    kReferences,
                                    {kIntroduction, kMethod},
                                    QStringList{u"参考文献"_qs} + kReferenceEntries,
                                    {}},
                      ExclusionCase{"unnumbered_up_to_the_thanks",
                                    kReferences,
                                    {kIntroduction},
                                    QStringList{u"参考文献"_qs} + kReferenceEntries,
                                    {u"致谢"_qs, kThanks}},
                      ExclusionCase{"spaced_heading_with_colon_up_to_the_appendix",
                                    kReferences,
                                    {kIntroduction},
                                    QStringList{u"参 考 文 献："_qs} + kReferenceEntries,
                                    {u"附录A 调查问卷"_qs, kQuestionnaire}},
                      ExclusionCase{"chapter_numbered_up_to_the_next_chapter",
                                    kReferences,
                                    {kChapterOne, kIntroduction},
                                    QStringList{u"第六章 参考文献"_qs} + kReferenceEntries,
                                    {u"第七章 附录"_qs, kQuestionnaire}},
                      ExclusionCase{"chinese_numeral_up_to_the_next",
                                    kReferences,
                                    {kIntroduction},
                                    QStringList{u"五、参考文献"_qs} + kReferenceEntries,
                                    {u"六、致谢"_qs, kThanks}},
                      ExclusionCase{"decimal_numbered_english",
                                    kReferences,
                                    {u"1 Introduction"_qs, kIntroduction},
                                    QStringList{u"7 References"_qs} + kNumberedReferenceEntries,
                                    {u"8 Acknowledgements"_qs, kThanks}},
                      ExclusionCase{"bracketed_heading_with_groups_inside",
                                    kReferences,
                                    {kIntroduction},
                                    QStringList{u"【参考文献】"_qs, u"（一）中文文献"_qs} +
                                        kReferenceEntries.mid(0, 1) + QStringList{u"（二）英文文献"_qs} +
                                        kReferenceEntries.mid(1, 1),
                                    {u"致　谢"_qs, kThanks}},
                      ExclusionCase{"section_level_ends_at_the_next_section",
                                    kReferences,
                                    {u"3.3 讨论"_qs, kMethod},
                                    QStringList{u"3.4 参考文献"_qs, u"3.4.1 期刊论文"_qs} + kReferenceEntries,
                                    {u"3.5 小结"_qs, kMethod}},
                      ExclusionCase{"cited_works_heading",
                                    kReferences,
                                    {kIntroduction},
                                    QStringList{u"\u3000\u3000引用文献"_qs} + kReferenceEntries,
                                    {u"后记"_qs, kThanks}},
                      ExclusionCase{"the_word_in_a_sentence_is_no_heading",
                                    kReferences,
                                    {u"本文参考文献较多，主要来自近五年的期刊论文。"_qs, kMethod},
                                    {},
                                    {}}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    TableOfContents, WholeParagraphs,
    ::testing::Values(ExclusionCase{"dots_ellipses_and_middle_dots_with_the_heading",
                                    kContents,
                                    {u"摘要"_qs, kIntroduction},
                                    {u"目 录"_qs, u"摘要……………………………………I"_qs, u"第一章 绪论……………………………1"_qs,
                                     u"\u3000\u30001.1 研究背景 .......................... 1"_qs,
                                     u"第二章 文献综述 ··························· 5"_qs, u"参考文献……………………………45"_qs,
                                     u"致谢 ---------------------------------- 48"_qs},
                                    {kChapterOne, kIntroduction}},
                      ExclusionCase{"entries_without_a_heading",
                                    kContents,
                                    {},
                                    {u"Contents"_qs, u"1 Introduction.....1"_qs, u"2 Method.....7"_qs},
                                    {u"1 Introduction"_qs, kIntroduction}},
                      ExclusionCase{"leaders_without_a_page_number_are_text",
                                    kContents,
                                    {u"调查对象包括本科生、研究生......"_qs, u"目录"_qs, kMethod},
                                    {},
                                    {}}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    QuotesOnTheirOwn, WholeParagraphs,
    ::testing::Values(
        ExclusionCase{"double_quotes", kQuotes, {kIntroduction}, {u"“学而不思则罔，思而不学则殆。”"_qs}, {kMethod}},
        ExclusionCase{"corner_brackets_nested_indented",
                      kQuotes,
                      {kIntroduction},
                      {u"\u3000\u3000「他说：『教育的本质是唤醒。』」。"_qs},
                      {kMethod}}),
    [](const auto &info) { return std::string(info.param.name); });

struct InlineQuoteCase {
    const char *name;
    QString paragraph;
    QString kept;
};

class InlineQuotes : public ::testing::TestWithParam<InlineQuoteCase> {};

TEST_P(InlineQuotes, LeaveOutOnlyMarkedQuotes)
{
    const InlineQuoteCase &c = GetParam();
    const ExclusionResult result = applyExclusions(article({kIntroduction, c.paragraph, kMethod}), kQuotes);
    EXPECT_EQ(result.keptText, article({kIntroduction, c.kept, kMethod}));
    EXPECT_EQ(result.excluded.quotes, c.paragraph.size() - c.kept.size());
    EXPECT_EQ(result.excluded.references + result.excluded.tableOfContents, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Quotes, InlineQuotes,
    ::testing::Values(
        InlineQuoteCase{"as_someone_said",
                        u"正如鲁迅所说：“世上本没有路，走的人多了，也便成了路。”这启示我们要勇于探索。"_qs,
                        u"正如鲁迅所说：这启示我们要勇于探索。"_qs},
        InlineQuoteCase{"as_someone_put_it", u"如费孝通所言，「乡土社会是一个熟悉的社会」，这一判断至今有效。"_qs,
                        u"如费孝通所言，，这一判断至今有效。"_qs},
        InlineQuoteCase{"cited", u"本文引用张华的定义：“在线学习是以网络为媒介的学习方式”。"_qs,
                        u"本文引用张华的定义：。"_qs},
        InlineQuoteCase{"only_the_marked_one_of_two",
                        u"所谓“双一流”建设，引用文件原文：“建设世界一流大学和一流学科”。"_qs,
                        u"所谓“双一流”建设，引用文件原文：。"_qs},
        InlineQuoteCase{"marker_in_an_earlier_sentence_does_not_count",
                        u"如前文所说，样本有限。所谓“慕课”即大规模开放在线课程。"_qs,
                        u"如前文所说，样本有限。所谓“慕课”即大规模开放在线课程。"_qs},
        InlineQuoteCase{"unclosed_quote_stays", u"正如他所说：“这是一个没有结尾的引语"_qs,
                        u"正如他所说：“这是一个没有结尾的引语"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

// Real-looking theses for the whole analysis.
const QString kThesis =
    article(QStringList{u"目录"_qs, u"第一章 绪论……………………1"_qs, u"参考文献……………………9"_qs, kChapterOne, kIntroduction,
                        u"正如陶行知所说：“生活即教育。”在线教育同样如此。"_qs, kMethod, u"参考文献"_qs} +
            kReferenceEntries + QStringList{u"致谢"_qs, kThanks});
const QString kPlainThesis = article({kChapterOne, kIntroduction, kMethod, u"所谓“双一流”建设。"_qs, kThanks});

TEST(AnalysisWithOptions, EveryOptionOffGivesThePlainAnalysis)
{
    for (const QString &thesis : {kThesis, kPlainThesis, QString()}) {
        const ArticleAnalysis plain = analyseArticle(thesis);
        const ArticleAnalysis off = analyseArticle(thesis, AnalysisOptions{});
        EXPECT_EQ(off.workText, plain.workText);
        EXPECT_EQ(off.pieces, plain.pieces);
        EXPECT_EQ(off.doubleByteCount, plain.doubleByteCount);
        EXPECT_EQ(off.caption(), u"本文共 "_qs + QString::number(plain.doubleByteCount) + u" 字，本次分析共分析出 "_qs +
                                     QString::number(plain.pieces.size()) + u" 句，请多次点击进行对比！"_qs);
        EXPECT_EQ(off.workText, cleanArticle(thesis));
    }
}

TEST(AnalysisWithOptions, NothingToLeaveOutKeepsThePiecesAndSaysSo)
{
    const AnalysisOptions all{true, true, true};
    const ArticleAnalysis plain = analyseArticle(kPlainThesis);
    const ArticleAnalysis checked = analyseArticle(kPlainThesis, all);
    EXPECT_EQ(checked.pieces, plain.pieces);
    EXPECT_EQ(checked.doubleByteCount, plain.doubleByteCount);
    EXPECT_EQ(checked.caption(),
              plain.caption() + u"已排除参考文献 0 字，引文 0 字，目录 0 字，共 0 字不参与对比。"_qs);
}

TEST(AnalysisWithOptions, LeftOutTextIsInNoPieceAndTheSummaryCountsIt)
{
    const ArticleAnalysis analysis = analyseArticle(kThesis, AnalysisOptions{true, true, true});
    const QString expectedKept = cleanArticle(
        article({kChapterOne, kIntroduction, u"正如陶行知所说：在线教育同样如此。"_qs, kMethod, u"致谢"_qs, kThanks}));
    EXPECT_EQ(analysis.workText, expectedKept);
    EXPECT_EQ(analysis.pieces.join(QString()), expectedKept);
    EXPECT_EQ(analysis.excluded.references, visibleLength(QStringList{u"参考文献"_qs} + kReferenceEntries));
    EXPECT_EQ(analysis.excluded.quotes, 8);
    EXPECT_EQ(analysis.excluded.tableOfContents,
              2 + visibleLength({u"第一章 绪论……………………1"_qs, u"参考文献……………………9"_qs}));
    EXPECT_TRUE(analysis.caption().endsWith(u"已排除参考文献 "_qs + QString::number(analysis.excluded.references) +
                                            u" 字，引文 8 字，目录 "_qs +
                                            QString::number(analysis.excluded.tableOfContents) + u" 字，共 "_qs +
                                            QString::number(analysis.excluded.total()) + u" 字不参与对比。"_qs));
}

TEST(AnalysisWithOptions, OnlyTheChosenExclusionApplies)
{
    const ArticleAnalysis analysis = analyseArticle(kThesis, kQuotes);
    EXPECT_EQ(analysis.excluded, (ExcludedCharacters{0, 8, 0}));
    EXPECT_TRUE(analysis.workText.contains(u"王建国"_qs));
    EXPECT_TRUE(analysis.caption().endsWith(u"请多次点击进行对比！已排除引文 8 字，共 8 字不参与对比。"_qs));
}

} // namespace
} // namespace veltrik
