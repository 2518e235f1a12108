#include "analysis/checkstore.h"
#include "analysis/report.h"
#include "cli/cli.h"
#include "support/resultpages.h"
#include "support/windowlessrun.h"
#include "version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

struct CliRun {
    int exitCode;
    QString out;
    QString err;
};

CliRun run(const QStringList &arguments)
{
    QString out;
    QString err;
    int code = 0;
    {
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        code = runCli(arguments, outStream, errStream);
    }
    return {code, out, err};
}

class CliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString file(const QString &name, const QByteArray &content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
};

TEST_F(CliTest, AnalysePrintsTheStatusLineAndTheRows)
{
    const QString article = file(u"a.txt"_qs, QString(u"甲"_qs.repeated(38) + u"乙 \n丙"_qs).toUtf8());
    const CliRun result = run({u"analyse"_qs, article});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, u"本文共 40 字，本次分析共分析出 2 句，请多次点击进行对比！\n1-"_qs + u"甲"_qs.repeated(38) +
                              u"\n2-乙丙\n"_qs);
}

TEST_F(CliTest, AnalyseJsonHasCaptionCountRowsAndPieces)
{
    const QString article = file(u"a.txt"_qs, "\xEF\xBB\xBF第一句。第二句！\r\n");
    const CliRun result = run({u"analyse"_qs, article, u"--json"_qs});
    ASSERT_EQ(result.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_EQ(json[u"caption"_qs].toString(), u"本文共 8 字，本次分析共分析出 1 句，请多次点击进行对比！"_qs);
    EXPECT_EQ(json[u"count"_qs].toInt(), 8);
    EXPECT_EQ(json[u"rows"_qs].toArray(), QJsonArray{u"1-第一句。第二句！"_qs});
    EXPECT_EQ(json[u"pieces"_qs].toArray(), QJsonArray{u"第一句。第二句！"_qs});
}

TEST_F(CliTest, QueryPrintsTheQueryAndTheAddress)
{
    const CliRun result = run({u"query"_qs, u"3-研究“方法”"_qs, u"--engine"_qs, u"wenku"_qs, u"--json"_qs});
    ASSERT_EQ(result.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_EQ(json[u"query"_qs].toString(), u"研究 方法 "_qs);
    EXPECT_TRUE(json[u"url"_qs].toString().endsWith(
        u"/search?word=%E7%A0%94%E7%A9%B6%20%E6%96%B9%E6%B3%95%20&ie=utf-8&lm=0&od=0"_qs));
}

TEST_F(CliTest, ScoreGivesBothLabelsAfterEachPage)
{
    const QString article = file(u"a.txt"_qs, u"甲"_qs.repeated(76).toUtf8());
    const QString first =
        file(u"1.html"_qs, testing::resultPage(412, testing::resultItem(u"题"_qs, u"http://a/"_qs)).toUtf8());
    const QString second = file(u"2.html"_qs, "<p>short</p>");
    const CliRun text = run({u"score"_qs, article, first, second});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, u"现在正在对比第 1 句！共 2 句。\n本句相似度：32%\n\n目前总体相似度：32%\n"
                        u"现在正在对比第 2 句！共 2 句。\n本句相似度：0%\n\n目前总体相似度：16%\n"_qs);

    const CliRun json = run({u"score"_qs, article, first, second, u"--json"_qs});
    const QJsonArray pages = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0][u"items"_qs].toArray(),
              (QJsonArray{QJsonObject{{u"title"_qs, u"题"_qs}, {u"url"_qs, u"http://a/"_qs}}}));
    EXPECT_TRUE(pages[1][u"items"_qs].toArray().isEmpty());
    EXPECT_EQ(pages[1][u"label2"_qs].toString(), u"本句相似度：0%\r\n\r\n目前总体相似度：16%"_qs);
}

// Each page is read against the query sent for its piece, as in the window: a page that found nothing
// for a query about security checks is scored, not taken for a check.
TEST_F(CliTest, ScoreReadsEachPageAgainstTheQuerySent)
{
    const QString article = file(u"a.txt"_qs, u"百度安全验证怎么通过"_qs.toUtf8());
    const QString page = file(u"1.html"_qs, u"<p>抱歉，没有找到与“百度安全验证怎么通过”相关的网页。</p>"_qs.toUtf8());
    const CliRun result = run({u"score"_qs, article, page});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, u"现在正在对比第 1 句！共 1 句。\n本句相似度：0%\n\n目前总体相似度：0%\n"_qs);
}

TEST_F(CliTest, CompareRunsOncePerReferenceWithMarksAfterEachRun)
{
    const QString article = file(u"a.txt"_qs, "我们去公园玩。今天天气很好，\n明天下雨了。");
    const QString first = file(u"r1.txt"_qs, "我们去公园玩。");
    const QString second = file(u"r2.txt"_qs, "明天下雨了。");
    const CliRun fresh = run({u"compare"_qs, article, first, second, u"--json"_qs});
    ASSERT_EQ(fresh.exitCode, 0) << fresh.err.toStdString();
    const QJsonArray runs = QJsonDocument::fromJson(fresh.out.toUtf8()).array();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0][u"marks"_qs].toArray(), (QJsonArray{QJsonArray{0, 7}}));
    EXPECT_EQ(runs[1][u"marks"_qs].toArray(), (QJsonArray{QJsonArray{16, 6}})); // CR LF counts two
    EXPECT_TRUE(runs[1][u"label"_qs].toString().startsWith(u"你的文章一共 22 字，重复 0 段， 1 句， 6 字\r\n"_qs));

    const CliRun kept = run({u"compare"_qs, article, first, second, u"--keep-marks"_qs, u"--json"_qs});
    const QJsonArray keptRuns = QJsonDocument::fromJson(kept.out.toUtf8()).array();
    ASSERT_EQ(keptRuns.size(), 2);
    EXPECT_EQ(keptRuns[1][u"marks"_qs].toArray(), (QJsonArray{QJsonArray{0, 7}, QJsonArray{16, 6}}));
    EXPECT_TRUE(keptRuns[1][u"label"_qs].toString().startsWith(u"你的文章一共 22 字，重复 0 段， 2 句， 13 字\r\n"_qs));
}

TEST_F(CliTest, LibraryAddsListsChecksAndRemoves)
{
    const QString library = dir.filePath(u"library.db"_qs);
    QDir(dir.path()).mkdir(u"papers"_qs);
    const QString first =
        file(u"papers/first.txt"_qs, "我们去公园玩，看见很多人在跑步。他们说明天还要来这里锻炼身体。");
    file(u"papers/second.txt"_qs, "今天天气很好，适合在湖边散步。晚上大家一起回家吃饭聊天。");
    const CliRun added = run({u"library"_qs, u"add"_qs, library, dir.filePath(u"papers"_qs)});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_EQ(added.out, u"added first.txt\nadded second.txt\n"_qs);
    EXPECT_TRUE(added.err.contains(u"2/2"_qs)) << added.err.toStdString();
    EXPECT_EQ(run({u"library"_qs, u"add"_qs, library, first}).out, u"unchanged first.txt\n"_qs);

    const QStringList listed = run({u"library"_qs, u"list"_qs, library}).out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(listed.size(), 2);
    EXPECT_TRUE(listed[0].startsWith(u"first.txt\t"_qs + QString::number(QFileInfo(first).size()) + u"\t"_qs));
    EXPECT_TRUE(listed[0].endsWith(u"\t"_qs + QFileInfo(first).absoluteFilePath()));

    const QString article =
        file(u"article.txt"_qs, "开头一句话。我们去公园玩，看见很多人在跑步。他们说明天还要来这里锻炼身体。结尾");
    const CliRun checked = run({u"library"_qs, u"check"_qs, library, article, u"--json"_qs});
    ASSERT_EQ(checked.exitCode, 0) << checked.err.toStdString();
    const QJsonObject result = QJsonDocument::fromJson(checked.out.toUtf8()).object();
    const QJsonArray documents = result[u"documents"_qs].toArray();
    ASSERT_EQ(documents.size(), 1);
    EXPECT_EQ(documents[0][u"name"_qs].toString(), u"first.txt"_qs);
    const QJsonArray alone =
        QJsonDocument::fromJson(run({u"compare"_qs, article, first, u"--json"_qs}).out.toUtf8()).array();
    EXPECT_EQ(documents[0][u"marks"_qs].toArray(), alone[0][u"marks"_qs].toArray());
    EXPECT_EQ(documents[0][u"label"_qs].toString(), alone[0][u"label"_qs].toString());
    EXPECT_EQ(result[u"marks"_qs].toArray(), (QJsonArray{QJsonArray{6, 31}}));

    const CliRun removed = run({u"library"_qs, u"remove"_qs, library, u"first.txt"_qs, u"third.txt"_qs});
    EXPECT_EQ(removed.exitCode, 1);
    EXPECT_EQ(removed.out, u"removed first.txt\n"_qs);
    EXPECT_TRUE(removed.err.contains(u"no document named third.txt"_qs));
    EXPECT_TRUE(run({u"library"_qs, u"list"_qs, library}).out.startsWith(u"second.txt\t"_qs));
}

TEST_F(CliTest, ScoreReportPrintsTheSimilarSitesTable)
{
    const QString article = file(u"a.txt"_qs, u"甲"_qs.repeated(76).toUtf8());
    const QString item = testing::resultItem(u"论文网"_qs, u"http://a.test/"_qs);
    const QString first = file(u"1.html"_qs, testing::resultPage(0, item).toUtf8());
    const QString second = file(u"2.html"_qs, testing::resultPage(0, item).toUtf8());
    const CliRun result = run({u"score"_qs, article, first, second, u"--report"_qs});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(
        result.out,
        u"<br><br><br><br><br><table><tr><th>标题</th><th>出现次数</th></tr><tr><td><a href=\"http://a.test/\" target=_blank>论文网</a></td>"
        u"<td width=100 align=center>2</td></tr></table>\n"_qs);
}

TEST_F(CliTest, TextPrintsWhatTheOpenCommandWouldShow)
{
    const QString doc = QStringLiteral(VELTRIK_TEST_DATA "/sample.doc");
    const CliRun word = run({u"text"_qs, doc});
    ASSERT_EQ(word.exitCode, 0) << word.err.toStdString();
    EXPECT_TRUE(word.out.startsWith(u"第一章\u3000绪论\r\n本文研究"_qs));
    const CliRun gbk = run({u"text"_qs, QStringLiteral(VELTRIK_TEST_DATA "/text-gbk.txt")});
    EXPECT_TRUE(gbk.out.endsWith(u"参考文献著录规则》。"_qs));
    const CliRun broken = run({u"text"_qs, QStringLiteral(VELTRIK_TEST_DATA "/truncated-sample.doc")});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.err.contains(u"Word 文件已损坏"_qs));
}

TEST_F(CliTest, ToRtfWritesWhatTheSaveCommandWrites)
{
    const QString out = dir.filePath(u"out.doc"_qs);
    const CliRun result = run({u"to-rtf"_qs, QStringLiteral(VELTRIK_TEST_DATA "/sample.docx"), out});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("{\\rtf1"));
    const CliRun back = run({u"text"_qs, out}); // a .doc name: the Word way, which reads RTF too
    EXPECT_EQ(back.out, run({u"text"_qs, QStringLiteral(VELTRIK_TEST_DATA "/sample.docx")}).out);
}

TEST_F(CliTest, ASecurityCheckPageLeavesTheFiguresUnchanged)
{
    const QString article = file(u"a.txt"_qs, u"甲"_qs.repeated(76).toUtf8());
    const QString first = file(u"1.html"_qs, testing::resultPage(412).toUtf8());
    const QString check = file(u"2.html"_qs, "<title>百度安全验证</title><p>请完成下方验证</p>");
    const QString second = file(u"3.html"_qs, "<p>short</p>");
    const CliRun result = run({u"score"_qs, article, first, check, second});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, u"现在正在对比第 1 句！共 2 句。\n本句相似度：32%\n\n目前总体相似度：32%\n"
                          u"请在下方通过安全验证，之后显示第 2 句的结果\n本句相似度：32%\n\n目前总体相似度：32%\n"
                          u"现在正在对比第 2 句！共 2 句。\n本句相似度：0%\n\n目前总体相似度：16%\n"_qs);
}

struct FailureCase {
    const char *name;
    QStringList arguments;
    int exitCode;
};

class CliFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CliFailures, SayWhatIsWrongAndExitNonZero)
{
    const CliRun result = run(GetParam().arguments);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_TRUE(result.err.startsWith(u"veltrik-cli: "_qs) || GetParam().arguments.isEmpty())
        << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailures,
    ::testing::Values(
        FailureCase{"no_command", {}, 2}, FailureCase{"unknown_command", {u"compile"_qs}, 2},
        FailureCase{"missing_file", {u"analyse"_qs, u"/no/such/file.txt"_qs}, 1},
        FailureCase{"analyse_without_file", {u"analyse"_qs}, 2},
        FailureCase{"unknown_option", {u"analyse"_qs, u"a.txt"_qs, u"--fast"_qs}, 2},
        FailureCase{"unknown_engine", {u"query"_qs, u"1-甲"_qs, u"--engine"_qs, u"bing"_qs}, 2},
        FailureCase{"engine_without_name", {u"query"_qs, u"1-甲"_qs, u"--engine"_qs}, 2},
        FailureCase{"unknown_option_before_the_command", {u"--fast"_qs, u"analyse"_qs}, 2},
        FailureCase{"score_without_pages", {u"score"_qs, u"a.txt"_qs}, 2},
        FailureCase{"score_missing_article", {u"score"_qs, u"/no/a.txt"_qs, u"/no/p.html"_qs}, 1},
        FailureCase{"compare_without_reference", {u"compare"_qs, u"a.txt"_qs}, 2},
        FailureCase{"to_rtf_without_out", {u"to-rtf"_qs, u"a.txt"_qs}, 2},
        FailureCase{"library_without_action", {u"library"_qs}, 2},
        FailureCase{"library_unknown_action", {u"library"_qs, u"sort"_qs, u"lib.db"_qs}, 2},
        FailureCase{"library_add_without_files", {u"library"_qs, u"add"_qs, u"lib.db"_qs}, 2},
        FailureCase{"library_check_top_not_a_number",
                    {u"library"_qs, u"check"_qs, u"lib.db"_qs, u"a.txt"_qs, u"--top"_qs, u"many"_qs},
                    2},
        FailureCase{"library_that_is_no_database",
                    {u"library"_qs, u"list"_qs, QStringLiteral(VELTRIK_TEST_DATA "/sample.rtf")},
                    1},
        FailureCase{"check_info_without_file", {u"check-info"_qs}, 2},
        FailureCase{"report_without_out", {u"report"_qs, u"saved.vcheck"_qs}, 2},
        FailureCase{"report_of_a_missing_check", {u"report"_qs, u"/no/such.vcheck"_qs, u"--html"_qs, u"a.html"_qs}, 1},
        FailureCase{"check_info_missing_file", {u"check-info"_qs, u"/no/such.vcheck"_qs}, 1},
        FailureCase{
            "check_info_of_a_document", {u"check-info"_qs, QStringLiteral(VELTRIK_TEST_DATA "/not-a-document.bin")}, 1},
        FailureCase{"text_of_a_binary_file", {u"text"_qs, QStringLiteral(VELTRIK_TEST_DATA "/not-a-document.bin")}, 1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CliHelp, EachCommandExplainsItself)
{
    for (const QString &command : {u"analyse"_qs, u"query"_qs, u"score"_qs, u"compare"_qs, u"text"_qs, u"to-rtf"_qs,
                                   u"library"_qs, u"check-info"_qs, u"report"_qs}) {
        const CliRun result = run({command, u"--help"_qs});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out.startsWith(u"usage: veltrik-cli "_qs + command)) << command.toStdString();
    }
}

TEST(CliHelp, WithoutACommandListsTheCommands)
{
    for (const QString &option : {u"--help"_qs, u"-h"_qs}) {
        const CliRun result = run({option});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out.startsWith(u"usage: veltrik-cli COMMAND"_qs)) << result.out.toStdString();
    }
}

TEST(CliVersion, PrintsTheVersionOfTheBuild)
{
    for (const QString &option : {u"--version"_qs, u"-v"_qs}) {
        const CliRun result = run({option});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, u"veltrik-cli "_qs + QLatin1StringView(kVersion) + u"\n"_qs);
        EXPECT_TRUE(result.err.isEmpty());
    }
}

TEST_F(CliTest, OptionsMayFollowTheArgumentsOrCarryTheirValueAfterAnEqualsSign)
{
    const CliRun spaced = run({u"query"_qs, u"1-甲"_qs, u"--engine"_qs, u"wenku"_qs});
    const CliRun joined = run({u"query"_qs, u"--engine=wenku"_qs, u"1-甲"_qs});
    ASSERT_EQ(spaced.exitCode, 0) << spaced.err.toStdString();
    EXPECT_EQ(joined.out, spaced.out);
    EXPECT_TRUE(spaced.out.contains(u"/search?word="_qs)) << spaced.out.toStdString();
}

// A check of two pieces: the first compared with one item, the second sent but its page never came.
CheckResults twoPieceCheck()
{
    testing::WindowlessRun r(u"甲"_qs.repeated(40));
    r.run.analyse();
    r.run.start();
    r.arrive(testing::resultPage(412, testing::resultItem(u"论文网"_qs, u"http://a.test/"_qs)));
    r.run.pacingTick();
    CheckResults check = r.run.results();
    check.articleName = u"论文.txt"_qs;
    check.started = QDateTime(QDate(2026, 5, 1), QTime(8, 30), Qt::UTC);
    check.lastChange = check.started.addSecs(90);
    return check;
}

TEST_F(CliTest, CheckInfoPrintsTheFiguresAndEveryPiece)
{
    const QString path = dir.filePath(u"saved.vcheck"_qs);
    ASSERT_EQ(saveCheckFile(path, twoPieceCheck()), QString());
    const CliRun result = run({u"check-info"_qs, path});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out,
              u"文章：论文.txt\n引擎：百度引擎\n开始：2026-05-01T08:30:00.000Z\n"
              u"最后更改：2026-05-01T08:31:30.000Z\n排除内容：无\n目前总体相似度：32%\n已对比 1 句，共 2 句\n"
              u"1\t已对比\t32%\t"_qs +
                  u"甲"_qs.repeated(38) +
                  u"\n\t论文网\thttp://a.test/\n"
                  u"2\t未对比\t0%\t甲甲\n"_qs);
}

TEST_F(CliTest, ReportWritesTheHtmlTheWindowExports)
{
    const QString check = dir.filePath(u"saved.vcheck"_qs);
    const QString out = dir.filePath(u"报告.html"_qs);
    ASSERT_EQ(saveCheckFile(check, twoPieceCheck()), QString());
    const CliRun result = run({u"report"_qs, check, u"--html"_qs, out});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(written.readAll());
    // Everything but the date it was made, which is now.
    const QString expected = reportHtml(twoPieceCheck(), QDateTime::currentDateTime());
    const auto withoutDate = [](QString text) {
        return text.remove(QRegularExpression(u"\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}"_qs));
    };
    EXPECT_EQ(withoutDate(html), withoutDate(expected));
    EXPECT_TRUE(html.contains(u"论文网"_qs));
}

TEST_F(CliTest, CheckInfoJsonHoldsTheSameCheck)
{
    const QString path = dir.filePath(u"saved.vcheck"_qs);
    const CheckResults check = twoPieceCheck();
    ASSERT_EQ(saveCheckFile(path, check), QString());
    const CliRun result = run({u"check-info"_qs, path, u"--json"_qs});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_EQ(json[u"articleName"].toString(), u"论文.txt"_qs);
    EXPECT_EQ(json[u"engine"].toString(), u"baidu"_qs);
    EXPECT_EQ(json[u"overall"].toDouble(), 32);
    EXPECT_EQ(json[u"resultCount"].toInt(), check.resultCount);
    EXPECT_EQ(json[u"position"].toInt(), 1);
    const QJsonArray pieces = json[u"pieces"].toArray();
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0][u"state"].toString(), u"compared"_qs);
    EXPECT_EQ(pieces[0][u"items"][0][u"url"].toString(), u"http://a.test/"_qs);
    EXPECT_EQ(pieces[1][u"state"].toString(), u"notCompared"_qs);
    EXPECT_EQ(pieces[1][u"text"].toString(), u"甲甲"_qs);
    EXPECT_TRUE(json[u"exclusions"].toObject().isEmpty());
}

TEST_F(CliTest, CheckInfoSaysWhatTheAnalysisLeftOut)
{
    const QString path = dir.filePath(u"excluded.vcheck"_qs);
    CheckResults check = twoPieceCheck();
    check.options = {.excludeReferences = true, .excludeQuotes = false, .excludeTableOfContents = true};
    check.excluded = {.references = 120, .quotes = 0, .tableOfContents = 45};
    ASSERT_EQ(saveCheckFile(path, check), QString());
    EXPECT_TRUE(run({u"check-info"_qs, path})
                    .out.contains(u"排除内容：已排除参考文献 120 字，目录 45 字，共 165 字不参与对比。\n"_qs));
    const QJsonObject json = QJsonDocument::fromJson(run({u"check-info"_qs, path, u"--json"_qs}).out.toUtf8()).object();
    EXPECT_EQ(json[u"exclusions"].toObject(), (QJsonObject{{u"references"_qs, 120}, {u"tableOfContents"_qs, 45}}));
}

TEST_F(CliTest, CheckInfoOfAnUnstartedCheckHasNoOverallFigure)
{
    testing::WindowlessRun r(u"甲"_qs.repeated(40));
    r.run.analyse();
    const QString path = dir.filePath(u"fresh.vcheck"_qs);
    ASSERT_EQ(saveCheckFile(path, r.run.results()), QString());
    const QJsonObject json = QJsonDocument::fromJson(run({u"check-info"_qs, path, u"--json"_qs}).out.toUtf8()).object();
    EXPECT_TRUE(json[u"overall"].isNull());
    EXPECT_TRUE(run({u"check-info"_qs, path}).out.contains(u"目前总体相似度：—\n"_qs));
}

} // namespace
} // namespace veltrik
