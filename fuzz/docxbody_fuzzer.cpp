// libFuzzer target: the .docx body reader on arbitrary document XML, past the ZIP layer.
#include "documents/docxreader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    (void)veltrik::readDocxBody(QByteArrayView(data, qsizetype(size)));
    return 0;
}
