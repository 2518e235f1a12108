// libFuzzer target: the .docx reader (ZIP and document XML) on arbitrary bytes.
#include "documents/docxreader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    (void)veltrik::readDocx(QByteArrayView(data, qsizetype(size)));
    return 0;
}
