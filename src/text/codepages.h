#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace veltrik {

// Windows code pages through ICU: 936 (GBK), 950, 949, 932, 874, 1250-1258, 437, 850, 10000 (Mac Roman).
// An unknown code page is read as 1252.

QString decodeCodePage(QByteArrayView bytes, int codePage);

// The code page of an RTF font character set (\fcharset); std::nullopt for "the document's default".
std::optional<int> codePageOfCharset(int charset);

// The two bytes code page 936 writes for a code unit; nothing for one it writes in one byte or not at all.
std::optional<QByteArray> gbkBytesOf(char16_t unit);

// Strict decoding for the text-file reader: nothing when the bytes are not valid in that encoding.
std::optional<QString> decodeStrictly(QByteArrayView bytes, const char *icuName);

// Offset of the first byte that is not valid in that encoding (a sequence cut off at the end included);
// nothing when every byte is.
std::optional<qsizetype> firstInvalidByte(QByteArrayView bytes, const char *icuName);

} // namespace veltrik
