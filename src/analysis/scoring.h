#pragma once

#include "analysisstate.h"
#include "securitycheck.h"

#include <QList>
#include <QString>

#include <optional>

namespace veltrik {

// Scoring a result page. The engine highlights the words of the query it found in each hit with "<EM>" or
// "<em>"; only fragments longer than 9 characters count, and their total length set against
// 2 x (piece length) + 1200 gives the piece's similarity in whole percent. A page with fewer than 500
// double-byte characters is not a result page and scores 0. The hits' titles and addresses are taken
// from the data-tools attributes of the result items.

struct ResultItem {
    QString title;
    QString url;

    bool operator==(const ResultItem &) const = default;
};

// The double-byte characters of the page, ideographic spaces left out.
QString pageTextOf(const QString &html);

// The highlighted fragments longer than 9 characters, joined. "<EM>" first; "<em>" only on a page
// without any "<EM>". The content of script and style elements is left out: it is not text the engine showed.
QString highlightTextOf(const QString &html);

// The page with every result item's JSON and anchor text replaced by the item marker, highlight tags removed.
QString markItems(const QString &html);

// Title and address of each result item, in page order. Each data-tools attribute gives one item: its
// value is read as JSON (escapes decoded, members in any order, other members ignored), whatever follows
// the attribute; a value that is not a JSON object with a title is skipped. Titles keep no highlight tags.
// A card (a container with a mu attribute and no data-tools of its own) gives one item too: the text of
// its title link, and the mu address, or the link's when mu is empty.
QList<ResultItem> itemsOfPage(const QString &html);

// The similarity of one piece, in whole percent.
double sentencePercent(qsizetype highlightLength, qsizetype pieceLength);

// What a scored page gave the piece it was sent for.
struct PieceScore {
    int piece = 0;           // 0-based
    double similarity = 0;   // the figure "本句相似度" shows
    QList<ResultItem> items; // the items stored in the piece's slots, at most ten
};

// What a scoring pass changed on screen; an empty optional leaves the label as it was.
struct ScoringOutcome {
    std::optional<QString> similarityCaption; // Label2
    std::optional<QString> progressCaption;   // Label1
    bool securityCheck = false;               // the page was a security check, not a result
    std::optional<PieceScore> pieceScore;     // the page was scored for a piece of the analysis
};

// One scoring pass over the page that arrived for piece number state.curSentence (1-based): fills
// pageHtml, pageText and markedHtml, adds to similaritySum, stores the page's items in that piece's ten
// slots (items beyond the tenth are dropped) and counts the page in resultCount. An empty body changes
// only the progress line. Each step that cannot be done (no such piece, a zero divisor) is skipped and the
// next one runs. A security check page changes nothing but the status line, which says what to do.
// `page.query` is the query that was sent.
ScoringOutcome scorePage(AnalysisState &state, const ResultPage &page);

// The overall figure the similarity label shows after the last counted page: the page is counted in
// resultCount after the figure was worked out, so the divisor is one less. None before any page was counted.
std::optional<double> shownOverallFigure(double similaritySum, int resultCount);

// "本句相似度：X%\r\n\r\n目前总体相似度：Y%" as the label shows it after the last counted page.
std::optional<QString> figuresCaption(double pieceFigure, double similaritySum, int resultCount);

// "现在正在对比第 N 句！共 M 句。"
QString progressCaption(qsizetype sentenceNumber, qsizetype sentenceCount);

} // namespace veltrik
