#include "codepage936.h"

namespace veltrik {
namespace {

struct UnitRange {
    char16_t first;
    char16_t last;
};

constexpr UnitRange kDoubleByteRanges[] = {
#include "codepage936_ranges.inc"
};

} // namespace

// Expanded once from the generated ranges.
const DoubleByteTable &doubleByteTable()
{
    static const DoubleByteTable table = [] {
        DoubleByteTable bits;
        for (const UnitRange &range : kDoubleByteRanges)
            for (unsigned unit = range.first; unit <= range.last; ++unit)
                bits.m_words[unit >> 6] |= quint64(1) << (unit & 63);
        return bits;
    }();
    return table;
}

qsizetype countDoubleByte(QStringView text)
{
    const DoubleByteTable &table = doubleByteTable();
    qsizetype count = 0;
    for (QChar c : text)
        count += table.contains(c.unicode()) ? 1 : 0;
    return count;
}

} // namespace veltrik
