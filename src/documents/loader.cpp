#include "loader.h"

#include "compoundfile.h"
#include "docxreader.h"
#include "pdfreader.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "text/linebreaks.h"
#include "textfile.h"
#include "wordreader.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace veltrik {
namespace {

using Status = DocumentResult::Status;

DocumentResult withoutFormatting(DocumentResult result)
{
    if (result)
        result.content = StyledText::plain(withEditorLineBreaks(result.content.text));
    return result;
}

} // namespace

bool opensThroughWord(const QString &path)
{
    return path.endsWith(u"doc") || path.endsWith(u"DOC") || path.endsWith(u"Doc");
}

DocumentResult loadDocumentBytes(QByteArrayView bytes, bool wordWay)
{
    DocumentResult result;
    if (looksLikeRtf(bytes))
        result = readRtf(bytes);
    else if (CompoundFile::looksLikeCompoundFile(bytes))
        result = readWordDocument(bytes);
    else if (looksLikeZip(bytes))
        result = readDocx(bytes);
    else if (looksLikePdf(bytes))
        result = readPdf(bytes);
    else
        result = readTextFile(bytes);
    return wordWay || !looksLikeRtf(bytes) ? withoutFormatting(std::move(result)) : result;
}

DocumentResult loadDocument(const QString &path, bool wordWay)
{
    QFile file(path);
    if (!file.exists())
        return DocumentResult::failure(Status::Unreadable, u"文件不存在"_qs);
    if (QFileInfo(path).isDir())
        return DocumentResult::failure(Status::Unreadable, u"这是一个文件夹"_qs);
    if (file.size() > kLargestDocument)
        return DocumentResult::failure(Status::TooLarge, u"文件超过 256 MB"_qs);
    if (!file.open(QIODevice::ReadOnly))
        return DocumentResult::failure(Status::Unreadable, u"无法读取文件（"_qs + file.errorString() + u"）"_qs);
    const QByteArray bytes = file.read(kLargestDocument + 1);
    if (bytes.size() > kLargestDocument)
        return DocumentResult::failure(Status::TooLarge, u"文件超过 256 MB"_qs);
    return loadDocumentBytes(bytes, wordWay);
}

std::optional<QString> saveRtf(const QString &path, const StyledText &document)
{
    // Written beside the old file and renamed over it: a failed save leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return u"无法写入（"_qs + file.errorString() + u"）"_qs;
    file.write(writeRtf(document));
    if (!file.commit())
        return u"无法写入（"_qs + file.errorString() + u"）"_qs;
    return std::nullopt;
}

} // namespace veltrik
