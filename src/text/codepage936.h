#pragma once

#include <QString>

namespace veltrik {

// True when Microsoft's code page 936 (GBK) encodes the UTF-16 code unit in two bytes: Chinese characters,
// full-width punctuation and symbols, the user-defined area. ASCII, the euro sign (one byte there), lone
// surrogates and characters outside the code page are not. One table lookup.
bool isDoubleByte(char16_t unit);

// Number of code units of text that are double-byte.
qsizetype countDoubleByte(const QString &text);

} // namespace veltrik
