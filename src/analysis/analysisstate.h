#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace veltrik {

// The record the analysis pipeline shares: filled by the analysis, walked through by the compare, added to
// by every scored page, read by the site report. A field never assigned reads 0 or empty text.
struct AnalysisState {
    std::optional<QStringList> sentences; // absent until the first analysis
    QString workText;
    int curSentence = 0;
    int lastSentence = 0;
    int resultCount = 0;
    double similaritySum = 0;
    int autoMode = 0;
    int listSync = 0;
    int tallyDue = 0;
    QString searchUrl;
    QString pageHtml;
    QString pageText;
    QString markedHtml;
    // Result-item slots: piece s (1-based) owns slots (s - 1) * 10 ... (s - 1) * 10 + 9, plus one spare
    // slot at the end; an empty text is an unset slot.
    QStringList siteUrls;
    QStringList siteTitles;
    QList<int> siteTally;

    static constexpr int kSlotsPerSentence = 10;

    // Number of pieces of the last analysis; 0 before any.
    qsizetype sentenceCount() const { return sentences ? sentences->size() : 0; }

    // The reset every analysis performs, in its order; listSync is set last.
    void startAnalysis(QStringList pieces, QString cleanedText);
};

} // namespace veltrik
