#include "comparator/form2.h"
#include "components/richeditor.h"
#include "components/twips.h"
#include "documents/documentfiles.h"
#include "support/fakedesktop.h"
#include "support/form1fixture.h"

#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QUrl>
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

// Drags the addresses over the editor and drops them there, as the desktop's file manager does; true
// when the editor accepted the drag.
bool dropOnto(RichEditor &editor, const QList<QUrl> &urls)
{
    QWidget *target = editor.findChild<QTextEdit *>()->viewport();
    QMimeData data;
    data.setUrls(urls);
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(middle, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(middle), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() && move.isAccepted() && drop.isAccepted() &&
           drop.dropAction() == Qt::CopyAction;
}

bool dropFile(RichEditor &editor, const QString &path)
{
    return dropOnto(editor, {QUrl::fromLocalFile(path)});
}

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
    form.state().workText = u"已分析"_qs;
    form.List1->show();
    ASSERT_TRUE(dropFile(*form.RichTextBox1, copyOfFixture("text-gbk.txt", u"论文.txt"_qs)));
    ASSERT_TRUE(eventually([&] { return form.RichTextBox1->text().startsWith(kThesisStart); }));
    EXPECT_TRUE(form.List1->isHidden());
    EXPECT_EQ(form.RichTextBox1->width(), twipsToPixels(Form1::kEditorDesignWidth, logicalDpi(&form)));
    EXPECT_EQ(form.RichTextBox1->selStart(), 0);
    EXPECT_TRUE(fixture.desktop.fileDialogs.isEmpty());
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());
    // The dropped file is the one the save dialog proposes next, as after "打开".
    form.baocun_Click();
    ASSERT_EQ(fixture.desktop.fileDialogs.size(), 1);
    EXPECT_TRUE(fixture.desktop.fileDialogs[0].endsWith(dir.filePath(u"论文.rtf"_qs)));
}

TEST_F(MainWindowDrop, AWordDocumentOpens)
{
    ASSERT_TRUE(dropFile(*form.RichTextBox1, copyOfFixture("sample.doc", u"论文.doc"_qs)));
    EXPECT_TRUE(eventually([&] { return form.RichTextBox1->text().startsWith(kThesisStart); }));
}

TEST_F(MainWindowDrop, AFileThatCannotBeOpenedGetsTheOpenMessageAndTheTextStays)
{
    form.RichTextBox1->setText(u"我的论文"_qs);
    ASSERT_TRUE(dropFile(*form.RichTextBox1, copyOfFixture("truncated-sample.doc", u"坏文件.doc"_qs)));
    ASSERT_TRUE(eventually([&] { return !fixture.desktop.boxes.isEmpty(); }));
    EXPECT_TRUE(fixture.desktop.boxes[0].startsWith(u"critical|Veltrik|无法打开文件“坏文件.doc”："_qs))
        << fixture.desktop.boxes[0].toStdString();
    EXPECT_EQ(form.RichTextBox1->text(), u"我的论文"_qs);
}

TEST_F(MainWindowDrop, OnlyTheFirstLocalFileOfSeveralAddressesOpens)
{
    const QString first = copyOfFixture("text-gbk.txt", u"第一个.txt"_qs);
    const QString second = copyOfFixture("truncated-sample.doc", u"第二个.doc"_qs);
    ASSERT_TRUE(dropOnto(*form.RichTextBox1, {QUrl(u"https://example.test/a.txt"_qs),
                                              QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)}));
    ASSERT_TRUE(eventually([&] { return form.RichTextBox1->text().startsWith(kThesisStart); }));
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

// A drop reads in the background as the open command does: the editor keeps its text meanwhile.
TEST(DroppedFileInTheBackground, TheEditorKeepsItsTextUntilTheNewOneIsReady)
{
    QWidget window;
    auto *editor = new RichEditor(&window);
    testing::FakeDesktop desktop;
    std::atomic_bool ready = false;
    DocumentFiles files(window, *editor, desktop, [&ready](const QString &, bool, const std::atomic_bool *) {
        QElapsedTimer waited;
        waited.start();
        while (!ready && waited.elapsed() < 10000)
            QThread::msleep(5);
        return DocumentResult::ok(StyledText::plain(u"新的文本"_qs));
    });
    QObject::connect(editor, &RichEditor::fileDropped, &window,
                     [&files](const QString &path) { files.openFile(path); });
    editor->setText(u"我的论文"_qs);
    QString textWhileBusy;
    QString busyCaption;
    auto *poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, poll, [&] {
        auto *busy = window.findChild<QProgressDialog *>();
        if (!busy || !busy->isVisible())
            return;
        poll->stop();
        textWhileBusy = editor->text();
        busyCaption = busy->labelText();
        ready = true;
    });
    poll->start(20);
    ASSERT_TRUE(dropFile(*editor, u"/论文/很大的文件.txt"_qs));
    ASSERT_TRUE(eventually([&] { return editor->text() == u"新的文本"_qs; }));
    EXPECT_EQ(textWhileBusy, u"我的论文"_qs);
    EXPECT_EQ(busyCaption, u"正在打开“很大的文件.txt”……"_qs);
}

} // namespace
} // namespace veltrik
