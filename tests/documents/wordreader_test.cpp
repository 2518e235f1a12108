#include "documents/compoundfile.h"
#include "documents/loader.h"
#include "documents/wordreader.h"
#include "support/craftedword.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <vector>

namespace veltrik {
namespace {

using Status = DocumentResult::Status;
using namespace crafted;

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(VELTRIK_TEST_DATA "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

// Where the document's FIB starts: the fixture holds the Word identifier 0xA5EC only there.
qsizetype fibOffset(const QByteArray &document)
{
    const qsizetype at = document.indexOf(QByteArray::fromHex("eca5"));
    return at == document.lastIndexOf(QByteArray::fromHex("eca5")) ? at : -1;
}

// The lines the editor shows, without the empty line after a last paragraph mark.
QStringList editorLines(const QByteArray &bytes)
{
    const DocumentResult result = loadDocumentBytes(bytes, true);
    EXPECT_TRUE(result) << result.message.toStdString();
    QStringList lines = result.content.text.split(u"\r\n"_qs);
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TEST(WordReader, ParagraphsEndWithCarriageReturns)
{
    const DocumentResult result = readWordDocument(fixture(u"sample.doc"_qs));
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_TRUE(result.content.text.startsWith(u"第一章\u3000绪论\r本文研究"_qs));
    EXPECT_TRUE(result.content.text.contains(u"用户\t共326人"_qs));
    EXPECT_TRUE(result.content.text.endsWith(u"著录规则》。\r"_qs));
}

TEST(WordReader, TheDocAndDocxOfOneDocumentGiveTheSameLines)
{
    EXPECT_EQ(editorLines(fixture(u"sample.doc"_qs)), editorLines(fixture(u"sample.docx"_qs)));
}

// Documents written by other programs (data/real/SOURCES.md), opened as the open command does.
struct RealCase {
    const char *file;
    QString start;
    QString end;
};

class RealDocuments : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealDocuments, OpenWithTheirText)
{
    const DocumentResult result = loadDocumentBytes(fixture(u"real/"_qs + QString::fromLatin1(GetParam().file)), true);
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_TRUE(result.content.text.startsWith(GetParam().start)) << result.content.text.left(80).toStdString();
    EXPECT_TRUE(result.content.text.endsWith(GetParam().end)) << result.content.text.right(80).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, RealDocuments,
    ::testing::Values(RealCase{"mimetype-doc.doc", u"Simple doc from Libre Writer v7.4.1.2"_qs, u"v7.4.1.2\r\n"_qs},
                      RealCase{"rclone-example2.doc", u"Lorem ipsum dolor sit amet, consectetur"_qs,
                               u"consectetur at augue.\r\n\r\n"_qs},
                      RealCase{"mimetype-docx.docx", u"asdasdasdasd"_qs, u"asdasdasdasd"_qs},
                      RealCase{
                          "forensics-a-text.docx",
                          u"This is a text from LibreOffice Writer...\r\n\r\nA test only.\r\n\r\nThere are 2 pages.\r\n"
                          u"\r\nThis is the second page."_qs,
                          u"Bye\r\n"_qs}),
    [](const auto &info) {
        std::string name = info.param.file;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

// Documents LibreOffice wrote from table.fodt, textbox.fodt and embedded.fodt (data/make-fixtures.sh): the
// .doc and the .docx of one document give the same lines, table cells one line each, text boxes, drawing shapes
// and embedded documents left out.
struct WrittenByLibreOffice {
    const char *stem;
    std::vector<const char *> extensions;
    QStringList lines;
};

class LibreOfficeDocuments : public ::testing::TestWithParam<WrittenByLibreOffice> {};

TEST_P(LibreOfficeDocuments, GiveTheLinesOfTheirMainText)
{
    for (const char *extension : GetParam().extensions) {
        const QString file = QString::fromLatin1(GetParam().stem) + u"-sample."_qs + QString::fromLatin1(extension);
        EXPECT_EQ(editorLines(fixture(file)), GetParam().lines) << file.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, LibreOfficeDocuments,
    ::testing::Values(WrittenByLibreOffice{"table",
                                           {"doc", "docx"},
                                           {u"表1\u3000调查对象的基本情况"_qs, u"专业"_qs, u"人数"_qs, u"占比"_qs,
                                            u"中文"_qs, u"126"_qs, u"38.7%"_qs, u"历史"_qs, u"（含考古）"_qs, u"200"_qs,
                                            QString(), u"由表1可知，多数调查对象来自人文学科。"_qs}},
                      WrittenByLibreOffice{"textbox",
                                           {"doc", "docx"},
                                           {u"正文第一段讲述研究的背景。"_qs, u"正文第二段给出研究的方法。"_qs,
                                            u"正文第三段总结全文。"_qs}},
                      WrittenByLibreOffice{
                          "embedded", {"doc"}, {u"主文档的第一段。"_qs, QString(), u"主文档的最后一段。"_qs}}),
    [](const auto &info) { return std::string(info.param.stem); });

TEST(WordReader, EncryptedDocumentsGetAMessage)
{
    QByteArray document = fixture(u"sample.doc"_qs);
    const qsizetype fib = fibOffset(document);
    ASSERT_GT(fib, 0);
    document[fib + 0x0B] = char(document[fib + 0x0B] | 0x01); // fEncrypted
    const DocumentResult result = readWordDocument(document);
    EXPECT_EQ(result.status, Status::Encrypted);
    EXPECT_TRUE(result.message.contains(u"密码"_qs));
}

TEST(WordReader, Word95DocumentsGetAMessage)
{
    QByteArray document = fixture(u"sample.doc"_qs);
    const qsizetype fib = fibOffset(document);
    ASSERT_GT(fib, 0);
    document[fib + 2] = char(0x68); // nFib of Word 95
    document[fib + 3] = char(0x00);
    const DocumentResult result = readWordDocument(document);
    EXPECT_EQ(result.status, Status::Unsupported);
    EXPECT_TRUE(result.message.contains(u"Word 6.0/95"_qs));
}

// Files as real writers save them, made here in the form that matters (see data/real/SOURCES.md).
struct WrittenCase {
    const char *name;
    QByteArray bytes;
    QString text;
};

class WordAsWritten : public ::testing::TestWithParam<WrittenCase> {};

TEST_P(WordAsWritten, GivesTheMainText)
{
    const DocumentResult result = readWordDocument(GetParam().bytes);
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_EQ(result.content.text, GetParam().text);
}

// The file ends where the document stream's text ends; the rest of its last sector is not written.
QByteArray withShortLastSector(const QString &text)
{
    QByteArray bytes = wordFile(wordStreams(text)).bytes; // the document stream fills the last sectors
    while (bytes.endsWith('\0'))
        bytes.chop(1);
    EXPECT_NE(bytes.size() % 512, 0);
    return bytes;
}

QByteArray withNamesInOtherCase(const QString &text)
{
    const WordStreams streams = wordStreams(text);
    return writeCompound({{u"WORDDOCUMENT"_qs, streams.document}, {u"1table"_qs, streams.table}}).bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Writers, WordAsWritten,
    ::testing::Values(
        WrittenCase{"short_last_sector", withShortLastSector(QString(2000, u'短') + u"\r"_qs),
                    QString(2000, u'短') + u"\r"_qs},
        WrittenCase{"embedded_word_object", wordFileWithEmbeddedObject(u"正文\r"_qs, u"嵌入对象\r"_qs), u"正文\r"_qs},
        WrittenCase{"names_in_other_case", withNamesInOtherCase(u"大小写\r"_qs), u"大小写\r"_qs},
        WrittenCase{"nested_fields_keep_their_results",
                    wordFile(u"\x13 REF a \x13 PAGE \x14"
                             u"3\x15\x14结果\x15文本\r"_qs),
                    u"结果文本\r"_qs},
        WrittenCase{"deeply_nested_fields",
                    wordFile(QString(300000, QChar(0x13)) + u"指令"_qs + QString(300000, QChar(0x15)) + u"后\r"_qs),
                    u"后\r"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

struct RefusedCase {
    const char *name;
    QByteArray bytes;
    Status status;
    QString message;
};

class WordRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(WordRefused, WithItsMessage)
{
    const DocumentResult result = readWordDocument(GetParam().bytes);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.message, GetParam().message);
}

QByteArray word6File()
{
    QByteArray document(0x200, '\0');
    putU16(document, 0, 0xA5DC);
    putU16(document, 2, 0x0065);
    return writeCompound({{u"WordDocument"_qs, document}}).bytes;
}

QByteArray workbook()
{
    return writeCompound({{u"Workbook"_qs, QByteArray(600, '\x09')}}).bytes;
}

const QString kOlderFormat = u"这是 Word 6.0/95 格式的旧文档，请先用 Word 另存为 Word 97-2003 或更新的格式"_qs;

INSTANTIATE_TEST_SUITE_P(
    Files, WordRefused,
    ::testing::Values(RefusedCase{"word6", word6File(), Status::Unsupported, kOlderFormat},
                      RefusedCase{"encrypted_docx", fixture(u"encrypted-sample.docx"_qs), Status::Encrypted,
                                  u"这个 Word 文档有密码保护，请先在 Word 中取消密码再打开"_qs},
                      RefusedCase{"another_compound_file", workbook(), Status::NotThisFormat,
                                  u"这个文件不是 Word 文档（其中没有 Word 正文）"_qs},
                      RefusedCase{"only_an_embedded_document",
                                  writeCompound({{u"ObjectPool"_qs, {}, true, 0},
                                                 {u"WordDocument"_qs, wordStreams(u"x"_qs).document, false, 1}})
                                      .bytes,
                                  Status::NotThisFormat, u"这个文件不是 Word 文档（其中没有 Word 正文）"_qs},
                      RefusedCase{"missing_table_stream",
                                  writeCompound({{u"WordDocument"_qs, wordStreams(u"x"_qs).document}}).bytes,
                                  Status::Damaged, u"Word 文件已损坏（缺少“1Table”部分）"_qs},
                      RefusedCase{"rtf", "{\\rtf1 x}", Status::NotThisFormat, u"不是 Word 97-2003 文档"_qs},
                      RefusedCase{"empty", QByteArray(), Status::NotThisFormat, u"不是 Word 97-2003 文档"_qs},
                      RefusedCase{"signature_only", QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(600, '\0'),
                                  Status::Damaged, u"Word 文件已损坏（文件头无效）"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

class HostileWordFiles : public ::testing::TestWithParam<HostileFile> {};

// The largest resident set the process has had, in MB.
long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST_P(HostileWordFiles, EndWithTheirMessage)
{
    const long peakBefore = peakMegabytes();
    const DocumentResult result = readWordDocument(GetParam().bytes);
    EXPECT_EQ(result.status, Status::Damaged);
    EXPECT_EQ(result.message, GetParam().message);
    EXPECT_LT(peakMegabytes() - peakBefore, 64) << "the reader held far more than the file";
}

INSTANTIATE_TEST_SUITE_P(Crafted, HostileWordFiles, ::testing::ValuesIn(hostileWordFiles()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(WordReader, TheTextIsNoLongerThanDeclared)
{
    WordStreams streams = wordStreams(u"一二三四五六七八九十\r"_qs);
    putU32(streams.document, 0x4C, 4);
    const DocumentResult result = readWordDocument(wordFile(streams).bytes);
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_EQ(result.content.text, u"一二三四"_qs);
}

TEST(WordReader, EveryTruncationBeyondTheLastSectorFailsCleanly)
{
    const QByteArray document = fixture(u"sample.doc"_qs);
    for (qsizetype length = 0; length < document.size() - 512; length += 97)
        EXPECT_FALSE(readWordDocument(document.left(length))) << length;
}

TEST(WordReader, NoMessageIsNestedInItself)
{
    const QByteArray document = fixture(u"sample.doc"_qs);
    for (qsizetype length = 0; length < document.size(); length += 97) {
        const QString message = readWordDocument(document.left(length)).message;
        EXPECT_LE(message.count(u"已损坏"_qs), 1) << message.toStdString();
        EXPECT_FALSE(message.contains(u"不是"_qs) && message.contains(u"已损坏"_qs)) << message.toStdString();
    }
}

} // namespace
} // namespace veltrik
