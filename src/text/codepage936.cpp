#include "codepage936.h"

#include <array>
#include <bitset>

namespace veltrik {
namespace {

struct UnitRange {
    char16_t first;
    char16_t last;
};

constexpr UnitRange kDoubleByteRanges[] = {
#include "codepage936_ranges.inc"
};

// One bit per BMP code unit, expanded once from the ranges.
const std::bitset<0x10000> &doubleByteTable()
{
    static const std::bitset<0x10000> table = [] {
        std::bitset<0x10000> bits;
        for (const UnitRange &range : kDoubleByteRanges)
            for (unsigned unit = range.first; unit <= range.last; ++unit)
                bits.set(unit);
        return bits;
    }();
    return table;
}

} // namespace

bool isDoubleByte(char16_t unit)
{
    return doubleByteTable().test(unit);
}

qsizetype countDoubleByte(const QString &text)
{
    const auto &table = doubleByteTable();
    qsizetype count = 0;
    for (QChar c : text)
        count += table.test(c.unicode()) ? 1 : 0;
    return count;
}

} // namespace veltrik
