// What the save command writes, and what the open command reads, compared with LibreOffice. Runs where
// LibreOffice is installed.
#include "documents/loader.h"
#include "documents/rtfwriter.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

class LibreOfficeReads : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString soffice = QStandardPaths::findExecutable(u"soffice"_qs);

    void SetUp() override
    {
        if (soffice.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed; the check of saved files is skipped";
    }

    // Converts the RTF to `format` and returns the converted file's bytes.
    QByteArray convert(const QByteArray &rtf, const QString &format, const QString &extension)
    {
        const QString input = dir.filePath(u"saved.rtf"_qs);
        QFile file(input);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(rtf);
        file.close();
        return convertFile(input, format, extension);
    }

    QByteArray convertFile(const QString &input, const QString &format, const QString &extension)
    {
        const QString output = dir.filePath(u"converted"_qs);
        QProcess process;
        process.start(soffice, {u"-env:UserInstallation=file://"_qs + dir.filePath(u"profile"_qs), u"--headless"_qs,
                                u"--convert-to"_qs, format, u"--outdir"_qs, output, input});
        EXPECT_TRUE(process.waitForFinished(120000));
        QFile converted(output + u'/' + QFileInfo(input).completeBaseName() + u'.' + extension);
        EXPECT_TRUE(converted.open(QIODevice::ReadOnly)) << process.readAllStandardError().toStdString();
        QByteArray bytes = converted.readAll();
        converted.remove();
        return bytes;
    }
};

StyledText sampleDocument()
{
    CharFormat song;
    song.font = u"宋体"_qs;
    song.pointSize = 10;
    CharFormat red = song;
    red.color = 0xFF0000;
    StyledText document;
    document.append(u"第一章　绪论"_qs, song);
    document.appendParagraphBreak(song);
    document.append(u"本文研究"_qs, song);
    document.append(u"学术写作中的引用规范"_qs, red);
    document.append(u"，分析了“合理引用”……Word 2016\t共326人！"_qs, song);
    return document;
}

TEST_F(LibreOfficeReads, TheSameText)
{
    const QByteArray text = convert(writeRtf(sampleDocument()), u"txt:Text (encoded):UTF8"_qs, u"txt"_qs);
    EXPECT_EQ(QString::fromUtf8(text).remove(QChar(0xFEFF)).trimmed(),
              QString(sampleDocument().text).replace(u"\r\n"_qs, u"\n"_qs));
}

TEST_F(LibreOfficeReads, TheRedMarksAndTheFont)
{
    const QString flat = QString::fromUtf8(convert(writeRtf(sampleDocument()), u"fodt"_qs, u"fodt"_qs));
    EXPECT_TRUE(flat.contains(u"fo:color=\"#ff0000\""_qs));
    EXPECT_TRUE(flat.contains(u"宋体"_qs));
    EXPECT_TRUE(flat.contains(u"学术写作中的引用规范"_qs));
}

// The lines of a text, each with its runs of spaces and tabs made one space: LibreOffice writes a list label
// indented and followed by a space where the editor keeps the label's tab.
QStringList normalisedLines(QString text)
{
    static const QRegularExpression spaces(u"[ \\t]+"_qs);
    text.remove(QChar(0xFEFF)).replace(u"\r\n"_qs, u"\n"_qs);
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        line = line.replace(spaces, u" "_qs).trimmed();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class LibreOfficeOpens : public LibreOfficeReads, public ::testing::WithParamInterface<const char *> {};

// Every readable document of the test data opens with the lines LibreOffice shows as its text: Word files
// written by Word, LibreOffice and other writers, RTF and text in each encoding. Text boxes, headers and
// footers are not part of either text.
TEST_P(LibreOfficeOpens, WithTheLinesLibreOfficeShows)
{
    const QString path = QStringLiteral(VELTRIK_TEST_DATA "/") + QString::fromLatin1(GetParam());
    const DocumentResult opened = loadDocument(path, true);
    ASSERT_TRUE(opened) << opened.message.toStdString();
    const QByteArray libreOffice = convertFile(path, u"txt:Text (encoded):UTF8"_qs, u"txt"_qs);
    ASSERT_FALSE(libreOffice.isEmpty());
    EXPECT_EQ(normalisedLines(opened.content.text), normalisedLines(QString::fromUtf8(libreOffice)));
}

INSTANTIATE_TEST_SUITE_P(
    Files, LibreOfficeOpens,
    ::testing::Values("sample.doc", "sample.docx", "sample.rtf", "table-sample.doc", "table-sample.docx",
                      "textbox-sample.doc", "textbox-sample.docx", "embedded-sample.doc", "text-utf8.txt",
                      "text-utf8-bom.txt", "text-utf16le-bom.txt", "text-utf16be-bom.txt", "text-gbk.txt",
                      "real/mimetype-doc.doc", "real/mimetype-docx.docx", "real/rclone-example2.doc",
                      "real/forensics-a-text.docx", "real/word-cp950-list-labels.rtf"),
    [](const auto &info) {
        std::string name = info.param;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

} // namespace
} // namespace veltrik
