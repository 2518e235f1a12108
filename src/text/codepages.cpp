#include "codepages.h"

#include <QHash>

#include <memory>
#include <unicode/ucnv.h>
#include <vector>

namespace veltrik {
namespace {

const char *icuNameOf(int codePage)
{
    switch (codePage) {
    case 936:
        return "windows-936";
    case 950:
        return "windows-950";
    case 949:
        return "windows-949";
    case 932:
        return "windows-31j";
    case 874:
        return "windows-874";
    case 437:
        return "ibm-437";
    case 850:
        return "ibm-850";
    case 10000:
        return "macintosh";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    default:
        return "windows-1252";
    }
}

struct ConverterCloser {
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter(const char *name)
{
    UErrorCode error = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &error));
    if (U_FAILURE(error))
        return nullptr;
    return converter;
}

// Converters are opened once per thread and code page.
UConverter *converterFor(int codePage)
{
    thread_local QHash<int, std::shared_ptr<UConverter>> open;
    auto found = open.find(codePage);
    if (found == open.end()) {
        Converter converter = openConverter(icuNameOf(codePage));
        if (!converter)
            converter = openConverter("windows-1252");
        found = open.insert(codePage, std::shared_ptr<UConverter>(converter.release(), ConverterCloser()));
    }
    return found.value().get();
}

QString toUnicode(UConverter *converter, QByteArrayView bytes, UErrorCode &error)
{
    QString text(bytes.size() + 1, Qt::Uninitialized);
    ucnv_reset(converter);
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar *>(text.data()), int32_t(text.size()),
                                         bytes.data(), int32_t(bytes.size()), &error);
    text.truncate(U_SUCCESS(error) ? length : 0);
    return text;
}

} // namespace

QString decodeCodePage(QByteArrayView bytes, int codePage)
{
    if (bytes.isEmpty())
        return {};
    UErrorCode error = U_ZERO_ERROR;
    return toUnicode(converterFor(codePage), bytes, error);
}

std::optional<int> codePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return std::nullopt;
    }
}

std::optional<QByteArray> gbkBytesOf(char16_t unit)
{
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return std::nullopt;
    UConverter *converter = converterFor(936);
    char bytes[4];
    UErrorCode error = U_ZERO_ERROR;
    ucnv_reset(converter);
    const UChar source[1] = {unit};
    UConverterFromUCallback oldCallback;
    const void *oldContext;
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, &oldCallback, &oldContext, &error);
    const int32_t length = ucnv_fromUChars(converter, bytes, sizeof bytes, source, 1, &error);
    UErrorCode restore = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter, oldCallback, oldContext, nullptr, nullptr, &restore);
    if (U_FAILURE(error) || length != 2)
        return std::nullopt;
    return QByteArray(bytes, 2);
}

std::optional<QString> decodeStrictly(QByteArrayView bytes, const char *icuName)
{
    Converter converter = openConverter(icuName);
    if (!converter)
        return std::nullopt;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    QString text(bytes.size() + 1, Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar *>(text.data()), int32_t(text.size()),
                                         bytes.data(), int32_t(bytes.size()), &error);
    if (U_FAILURE(error))
        return std::nullopt;
    text.truncate(length);
    return text;
}

std::optional<qsizetype> firstInvalidByte(QByteArrayView bytes, const char *icuName)
{
    Converter converter = openConverter(icuName);
    if (!converter)
        return 0;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    std::vector<UChar> buffer(64 * 1024);
    const char *source = bytes.data();
    const char *const end = bytes.data() + bytes.size();
    do {
        error = U_ZERO_ERROR;
        UChar *target = buffer.data();
        ucnv_toUnicode(converter.get(), &target, target + buffer.size(), &source, end, nullptr, true, &error);
    } while (error == U_BUFFER_OVERFLOW_ERROR);
    if (U_SUCCESS(error))
        return std::nullopt;
    // The converter has consumed the offending bytes; they are the ones just before `source`.
    char invalid[32];
    int8_t invalidLength = sizeof invalid;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(converter.get(), invalid, &invalidLength, &ignored);
    return qsizetype(source - bytes.data()) - (U_SUCCESS(ignored) ? invalidLength : 0);
}

} // namespace veltrik
