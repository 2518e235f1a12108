#include "cli/cli.h"
#include "documents/loader.h"
#include "documents/pdfpages.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

using Status = DocumentResult::Status;

const QString kReal = QStringLiteral(VELTRIK_TEST_DATA "/real/");

QByteArray fixtureBytes(const char *name)
{
    QFile file(kReal + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The Chinese characters of a text, in order: what the analysis cuts into pieces, free of the spaces and
// line breaks in which two readers of one PDF differ.
QString chineseCharacters(const QString &text)
{
    QString han;
    for (const QChar c : text)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            han += c;
    return han;
}

class PdfDocuments : public ::testing::Test {
protected:
    static void SetUpTestSuite() { enablePdfDocuments(); }
    static void TearDownTestSuite() { setPdfPageTextReader(nullptr); }

    static DocumentResult open(const char *name) { return loadDocument(kReal + QString::fromLatin1(name), false); }
};

struct FailureCase {
    const char *name;
    QByteArray (*bytes)();
    Status status;
    QString message;
};

class PdfFailures : public PdfDocuments, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PdfFailures, NameTheReason)
{
    const DocumentResult result = loadDocumentBytes(GetParam().bytes(), false);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.message, GetParam().message);
}

const QString kNoTextLayer = u"这个 PDF 文件没有文字层（可能是扫描件），无法取出文字"_qs;
const QString kDamaged = u"PDF 文件已损坏（无法解析）"_qs;

INSTANTIATE_TEST_SUITE_P(
    Real, PdfFailures,
    ::testing::Values(FailureCase{"Scan", [] { return fixtureBytes("pdf-scan-without-text.pdf"); }, Status::Unsupported,
                                  kNoTextLayer},
                      FailureCase{"UserPassword", [] { return fixtureBytes("pdf-encrypted.pdf"); }, Status::Encrypted,
                                  u"这个 PDF 文件有密码保护，请先取消密码再打开"_qs},
                      // Only an owner password: it opens without asking, and what stops it is that it is a scan.
                      FailureCase{"OwnerPasswordOnly", [] { return fixtureBytes("pdf-scan-owner-password-only.pdf"); },
                                  Status::Unsupported, kNoTextLayer},
                      FailureCase{"Truncated", [] { return fixtureBytes("pdf-thesis-running-heads.pdf").left(150000); },
                                  Status::Damaged, kDamaged},
                      FailureCase{"OnlyTheHeader", [] { return QByteArrayLiteral("%PDF-1.7\n"); }, Status::Damaged,
                                  kDamaged},
                      FailureCase{"GarbageAfterTheHeader",
                                  [] { return QByteArrayLiteral("%PDF-1.4\n1 0 obj << /Type /Catalog >>\n%%EOF"); },
                                  Status::Damaged, kDamaged}),
    [](const auto &info) { return std::string(info.param.name); });

struct ParagraphCase {
    const char *file;
    QStringList paragraphs; // whole lines of the text
    QStringList leftOut;    // nowhere in the text
    int headLines;          // lines of pdftotext's text at the top of each page that are running heads
    int footLines;          // and at the bottom
};

class PdfParagraphs : public PdfDocuments, public ::testing::WithParamInterface<ParagraphCase> {};

TEST_P(PdfParagraphs, AreWholeAndFreeOfHeads)
{
    const DocumentResult result = open(GetParam().file);
    ASSERT_TRUE(result) << result.message.toStdString();
    const QStringList lines = result.content.text.split(u"\r\n"_qs);
    for (const QString &paragraph : GetParam().paragraphs)
        EXPECT_TRUE(lines.contains(paragraph)) << paragraph.toStdString();
    for (const QString &left : GetParam().leftOut)
        EXPECT_FALSE(result.content.text.contains(left)) << left.toStdString();
}

// pdftotext, another reader of the same pages, finds the same Chinese text in the same order once its
// running heads and foot lines are taken away: nothing is lost, doubled or moved.
TEST_P(PdfParagraphs, KeepAllTheTextPdftotextFinds)
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_qs);
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QProcess process;
    process.start(pdftotext, {u"-enc"_qs, u"UTF-8"_qs, kReal + QString::fromLatin1(GetParam().file), u"-"_qs});
    ASSERT_TRUE(process.waitForFinished(60000));
    QString expected;
    for (const QString &page : QString::fromUtf8(process.readAllStandardOutput()).split(u'\f')) {
        QStringList lines = page.split(u'\n');
        lines.removeIf([](const QString &line) { return line.trimmed().isEmpty(); });
        if (lines.isEmpty())
            continue;
        ASSERT_GT(lines.size(), GetParam().headLines + GetParam().footLines);
        expected += chineseCharacters(
            lines.mid(GetParam().headLines, lines.size() - GetParam().headLines - GetParam().footLines).join(u'\n'));
    }
    const DocumentResult result = open(GetParam().file);
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_EQ(chineseCharacters(result.content.text), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Real, PdfParagraphs,
    ::testing::Values(
        ParagraphCase{"pdf-thesis-running-heads.pdf",
                      {u"1 绪论"_qs, u"1.2.1 LATEX 小史"_qs,
                       u"LATEX 是 TEX 的改进版本，后者由 Knuth（高德纳）在上世纪七十年代研发，包含 TEX 排版程序和 "
                       u"Plain TEX 宏集这两部分。Plain TEX 可以看做是一种既定语法的编程语言，源代码对应文件后缀为.tex，"
                       u"而 TEX 程序对源代码进行解析，编译，得到排版结果。上世纪八十年代，LATEX 对 Plain TEX "
                       u"的语言体系进行了升级和重构，使得 TEX 的易用性获得了质的提升。"_qs,
                       u"本文档使用 CquThesis 本身作为模板，即 cquthesis.cls, cquthesis.sty 和 cquthesis.cfg，"
                       u"旨在展现 CquThesis 的使用方法。请结合 CquThesis 用户手册和本文档源代码进行学习和操作。"_qs,
                       u"• LATEX 的命令全部都以\\开头，例如\\XeTeX 可以生成 X TEEX；"_qs, u"cquthesis.cls"_qs,
                       u"2.2 查询文档"_qs},
                      {u"重庆大学硕士学位论文"_qs},
                      3,
                      1},
        ParagraphCase{"pdf-faq-sentence-across-pages.pdf",
                      {u"9 LATEX 2.09 和 LATEX 2ε 有什么区别？"_qs,
                       u"LATEX 2.09 是 LATEX 在 LATEX 2ε 之前的一个版本（参见问题 6 ）。LATEX 2ε 对 LATEX 2.09 "
                       u"做了很大的改进，增加了很多新功能。从文件内容上看，两者最显著的不同在于 LATEX 2.09 使用 "
                       u"\\documentstyle 命令定义文档类型以及所包含宏包，如"_qs,
                       u"C 安装升级"_qs},
                      {u"CTEX FAQ"_qs, u"常见问题集"_qs, u"B 基本概念"_qs, u"C 安装升级 7"_qs},
                      3,
                      3}),
    [](const auto &info) {
        std::string name = info.param.file;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

// Qt PDF reads a column to its end before the next: the questions of the left column (17 to 19) come
// whole before those of the right (20 to 22).
TEST_F(PdfDocuments, TwoColumnsAreReadOneAfterTheOther)
{
    const DocumentResult result = open("pdf-two-column-exam.pdf");
    ASSERT_TRUE(result) << result.message.toStdString();
    const QString &text = result.content.text;
    qsizetype previous = -1;
    for (const QString &question : {u"17.（10 分）"_qs, u"18.（12 分）"_qs, u"19.（12 分）"_qs, u"20.（12 分）"_qs,
                                    u"21.（12 分）"_qs, u"22.（12 分）"_qs}) {
        const qsizetype at = text.indexOf(question);
        EXPECT_GT(at, previous) << question.toStdString();
        previous = at;
    }
    EXPECT_TRUE(text.contains(u"\r\n（1）若小明先回答 A 类问题，记 𝑋 为小明的累计得分，求 𝑋 的分布列；\r\n"_qs));
    EXPECT_LT(text.indexOf(u"并说明理由．"_qs), text.indexOf(u"20.（12 分）"_qs));
}

TEST_F(PdfDocuments, TheCommandLinePrintsTheParagraphs)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    EXPECT_EQ(runCli({u"text"_qs, kReal + u"pdf-faq-sentence-across-pages.pdf"_qs}, outStream, errStream), 0);
    outStream.flush();
    EXPECT_TRUE(out.startsWith(u"TEX 系统是公认的数学公式排得最好的系统。"_qs));
    EXPECT_TRUE(out.contains(u"命令定义文档类型以及所包含宏包，如\r\n"_qs));
    EXPECT_TRUE(err.isEmpty());
}

TEST_F(PdfDocuments, TheCommandLineNamesTheReasonForAScan)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const QString path = kReal + u"pdf-scan-without-text.pdf"_qs;
    EXPECT_EQ(runCli({u"text"_qs, path}, outStream, errStream), 1);
    errStream.flush();
    EXPECT_EQ(err, u"veltrik-cli: cannot open "_qs + path + u": "_qs + kNoTextLayer + u"\n"_qs);
    EXPECT_TRUE(out.isEmpty());
}

} // namespace
} // namespace veltrik
