#pragma once

#include "result.h"

#include <QByteArrayView>
#include <QStringList>

namespace veltrik {

// PDF is opened through Qt PDF, which needs Qt Gui; the core stays free of it, so the part that reads a
// PDF's text layer lives in a library of its own (pdfpages.h) and is handed to the core at start.

// The text of every page of a PDF, or why there is none.
struct PdfPageTexts {
    DocumentResult::Status status = DocumentResult::Status::Ok;
    QString message; // for the user; empty when Ok
    QStringList pages;
};

using PdfPageTextReader = PdfPageTexts (*)(QByteArrayView bytes);

// Lets readPdf() use `reader`; until this is called a PDF gets the message that it cannot be read here.
void setPdfPageTextReader(PdfPageTextReader reader);

// A PDF file starts with "%PDF-", whatever its name.
bool looksLikePdf(QByteArrayView bytes);

// The PDF's text as paragraphs (see pdfparagraphs.h); a PDF without a text layer, as a scan is, gets a
// message saying so instead of an empty text.
DocumentResult readPdf(QByteArrayView bytes);

} // namespace veltrik
