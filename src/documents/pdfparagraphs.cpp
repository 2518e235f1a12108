#include "pdfparagraphs.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <vector>

namespace veltrik {
namespace {

// Running heads and page numbers sit in the first or last lines of a page's text.
constexpr qsizetype kEdgeLines = 2;
// A line at least this share of the document's full line width runs on into the next line.
constexpr double kRunOnShare = 0.8;
// The full line width: the width most lines of the document reach (its 90th percentile).
constexpr double kFullWidthPercentile = 0.9;

bool isChinese(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x2FDF)       // radicals
           || (c >= 0x3000 && c <= 0x303F)    // CJK symbols and punctuation
           || (c >= 0x3040 && c <= 0x30FF)    // kana, for the odd Japanese name
           || (c >= 0x3400 && c <= 0x4DBF)    // extension A
           || (c >= 0x4E00 && c <= 0x9FFF)    // unified ideographs
           || (c >= 0xF900 && c <= 0xFAFF)    // compatibility ideographs
           || (c >= 0xFE30 && c <= 0xFE4F)    // vertical and compatibility forms
           || (c >= 0xFF00 && c <= 0xFFEF)    // full-width forms
           || (c >= 0x20000 && c <= 0x3FFFF); // the supplementary ideographs
}

// Glyphs that stand for no character: private-use code points (symbol fonts, glyphs without a Unicode
// map), the non-characters Qt PDF puts where a word was hyphenated at the line end, and control characters.
bool standsForNoCharacter(char32_t c)
{
    const bool privateUse = (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
    const bool nonCharacter = (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
    const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
    return privateUse || nonCharacter || control;
}

// A line as it should reach the editor: only real characters, no single space between two Chinese
// characters, nothing at either end.
QString cleanLine(QStringView line)
{
    std::vector<char32_t> kept;
    kept.reserve(size_t(line.size()));
    for (char32_t c : line.toUcs4()) {
        if (c == u'\t')
            kept.push_back(u' ');
        else if (!standsForNoCharacter(c))
            kept.push_back(c);
    }
    std::vector<char32_t> spaced;
    spaced.reserve(kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        const bool singleSpaceInChinese =
            kept[i] == u' ' && i > 0 && i + 1 < kept.size() && isChinese(kept[i - 1]) && isChinese(kept[i + 1]);
        if (!singleSpaceInChinese)
            spaced.push_back(kept[i]);
    }
    return QString::fromUcs4(spaced.data(), qsizetype(spaced.size())).trimmed();
}

// Chinese characters take two columns, everything else one: near enough to tell a full line from the
// short last line of a paragraph.
qsizetype lineWidth(const QString &line)
{
    qsizetype width = 0;
    for (char32_t c : line.toUcs4())
        width += isChinese(c) ? 2 : 1;
    return width;
}

// What stays the same of a running head from page to page: its words, with every number (the page number,
// the chapter number, in Arabic or Roman numerals) and every run of spaces alike.
QString runningLineKey(const QString &line)
{
    static const QRegularExpression numbers(u"\\d+|\\b(?:[ivxlc]{1,7}|[IVXLC]{1,7})\\b"_qs);
    QString key = line.simplified();
    key.replace(numbers, u"#"_qs);
    return key;
}

// The numbers a line starts or ends with ("7", "- 7 -", "第 7 页", "C 安装升级 7"): a page number
// among them goes up by one from page to page.
QList<qint64> edgeNumbers(const QString &line)
{
    static const QRegularExpression leading(
        u"^(?:第|[Pp]age|[\\s\\-\u2013\u2014(\\[])*(\\d{1,6})(?=[\\s\\-\u2013\u2014)\\]页]|$)"_qs);
    static const QRegularExpression trailing(u"(?<![\\d.,])(\\d{1,6})(?:页|[\\s\\-\u2013\u2014)\\]])*$"_qs);
    QList<qint64> numbers;
    for (const QRegularExpression *pattern : {&leading, &trailing})
        if (const QRegularExpressionMatch match = pattern->match(line); match.hasMatch())
            numbers << match.captured(1).toLongLong();
    return numbers;
}

struct Page {
    QStringList lines; // cleaned, without empty lines
};

// The lines at one edge of a page, from the edge inwards.
struct Edge {
    QStringList keys;
    QList<qint64> outerNumbers; // of the line at the very edge
};

Edge edgeOf(const Page &page, bool top)
{
    Edge edge;
    const qsizetype count = std::min(kEdgeLines, page.lines.size());
    for (qsizetype i = 0; i < count; ++i)
        edge.keys << runningLineKey(top ? page.lines[i] : page.lines[page.lines.size() - 1 - i]);
    if (count > 0)
        edge.outerNumbers = edgeNumbers(top ? page.lines.first() : page.lines.last());
    return edge;
}

// Leaves out, at one edge of every page, the running heads and page numbers: lines that repeat at the same
// edge of most pages or of a page nearby (heads that change with the chapter, heads that alternate
// between left and right pages), and a line at the very edge whose number goes on from a page nearby.
void dropRunningLines(std::vector<Page> &pages, bool top)
{
    constexpr qsizetype kNearby = 2;
    std::vector<Edge> edges;
    QHash<QString, qsizetype> pagesWithKey;
    for (const Page &page : pages) {
        edges.push_back(edgeOf(page, top));
        const QStringList &keys = edges.back().keys;
        for (const QString &key : QSet<QString>(keys.begin(), keys.end()))
            ++pagesWithKey[key];
    }
    const qsizetype pageCount = qsizetype(pages.size());
    const auto nearby = [&](qsizetype page, auto &&matches) {
        for (qsizetype other = std::max<qsizetype>(0, page - kNearby); other <= std::min(pageCount - 1, page + kNearby);
             ++other)
            if (other != page && matches(edges[size_t(other)], other - page))
                return true;
        return false;
    };
    const auto repeats = [&](qsizetype page, const QString &key) {
        const qsizetype count = pagesWithKey.value(key);
        return (count >= 2 && count * 2 >= pageCount) ||
               nearby(page, [&](const Edge &edge, qsizetype) { return edge.keys.contains(key); });
    };
    const auto numbersPages = [&](qsizetype page) {
        return std::any_of(edges[size_t(page)].outerNumbers.begin(), edges[size_t(page)].outerNumbers.end(),
                           [&](qint64 number) {
                               return nearby(page, [&](const Edge &edge, qsizetype distance) {
                                   return edge.outerNumbers.contains(number + distance);
                               });
                           });
    };
    for (qsizetype p = 0; p < pageCount; ++p) {
        QStringList &lines = pages[size_t(p)].lines;
        const Edge &edge = edges[size_t(p)];
        qsizetype dropped = 0;
        while (dropped < edge.keys.size() && (repeats(p, edge.keys[dropped]) || (dropped == 0 && numbersPages(p))))
            ++dropped;
        if (top)
            lines.remove(0, dropped);
        else
            lines.resize(lines.size() - dropped);
    }
}

std::vector<Page> cleanPages(const QStringList &pageTexts)
{
    static const QRegularExpression lineBreak(u"\r\n|\r|\n|\u2028|\u2029"_qs);
    std::vector<Page> pages;
    pages.reserve(pageTexts.size());
    for (const QString &text : pageTexts) {
        Page page;
        for (const QString &line : text.split(lineBreak)) {
            QString cleaned = cleanLine(line);
            if (!cleaned.isEmpty())
                page.lines << std::move(cleaned);
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

qsizetype fullLineWidth(const std::vector<Page> &pages)
{
    std::vector<qsizetype> widths;
    for (const Page &page : pages)
        for (const QString &line : page.lines)
            widths.push_back(lineWidth(line));
    if (widths.empty())
        return 0;
    const size_t at = size_t(std::ceil(double(widths.size() - 1) * kFullWidthPercentile));
    std::nth_element(widths.begin(), widths.begin() + qsizetype(at), widths.end());
    return widths[at];
}

bool endsSentence(const QString &line)
{
    static const QString closing = u"”’」』）)]】》\"'"_qs;
    static const QString terminal = u"。！？；：…．.!?;:"_qs;
    qsizetype end = line.size();
    while (end > 0 && closing.contains(line[end - 1]))
        --end;
    return end > 0 && terminal.contains(line[end - 1]);
}

// Headings, list items and footnotes start a paragraph of their own, wherever the line before ends: a
// numbered heading ("1.2.2 ", "17."), a bullet, a circled or bracketed number, a Chinese enumeration.
bool startsParagraph(const QString &line)
{
    static const QRegularExpression marker(
        u"^(?:\\d+(?:\\.\\d+)+\\s|\\d{1,3}[.．、](?!\\d)|[•●○■□◆▪\u2460-\u249B]|[（(]\\d{1,2}[）)]"
        u"|[一二三四五六七八九十]+、|第[一二三四五六七八九十\\d]+[章节])"_qs);
    return marker.match(line).hasMatch();
}

char32_t firstCodePoint(const QString &text)
{
    return text.left(2).toUcs4().constFirst();
}

char32_t lastCodePoint(const QString &text)
{
    return text.right(2).toUcs4().constLast();
}

// The next line of the same paragraph, joined as it was before the line break.
void appendLine(QString &paragraph, const QString &line)
{
    if (paragraph.isEmpty()) {
        paragraph = line;
        return;
    }
    const char32_t last = lastCodePoint(paragraph);
    const char32_t next = firstCodePoint(line);
    const bool hyphenated =
        last == u'-' && paragraph.size() >= 2 && paragraph[paragraph.size() - 2].isLetter() && QChar::isLower(next);
    if (hyphenated)
        paragraph.chop(1);
    else if (!isChinese(last) && !isChinese(next))
        paragraph += u' ';
    paragraph += line;
}

} // namespace

QString rebuildPdfParagraphs(const QStringList &pageTexts)
{
    std::vector<Page> pages = cleanPages(pageTexts);
    dropRunningLines(pages, true);
    dropRunningLines(pages, false);
    const double runOnWidth = double(fullLineWidth(pages)) * kRunOnShare;
    const auto runsOn = [runOnWidth](const QString &line) { return double(lineWidth(line)) >= runOnWidth; };

    QStringList paragraphs;
    QString paragraph;
    for (const Page &page : pages) {
        for (qsizetype i = 0; i < page.lines.size(); ++i) {
            const QString &line = page.lines[i];
            if (!paragraph.isEmpty() && startsParagraph(line)) {
                paragraphs << paragraph;
                paragraph.clear();
            }
            appendLine(paragraph, line);
            const bool lastOfPage = i + 1 == page.lines.size();
            const bool continues = runsOn(line) && !(lastOfPage && endsSentence(line));
            if (!continues) {
                paragraphs << paragraph;
                paragraph.clear();
            }
        }
    }
    if (!paragraph.isEmpty())
        paragraphs << paragraph;
    return paragraphs.join(u'\n');
}

} // namespace veltrik
