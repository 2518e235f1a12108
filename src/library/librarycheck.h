#pragma once

#include "comparator/compareandmark.h"
#include "comparator/referencefiles.h"
#include "documentlibrary.h"

#include <functional>
#include <optional>

namespace veltrik {

// Compares an article with one reference text as a reference file is compared (referencecomparison.h): the
// comparator's counts and marks, and the place in the reference that each mark repeats.
using ReferenceMatcher = std::function<ReferenceComparison(const QString &article, const QString &reference)>;

// The comparator's compare-and-mark of one reference (compareandmark.h).
MatchResult matchReference(const QString &article, const QString &reference);

// How many of the documents sharing the most with an article are compared with it, unless told otherwise.
inline constexpr qsizetype kCandidatesCompared = 10;

struct LibraryMatch {
    LibraryEntry entry;
    qint64 sharedFingerprints = 0;
    QString text;                   // the document's text, as stored
    ReferenceComparison comparison; // as the comparator gives it against this document alone
    QString label;                  // its three-line result
};

struct LibraryCheck {
    QList<LibraryMatch> matches; // documents with at least one repeated sentence, the most shared first
    MatchResult combined;        // the counts of all matches added up, their marks joined
    QString label;               // the three-line result of all matches together
};

// Checks an article against the library: its fingerprints find the `top` documents that share the most
// with it, and each of them is compared with the article by `matcher` (several at once, on threads of
// their own; `matcher` must allow that). Only the texts of the documents that repeat something are kept.
// Nothing, with the library's error, when the library fails.
std::optional<LibraryCheck> checkArticle(DocumentLibrary &library, const QString &article, qsizetype top,
                                         const ReferenceMatcher &matcher = compareWithReference);

// The documents a check found as reference files (referencefiles.h), named by the path they were added from.
QList<ComparedReference> comparedDocuments(const LibraryCheck &check);

} // namespace veltrik
