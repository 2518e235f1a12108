#include "scoring.h"

#include "text/codepage936.h"
#include "text/numbers.h"
#include "text/replace.h"

namespace veltrik {
namespace {

constexpr qsizetype kShortestCountedHighlight = 10;
constexpr qsizetype kShortestResultPage = 500;
constexpr int kFixedDivisor = 1200;

const QString kItemMarker = QStringLiteral("<bbbbbbbb>");

// Text between each opening tag and the next closing tag, when longer than 9 characters.
QString fragmentsBetween(const QString &html, const QString &open, const QString &close)
{
    QString joined;
    qsizetype from = html.indexOf(open);
    while (from >= 0) {
        const qsizetype start = from + open.size();
        const qsizetype next = html.indexOf(open, start);
        const qsizetype pieceEnd = next < 0 ? html.size() : next;
        const qsizetype closing = html.indexOf(close, start);
        const qsizetype end = (closing >= 0 && closing < pieceEnd) ? closing : pieceEnd;
        if (end - start >= kShortestCountedHighlight)
            joined += QStringView(html).mid(start, end - start);
        from = next;
    }
    return joined;
}

QString similarityCaption(const QString &sentenceFigure, double overall)
{
    return u"本句相似度："_qs + sentenceFigure + u"%\r\n\r\n目前总体相似度："_qs + formatNumber(overall) + u"%"_qs;
}

std::optional<double> overallFigure(const AnalysisState &state)
{
    if (state.resultCount == 0)
        return std::nullopt;
    return roundHalfEven(state.similaritySum / state.resultCount, 2);
}

// Step 6: the figures and the similarity label.
std::optional<QString> scoreFigures(AnalysisState &state)
{
    if (state.pageText.size() < kShortestResultPage) {
        const auto overall = overallFigure(state);
        return overall ? std::optional(similarityCaption(u"0"_qs, *overall)) : std::nullopt;
    }
    const qsizetype piece = state.curSentence - 1;
    if (piece < 0 || piece >= state.sentenceCount())
        return std::nullopt;
    const double percent =
        sentencePercent(highlightTextOf(state.pageHtml).size(), state.sentences->at(piece).size());
    state.similaritySum += percent;
    const auto overall = overallFigure(state);
    return overall ? std::optional(similarityCaption(formatNumber(percent), *overall)) : std::nullopt;
}

// Step 7: the items of the page into the ten slots of the piece.
void storeItems(AnalysisState &state, const QList<ResultItem> &items)
{
    const qsizetype firstSlot = (qsizetype(state.curSentence) - 1) * AnalysisState::kSlotsPerSentence;
    const qsizetype stored = std::min<qsizetype>(items.size(), AnalysisState::kSlotsPerSentence);
    for (qsizetype k = 0; k < stored; ++k) {
        const qsizetype slot = firstSlot + k;
        if (slot < 0 || slot >= state.siteTitles.size() || slot >= state.siteUrls.size())
            continue;
        state.siteTitles[slot] = items[k].title;
        state.siteUrls[slot] = items[k].url;
    }
}

} // namespace

QString pageTextOf(const QString &html)
{
    QString text;
    text.reserve(html.size() / 2);
    for (QChar c : html)
        if (c != QChar(0x3000) && isDoubleByte(c.unicode()))
            text += c;
    return text;
}

QString highlightTextOf(const QString &html)
{
    if (html.contains(u"<EM>"_qs))
        return fragmentsBetween(html, u"<EM>"_qs, u"</EM>"_qs);
    return fragmentsBetween(html, u"<em>"_qs, u"</em>"_qs);
}

QString markItems(const QString &html)
{
    QString marked = html;
    for (const QString &pattern : {u"\",\"url\":\""_qs, u"data-tools='{\"title\":\""_qs,
                                   u"\"}'><A class=c-tip-icon>"_qs, u"\"}'><a class=\"c-tip-icon\">"_qs})
        marked = replaceAll(marked, pattern, kItemMarker);
    for (const QString &tag : {u"<EM>"_qs, u"<em>"_qs, u"</EM>"_qs, u"</em>"_qs})
        marked = replaceAll(marked, tag, QString());
    return marked;
}

QList<ResultItem> itemsOfMarkedPage(const QString &markedHtml)
{
    const QStringList pieces = markedHtml.split(kItemMarker);
    QList<ResultItem> items;
    for (qsizetype j = 3; j < pieces.size(); j += 3)
        items.append({pieces[j - 2], pieces[j - 1]});
    return items;
}

double sentencePercent(qsizetype highlightLength, qsizetype pieceLength)
{
    const double ratio = double(highlightLength) / double(2 * pieceLength + kFixedDivisor);
    return roundHalfEven(ratio, 2) * 100;
}

QString progressCaption(qsizetype sentenceNumber, qsizetype sentenceCount)
{
    return u"现在正在对比第 "_qs + QString::number(sentenceNumber) + u" 句！共 "_qs + QString::number(sentenceCount) +
           u" 句。"_qs;
}

ScoringOutcome scorePage(AnalysisState &state, const QString &bodyHtml)
{
    ScoringOutcome outcome;
    state.pageHtml = bodyHtml;
    state.pageText = pageTextOf(state.pageHtml);
    if (!state.pageHtml.isEmpty()) {
        outcome.similarityCaption = scoreFigures(state);
        state.markedHtml = markItems(state.pageHtml);
        storeItems(state, itemsOfMarkedPage(state.markedHtml));
        ++state.resultCount;
    }
    if (state.sentences)
        outcome.progressCaption = progressCaption(state.curSentence, state.sentenceCount());
    return outcome;
}

} // namespace veltrik
