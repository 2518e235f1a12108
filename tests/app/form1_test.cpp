#include "analysis/analysisstate.h"
#include "appearance/appearance.h"
#include "comparator/form2.h"
#include "components/richeditor.h"
#include "components/twips.h"
#include "library/librarymenu.h"
#include "support/form1fixture.h"
#include "support/resultpages.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
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
    EXPECT_EQ(form.Label1()->text(), u"请点击“分析”开始解析论文！"_qs);
    EXPECT_EQ(form.Label1()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(form.Label2()->text(), QString());
    const QString text = form.RichTextBox1()->text();
    EXPECT_TRUE(text.startsWith(u"    欢迎使用Qelmar编写的Veltrik软件"_qs));
    EXPECT_TRUE(text.contains(u"先点击\"分析\"；再点击\"对比\"（"_qs));
    EXPECT_EQ(text.count(u"\r\n"_qs), 3);
    EXPECT_TRUE(text.endsWith(u"期待你的发现！\r\n"_qs)); // the last paragraph is empty
    EXPECT_TRUE(text.contains(u"\r\n   由于是基于百度搜索制作而成"_qs));
}

TEST_F(Form1Test, LoadBlanksAndHidesTheSearchBrowserAndRequestsTheStartPage)
{
    EXPECT_EQ(fixture.browser1()->navigations, QStringList{u"about:blank"_qs});
    EXPECT_TRUE(form.WebBrowser1()->isHidden());
    EXPECT_EQ(fixture.browser2()->navigations, QStringList{u"http://site.test/vlkt/vlkt.asp?id=3.1"_qs});
    EXPECT_EQ(form.WebBrowser2()->size(), QSize(0, 0));
}

TEST_F(Form1Test, ButtonsAppearWithTheFirstRefresh)
{
    for (const QPushButton *button : {form.Command3(), form.Command4(), form.Command5(), form.Command6()})
        EXPECT_TRUE(button->isHidden()) << button->objectName().toStdString();
    QApplication::processEvents();
    EXPECT_FALSE(form.Command3()->isHidden());
    EXPECT_TRUE(form.Command4()->isHidden());
    EXPECT_FALSE(form.Command5()->isHidden());
    EXPECT_FALSE(form.Command6()->isHidden());
    EXPECT_TRUE(form.Command1()->isEnabled());
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
    EXPECT_EQ(captions, (QStringList{u"文件"_qs, u"编辑"_qs, u"引擎选择"_qs, u"对比器"_qs, u"检测结果"_qs,
                                     u"获取更新"_qs, u"分析选项"_qs}));
    // The file menu's own items keep their order; the check commands follow them.
    EXPECT_EQ(actionNames(form.wjcd()), (QStringList{u"xinjian"_qs, u"dakai"_qs, u"baocun"_qs, u"fg1"_qs, u"tuichu"_qs,
                                                     u"fgjc"_qs, u"baocunjiance"_qs, u"dakaijiance"_qs}));
    EXPECT_EQ(actionNames(form.yjcd()),
              (QStringList{u"cx"_qs, u"fg2"_qs, u"jq"_qs, u"fz"_qs, u"nt"_qs, u"sc"_qs, u"fg3"_qs, u"qx"_qs}));
    EXPECT_EQ(actionNames(form.yinqing()), (QStringList{u"baidu"_qs, u"wenku"_qs, u"longyuan"_qs, u"zhiwang"_qs}));
    EXPECT_FALSE(form.gengxin()->isVisible());
    EXPECT_TRUE(form.duibiqi()->isVisible());
    for (const QAction *action : form.wjcd()->actions())
        EXPECT_TRUE(action->shortcut().isEmpty());
}

TEST_F(Form1Test, TheComparatorOpenedFromTheMenuHasTheLibraryMenu)
{
    form.openComparator();
    ASSERT_NE(form.comparator(), nullptr);
    const auto *library = form.comparator()->findChild<QMenu *>(u"libraryMenu"_qs);
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(form.comparator()->referenceMenu->actions().contains(library->menuAction()));
    form.comparator()->close();
}

TEST_F(Form1Test, TheNextComparatorWindowStartsWithTheLibraryLastOpened)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"班级.vlib"_qs);
    form.openComparator();
    auto *commands = form.comparator()->findChild<LibraryMenu *>();
    ASSERT_NE(commands, nullptr);
    QSignalSpy finished(commands, &LibraryMenu::jobFinished);
    fixture.desktop.nextChosenFile = path;
    commands->chooseLibraryFile();
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_EQ(commands->location(), path);

    QPointer<Form2> first = form.comparator();
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(first.isNull());
    form.openComparator();
    commands = form.comparator()->findChild<LibraryMenu *>();
    ASSERT_NE(commands, nullptr);
    EXPECT_EQ(commands->location(), path);
    EXPECT_EQ(commands->current->text(), u"当前比对库：班级.vlib"_qs);
    EXPECT_TRUE(commands->menu->findChild<QAction *>(u"checkWithLibrary"_qs)->isEnabled());
    form.comparator()->close();
}

TEST_F(Form1Test, BaiduCarriesTheEngineMarkAndTwoEnginesAreGreyed)
{
    EXPECT_TRUE(form.baidu()->isChecked());
    EXPECT_FALSE(form.wenku()->isChecked());
    EXPECT_FALSE(form.longyuan()->isChecked());
    EXPECT_FALSE(form.zhiwang()->isChecked());
    EXPECT_FALSE(form.longyuan()->isEnabled());
    EXPECT_FALSE(form.zhiwang()->isEnabled());
    EXPECT_TRUE(form.wenku()->isEnabled());
}

TEST_F(Form1Test, LayoutBeforeAnalysisKeepsTheEditorFull)
{
    resizeOuterTwips(12000, 9000);
    expectTwips(twipsOf(form.WebBrowser1()).height, 9000 - 2890, "browser height");
    expectTwips(twipsOf(form.WebBrowser1()).width, 12000 - 525, "browser width");
    expectTwips(twipsOf(form.RichTextBox1()).height, 9000 - 1890, "editor height");
    expectTwips(twipsOf(form.RichTextBox1()).width, 12000 - 525, "editor width");
    expectTwips(twipsOf(form.Label1()).top, 9000 - 1700, "label1 top");
    expectTwips(twipsOf(form.Label2()).top, 9000 - 1700, "label2 top");
    expectTwips(twipsOf(form.Command1()).top, 9000 - 1400, "command1 top");
    expectTwips(twipsOf(form.Command4()).top, 9000 - 1400, "command4 top");
    expectTwips(twipsOf(form.Command5()).top, 9000 - 1720, "command5 top");
    expectTwips(twipsOf(form.Command3()).left, 12000 - 2500, "command3 left");
    expectTwips(twipsOf(form.Command4()).left, 12000 - 2500, "command4 left");
    expectTwips(twipsOf(form.Command6()).left, 12000 - 900, "command6 left");
    expectTwips(twipsOf(form.List1()).left, 12000 - 1800, "list left");
    expectTwips(twipsOf(form.List1()).width, 1400, "list width");
    expectTwips(twipsOf(form.RichTextBox1()).left, 135, "editor stays left");
    expectTwips(twipsOf(form.Command2()).left, 2970, "command2 stays left");
}

TEST_F(Form1Test, LayoutAfterAnalysisMakesTheEditorCompact)
{
    form.RichTextBox1()->setText(u"已分析"_qs);
    form.Command1()->click();
    resizeOuterTwips(12000, 9000);
    expectTwips(twipsOf(form.RichTextBox1()).height, 2400, "editor height");
    expectTwips(twipsOf(form.RichTextBox1()).width, 12000 - 1905, "editor width");
}

TEST_F(Form1Test, TinyWindowSkipsNegativeSizesButAppliesNegativePositions)
{
    resizeOuterTwips(12000, 9000);
    const int browserHeight = form.WebBrowser1()->height();
    resizeOuterTwips(3000, 1500);
    EXPECT_EQ(form.WebBrowser1()->height(), browserHeight); // 1500 - 2890 < 0: skipped
    expectTwips(twipsOf(form.WebBrowser1()).width, 3000 - 525, "browser width still applied");
    expectTwips(twipsOf(form.Label1()).top, -200, "label top above the client area");
    expectTwips(twipsOf(form.Command5()).top, -220, "command5 top");
    expectTwips(twipsOf(form.Command1()).top, 100, "command1 top");
    expectTwips(twipsOf(form.List1()).left, 1200, "list left");
    // The editor's height H - 1890 is negative too: it keeps the height it had.
    expectTwips(twipsOf(form.RichTextBox1()).height, 9000 - 1890, "editor height kept");
}

// The families that stand in for 宋体 on the machines the set-up prepares, and the one really used.
QStringList installedSongTiStandIns()
{
    QStringList families;
    for (const QString &family : QFont::substitutes(kSongTi))
        if (QFontDatabase::hasFamily(family))
            families << family;
    return families;
}

// Every line of the caption, laid out as the label draws it, lies inside the label.
void expectCaptionInside(const QLabel &label, const QString &caption)
{
    const QRect inside = label.contentsRect();
    const QRect drawn = QFontMetrics(label.font()).boundingRect(inside, int(label.alignment()), caption);
    EXPECT_TRUE(inside.contains(drawn)) << label.font().family().toStdString() << ": text " << drawn.height()
                                        << " px high, label " << inside.height() << " px";
}

const QString kFigures = u"本句相似度：100%\r\n\r\n目前总体相似度：12.3456789012346%"_qs;

TEST_F(Form1Test, TheFiguresFitTheirLabelInTheFontReallyUsed)
{
    form.Label2()->setText(kFigures);
    expectCaptionInside(*form.Label2(), kFigures);
    EXPECT_EQ(toTwips(form.Label2()->x(), form.Label2()), 5265); // position and width as designed
    EXPECT_EQ(toTwips(form.Label2()->width(), form.Label2()), 4605);
}

struct FigureLabelCase {
    const char *name;
    QRect designTwips;
    const char16_t *caption;
};

class FigureLabels : public ::testing::TestWithParam<FigureLabelCase> {};

// Both three-line labels, with their designed geometry, in every font that can stand in for 宋体.
TEST_P(FigureLabels, FitEveryInstalledStandInForSongTi)
{
    const QStringList families = installedSongTiStandIns();
    ASSERT_FALSE(families.isEmpty()) << "no CJK font installed";
    const QRect design = GetParam().designTwips;
    const QString caption = QString::fromUtf16(GetParam().caption);
    for (const QString &family : families) {
        QLabel label;
        QFont font(family);
        font.setPointSizeF(10.5);
        label.setFont(font);
        label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setTwipsGeometry(&label, design.x(), design.y(), design.width(), design.height());
        fitHeightToLines(&label, 3);
        label.setText(caption);
        expectCaptionInside(label, caption);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Labels, FigureLabels,
    ::testing::Values(FigureLabelCase{"main_window_figures",
                                      {5265, 6345, 4605, 780},
                                      u"本句相似度：100%\r\n\r\n目前总体相似度：12.3456789012346%"},
                      FigureLabelCase{"comparator_result",
                                      {180, 6435, 6090, 645},
                                      u"你的文章一共 123456 字，重复 99 段， 999 句， 99999 字\r\n"
                                      u"        重复部分占你的文章的： 81.0005 %\r\n"
                                      u"        与参考文章的相似度为： 100 %"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Form1Test, UndoRightAfterStartKeepsTheWelcomeText)
{
    const QString welcome = form.RichTextBox1()->text();
    form.yjcd()->findChild<QAction *>(u"cx"_qs)->trigger();
    EXPECT_EQ(form.RichTextBox1()->text(), welcome);
    QTest::keyClick(form.RichTextBox1()->focusProxy(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.RichTextBox1()->text(), welcome);
}

class Form1FocusTest : public Form1Test {
protected:
    void SetUp() override
    {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QApplication::processEvents();
        form.activateWindow();
        form.RichTextBox1()->setFocus();
    }

    QString focusName() const
    {
        for (const QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
            if (!widget->objectName().isEmpty() && widget->parentWidget() == form.centralWidget())
                return widget->objectName();
        return QString();
    }

    // The controls focus visits from the editor on, one Tab at a time, until it comes back.
    QStringList tabCycle()
    {
        form.RichTextBox1()->setFocus();
        QStringList visited{focusName()};
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (focusName() == visited.first())
                break;
            visited << focusName();
        }
        return visited;
    }
};

TEST_F(Form1FocusTest, TabFollowsTheOrderOfTheControls)
{
    EXPECT_EQ(tabCycle(), (QStringList{u"RichTextBox1"_qs, u"Command1"_qs, u"Command2"_qs, u"Command3"_qs,
                                       u"Command5"_qs, u"Command6"_qs}));
    form.RichTextBox1()->setText(u"第一句话在这里。"_qs);
    QTest::mouseClick(form.Command1(), Qt::LeftButton);
    QTest::mouseClick(form.Command2(), Qt::LeftButton);
    EXPECT_EQ(tabCycle(), (QStringList{u"RichTextBox1"_qs, u"Command1"_qs, u"Command2"_qs, u"List1"_qs, u"Command3"_qs,
                                       u"Command5"_qs, u"Command6"_qs}));
}

TEST_F(Form1FocusTest, TabLeavesTheEditorWithoutTouchingTheComparedPiece)
{
    const QString article = u"这是一篇需要检查的文章，它的第一句话比较长。"_qs;
    form.RichTextBox1()->setText(article);
    QTest::mouseClick(form.Command1(), Qt::LeftButton);
    QTest::mouseClick(form.Command2(), Qt::LeftButton);
    ASSERT_GT(form.RichTextBox1()->selLength(), 0); // the compared piece stays selected
    form.RichTextBox1()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focusName(), u"Command1"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusName(), u"RichTextBox1"_qs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_NE(focusName(), u"RichTextBox1"_qs);
    EXPECT_EQ(form.RichTextBox1()->text(), article);
}

TEST_F(Form1FocusTest, CtrlTabTypesATab)
{
    form.RichTextBox1()->setText(u"甲乙"_qs);
    form.RichTextBox1()->setSelStart(1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form.RichTextBox1()->text(), u"甲\t乙"_qs);
    EXPECT_EQ(focusName(), u"RichTextBox1"_qs);
}

// The whole road through clicks only, so that every button's connection takes part.
class Form1ScenarioTest : public Form1FocusTest {
protected:
    testing::FakeBrowser &browser = *fixture.browser1();

    qsizetype searches() const { return browser.navigations.size() - 1; } // after the blank page
    void click(QPushButton *button)
    {
        ASSERT_TRUE(button->isVisible() && button->isEnabled()) << button->objectName().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

TEST_F(Form1ScenarioTest, AnalyseCompareRunAutomaticallyStopAndReport)
{
    const QString site = testing::resultItem(u"论文范文网"_qs, u"http://fanwen.test/1"_qs);
    form.RichTextBox1()->setText(u"我家的后面有一个很大的园，相传叫作百草园。现在是早已并屋子一起卖给朱文公的子孙了，"
                                 u"连那最末次的相见也已经隔了七八年，其中似乎确凿只有一些野草；但那时却是我的乐园。"
                                 u"不必说碧绿的菜畦，光滑的石井栏，高大的皂荚树，紫红的桑椹。"_qs);

    click(form.Command1());
    EXPECT_EQ(form.List1()->count(), 3);
    EXPECT_TRUE(form.Label1()->text().startsWith(u"本文共 "_qs));

    click(form.Command2());
    ASSERT_EQ(searches(), 1);
    browser.arrive(testing::resultPage(3, site));
    EXPECT_TRUE(form.Label2()->text().startsWith(u"本句相似度："_qs));

    click(form.Command3());
    EXPECT_TRUE(form.Command4()->isVisible());
    EXPECT_FALSE(form.Command1()->isEnabled());
    QApplication::processEvents();
    EXPECT_TRUE(form.Command4()->hasFocus()); // the key that started the run stops it
    ASSERT_EQ(searches(), 2);
    browser.arrive(testing::resultPage(3, site));
    // The pacing sends the next piece on its own, within its second.
    EXPECT_TRUE(QTest::qWaitFor([&] { return searches() == 3; }, 3000));
    browser.arrive(testing::resultPage(3, site));

    QTest::keyClick(form.Command4(), Qt::Key_Space);
    EXPECT_TRUE(form.Command3()->isVisible());
    EXPECT_FALSE(form.state().autoMode);
    QApplication::processEvents();
    EXPECT_TRUE(form.Command3()->hasFocus());
    QTest::qWait(1200);
    EXPECT_EQ(searches(), 3); // stopped: nothing more is sent

    click(form.Command5());
    EXPECT_TRUE(browser.writtenDocument().contains(u"论文范文网"_qs));
    EXPECT_TRUE(browser.writtenDocument().contains(u"http://fanwen.test/1"_qs));
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
