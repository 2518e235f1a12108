#include "documents/loader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

const QString kData = QStringLiteral(VELTRIK_TEST_DATA);

// The fixture text as the editor holds it.
const QString kParagraphs[] = {
    u"第一章\u3000绪论"_qs,
    u"本文研究学术写作中的引用规范，分析了“合理引用”的边界（见表1）。"_qs,
    u"调查对象包括Word 2016用户\t共326人；结果表明……规范训练十分必要！"_qs,
    u"参考：GB/T 7714-2015《信息与文献\u3000参考文献著录规则》。"_qs,
};

QString fixtureText(bool endsWithParagraphMark)
{
    QString text = QStringList(std::begin(kParagraphs), std::end(kParagraphs)).join(u"\r\n"_qs);
    return endsWithParagraphMark ? text + u"\r\n"_qs : text;
}

struct FixtureCase {
    const char *file;
    bool endsWithParagraphMark; // Word and RTF end the last paragraph with a mark of its own
};

class Fixtures : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(Fixtures, GiveTheDocumentText)
{
    const DocumentResult result = loadDocument(kData + u'/' + QString::fromLatin1(GetParam().file), false);
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_EQ(result.content.text, fixtureText(GetParam().endsWithParagraphMark));
}

INSTANTIATE_TEST_SUITE_P(WrittenByRealWriters, Fixtures,
                         ::testing::Values(FixtureCase{"sample.doc", true}, FixtureCase{"sample.docx", false},
                                           FixtureCase{"sample.rtf", true}, FixtureCase{"text-utf8.txt", false},
                                           FixtureCase{"text-utf8-bom.txt", false},
                                           FixtureCase{"text-utf16le-bom.txt", false},
                                           FixtureCase{"text-utf16be-bom.txt", false},
                                           FixtureCase{"text-gbk.txt", false}),
                         [](const auto &info) {
                             std::string name = info.param.file;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

TEST(LoadDocument, RtfKeepsItsColoursTheWordWayDropsThem)
{
    const DocumentResult own = loadDocument(kData + u"/sample.rtf"_qs, false);
    ASSERT_TRUE(own);
    const qsizetype red = own.content.text.indexOf(u"学术写作中的引用规范"_qs);
    bool foundRed = false;
    for (const FormatRun &run : own.content.runs)
        if (run.format.color == 0xFF0000u) {
            EXPECT_EQ(run.start, red);
            EXPECT_EQ(run.length, 10);
            foundRed = true;
        }
    EXPECT_TRUE(foundRed);

    QFile file(kData + u"/sample.rtf"_qs);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const DocumentResult wordWay = loadDocumentBytes(file.readAll(), true);
    ASSERT_TRUE(wordWay);
    EXPECT_EQ(wordWay.content.text, own.content.text);
    ASSERT_EQ(wordWay.content.runs.size(), 1);
    EXPECT_FALSE(wordWay.content.runs[0].format.color.has_value());
}

struct FailureCase {
    const char *file;
    DocumentResult::Status status;
};

class BrokenFiles : public ::testing::TestWithParam<FailureCase> {};

TEST_P(BrokenFiles, GiveAMessageInsteadOfText)
{
    const DocumentResult result = loadDocument(kData + u'/' + QString::fromLatin1(GetParam().file), false);
    EXPECT_EQ(result.status, GetParam().status) << result.message.toStdString();
    EXPECT_FALSE(result.message.isEmpty());
    EXPECT_TRUE(result.content.text.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, BrokenFiles,
    ::testing::Values(FailureCase{"truncated-sample.doc", DocumentResult::Status::Damaged},
                      FailureCase{"damaged-sample.doc", DocumentResult::Status::Damaged},
                      FailureCase{"truncated-sample.docx", DocumentResult::Status::Damaged},
                      FailureCase{"damaged-text-gbk.txt", DocumentResult::Status::NotThisFormat},
                      FailureCase{"not-a-document.bin", DocumentResult::Status::NotThisFormat},
                      FailureCase{"no-such-file.txt", DocumentResult::Status::Unreadable}),
    [](const auto &info) {
        std::string name = info.param.file;
        std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

TEST(LoadDocument, TruncatedRtfKeepsTheTextBeforeTheCut)
{
    const DocumentResult result = loadDocument(kData + u"/truncated-sample.rtf"_qs, false);
    ASSERT_TRUE(result);
    EXPECT_TRUE(fixtureText(true).startsWith(result.content.text));
}

TEST(LoadDocument, DamagedFilesThatStillReadDoNotCrash)
{
    for (const char *file : {"damaged-sample.rtf", "damaged-sample.docx", "truncated-text-gbk.txt"}) {
        const DocumentResult result = loadDocument(kData + u'/' + QString::fromLatin1(file), false);
        EXPECT_TRUE(result.status == DocumentResult::Status::Ok || !result.message.isEmpty()) << file;
    }
}

TEST(LoadDocument, AFolderIsNotADocument)
{
    EXPECT_EQ(loadDocument(kData, false).status, DocumentResult::Status::Unreadable);
}

struct NameCase {
    const char *path;
    bool word;
};

class WordByName : public ::testing::TestWithParam<NameCase> {};

TEST_P(WordByName, OnlyTheThreeExactEndings)
{
    EXPECT_EQ(opensThroughWord(QString::fromUtf8(GetParam().path)), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Names, WordByName,
                         ::testing::Values(NameCase{"thesis.doc", true}, NameCase{"THESIS.DOC", true},
                                           NameCase{"Thesis.Doc", true}, NameCase{"thesis.dOc", false},
                                           NameCase{"thesis.docx", false}, NameCase{"mydoc", true},
                                           NameCase{"论文.txt", false}));

} // namespace
} // namespace veltrik

namespace veltrik {
namespace {

TEST(SaveRtf, WritesAFileThatLoadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"论文.txt"_qs); // any name receives RTF
    ASSERT_FALSE(saveRtf(path, StyledText::plain(u"内容\r\n第二段"_qs)).has_value());
    const DocumentResult read = loadDocument(path, false);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.content.text, u"内容\r\n第二段"_qs);
}

TEST(LoadDocument, AFileOver256MegabytesIsRefusedUnread)
{
    QTemporaryDir dir;
    QFile huge(dir.filePath(u"huge.txt"_qs));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kLargestDocument + 1)); // sparse: no disk space is used
    huge.close();
    const DocumentResult result = loadDocument(huge.fileName(), false);
    EXPECT_EQ(result.status, DocumentResult::Status::TooLarge);
    EXPECT_EQ(result.message, u"文件超过 256 MB"_qs);
}

TEST(SaveRtf, AFailedSaveSaysWhy)
{
    QTemporaryDir dir;
    const auto error = saveRtf(dir.filePath(u"no-such-folder/论文.rtf"_qs), StyledText::plain(u"内容"_qs));
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(u"无法写入"_qs));
}

} // namespace
} // namespace veltrik
