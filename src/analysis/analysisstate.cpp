#include "analysisstate.h"

namespace veltrik {

void AnalysisState::startAnalysis(QStringList pieces, QString cleanedText)
{
    workText = std::move(cleanedText);
    sentences = std::move(pieces);
    curSentence = 0;
    resultCount = 1;
    autoMode = false;
    similaritySum = 0;
    lastSentence = 0;
    const qsizetype slotCount = kSlotsPerSentence * sentences->size() + 1;
    siteUrls = QStringList(slotCount);
    siteTitles = QStringList(slotCount);
    listSync = true;
}

} // namespace veltrik
