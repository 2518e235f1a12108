// Opening a 100-page Chinese PDF as the open command does: a thesis of 100 A4 pages of about 1,100
// characters each in 宋体 12 pt, with a running head and a page number on every page, written once by Qt's
// own PDF writer (an embedded CID font with its Unicode map, as office programs write them).
#include "articles.h"
#include "documents/loader.h"
#include "documents/pdfpages.h"
#include "documents/pdfparagraphs.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

namespace {

using veltrik::benchmarks::thesisSentence;

constexpr int kPages = 100;
constexpr qsizetype kCharactersPerPage = 1100;

QByteArray writeThesisPdf()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(25, 25, 25, 25), QPageLayout::Millimeter);
    QPainter painter(&writer);
    QFont font(u"宋体"_qs);
    font.setPointSizeF(12);
    painter.setFont(font);
    const QRect area = painter.viewport();
    const int line = painter.fontMetrics().height();
    const QRect head(area.left(), area.top(), area.width(), line);
    const QRect body(area.left(), area.top() + 2 * line, area.width(), area.height() - 4 * line);
    const QRect foot(area.left(), area.bottom() - line, area.width(), line);
    int sentence = 0;
    for (int page = 0; page < kPages; ++page) {
        if (page > 0)
            writer.newPage();
        QString text;
        while (text.size() < kCharactersPerPage)
            text += thesisSentence(sentence++);
        painter.drawText(head, Qt::AlignHCenter, u"某某大学硕士学位论文"_qs);
        painter.drawText(body, Qt::TextWordWrap, text);
        painter.drawText(foot, Qt::AlignHCenter, QString::number(page + 1));
    }
    painter.end();
    return bytes;
}

const QByteArray &thesisPdf()
{
    static const QByteArray bytes = [] {
        veltrik::enablePdfDocuments();
        return writeThesisPdf();
    }();
    return bytes;
}

void BM_OpenHundredPagePdf(benchmark::State &state)
{
    const QByteArray &bytes = thesisPdf();
    qsizetype characters = 0;
    for (auto _ : state) {
        const veltrik::DocumentResult result = veltrik::loadDocumentBytes(bytes, false);
        if (!result) {
            state.SkipWithError(result.message.toStdString().c_str());
            return;
        }
        characters = result.content.text.size();
    }
    state.counters["characters"] = double(characters);
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_OpenHundredPagePdf)->Unit(benchmark::kMillisecond);

// The paragraph rebuilding alone, on the page texts Qt PDF gave.
void BM_RebuildHundredPages(benchmark::State &state)
{
    const veltrik::PdfPageTexts pages = veltrik::readPdfPageTexts(thesisPdf());
    if (pages.pages.size() != kPages) {
        state.SkipWithError("the generated PDF does not have 100 pages");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(veltrik::rebuildPdfParagraphs(pages.pages));
}
BENCHMARK(BM_RebuildHundredPages)->Unit(benchmark::kMillisecond);

} // namespace
