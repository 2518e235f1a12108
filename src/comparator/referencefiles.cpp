#include "referencefiles.h"

#include "documents/loader.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace veltrik {
namespace {

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (entries.hasNext())
        files.append(QFileInfo(entries.next()).absoluteFilePath());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

QString ComparedReference::name() const
{
    return QFileInfo(path).fileName();
}

QStringList referenceFilesIn(const QStringList &chosen)
{
    QStringList files;
    QSet<QString> seen;
    for (const QString &path : chosen) {
        const QFileInfo info(path);
        const QStringList found = info.isDir() ? filesUnder(path) : QStringList{info.absoluteFilePath()};
        for (const QString &file : found)
            if (!seen.contains(file)) {
                seen.insert(file);
                files.append(file);
            }
    }
    return files;
}

ReferenceFilesResult compareWithFiles(const QString &article, const QStringList &paths,
                                      const std::atomic_bool *cancelled)
{
    ReferenceFilesResult result;
    for (const QString &path : paths) {
        if (cancelled && *cancelled)
            break;
        const DocumentResult document = loadDocument(path, opensThroughWord(path), cancelled);
        if (!document) {
            if (cancelled && *cancelled)
                break;
            result.unreadable.append({path, document.message});
            continue;
        }
        const QString &text = document.content.text;
        result.compared.append({path, text, compareWithReference(article, text)});
    }
    return result;
}

QList<TextSpan> unionOfMarks(const QList<ComparedReference> &references)
{
    QList<TextSpan> marks;
    for (const ComparedReference &reference : references)
        marks += reference.comparison.run.marks;
    return mergeSpans(std::move(marks));
}

QString referencesResultText(qsizetype articleLength, const QList<ComparedReference> &references)
{
    MatchResult together;
    qsizetype referenceLength = 0;
    for (const ComparedReference &reference : references) {
        together.chars += reference.comparison.run.chars;
        together.sentences += reference.comparison.run.sentences;
        together.segments += reference.comparison.run.segments;
        referenceLength += reference.comparison.referenceLength;
    }
    return compareResultText(articleLength, referenceLength, together, CompareTotals(), false);
}

QString shareOfArticle(qsizetype articleLength, const ReferenceComparison &comparison)
{
    return percent(comparison.run.chars, articleLength);
}

} // namespace veltrik
