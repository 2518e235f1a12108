#pragma once

#include <QString>

#include <array>

namespace veltrik {

// The UTF-16 code units that Microsoft's code page 936 (GBK) encodes in two bytes: Chinese characters,
// full-width punctuation and symbols, the user-defined area. ASCII, the euro sign (one byte there), lone
// surrogates and characters outside the code page are not. One bit per code unit.
class DoubleByteTable {
public:
    bool contains(char16_t unit) const { return (m_words[unit >> 6] >> (unit & 63)) & 1u; }

private:
    friend const DoubleByteTable &doubleByteTable();
    std::array<quint64, 0x10000 / 64> m_words{};
};

const DoubleByteTable &doubleByteTable();

inline bool isDoubleByte(char16_t unit)
{
    return doubleByteTable().contains(unit);
}

// Number of code units of text that are double-byte.
qsizetype countDoubleByte(QStringView text);

} // namespace veltrik
