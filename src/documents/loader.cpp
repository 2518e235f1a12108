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

#include <unistd.h>

namespace veltrik {
namespace {

using Status = DocumentResult::Status;

const QString kNotARegularFile = QStringLiteral("这不是普通文件（而是设备、管道或套接字）");
constexpr qint64 kReadChunk = 4 * 1024 * 1024;

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
    result.content = result.content.withoutHiddenCharacters();
    return wordWay || !looksLikeRtf(bytes) ? withoutFormatting(std::move(result)) : result;
}

DocumentBytes readDocumentBytes(const QString &path, const std::atomic_bool *cancelled)
{
    const auto failure = [](Status status, const QString &message) {
        return DocumentBytes{QByteArray(), DocumentResult::failure(status, message)};
    };
    const QFileInfo info(path);
    if (!info.exists())
        return failure(Status::Unreadable, u"文件不存在"_qs);
    if (info.isDir())
        return failure(Status::Unreadable, u"这是一个文件夹"_qs);
    // A device or a pipe may never end, or end only when someone writes to it.
    if (!info.isFile())
        return failure(Status::Unreadable, kNotARegularFile);
    if (info.size() > kLargestDocument)
        return failure(Status::TooLarge, u"文件超过 256 MB"_qs);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Status::Unreadable, u"无法读取文件（"_qs + file.errorString() + u"）"_qs);
    QByteArray bytes;
    bytes.reserve(info.size());
    while (!file.atEnd() && bytes.size() <= kLargestDocument) {
        if (cancelled && cancelled->load())
            return failure(Status::Unreadable, u"已取消"_qs);
        const QByteArray chunk = file.read(kReadChunk);
        if (chunk.isEmpty() && file.error() != QFileDevice::NoError)
            return failure(Status::Unreadable, u"无法读取文件（"_qs + file.errorString() + u"）"_qs);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (bytes.size() > kLargestDocument)
        return failure(Status::TooLarge, u"文件超过 256 MB"_qs);
    return {std::move(bytes), std::nullopt};
}

DocumentResult loadDocument(const QString &path, bool wordWay, const std::atomic_bool *cancelled)
{
    DocumentBytes read = readDocumentBytes(path, cancelled);
    if (read.failure)
        return std::move(*read.failure);
    return loadDocumentBytes(read.bytes, wordWay);
}

namespace {

// The file a save replaces: a symbolic link's target (the link itself stays), otherwise the name.
QString saveTarget(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString existing = info.canonicalFilePath();
    return existing.isEmpty() ? info.symLinkTarget() : existing;
}

QString writeFailure(const QFileDevice &file, bool replacing)
{
    const QString reason = file.error() == QFileDevice::ResourceError
                               ? u"磁盘空间不足"_qs
                               : u"无法写入（"_qs + file.errorString() + u"）"_qs;
    return replacing ? reason + u"，原来的文件没有改动"_qs : reason;
}

// Every byte or a failure: a short write is followed by another, which reports the reason.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 now = file.write(bytes.constData() + written, bytes.size() - written);
        if (now <= 0)
            return false;
        written += now;
    }
    return true;
}

// The replaced file's owner stays where the system allows it (as root, or a group the user is in);
// elsewhere the user who saves becomes the owner.
bool keepOwner(const QSaveFile &file, const QFileInfo &replaced)
{
    if (replaced.ownerId() == ::geteuid() && replaced.groupId() == ::getegid())
        return true;
    return ::fchown(file.handle(), replaced.ownerId(), replaced.groupId()) == 0;
}

} // namespace

std::optional<QString> saveRtf(const QString &path, const StyledText &document)
{
    return saveBytes(path, writeRtf(document));
}

std::optional<QString> saveBytes(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(saveTarget(path));
    const bool replacing = target.exists();
    if (replacing && target.isDir())
        return u"这是一个文件夹"_qs;
    // Replacing a device or a pipe with a file would break what it belongs to.
    if (replacing && !target.isFile())
        return kNotARegularFile;
    // Written beside the old file and renamed over it: a failed save leaves the old file as it was.
    // The new file takes the old one's permissions.
    QSaveFile file(target.filePath());
    if (!file.open(QIODevice::WriteOnly))
        return writeFailure(file, replacing);
    if (replacing)
        keepOwner(file, target);
    if (!writeAll(file, bytes)) {
        const QString failure = writeFailure(file, replacing);
        file.cancelWriting();
        return failure;
    }
    if (!file.commit())
        return writeFailure(file, replacing);
    return std::nullopt;
}

} // namespace veltrik
