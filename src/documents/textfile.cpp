#include "textfile.h"

#include "text/codepages.h"
#include "text/linebreaks.h"

namespace veltrik {
namespace {

using Status = DocumentResult::Status;

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

std::optional<QString> decode(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeStrictly(bytes.sliced(3), "UTF-8");
    if (bytes.startsWith("\xFF\xFE"))
        return decodeStrictly(bytes.sliced(2), "UTF-16LE");
    if (bytes.startsWith("\xFE\xFF"))
        return decodeStrictly(bytes.sliced(2), "UTF-16BE");
    if (auto utf8 = decodeStrictly(bytes, "UTF-8"))
        return utf8;
    return decodeStrictly(bytes, "GB18030");
}

} // namespace

DocumentResult readTextFile(QByteArrayView bytes)
{
    const auto text = decode(bytes);
    if (!text || !looksLikeText(*text))
        return DocumentResult::failure(Status::NotThisFormat, u"不是支持的文件格式（Word、RTF 或文本文件）"_qs);
    return DocumentResult::ok(StyledText::plain(withEditorLineBreaks(*text)));
}

} // namespace veltrik
