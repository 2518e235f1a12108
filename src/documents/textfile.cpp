#include "textfile.h"

#include "text/codepages.h"
#include "text/linebreaks.h"

namespace veltrik {
namespace {

using Status = DocumentResult::Status;

const QString kNotSupported = QStringLiteral("不是支持的文件格式（Word、RTF、PDF 或文本文件）");
constexpr char16_t kReplacement = 0xFFFD;

// Tab, line breaks and form feed are the only control characters of real text.
bool looksLikeText(const QString &text)
{
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r' && unit != u'\f')
            return false;
    }
    return true;
}

// "第 12 个字节（0xFF）", counted from 1 as a user counts.
QString byteAt(QByteArrayView bytes, qsizetype offset)
{
    QString shown = u"第 "_qs + QString::number(offset + 1) + u" 个字节"_qs;
    if (offset < bytes.size())
        shown += u"（0x"_qs + QString::number(quint8(bytes[offset]), 16).toUpper().rightJustified(2, u'0') + u"）"_qs;
    return shown;
}

DocumentResult textOrNot(const QString &text, const QString &notice = QString())
{
    if (!looksLikeText(text))
        return DocumentResult::failure(Status::NotThisFormat, kNotSupported);
    return DocumentResult::ok(StyledText::plain(withEditorLineBreaks(text)), notice);
}

struct Utf8Reading {
    QString text;       // bad bytes replaced by U+FFFD
    qsizetype good = 0; // characters of more than one byte
    qsizetype bad = 0;  // replaced sequences
};

Utf8Reading readUtf8Leniently(QByteArrayView bytes)
{
    Utf8Reading reading{QString::fromUtf8(bytes), 0, 0};
    // U+FFFD written in the file itself is not a replacement.
    const qsizetype written = QByteArrayView(bytes).count("\xEF\xBF\xBD");
    for (QChar c : reading.text) {
        if (c.unicode() == kReplacement)
            ++reading.bad;
        else if (c.unicode() >= 0x80)
            ++reading.good;
    }
    reading.bad -= written;
    reading.good += written;
    return reading;
}

// A UTF-8 file with a few damaged bytes: its characters of several bytes far outnumber the bad bytes. GBK
// read as UTF-8 gives more bad bytes than good characters.
bool isDamagedUtf8(const Utf8Reading &reading)
{
    return reading.bad > 0 && reading.good >= 10 * reading.bad;
}

// The byte is counted in the whole file, its byte order mark included.
DocumentResult withBadBytesReplaced(QByteArrayView bytes, const Utf8Reading &reading)
{
    const qsizetype first = firstInvalidByte(bytes, "UTF-8").value_or(0);
    QString notice = u"这个文本文件不是有效的 UTF-8："_qs + byteAt(bytes, first) + u"无效"_qs;
    if (reading.bad > 1)
        notice += u"（共 "_qs + QString::number(reading.bad) + u" 处）"_qs;
    notice += u"，已替换为“\uFFFD”。请检查这些位置的文字。"_qs;
    return textOrNot(reading.text, notice);
}

DocumentResult readUtf16(QByteArrayView bytes, const char *icuName)
{
    const QByteArrayView body = bytes.sliced(2);
    if (const auto text = decodeStrictly(body, icuName))
        return textOrNot(*text);
    const qsizetype bad = 2 + firstInvalidByte(body, icuName).value_or(0);
    return DocumentResult::failure(Status::Damaged,
                                   u"文本文件已损坏：不是有效的 UTF-16（"_qs + byteAt(bytes, bad) + u"起无效）"_qs);
}

DocumentResult readUtf8OrGbk(QByteArrayView bytes, bool markedUtf8)
{
    const QByteArrayView body = markedUtf8 ? bytes.sliced(3) : bytes;
    if (const auto text = decodeStrictly(body, "UTF-8"))
        return textOrNot(*text);
    const Utf8Reading utf8 = readUtf8Leniently(body);
    if (markedUtf8 || isDamagedUtf8(utf8))
        return withBadBytesReplaced(bytes, utf8);
    if (const auto text = decodeStrictly(body, "GB18030"))
        return textOrNot(*text);
    if (!looksLikeText(utf8.text))
        return DocumentResult::failure(Status::NotThisFormat, kNotSupported);
    return DocumentResult::failure(
        Status::NotThisFormat, kNotSupported + u"：按 UTF-8 读，"_qs +
                                   byteAt(body, firstInvalidByte(body, "UTF-8").value_or(0)) + u"无效；按 GBK 读，"_qs +
                                   byteAt(body, firstInvalidByte(body, "GB18030").value_or(0)) + u"无效"_qs);
}

} // namespace

DocumentResult readTextFile(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return readUtf16(bytes, "UTF-16LE");
    if (bytes.startsWith("\xFE\xFF"))
        return readUtf16(bytes, "UTF-16BE");
    return readUtf8OrGbk(bytes, bytes.startsWith("\xEF\xBB\xBF"));
}

} // namespace veltrik
