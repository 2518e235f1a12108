#include "segmentation.h"

#include "text/codepage936.h"
#include "text/replace.h"

namespace veltrik {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

QString cleanArticle(const QString &editorText)
{
    QString text = replaceAll(editorText, u"!"_qs, u"！"_qs);
    text = replaceAll(text, u"?"_qs, u"？"_qs);
    for (const QString &beforeBreak : {u"  "_qs, u" "_qs, u"\u3000\u3000"_qs, u"\u3000"_qs, u"\t"_qs})
        text = replaceAll(text, beforeBreak + kCrLf, kCrLf);
    text = replaceAll(text, kCrLf, QString());
    return replaceAll(text, u" "_qs, QString());
}

QStringList cutIntoPieces(const QString &workText)
{
    const qsizetype length = workText.size();
    if (length == 0)
        return {};
    QString collected;
    collected.reserve(length + (length / kPieceLength + 1) * kPieceSeparator.size());
    for (qsizetype start = 0; start < length; start += kPieceLength) {
        if (start + kPieceLength >= length) {
            collected += QStringView(workText).mid(start);
            break;
        }
        collected += QStringView(workText).mid(start, kPieceLength);
        collected += kPieceSeparator;
    }
    return collected.split(kPieceSeparator);
}

QString listRowText(qsizetype index, const QString &piece)
{
    return QString::number(index + 1) + u'-' + trimSpaces(piece);
}

QString ArticleAnalysis::caption() const
{
    return u"本文共 "_qs + QString::number(doubleByteCount) + u" 字，本次分析共分析出 "_qs +
           QString::number(pieces.size()) + u" 句，请多次点击进行对比！"_qs + exclusionNote();
}

QString ArticleAnalysis::exclusionNote() const
{
    return exclusionSentence(options, excluded);
}

QStringList ArticleAnalysis::rows() const
{
    QStringList rows;
    rows.reserve(pieces.size());
    for (qsizetype i = 0; i < pieces.size(); ++i)
        rows << listRowText(i, pieces[i]);
    return rows;
}

ArticleAnalysis analyseArticle(const QString &editorText, const AnalysisOptions &options)
{
    ArticleAnalysis analysis;
    const ExclusionResult exclusion = applyExclusions(editorText, options);
    analysis.options = options;
    analysis.excluded = exclusion.excluded;
    analysis.workText = cleanArticle(exclusion.keptText);
    analysis.pieces = cutIntoPieces(analysis.workText);
    analysis.doubleByteCount = countDoubleByte(analysis.workText);
    return analysis;
}

} // namespace veltrik
