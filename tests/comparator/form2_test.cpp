#include "comparator/form2.h"
#include "components/richeditor.h"
#include "components/twips.h"
#include "engine/enginemenu.h"
#include "support/form1fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

int twipsOf(int pixels, const QWidget *widget)
{
    return qRound(pixelsToTwips(pixels, logicalDpi(widget)));
}

class Form2Test : public ::testing::Test {
protected:
    CompareTotals totals;
    testing::FakeDesktop desktop;
    Form2 form{totals, u"主窗口的文章"_qs, desktop};
};

TEST_F(Form2Test, LoadsWithTheMainArticleAndItsDesignState)
{
    EXPECT_EQ(form.windowTitle(), u"Veltrik-对比器"_qs);
    EXPECT_EQ(form.RichTextBox1->text(), u"主窗口的文章"_qs);
    EXPECT_EQ(form.RichTextBox2->text(), u"对比的文字"_qs);
    EXPECT_FALSE(form.Check1->isChecked());
    EXPECT_EQ(form.Check1->text(), u"多次标注"_qs);
    EXPECT_EQ(form.Command1->text(), u"对比并标注"_qs);
    EXPECT_TRUE(form.Label1->text().isEmpty());
}

TEST_F(Form2Test, ContextMenuCarriesSaveAndTheEditCommandsWithTheirKeys)
{
    QStringList names;
    QStringList keys;
    for (const QAction *action : form.yjcd->actions()) {
        names << action->objectName();
        keys << action->shortcut().toString();
    }
    EXPECT_EQ(names, (QStringList{u"baocun"_qs, u"cx"_qs, u"jg1"_qs, u"jq"_qs, u"fz"_qs, u"nt"_qs, u"sc"_qs, u"jg2"_qs,
                                  u"qx"_qs}));
    EXPECT_EQ(keys, (QStringList{u"Ctrl+S"_qs, u"Ctrl+Z"_qs, QString(), u"Ctrl+X"_qs, u"Ctrl+C"_qs, u"Ctrl+V"_qs,
                                 u"Del"_qs, QString(), u"Ctrl+A"_qs}));
    EXPECT_EQ(form.yjcd->title(), u"菜单"_qs);
}

TEST_F(Form2Test, LayoutFor9540By7870)
{
    const double dpi = logicalDpi(&form);
    form.resize(twipsToPixels(9540, dpi), twipsToPixels(7870, dpi));
    form.Form_Resize();
    auto near = [](int actual, int expected, const char *what) { EXPECT_NEAR(actual, expected, 16) << what; };
    near(twipsOf(form.RichTextBox1->width(), &form), 4470, "editor 1 width");
    near(twipsOf(form.RichTextBox1->height(), &form), 6270, "editor 1 height");
    near(twipsOf(form.RichTextBox2->width(), &form), 4470, "editor 2 width");
    near(twipsOf(form.RichTextBox2->height(), &form), 6270, "editor 2 height");
    near(twipsOf(form.RichTextBox2->x(), &form), 4770, "editor 2 left");
    near(twipsOf(form.Label1->y(), &form), 6470, "label top");
    near(twipsOf(form.Command1->x(), &form), 6240, "button left");
    near(twipsOf(form.Command1->y(), &form), 6770, "button top");
    near(twipsOf(form.Check1->x(), &form), 7040, "check box left");
    near(twipsOf(form.Check1->y(), &form), 6520, "check box top");
    near(twipsOf(form.RichTextBox1->x(), &form), 90, "editor 1 stays");
}

TEST_F(Form2Test, MinimisedSizeSkipsNegativeSizes)
{
    const double dpi = logicalDpi(&form);
    form.resize(twipsToPixels(9540, dpi), twipsToPixels(7870, dpi));
    form.Form_Resize();
    const QSize editor = form.RichTextBox1->size();
    form.resize(twipsToPixels(450, dpi), twipsToPixels(900, dpi));
    form.Form_Resize();
    EXPECT_EQ(form.RichTextBox1->size(), editor); // H - 1600 and W / 2 - 300 are negative
}

TEST_F(Form2Test, UncheckedRunsResetTheMarksCheckedRunsKeepThem)
{
    const QString article = u"我们去公园玩。今天天气很好，明天下雨了。"_qs;
    form.RichTextBox1->setText(article);
    form.RichTextBox2->setText(u"我们去公园玩。"_qs);
    form.Command1_Click();
    EXPECT_EQ(form.RichTextBox1->colorAt(0), kRed);
    EXPECT_EQ(form.Label1->text().section(u"\r\n"_qs, 0, 0), u"你的文章一共 20 字，重复 0 段， 1 句， 7 字"_qs);

    form.RichTextBox2->setText(u"今天天气很好，"_qs);
    form.Command1_Click();
    EXPECT_EQ(form.RichTextBox1->colorAt(0), kBlack); // the first run's mark is gone
    EXPECT_EQ(form.RichTextBox1->colorAt(7), kRed);
    EXPECT_EQ(form.Label1->text().section(u"\r\n"_qs, 0, 0), u"你的文章一共 20 字，重复 0 段， 1 句， 7 字"_qs);
    EXPECT_EQ(form.RichTextBox1->selStart(), 7);
    EXPECT_EQ(form.RichTextBox1->selLength(), 7);

    form.Check1->setChecked(true);
    form.RichTextBox2->setText(u"明天下雨了。"_qs);
    form.Command1_Click();
    EXPECT_EQ(form.RichTextBox1->colorAt(7), kRed); // kept
    EXPECT_EQ(form.RichTextBox1->colorAt(14), kRed);
    EXPECT_EQ(form.Label1->text(), u"你的文章一共 20 字，重复 0 段， 3 句， 20 字\r\n"
                                   u"        重复部分占你的文章的： 100 %\r\n"
                                   u"        与参考文章的相似度为： 100 %"_qs);
}

TEST_F(Form2Test, NothingFoundLeavesTheWholeTextSelected)
{
    form.RichTextBox1->setText(u"完全不同的内容"_qs);
    form.RichTextBox2->setText(u"毫无关系的句子。"_qs);
    form.Command1_Click();
    EXPECT_EQ(form.RichTextBox1->selLength(), 7);
    EXPECT_TRUE(form.Label1->text().startsWith(u"你的文章一共 7 字，重复 0 段， 0 句， 0 字"_qs));
}

TEST_F(Form2Test, TheResultFitsItsLabelInTheFontReallyUsed)
{
    const QString result = compareResultText(123456, 654321, MatchResult{}, totals, false);
    form.Label1->setText(result);
    const QRect inside = form.Label1->contentsRect();
    const QFontMetrics metrics(form.Label1->font());
    EXPECT_TRUE(inside.contains(metrics.boundingRect(inside, int(form.Label1->alignment()), result)));
    EXPECT_EQ(twipsOf(form.Label1->width(), &form), 6090);
}

TEST_F(Form2Test, TabMovesFocusOutOfBothEditorsAndCtrlTabTypesATab)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    form.RichTextBox1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.RichTextBox2->focusProxy());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.Command1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.Check1);
    EXPECT_EQ(form.RichTextBox1->text(), u"主窗口的文章"_qs);
    EXPECT_EQ(form.RichTextBox2->text(), u"对比的文字"_qs);
    form.RichTextBox2->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(form.RichTextBox2->text().contains(u'\t'));
}

class ComparatorFromMainWindow : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &main = *fixture.form;
};

TEST_F(ComparatorFromMainWindow, OpeningTwiceGivesOneWindowWithItsContents)
{
    main.RichTextBox1()->setText(u"论文正文"_qs);
    main.engineMenu().duibiqi_Click();
    Form2 *first = main.comparator();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->RichTextBox1->text(), u"论文正文"_qs);
    EXPECT_EQ(first->parentWidget(), nullptr);
    first->RichTextBox2->setText(u"参考文章"_qs);
    main.RichTextBox1()->setText(u"改过的正文"_qs);
    main.Command6()->click();
    EXPECT_EQ(main.comparator(), first);
    EXPECT_EQ(first->RichTextBox1->text(), u"论文正文"_qs);
    EXPECT_EQ(first->RichTextBox2->text(), u"参考文章"_qs);
    first->close();
}

TEST_F(ComparatorFromMainWindow, ClosingAndReopeningKeepsTheRunningTotals)
{
    main.RichTextBox1()->setText(u"我们去公园玩。"_qs);
    main.openComparator();
    main.comparator()->RichTextBox2->setText(u"我们去公园玩。"_qs);
    main.comparator()->Command1_Click();
    main.comparator()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main.comparator(), nullptr);

    main.openComparator();
    Form2 *reopened = main.comparator();
    EXPECT_EQ(reopened->RichTextBox2->text(), u"对比的文字"_qs);
    EXPECT_FALSE(reopened->Check1->isChecked());
    reopened->RichTextBox2->setText(u"我们去公园玩。"_qs);
    reopened->Check1->setChecked(true);
    reopened->Command1_Click();
    EXPECT_TRUE(reopened->Label1->text().startsWith(u"你的文章一共 7 字，重复 0 段， 2 句， 14 字"_qs));
    reopened->close();
}

// Chinese comes in through the input method, which hands the editor whole committed words.
void typeWithInputMethod(QWidget *editor, const QString &text)
{
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(editor, &commit);
}

// Opened from the menu bar, filled and compared with the keyboard and the mouse only.
TEST_F(ComparatorFromMainWindow, OpenPasteCompareAndMarkAgainThroughClicks)
{
    main.RichTextBox1()->setText(u"我们去公园玩。今天天气很好，明天下雨了。"_qs);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QPoint menuItem = main.menuBar()->actionGeometry(main.duibiqi()).center();
    QTest::mouseClick(main.menuBar(), Qt::LeftButton, {}, menuItem);
    Form2 *comparator = main.comparator();
    ASSERT_NE(comparator, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(comparator));
    QWidget *reference = comparator->RichTextBox2->focusProxy();
    QTest::mouseClick(reference->findChild<QWidget *>(u"qt_scrollarea_viewport"_qs), Qt::LeftButton);
    QTest::keyClick(reference, Qt::Key_A, Qt::ControlModifier);
    typeWithInputMethod(reference, u"我们去公园玩。"_qs);
    EXPECT_EQ(comparator->RichTextBox2->text(), u"我们去公园玩。"_qs);

    QTest::mouseClick(comparator->Command1, Qt::LeftButton);
    EXPECT_EQ(comparator->RichTextBox1->colorAt(0), kRed);
    EXPECT_EQ(comparator->RichTextBox1->colorAt(7), kBlack);
    EXPECT_TRUE(comparator->Label1->text().endsWith(u"与参考文章的相似度为： 100 %"_qs));

    QTest::mouseClick(comparator->Check1, Qt::LeftButton);
    EXPECT_TRUE(comparator->Check1->isChecked());
    QTest::keyClick(reference, Qt::Key_A, Qt::ControlModifier);
    typeWithInputMethod(reference, u"今天天气很好，"_qs);
    QTest::mouseClick(comparator->Command1, Qt::LeftButton);
    EXPECT_EQ(comparator->RichTextBox1->colorAt(0), kRed); // kept by 多次标注
    EXPECT_EQ(comparator->RichTextBox1->colorAt(7), kRed);
    EXPECT_TRUE(comparator->Label1->text().startsWith(u"你的文章一共 20 字，重复 0 段， 2 句， 14 字"_qs));
    comparator->close();
}

TEST_F(ComparatorFromMainWindow, ClosingTheMainWindowClosesTheComparator)
{
    main.show();
    main.openComparator();
    QPointer<Form2> comparator = main.comparator();
    main.close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(comparator.isNull());
}

} // namespace
} // namespace veltrik
