#include "analysis/checkstore.h"
#include "support/distinctpieces.h"
#include "support/resultpages.h"
#include "support/windowlessrun.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace veltrik {
namespace {

using testing::resultItem;
using testing::resultPage;
using testing::WindowlessRun;

const QString kCheckPage = u"<div><p>百度安全验证</p><p>请完成下方验证</p><p>拖动左侧滑块使图片为正</p></div>"_qs;

using Step = std::function<void(WindowlessRun &)>;

void writeDatabase(const QString &path, const QStringList &statements);

Step arrive(qsizetype highlightLength, const QString &title = QString())
{
    return [=](WindowlessRun &r) {
        r.arrive(
            resultPage(highlightLength, title.isEmpty() ? QString() : resultItem(title, u"http://a.test/"_qs + title)));
    };
}

const Step tick = [](WindowlessRun &r) { r.run.pacingTick(); };
const Step fail = [](WindowlessRun &r) { r.arrive(QString()); };
const Step check = [](WindowlessRun &r) { r.arrive(kCheckPage); };

// An automatic run with failures, a repeat, a security check, titles with quotes and markup, and its end.
const std::vector<Step> kRunWithEverything = {
    arrive(412, u"论文'网\""_qs),
    tick,
    fail,
    tick,
    arrive(100, u"<b>文库</b>"_qs),
    tick,
    check,
    tick,
    arrive(0, u"知道"_qs),
    tick,
    arrive(250),
    tick,
    arrive(30),
    tick,
};

class CheckFiles : public ::testing::Test {
protected:
    QTemporaryDir folder;

    QString file(const QString &name) const { return folder.filePath(name); }
};

TEST_F(CheckFiles, ACheckSavedAtAnyStepReopensWithTheSameFigures)
{
    WindowlessRun r(testing::articleOfDistinctPieces(5));
    r.run.analyse();
    r.run.start();
    for (std::size_t step = 0; step <= kRunWithEverything.size(); ++step) {
        SCOPED_TRACE(step);
        const QString path = file(u"step.vcheck"_qs);
        ASSERT_EQ(saveCheckFile(path, r.run.results()), QString());
        const CheckFileRead read = readCheckFile(path);
        ASSERT_TRUE(read.check) << read.message.toStdString();
        EXPECT_EQ(*read.check, r.run.results());
        if (step < kRunWithEverything.size())
            kRunWithEverything[step](r);
    }
    EXPECT_EQ(r.run.results().results.last().state, PieceState::Compared);
}

// A thesis whose references and table of contents the analysis leaves out.
const QString kThesisWithReferences = u"目录\r\n第一章 绪论........1\r\n第二章 方法........5\r\n第一章 绪论\r\n"_qs +
                                      testing::articleOfDistinctPieces(4) +
                                      u"\r\n参考文献\r\n[1] 张三. 论文写作[M]. 北京: 科学出版社, 2010.\r\n"_qs;

TEST_F(CheckFiles, TheFileNameAndWhatTheAnalysisLeftOutAreKept)
{
    WindowlessRun r(kThesisWithReferences);
    r.fileName = u"毕业论文.docx"_qs;
    r.run.analyse({.excludeReferences = true, .excludeQuotes = false, .excludeTableOfContents = true});
    const CheckResults &made = r.run.results();
    ASSERT_GT(made.excluded.references, 0);
    ASSERT_GT(made.excluded.tableOfContents, 0);
    const QString path = file(u"options.vcheck"_qs);
    ASSERT_EQ(saveCheckFile(path, made), QString());
    const CheckFileRead read = readCheckFile(path);
    ASSERT_TRUE(read.check) << read.message.toStdString();
    EXPECT_EQ(read.check->articleName, u"毕业论文.docx"_qs);
    EXPECT_EQ(read.check->options, made.options);
    EXPECT_EQ(read.check->excluded, made.excluded);
    EXPECT_EQ(*read.check, made);
}

// The previous format kept no exclusions; such a check opens with its results whole, every option off and
// what was left out marked as not known.
TEST_F(CheckFiles, ACheckOfThePreviousFormatOpensWithItsExclusionsUnknown)
{
    WindowlessRun r(kThesisWithReferences);
    r.run.analyse({.excludeReferences = true});
    r.run.start();
    for (const Step &step : kRunWithEverything)
        step(r);
    const QString path = file(u"previous.vcheck"_qs);
    ASSERT_EQ(saveCheckFile(path, r.run.results()), QString());
    QStringList toPreviousFormat;
    for (const char *column :
         {"exclude_references", "exclude_quotes", "exclude_table_of_contents", "excluded_references", "excluded_quotes",
          "excluded_table_of_contents", "exclusions_known"})
        toPreviousFormat << u"ALTER TABLE check_info DROP COLUMN "_qs + QString::fromLatin1(column);
    toPreviousFormat << u"PRAGMA user_version = 1"_qs;
    writeDatabase(path, toPreviousFormat);

    const CheckFileRead read = readCheckFile(path);
    ASSERT_TRUE(read.check) << read.message.toStdString();
    CheckResults expected = r.run.results();
    expected.options = {};
    expected.excluded = {};
    expected.exclusionsKnown = false;
    EXPECT_EQ(*read.check, expected);
    // Saved again, it still does not claim that nothing was left out.
    ASSERT_EQ(saveCheckFile(path, *read.check), QString());
    EXPECT_EQ(readCheckFile(path).check, expected);
}

TEST_F(CheckFiles, PiecesCommittedAsTheyArriveReopenWithTheRunsFigures)
{
    WindowlessRun r(testing::articleOfDistinctPieces(5));
    CheckStore store;
    int commits = 0;
    r.pieceChanged = [&](int piece) {
        EXPECT_EQ(store.commitPiece(r.run.results(), piece), QString());
        ++commits;
        const CheckFileRead read = readCheckFile(store.path());
        ASSERT_TRUE(read.check) << read.message.toStdString();
        EXPECT_EQ(*read.check, r.run.results());
    };
    r.run.analyse();
    ASSERT_EQ(store.create(file(u"auto.vcheck"_qs), r.run.results()), QString());
    r.run.start();
    for (const Step &step : kRunWithEverything)
        step(r);
    EXPECT_EQ(commits, 7);
}

TEST_F(CheckFiles, SavingReplacesAnEarlierFileAndALaterOneReadsTheNewCheck)
{
    WindowlessRun r(testing::articleOfDistinctPieces(2));
    r.run.analyse();
    const QString path = file(u"replaced.vcheck"_qs);
    ASSERT_EQ(saveCheckFile(path, r.run.results()), QString());
    r.run.compare();
    r.arrive(resultPage(412));
    ASSERT_EQ(saveCheckFile(path, r.run.results()), QString());
    EXPECT_EQ(readCheckFile(path).check, r.run.results());
    EXPECT_FALSE(QFile::exists(path + u".part"_qs));
}

TEST_F(CheckFiles, AFailedSaveSaysWhyAndLeavesNoFile)
{
    WindowlessRun r(testing::articleOfDistinctPieces(2));
    r.run.analyse();
    const QString path = file(u"no-such-folder/check.vcheck"_qs);
    const QString message = saveCheckFile(path, r.run.results());
    EXPECT_TRUE(message.startsWith(u"无法写入检测文件“check.vcheck.part”"_qs)) << message.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(CheckFiles, CommitsWithoutAFileAreRefused)
{
    CheckStore store;
    EXPECT_FALSE(store.commitPiece(CheckResults{}, 0).isEmpty());
}

// A database of the same engine that is no check, or a check of another format, made with Qt SQL.
void writeDatabase(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"writer"_qs);
        database.setDatabaseName(path);
        ASSERT_TRUE(database.open());
        for (const QString &statement : statements)
            ASSERT_TRUE(QSqlQuery(database).exec(statement)) << statement.toStdString();
    }
    QSqlDatabase::removeDatabase(u"writer"_qs);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

QByteArray bytesOf(const QString &path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

struct RefusedCase {
    const char *name;
    // Spoils the sound check file at `path`, or writes another file there.
    std::function<void(const QString &path)> spoil;
    QString message;
};

void PrintTo(const RefusedCase &refused, std::ostream *out)
{
    *out << refused.name;
}

class RefusedFiles : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedFiles, GiveAMessageAndNoCheck)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"thesis.vcheck"_qs);
    WindowlessRun r(testing::articleOfDistinctPieces(14));
    r.run.analyse();
    r.run.start();
    for (int k = 0; k < 14; ++k) {
        r.arrive(resultPage(100 + k, resultItem(u"标题"_qs.repeated(200), u"http://a.test/"_qs)));
        r.run.pacingTick();
    }
    ASSERT_EQ(saveCheckFile(path, r.run.results()), QString());
    GetParam().spoil(path);
    const CheckFileRead read = readCheckFile(path);
    EXPECT_FALSE(read.check);
    EXPECT_TRUE(read.message.startsWith(GetParam().message)) << read.message.toStdString();
}

const QString kDamaged = u"检测文件“thesis.vcheck”已损坏，无法打开："_qs;

INSTANTIATE_TEST_SUITE_P(
    CheckFiles, RefusedFiles,
    ::testing::Values(
        RefusedCase{"missing", [](const QString &path) { QFile::remove(path); }, u"找不到检测文件“thesis.vcheck”。"_qs},
        RefusedCase{"text_file", [](const QString &path) { writeBytes(path, QByteArray(5000, 'x')); }, kDamaged},
        RefusedCase{"empty_file", [](const QString &path) { writeBytes(path, {}); },
                    u"“thesis.vcheck”不是检测文件。"_qs},
        RefusedCase{"other_database",
                    [](const QString &path) {
                        QFile::remove(path);
                        writeDatabase(path, {u"CREATE TABLE notes (text TEXT)"_qs});
                    },
                    u"“thesis.vcheck”不是检测文件。"_qs},
        RefusedCase{
            "newer_format", [](const QString &path) { writeDatabase(path, {u"PRAGMA user_version = 3"_qs}); },
            u"“thesis.vcheck”是另一版本的程序保存的检测文件（格式 3），本版本只能打开格式 1 至 2 的检测文件。"_qs},
        RefusedCase{"cut_short",
                    [](const QString &path) {
                        const QByteArray bytes = bytesOf(path);
                        writeBytes(path, bytes.first(bytes.size() / 2));
                    },
                    kDamaged},
        RefusedCase{"pages_overwritten",
                    [](const QString &path) {
                        QByteArray bytes = bytesOf(path);
                        for (qsizetype at = 4096; at < bytes.size(); at += 2)
                            bytes[at] = char(0xA5);
                        writeBytes(path, bytes);
                    },
                    kDamaged},
        RefusedCase{"piece_without_its_predecessor",
                    [](const QString &path) { writeDatabase(path, {u"DELETE FROM pieces WHERE number = 3"_qs}); },
                    kDamaged},
        RefusedCase{"unknown_piece_state",
                    [](const QString &path) { writeDatabase(path, {u"UPDATE pieces SET state = 9"_qs}); }, kDamaged},
        RefusedCase{"item_of_no_piece",
                    [](const QString &path) {
                        writeDatabase(path, {u"INSERT INTO items VALUES (99, 0, 'x', 'http://x.test/')"_qs});
                    },
                    kDamaged},
        RefusedCase{"position_beyond_the_pieces",
                    [](const QString &path) { writeDatabase(path, {u"UPDATE check_info SET position = 15"_qs}); },
                    kDamaged},
        RefusedCase{"no_check_info", [](const QString &path) { writeDatabase(path, {u"DELETE FROM check_info"_qs}); },
                    kDamaged}),
    [](const ::testing::TestParamInfo<RefusedCase> &info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrik
