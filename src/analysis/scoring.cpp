#include "scoring.h"

#include "text/codepage936.h"
#include "text/numbers.h"
#include "text/replace.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringMatcher>

#include <algorithm>

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

// The content of script and style elements is not text the engine showed. A music card's inline script,
// for one, holds "<em>…<\/em>": taken as page text, its "<em>" would open a fragment running on to the
// next highlight.
struct RawTextElement {
    QString name;
    QStringMatcher closing;
};

const RawTextElement kRawTextElements[] = {
    {u"script"_qs, QStringMatcher(u"</script"_qs, Qt::CaseInsensitive)},
    {u"style"_qs, QStringMatcher(u"</style"_qs, Qt::CaseInsensitive)},
};

bool endsTagName(QStringView html, qsizetype at)
{
    return at >= html.size() || html[at].isSpace() || html[at] == u'>' || html[at] == u'/';
}

// The script or style element whose opening tag starts at `at`, if any ("<scripts" is none).
const RawTextElement *rawTextElementAt(QStringView html, qsizetype at)
{
    if (at + 1 >= html.size() || (html[at + 1] != u's' && html[at + 1] != u'S'))
        return nullptr;
    const QStringView name = html.sliced(at + 1);
    for (const RawTextElement &element : kRawTextElements)
        if (name.startsWith(element.name, Qt::CaseInsensitive) && endsTagName(html, at + 1 + element.name.size()))
            return &element;
    return nullptr;
}

// The page with the content of its script and style elements left out (their tags stay). An element
// without its closing tag runs to the end of the page.
QString withoutRawText(const QString &html)
{
    const QStringView page(html);
    QString kept;
    qsizetype copiedUpTo = 0;
    for (qsizetype at = page.indexOf(u'<'); at >= 0; at = page.indexOf(u'<', at + 1)) {
        const RawTextElement *element = rawTextElementAt(page, at);
        if (!element)
            continue;
        const qsizetype tagEnd = page.indexOf(u'>', at);
        if (tagEnd < 0)
            break;
        if (copiedUpTo == 0)
            kept.reserve(html.size());
        kept += page.sliced(copiedUpTo, tagEnd + 1 - copiedUpTo);
        const qsizetype closing = element->closing.indexIn(page, tagEnd + 1);
        copiedUpTo = closing < 0 ? html.size() : closing;
        if (closing < 0)
            break;
        at = closing;
    }
    if (copiedUpTo == 0)
        return html;
    kept += page.sliced(copiedUpTo);
    return kept;
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

// Step 6: the figures and the similarity label. The piece's own figure is 0 for a page too short to be a
// result page; there is none when the page is no piece's.
std::optional<QString> scoreFigures(AnalysisState &state, std::optional<double> &pieceFigure)
{
    const qsizetype piece = state.curSentence - 1;
    const bool forAPiece = piece >= 0 && piece < state.sentenceCount();
    if (state.pageText.size() < kShortestResultPage) {
        if (forAPiece)
            pieceFigure = 0;
        const auto overall = overallFigure(state);
        return overall ? std::optional(similarityCaption(u"0"_qs, *overall)) : std::nullopt;
    }
    if (!forAPiece)
        return std::nullopt;
    const double percent = sentencePercent(highlightTextOf(state.pageHtml).size(), state.sentences->at(piece).size());
    pieceFigure = percent;
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
    auto flushRun = [&](qsizetype end) { out = std::copy(page.data() + runStart, page.data() + end, out); };
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

// An item and where on the page it starts.
struct PlacedItem {
    qsizetype at;
    ResultItem item;
};

// Each data-tools attribute gives one item.
QList<PlacedItem> dataToolsItems(const QString &html)
{
    static const QString attribute = QStringLiteral("data-tools=");
    static const QStringMatcher matcher(attribute);
    QList<PlacedItem> items;
    for (qsizetype at = matcher.indexIn(html); at >= 0; at = matcher.indexIn(html, at + attribute.size())) {
        const qsizetype open = at + attribute.size();
        if (open >= html.size() || (html[open] != u'\'' && html[open] != u'"'))
            continue;
        const qsizetype close = html.indexOf(html[open], open + 1);
        if (close < 0)
            break;
        if (const auto item = itemOfJson(htmlUnescaped(QStringView(html).sliced(open + 1, close - open - 1))))
            items.append({at, *item});
    }
    return items;
}

struct AttributeValue {
    QString text;
    qsizetype end; // just behind the value
};

// The value that starts at `at`: quoted with either quote, or bare up to a space or the tag's end.
AttributeValue attributeValueAt(const QString &html, qsizetype at)
{
    if (at < html.size() && (html[at] == u'"' || html[at] == u'\'')) {
        const qsizetype close = html.indexOf(html[at], at + 1);
        const qsizetype end = close < 0 ? html.size() : close;
        return {htmlUnescaped(QStringView(html).sliced(at + 1, end - at - 1)), std::min(end + 1, html.size())};
    }
    qsizetype end = at;
    while (end < html.size() && !html[end].isSpace() && html[end] != u'>')
        ++end;
    return {htmlUnescaped(QStringView(html).sliced(at, end - at)), end};
}

// The text a reader sees of some markup: tags left out, entities decoded, white space collapsed.
QString visibleText(QStringView markup)
{
    QString text;
    for (qsizetype at = 0; at < markup.size();) {
        if (markup[at] == u'<') {
            const qsizetype close = markup.indexOf(u'>', at);
            at = close < 0 ? markup.size() : close + 1;
            continue;
        }
        text += markup[at++];
    }
    return htmlUnescaped(text).simplified();
}

// The title link of a card: the first anchor after its heading, within [from, to).
std::optional<ResultItem> titleLinkIn(const QString &html, qsizetype from, qsizetype to)
{
    static const QStringMatcher anchor(u"<a"_qs, Qt::CaseInsensitive);
    static const QStringMatcher anchorEnd(u"</a"_qs, Qt::CaseInsensitive);
    static const QStringMatcher reference(u" href="_qs, Qt::CaseInsensitive);
    qsizetype at = anchor.indexIn(html, from);
    while (at >= 0 && at + 2 < html.size() && !html[at + 2].isSpace() && html[at + 2] != u'>')
        at = anchor.indexIn(html, at + 2);
    if (at < 0 || at >= to)
        return std::nullopt;
    const qsizetype tagEnd = html.indexOf(u'>', at);
    const qsizetype close = tagEnd < 0 ? -1 : anchorEnd.indexIn(html, tagEnd);
    if (close < 0 || close >= to)
        return std::nullopt;
    const qsizetype href = reference.indexIn(QStringView(html).first(tagEnd), at);
    const QString title = visibleText(QStringView(html).sliced(tagEnd + 1, close - tagEnd - 1));
    if (title.isEmpty())
        return std::nullopt;
    return ResultItem{title, href < 0 ? QString() : attributeValueAt(html, href + 6).text};
}

// Where the element whose opening tag starts at `tagStart` ends: behind the closing tag that balances it,
// or the end of the page.
qsizetype elementEnd(const QString &html, qsizetype tagStart)
{
    qsizetype nameEnd = tagStart + 1;
    while (!endsTagName(html, nameEnd))
        ++nameEnd;
    const QString name = html.sliced(tagStart + 1, nameEnd - tagStart - 1);
    if (name.isEmpty())
        return html.size();
    const QStringMatcher opening(u"<"_qs + name, Qt::CaseInsensitive);
    const QStringMatcher closing(u"</"_qs + name, Qt::CaseInsensitive);
    int depth = 1;
    qsizetype from = nameEnd;
    while (depth > 0) {
        qsizetype open = opening.indexIn(html, from);
        while (open >= 0 && !endsTagName(html, open + 1 + name.size()))
            open = opening.indexIn(html, open + 1);
        const qsizetype close = closing.indexIn(html, from);
        if (close < 0)
            return html.size();
        if (open >= 0 && open < close) {
            ++depth;
            from = open + 1;
        } else {
            --depth;
            from = close + 2;
        }
    }
    const qsizetype tagEnd = html.indexOf(u'>', from);
    return tagEnd < 0 ? html.size() : tagEnd + 1;
}

// Cards of the web search (encyclopedia, dictionary, news, video ...) carry no data-tools: their title is
// the card's title link (the first link of its heading), their real address the container's mu
// attribute. A container with a mu attribute that holds a data-tools item is not a card: that item
// already stands for it. `describedAt` are the positions of the data-tools items, ascending.
QList<PlacedItem> cardItems(const QString &html, const QList<qsizetype> &describedAt)
{
    static const QString attribute = QStringLiteral("mu=");
    static const QStringMatcher matcher(attribute);
    static const QStringMatcher heading(u"<h3"_qs, Qt::CaseInsensitive);
    QList<PlacedItem> cards;
    for (qsizetype at = matcher.indexIn(html); at >= 0; at = matcher.indexIn(html, at + attribute.size())) {
        const qsizetype tagStart = at == 0 || !html[at - 1].isSpace() ? -1 : html.lastIndexOf(u'<', at);
        if (tagStart < 0 || html.indexOf(u'>', tagStart) < at)
            continue; // not an attribute of a tag
        const qsizetype end = elementEnd(html, tagStart);
        const auto described = std::lower_bound(describedAt.cbegin(), describedAt.cend(), tagStart);
        if (described != describedAt.cend() && *described < end)
            continue;
        const qsizetype title = heading.indexIn(html, at);
        if (title < 0 || title >= end)
            continue;
        if (auto item = titleLinkIn(html, title, end)) {
            const QString address = attributeValueAt(html, at + attribute.size()).text;
            if (!address.isEmpty())
                item->url = address;
            cards.append({at, *item});
        }
    }
    return cards;
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
    const QString shown = withoutRawText(html);
    if (QStringMatcher(kHighlightTags[0]).indexIn(shown) >= 0)
        return fragmentsBetween(shown, u"<EM>"_qs, u"</EM>"_qs);
    return fragmentsBetween(shown, u"<em>"_qs, u"</em>"_qs);
}

QString markItems(const QString &html)
{
    if (auto marked = markItemsInOnePass(html))
        return *marked;
    return markItemsPassByPass(html);
}

QList<ResultItem> itemsOfPage(const QString &html)
{
    const QList<PlacedItem> described = dataToolsItems(html);
    QList<qsizetype> describedAt;
    describedAt.reserve(described.size());
    for (const PlacedItem &placed : described)
        describedAt.append(placed.at);
    const QList<PlacedItem> cards = cardItems(html, describedAt);

    QList<ResultItem> items;
    items.reserve(described.size() + cards.size());
    auto card = cards.cbegin();
    for (const PlacedItem &placed : described) {
        for (; card != cards.cend() && card->at < placed.at; ++card)
            items.append(card->item);
        items.append(placed.item);
    }
    for (; card != cards.cend(); ++card)
        items.append(card->item);
    return items;
}

double sentencePercent(qsizetype highlightLength, qsizetype pieceLength)
{
    const double ratio = double(highlightLength) / double(2 * pieceLength + kFixedDivisor);
    return roundHalfEven(ratio, 2) * 100;
}

std::optional<double> shownOverallFigure(double similaritySum, int resultCount)
{
    if (resultCount <= 1)
        return std::nullopt;
    return roundHalfEven(similaritySum / (resultCount - 1), 2);
}

std::optional<QString> figuresCaption(double pieceFigure, double similaritySum, int resultCount)
{
    const auto overall = shownOverallFigure(similaritySum, resultCount);
    return overall ? std::optional(similarityCaption(formatNumber(pieceFigure), *overall)) : std::nullopt;
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
    const QList<ResultItem> items = itemsOfPage(page.bodyHtml);
    if (isSecurityCheckPage(page, pageText.size(), !items.isEmpty())) {
        outcome.securityCheck = true;
        outcome.progressCaption = securityCheckCaption(state.curSentence, state.autoMode);
        return outcome;
    }
    state.pageHtml = page.bodyHtml;
    state.pageText = std::move(pageText);
    if (!state.pageHtml.isEmpty()) {
        std::optional<double> pieceFigure;
        outcome.similarityCaption = scoreFigures(state, pieceFigure);
        state.markedHtml = markItems(state.pageHtml);
        storeItems(state, items);
        ++state.resultCount;
        if (pieceFigure)
            outcome.pieceScore =
                PieceScore{state.curSentence - 1, *pieceFigure,
                           items.first(std::min<qsizetype>(items.size(), AnalysisState::kSlotsPerSentence))};
    }
    if (state.sentences)
        outcome.progressCaption = progressCaption(state.curSentence, state.sentenceCount());
    return outcome;
}

} // namespace veltrik
