#include "documents/loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A test's name from the file it reads: letters and digits, the rest as "_".
const auto testNameOfFile = [](const auto &info) {
    std::string name = info.param.file;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
    return name;
};

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
                         testNameOfFile);

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

INSTANTIATE_TEST_SUITE_P(Damaged, BrokenFiles,
                         ::testing::Values(FailureCase{"truncated-sample.doc", DocumentResult::Status::Damaged},
                                           FailureCase{"damaged-sample.doc", DocumentResult::Status::Damaged},
                                           FailureCase{"truncated-sample.docx", DocumentResult::Status::Damaged},
                                           FailureCase{"damaged-text-gbk.txt", DocumentResult::Status::NotThisFormat},
                                           FailureCase{"not-a-document.bin", DocumentResult::Status::NotThisFormat},
                                           FailureCase{"no-such-file.txt", DocumentResult::Status::Unreadable}),
                         testNameOfFile);

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

// Crafted inputs: each is read to its end with the text, the message or the notice expected.
struct CraftedCase {
    const char *name;
    QByteArray bytes;
    DocumentResult::Status status;
    QString text;   // when read
    QString saying; // part of the message, or of the notice when read; empty for a clean read
};

class CraftedInputs : public ::testing::TestWithParam<CraftedCase> {};

TEST_P(CraftedInputs, EndWithTheExpectedTextOrMessage)
{
    const CraftedCase &c = GetParam();
    const DocumentResult result = loadDocumentBytes(c.bytes, false);
    ASSERT_EQ(result.status, c.status) << result.message.toStdString();
    EXPECT_EQ(result.content.text, c.text);
    const QString &said = result ? result.notice : result.message;
    if (c.saying.isEmpty()) {
        EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    } else {
        EXPECT_TRUE(said.contains(c.saying)) << said.toStdString();
    }
}

QByteArray utf8Thesis()
{
    return u"本文研究学术写作中的引用规范，分析了合理引用的边界。"_qs.toUtf8();
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, CraftedInputs,
    ::testing::Values(
        CraftedCase{
            "rtf_hex_escape_without_digits", R"({\rtf1\ansi a\'zzb})", DocumentResult::Status::Ok, u"azzb"_qs, {}},
        CraftedCase{"rtf_hex_escape_cut_short", R"({\rtf1\ansi a\'4})", DocumentResult::Status::Ok, u"a"_qs, {}},
        CraftedCase{"rtf_nul_and_controls_in_a_list_label",
                    R"({\rtf1\ansi\ansicpg936{\listtext\'00\'01\'2e\tab}\'d6\'d0\'00})",
                    DocumentResult::Status::Ok,
                    u".\t中"_qs,
                    {}},
        CraftedCase{"rtf_unicode_out_of_range",
                    R"({\rtf1\ansi a\u99999?b\u-40000?c})",
                    DocumentResult::Status::Ok,
                    u"abc"_qs,
                    {}},
        CraftedCase{"rtf_unicode_control_and_noncharacters",
                    R"({\rtf1\ansi a\u7?b\u65535?c\u-2?d\u64976?e})",
                    DocumentResult::Status::Ok,
                    u"abcde"_qs,
                    {}},
        CraftedCase{"rtf_unpaired_surrogates",
                    R"({\rtf1\ansi a\u-10000?b\u-9000?c\u-10179?\u-8704?})",
                    DocumentResult::Status::Ok,
                    u"abc😀"_qs,
                    {}},
        CraftedCase{"rtf_binary_beyond_the_end", R"({\rtf1\ansi ab\par cd\bin999999 xyz})", DocumentResult::Status::Ok,
                    u"ab\r\ncd"_qs, u"RTF 文件已损坏"_qs},
        CraftedCase{"text_form_feed_and_vertical_tab",
                    "a\fb\vc",
                    DocumentResult::Status::NotThisFormat,
                    {},
                    u"不是支持的文件格式"_qs},
        CraftedCase{"text_form_feed", "a\fb\r\nc", DocumentResult::Status::Ok, u"ab\r\nc"_qs, {}},
        CraftedCase{
            "text_utf8_with_one_bad_byte", utf8Thesis() + "\xFF" + utf8Thesis(), DocumentResult::Status::Ok,
            u"本文研究学术写作中的引用规范，分析了合理引用的边界。\uFFFD本文研究学术写作中的引用规范，分析了合理引用的边界。"_qs,
            u"不是有效的 UTF-8：第 79 个字节（0xFF）无效"_qs},
        CraftedCase{"text_utf8_byte_order_mark_and_one_bad_byte", "\xEF\xBB\xBFok\xFFok", DocumentResult::Status::Ok,
                    u"ok\uFFFDok"_qs, u"第 6 个字节（0xFF）"_qs},
        CraftedCase{"text_gbk_stays_gbk",
                    "\xD6\xD0\xCE\xC4\xA3\xAC\xD6\xD0\xCE\xC4",
                    DocumentResult::Status::Ok,
                    u"中文，中文"_qs,
                    {}},
        CraftedCase{"text_neither_utf8_nor_gbk",
                    "abc\x80"
                    "def",
                    DocumentResult::Status::NotThisFormat,
                    {},
                    u"按 UTF-8 读，第 4 个字节（0x80）无效；按 GBK 读，第 4 个字节（0x80）无效"_qs},
        CraftedCase{"text_utf16_of_odd_length",
                    QByteArray("\xFF\xFE"
                               "a\0b",
                               5),
                    DocumentResult::Status::Damaged,
                    {},
                    u"不是有效的 UTF-16（第 5 个字节"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LoadDocument, APipeIsRefusedWithoutWaitingForAWriter)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"管道.txt"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const DocumentResult result = loadDocument(fifo, false);
    EXPECT_EQ(result.status, DocumentResult::Status::Unreadable);
    EXPECT_EQ(result.message, u"这不是普通文件（而是设备、管道或套接字）"_qs);
}

TEST(LoadDocument, ReadingStopsWhenCancelled)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"论文.txt"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("text");
    file.close();
    const std::atomic_bool cancelled = true;
    EXPECT_FALSE(loadDocument(path, false, &cancelled));
    EXPECT_TRUE(loadDocument(path, false));
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// An article of about 1 MB in RTF.
StyledText largeArticle()
{
    return StyledText::plain(u"本文研究学术写作中的引用规范。"_qs.repeated(10000));
}

// A small file system that fills up: tmpfs where it can be mounted (as root); elsewhere nothing.
class SmallDisk {
public:
    SmallDisk()
    {
        if (::geteuid() != 0 || !m_dir.isValid())
            return;
        m_mounted = QProcess::execute(u"mount"_qs, {u"-t"_qs, u"tmpfs"_qs, u"-o"_qs, u"size=64k"_qs, u"veltrik-test"_qs,
                                                    m_dir.path()}) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(u"umount"_qs, {m_dir.path()});
    }
    bool mounted() const { return m_mounted; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

TEST(SaveRtf, AFullDiskLeavesTheOldFileAndSaysSo)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "a small tmpfs can only be mounted as root";
    const QString path = disk.filePath(u"论文.rtf"_qs);
    writeFile(path, "{\\rtf1 old}");
    const auto error = saveRtf(path, largeArticle());
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, u"磁盘空间不足，原来的文件没有改动"_qs);
    EXPECT_EQ(contentOf(path), "{\\rtf1 old}");
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files), QStringList{u"论文.rtf"_qs});
}

// The same failure anywhere: a file size limit makes the write fail part way.
TEST(SaveRtf, AWriteCutShortLeavesTheOldFileAndSaysSo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"论文.rtf"_qs);
    writeFile(path, "{\\rtf1 old}");
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto error = saveRtf(path, largeArticle());
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(u"无法写入（"_qs)) << error->toStdString();
    EXPECT_TRUE(error->endsWith(u"，原来的文件没有改动"_qs)) << error->toStdString();
    EXPECT_EQ(contentOf(path), "{\\rtf1 old}");
}

TEST(SaveRtf, APipeIsNotReplaced)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"管道"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(saveRtf(fifo, StyledText::plain(u"内容"_qs)), u"这不是普通文件（而是设备、管道或套接字）"_qs);
    struct stat status {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST(SaveRtf, ASymbolicLinkStaysAndItsTargetIsReplaced)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"论文.rtf"_qs);
    const QString link = dir.filePath(u"快捷方式.rtf"_qs);
    writeFile(target, "{\\rtf1 old}");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_FALSE(saveRtf(link, StyledText::plain(u"新内容"_qs)).has_value());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(loadDocument(target, false).content.text, u"新内容"_qs);
}

TEST(SaveRtf, TheReplacedFileKeepsItsPermissionsAndOwner)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"论文.rtf"_qs);
    writeFile(path, "{\\rtf1 old}");
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    constexpr uid_t kNobody = 65534;
    if (root) {
        ASSERT_EQ(::chown(name.constData(), kNobody, kNobody), 0);
    }
    ASSERT_FALSE(saveRtf(path, StyledText::plain(u"新内容"_qs)).has_value());
    struct stat status {};
    ASSERT_EQ(::stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(status.st_uid, kNobody);
    }
    EXPECT_EQ(loadDocument(path, false).content.text, u"新内容"_qs);
}

// Real files, as their writers saved them (tests/data/real/SOURCES-rtf.md).
struct RealRtfCase {
    const char *file;
    QString text;
    QList<ParagraphRun> paragraphs;
};

class RealRtf : public ::testing::TestWithParam<RealRtfCase> {};

TEST_P(RealRtf, GivesTheTextAndKeepsTheParagraphs)
{
    const DocumentResult result = loadDocument(kData + u"/real/"_qs + QString::fromLatin1(GetParam().file), false);
    ASSERT_TRUE(result) << result.message.toStdString();
    EXPECT_EQ(result.content.text, GetParam().text);
    EXPECT_EQ(result.content.paragraphs, GetParam().paragraphs);
    EXPECT_TRUE(result.notice.isEmpty());
    // Saved and opened again, nothing is flattened.
    QTemporaryDir dir;
    const QString saved = dir.filePath(u"saved.rtf"_qs);
    ASSERT_FALSE(saveRtf(saved, result.content).has_value());
    const DocumentResult again = loadDocument(saved, false);
    EXPECT_EQ(again.content, result.content);
}

INSTANTIATE_TEST_SUITE_P(Writers, RealRtf,
                         ::testing::Values(RealRtfCase{
                             "word-cp950-list-labels.rtf",
                             u"前a置b甲、c後d置e\tTest\r\n前a置b乙、c後d置e\tTest\r\n前a置b丙、c後d置e\ttest\r\n"_qs,
                             {{0, 3, ParagraphFormat{ParagraphFormat::Alignment::Left, -480, 480, 0, 0, 0}}}}),
                         testNameOfFile);

} // namespace
} // namespace veltrik
