// libFuzzer target: the paragraphs rebuilt from PDF page texts (UTF-8, pages split at form feeds). What
// comes out must be fit for the editor whatever came in.
#include "documents/pdfparagraphs.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool fitForTheEditor(const QString &text)
{
    if (text.contains(u"\n\n"_qs) || text.startsWith(u'\n') || text.endsWith(u'\n'))
        return false;
    for (const QString &paragraph : text.split(u'\n'))
        if (paragraph != paragraph.trimmed())
            return false;
    for (const char32_t c : text.toUcs4()) {
        const bool control = (c < 0x20 && c != u'\n') || (c >= 0x7F && c < 0xA0);
        const bool privateUse = (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
        if (control || privateUse)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!fitForTheEditor(veltrik::rebuildPdfParagraphs(text.split(u'\f'))))
        std::abort();
    return 0;
}
