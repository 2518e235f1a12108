#pragma once

#include "result.h"

#include <QString>

#include <optional>

namespace veltrik {

// Opening a document the way the open command does. Both ways look at the content, not the name:
// RTF, a Word 97-2003 file (.doc), a Word 2007+ file (.docx), a PDF, otherwise plain text. PDF is read
// once enablePdfDocuments() (pdfpages.h) has been called.
//
// - The Word way (a name ending in "doc", "DOC" or "Doc") yields plain text: formatting is not carried.
// - The editor's own way keeps the formatting of RTF.
//
// Text comes with the editor's CR LF line breaks. Files over 256 MB are refused.

// True for a path whose last three characters are exactly "doc", "DOC" or "Doc".
bool opensThroughWord(const QString &path);

// `wordWay` as the open command chooses it: opensThroughWord(path).
DocumentResult loadDocument(const QString &path, bool wordWay);

// The same, from bytes already read (`wordWay` chooses the way).
DocumentResult loadDocumentBytes(QByteArrayView bytes, bool wordWay);

// Saves as RTF; the reason for the user when it fails.
std::optional<QString> saveRtf(const QString &path, const StyledText &document);

inline constexpr qint64 kLargestDocument = 256ll * 1024 * 1024;

} // namespace veltrik
