#include "components/richeditor.h"
#include "engine/enginemenu.h"
#include "support/form1fixture.h"
#include "support/resultpages.h"

#include <QAction>
#include <QPushButton>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;

class EngineMenuTest : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;

    QString nextRequest()
    {
        form.RichTextBox1()->setText(u"研究方法"_qs);
        form.Command1()->click();
        form.Command2()->click();
        return fixture.browser1()->navigations.last();
    }
};

TEST_F(EngineMenuTest, TheMarkMovesAndTheNextQueryGoesToThatEngine)
{
    form.wenku()->trigger();
    EXPECT_TRUE(form.wenku()->isChecked());
    EXPECT_FALSE(form.baidu()->isChecked());
    EXPECT_TRUE(nextRequest().startsWith(u"http://wenku.test/search?word="_qs));

    form.baidu()->trigger();
    EXPECT_TRUE(form.baidu()->isChecked());
    EXPECT_FALSE(form.wenku()->isChecked());
    EXPECT_TRUE(nextRequest().startsWith(u"http://search.test/s?wd="_qs));
}

TEST_F(EngineMenuTest, ChoosingTheMarkedEngineAgainKeepsIt)
{
    form.baidu()->trigger();
    EXPECT_TRUE(form.baidu()->isChecked());
    EXPECT_FALSE(form.wenku()->isChecked() || form.longyuan()->isChecked() || form.zhiwang()->isChecked());
}

TEST_F(EngineMenuTest, JournalEnginesSendThePreviousAddressAgain)
{
    const QString first = nextRequest();
    form.engineMenu().zhiwang_Click(); // not reachable from the menu; the handler still behaves
    EXPECT_EQ(nextRequest(), first);
}

TEST_F(EngineMenuTest, GetUpdatesOpensTheProductPageAndReportsAFailingShell)
{
    form.engineMenu().gengxin_Click();
    EXPECT_EQ(fixture.desktop.openedAddresses, QStringList{u"http://site.test/ziyuan/post/2014/04/04/11.aspx"_qs});
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());
    fixture.desktop.shellWorks = false;
    form.engineMenu().gengxin_Click();
    EXPECT_EQ(fixture.desktop.boxes, QStringList{u"critical|错误：|调用浏览器错误！"_qs});
}

TEST_F(EngineMenuTest, ReportIsWrittenIntoTheBrowserView)
{
    form.RichTextBox1()->setText(u"甲"_qs.repeated(76));
    form.Command1()->click();
    const QString items = testing::resultItem(u"<b>论文</b>网"_qs, u"http://a.test/"_qs) +
                          testing::resultItem(u"<b>论文</b>网"_qs, u"http://a.test/2"_qs);
    form.Command2()->click();
    fixture.browser1()->arrive(testing::resultPage(0, items));
    form.Command5()->click();
    // The exchange order puts the second of the two slots first, so its address is the one shown.
    EXPECT_EQ(fixture.browser1()->writtenDocument(),
              u"<br><br><br><br><br><table><tr><th>标题</th><th>出现次数</th></tr>"
              u"<tr><td><a href=\"http://a.test/2\" target=_blank>&lt;b&gt;论文&lt;/b&gt;网</a>"
              u"</td><td width=100 align=center>2</td></tr></table>"_qs);
    EXPECT_EQ(form.state().siteTitles[1], u"<b>论文</b>网"_qs); // the records stay as the scoring left them
}

TEST_F(EngineMenuTest, ReportBeforeAnyAnalysisIsAnEmptyTable)
{
    form.Command5()->setEnabled(true);
    form.Command5()->click();
    EXPECT_EQ(fixture.browser1()->writtenDocument(),
              u"<br><br><br><br><br><table><tr><th>标题</th><th>出现次数</th></tr></table>"_qs);
}

} // namespace
} // namespace veltrik
