#pragma once

#include "result.h"

#include <QByteArrayView>

namespace veltrik {

// Plain text in the encodings a Chinese user's files come in: UTF-8 with or without BOM, UTF-16 LE or BE
// with BOM, otherwise GB18030 (which includes GBK). The encoding is chosen by validity: bytes that are
// valid UTF-8 are UTF-8, else valid GB18030 is GB18030. Bytes that are neither, or that hold control
// characters no text file has (NUL and the like), are not a text file. Line breaks become CR LF.
DocumentResult readTextFile(QByteArrayView bytes);

} // namespace veltrik
