#pragma once

#include "referencecomparison.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

namespace veltrik {

// Several reference files compared with one article, each as the pasted reference is compared. The
// article's marks are the union of theirs; the figures of all references together are their sums.

struct ComparedReference {
    QString path;
    QString text; // as the open command reads it
    ReferenceComparison comparison;

    QString name() const; // the file name, as the list shows it
};

struct UnreadableReference {
    QString path;
    QString reason;

    bool operator==(const UnreadableReference &) const = default;
};

struct ReferenceFilesResult {
    QList<ComparedReference> compared;
    QList<UnreadableReference> unreadable;
};

// The files the user chose: a file as it is, a folder with every file in it and its subfolders, in the
// order of their paths. Paths are absolute and each comes once.
QStringList referenceFilesIn(const QStringList &chosen);

// Reads each file as the open command does (every format it opens) and compares it with the article. A
// file that cannot be read is listed with the reason and the others go on. Once `cancelled` is set the
// files not read yet are left out.
ReferenceFilesResult compareWithFiles(const QString &article, const QStringList &paths,
                                      const std::atomic_bool *cancelled = nullptr);

// The marks of all references together, merged.
QList<TextSpan> unionOfMarks(const QList<ComparedReference> &references);

// The three-line result of all references together: their counts summed, the share of the article,
// and the similarity to all reference texts together.
QString referencesResultText(qsizetype articleLength, const QList<ComparedReference> &references);

// The share of the article that one reference repeats, in whole percent as the result text gives it.
QString shareOfArticle(qsizetype articleLength, const ReferenceComparison &comparison);

} // namespace veltrik
