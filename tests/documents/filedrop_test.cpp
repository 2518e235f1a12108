#include "comparator/form2.h"
#include "components/twips.h"
#include "support/fakedesktop.h"
#include "support/filedrop.h"
#include "support/form1fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace veltrik {
namespace {

using testing::Form1Fixture;

const QString kData = QStringLiteral(VELTRIK_TEST_DATA);
const QString kThesisStart = u"第一章\u3000绪论\r\n本文研究"_qs;

// Runs the event loop until the condition holds, at most ten seconds.
bool eventually(const std::function<bool()> &condition)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition() && waited.elapsed() < 10000)
        QTest::qWait(10);
    return condition();
}

using testing::dropFile;
using testing::dropOnto;

class FileDrop : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString copyOfFixture(const char *fixtureName, const QString &name)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QFile::copy(kData + u'/' + QString::fromLatin1(fixtureName), path));
        return path;
    }
};

class MainWindowDrop : public FileDrop {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;
};

TEST_F(MainWindowDrop, OpensTheFileAsOpenDoesWithoutAsking)
{
    form.show();
    form.RichTextBox1()->setText(u"已分析"_qs);
    form.Command1()->click();
    form.List1()->show();
    ASSERT_TRUE(dropFile(*form.RichTextBox1(), copyOfFixture("text-gbk.txt", u"论文.txt"_qs)));
    ASSERT_TRUE(eventually([&] { return form.RichTextBox1()->text().startsWith(kThesisStart); }));
    EXPECT_TRUE(form.List1()->isHidden());
    EXPECT_EQ(form.RichTextBox1()->width(), twipsToPixels(Form1::kEditorDesignWidth, logicalDpi(&form)));
    EXPECT_EQ(form.RichTextBox1()->selStart(), 0);
    EXPECT_TRUE(fixture.desktop.fileDialogs.isEmpty());
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());
    // The dropped file is the one the save dialog proposes next, as after "打开".
    form.baocun_Click();
    ASSERT_EQ(fixture.desktop.fileDialogs.size(), 1);
    EXPECT_TRUE(fixture.desktop.fileDialogs[0].endsWith(dir.filePath(u"论文.rtf"_qs)));
}

TEST_F(MainWindowDrop, AWordDocumentOpens)
{
    ASSERT_TRUE(dropFile(*form.RichTextBox1(), copyOfFixture("sample.doc", u"论文.doc"_qs)));
    EXPECT_TRUE(eventually([&] { return form.RichTextBox1()->text().startsWith(kThesisStart); }));
}

TEST_F(MainWindowDrop, AFileThatCannotBeOpenedGetsTheOpenMessageAndTheTextStays)
{
    form.RichTextBox1()->setText(u"我的论文"_qs);
    ASSERT_TRUE(dropFile(*form.RichTextBox1(), copyOfFixture("truncated-sample.doc", u"坏文件.doc"_qs)));
    ASSERT_TRUE(eventually([&] { return !fixture.desktop.boxes.isEmpty(); }));
    EXPECT_TRUE(fixture.desktop.boxes[0].startsWith(u"critical|Veltrik|无法打开文件“坏文件.doc”："_qs))
        << fixture.desktop.boxes[0].toStdString();
    EXPECT_EQ(form.RichTextBox1()->text(), u"我的论文"_qs);
}

TEST_F(MainWindowDrop, OnlyTheFirstLocalFileOfSeveralAddressesOpens)
{
    const QString first = copyOfFixture("text-gbk.txt", u"第一个.txt"_qs);
    const QString second = copyOfFixture("truncated-sample.doc", u"第二个.doc"_qs);
    ASSERT_TRUE(dropOnto(*form.RichTextBox1(), {QUrl(u"https://example.test/a.txt"_qs), QUrl::fromLocalFile(first),
                                                QUrl::fromLocalFile(second)}));
    ASSERT_TRUE(eventually([&] { return form.RichTextBox1()->text().startsWith(kThesisStart); }));
    QTest::qWait(50);
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());
}

class ComparatorDrop : public FileDrop {
protected:
    CompareTotals totals;
    testing::FakeDesktop desktop;
    Form2 form{totals, u"主窗口的文章"_qs, desktop};
};

TEST_F(ComparatorDrop, EachEditorTakesTheFileDroppedOnIt)
{
    form.show();
    ASSERT_TRUE(dropFile(*form.RichTextBox2, copyOfFixture("text-gbk.txt", u"参考.txt"_qs)));
    ASSERT_TRUE(eventually([&] { return form.RichTextBox2->text().startsWith(kThesisStart); }));
    EXPECT_EQ(form.RichTextBox1->text(), u"主窗口的文章"_qs);

    ASSERT_TRUE(dropFile(*form.RichTextBox1, copyOfFixture("sample.doc", u"论文.doc"_qs)));
    ASSERT_TRUE(eventually([&] { return form.RichTextBox1->text().startsWith(kThesisStart); }));
    EXPECT_TRUE(desktop.boxes.isEmpty());
    EXPECT_TRUE(desktop.fileDialogs.isEmpty());
}

TEST_F(ComparatorDrop, AFileThatCannotBeOpenedGetsTheOpenMessageAndTheTextStays)
{
    ASSERT_TRUE(dropFile(*form.RichTextBox2, copyOfFixture("truncated-sample.doc", u"坏文件.doc"_qs)));
    ASSERT_TRUE(eventually([&] { return !desktop.boxes.isEmpty(); }));
    EXPECT_TRUE(desktop.boxes[0].startsWith(u"critical|Veltrik|无法打开文件“坏文件.doc”："_qs));
    EXPECT_EQ(form.RichTextBox2->text(), u"对比的文字"_qs);
}

} // namespace
} // namespace veltrik
