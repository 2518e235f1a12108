#include "pdfreader.h"

#include "pdfparagraphs.h"

namespace veltrik {
namespace {

PdfPageTextReader pageTextReader = nullptr;

} // namespace

void setPdfPageTextReader(PdfPageTextReader reader)
{
    pageTextReader = reader;
}

bool looksLikePdf(QByteArrayView bytes)
{
    return bytes.startsWith("%PDF-");
}

DocumentResult readPdf(QByteArrayView bytes)
{
    using Status = DocumentResult::Status;
    if (!pageTextReader)
        return DocumentResult::failure(Status::Unsupported, u"这里不能读取 PDF 文件"_qs);
    const PdfPageTexts pages = pageTextReader(bytes);
    if (pages.status != Status::Ok)
        return DocumentResult::failure(pages.status, pages.message);
    const QString text = rebuildPdfParagraphs(pages.pages);
    if (text.isEmpty())
        return DocumentResult::failure(Status::Unsupported,
                                       u"这个 PDF 文件没有文字层（可能是扫描件），无法取出文字"_qs);
    return DocumentResult::ok(StyledText::plain(text));
}

} // namespace veltrik
