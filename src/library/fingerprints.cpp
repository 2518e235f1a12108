#include "fingerprints.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace veltrik {
namespace {

constexpr quint64 kBase = 0x100000001b3ull;

quint64 power(quint64 base, int exponent)
{
    quint64 result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= base;
    return result;
}

// The rolling hash of neighbouring grams differs in few bits; mixing spreads them so that the minimum
// of a window falls on an even sample of the grams.
qint32 mixed(quint64 hash)
{
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    return qint32(quint32(hash >> 32));
}

std::vector<qint32> gramHashes(QStringView text)
{
    static const quint64 outgoingFactor = power(kBase, kFingerprintGram);
    std::vector<char16_t> gram;
    std::vector<qint32> hashes;
    hashes.reserve(size_t(text.size()));
    gram.reserve(size_t(text.size()));
    quint64 rolling = 0;
    for (QChar c : text) {
        if (!c.isLetterOrNumber())
            continue;
        gram.push_back(c.unicode());
        rolling = rolling * kBase + c.unicode() + 1;
        if (gram.size() > size_t(kFingerprintGram))
            rolling -= outgoingFactor * (quint64(gram[gram.size() - 1 - kFingerprintGram]) + 1);
        if (gram.size() >= size_t(kFingerprintGram))
            hashes.push_back(mixed(rolling));
    }
    return hashes;
}

// Robust winnowing: the smallest hash of every window of kFingerprintWindow grams, the rightmost one on
// a tie, each chosen position taken once.
std::vector<qint32> winnow(const std::vector<qint32> &hashes)
{
    std::vector<qint32> chosen;
    std::deque<size_t> candidates; // positions with ascending hashes
    size_t lastChosen = SIZE_MAX;
    for (size_t i = 0; i < hashes.size(); ++i) {
        while (!candidates.empty() && hashes[candidates.back()] >= hashes[i])
            candidates.pop_back();
        candidates.push_back(i);
        if (candidates.front() + kFingerprintWindow <= i)
            candidates.pop_front();
        const bool windowComplete = i + 1 >= size_t(kFingerprintWindow);
        if ((windowComplete || i + 1 == hashes.size()) && candidates.front() != lastChosen) {
            lastChosen = candidates.front();
            chosen.push_back(hashes[lastChosen]);
        }
    }
    return chosen;
}

} // namespace

QList<qint32> textFingerprints(QStringView text)
{
    std::vector<qint32> chosen = winnow(gramHashes(text));
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return QList<qint32>(chosen.begin(), chosen.end());
}

} // namespace veltrik
