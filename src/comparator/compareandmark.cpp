#include "compareandmark.h"

#include "text/multisearch.h"
#include "text/numbers.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace veltrik {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr qsizetype kShortestSearchedPiece = 6;
// Marks waiting to be merged before the list is merged again: merging when the list has doubled keeps
// the work linear in the places found, up to the sort.
constexpr qsizetype kUnmergedMarks = 1 << 16;

// The full-width separator that ends a piece, for a separator in either width; 0 for other units.
char16_t separatorOf(char16_t unit)
{
    switch (unit) {
    case u',':
    case u'，':
        return u'，';
    case u'.':
    case u'。':
        return u'。';
    case u'!':
    case u'！':
        return u'！';
    case u'?':
    case u'？':
        return u'？';
    default:
        return 0;
    }
}

// White space just before a line break goes as the five single passes take it: each looks at what the
// passes before it left at the end of the line.
void dropSpaceBeforeBreak(QString &text)
{
    for (QStringView beforeBreak : {u"  ", u" ", u"\u3000\u3000", u"\u3000", u"\t"})
        if (text.endsWith(beforeBreak))
            text.chop(beforeBreak.size());
}

// The replacements in their order, done in one pass. Every separator gets its line break at once, since
// no later replacement makes or takes a separator; "……" pairs up from the left within each run of "…".
QString normaliseReference(QStringView text)
{
    QString normalised;
    normalised.reserve(text.size() + text.size() / 8);
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at].unicode();
        if (const char16_t separator = separatorOf(unit)) {
            normalised += QChar(separator);
            normalised += kCrLf;
        } else if (unit == u'…') {
            qsizetype run = 1;
            while (at + run < text.size() && text[at + run] == u'…')
                ++run;
            for (qsizetype pair = 0; pair < run / 2; ++pair)
                normalised += u"……"_qs + kCrLf;
            if (run % 2)
                normalised += QChar(u'…');
            at += run - 1;
        } else if (unit == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') {
            dropSpaceBeforeBreak(normalised);
            normalised += kCrLf;
            ++at;
        } else {
            normalised += QChar(unit);
        }
    }
    return normalised;
}

// Empty once the ideographic spaces are gone and the ASCII spaces trimmed.
bool isBlank(QStringView piece)
{
    return std::all_of(piece.begin(), piece.end(), [](QChar unit) { return unit == u' ' || unit == u'\u3000'; });
}

// Left to right from the first occurrence, each search starting after the previous one.
QList<qsizetype> nonOverlapping(const QList<qsizetype> &starts, qsizetype length)
{
    QList<qsizetype> chosen;
    qsizetype free = 0;
    for (qsizetype start : starts) {
        if (start >= free) {
            chosen.append(start);
            free = start + length;
        }
    }
    return chosen;
}

} // namespace

ReferenceCut cutReference(const QString &reference)
{
    ReferenceCut cut;
    const QString normalised = normaliseReference(reference);
    for (QStringView piece : QStringView(normalised).split(kCrLf))
        if (!isBlank(piece))
            cut.pieces.append(piece.toString());
    cut.normalisedText = cut.pieces.join(kCrLf);
    return cut;
}

PiecePlaces findPieces(const QString &article, const QStringList &pieces)
{
    PiecePlaces found;
    found.distinctOf.fill(-1, pieces.size());
    if (article.isEmpty())
        return found;
    // Each distinct piece is searched once; a piece that stands twice is counted twice.
    QHash<QString, qsizetype> indexOf;
    indexOf.reserve(pieces.size());
    for (qsizetype p = 0; p < pieces.size(); ++p) {
        const QString &piece = pieces[p];
        if (piece.size() < kShortestSearchedPiece)
            continue;
        const auto known = indexOf.constFind(piece);
        if (known != indexOf.cend()) {
            found.distinctOf[p] = *known;
            continue;
        }
        found.distinctOf[p] = found.distinct.size();
        indexOf.insert(piece, found.distinct.size());
        found.distinct.append(piece);
    }
    const QList<QList<qsizetype>> starts = MultiSearch(found.distinct).findAll(article);
    found.places.reserve(found.distinct.size());
    for (qsizetype i = 0; i < found.distinct.size(); ++i)
        found.places.append(nonOverlapping(starts[i], found.distinct[i].size()));
    return found;
}

MatchResult tallyPieces(const QStringList &pieces, const PiecePlaces &found)
{
    MatchResult result;
    // A piece that stands again in the reference finds and marks the same places again: they are
    // counted again but marked once.
    QList<bool> marked(found.distinct.size(), false);
    qsizetype merged = 0;
    for (qsizetype p = 0; p < pieces.size(); ++p) {
        const qsizetype index = found.distinctOf[p];
        if (index < 0)
            continue;
        const QList<qsizetype> &places = found.places[index];
        if (places.isEmpty())
            continue;
        const qsizetype length = pieces[p].size();
        result.chars += length;
        result.segments += places.size() - 1;
        result.sentences += 1;
        result.lastMark = TextSpan{places.last(), length};
        if (std::exchange(marked[index], true))
            continue;
        for (qsizetype start : places)
            result.marks.append({start, length});
        if (result.marks.size() > 2 * merged + kUnmergedMarks) {
            result.marks = mergeSpans(std::move(result.marks));
            merged = result.marks.size();
        }
    }
    result.marks = mergeSpans(std::move(result.marks));
    return result;
}

MatchResult matchPieces(const QString &article, const QStringList &pieces)
{
    return tallyPieces(pieces, findPieces(article, pieces));
}

QString percent(qint64 part, qsizetype whole)
{
    if (whole == 0)
        return u"0"_qs;
    return formatNumber(roundHalfEven(double(part) / double(whole), 2) * 100);
}

void CompareTotals::add(const MatchResult &run)
{
    chars += run.chars;
    sentences += run.sentences;
    segments += run.segments;
}

QString compareResultText(qsizetype articleLength, qsizetype referenceLength, const MatchResult &run,
                          const CompareTotals &totals, bool severalRuns)
{
    const qint64 segments = severalRuns ? totals.segments : run.segments;
    const qint64 sentences = severalRuns ? totals.sentences : run.sentences;
    const qint64 chars = severalRuns ? totals.chars : run.chars;
    return u"你的文章一共 "_qs + QString::number(articleLength) + u" 字，重复 "_qs + QString::number(segments) +
           u" 段， "_qs + QString::number(sentences) + u" 句， "_qs + QString::number(chars) + u" 字\r\n"_qs +
           u"        重复部分占你的文章的： "_qs + percent(chars, articleLength) + u" %\r\n"_qs +
           u"        与参考文章的相似度为： "_qs + percent(run.chars, referenceLength) + u" %"_qs;
}

QList<TextSpan> mergeSpans(QList<TextSpan> spans)
{
    std::sort(spans.begin(), spans.end(), [](const TextSpan &a, const TextSpan &b) { return a.start < b.start; });
    QList<TextSpan> merged;
    for (const TextSpan &span : spans) {
        if (span.length <= 0)
            continue;
        if (!merged.isEmpty() && span.start <= merged.last().start + merged.last().length) {
            TextSpan &last = merged.last();
            last.length = std::max(last.start + last.length, span.start + span.length) - last.start;
        } else {
            merged.append(span);
        }
    }
    return merged;
}

} // namespace veltrik
