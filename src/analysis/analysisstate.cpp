#include "analysisstate.h"

namespace veltrik {

void AnalysisState::startAnalysis(QStringList pieces, QString cleanedText)
{
    workText = std::move(cleanedText);
    sentences = std::move(pieces);
    curSentence = 0;
    resultCount = 1;
    autoMode = 0;
    similaritySum = 0;
    tallyDue = 0;
    lastSentence = 0;
    const qsizetype slotCount = kSlotsPerSentence * sentences->size() + 1;
    siteUrls = QStringList(slotCount);
    siteTitles = QStringList(slotCount);
    siteTally = QList<int>(slotCount, 0);
    listSync = 1;
}

} // namespace veltrik
