#include "wordreader.h"

#include "compoundfile.h"
#include "littleendian.h"
#include "text/codepages.h"

#include <QSet>

namespace veltrik {
namespace {

constexpr quint16 kWordIdent = 0xA5EC;
constexpr quint16 kWord6Ident = 0xA5DC;
constexpr quint16 kWord97 = 0x00C1;
constexpr quint16 kEncryptedFlag = 0x0100;
constexpr quint16 kTableStreamFlag = 0x0200;
constexpr qsizetype kTextLengthAt = 0x4C;     // ccpText in FibRgLw97
constexpr qsizetype kParagraphBinsAt = 0x102; // fcPlcfBtePapx in FibRgFcLcb97, its length follows
constexpr qsizetype kClxOffsetAt = 0x1A2;     // fcClx in FibRgFcLcb97
constexpr qsizetype kClxLengthAt = 0x1A6;     // lcbClx
constexpr quint32 kCompressedFlag = 0x40000000;
constexpr qsizetype kFkpSize = 512;
constexpr quint16 kRowEndSprm = 0x2417;          // sprmPFTtp: the paragraph is a table row's end mark
constexpr quint16 kInnerRowEndSprm = 0x244C;     // sprmPFInnerTtp, the same in a nested table
constexpr quint16 kTableDefinitionSprm = 0xD608; // sprmTDefTable, whose operand has a 2-byte length
constexpr char16_t kCellMark = 0x07;

using Status = DocumentResult::Status;

DocumentResult damaged(const QString &why)
{
    return DocumentResult::failure(Status::Damaged, u"Word 文件已损坏（"_qs + why + u"）"_qs);
}

DocumentResult olderWordFormat()
{
    return DocumentResult::failure(Status::Unsupported,
                                   u"这是 Word 6.0/95 格式的旧文档，请先用 Word 另存为 Word 97-2003 或更新的格式"_qs);
}

DocumentResult passwordProtected()
{
    return DocumentResult::failure(Status::Encrypted, u"这个 Word 文档有密码保护，请先在 Word 中取消密码再打开"_qs);
}

struct Piece {
    quint32 cpStart;
    quint32 cpEnd;
    quint32 fc;
    bool compressed;
};

// The piece table: the Pcdt after any Prc entries of the Clx. Its character positions only ever grow,
// so the pieces together never hold more text than the last position says.
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
    pieces.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype descriptor = 4 * (count + 1) + 8 * i;
        const quint32 fc = u32(plc, descriptor + 2);
        const Piece piece{u32(plc, 4 * i), u32(plc, 4 * (i + 1)), fc & ~kCompressedFlag, (fc & kCompressedFlag) != 0};
        if (piece.cpEnd < piece.cpStart)
            return std::nullopt;
        pieces.append(piece);
    }
    return pieces;
}

// The operand length of one property modifier, from the size class in its top three bits; nothing for
// the rare kinds whose length needs their content read.
std::optional<qsizetype> operandLength(QByteArrayView grpprl, qsizetype operandAt, quint16 sprm)
{
    switch (sprm >> 13) {
    case 0:
    case 1:
        return 1;
    case 2:
    case 4:
    case 5:
        return 2;
    case 3:
        return 4;
    case 7:
        return 3;
    default:
        break;
    }
    if (sprm == kTableDefinitionSprm) {
        if (operandAt + 2 > grpprl.size())
            return std::nullopt;
        return 2 + qsizetype(u16(grpprl, operandAt)) - 1;
    }
    if (operandAt + 1 > grpprl.size() || quint8(grpprl[operandAt]) == 0xFF)
        return std::nullopt;
    return 1 + qsizetype(quint8(grpprl[operandAt]));
}

bool marksRowEnd(QByteArrayView grpprl)
{
    for (qsizetype at = 0; at + 2 <= grpprl.size();) {
        const quint16 sprm = u16(grpprl, at);
        const auto length = operandLength(grpprl, at + 2, sprm);
        if (!length || at + 2 + *length > grpprl.size())
            return false;
        if ((sprm == kRowEndSprm || sprm == kInnerRowEndSprm) && grpprl[at + 2] != 0)
            return true;
        at += 2 + *length;
    }
    return false;
}

// Where the paragraphs that end table rows end (byte offsets in the WordDocument stream), from the
// paragraph properties' pages. A row's end mark is a character 7 like a cell's, told apart only here.
// Unreadable properties are not fatal: the row ends then read as empty paragraphs.
QSet<quint32> rowEnds(QByteArrayView document, QByteArrayView table)
{
    QSet<quint32> ends;
    const quint32 plcAt = u32(document, kParagraphBinsAt);
    const quint32 plcLength = u32(document, kParagraphBinsAt + 4);
    if (plcLength < 4 || quint64(plcAt) + plcLength > quint64(table.size()))
        return ends;
    const QByteArrayView plc = table.sliced(plcAt, plcLength);
    const qsizetype pages = (plc.size() - 4) / 8;
    for (qsizetype i = 0; i < pages; ++i) {
        const quint64 pageAt = quint64(u32(plc, 4 * (pages + 1) + 4 * i) & 0x3FFFFF) * kFkpSize;
        if (pageAt + kFkpSize > quint64(document.size()))
            continue;
        const QByteArrayView page = document.sliced(qsizetype(pageAt), kFkpSize);
        const int runs = quint8(page[kFkpSize - 1]);
        for (int run = 0; run < runs && 4 * (runs + 1) + 13 * (run + 1) <= kFkpSize - 1; ++run) {
            const qsizetype papxAt = 2 * qsizetype(quint8(page[4 * (runs + 1) + 13 * run]));
            if (papxAt == 0 || papxAt + 2 > kFkpSize)
                continue;
            const int cb = quint8(page[papxAt]);
            const qsizetype start = cb == 0 ? papxAt + 2 : papxAt + 1;
            const qsizetype length = cb == 0 ? 2 * qsizetype(quint8(page[papxAt + 1])) : 2 * cb - 1;
            if (length < 2 || start + length > kFkpSize)
                continue;
            if (marksRowEnd(page.sliced(start + 2, length - 2))) // after the style index
                ends.insert(u32(page, 4 * (run + 1)));
        }
    }
    return ends;
}

// The raw characters of CPs [0, length) from the WordDocument stream, without the marks of row ends.
std::optional<QString> rawText(QByteArrayView document, const QList<Piece> &pieces, quint32 length,
                               const QSet<quint32> &rowEndsAt)
{
    QString text;
    text.reserve(length);
    for (const Piece &piece : pieces) {
        if (piece.cpStart >= length || piece.cpEnd <= piece.cpStart)
            continue;
        const quint32 count = std::min(piece.cpEnd, length) - piece.cpStart;
        const quint64 offset = piece.compressed ? piece.fc / 2 : piece.fc;
        const int width = piece.compressed ? 1 : 2;
        if (offset + quint64(count) * width > quint64(document.size()))
            return std::nullopt;
        const QByteArrayView bytes = document.sliced(qsizetype(offset), qsizetype(count) * width);
        // Compressed pieces hold code page 1252.
        const QString characters = piece.compressed
                                       ? decodeCodePage(bytes, 1252)
                                       : QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.data()), count);
        for (qsizetype i = 0; i < characters.size(); ++i) {
            const bool rowEnd = characters[i] == kCellMark && rowEndsAt.contains(quint32(offset + (i + 1) * width));
            if (!rowEnd)
                text += characters[i];
        }
    }
    return text;
}

// Word's own marks turned into what its text shows: field codes dropped, results kept, every table cell
// ended as a paragraph, breaks as paragraph ends. Linear however deeply fields nest.
QString visibleText(const QString &raw)
{
    QString text;
    text.reserve(raw.size());
    QList<bool> inInstruction; // one per open field: still before its separator
    qsizetype openInstructions = 0;
    for (QChar c : raw) {
        switch (c.unicode()) {
        case 0x13:
            inInstruction.append(true);
            ++openInstructions;
            continue;
        case 0x14:
            if (!inInstruction.isEmpty() && inInstruction.last()) {
                inInstruction.last() = false;
                --openInstructions;
            }
            continue;
        case 0x15:
            if (!inInstruction.isEmpty() && inInstruction.takeLast())
                --openInstructions;
            continue;
        default:
            break;
        }
        if (openInstructions > 0)
            continue;
        switch (c.unicode()) {
        case kCellMark:
        case 0x0B:
        case 0x0C:
        case 0x0D:
            text += u'\r';
            break;
        case 0x1E:
            text += u'-';
            break;
        case 0x01:
        case 0x02:
        case 0x05:
        case 0x08:
        case 0x1F:
            break;
        default:
            text += c;
        }
    }
    return text;
}

} // namespace

DocumentResult readWordDocument(QByteArrayView bytes)
{
    if (!CompoundFile::looksLikeCompoundFile(bytes))
        return DocumentResult::failure(Status::NotThisFormat, u"不是 Word 97-2003 文档"_qs);
    QString error;
    const auto file = CompoundFile::open(bytes, &error);
    if (!file)
        return damaged(error);
    // A password-protected .docx is a compound file holding the encrypted package.
    if (file->hasStream(u"EncryptedPackage"_qs))
        return passwordProtected();
    if (!file->hasStream(u"WordDocument"_qs))
        return DocumentResult::failure(Status::NotThisFormat, u"这个文件不是 Word 文档（其中没有 Word 正文）"_qs);
    const auto document = file->stream(u"WordDocument"_qs, &error);
    if (!document)
        return damaged(error);
    if (document->size() >= 2 && u16(*document, 0) == kWord6Ident)
        return olderWordFormat();
    if (document->size() < kClxLengthAt + 4 || u16(*document, 0) != kWordIdent)
        return damaged(u"文件信息块无效"_qs);
    const quint16 flags = u16(*document, 0x0A);
    if (flags & kEncryptedFlag)
        return passwordProtected();
    if (u16(*document, 2) < kWord97)
        return olderWordFormat();
    const auto table = file->stream((flags & kTableStreamFlag) ? u"1Table"_qs : u"0Table"_qs, &error);
    if (!table)
        return damaged(error);
    // Every character takes at least a byte of the stream: a longer declared text is not this file's.
    const quint32 textLength = u32(*document, kTextLengthAt);
    if (textLength > quint64(document->size()))
        return damaged(u"声明的字数超出文件"_qs);
    const quint32 clxOffset = u32(*document, kClxOffsetAt);
    const quint32 clxLength = u32(*document, kClxLengthAt);
    if (quint64(clxOffset) + clxLength > quint64(table->size()))
        return damaged(u"片段表超出文件"_qs);
    const auto pieces = pieceTable(QByteArrayView(*table).sliced(clxOffset, clxLength));
    if (!pieces)
        return damaged(u"片段表无效"_qs);
    const auto raw = rawText(*document, *pieces, textLength, rowEnds(*document, *table));
    if (!raw)
        return damaged(u"正文超出文件"_qs);
    return DocumentResult::ok(StyledText::plain(visibleText(*raw)));
}

} // namespace veltrik
