// libFuzzer target: the Word 97-2003 reader (compound file and piece table) on arbitrary bytes.
#include "documents/wordreader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    (void)veltrik::readWordDocument(QByteArrayView(data, qsizetype(size)));
    return 0;
}
