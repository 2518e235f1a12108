#include "compareandmark.h"

#include "text/multisearch.h"
#include "text/numbers.h"
#include "text/replace.h"

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

QString normaliseReference(QString text)
{
    text = replaceAll(text, u","_qs, u"，"_qs);
    text = replaceAll(text, u"，"_qs, u"，"_qs + kCrLf);
    text = replaceAll(text, u"."_qs, u"。"_qs);
    text = replaceAll(text, u"。"_qs, u"。"_qs + kCrLf);
    text = replaceAll(text, u"！"_qs, u"！"_qs + kCrLf);
    text = replaceAll(text, u"!"_qs, u"！"_qs + kCrLf);
    text = replaceAll(text, u"？"_qs, u"？"_qs + kCrLf);
    text = replaceAll(text, u"?"_qs, u"？"_qs + kCrLf);
    text = replaceAll(text, u"……"_qs, u"……"_qs + kCrLf);
    for (const QString &beforeBreak : {u"  "_qs, u" "_qs, u"\u3000\u3000"_qs, u"\u3000"_qs, u"\t"_qs})
        text = replaceAll(text, beforeBreak + kCrLf, kCrLf);
    return text;
}

bool isBlank(const QString &piece)
{
    return trimSpaces(QString(piece).remove(QChar(0x3000))).isEmpty();
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

QString percent(qint64 part, qsizetype whole)
{
    if (whole == 0)
        return u"0"_qs;
    return formatNumber(roundHalfEven(double(part) / double(whole), 2) * 100);
}

} // namespace

ReferenceCut cutReference(const QString &reference)
{
    ReferenceCut cut;
    for (const QString &piece : normaliseReference(reference).split(kCrLf))
        if (!isBlank(piece))
            cut.pieces.append(piece);
    cut.normalisedText = cut.pieces.join(kCrLf);
    return cut;
}

MatchResult matchPieces(const QString &article, const QStringList &pieces)
{
    MatchResult result;
    if (article.isEmpty())
        return result;
    // Each distinct piece is searched once; a piece that stands twice is counted twice.
    QStringList distinct;
    QHash<QString, qsizetype> indexOf;
    for (const QString &piece : pieces)
        if (piece.size() >= kShortestSearchedPiece && !indexOf.contains(piece)) {
            indexOf.insert(piece, distinct.size());
            distinct.append(piece);
        }
    const QList<QList<qsizetype>> found = MultiSearch(distinct).findAll(article);
    QList<QList<qsizetype>> placesOf;
    placesOf.reserve(distinct.size());
    for (qsizetype i = 0; i < distinct.size(); ++i)
        placesOf.append(nonOverlapping(found[i], distinct[i].size()));
    // A piece that stands again in the reference finds and marks the same places again: they are
    // counted again but marked once.
    QList<bool> marked(distinct.size(), false);
    qsizetype merged = 0;
    for (const QString &piece : pieces) {
        if (piece.size() < kShortestSearchedPiece)
            continue;
        const qsizetype index = indexOf.value(piece);
        const QList<qsizetype> &places = placesOf[index];
        if (places.isEmpty())
            continue;
        result.chars += piece.size();
        result.segments += places.size() - 1;
        result.sentences += 1;
        result.lastMark = TextSpan{places.last(), piece.size()};
        if (std::exchange(marked[index], true))
            continue;
        for (qsizetype start : places)
            result.marks.append({start, piece.size()});
        if (result.marks.size() > 2 * merged + kUnmergedMarks) {
            result.marks = mergeSpans(std::move(result.marks));
            merged = result.marks.size();
        }
    }
    result.marks = mergeSpans(std::move(result.marks));
    return result;
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
