#pragma once

#include "result.h"

#include <QByteArrayView>

namespace veltrik {

// Plain text in the encodings a Chinese user's files come in: UTF-8 with or without BOM, UTF-16 LE or BE
// with BOM, otherwise GB18030 (which includes GBK). The encoding is chosen by validity: bytes that are
// valid UTF-8 are UTF-8, else valid GB18030 is GB18030. A UTF-8 file with a few bad bytes (far more good
// characters of several bytes than bad bytes, or a UTF-8 byte order mark) opens with each bad byte
// replaced by U+FFFD and a notice that names the first one. Bytes that are neither, or that hold control
// characters no text file has (NUL and the like), are not a text file; where the text is neither UTF-8
// nor GBK the message names the first bad byte in each. Line breaks become CR LF.
DocumentResult readTextFile(QByteArrayView bytes);

} // namespace veltrik
