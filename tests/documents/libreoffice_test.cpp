// What the save command writes, as LibreOffice reads it. Runs where LibreOffice is installed.
#include "documents/rtfwriter.h"

#include <QFile>
#include <QProcess>
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
        QProcess process;
        process.start(soffice, {u"-env:UserInstallation=file://"_qs + dir.filePath(u"profile"_qs), u"--headless"_qs,
                                u"--convert-to"_qs, format, u"--outdir"_qs, dir.path(), input});
        EXPECT_TRUE(process.waitForFinished(120000));
        QFile converted(dir.filePath(u"saved."_qs + extension));
        EXPECT_TRUE(converted.open(QIODevice::ReadOnly)) << process.readAllStandardError().toStdString();
        return converted.readAll();
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

} // namespace
} // namespace veltrik
