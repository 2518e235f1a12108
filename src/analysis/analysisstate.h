#pragma once

#include <QStringList>

#include <optional>

namespace veltrik {

// The record the analysis pipeline shares: filled by the analysis, walked through by the compare, added to
// by every scored page, read by the site report. A field never assigned reads 0, false or empty text.
struct AnalysisState {
    // The pieces of the last analysis, in article order; absent until the first analysis.
    std::optional<QStringList> sentences;
    // The cleaned article text of the last analysis; empty until then.
    QString workText;
    // Index of the piece the next compare sends; while a page is awaited, that page's piece number (1-based).
    int curSentence = 0;
    // Index of the piece sent last.
    int lastSentence = 0;
    // Ordinal of the page being scored (1-based), the divisor of the overall similarity.
    int resultCount = 0;
    // Sum of the similarity percentages of the scored pieces.
    double similaritySum = 0;
    // An automatic run is going on.
    bool autoMode = false;
    // The next row selection only sets the position, without a compare.
    bool listSync = false;
    // The address of the last search request.
    QString searchUrl;
    // Inner HTML of the last result page's body; emptied by every compare.
    QString pageHtml;
    // The double-byte characters of the last result page; emptied by every compare.
    QString pageText;
    // The last result page with its items marked; emptied by every compare.
    QString markedHtml;
    // Result-item slots: piece s (1-based) owns slots (s - 1) * 10 ... (s - 1) * 10 + 9, plus one spare
    // slot at the end; an empty text is an unset slot.
    QStringList siteUrls;   // the address of each recorded item
    QStringList siteTitles; // the title of each recorded item

    static constexpr int kSlotsPerSentence = 10;

    // Number of pieces of the last analysis; 0 before any.
    qsizetype sentenceCount() const { return sentences ? sentences->size() : 0; }

    // The reset every analysis performs, in its order; listSync is set last.
    void startAnalysis(QStringList pieces, QString cleanedText);
};

} // namespace veltrik
