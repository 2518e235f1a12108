// Opening and saving documents in the main window, as the open and save commands do. The .doc and the
// LibreOffice RTF are made with LibreOffice when it is installed; those benchmarks are skipped otherwise.
// The .doc with tables is written by the generator of the reader tests.
#include "articles.h"
#include "components/richeditor.h"
#include "documents/rtfwriter.h"
#include "support/craftedword.h"
#include "support/form1fixture.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <zip.h>

namespace veltrik {
namespace {

constexpr qsizetype kArticleLength = 200000;

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString writeDocx(const QString &text)
{
    QByteArray xml = "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/"
                     "wordprocessingml/2006/main\"><w:body>";
    for (const QString &paragraph : text.split(u"\r\n"_qs))
        xml += "<w:p><w:r><w:t xml:space=\"preserve\">" + paragraph.toHtmlEscaped().toUtf8() + "</w:t></w:r></w:p>";
    xml += "</w:body></w:document>";
    // The package parts that Word and LibreOffice need to find the body.
    static const QByteArray contentTypes =
        "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    static const QByteArray relationships =
        "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"word/document.xml\"/></Relationships>";
    const QString path = workDir().filePath(u"thesis.docx"_qs);
    int error = 0;
    zip_t *archive = zip_open(path.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto &[name, content] :
         {std::pair{"[Content_Types].xml", &contentTypes}, std::pair{"_rels/.rels", &relationships},
          std::pair{"word/document.xml", static_cast<const QByteArray *>(&xml)}})
        zip_file_add(archive, name, zip_source_buffer(archive, content->constData(), zip_uint64_t(content->size()), 0),
                     ZIP_FL_OVERWRITE);
    zip_close(archive);
    return path;
}

// LibreOffice's conversion of the .docx, or nothing without LibreOffice.
QString convertedByLibreOffice(const QString &docx, const QString &format, const QString &extension)
{
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_qs);
    if (soffice.isEmpty())
        return {};
    QProcess process;
    process.start(soffice, {u"-env:UserInstallation=file://"_qs + workDir().filePath(u"profile"_qs), u"--headless"_qs,
                            u"--convert-to"_qs, format, u"--outdir"_qs, workDir().path(), docx});
    process.waitForFinished(300000);
    const QString path = workDir().filePath(u"thesis."_qs + extension);

    return QFile::exists(path) ? path : QString();
}

// The article as Word 97 text with every second paragraph a table row of three cells: cells end with
// character 7, and so does the row, whose mark the paragraph properties tell apart.
QString writeDocWithTables(const QString &text)
{
    QString wordText;
    QList<qsizetype> rowEnds;
    const QStringList paragraphs = text.split(u"\r\n"_qs);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i % 2 == 0) {
            wordText += paragraphs[i] + u'\r';
            continue;
        }
        const qsizetype third = paragraphs[i].size() / 3;
        for (qsizetype cell = 0; cell < 3; ++cell)
            wordText += paragraphs[i].mid(cell * third, cell == 2 ? -1 : third) + QChar(7);
        rowEnds.append(wordText.size());
        wordText += QChar(7);
    }
    const QString path = workDir().filePath(u"tables.doc"_qs);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(crafted::wordFile(wordText, rowEnds)) < 0)
        return {};
    return path;
}

struct Fixtures {
    QString docx, doc, docWithTables, libreOfficeRtf, ownRtf;
};

const Fixtures &fixtures()
{
    static const Fixtures made = [] {
        Fixtures f;
        f.docx = writeDocx(benchmarks::thesisArticle(kArticleLength));
        f.doc = convertedByLibreOffice(f.docx, u"doc:MS Word 97"_qs, u"doc"_qs);
        f.docWithTables = writeDocWithTables(benchmarks::thesisArticle(kArticleLength));
        f.libreOfficeRtf = convertedByLibreOffice(f.docx, u"rtf"_qs, u"rtf"_qs);
        return f;
    }();
    return made;
}

void openRepeatedly(benchmark::State &state, const QString &path)
{
    if (path.isEmpty()) {
        state.SkipWithError("LibreOffice is not installed");
        return;
    }
    testing::Form1Fixture fixture;
    fixture.desktop.nextChosenFile = path;
    for (auto _ : state)
        fixture.form->dakai_Click();
    state.counters["chars"] = double(fixture.form->RichTextBox1()->text().size());
}

void BM_OpenDocx(benchmark::State &state)
{
    openRepeatedly(state, fixtures().docx);
}
BENCHMARK(BM_OpenDocx)->Unit(benchmark::kMillisecond);

void BM_OpenDoc(benchmark::State &state)
{
    openRepeatedly(state, fixtures().doc);
}
BENCHMARK(BM_OpenDoc)->Unit(benchmark::kMillisecond);

void BM_OpenDocWithTables(benchmark::State &state)
{
    openRepeatedly(state, fixtures().docWithTables);
}
BENCHMARK(BM_OpenDocWithTables)->Unit(benchmark::kMillisecond);

void BM_OpenLibreOfficeRtf(benchmark::State &state)
{
    openRepeatedly(state, fixtures().libreOfficeRtf);
}
BENCHMARK(BM_OpenLibreOfficeRtf)->Unit(benchmark::kMillisecond);

// A document with 5,000 red spans, saved by the save command and opened again.
void BM_SaveWithRedSpans(benchmark::State &state)
{
    testing::Form1Fixture fixture;
    RichEditor &editor = *fixture.form->RichTextBox1();
    editor.setText(benchmarks::thesisArticle(kArticleLength));
    QList<TextSpan> spans;
    for (qsizetype start = 0; spans.size() < 5000; start += kArticleLength / 5000)
        spans.append({start, 20});
    editor.colorSpans(spans, QColor(255, 0, 0));
    editor.setSelStart(0);
    const QString path = workDir().filePath(u"saved.rtf"_qs);
    fixture.desktop.nextChosenFile = path;
    for (auto _ : state)
        fixture.form->baocun_Click();
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(BM_SaveWithRedSpans)->Unit(benchmark::kMillisecond);

void BM_OpenOwnRtfWithRedSpans(benchmark::State &state)
{
    openRepeatedly(state, workDir().filePath(u"saved.rtf"_qs));
}
BENCHMARK(BM_OpenOwnRtfWithRedSpans)->Unit(benchmark::kMillisecond);

// Every run in a font and a colour of its own: the font and colour tables grow with the document.
void BM_WriteRtfWithManyFonts(benchmark::State &state)
{
    StyledText document;
    for (qint64 i = 0; i < state.range(0); ++i) {
        CharFormat format;
        format.font = u"字体"_qs + QString::number(i);
        format.color = quint32(i);
        document.append(u"论文的一句话。"_qs, format);
    }
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = writeRtf(document).size();
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_WriteRtfWithManyFonts)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace veltrik
