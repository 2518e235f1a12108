#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace veltrik {

// Finds every occurrence of many patterns in one text in a single pass over UTF-16 code units.
// Occurrences may overlap; for each pattern they come in ascending order of their start.
//
// The patterns are grouped by their last code unit and their length. At each place in the text a
// rolling hash of the text before it is looked up for every pattern length that ends in the unit found
// there, and every hit is checked unit by unit, so that the hash never decides. A text of n units costs n
// steps plus, per place, one look-up for each distinct length of the patterns ending in its unit: the
// pieces of an article end mostly in a few punctuation marks at a few dozen lengths. Tested by
// multisearch_test.cpp.
class MultiSearch {
public:
    explicit MultiSearch(const QStringList &patterns);

    // starts[i] lists the offsets at which patterns[i] occurs in text. An empty pattern occurs nowhere.
    QList<QList<qsizetype>> findAll(QStringView text) const;

private:
    struct Slot {
        quint64 key = 0;
        int pattern = -1; // the first of the distinct patterns with this key, or -1 for a free slot
    };

    // Files the pattern under its key, or notes the equal pattern filed before it.
    void addPattern(int pattern, quint64 key);
    int firstWithKey(quint64 key) const;
    void groupLengthsByLastUnit();

    QStringList m_patterns;
    QList<int> m_sameAs;                // per pattern: the first equal pattern, whose places it shares
    std::vector<int> m_sameKey;         // per distinct pattern: the next distinct pattern with its key, or -1
    std::vector<Slot> m_slots;          // open addressing on the key, a power of two long
    std::vector<quint64> m_powers;      // base^length up to the longest pattern
    std::vector<quint32> m_lengthsFrom; // per code unit: where its lengths begin in m_lengths
    std::vector<quint32> m_lengths;     // the distinct pattern lengths, grouped by last code unit
};

} // namespace veltrik
