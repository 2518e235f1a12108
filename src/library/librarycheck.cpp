#include "librarycheck.h"

#include "fingerprints.h"

#include <QThread>

#include <algorithm>
#include <deque>
#include <future>

namespace veltrik {
namespace {

struct PendingMatch {
    Candidate candidate;
    qint64 referenceLength = 0;
    std::future<MatchResult> run;
};

// Adds the counts of every match and joins their marks.
MatchResult combinedRun(const QList<LibraryMatch> &matches)
{
    MatchResult combined;
    QList<TextSpan> marks;
    for (const LibraryMatch &match : matches) {
        combined.chars += match.run.chars;
        combined.sentences += match.run.sentences;
        combined.segments += match.run.segments;
        marks += match.run.marks;
    }
    combined.marks = mergeSpans(std::move(marks));
    return combined;
}

} // namespace

MatchResult matchReference(const QString &article, const QString &reference)
{
    return matchPieces(article, cutReference(reference).pieces);
}

std::optional<LibraryCheck> checkArticle(DocumentLibrary &library, const QString &article, qsizetype top,
                                         const ReferenceMatcher &matcher)
{
    const auto candidates = library.candidates(textFingerprints(article), top);
    if (!candidates)
        return std::nullopt;
    LibraryCheck check;
    qint64 matchedLength = 0;
    // A few texts at a time are held: the check's memory does not grow with the library.
    const qsizetype inFlight = std::max(1, QThread::idealThreadCount());
    std::deque<PendingMatch> pending;
    auto finishOldest = [&]() -> bool {
        PendingMatch oldest = std::move(pending.front());
        pending.pop_front();
        const MatchResult run = oldest.run.get();
        if (run.sentences == 0)
            return true;
        const auto entry = library.entry(oldest.candidate.id);
        if (!entry)
            return false;
        matchedLength += oldest.referenceLength;
        check.matches.append({*entry, oldest.candidate.sharedFingerprints, run,
                              compareResultText(article.size(), oldest.referenceLength, run, {}, false)});
        return true;
    };
    for (const Candidate &candidate : *candidates) {
        auto reference = library.text(candidate.id);
        if (!reference || (qsizetype(pending.size()) >= inFlight && !finishOldest())) {
            for (PendingMatch &left : pending)
                left.run.wait();
            return std::nullopt;
        }
        const qint64 length = reference->size();
        pending.push_back(
            {candidate, length, std::async(std::launch::async, [&matcher, &article, text = std::move(*reference)] {
                 return matcher(article, text);
             })});
    }
    while (!pending.empty())
        if (!finishOldest())
            return std::nullopt;
    check.combined = combinedRun(check.matches);
    check.label = compareResultText(article.size(), matchedLength, check.combined, {}, false);
    return check;
}

std::optional<QList<ComparedReference>> comparedDocuments(DocumentLibrary &library, const QString &article,
                                                          const LibraryCheck &check)
{
    QList<ComparedReference> compared;
    for (const LibraryMatch &match : check.matches) {
        auto text = library.text(match.entry.id);
        if (!text)
            return std::nullopt;
        ReferenceComparison comparison = compareWithReference(article, *text);
        compared.append({match.entry.path, std::move(*text), std::move(comparison)});
    }
    return compared;
}

} // namespace veltrik
