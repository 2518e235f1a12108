// libFuzzer target: the RTF reader on arbitrary bytes, and the writer on what it read.
#include "documents/rtfreader.h"
#include "documents/rtfwriter.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto result = veltrik::readRtf(QByteArrayView(data, qsizetype(size)));
    if (result)
        (void)veltrik::readRtf(veltrik::writeRtf(result.content));
    return 0;
}
