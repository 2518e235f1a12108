#pragma once

#include "text/textspan.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace veltrik {

// Comparing an article with a reference article, offline. The reference is cut at punctuation and line
// breaks; every piece of more than five code units is looked up verbatim in the article, and each place
// where it occurs is marked.
//
// Normalisation, in order, each a single pass: "," -> "，", then "，" "。" "！" "？" "……" (and their ASCII
// forms) get a line break after them; white space just before a line break is removed as far as five
// single passes reach. The text is then split at line breaks and blank pieces are dropped.

struct ReferenceCut {
    QString normalisedText; // the pieces joined by CR LF
    QStringList pieces;
};

ReferenceCut cutReference(const QString &reference);

// The counts of one run and the places it marks. The counts count every occurrence of every piece; the
// marks are merged as they are found (sorted, overlapping and touching places joined), so that a sentence
// found k times in the reference and m times in the article costs m marks, not k × m.
struct MatchResult {
    qint64 chars = 0;     // lengths of the pieces found, each once
    qint64 sentences = 0; // pieces found at least once
    qint64 segments = 0;  // occurrences after the first of each piece found
    QList<TextSpan> marks;
    std::optional<TextSpan> lastMark; // the last place marked, where the selection is left
};

// Every piece in order (a repeated piece is searched and counted again); pieces of 5 code units or
// fewer and an empty article find nothing. Occurrences of a piece do not overlap: each search starts
// after the previous occurrence.
MatchResult matchPieces(const QString &article, const QStringList &pieces);

// The search behind matchPieces: each distinct piece of more than five code units with the places where
// it occurs in the article, not overlapping, ascending.
struct PiecePlaces {
    QStringList distinct;
    QList<qsizetype> distinctOf; // per piece: its index in `distinct`, or -1 when it is not searched
    QList<QList<qsizetype>> places;
};

PiecePlaces findPieces(const QString &article, const QStringList &pieces);

// The counts and marks of matchPieces from the places found.
MatchResult tallyPieces(const QStringList &pieces, const PiecePlaces &found);

struct CompareTotals {
    qint64 chars = 0;
    qint64 sentences = 0;
    qint64 segments = 0;

    void add(const MatchResult &run);
};

// The three-line result: counts of this run, or running totals when marking several times; the share of
// the article and the similarity to this reference in whole percent. A zero divisor gives 0 %.
QString compareResultText(qsizetype articleLength, qsizetype referenceLength, const MatchResult &run,
                          const CompareTotals &totals, bool severalRuns);

// part ÷ whole rounded to two places, halves to even, as a whole number of percent; 0 for a zero whole.
QString percent(qint64 part, qsizetype whole);

// Sorted spans with overlapping and touching ones joined.
QList<TextSpan> mergeSpans(QList<TextSpan> spans);

} // namespace veltrik
