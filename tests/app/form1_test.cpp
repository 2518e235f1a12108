#include "components/richeditor.h"
#include "components/twips.h"
#include "support/form1fixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;

// A control's geometry in whole twips, as the layout set it (pixels converted back).
struct TwipsRect {
    int left, top, width, height;
};

int toTwips(int pixels, const QWidget *widget)
{
    return qRound(pixelsToTwips(pixels, logicalDpi(widget)));
}

TwipsRect twipsOf(const QWidget *widget)
{
    return {toTwips(widget->x(), widget), toTwips(widget->y(), widget), toTwips(widget->width(), widget),
            toTwips(widget->height(), widget)};
}

// Pixels are whole, so a twips value comes back within half a pixel.
void expectTwips(int actual, double expected, const char *what)
{
    EXPECT_NEAR(actual, expected, 8) << what;
}

QStringList actionNames(const QWidget *menu)
{
    QStringList names;
    for (const QAction *action : menu->actions())
        names << action->objectName();
    return names;
}

class Form1Test : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;

    void resizeOuterTwips(double width, double height)
    {
        const double dpi = logicalDpi(&form);
        form.resize(twipsToPixels(width, dpi), twipsToPixels(height, dpi));
        form.Form_Resize();
    }
};

TEST_F(Form1Test, LoadsWithCaptionStatusLineAndWelcomeText)
{
    EXPECT_EQ(form.windowTitle(), u"Veltrik V1.2.1"_qs);
    EXPECT_EQ(form.Label1->text(), u"请点击“分析”开始解析论文！"_qs);
    EXPECT_EQ(form.Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(form.Label2->text(), QString());
    const QString text = form.RichTextBox1->text();
    EXPECT_TRUE(text.startsWith(u"    欢迎使用Qelmar编写的Veltrik软件"_qs));
    EXPECT_TRUE(text.contains(u"先点击\"分析\"；再点击\"对比\"（"_qs));
    EXPECT_EQ(text.count(u"\r\n"_qs), 3);
    EXPECT_TRUE(text.endsWith(u"期待你的发现！\r\n"_qs)); // the last paragraph is empty
    EXPECT_TRUE(text.contains(u"\r\n   由于是基于百度搜索制作而成"_qs));
}

TEST_F(Form1Test, LoadBlanksAndHidesTheSearchBrowserAndRequestsTheStartPage)
{
    EXPECT_EQ(fixture.browser1()->navigations, QStringList{u"about:blank"_qs});
    EXPECT_TRUE(form.WebBrowser1->isHidden());
    EXPECT_EQ(fixture.browser2()->navigations, QStringList{u"http://site.test/vlkt/vlkt.asp?id=3.1"_qs});
    EXPECT_EQ(form.WebBrowser2->size(), QSize(0, 0));
    EXPECT_EQ(form.state().listSync, 1);
}

TEST_F(Form1Test, ButtonsAppearWithTheFirstRefresh)
{
    for (const QPushButton *button : {form.Command3, form.Command4, form.Command5, form.Command6})
        EXPECT_TRUE(button->isHidden()) << button->objectName().toStdString();
    QApplication::processEvents();
    EXPECT_FALSE(form.Command3->isHidden());
    EXPECT_TRUE(form.Command4->isHidden());
    EXPECT_FALSE(form.Command5->isHidden());
    EXPECT_FALSE(form.Command6->isHidden());
    EXPECT_TRUE(form.Command1->isEnabled());
}

TEST_F(Form1Test, ControlsCarryTheirConventionalNames)
{
    for (const char *name : {"WebBrowser1", "WebBrowser2", "RichTextBox1", "Command1", "Command2", "Command3",
                             "Command4", "Command5", "Command6", "Label1", "Label2", "List1"})
        EXPECT_NE(form.findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(Form1Test, MenuBarHasTheMenusInOrder)
{
    QStringList captions;
    for (const QAction *action : form.menuBar()->actions())
        captions << action->text();
    EXPECT_EQ(captions, (QStringList{u"文件"_qs, u"编辑"_qs, u"引擎选择"_qs, u"对比器"_qs, u"获取更新"_qs}));
    EXPECT_EQ(actionNames(form.wjcd), (QStringList{u"xinjian"_qs, u"dakai"_qs, u"baocun"_qs, u"fg1"_qs, u"tuichu"_qs}));
    EXPECT_EQ(actionNames(form.yjcd), (QStringList{u"cx"_qs, u"fg2"_qs, u"jq"_qs, u"fz"_qs, u"nt"_qs, u"sc"_qs,
                                                   u"fg3"_qs, u"qx"_qs}));
    EXPECT_EQ(actionNames(form.yinqing), (QStringList{u"baidu"_qs, u"wenku"_qs, u"longyuan"_qs, u"zhiwang"_qs}));
    EXPECT_FALSE(form.gengxin->isVisible());
    EXPECT_TRUE(form.duibiqi->isVisible());
    for (const QAction *action : form.wjcd->actions())
        EXPECT_TRUE(action->shortcut().isEmpty());
}

TEST_F(Form1Test, BaiduCarriesTheEngineMarkAndTwoEnginesAreGreyed)
{
    EXPECT_TRUE(form.baidu->isChecked());
    EXPECT_FALSE(form.wenku->isChecked());
    EXPECT_FALSE(form.longyuan->isChecked());
    EXPECT_FALSE(form.zhiwang->isChecked());
    EXPECT_FALSE(form.longyuan->isEnabled());
    EXPECT_FALSE(form.zhiwang->isEnabled());
    EXPECT_TRUE(form.wenku->isEnabled());
}

TEST_F(Form1Test, LayoutBeforeAnalysisKeepsTheEditorFull)
{
    resizeOuterTwips(12000, 9000);
    expectTwips(twipsOf(form.WebBrowser1).height, 9000 - 2890, "browser height");
    expectTwips(twipsOf(form.WebBrowser1).width, 12000 - 525, "browser width");
    expectTwips(twipsOf(form.RichTextBox1).height, 9000 - 1890, "editor height");
    expectTwips(twipsOf(form.RichTextBox1).width, 12000 - 525, "editor width");
    expectTwips(twipsOf(form.Label1).top, 9000 - 1700, "label1 top");
    expectTwips(twipsOf(form.Label2).top, 9000 - 1700, "label2 top");
    expectTwips(twipsOf(form.Command1).top, 9000 - 1400, "command1 top");
    expectTwips(twipsOf(form.Command4).top, 9000 - 1400, "command4 top");
    expectTwips(twipsOf(form.Command5).top, 9000 - 1720, "command5 top");
    expectTwips(twipsOf(form.Command3).left, 12000 - 2500, "command3 left");
    expectTwips(twipsOf(form.Command4).left, 12000 - 2500, "command4 left");
    expectTwips(twipsOf(form.Command6).left, 12000 - 900, "command6 left");
    expectTwips(twipsOf(form.List1).left, 12000 - 1800, "list left");
    expectTwips(twipsOf(form.List1).width, 1400, "list width");
    expectTwips(twipsOf(form.RichTextBox1).left, 135, "editor stays left");
    expectTwips(twipsOf(form.Command2).left, 2970, "command2 stays left");
}

TEST_F(Form1Test, LayoutAfterAnalysisMakesTheEditorCompact)
{
    form.state().workText = u"已分析"_qs;
    resizeOuterTwips(12000, 9000);
    expectTwips(twipsOf(form.RichTextBox1).height, 2400, "editor height");
    expectTwips(twipsOf(form.RichTextBox1).width, 12000 - 1905, "editor width");
}

TEST_F(Form1Test, TinyWindowSkipsNegativeSizesButAppliesNegativePositions)
{
    resizeOuterTwips(12000, 9000);
    const int browserHeight = form.WebBrowser1->height();
    resizeOuterTwips(3000, 1500);
    EXPECT_EQ(form.WebBrowser1->height(), browserHeight); // 1500 - 2890 < 0: skipped
    expectTwips(twipsOf(form.WebBrowser1).width, 3000 - 525, "browser width still applied");
    expectTwips(twipsOf(form.Label1).top, -200, "label top above the client area");
    expectTwips(twipsOf(form.Command5).top, -220, "command5 top");
    expectTwips(twipsOf(form.Command1).top, 100, "command1 top");
    expectTwips(twipsOf(form.List1).left, 1200, "list left");
    // The editor's height H - 1890 is negative too: it keeps the height it had.
    expectTwips(twipsOf(form.RichTextBox1).height, 9000 - 1890, "editor height kept");
}

class Form1ExitTest : public Form1Test {
protected:
    void SetUp() override { form.show(); }
};

TEST_F(Form1ExitTest, YesOpensTheProductPageAndEnds)
{
    fixture.desktop.answerYes = true;
    form.tuichu_Click();
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"question|Veltrik|谢谢使用！访问我的网站吗？"_qs});
    EXPECT_EQ(fixture.desktop.openedAddresses, QStringList{u"http://site.test/ziyuan/post/2014/04/04/11.aspx"_qs});
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Form1ExitTest, NoEndsWithoutOpeningAnything)
{
    fixture.desktop.answerYes = false;
    form.tuichu_Click();
    EXPECT_TRUE(fixture.desktop.openedAddresses.isEmpty());
    EXPECT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Form1ExitTest, FailingShellShowsTheErrorAndStillEnds)
{
    fixture.desktop.answerYes = true;
    fixture.desktop.shellWorks = false;
    form.tuichu_Click();
    ASSERT_EQ(fixture.desktop.boxes.size(), 2);
    EXPECT_EQ(fixture.desktop.boxes[1], u"critical|错误：|调用浏览器错误！"_qs);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Form1ExitTest, ClosingTheMainWindowClosesEveryOtherWindow)
{
    QWidget other;
    other.show();
    form.close();
    EXPECT_FALSE(other.isVisible());
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty()); // no question on close
}

} // namespace
} // namespace veltrik
