// libFuzzer target: the text-file decoder on arbitrary bytes. What it reads holds no control character but
// tab, form feed and line breaks; a failure always says why; a notice comes with a replaced byte.
#include "documents/textfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto result = veltrik::readTextFile(QByteArrayView(data, qsizetype(size)));
    if (!result && result.message.isEmpty())
        std::abort();
    const QString &text = result.content.text;
    for (QChar c : text)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\f' && c != u'\r' && c != u'\n')
            std::abort();
    if (!result.notice.isEmpty() && !text.contains(QChar(0xFFFD)))
        std::abort();
    return 0;
}
