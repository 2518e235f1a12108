#pragma once

#include "compareandmark.h"

#include <QList>
#include <QString>

#include <optional>

namespace veltrik {

// An article compared with one reference text exactly as "对比并标注" compares it with the pasted
// reference: the same pieces, counts and marks. Besides, every place marked in the article knows the
// place in the reference that it repeats.

// A repeated piece: where it stands in the article and where in the reference text as given (not
// normalised); both are `length` code units long and hold the same text.
struct RepeatedPlace {
    qsizetype articleStart = 0;
    qsizetype referenceStart = 0;
    qsizetype length = 0;

    bool operator==(const RepeatedPlace &) const = default;
};

struct ReferenceComparison {
    MatchResult run;               // the counts and merged marks of one "对比并标注"
    qsizetype referenceLength = 0; // of the reference text as given, for the similarity
    QList<RepeatedPlace> places;   // every place marked, ascending by article start
};

ReferenceComparison compareWithReference(const QString &article, const QString &reference);

// Where each piece stands in the reference text it was cut from. A piece differs from the text it came
// from only where an ASCII separator became full-width, which keeps every offset.
QList<qsizetype> pieceStartsInReference(const QString &reference, const QStringList &pieces);

// The repeated place that covers `articleOffset`: of several, the one that starts last.
std::optional<RepeatedPlace> repeatedPlaceAt(const ReferenceComparison &comparison, qsizetype articleOffset);

} // namespace veltrik
