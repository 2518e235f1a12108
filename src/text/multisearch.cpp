#include "multisearch.h"

#include <algorithm>
#include <bit>

namespace veltrik {
namespace {

constexpr quint64 kBase = 0x100000001B3ull; // odd, so that no power of it wraps to zero

// The polynomial hash of a whole text, as the rolling hash computes it for a window.
quint64 polynomialHash(QStringView text)
{
    quint64 hash = 0;
    for (QChar unit : text)
        hash = hash * kBase + unit.unicode() + 1;
    return hash;
}

// Spreads the hash and the length over all bits, so that the low bits address the table.
quint64 keyOf(quint64 hash, qsizetype length)
{
    quint64 key = hash ^ (quint64(length) * 0x9E3779B97F4A7C15ull);
    key ^= key >> 33;
    key *= 0xFF51AFD7ED558CCDull;
    key ^= key >> 33;
    key *= 0xC4CEB9FE1A85EC53ull;
    key ^= key >> 33;
    return key;
}

} // namespace

MultiSearch::MultiSearch(const QStringList &patterns)
    : m_patterns(patterns)
    , m_sameAs(patterns.size(), -1)
    , m_sameKey(patterns.size(), -1)
{
    m_slots.resize(std::bit_ceil(std::size_t(2 * patterns.size() + 2)));
    qsizetype longest = 0;
    for (int p = 0; p < int(patterns.size()); ++p) {
        if (patterns[p].isEmpty())
            continue;
        addPattern(p, keyOf(polynomialHash(patterns[p]), patterns[p].size()));
        longest = std::max(longest, patterns[p].size());
    }
    m_powers.resize(std::size_t(longest) + 1, 1);
    for (std::size_t length = 1; length < m_powers.size(); ++length)
        m_powers[length] = m_powers[length - 1] * kBase;
    groupLengthsByLastUnit();
}

void MultiSearch::addPattern(int pattern, quint64 key)
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = key & mask;; at = (at + 1) & mask) {
        Slot &slot = m_slots[at];
        if (slot.pattern < 0) {
            slot = {key, pattern};
            return;
        }
        if (slot.key != key)
            continue;
        for (int same = slot.pattern; same >= 0; same = m_sameKey[same]) {
            if (m_patterns[same] == m_patterns[pattern]) {
                m_sameAs[pattern] = same;
                return;
            }
        }
        // Two texts with one key: both are kept, and the check unit by unit tells them apart.
        m_sameKey[pattern] = slot.pattern;
        slot.pattern = pattern;
        return;
    }
}

int MultiSearch::firstWithKey(quint64 key) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = key & mask;; at = (at + 1) & mask) {
        const Slot &slot = m_slots[at];
        if (slot.pattern < 0 || slot.key == key)
            return slot.pattern;
    }
}

// Per last code unit the distinct lengths, shortest first, laid out one unit after the other.
void MultiSearch::groupLengthsByLastUnit()
{
    std::vector<std::pair<char16_t, quint32>> ends;
    for (int p = 0; p < int(m_patterns.size()); ++p)
        if (!m_patterns[p].isEmpty() && m_sameAs[p] < 0)
            ends.emplace_back(m_patterns[p].back().unicode(), quint32(m_patterns[p].size()));
    std::sort(ends.begin(), ends.end());
    ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
    m_lengthsFrom.assign(0x10000 + 1, 0);
    for (const auto &end : ends)
        ++m_lengthsFrom[end.first + 1];
    for (std::size_t unit = 1; unit < m_lengthsFrom.size(); ++unit)
        m_lengthsFrom[unit] += m_lengthsFrom[unit - 1];
    m_lengths.reserve(ends.size());
    for (const auto &end : ends)
        m_lengths.push_back(end.second);
}

QList<QList<qsizetype>> MultiSearch::findAll(QStringView text) const
{
    QList<QList<qsizetype>> starts(m_patterns.size());
    if (m_lengths.empty())
        return starts;
    // The hashes of the text before each of the last places, as far back as the longest pattern reaches.
    std::vector<quint64> before(std::bit_ceil(m_powers.size()), 0);
    const std::size_t mask = before.size() - 1;
    quint64 hash = 0;
    for (qsizetype end = 1; end <= text.size(); ++end) {
        const char16_t unit = text[end - 1].unicode();
        hash = hash * kBase + unit + 1;
        before[std::size_t(end) & mask] = hash;
        for (quint32 i = m_lengthsFrom[unit]; i < m_lengthsFrom[unit + 1]; ++i) {
            const qsizetype length = m_lengths[i];
            if (length > end)
                break;
            const quint64 window = hash - before[std::size_t(end - length) & mask] * m_powers[std::size_t(length)];
            const QStringView found = text.sliced(end - length, length);
            for (int p = firstWithKey(keyOf(window, length)); p >= 0; p = m_sameKey[p])
                if (found == m_patterns[p])
                    starts[p].append(end - length);
        }
    }
    for (qsizetype p = 0; p < m_patterns.size(); ++p)
        if (m_sameAs[p] >= 0)
            starts[p] = starts[m_sameAs[p]];
    return starts;
}

} // namespace veltrik
