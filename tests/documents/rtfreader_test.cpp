#include "documents/rtfreader.h"
#include "documents/rtfwriter.h"

#include <gtest/gtest.h>

namespace veltrik {
namespace {

QString textOf(const QByteArray &rtf)
{
    return readRtf(rtf).content.text;
}

struct TextCase {
    const char *name;
    QByteArray rtf;
    QString text;
};

class RtfText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfText, ReadsTheBodyText)
{
    const DocumentResult result = readRtf(GetParam().rtf);
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_EQ(result.content.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RtfText,
    ::testing::Values(
        TextCase{"plain_ascii", R"({\rtf1\ansi Hello world}")", u"Hello world"_qs},
        TextCase{"gbk_pairs_form_one_character", R"({\rtf1\ansi\ansicpg936 \'d6\'d0\'ce\'c4})", u"中文"_qs},
        TextCase{"font_charset_134", R"({\rtf1\ansi{\fonttbl{\f0\fnil\fcharset134 Song;}}\f0 \'d6\'d0})", u"中"_qs},
        TextCase{"font_charset_136_big5", R"({\rtf1\ansi{\fonttbl{\f1\fnil\fcharset136 Ming;}}\f1 \'a4\'a4})",
                 u"中"_qs},
        TextCase{"charset_by_font_not_document",
                 R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0 A;}{\f1\fcharset134 B;}}\f0 caf\'e9 \f1 \'d6\'d0})",
                 u"café 中"_qs},
        TextCase{"unicode_skips_one_fallback", R"({\rtf1\ansi \u20013?\u25991?})", u"中文"_qs},
        TextCase{"unicode_skips_two_hex_fallbacks", R"({\rtf1\ansi\uc2 \u20013\'d6\'d0x})", u"中x"_qs},
        TextCase{"font_after_dbch_decodes_the_double_byte_text",
                 R"({\rtf1\ansi{\fonttbl{\f1\fcharset0 Calibri;}{\f2\fcharset134 Song;}})"
                 R"(\loch\af1\hich\af1\dbch\f2 \'d6\'d0\loch\f1 a})",
                 u"中a"_qs},
        TextCase{"negative_unicode", R"({\rtf1\ansi \u-3971?})", u"\uF07D"_qs},
        TextCase{"uc_is_scoped_to_its_group", R"({\rtf1\ansi {\uc2 \u20013\'d6\'d0}\u25991?})", u"中文"_qs},
        TextCase{"paragraphs_lines_and_tabs", R"({\rtf1\ansi a\par b\line c\tab d})", u"a\r\nb\r\nc\td"_qs},
        TextCase{"escaped_braces_and_backslash", R"({\rtf1\ansi \{x\}\\})", u"{x}\\"_qs},
        TextCase{"line_breaks_in_the_source_are_ignored", "{\\rtf1\\ansi a\r\nb\nc}", u"abc"_qs},
        TextCase{"optional_destinations_skipped", R"({\rtf1\ansi a{\*\generator Writer;}b{\*\unknown x}c})", u"abc"_qs},
        TextCase{"info_and_stylesheet_skipped", R"({\rtf1\ansi{\info{\title T}}{\stylesheet{\s0 Normal;}}body})",
                 u"body"_qs},
        TextCase{"picture_skipped", R"({\rtf1\ansi a{\pict\pngblip 89504e47}b})", u"ab"_qs},
        TextCase{"field_result_kept", R"({\rtf1\ansi {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", u"link"_qs},
        TextCase{"object_result_kept", R"({\rtf1\ansi {\object\objemb{\*\objdata 01}{\result shown}}})", u"shown"_qs},
        TextCase{"header_with_field_skipped", R"({\rtf1\ansi {\header {\field{\*\fldinst PAGE}{\fldrslt 1}}}x})",
                 u"x"_qs},
        TextCase{"binary_data_skipped", "{\\rtf1\\ansi a\\bin3 {}\\b}", u"ab"_qs},
        TextCase{"special_characters", R"({\rtf1\ansi \emdash\lquote x\rquote\~})", u"\u2014\u2018x\u2019\u00A0"_qs},
        TextCase{"text_after_the_document_is_ignored", R"({\rtf1\ansi a}b})", u"a"_qs},
        TextCase{"unterminated_document_keeps_its_text", R"({\rtf1\ansi abc{\b def)", u"abcdef"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RtfFormatting, ColoursFontsSizesAndStyles)
{
    const DocumentResult result = readRtf(
        R"({\rtf1\ansi{\fonttbl{\f0\fcharset134 \'cb\'ce\'cc\'e5;}{\f1 Arial;}}{\colortbl ;\red255\green0\blue0;})"
        R"(\f0\fs20 a{\cf1\b red}{\f1\fs24\i\ul x}\cf0 b})");
    ASSERT_TRUE(result);
    const QList<FormatRun> &runs = result.content.runs;
    ASSERT_EQ(runs.size(), 4);
    EXPECT_EQ(runs[0].format.font, u"宋体"_qs);
    EXPECT_EQ(runs[0].format.pointSize, 10);
    EXPECT_EQ(runs[1].format.color, 0xFF0000u);
    EXPECT_TRUE(runs[1].format.bold);
    EXPECT_EQ(runs[2].format.font, u"Arial"_qs);
    EXPECT_EQ(runs[2].format.pointSize, 12);
    EXPECT_TRUE(runs[2].format.italic && runs[2].format.underline);
    EXPECT_FALSE(runs[3].format.color.has_value());
    EXPECT_EQ(result.content.text, u"aredxb"_qs);
}

TEST(RtfFormatting, DoubleByteTextTakesTheAssociatedProperties)
{
    const DocumentResult result =
        readRtf(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f5\fcharset134 \'cb\'ce\'cc\'e5;}}\f0\fs24 )"
                R"({\hich\af5\loch\f0\dbch\afs21\ab\af5\dbch \u20013?}{\hich\af5\loch\fs21\f0\dbch\af5\loch x}})");
    ASSERT_TRUE(result);
    ASSERT_EQ(result.content.runs.size(), 2);
    const CharFormat chinese = result.content.runs[0].format;
    EXPECT_EQ(chinese.font, u"宋体"_qs);
    EXPECT_EQ(chinese.pointSize, 10.5);
    EXPECT_TRUE(chinese.bold);
    const CharFormat latin = result.content.runs[1].format;
    EXPECT_EQ(latin.font, u"Arial"_qs);
    EXPECT_EQ(latin.pointSize, 10.5);
    EXPECT_FALSE(latin.bold);
}

TEST(RtfDamage, NotRtfIsRefused)
{
    EXPECT_EQ(readRtf("plain text").status, DocumentResult::Status::NotThisFormat);
    EXPECT_EQ(readRtf("").status, DocumentResult::Status::NotThisFormat);
}

TEST(RtfDamage, AbsurdNestingIsRefusedWithoutRecursion)
{
    const QByteArray deep = "{\\rtf1 " + QByteArray(100000, '{') + "x";
    EXPECT_EQ(readRtf(deep).status, DocumentResult::Status::Damaged);
}

TEST(RtfDamage, BinaryLongerThanTheFileStops)
{
    const DocumentResult result = readRtf("{\\rtf1 ab\\bin999999 xyz}");
    ASSERT_TRUE(result);
    EXPECT_EQ(result.content.text, u"ab"_qs);
}

TEST(RtfDamage, EndingInTheMiddleOfAControlWordOrHexPair)
{
    for (const QByteArray &cut : {QByteArray("{\\rtf1 a\\"), QByteArray("{\\rtf1 a\\'d"),
                                  QByteArray("{\\rtf1 a\\u2001"), QByteArray("{\\rtf1 a\\par")})
        EXPECT_TRUE(textOf(cut).startsWith(u"a"_qs)) << cut.toStdString();
}

CharFormat format(const QString &font, double size, std::optional<quint32> color = std::nullopt, bool bold = false)
{
    CharFormat f;
    f.font = font;
    f.pointSize = size;
    f.color = color;
    f.bold = bold;
    return f;
}

TEST(RtfRoundTrip, WhatIsWrittenReadsBackTheSame)
{
    StyledText document;
    document.append(u"欢迎使用Veltrik {软件} \\ 😀€"_qs, format(u"宋体"_qs, 10));
    document.append(u"红色的句子。"_qs, format(u"宋体"_qs, 10, 0xFF0000));
    document.appendParagraphBreak(format(u"宋体"_qs, 10, 0xFF0000));
    document.append(u"\tArial 粗体 한국어"_qs, format(u"Arial"_qs, 10.5, 0x0000FF, true));
    document.appendParagraphBreak(format(u"Arial"_qs, 10.5, 0x0000FF, true));
    document.append(u"末段"_qs, format(u"微软雅黑"_qs, 12));
    ParagraphFormat centred;
    centred.alignment = ParagraphFormat::Alignment::Center;
    centred.spaceAfter = 240;
    ParagraphFormat indented;
    indented.alignment = ParagraphFormat::Alignment::Justify;
    indented.firstLineIndent = -420;
    indented.leftIndent = 840;
    indented.rightIndent = 120;
    indented.spaceBefore = 60;
    document.setParagraphFormat(0, centred);
    document.setParagraphFormat(2, indented);
    const DocumentResult read = readRtf(writeRtf(document));
    ASSERT_TRUE(read);
    EXPECT_EQ(read.content.text, document.text);
    EXPECT_EQ(read.content.runs, document.runs);
    EXPECT_EQ(read.content.paragraphs, document.paragraphs);
}

ParagraphFormat paragraph(ParagraphFormat::Alignment alignment, int firstLine = 0, int left = 0, int right = 0,
                          int before = 0, int after = 0)
{
    return {alignment, firstLine, left, right, before, after};
}

// A paragraph takes the properties in effect where it ends; \pard returns to the default.
TEST(RtfParagraphs, AlignmentIndentsAndSpacingAreRead)
{
    using Alignment = ParagraphFormat::Alignment;
    const DocumentResult result = readRtf(R"({\rtf1\ansi \pard\qc\fi-420\li840\ri120\sb240\sa60 title\par )"
                                          R"(\pard body\par \pard\qj\lin420\rin60 {\b two}\par {\qr last}})");
    ASSERT_TRUE(result);
    EXPECT_EQ(result.content.text, u"title\r\nbody\r\ntwo\r\nlast"_qs);
    EXPECT_EQ(result.content.paragraphFormat(0), paragraph(Alignment::Center, -420, 840, 120, 240, 60));
    EXPECT_EQ(result.content.paragraphFormat(1), ParagraphFormat());
    EXPECT_EQ(result.content.paragraphFormat(2), paragraph(Alignment::Justify, 0, 420, 60));
    EXPECT_EQ(result.content.paragraphFormat(3), paragraph(Alignment::Right, 0, 420, 60));
}

TEST(RtfParagraphs, AbsurdMeasuresAreBounded)
{
    const DocumentResult result = readRtf(R"({\rtf1\ansi \li2000000000\sb-5 x})");
    ASSERT_TRUE(result);
    EXPECT_EQ(result.content.paragraphFormat(0).leftIndent, 31680);
    EXPECT_EQ(result.content.paragraphFormat(0).spaceBefore, 0);
}

TEST(RtfWriter, WritesParagraphPropertiesOnlyWhereTheyChange)
{
    StyledText document = StyledText::plain(u"一\r\n二\r\n三\r\n四"_qs);
    const ParagraphFormat centred = paragraph(ParagraphFormat::Alignment::Center);
    document.setParagraphFormat(1, centred);
    document.setParagraphFormat(2, centred);
    const QByteArray rtf = writeRtf(document);
    EXPECT_EQ(rtf.count("\\pard\\qc"), 1);
    EXPECT_EQ(rtf.count("\\pard\\ql"), 1); // back to the default for the last paragraph
    EXPECT_EQ(readRtf(rtf).content.paragraphs, (QList<ParagraphRun>{{1, 2, centred}}));
}

TEST(RtfWriter, WritesTheSongTiFontTableAndCodePageFallbacks)
{
    const QByteArray rtf = writeRtf(StyledText::plain(u"中"_qs));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
    EXPECT_TRUE(rtf.contains("\\fcharset134 \\'cb\\'ce\\'cc\\'e5;"));
    EXPECT_TRUE(rtf.contains("\\uc2\\u20013 \\'d6\\'d0"));
}

} // namespace
} // namespace veltrik
