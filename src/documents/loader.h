#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <optional>

namespace veltrik {

// Opening a document the way the open command does. Both ways look at the content, not the name:
// RTF, a Word 97-2003 file (.doc), a Word 2007+ file (.docx), a PDF, otherwise plain text. PDF is read
// once enablePdfDocuments() (pdfpages.h) has been called.
//
// - The Word way (a name ending in "doc", "DOC" or "Doc") yields plain text: formatting is not carried.
// - The editor's own way keeps the formatting of RTF.
//
// Text comes with the editor's CR LF line breaks, without control characters other than tab and line
// breaks. Only regular files are read (a pipe or a device gets a message); files over 256 MB are refused.

// True for a path whose last three characters are exactly "doc", "DOC" or "Doc".
bool opensThroughWord(const QString &path);

// `wordWay` as the open command chooses it: opensThroughWord(path). Reading stops early once `cancelled`
// is set (the result is then a failure nobody needs to show).
DocumentResult loadDocument(const QString &path, bool wordWay, const std::atomic_bool *cancelled = nullptr);

// A file's bytes as loadDocument() reads them, or the failure it gives for a file it cannot read.
struct DocumentBytes {
    QByteArray bytes;
    std::optional<DocumentResult> failure;
};
DocumentBytes readDocumentBytes(const QString &path, const std::atomic_bool *cancelled = nullptr);

// The same, from bytes already read (`wordWay` chooses the way).
DocumentResult loadDocumentBytes(QByteArrayView bytes, bool wordWay);

// Saves as RTF onto a regular file or a new name; a symbolic link's target is replaced. Every byte is
// written to a file beside the old one, which replaces it only when all went well: a failed save (a full
// disk) leaves the old file as it was. The new file keeps the old one's permissions and, where the system
// allows, its owner. The reason for the user when it fails.
std::optional<QString> saveRtf(const QString &path, const StyledText &document);
// Writes the bytes as saveRtf writes its RTF: beside the old file and renamed over it once every byte is
// written, onto a regular file or a new name only. Returns the reason when the save failed.
std::optional<QString> saveBytes(const QString &path, const QByteArray &bytes);

inline constexpr qint64 kLargestDocument = 256ll * 1024 * 1024;

} // namespace veltrik
