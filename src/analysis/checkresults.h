#pragma once

#include "exclusions.h"
#include "query.h"
#include "scoring.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace veltrik {

// What the run knows of one piece.
enum class PieceState {
    NotCompared,     // no page has been scored for it yet
    Compared,        // its page was scored
    Repeated,        // its page failed and the piece was sent again
    WaitingForCheck, // its page was a security check the user has not passed yet
};

struct PieceResult {
    PieceState state = PieceState::NotCompared;
    // The piece's own similarity in percent, the figure "本句相似度" shows; 0 until compared.
    double similarity = 0;
    // The result items of its page, in page order, at most ten.
    QList<ResultItem> items;

    bool operator==(const PieceResult &) const = default;
};

// One check of one article: everything needed to show, continue, save and report it.
struct CheckResults {
    QString articleName; // the opened file's name, empty for a pasted article
    QString article;     // the editor's plain text the analysis read
    QStringList pieces;  // the pieces of the analysis, in article order
    SearchEngine engine = SearchEngine::WebSearch;
    QList<PieceResult> results;  // one per piece, in the same order
    double similaritySum = 0;    // the overall figure's sum, as the run keeps it
    int resultCount = 0;         // the run's page count: the overall figure divides by one less
    int position = 0;            // the piece the next compare sends, 0-based; the piece count once all were
    QDateTime started;           // when the analysis was made
    QDateTime lastChange;        // when a piece's result last changed
    AnalysisOptions options;     // what the analysis was asked to leave out of the pieces
    ExcludedCharacters excluded; // and how much it left out, by reason
    bool exclusionsKnown = true; // false for a check saved before the two above were kept

    bool operator==(const CheckResults &) const = default;
};

} // namespace veltrik
