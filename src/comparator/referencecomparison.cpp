#include "referencecomparison.h"

#include <algorithm>

namespace veltrik {

QList<qsizetype> pieceStartsInReference(const QString &reference, const QStringList &pieces)
{
    // The separators that the cut turns full-width, one unit for one unit.
    QString folded = reference;
    folded.replace(u',', u'，').replace(u'.', u'。').replace(u'!', u'！').replace(u'?', u'？');
    // The pieces stand in order, with only line breaks and white space between them.
    QList<qsizetype> starts;
    starts.reserve(pieces.size());
    qsizetype from = 0;
    for (const QString &piece : pieces) {
        const qsizetype start = folded.indexOf(piece, from);
        starts.append(start);
        if (start >= 0)
            from = start + piece.size();
    }
    return starts;
}

ReferenceComparison compareWithReference(const QString &article, const QString &reference)
{
    const ReferenceCut cut = cutReference(reference);
    const PiecePlaces found = findPieces(article, cut.pieces);
    ReferenceComparison comparison;
    comparison.run = tallyPieces(cut.pieces, found);
    comparison.referenceLength = reference.size();
    // A text that stands several times in the reference is shown where it stands first.
    const QList<qsizetype> starts = pieceStartsInReference(reference, cut.pieces);
    QList<qsizetype> sourceOf(found.distinct.size(), -1);
    for (qsizetype p = 0; p < cut.pieces.size(); ++p) {
        const qsizetype index = found.distinctOf[p];
        if (index >= 0 && sourceOf[index] < 0)
            sourceOf[index] = starts[p];
    }
    for (qsizetype index = 0; index < found.distinct.size(); ++index)
        for (qsizetype start : found.places[index])
            comparison.places.append({start, sourceOf[index], found.distinct[index].size()});
    std::sort(comparison.places.begin(), comparison.places.end(),
              [](const RepeatedPlace &a, const RepeatedPlace &b) { return a.articleStart < b.articleStart; });
    return comparison;
}

std::optional<RepeatedPlace> repeatedPlaceAt(const ReferenceComparison &comparison, qsizetype articleOffset)
{
    const QList<RepeatedPlace> &places = comparison.places;
    auto after =
        std::upper_bound(places.cbegin(), places.cend(), articleOffset,
                         [](qsizetype offset, const RepeatedPlace &place) { return offset < place.articleStart; });
    while (after != places.cbegin()) {
        --after;
        if (articleOffset < after->articleStart + after->length)
            return *after;
    }
    return std::nullopt;
}

} // namespace veltrik
