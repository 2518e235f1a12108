#include "documents/compoundfile.h"
#include "documents/wordreader.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(VELTRIK_TEST_DATA "/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Where the document's FIB starts: the fixture holds the Word identifier 0xA5EC only there.
qsizetype fibOffset(const QByteArray &document)
{
    const qsizetype at = document.indexOf(QByteArray::fromHex("eca5"));
    return at == document.lastIndexOf(QByteArray::fromHex("eca5")) ? at : -1;
}

TEST(WordReader, ParagraphsEndWithCarriageReturns)
{
    const DocumentResult result = readWordDocument(fixture("sample.doc"));
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_TRUE(result.content.text.startsWith(u"第一章\u3000绪论\r本文研究"_qs));
    EXPECT_TRUE(result.content.text.contains(u"用户\t共326人"_qs));
    EXPECT_TRUE(result.content.text.endsWith(u"著录规则》。\r"_qs));
}

TEST(WordReader, EncryptedDocumentsGetAMessage)
{
    QByteArray document = fixture("sample.doc");
    const qsizetype fib = fibOffset(document);
    ASSERT_GT(fib, 0);
    document[fib + 0x0B] = char(document[fib + 0x0B] | 0x01); // fEncrypted
    const DocumentResult result = readWordDocument(document);
    EXPECT_EQ(result.status, DocumentResult::Status::Encrypted);
    EXPECT_TRUE(result.message.contains(u"密码"_qs));
}

TEST(WordReader, Word95DocumentsGetAMessage)
{
    QByteArray document = fixture("sample.doc");
    const qsizetype fib = fibOffset(document);
    ASSERT_GT(fib, 0);
    document[fib + 2] = char(0x68); // nFib of Word 95
    document[fib + 3] = char(0x00);
    const DocumentResult result = readWordDocument(document);
    EXPECT_EQ(result.status, DocumentResult::Status::Unsupported);
    EXPECT_TRUE(result.message.contains(u"Word 6.0/95"_qs));
}

TEST(WordReader, ACircularSectorChainIsAnError)
{
    QByteArray document = fixture("sample.doc");
    // Point the first FAT entry at itself, then the directory chain at sector 0.
    const qsizetype firstFatSector = (qFromLittleEndian<quint32>(document.constData() + 0x4C) + 1) * 512;
    document.replace(firstFatSector, 4, QByteArray::fromHex("00000000"));
    document.replace(0x30, 4, QByteArray::fromHex("00000000"));
    const DocumentResult result = readWordDocument(document);
    EXPECT_EQ(result.status, DocumentResult::Status::Damaged);
}

TEST(WordReader, OtherFilesAreNotWordDocuments)
{
    EXPECT_EQ(readWordDocument("{\\rtf1 x}").status, DocumentResult::Status::NotThisFormat);
    EXPECT_EQ(readWordDocument(QByteArray()).status, DocumentResult::Status::NotThisFormat);
    EXPECT_FALSE(readWordDocument(QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(600, '\0')));
}

TEST(WordReader, EveryTruncationFailsCleanly)
{
    const QByteArray document = fixture("sample.doc");
    for (qsizetype length = 0; length < document.size(); length += 97)
        EXPECT_FALSE(readWordDocument(document.left(length))) << length;
}

} // namespace
} // namespace veltrik
