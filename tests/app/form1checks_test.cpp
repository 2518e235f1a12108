#include "analysis/checkstore.h"
#include "components/richeditor.h"
#include "support/distinctpieces.h"
#include "support/form1fixture.h"
#include "support/resultpages.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;
using testing::resultPage;

const QString kArticle = testing::articleOfDistinctPieces(5);

QString lastQuery(const Form1Fixture &fixture)
{
    return QUrlQuery(QUrl(fixture.browser1()->navigations.last())).queryItemValue(u"wd"_qs, QUrl::FullyDecoded);
}

void chooseFileCommand(Form1 &form, const char *name)
{
    form.wjcd()->findChild<QAction *>(QString::fromLatin1(name))->trigger();
}

// Analyses the article and compares its first two pieces by hand, as the user clicks.
void compareTwoPieces(Form1Fixture &fixture)
{
    Form1 &form = *fixture.form;
    form.RichTextBox1()->setText(kArticle);
    QTest::mouseClick(form.Command1(), Qt::LeftButton);
    for (qsizetype highlight : {412, 100}) {
        QTest::mouseClick(form.Command2(), Qt::LeftButton);
        fixture.browser1()->arrive(resultPage(highlight), u"http://search.test/s"_qs);
    }
}

class Form1Checks : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString automaticFile = folder.filePath(u"data/unfinished.vcheck"_qs);

    // The window the user opens next: it asks about the last session once its event loop runs.
    std::unique_ptr<Form1Fixture> nextSession(bool answerYes)
    {
        auto next = std::make_unique<Form1Fixture>(automaticFile);
        next->desktop.answerYes = answerYes;
        QCoreApplication::processEvents();
        return next;
    }
};

TEST_F(Form1Checks, AnUnfinishedRunIsOfferedAndContinuedWhereItWasLeft)
{
    QString figures;
    {
        Form1Fixture first(automaticFile);
        QCoreApplication::processEvents();
        compareTwoPieces(first);
        figures = first.form->Label2()->text();
        ASSERT_TRUE(QFile::exists(automaticFile));
    } // the window is gone without a word, as in a crash

    const auto next = nextSession(true);
    Form1 &form = *next->form;
    ASSERT_EQ(next->desktop.boxes.size(), 1);
    EXPECT_TRUE(next->desktop.boxes[0].contains(u"上次的检测尚未完成"_qs)) << next->desktop.boxes[0].toStdString();
    EXPECT_EQ(form.RichTextBox1()->text(), kArticle);
    EXPECT_EQ(form.List1()->count(), 5);
    EXPECT_EQ(form.List1()->currentRow(), 2);
    EXPECT_EQ(form.Label2()->text(), figures);
    EXPECT_EQ(form.state().resultCount, 3);
    QTest::mouseClick(form.Command2(), Qt::LeftButton);
    EXPECT_EQ(lastQuery(*next), testing::distinctPiece(2, 5));
}

TEST_F(Form1Checks, NoLetsTheUnfinishedCheckGo)
{
    {
        Form1Fixture first(automaticFile);
        compareTwoPieces(first);
    }
    const auto next = nextSession(false);
    EXPECT_EQ(next->desktop.boxes.size(), 1);
    EXPECT_NE(next->form->RichTextBox1()->text(), kArticle);
    EXPECT_FALSE(QFile::exists(automaticFile));
    EXPECT_TRUE(nextSession(true)->desktop.boxes.isEmpty());
}

TEST_F(Form1Checks, AFinishedOrUnstartedCheckIsNotOffered)
{
    {
        Form1Fixture first(automaticFile);
        first.form->RichTextBox1()->setText(testing::articleOfDistinctPieces(1));
        QTest::mouseClick(first.form->Command1(), Qt::LeftButton);
        QTest::mouseClick(first.form->Command2(), Qt::LeftButton);
        first.browser1()->arrive(resultPage(412), u"http://search.test/s"_qs);
    }
    EXPECT_TRUE(nextSession(true)->desktop.boxes.isEmpty());
}

TEST_F(Form1Checks, ASavedCheckOpensWithTheSameFigures)
{
    const QString saved = folder.filePath(u"论文检测"_qs);
    QString figures;
    {
        Form1Fixture first;
        compareTwoPieces(first);
        figures = first.form->Label2()->text();
        first.desktop.nextChosenFile = saved;
        chooseFileCommand(*first.form, "baocunjiance");
        EXPECT_TRUE(first.desktop.boxes.isEmpty()) << first.desktop.boxes.join(u'\n').toStdString();
    }
    ASSERT_TRUE(QFile::exists(saved + u".vcheck"_qs));

    Form1Fixture second;
    second.desktop.nextChosenFile = saved + u".vcheck"_qs;
    chooseFileCommand(*second.form, "dakaijiance");
    EXPECT_EQ(second.form->RichTextBox1()->text(), kArticle);
    EXPECT_EQ(second.form->Label2()->text(), figures);
    EXPECT_EQ(second.form->List1()->currentRow(), 2);
}

// Analysed again, an opened check's article keeps its name and leaves out what the check left out.
TEST_F(Form1Checks, AnOpenedCheckKeepsItsExclusionsAndNameForTheNextAnalysis)
{
    const QString saved = folder.filePath(u"opened.vcheck"_qs);
    CheckResults check;
    check.articleName = u"毕业论文.docx"_qs;
    check.article = kArticle;
    check.pieces = {kArticle.left(38)};
    check.results = {PieceResult{}};
    check.options = {.excludeReferences = true, .excludeQuotes = true, .excludeTableOfContents = false};
    ASSERT_EQ(saveCheckFile(saved, check), QString());

    Form1Fixture fixture;
    fixture.desktop.nextChosenFile = saved;
    chooseFileCommand(*fixture.form, "dakaijiance");
    ASSERT_EQ(fixture.form->RichTextBox1()->text(), kArticle);
    QTest::mouseClick(fixture.form->Command1(), Qt::LeftButton);
    EXPECT_EQ(fixture.form->run().results().options, check.options);
    EXPECT_EQ(fixture.form->run().results().articleName, check.articleName);
}

TEST_F(Form1Checks, SavingOverAnExistingCheckAsksFirst)
{
    const QString saved = folder.filePath(u"old.vcheck"_qs);
    QFile(saved).open(QIODevice::WriteOnly);
    Form1Fixture fixture;
    compareTwoPieces(fixture);
    fixture.desktop.nextChosenFile = saved;
    fixture.desktop.answerYes = false;
    chooseFileCommand(*fixture.form, "baocunjiance");
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_TRUE(fixture.desktop.boxes[0].contains(u"“old.vcheck”已存在。要替换它吗？"_qs));
    EXPECT_EQ(QFile(saved).size(), 0);
}

TEST_F(Form1Checks, ADamagedCheckGivesAMessageAndLeavesTheWindowAsItWas)
{
    const QString damaged = folder.filePath(u"damaged.vcheck"_qs);
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3000, '\x7f'));
    file.close();
    Form1Fixture fixture;
    fixture.form->RichTextBox1()->setText(u"原来的文字"_qs);
    fixture.desktop.nextChosenFile = damaged;
    chooseFileCommand(*fixture.form, "dakaijiance");
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_TRUE(fixture.desktop.boxes[0].contains(u"检测文件“damaged.vcheck”已损坏"_qs))
        << fixture.desktop.boxes[0].toStdString();
    EXPECT_EQ(fixture.form->RichTextBox1()->text(), u"原来的文字"_qs);
}

TEST_F(Form1Checks, SavingBeforeAnyAnalysisSaysWhatToDo)
{
    Form1Fixture fixture;
    chooseFileCommand(*fixture.form, "baocunjiance");
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_TRUE(fixture.desktop.boxes[0].contains(u"请先进行分析"_qs));
    EXPECT_TRUE(fixture.desktop.fileDialogs.isEmpty());
}

} // namespace
} // namespace veltrik
