// libFuzzer target: the compound-file layer alone (header, FAT and DIFAT, directory tree, mini stream) and
// the streams a Word document is read from.
#include "documents/compoundfile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const auto file = veltrik::CompoundFile::open(QByteArrayView(data, qsizetype(size)), &error);
    if (!file)
        return 0;
    for (const char16_t *name : {u"WordDocument", u"1Table", u"0Table", u"Data", u"EncryptedPackage"})
        (void)file->stream(QString::fromUtf16(name), &error);
    return 0;
}
