#include "components/richeditor.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

class RichEditorTest : public ::testing::Test {
protected:
    RichEditor editor;
};

TEST_F(RichEditorTest, TextJoinsParagraphsWithCrLf)
{
    editor.setText(u"第一段\r\n\r\n第三段\n第四段\r末"_qs);
    EXPECT_EQ(editor.text(), u"第一段\r\n\r\n第三段\r\n第四段\r\n末"_qs);
}

TEST_F(RichEditorTest, EmptyEditorHasEmptyText)
{
    editor.setText(QString());
    EXPECT_EQ(editor.text(), QString());
    editor.setSelStart(0);
    editor.setSelLength(5);
    EXPECT_EQ(editor.selLength(), 0);
}

struct SelectionCase {
    const char *name;
    int start;
    int length;
    const char16_t *selected;
};

class Selections : public ::testing::TestWithParam<SelectionCase> {
protected:
    RichEditor editor;
};

// "ab" CR LF "" CR LF "c😀d" CR LF "ef": offsets 0 1 | 2 3 | 4 5 | 6 7 8 9 10 | 11 12 | 13 14
TEST_P(Selections, OffsetsCountCrLfAsTwoAndSurrogatesAsTwo)
{
    editor.setText(u"ab\r\n\r\nc😀d\r\nef"_qs);
    editor.setSelStart(GetParam().start);
    editor.setSelLength(GetParam().length);
    EXPECT_EQ(editor.selText(), QString::fromUtf16(GetParam().selected));
    EXPECT_EQ(editor.selStart(), GetParam().start);
    EXPECT_EQ(editor.selLength(), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Spans, Selections,
                         ::testing::Values(SelectionCase{"first_paragraph", 0, 2, u"ab"},
                                           SelectionCase{"across_break", 1, 5, u"b\r\n\r\n"},
                                           SelectionCase{"into_third_paragraph", 1, 6, u"b\r\n\r\nc"},
                                           SelectionCase{"surrogate_pair", 7, 2, u"😀"},
                                           SelectionCase{"after_surrogate_pair", 9, 1, u"d"},
                                           SelectionCase{"last_paragraph", 12, 2, u"ef"},
                                           SelectionCase{"whole_text", 0, 14, u"ab\r\n\r\nc😀d\r\nef"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(RichEditorTest, MappingRoundTripsAtEveryOffsetOutsideLineBreaks)
{
    editor.setText(u"一二\r\n\r\n😀三\r\n"_qs);
    const QString text = editor.text();
    for (int offset = 0; offset <= text.size(); ++offset) {
        if (offset > 0 && text[offset - 1] == u'\r')
            continue; // between CR and LF there is no document position
        EXPECT_EQ(editor.textOffset(editor.documentPosition(offset)), offset) << "offset " << offset;
    }
}

TEST_F(RichEditorTest, ColouringASpanAcrossParagraphsColoursExactlyThatSpan)
{
    editor.setText(u"甲乙丙\r\n丁戊己"_qs);
    editor.setSelStart(2);
    editor.setSelLength(4); // 丙 CR LF 丁
    editor.setSelColor(kRed);
    EXPECT_EQ(editor.colorAt(1), kBlack);
    EXPECT_EQ(editor.colorAt(2), kRed);
    EXPECT_EQ(editor.colorAt(5), kRed);
    EXPECT_EQ(editor.colorAt(6), kBlack);
}

TEST_F(RichEditorTest, SelTextReplacesSelectionAndLeavesCaretAfterIt)
{
    editor.setText(u"abc\r\ndef"_qs);
    editor.setSelStart(2);
    editor.setSelLength(4);
    editor.setSelText(u"X\r\nY"_qs);
    EXPECT_EQ(editor.text(), u"abX\r\nYef"_qs);
    EXPECT_EQ(editor.selStart(), 6);
    EXPECT_EQ(editor.selLength(), 0);
}

TEST_F(RichEditorTest, UndoRevertsTheLastEdit)
{
    editor.setText(u"原文"_qs);
    editor.setSelStart(2);
    editor.setSelText(u"追加"_qs);
    ASSERT_EQ(editor.text(), u"原文追加"_qs);
    editor.undo();
    EXPECT_EQ(editor.text(), u"原文"_qs);
    editor.undo(); // nothing left to undo
    EXPECT_EQ(editor.text(), u"原文"_qs);
}

TEST_F(RichEditorTest, FontNameAppliesToTheSelection)
{
    editor.setText(u"字体"_qs);
    editor.setSelStart(0);
    editor.setSelLength(2);
    editor.setSelFontName(u"宋体"_qs);
    editor.setSelStart(1);
    editor.setSelLength(1);
    auto *document = editor.findChild<QTextDocument *>();
    ASSERT_NE(document, nullptr);
    QTextCursor cursor(document);
    cursor.setPosition(1);
    EXPECT_TRUE(cursor.charFormat().fontFamilies().toStringList().contains(u"宋体"_qs));
}

TEST_F(RichEditorTest, OffsetsBeyondTheEndAreClamped)
{
    editor.setText(u"ab\r\ncd"_qs);
    editor.setSelStart(100);
    EXPECT_EQ(editor.selStart(), 6);
    editor.setSelStart(4);
    editor.setSelLength(100);
    EXPECT_EQ(editor.selText(), u"cd"_qs);
}

// Opening a formatted RTF and saving it again must not flatten its paragraphs.
TEST_F(RichEditorTest, ParagraphFormatsAreShownAndGivenBack)
{
    StyledText content = StyledText::plain(u"标题\r\n正文第一段\r\n正文第二段\r\n落款"_qs);
    ParagraphFormat title;
    title.alignment = ParagraphFormat::Alignment::Center;
    title.spaceAfter = 240;
    ParagraphFormat body;
    body.alignment = ParagraphFormat::Alignment::Justify;
    body.firstLineIndent = 480;
    body.leftIndent = 120;
    body.rightIndent = 60;
    body.spaceBefore = 30;
    ParagraphFormat signature;
    signature.alignment = ParagraphFormat::Alignment::Right;
    content.setParagraphFormat(0, title);
    content.setParagraphFormat(1, body);
    content.setParagraphFormat(2, body);
    content.setParagraphFormat(3, signature);
    editor.setStyledContent(content);

    auto *document = editor.findChild<QTextDocument *>();
    ASSERT_NE(document, nullptr);
    const auto blockFormat = [document](int block) { return document->findBlockByNumber(block).blockFormat(); };
    EXPECT_EQ(blockFormat(0).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(blockFormat(1).textIndent(), 32); // 480 twips at 96 dpi
    EXPECT_EQ(blockFormat(3).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(editor.styledContent().paragraphs, content.paragraphs);
}

TEST_F(RichEditorTest, PlainTextHasDefaultParagraphs)
{
    editor.setText(u"一\r\n二"_qs);
    EXPECT_TRUE(editor.styledContent().paragraphs.isEmpty());
}

} // namespace
} // namespace veltrik
