#include "scoring.h"

#include "text/codepage936.h"
#include "text/numbers.h"
#include "text/replace.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringMatcher>

namespace veltrik {
namespace {

constexpr qsizetype kShortestCountedHighlight = 10;
constexpr qsizetype kShortestResultPage = 500;
constexpr int kFixedDivisor = 1200;

const QString kItemMarker = QStringLiteral("<bbbbbbbb>");

// Text between each opening tag and the next closing tag, when longer than 9 characters.
QString fragmentsBetween(const QString &html, const QString &open, const QString &close)
{
    const QStringMatcher openTag(open);
    const QStringMatcher closeTag(close);
    QString joined;
    qsizetype from = openTag.indexIn(html);
    while (from >= 0) {
        const qsizetype start = from + open.size();
        const qsizetype next = openTag.indexIn(html, start);
        const qsizetype pieceEnd = next < 0 ? html.size() : next;
        const qsizetype closing = closeTag.indexIn(QStringView(html).first(pieceEnd), start);
        const qsizetype end = closing >= 0 ? closing : pieceEnd;
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

const QString kItemPatterns[] = {QStringLiteral("\",\"url\":\""), QStringLiteral("data-tools='{\"title\":\""),
                                  QStringLiteral("\"}'><A class=c-tip-icon>"),
                                  QStringLiteral("\"}'><a class=\"c-tip-icon\">")};
const QString kHighlightTags[] = {QStringLiteral("<EM>"), QStringLiteral("<em>"), QStringLiteral("</EM>"),
                                  QStringLiteral("</em>")};

// The item patterns replaced one after the other over the whole page, then the highlight tags removed
// one after the other: the reference for the one-pass version below.
QString markItemsPassByPass(const QString &html)
{
    QString marked = html;
    for (const QString &pattern : kItemPatterns)
        marked = replaceAll(marked, pattern, kItemMarker);
    for (const QString &tag : kHighlightTags)
        marked = replaceAll(marked, tag, QString());
    return marked;
}

bool startsWithAt(QStringView text, qsizetype at, const QString &pattern)
{
    return text.sliced(at).startsWith(pattern);
}

// The item pattern that the replacements, in their order, replace at `at`; -1 for none. The patterns
// start with '"' or 'd'. One overlap needs care: the second pattern ends with the '"' the first begins
// with, and the first, replaced earlier, wins there.
int itemPatternAt(QStringView html, qsizetype at)
{
    if (html[at] == u'd') {
        if (!startsWithAt(html, at, kItemPatterns[1]))
            return -1;
        const bool firstOverlaps = startsWithAt(html, at + kItemPatterns[1].size() - 1, kItemPatterns[0]);
        return firstOverlaps ? -1 : 1;
    }
    for (int pattern : {0, 2, 3})
        if (startsWithAt(html, at, kItemPatterns[pattern]))
            return pattern;
    return -1;
}

int highlightTagAt(QStringView html, qsizetype at)
{
    for (int tag = 0; tag < 4; ++tag)
        if (startsWithAt(html, at, kHighlightTags[tag]))
            return tag;
    return -1;
}

bool holdsHighlightTag(QStringView text)
{
    for (qsizetype at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1))
        if (highlightTagAt(text, at) >= 0)
            return true;
    return false;
}

// The same result as markItemsPassByPass in one pass over the page. Item patterns and highlight tags
// cannot overlap one another, and the marker forms neither; the only way the two orders can differ is a
// tag that the removal of another tag joins together. That is looked for at every place where a tag was
// removed; where one appears, there is no result and the pass-by-pass version decides.
std::optional<QString> markItemsInOnePass(const QString &html)
{
    // A marker is one character longer than the shortest pattern it replaces.
    QString marked(html.size() + html.size() / kItemPatterns[0].size() + 1, Qt::Uninitialized);
    QChar *out = marked.data();
    QList<qsizetype> joins;
    const QStringView page(html);
    qsizetype runStart = 0;
    auto flushRun = [&](qsizetype end) {
        out = std::copy(page.data() + runStart, page.data() + end, out);
    };
    for (qsizetype at = 0; at < page.size();) {
        const char16_t c = page[at].unicode();
        if (c != u'"' && c != u'd' && c != u'<') {
            ++at;
            continue;
        }
        int pattern = -1;
        int tag = -1;
        const char16_t next = at + 1 < page.size() ? page[at + 1].unicode() : 0;
        if ((c == u'"' && (next == u',' || next == u'}')) || (c == u'd' && next == u'a'))
            pattern = itemPatternAt(page, at);
        else if (c == u'<' && (next == u'E' || next == u'e' || next == u'/'))
            tag = highlightTagAt(page, at);
        if (pattern < 0 && tag < 0) {
            ++at;
            continue;
        }
        flushRun(at);
        if (pattern >= 0) {
            out = std::copy(kItemMarker.cbegin(), kItemMarker.cend(), out);
            at += kItemPatterns[pattern].size();
        } else {
            joins.append(out - marked.constData());
            at += kHighlightTags[tag].size();
        }
        runStart = at;
    }
    flushRun(page.size());
    marked.truncate(out - marked.constData());

    constexpr qsizetype kLongestTag = 5;
    for (qsizetype join : joins) {
        const qsizetype from = std::max<qsizetype>(0, join - kLongestTag);
        if (holdsHighlightTag(QStringView(marked).mid(from, 2 * kLongestTag)))
            return std::nullopt;
    }
    return marked;
}

// Entities the browser writes in attribute values.
QString htmlUnescaped(QStringView value)
{
    if (!value.contains(u'&'))
        return value.toString();
    QString text = value.toString();
    text.replace(u"&quot;"_qs, u"\""_qs).replace(u"&#39;"_qs, u"'"_qs).replace(u"&lt;"_qs, u"<"_qs);
    text.replace(u"&gt;"_qs, u">"_qs).replace(u"&nbsp;"_qs, u"\u00A0"_qs).replace(u"&amp;"_qs, u"&"_qs);
    return text;
}

std::optional<ResultItem> itemOfJson(const QString &value)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(value.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject() || !json.object().value(u"title").isString())
        return std::nullopt;
    QString title = json.object().value(u"title").toString();
    for (const QString &tag : kHighlightTags)
        title = replaceAll(title, tag, QString());
    return ResultItem{title, json.object().value(u"url").toString()};
}

} // namespace

QString pageTextOf(const QString &html)
{
    const DoubleByteTable &table = doubleByteTable();
    QString text(html.size(), Qt::Uninitialized);
    QChar *out = text.data();
    // Every character is written; the position only moves on for one that is kept.
    for (const QChar c : html) {
        *out = c;
        out += int(c.unicode() != 0x3000) & int(table.contains(c.unicode()));
    }
    text.truncate(out - text.constData());
    return text;
}

QString highlightTextOf(const QString &html)
{
    if (QStringMatcher(kHighlightTags[0]).indexIn(html) >= 0)
        return fragmentsBetween(html, u"<EM>"_qs, u"</EM>"_qs);
    return fragmentsBetween(html, u"<em>"_qs, u"</em>"_qs);
}

QString markItems(const QString &html)
{
    if (auto marked = markItemsInOnePass(html))
        return *marked;
    return markItemsPassByPass(html);
}

QList<ResultItem> itemsOfPage(const QString &html)
{
    static const QString attribute = QStringLiteral("data-tools=");
    const QStringMatcher matcher(attribute);
    QList<ResultItem> items;
    for (qsizetype at = matcher.indexIn(html); at >= 0; at = matcher.indexIn(html, at + attribute.size())) {
        const qsizetype open = at + attribute.size();
        if (open >= html.size() || (html[open] != u'\'' && html[open] != u'"'))
            continue;
        const qsizetype close = html.indexOf(html[open], open + 1);
        if (close < 0)
            break;
        if (const auto item = itemOfJson(htmlUnescaped(QStringView(html).sliced(open + 1, close - open - 1))))
            items.append(*item);
    }
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

ScoringOutcome scorePage(AnalysisState &state, const ResultPage &page)
{
    ScoringOutcome outcome;
    QString pageText = pageTextOf(page.bodyHtml);
    if (isSecurityCheckPage(page, pageText.size())) {
        outcome.securityCheck = true;
        outcome.progressCaption = securityCheckCaption(state.curSentence);
        return outcome;
    }
    state.pageHtml = page.bodyHtml;
    state.pageText = std::move(pageText);
    if (!state.pageHtml.isEmpty()) {
        outcome.similarityCaption = scoreFigures(state);
        state.markedHtml = markItems(state.pageHtml);
        storeItems(state, itemsOfPage(state.pageHtml));
        ++state.resultCount;
    }
    if (state.sentences)
        outcome.progressCaption = progressCaption(state.curSentence, state.sentenceCount());
    return outcome;
}

} // namespace veltrik
