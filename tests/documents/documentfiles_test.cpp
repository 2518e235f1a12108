#include "components/richeditor.h"
#include "components/twips.h"
#include "documents/documentfiles.h"
#include "documents/loader.h"
#include "support/fakedesktop.h"
#include "support/filedrop.h"
#include "support/form1fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace veltrik {
namespace {

using testing::Form1Fixture;

const QString kData = QStringLiteral(VELTRIK_TEST_DATA);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

bool boldAt(const RichEditor &editor, int offset)
{
    QTextCursor cursor(editor.findChild<QTextDocument *>());
    cursor.setPosition(editor.documentPosition(offset) + 1);
    return cursor.charFormat().fontWeight() >= QFont::Bold;
}

class DocumentFilesTest : public ::testing::Test {
protected:
    Form1Fixture fixture;
    Form1 &form = *fixture.form;
    QTemporaryDir dir;

    QString copyOfFixture(const char *fixtureName, const QString &name)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QFile::copy(kData + u'/' + QString::fromLatin1(fixtureName), path));
        return path;
    }

    void open(const QString &path)
    {
        fixture.desktop.nextChosenFile = path;
        form.dakai_Click();
    }
};

TEST_F(DocumentFilesTest, CancellingOpenStillResizesHidesAndTurnsTextBlack)
{
    form.RichTextBox1()->setText(u"已分析"_qs);
    form.Command1()->click();
    form.List1()->show();
    form.RichTextBox1()->setText(u"红色的字"_qs);
    form.RichTextBox1()->setSelStart(0);
    form.RichTextBox1()->setSelLength(2);
    form.RichTextBox1()->setSelColor(kRed);
    open(QString());
    EXPECT_EQ(form.RichTextBox1()->text(), u"红色的字"_qs);
    EXPECT_EQ(form.RichTextBox1()->colorAt(0), kBlack);
    EXPECT_TRUE(form.List1()->isHidden());
    EXPECT_EQ(form.RichTextBox1()->width(), twipsToPixels(10140, logicalDpi(&form)));
    EXPECT_EQ(form.RichTextBox1()->selStart(), 0);
    EXPECT_EQ(form.RichTextBox1()->selLength(), 0);
    EXPECT_EQ(fixture.desktop.fileDialogs,
              QStringList{u"请选择一个文件|WORD文档(*.doc *.docx);;文本文件(*.txt);;写字板文件(*.rtf);;"
                          u"PDF文档(*.pdf);;所有文件(*.*)|"_qs});
}

struct WayCase {
    const char *name;
    bool wordWay;
};

class OpenWays : public DocumentFilesTest, public ::testing::WithParamInterface<WayCase> {};

// The RTF fixture under several names: the Word way gives plain text, the editor's own keeps the bold run.
TEST_P(OpenWays, NameDecidesTheWay)
{
    open(copyOfFixture("sample.rtf", QString::fromUtf8(GetParam().name)));
    const QString text = form.RichTextBox1()->text();
    ASSERT_TRUE(text.contains(u"规范训练"_qs));
    EXPECT_EQ(boldAt(*form.RichTextBox1(), int(text.indexOf(u"规范训练"_qs))), !GetParam().wordWay);
    EXPECT_EQ(form.RichTextBox1()->colorAt(int(text.indexOf(u"学术写作"_qs))), kBlack);
}

INSTANTIATE_TEST_SUITE_P(Names, OpenWays,
                         ::testing::Values(WayCase{"thesis.doc", true}, WayCase{"THESIS.DOC", true},
                                           WayCase{"Thesis.Doc", true}, WayCase{"thesis.dOc", false},
                                           WayCase{"thesis.docx", false}, WayCase{"thesis.rtf", false}),
                         [](const auto &info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

TEST_F(DocumentFilesTest, OpensWordAndTextFiles)
{
    open(copyOfFixture("sample.doc", u"论文.doc"_qs));
    EXPECT_TRUE(form.RichTextBox1()->text().startsWith(u"第一章\u3000绪论\r\n本文研究"_qs));
    open(copyOfFixture("text-gbk.txt", u"论文.txt"_qs));
    EXPECT_TRUE(form.RichTextBox1()->text().startsWith(u"第一章\u3000绪论\r\n本文研究"_qs));
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());
    EXPECT_TRUE(fixture.desktop.fileDialogs.last().endsWith(u"论文.doc"_qs)); // the last path is offered again
}

TEST_F(DocumentFilesTest, AFileThatCannotBeOpenedGetsAMessageAndTheTextStays)
{
    form.RichTextBox1()->setText(u"我的论文"_qs);
    open(copyOfFixture("truncated-sample.doc", u"坏文件.doc"_qs));
    EXPECT_EQ(form.RichTextBox1()->text(), u"我的论文"_qs);
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_TRUE(fixture.desktop.boxes[0].startsWith(u"critical|Veltrik|无法打开文件“坏文件.doc”：Word 文件已损坏"_qs))
        << fixture.desktop.boxes[0].toStdString();
}

// The check, and the report made from it, carry the name of the file the article came from.
TEST_F(DocumentFilesTest, TheCheckIsNamedAfterTheFileTheArticleCameFrom)
{
    const auto analysedName = [this] {
        form.Command1()->click();
        return form.run().results().articleName;
    };
    EXPECT_EQ(analysedName(), QString());
    open(copyOfFixture("sample.doc", u"论文.doc"_qs));
    EXPECT_EQ(analysedName(), u"论文.doc"_qs);
    open(copyOfFixture("truncated-sample.doc", u"坏文件.doc"_qs));
    EXPECT_EQ(analysedName(), u"论文.doc"_qs);
    fixture.desktop.nextChosenFile = dir.filePath(u"定稿.rtf"_qs);
    form.baocun_Click();
    EXPECT_EQ(analysedName(), u"定稿.rtf"_qs);
    form.xinjian_Click();
    form.RichTextBox1()->setText(u"粘贴进来的文章"_qs);
    EXPECT_EQ(analysedName(), QString());
}

TEST_F(DocumentFilesTest, NewClearsTheTextButNotTheAnalysis)
{
    form.RichTextBox1()->setText(u"已分析"_qs);
    form.Command1()->click();
    form.xinjian_Click();
    EXPECT_TRUE(form.RichTextBox1()->text().isEmpty());
    EXPECT_EQ(form.state().workText, u"已分析"_qs);
    EXPECT_TRUE(form.List1()->isHidden());
}

TEST_F(DocumentFilesTest, SaveWritesRtfWithTheMarksButNotInTheSelection)
{
    form.RichTextBox1()->setText(u"第一句红色。第二句红色。"_qs);
    form.RichTextBox1()->colorSpans({{0, 6}, {6, 6}}, kRed);
    form.RichTextBox1()->setSelStart(6);
    form.RichTextBox1()->setSelLength(6);
    fixture.desktop.nextChosenFile = dir.filePath(u"a.txt"_qs);
    form.baocun_Click();
    EXPECT_EQ(fixture.desktop.fileDialogs.last().section(u'|', 0, 0), u"请输入文件名"_qs);
    QFile saved(dir.filePath(u"a.txt"_qs));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("{\\rtf1"));
    const DocumentResult read = loadDocument(dir.filePath(u"a.txt"_qs), false);
    ASSERT_TRUE(read);
    ASSERT_GE(read.content.runs.size(), 2);
    EXPECT_EQ(read.content.runs[0].format.color, 0xFF0000u);
    EXPECT_EQ(read.content.runs[0].length, 6);
    EXPECT_EQ(read.content.runs[1].format.color, 0x000000u);
}

TEST_F(DocumentFilesTest, CancelledSaveWritesNothingButTurnsTheSelectionBlack)
{
    form.RichTextBox1()->setText(u"红字"_qs);
    form.RichTextBox1()->colorSpans({{0, 2}}, kRed);
    form.RichTextBox1()->setSelStart(0);
    form.RichTextBox1()->setSelLength(1);
    fixture.desktop.nextChosenFile.clear();
    form.baocun_Click();
    EXPECT_EQ(form.RichTextBox1()->colorAt(0), kBlack);
    EXPECT_EQ(form.RichTextBox1()->colorAt(1), kRed);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

struct SaveNameCase {
    const char *name;
    const char16_t *lastPath;
    const char16_t *proposed;
};

class ProposedSaveNames : public ::testing::TestWithParam<SaveNameCase> {};

TEST_P(ProposedSaveNames, KeepFolderAndNameWithTheExtensionRtf)
{
    EXPECT_EQ(DocumentFiles::proposedSaveName(QString::fromUtf16(GetParam().lastPath)),
              QString::fromUtf16(GetParam().proposed));
}

INSTANTIATE_TEST_SUITE_P(Paths, ProposedSaveNames,
                         ::testing::Values(SaveNameCase{"nothing_chosen_yet", u"", u""},
                                           SaveNameCase{"docx", u"/home/学生/论文.docx", u"/home/学生/论文.rtf"},
                                           SaveNameCase{"doc", u"/home/学生/THESIS.DOC", u"/home/学生/THESIS.rtf"},
                                           SaveNameCase{"text", u"/tmp/a.b.txt", u"/tmp/a.b.rtf"},
                                           SaveNameCase{"no_extension", u"/tmp/论文", u"/tmp/论文.rtf"},
                                           SaveNameCase{"rtf_stays", u"/tmp/论文.RTF", u"/tmp/论文.RTF"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(DocumentFilesTest, AfterOpeningAWordFileTheSaveDialogProposesAnRtfBesideIt)
{
    const QString word = copyOfFixture("sample.docx", u"论文.docx"_qs);
    open(word);
    fixture.desktop.nextChosenFile.clear();
    form.baocun_Click();
    EXPECT_EQ(fixture.desktop.fileDialogs.last(),
              u"请输入文件名|WORD文档(*.doc);;文本文件(*.txt);;写字板文件(*.rtf)|"_qs + dir.filePath(u"论文.rtf"_qs));
}

struct ReplaceCase {
    const char *name;
    bool answerYes;
    bool replaced;
};

class ReplacingAFile : public DocumentFilesTest, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplacingAFile, NeedsAYesToAQuestionThatNamesTheFile)
{
    const QString word = copyOfFixture("sample.docx", u"论文.docx"_qs);
    QFile original(word);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();
    form.RichTextBox1()->setText(u"新的正文"_qs);
    fixture.desktop.answerYes = GetParam().answerYes;
    fixture.desktop.nextChosenFile = word;
    form.baocun_Click();
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_EQ(fixture.desktop.boxes[0], u"question|Veltrik|文件“论文.docx”已经存在。保存后它将被替换为 RTF 文档，"
                                        u"原有内容将丢失。\n要替换它吗？"_qs);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray after = original.readAll();
    EXPECT_EQ(after.startsWith("{\\rtf1"), GetParam().replaced);
    EXPECT_EQ(after == before, !GetParam().replaced);
}

INSTANTIATE_TEST_SUITE_P(Answers, ReplacingAFile,
                         ::testing::Values(ReplaceCase{"yes", true, true}, ReplaceCase{"no", false, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(DocumentFilesTest, ANewFileIsWrittenWithoutAQuestion)
{
    fixture.desktop.nextChosenFile = dir.filePath(u"新论文.rtf"_qs);
    form.baocun_Click();
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(u"新论文.rtf"_qs)));
}

TEST_F(DocumentFilesTest, AFailedSaveGetsAMessage)
{
    fixture.desktop.nextChosenFile = dir.filePath(u"missing/论文.rtf"_qs);
    form.baocun_Click();
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_TRUE(fixture.desktop.boxes[0].startsWith(u"critical|Veltrik|无法保存文件“论文.rtf”："_qs));
}

// PDF, as the program opens it: the reader is enabled at start (see the tests' main).
TEST_F(DocumentFilesTest, APdfOpensAsParagraphsWhateverItsName)
{
    const QString expected = loadDocument(kData + u"/real/pdf-thesis-running-heads.pdf"_qs, false).content.text;
    ASSERT_TRUE(expected.startsWith(u"1 绪论\r\n1.1 欢迎！\r\n"_qs));
    for (const QString &name : {u"论文.pdf"_qs, u"论文.PDF"_qs, u"论文"_qs, u"论文.doc"_qs}) {
        form.RichTextBox1()->setText(QString());
        open(copyOfFixture("real/pdf-thesis-running-heads.pdf", name));
        EXPECT_EQ(form.RichTextBox1()->text(), expected) << name.toStdString();
    }
    EXPECT_TRUE(fixture.desktop.boxes.isEmpty());
}

struct UnreadablePdfCase {
    const char *name;
    const char *fixture;
    const char16_t *fileName;
    const char16_t *box;
};

class UnreadablePdf : public DocumentFilesTest, public ::testing::WithParamInterface<UnreadablePdfCase> {};

TEST_P(UnreadablePdf, GetsAMessageAndTheTextStays)
{
    form.RichTextBox1()->setText(u"我的论文"_qs);
    open(copyOfFixture(GetParam().fixture, QString::fromUtf16(GetParam().fileName)));
    EXPECT_EQ(form.RichTextBox1()->text(), u"我的论文"_qs);
    EXPECT_EQ(fixture.desktop.boxes, QStringList{QString::fromUtf16(GetParam().box)});
}

INSTANTIATE_TEST_SUITE_P(
    Real, UnreadablePdf,
    ::testing::Values(
        UnreadablePdfCase{
            "Scan", "real/pdf-scan-without-text.pdf", u"扫描.pdf",
            u"critical|Veltrik|无法打开文件“扫描.pdf”：这个 PDF 文件没有文字层（可能是扫描件），无法取出文字"},
        UnreadablePdfCase{"Encrypted", "real/pdf-encrypted.pdf", u"加密.pdf",
                          u"critical|Veltrik|无法打开文件“加密.pdf”：这个 PDF 文件有密码保护，请先取消密码再打开"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DocumentFilesTest, ATextWithABadByteOpensWithTheByteReplacedAndANotice)
{
    const QByteArray sentence = u"本文研究学术写作中的引用规范，分析了合理引用的边界。"_qs.toUtf8();
    const QString path = dir.filePath(u"论文.txt"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(sentence + "\xFF" + sentence);
    file.close();
    open(path);
    EXPECT_TRUE(form.RichTextBox1()->text().contains(u"边界。\uFFFD本文"_qs));
    ASSERT_EQ(fixture.desktop.boxes.size(), 1);
    EXPECT_TRUE(fixture.desktop.boxes[0].startsWith(
        u"information|Veltrik|文件“论文.txt”：这个文本文件不是有效的 UTF-8：第 79 个字节（0xFF）无效"_qs))
        << fixture.desktop.boxes[0].toStdString();
}

TEST_F(DocumentFilesTest, APipeGetsAMessageAndTheTextStays)
{
    form.RichTextBox1()->setText(u"我的论文"_qs);
    const QString fifo = dir.filePath(u"管道.txt"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    open(fifo);
    EXPECT_EQ(form.RichTextBox1()->text(), u"我的论文"_qs);
    EXPECT_EQ(fixture.desktop.boxes,
              QStringList{u"critical|Veltrik|无法打开文件“管道.txt”：这不是普通文件（而是设备、管道或套接字）"_qs});
}

TEST_F(DocumentFilesTest, ParagraphFormatsSurviveOpeningAndSaving)
{
    const QString path = dir.filePath(u"格式.rtf"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({\rtf1\ansi\ansicpg936 \pard\qc\sa240 \'b1\'ea\'cc\'e2\par \pard\qj\fi480 \'d5\'fd\'ce\'c4\par})");
    file.close();
    open(path);
    EXPECT_EQ(form.RichTextBox1()->text(), u"标题\r\n正文\r\n"_qs);
    fixture.desktop.nextChosenFile = dir.filePath(u"另存.rtf"_qs);
    form.baocun_Click();
    const DocumentResult saved = loadDocument(dir.filePath(u"另存.rtf"_qs), false);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved.content.paragraphFormat(0), (ParagraphFormat{ParagraphFormat::Alignment::Center, 0, 0, 0, 0, 240}));
    EXPECT_EQ(saved.content.paragraphFormat(1),
              (ParagraphFormat{ParagraphFormat::Alignment::Justify, 480, 0, 0, 0, 0}));
}

// Reading in the background, with a reader that takes its time.
class BackgroundOpen : public ::testing::Test {
protected:
    QWidget window;
    RichEditor *editor = new RichEditor(&window);
    testing::FakeDesktop desktop;
    QString textWhileBusy;
    QString busyCaption;

    // Clicks the busy indicator's button once it shows, after noting what the window showed meanwhile.
    void whenBusy(const std::function<void(QProgressDialog &)> &act)
    {
        auto *poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, act] {
            auto *busy = window.findChild<QProgressDialog *>();
            if (!busy || !busy->isVisible())
                return;
            poll->stop();
            textWhileBusy = editor->text();
            busyCaption = busy->labelText();
            act(*busy);
        });
        poll->start(20);
    }
};

// Waits until told, at most ten seconds.
void waitFor(const std::atomic_bool &flag)
{
    QElapsedTimer waited;
    waited.start();
    while (!flag.load() && waited.elapsed() < 10000)
        QThread::msleep(5);
}

TEST_F(BackgroundOpen, CancellingKeepsTheEditorsText)
{
    DocumentFiles files(window, *editor, desktop, [](const QString &, bool, const std::atomic_bool *cancelled) {
        waitFor(*cancelled);
        return DocumentResult::ok(StyledText::plain(u"不该出现的文本"_qs));
    });
    editor->setText(u"我的论文"_qs);
    desktop.nextChosenFile = u"/论文/很大的文件.txt"_qs;
    whenBusy([](QProgressDialog &busy) { QTest::mouseClick(busy.findChild<QPushButton *>(), Qt::LeftButton); });
    files.open();
    EXPECT_EQ(busyCaption, u"正在打开“很大的文件.txt”……"_qs);
    EXPECT_EQ(textWhileBusy, u"我的论文"_qs);
    EXPECT_EQ(editor->text(), u"我的论文"_qs);
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(BackgroundOpen, TheEditorKeepsItsTextUntilTheNewOneIsReady)
{
    std::atomic_bool ready = false;
    DocumentFiles files(window, *editor, desktop, [&ready](const QString &, bool, const std::atomic_bool *) {
        waitFor(ready);
        return DocumentResult::ok(StyledText::plain(u"新的文本"_qs));
    });
    editor->setText(u"我的论文"_qs);
    desktop.nextChosenFile = u"/论文/很大的文件.txt"_qs;
    whenBusy([&ready](QProgressDialog &) { ready = true; });
    files.open();
    EXPECT_EQ(textWhileBusy, u"我的论文"_qs);
    EXPECT_EQ(editor->text(), u"新的文本"_qs);
}

// A file dropped onto the editor is read in the background too.
TEST_F(BackgroundOpen, ADroppedFileReadsInTheBackground)
{
    std::atomic_bool ready = false;
    DocumentFiles files(window, *editor, desktop, [&ready](const QString &, bool, const std::atomic_bool *) {
        waitFor(ready);
        return DocumentResult::ok(StyledText::plain(u"新的文本"_qs));
    });
    QObject::connect(editor, &RichEditor::fileDropped, &window,
                     [&files](const QString &path) { files.openFile(path); });
    editor->setText(u"我的论文"_qs);
    whenBusy([&ready](QProgressDialog &) { ready = true; });
    ASSERT_TRUE(testing::dropFile(*editor, u"/论文/很大的文件.txt"_qs));
    QElapsedTimer waited;
    waited.start();
    while (editor->text() != u"新的文本"_qs && waited.elapsed() < 10000)
        QTest::qWait(10);
    EXPECT_EQ(busyCaption, u"正在打开“很大的文件.txt”……"_qs);
    EXPECT_EQ(textWhileBusy, u"我的论文"_qs);
    EXPECT_EQ(editor->text(), u"新的文本"_qs);
}

} // namespace
} // namespace veltrik
