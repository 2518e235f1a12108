#include "exclusions.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace veltrik {
namespace {

enum class Reason : quint8 { Kept, References, TableOfContents, Quotes };

// One paragraph of the editor text: its characters, and where the next one starts (after CR LF or LF).
struct Line {
    qsizetype start;
    qsizetype length;
    qsizetype end;
};

// A heading's level (1 for a chapter and the unnumbered back matter, more for sections) and its title
// without numbering, blanks or a closing colon, in lower case.
struct Heading {
    int level;
    QString title;
};

// Longer lines are body text, whatever they begin with.
constexpr qsizetype kMaxHeadingLength = 40;

const QStringList kReferencesTitles = {u"参考文献"_qs, u"主要参考文献"_qs, u"参考资料"_qs,  u"引用文献"_qs,
                                       u"参考书目"_qs, u"references"_qs,   u"reference"_qs, u"bibliography"_qs};
// Unnumbered headings at the level of a chapter: the front and back matter of a thesis.
const QStringList kUnnumberedChapterTitles = {u"致谢"_qs,
                                              u"谢辞"_qs,
                                              u"致谢辞"_qs,
                                              u"后记"_qs,
                                              u"作者简介"_qs,
                                              u"个人简历"_qs,
                                              u"acknowledgements"_qs,
                                              u"acknowledgments"_qs,
                                              u"摘要"_qs,
                                              u"abstract"_qs,
                                              u"目录"_qs,
                                              u"结论"_qs};
const QStringList kUnnumberedChapterPrefixes = {u"附录"_qs, u"appendix"_qs, u"攻读"_qs};
const QStringList kContentsTitles = {u"目录"_qs, u"目次"_qs, u"contents"_qs, u"tableofcontents"_qs};

// A numbered heading's title has none of these: they mark body text, a reference entry or a line of the
// table of contents.
const QString kNotInNumberedTitle = u"，。；：,.;:！？!?“”\"[]【】()（）…·"_qs;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'\t' || c == u'\r' || c == u'\n';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

QString normalizedTitle(QStringView title)
{
    QString normalized;
    for (const QChar c : title) {
        if (!isBlank(c))
            normalized += c.toLower();
    }
    while (normalized.endsWith(u'：') || normalized.endsWith(u':'))
        normalized.chop(1);
    return normalized;
}

QList<Line> splitLines(const QString &text)
{
    QList<Line> lines;
    qsizetype start = 0;
    for (;;) {
        const qsizetype lineFeed = text.indexOf(u'\n', start);
        if (lineFeed < 0) {
            lines.append({start, text.size() - start, text.size()});
            return lines;
        }
        const qsizetype length = lineFeed - start - (lineFeed > start && text[lineFeed - 1] == u'\r' ? 1 : 0);
        lines.append({start, length, lineFeed + 1});
        start = lineFeed + 1;
    }
}

struct Numbering {
    QRegularExpression pattern;
    // The level of a match; the decimal numbering counts its parts.
    int (*level)(const QRegularExpressionMatch &);
};

const QList<Numbering> &numberings()
{
    static const QList<Numbering> all = {
        {QRegularExpression(u"^第[一二三四五六七八九十百零〇两\\d]+([章部篇节])"_qs),
         [](const QRegularExpressionMatch &m) { return m.captured(1) == u"节"_qs ? 2 : 1; }},
        {QRegularExpression(u"^[一二三四五六七八九十]+[、.．]"_qs), [](const QRegularExpressionMatch &) { return 1; }},
        {QRegularExpression(u"^[（(][一二三四五六七八九十\\d]+[）)]"_qs),
         [](const QRegularExpressionMatch &) { return 2; }},
        {QRegularExpression(u"^(\\d{1,2}(?:[.．]\\d{1,2})*)[.．、]?(?=\\D)"_qs),
         [](const QRegularExpressionMatch &m) {
             return int(m.captured(1).count(QRegularExpression(u"[.．]"_qs))) + 1;
         }},
    };
    return all;
}

bool isUnnumberedChapterTitle(const QString &title)
{
    if (kReferencesTitles.contains(title) || kUnnumberedChapterTitles.contains(title))
        return true;
    for (const QString &prefix : kUnnumberedChapterPrefixes) {
        if (title.startsWith(prefix))
            return true;
    }
    return false;
}

// Strips one pair of brackets around a whole unnumbered heading: 【参考文献】, [References].
QStringView withoutEnclosingBrackets(QStringView text)
{
    static const QString opening = u"【[〔"_qs;
    static const QString closing = u"】]〕"_qs;
    const qsizetype kind = text.isEmpty() ? -1 : opening.indexOf(text.front());
    if (kind >= 0 && text.size() > 2 && text.back() == closing[kind])
        return text.mid(1, text.size() - 2);
    return text;
}

std::optional<Heading> parseHeading(QStringView line)
{
    const QStringView text = trimBlanks(line);
    if (text.isEmpty() || text.size() > kMaxHeadingLength)
        return std::nullopt;
    for (const Numbering &numbering : numberings()) {
        const QRegularExpressionMatch match = numbering.pattern.match(text);
        if (!match.hasMatch())
            continue;
        const QStringView title = text.mid(match.capturedLength());
        const QString normalized = normalizedTitle(title);
        const bool plainTitle =
            std::none_of(title.begin(), title.end(), [](QChar c) { return kNotInNumberedTitle.contains(c); });
        if (normalized.isEmpty() || !plainTitle)
            return std::nullopt;
        return Heading{numbering.level(match), normalized};
    }
    const QString normalized = normalizedTitle(withoutEnclosingBrackets(text));
    if (!isUnnumberedChapterTitle(normalized))
        return std::nullopt;
    return Heading{1, normalized};
}

bool isTableOfContentsLine(QStringView line)
{
    static const QRegularExpression entry(u"^\\S.*?(?:(?:[.．·・•⋯]\\s*){3,}|(?:…\\s*){2,}|(?:[-_]\\s*){4,})"_qs
                                          u"\\s*(?:\\d{1,4}|[ivxlcIVXLC]{1,7})$"_qs,
                                          QRegularExpression::UseUnicodePropertiesOption);
    return entry.match(trimBlanks(line)).hasMatch();
}

bool isContentsHeading(QStringView line)
{
    const QStringView text = trimBlanks(line);
    return text.size() <= kMaxHeadingLength && kContentsTitles.contains(normalizedTitle(text));
}

// The 引用 or 如……所说 that makes quoted text a quote stands in the same sentence before it.
bool markedAsQuote(QStringView before)
{
    static const QRegularExpression sentenceEnd(u"[。！？!?；;]"_qs);
    static const QRegularExpression marker(u"引用|如.{0,30}所[说言]"_qs);
    const qsizetype lastEnd = before.toString().lastIndexOf(sentenceEnd);
    return marker.match(before.mid(lastEnd + 1)).hasMatch();
}

// The closing mark of the quote opened at `open`, in the same paragraph; -1 when it is never closed.
qsizetype closingMark(QStringView line, qsizetype open)
{
    if (line[open] == u'“')
        return line.indexOf(u'”', open + 1);
    int depth = 0;
    for (qsizetype i = open; i < line.size(); ++i) {
        if (line[i] == u'「')
            ++depth;
        else if (line[i] == u'」' && --depth == 0)
            return i;
    }
    return -1;
}

bool standsAlone(QStringView line, qsizetype open, qsizetype close)
{
    static const QRegularExpression onlyClosingPunctuation(u"^[。.！!？?…\\s\u3000]*$"_qs);
    return trimBlanks(line.left(open)).isEmpty() && onlyClosingPunctuation.match(line.mid(close + 1)).hasMatch();
}

class Exclusion {
public:
    explicit Exclusion(const QString &text)
        : m_text(text)
        , m_lines(splitLines(text))
        , m_reasons(text.size(), Reason::Kept)
    {
    }

    void leaveOutReferences()
    {
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            const std::optional<Heading> heading = parseHeading(lineText(i));
            if (!heading || !kReferencesTitles.contains(heading->title))
                continue;
            qsizetype next = i + 1;
            while (next < m_lines.size() && !endsSection(next, heading->level))
                ++next;
            mark(m_lines[i].start, m_lines[next - 1].end, Reason::References);
            i = next - 1;
        }
    }

    void leaveOutTableOfContents()
    {
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (isTableOfContentsLine(lineText(i)) ||
                (isContentsHeading(lineText(i)) && isTableOfContentsLine(lineText(nextFilledLine(i)))))
                mark(m_lines[i].start, m_lines[i].end, Reason::TableOfContents);
        }
    }

    void leaveOutQuotes()
    {
        for (qsizetype i = 0; i < m_lines.size(); ++i)
            leaveOutQuotesIn(i);
    }

    ExclusionResult result() const
    {
        ExclusionResult result;
        result.keptText.reserve(m_text.size());
        for (qsizetype i = 0; i < m_text.size(); ++i) {
            const QChar c = m_text[i];
            switch (m_reasons[i]) {
            case Reason::Kept:
                result.keptText += c;
                continue;
            case Reason::References:
                result.excluded.references += isBlank(c) ? 0 : 1;
                continue;
            case Reason::TableOfContents:
                result.excluded.tableOfContents += isBlank(c) ? 0 : 1;
                continue;
            case Reason::Quotes:
                result.excluded.quotes += isBlank(c) ? 0 : 1;
                continue;
            }
        }
        return result;
    }

private:
    QStringView lineText(qsizetype index) const
    {
        if (index >= m_lines.size())
            return {};
        return QStringView(m_text).mid(m_lines[index].start, m_lines[index].length);
    }

    qsizetype nextFilledLine(qsizetype index) const
    {
        qsizetype next = index + 1;
        while (next < m_lines.size() && trimBlanks(lineText(next)).isEmpty())
            ++next;
        return next;
    }

    bool endsSection(qsizetype index, int level) const
    {
        const std::optional<Heading> heading = parseHeading(lineText(index));
        return heading && heading->level <= level;
    }

    // What an earlier reason took keeps that reason.
    void mark(qsizetype from, qsizetype to, Reason reason)
    {
        for (qsizetype i = from; i < to; ++i) {
            if (m_reasons[i] == Reason::Kept)
                m_reasons[i] = reason;
        }
    }

    void leaveOutQuotesIn(qsizetype index)
    {
        static const QRegularExpression opening(u"[“「]"_qs);
        const QStringView line = lineText(index);
        const qsizetype start = m_lines[index].start;
        for (qsizetype open = line.indexOf(opening); open >= 0; open = line.indexOf(opening, open + 1)) {
            const qsizetype close = closingMark(line, open);
            if (close < 0)
                return;
            if (m_reasons[start + open] != Reason::Kept) {
                open = close;
                continue;
            }
            if (standsAlone(line, open, close)) {
                mark(start, m_lines[index].end, Reason::Quotes);
                return;
            }
            if (markedAsQuote(line.left(open)))
                mark(start + open, start + close + 1, Reason::Quotes);
            open = close;
        }
    }

    const QString &m_text;
    const QList<Line> m_lines;
    QList<Reason> m_reasons;
};

} // namespace

ExclusionResult applyExclusions(const QString &editorText, const AnalysisOptions &options)
{
    if (!options.anyOn())
        return {editorText, {}};
    Exclusion exclusion(editorText);
    if (options.excludeReferences)
        exclusion.leaveOutReferences();
    if (options.excludeTableOfContents)
        exclusion.leaveOutTableOfContents();
    if (options.excludeQuotes)
        exclusion.leaveOutQuotes();
    return exclusion.result();
}

QString exclusionSentence(const AnalysisOptions &options, const ExcludedCharacters &excluded)
{
    QStringList parts;
    if (options.excludeReferences)
        parts << u"参考文献 "_qs + QString::number(excluded.references) + u" 字"_qs;
    if (options.excludeQuotes)
        parts << u"引文 "_qs + QString::number(excluded.quotes) + u" 字"_qs;
    if (options.excludeTableOfContents)
        parts << u"目录 "_qs + QString::number(excluded.tableOfContents) + u" 字"_qs;
    if (parts.isEmpty())
        return QString();
    return u"已排除"_qs + parts.join(u"，"_qs) + u"，共 "_qs + QString::number(excluded.total()) +
           u" 字不参与对比。"_qs;
}

} // namespace veltrik
