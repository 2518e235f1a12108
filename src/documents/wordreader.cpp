#include "wordreader.h"

#include "compoundfile.h"
#include "littleendian.h"
#include "text/codepages.h"


namespace veltrik {
namespace {

constexpr quint16 kWordIdent = 0xA5EC;
constexpr quint16 kWord97 = 0x00C1;
constexpr quint16 kEncryptedFlag = 0x0100;
constexpr quint16 kTableStreamFlag = 0x0200;
constexpr qsizetype kTextLengthAt = 0x4C;   // ccpText in FibRgLw97
constexpr qsizetype kClxOffsetAt = 0x1A2;   // fcClx in FibRgFcLcb97
constexpr qsizetype kClxLengthAt = 0x1A6;   // lcbClx
constexpr quint32 kCompressedFlag = 0x40000000;

using Status = DocumentResult::Status;

DocumentResult damaged(const QString &why)
{
    return DocumentResult::failure(Status::Damaged, u"Word 文件已损坏（"_qs + why + u"）"_qs);
}

struct Piece {
    quint32 cpStart;
    quint32 cpEnd;
    quint32 fc;
    bool compressed;
};

// The piece table: the Pcdt after any Prc entries of the Clx.
std::optional<QList<Piece>> pieceTable(QByteArrayView clx)
{
    qsizetype at = 0;
    while (at < clx.size() && clx[at] == 0x01) {
        if (at + 3 > clx.size())
            return std::nullopt;
        at += 3 + u16(clx, at + 1);
    }
    if (at + 5 > clx.size() || clx[at] != 0x02)
        return std::nullopt;
    const quint32 length = u32(clx, at + 1);
    const QByteArrayView plc = clx.sliced(at + 5);
    if (length > quint32(plc.size()) || length < 4 || (length - 4) % 12 != 0)
        return std::nullopt;
    const quint32 count = (length - 4) / 12;
    QList<Piece> pieces;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype descriptor = 4 * (count + 1) + 8 * i;
        const quint32 fc = u32(plc, descriptor + 2);
        pieces.append({u32(plc, 4 * i), u32(plc, 4 * (i + 1)), fc & ~kCompressedFlag, (fc & kCompressedFlag) != 0});
    }
    return pieces;
}

// The raw characters of CPs [0, length) from the WordDocument stream.
std::optional<QString> rawText(QByteArrayView document, const QList<Piece> &pieces, quint32 length)
{
    QString text;
    for (const Piece &piece : pieces) {
        if (piece.cpStart >= length || piece.cpEnd <= piece.cpStart)
            continue;
        const quint32 count = std::min(piece.cpEnd, length) - piece.cpStart;
        if (piece.compressed) {
            const quint64 offset = piece.fc / 2;
            if (offset + count > quint64(document.size()))
                return std::nullopt;
            text += decodeCodePage(document.sliced(qsizetype(offset), count), 1252); // compressed: code page 1252
        } else {
            const quint64 offset = piece.fc;
            if (offset + quint64(count) * 2 > quint64(document.size()))
                return std::nullopt;
            const QByteArrayView bytes = document.sliced(qsizetype(offset), qsizetype(count) * 2);
            for (qsizetype i = 0; i < bytes.size(); i += 2)
                text += QChar(u16(bytes, i));
        }
    }
    return text;
}

// Word's own marks turned into what its text shows: field codes dropped, results kept, cell marks as
// tabs, breaks as paragraph ends.
QString visibleText(const QString &raw)
{
    QString text;
    text.reserve(raw.size());
    QList<bool> inInstruction; // one per open field: still before its separator
    for (QChar c : raw) {
        switch (c.unicode()) {
        case 0x13:
            inInstruction.append(true);
            continue;
        case 0x14:
            if (!inInstruction.isEmpty())
                inInstruction.last() = false;
            continue;
        case 0x15:
            if (!inInstruction.isEmpty())
                inInstruction.removeLast();
            continue;
        default:
            break;
        }
        if (inInstruction.contains(true))
            continue;
        switch (c.unicode()) {
        case 0x07: text += u'\t'; break;
        case 0x0B:
        case 0x0C:
        case 0x0D: text += u'\r'; break;
        case 0x1E: text += u'-'; break;
        case 0x01: case 0x02: case 0x05: case 0x08: case 0x1F: break;
        default: text += c;
        }
    }
    return text;
}

} // namespace

DocumentResult readWordDocument(QByteArrayView bytes)
{
    QString error;
    const auto file = CompoundFile::open(bytes, &error);
    if (!file)
        return DocumentResult::failure(CompoundFile::looksLikeCompoundFile(bytes) ? Status::Damaged : Status::NotThisFormat,
                                       error);
    const auto document = file->stream(u"WordDocument"_qs, &error);
    if (!document)
        return DocumentResult::failure(Status::NotThisFormat, u"不是 Word 文档："_qs + error);
    if (document->size() < kClxLengthAt + 4 || u16(*document, 0) != kWordIdent)
        return damaged(u"文件信息块无效"_qs);
    const quint16 version = u16(*document, 2);
    const quint16 flags = u16(*document, 0x0A);
    if (flags & kEncryptedFlag)
        return DocumentResult::failure(Status::Encrypted, u"这个 Word 文档有密码保护，请先在 Word 中取消密码再打开"_qs);
    if (version < kWord97)
        return DocumentResult::failure(Status::Unsupported,
                                       u"这是 Word 6.0/95 格式的旧文档，请先用 Word 另存为 Word 97-2003 或更新的格式"_qs);
    const auto table = file->stream((flags & kTableStreamFlag) ? u"1Table"_qs : u"0Table"_qs, &error);
    if (!table)
        return damaged(error);
    const quint32 clxOffset = u32(*document, kClxOffsetAt);
    const quint32 clxLength = u32(*document, kClxLengthAt);
    if (quint64(clxOffset) + clxLength > quint64(table->size()))
        return damaged(u"片段表超出文件"_qs);
    const auto pieces = pieceTable(QByteArrayView(*table).sliced(clxOffset, clxLength));
    if (!pieces)
        return damaged(u"片段表无效"_qs);
    const auto raw = rawText(*document, *pieces, u32(*document, kTextLengthAt));
    if (!raw)
        return damaged(u"正文超出文件"_qs);
    return DocumentResult::ok(StyledText::plain(visibleText(*raw)));
}

} // namespace veltrik
