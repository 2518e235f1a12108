#include "comparator/form2.h"
#include "comparator/referencepanel.h"
#include "components/richeditor.h"
#include "support/fakedesktop.h"
#include "support/writtenfile.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

const QString kArticle = u"我们去公园玩。今天天气很好，明天下雨不出门。一句谁也没有写过的话。"_qs;
const QString kFirst = u"我们去公园玩。今天天气很好，"_qs;                      // 2 sentences, 14 characters
const QString kSecond = u"前言。\r\n明天下雨不出门。今天天气很好，结束了。"_qs; // 2 sentences, 15 characters

class ReferencePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        form.show();
        form.RichTextBox1->setText(kArticle);
    }

    QString write(const QString &name, const QString &text)
    {
        const QString path = testing::writtenFile(m_folder.path(), name, text.toUtf8());
        EXPECT_FALSE(path.isEmpty()) << name.toStdString();
        return path;
    }

    void waitForComparison()
    {
        QSignalSpy compared(form.references, &ReferencePanel::filesCompared);
        ASSERT_TRUE(compared.wait(10000));
    }

    // Two files and one that is gone by the time it is read, chosen in the file dialog.
    void addThreeFiles()
    {
        desktop.nextChosenFiles = {write(u"a-first.txt"_qs, kFirst), write(u"b-second.txt"_qs, kSecond),
                                   write(u"c-missing.txt"_qs, QString())};
        QFile::remove(desktop.nextChosenFiles.last());
        QTest::mouseClick(form.addReferences, Qt::LeftButton, {}, QPoint(8, form.addReferences->height() / 2));
        waitForComparison();
    }

    QString cell(int row, int column) const { return form.references->table->item(row, column)->text(); }

    void clickRow(int row)
    {
        QTableWidget *table = form.references->table;
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 0)).center());
    }

    void clickArticleAt(int offset)
    {
        auto *edit = form.RichTextBox1->findChild<QTextEdit *>();
        QTextCursor cursor(edit->document());
        cursor.setPosition(form.RichTextBox1->documentPosition(offset));
        const QRect place = edit->cursorRect(cursor);
        QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, place.center() + QPoint(2, 0));
        QApplication::processEvents();
    }

    QTemporaryDir m_folder;
    CompareTotals totals;
    testing::FakeDesktop desktop;
    Form2 form{totals, QString(), desktop};
};

TEST_F(ReferencePanelTest, AddedFilesMarkTheUnionAndListEachWithItsFigures)
{
    EXPECT_TRUE(form.references->isHidden());
    EXPECT_EQ(form.addReferences->text(), u"添加参考文件"_qs);
    addThreeFiles();
    EXPECT_TRUE(form.references->isVisible());
    ASSERT_EQ(form.references->table->rowCount(), 2);
    EXPECT_EQ(cell(0, ReferencePanel::NameColumn), u"a-first.txt"_qs);
    EXPECT_EQ(cell(0, ReferencePanel::SentencesColumn), u"2"_qs);
    EXPECT_EQ(cell(0, ReferencePanel::CharsColumn), u"14"_qs);
    EXPECT_EQ(cell(0, ReferencePanel::ShareColumn), u"42"_qs); // 14 of 33
    EXPECT_EQ(cell(1, ReferencePanel::CharsColumn), u"15"_qs);
    // Together: 4 sentences and 29 characters, of 14 + 24 reference characters.
    EXPECT_EQ(form.Label1->text(), u"你的文章一共 33 字，重复 0 段， 4 句， 29 字\r\n"
                                   u"        重复部分占你的文章的： 88 %\r\n"
                                   u"        与参考文章的相似度为： 76 %"_qs);
    for (int offset : {0, 7, 14, 21})
        EXPECT_EQ(form.RichTextBox1->colorAt(offset), kRed) << offset;
    EXPECT_EQ(form.RichTextBox1->colorAt(22), kBlack);
    ASSERT_EQ(form.references->unreadableList->count(), 1);
    EXPECT_TRUE(form.references->unreadableList->item(0)->text().startsWith(u"无法读取 c-missing.txt："_qs));
    EXPECT_TRUE(form.references->unreadableList->isVisible());
    // The pasted reference is compared as before, on its own.
    form.RichTextBox2->setText(u"一句谁也没有写过的话。"_qs);
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    EXPECT_EQ(form.RichTextBox1->colorAt(0), kBlack);
    EXPECT_EQ(form.RichTextBox1->colorAt(22), kRed);
    EXPECT_TRUE(form.Label1->text().startsWith(u"你的文章一共 33 字，重复 0 段， 1 句， 11 字"_qs));
}

TEST_F(ReferencePanelTest, ChoosingAReferenceShowsOnlyItsMarksAndItsText)
{
    addThreeFiles();
    clickRow(1);
    EXPECT_EQ(form.RichTextBox1->colorAt(0), kBlack);
    EXPECT_EQ(form.RichTextBox1->colorAt(7), kRed);
    EXPECT_EQ(form.RichTextBox1->colorAt(14), kRed);
    EXPECT_EQ(form.references->referenceView->text(), kSecond);

    QTest::mouseClick(form.references->showAll, Qt::LeftButton);
    EXPECT_EQ(form.RichTextBox1->colorAt(0), kRed);
    EXPECT_TRUE(form.references->table->selectedItems().isEmpty());
}

TEST_F(ReferencePanelTest, TheTableSortsByAClickOnAColumn)
{
    addThreeFiles();
    QHeaderView *header = form.references->table->horizontalHeader();
    const int x = header->sectionViewportPosition(ReferencePanel::CharsColumn) + 5;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    const QString firstName = cell(0, ReferencePanel::NameColumn);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_NE(cell(0, ReferencePanel::NameColumn), firstName);
    EXPECT_EQ(QSet<QString>({firstName, cell(0, ReferencePanel::NameColumn)}),
              QSet<QString>({u"a-first.txt"_qs, u"b-second.txt"_qs}));
    // A row chosen after sorting is still its own file.
    clickRow(0);
    EXPECT_EQ(form.references->referenceView->text(),
              cell(0, ReferencePanel::NameColumn) == u"a-first.txt"_qs ? kFirst : kSecond);
}

TEST_F(ReferencePanelTest, AClickOnAMarkSelectsTheSentenceItRepeatsInTheReference)
{
    addThreeFiles();
    clickArticleAt(16); // inside 明天下雨不出门。
    EXPECT_EQ(form.references->referenceView->text(), kSecond);
    EXPECT_EQ(form.references->referenceView->selText(), u"明天下雨不出门。"_qs);

    clickRow(0);
    clickArticleAt(9); // inside 今天天气很好，as the chosen first file has it
    EXPECT_EQ(form.references->referenceView->text(), kFirst);
    EXPECT_EQ(form.references->referenceView->selStart(), 7);
    EXPECT_EQ(form.references->referenceView->selLength(), 7);
}

TEST_F(ReferencePanelTest, AFolderIsChosenFromTheButtonsMenuWithItsSubfolders)
{
    write(u"refs/a.txt"_qs, kFirst);
    write(u"refs/deeper/b.txt"_qs, kSecond);
    desktop.nextChosenFolder = m_folder.filePath(u"refs"_qs);
    QTimer::singleShot(0, [&] {
        QMenu *menu = form.addReferences->menu();
        QAction *folder = menu->findChild<QAction *>(u"addReferenceFolder"_qs);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(folder).center());
    });
    form.addReferences->showMenu();
    waitForComparison();
    EXPECT_EQ(form.references->table->rowCount(), 2);
    EXPECT_EQ(form.references->unreadableList->count(), 0);
    EXPECT_TRUE(form.references->unreadableList->isHidden());
}

TEST_F(ReferencePanelTest, CancellingTheDialogAddsNothing)
{
    QTest::mouseClick(form.addReferences, Qt::LeftButton, {}, QPoint(8, form.addReferences->height() / 2));
    EXPECT_EQ(desktop.fileDialogs.size(), 1);
    EXPECT_TRUE(form.references->isHidden());
}

// The reading goes on off the window's thread; its result has nowhere to go and is dropped.
TEST(ReferencePanelClosing, ClosingTheWindowWhileFilesAreReadLeavesNothingBehind)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QStringList files;
    for (int n = 0; n < 50; ++n) {
        QFile file(folder.filePath(QStringLiteral("%1.txt").arg(n)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kFirst.repeated(2000).toUtf8());
        files << file.fileName();
    }
    CompareTotals totals;
    testing::FakeDesktop desktop;
    desktop.nextChosenFiles = files;
    QPointer<Form2> form = new Form2(totals, kArticle, desktop);
    form->show();
    QTest::mouseClick(form->addReferences, Qt::LeftButton, {}, QPoint(8, form->addReferences->height() / 2));
    form->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    // Time for the reading to end and its finish to be delivered, to no one.
    QTest::qWait(500);
}

} // namespace
} // namespace veltrik
