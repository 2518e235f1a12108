#include "librarycheck.h"

#include "fingerprints.h"

#include <QThread>

#include <algorithm>
#include <deque>
#include <future>

namespace veltrik {
namespace {

struct ComparedText {
    QString text;
    ReferenceComparison comparison;
};

struct PendingMatch {
    Candidate candidate;
    std::future<ComparedText> compared;
};

// Adds the counts of every match and joins their marks.
MatchResult combinedRun(const QList<LibraryMatch> &matches)
{
    MatchResult combined;
    QList<TextSpan> marks;
    for (const LibraryMatch &match : matches) {
        combined.chars += match.comparison.run.chars;
        combined.sentences += match.comparison.run.sentences;
        combined.segments += match.comparison.run.segments;
        marks += match.comparison.run.marks;
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
        ComparedText compared = oldest.compared.get();
        if (compared.comparison.run.sentences == 0)
            return true;
        const auto entry = library.entry(oldest.candidate.id);
        if (!entry)
            return false;
        matchedLength += compared.text.size();
        const QString label =
            compareResultText(article.size(), compared.text.size(), compared.comparison.run, {}, false);
        check.matches.append({*entry, oldest.candidate.sharedFingerprints, std::move(compared.text),
                              std::move(compared.comparison), label});
        return true;
    };
    for (const Candidate &candidate : *candidates) {
        auto reference = library.text(candidate.id);
        if (!reference || (qsizetype(pending.size()) >= inFlight && !finishOldest())) {
            for (PendingMatch &left : pending)
                left.compared.wait();
            return std::nullopt;
        }
        pending.push_back(
            {candidate, std::async(std::launch::async, [&matcher, &article, text = std::move(*reference)]() mutable {
                 ReferenceComparison comparison = matcher(article, text);
                 return ComparedText{std::move(text), std::move(comparison)};
             })});
    }
    while (!pending.empty())
        if (!finishOldest())
            return std::nullopt;
    check.combined = combinedRun(check.matches);
    check.label = compareResultText(article.size(), matchedLength, check.combined, {}, false);
    return check;
}

QList<ComparedReference> comparedDocuments(const LibraryCheck &check)
{
    QList<ComparedReference> compared;
    for (const LibraryMatch &match : check.matches)
        compared.append({match.entry.path, match.text, match.comparison});
    return compared;
}

} // namespace veltrik
