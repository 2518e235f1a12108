#pragma once

#include "comparator/compareandmark.h"
#include "comparator/referencefiles.h"
#include "documentlibrary.h"

#include <functional>
#include <optional>

namespace veltrik {

// Compares an article with one reference text: the comparator's compare-and-mark, or whatever replaces it.
using ReferenceMatcher = std::function<MatchResult(const QString &article, const QString &reference)>;

// The comparator's compare-and-mark of one reference (compareandmark.h).
MatchResult matchReference(const QString &article, const QString &reference);

// How many of the documents sharing the most with an article are compared with it, unless told otherwise.
inline constexpr qsizetype kCandidatesCompared = 10;

struct LibraryMatch {
    LibraryEntry entry;
    qint64 sharedFingerprints = 0;
    MatchResult run; // as the comparator gives it against this document alone
    QString label;   // its three-line result
};

struct LibraryCheck {
    QList<LibraryMatch> matches; // documents with at least one repeated sentence, the most shared first
    MatchResult combined;        // the counts of all matches added up, their marks joined
    QString label;               // the three-line result of all matches together
};

// Checks an article against the library: its fingerprints find the `top` documents that share the most
// with it, and each of them is compared with the article by `matcher` (several at once, on threads of
// their own; `matcher` must allow that). Nothing, with the library's error, when the library fails.
std::optional<LibraryCheck> checkArticle(DocumentLibrary &library, const QString &article, qsizetype top,
                                         const ReferenceMatcher &matcher = matchReference);

// The documents a check found, each compared with the article as a reference file is (referencefiles.h):
// the same marks, and the place in the document of each. Named by the path they were added from. Nothing,
// with the library's error, when a text cannot be read.
std::optional<QList<ComparedReference>> comparedDocuments(DocumentLibrary &library, const QString &article,
                                                          const LibraryCheck &check);

} // namespace veltrik
