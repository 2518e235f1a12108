#include "pdfpages.h"

#include <QBuffer>
#include <QPdfDocument>
#include <QPdfSelection>

namespace veltrik {
namespace {

using Status = DocumentResult::Status;

PdfPageTexts failure(Status status, const QString &message)
{
    return {status, message, {}};
}

PdfPageTexts failureOf(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::IncorrectPassword:
        return failure(Status::Encrypted, u"这个 PDF 文件有密码保护，请先取消密码再打开"_qs);
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return failure(Status::Encrypted, u"这个 PDF 文件的加密方式无法打开"_qs);
    default:
        return failure(Status::Damaged, u"PDF 文件已损坏（无法解析）"_qs);
    }
}

} // namespace

PdfPageTexts readPdfPageTexts(QByteArrayView bytes)
{
    // Qt PDF reads from the device while pages are taken out; the bytes outlive the document.
    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&device);
    if (document.status() != QPdfDocument::Status::Ready)
        return failureOf(document.error());
    PdfPageTexts texts;
    texts.pages.reserve(document.pageCount());
    for (int page = 0; page < document.pageCount(); ++page)
        texts.pages << document.getAllText(page).text();
    return texts;
}

void enablePdfDocuments()
{
    setPdfPageTextReader(&readPdfPageTexts);
}

} // namespace veltrik
