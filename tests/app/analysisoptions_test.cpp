#include "app/analysisoptionsdialog.h"
#include "components/richeditor.h"
#include "support/form1fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace veltrik {
namespace {

using testing::Form1Fixture;

const QString kThesis = u"第一章 绪论\r\n近年来，在线教育逐渐成为高等教育的重要组成部分。\r\n"
                        u"参考文献\r\n[1] 王建国. 在线教育发展研究[J]. 教育研究, 2019, 40(3): 45-52."_qs;

class AnalysisOptionsTest : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;

    void SetUp() override
    {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    // Clicks "分析选项" in the menu bar and lets `act` work the dialog it opens.
    void chooseOptions(const std::function<void(AnalysisOptionsDialog &)> &act)
    {
        bool acted = false;
        QTimer::singleShot(0, &form, [&] {
            auto *dialog = qobject_cast<AnalysisOptionsDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            acted = true;
            act(*dialog);
        });
        QMenuBar *bar = form.menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(form.fxxx()).center());
        EXPECT_TRUE(acted);
    }

    void analyse()
    {
        form.RichTextBox1()->setText(kThesis);
        QTest::mouseClick(form.Command1(), Qt::LeftButton);
    }
};

TEST_F(AnalysisOptionsTest, EveryExclusionIsOffAtFirstAndTheAnalysisIsThePlainOne)
{
    EXPECT_EQ(form.fxxx()->text(), u"分析选项"_qs);
    chooseOptions([](AnalysisOptionsDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), u"分析选项"_qs);
        for (QCheckBox *box : {dialog.referencesBox, dialog.quotesBox, dialog.tableOfContentsBox})
            EXPECT_FALSE(box->isChecked()) << box->text().toStdString();
        QTest::mouseClick(dialog.okButton, Qt::LeftButton);
    });
    analyse();
    EXPECT_EQ(form.Label1()->text(), u"本文共 48 字，本次分析共分析出 2 句，请多次点击进行对比！"_qs);
    EXPECT_EQ(form.List1()->count(), 2);
    EXPECT_TRUE(form.Label1()->toolTip().isEmpty());
}

TEST_F(AnalysisOptionsTest, CheckedReferencesAreLeftOutAndTheSummarySaysHowMuch)
{
    chooseOptions([](AnalysisOptionsDialog &dialog) {
        QTest::mouseClick(dialog.referencesBox, Qt::LeftButton);
        QTest::mouseClick(dialog.okButton, Qt::LeftButton);
    });
    EXPECT_EQ(form.analysisOptions(), (AnalysisOptions{true, false, false}));
    analyse();
    EXPECT_EQ(form.Label1()->text(), u"本文共 29 字，本次分析共分析出 1 句，请多次点击进行对比！"
                                     u"已排除参考文献 45 字，共 45 字不参与对比。"_qs);
    EXPECT_EQ(form.Label1()->toolTip(), u"已排除参考文献 45 字，共 45 字不参与对比。"_qs);
    ASSERT_EQ(form.List1()->count(), 1);
    EXPECT_EQ(form.List1()->item(0)->text(), u"1-第一章绪论近年来，在线教育逐渐成为高等教育的重要组成部分。"_qs);

    // The dialog opens again with the choice made.
    chooseOptions([](AnalysisOptionsDialog &dialog) {
        EXPECT_TRUE(dialog.referencesBox->isChecked());
        EXPECT_FALSE(dialog.quotesBox->isChecked());
        QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
    });
}

TEST_F(AnalysisOptionsTest, CancellingKeepsTheOptions)
{
    form.setAnalysisOptions({false, true, false});
    chooseOptions([](AnalysisOptionsDialog &dialog) {
        QTest::mouseClick(dialog.quotesBox, Qt::LeftButton);
        QTest::mouseClick(dialog.tableOfContentsBox, Qt::LeftButton);
        QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
    });
    EXPECT_EQ(form.analysisOptions(), (AnalysisOptions{false, true, false}));
    chooseOptions([](AnalysisOptionsDialog &dialog) {
        QTest::mouseClick(dialog.quotesBox, Qt::LeftButton);
        QTest::mouseClick(dialog.tableOfContentsBox, Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(form.analysisOptions(), (AnalysisOptions{false, false, true}));
}

} // namespace
} // namespace veltrik
