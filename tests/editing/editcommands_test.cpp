#include "comparator/form2.h"
#include "components/richeditor.h"
#include "editing/editcommands.h"
#include "support/form1fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;

const QColor kRed(255, 0, 0);

void trigger(QMenu *menu, const char *name)
{
    QAction *item = menu->findChild<QAction *>(QString::fromLatin1(name));
    ASSERT_NE(item, nullptr) << name;
    item->trigger();
}

void select(RichEditor *editor, int start, int length)
{
    editor->setSelStart(start);
    editor->setSelLength(length);
}

class EditCommandsTest : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;
    RichEditor *editor = form.RichTextBox1();
};

TEST_F(EditCommandsTest, CutThenPasteMovesText)
{
    editor->setText(u"甲乙丙丁"_qs);
    select(editor, 0, 2);
    trigger(form.yjcd(), "jq");
    EXPECT_EQ(editor->text(), u"丙丁"_qs);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"甲乙"_qs);
    editor->setSelStart(2);
    trigger(form.yjcd(), "nt");
    EXPECT_EQ(editor->text(), u"丙丁甲乙"_qs);
}

TEST_F(EditCommandsTest, PasteOverASelectionReplacesItAndCarriesNoFormatting)
{
    editor->setText(u"红字和黑字"_qs);
    editor->colorSpans({{0, 2}}, kRed);
    select(editor, 0, 2);
    trigger(form.yjcd(), "fz");
    select(editor, 3, 2);
    trigger(form.yjcd(), "nt");
    EXPECT_EQ(editor->text(), u"红字和红字"_qs);
    EXPECT_NE(editor->colorAt(3), kRed);
}

TEST_F(EditCommandsTest, DeleteSelectAllAndUndo)
{
    editor->setText(u"一二三"_qs);
    select(editor, 1, 1);
    trigger(form.yjcd(), "sc");
    EXPECT_EQ(editor->text(), u"一三"_qs);
    trigger(form.yjcd(), "cx");
    EXPECT_EQ(editor->text(), u"一二三"_qs);
    trigger(form.yjcd(), "qx");
    EXPECT_EQ(editor->selLength(), 3);
    editor->setText(QString());
    trigger(form.yjcd(), "qx");
    EXPECT_EQ(editor->selLength(), 0);
}

TEST_F(EditCommandsTest, CopyWithNothingSelectedPutsEmptyText)
{
    QGuiApplication::clipboard()->setText(u"旧内容"_qs);
    editor->setText(u"文字"_qs);
    editor->setSelStart(1);
    trigger(form.yjcd(), "fz");
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST_F(EditCommandsTest, RightClickPopsUpTheEditMenu)
{
    form.show();
    QWidget *viewport = editor->findChild<QTextEdit *>()->viewport();
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(form.yjcd()->isVisible());
    form.yjcd()->close();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(form.yjcd()->isVisible());
}

TEST_F(EditCommandsTest, SpaceBarSetsTheTypingFontInTheMainEditorOnly)
{
    form.show();
    auto *edit = editor->findChild<QTextEdit *>();
    editor->setText(QString());
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Space);
    EXPECT_TRUE(edit->currentCharFormat().fontFamilies().toStringList().contains(u"宋体"_qs));

    form.openComparator();
    auto *comparatorEdit = form.comparator()->RichTextBox1->findChild<QTextEdit *>();
    comparatorEdit->setCurrentCharFormat(QTextCharFormat());
    QTest::keyClick(comparatorEdit, Qt::Key_Space);
    EXPECT_FALSE(comparatorEdit->currentCharFormat().fontFamilies().toStringList().contains(u"宋体"_qs));
    form.comparator()->close();
}

TEST_F(EditCommandsTest, ComparatorMenuWorksOnTheArticleEditorOnly)
{
    form.RichTextBox1()->setText(u"论文内容"_qs);
    form.openComparator();
    Form2 *comparator = form.comparator();
    comparator->show();
    select(comparator->RichTextBox1, 0, 2);
    trigger(comparator->yjcd, "sc");
    EXPECT_EQ(comparator->RichTextBox1->text(), u"内容"_qs);
    QWidget *referenceViewport = comparator->RichTextBox2->findChild<QTextEdit *>()->viewport();
    QTest::mouseClick(referenceViewport, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(comparator->yjcd->isVisible());
    QWidget *articleViewport = comparator->RichTextBox1->findChild<QTextEdit *>()->viewport();
    QTest::mouseClick(articleViewport, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(comparator->yjcd->isVisible());
    comparator->yjcd->close();
    comparator->close();
}

} // namespace
} // namespace veltrik
