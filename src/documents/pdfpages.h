#pragma once

#include "documents/pdfreader.h"

namespace veltrik {

// Reads the text layer of every page through Qt PDF. Works without an application object and without a
// display, so the command line reads PDF too.
PdfPageTexts readPdfPageTexts(QByteArrayView bytes);

// Lets every way of opening a document read PDF. Programs call it once at start.
void enablePdfDocuments();

} // namespace veltrik
