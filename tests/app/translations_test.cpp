#include "app/translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

class ChineseTranslations : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(installChineseTranslations(*qApp)); }
};

TEST_F(ChineseTranslations, StandardButtonsSpeakChinese)
{
    QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Ok);
    EXPECT_TRUE(buttons.button(QDialogButtonBox::Yes)->text().startsWith(u"是"_qs));
    EXPECT_TRUE(buttons.button(QDialogButtonBox::No)->text().startsWith(u"否"_qs));
    EXPECT_TRUE(buttons.button(QDialogButtonBox::Ok)->text().startsWith(u"确定"_qs));
}

TEST_F(ChineseTranslations, FileDialogsSpeakChinese)
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
    QStringList captions;
    for (const QPushButton *button : buttons)
        captions << button->text();
    EXPECT_TRUE(captions.contains(u"取消"_qs)) << captions.join(u", "_qs).toStdString();
}

TEST_F(ChineseTranslations, TheBrowserViewsMenuSpeaksChinese)
{
    EXPECT_EQ(QCoreApplication::translate("RenderViewContextMenuQt", "Back"), u"后退"_qs);
    EXPECT_EQ(QCoreApplication::translate("RenderViewContextMenuQt", "Copy"), u"复制"_qs);
}

} // namespace
} // namespace veltrik
