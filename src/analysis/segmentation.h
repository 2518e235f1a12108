#pragma once

#include "exclusions.h"

#include <QString>
#include <QStringList>

namespace veltrik {

// Cutting an article into the pieces that are searched. The article is not cut at punctuation but into
// equal runs of at most 38 characters of the cleaned text; pieces run across paragraph ends.
//
// Cleaning, in order: "!" and "?" become full-width; white space just before a line break is removed as
// far as five single passes reach (two spaces, one space, two U+3000, one U+3000, one TAB, each before
// CR LF); every CR LF pair is removed; every space U+0020 is removed.

inline constexpr qsizetype kPieceLength = 38;
inline const QString kPieceSeparator = QStringLiteral("|@|");

// The cleaned article text.
QString cleanArticle(const QString &editorText);

// Runs of 38 characters, collected with "|@|" between them and split there again (so a "|@|" in the
// article cuts a piece short and is lost). An empty text gives no piece.
QStringList cutIntoPieces(const QString &workText);

// List row i (0-based): the 1-based number, "-", and the piece without leading and trailing spaces.
QString listRowText(qsizetype index, const QString &piece);

struct ArticleAnalysis {
    QString workText;
    QStringList pieces;
    qsizetype doubleByteCount = 0;
    AnalysisOptions options;
    ExcludedCharacters excluded;

    // "本文共 N 字，本次分析共分析出 M 句，请多次点击进行对比！", followed by the exclusion note.
    QString caption() const;
    // What was left out and why, when an exclusion is on; empty otherwise.
    QString exclusionNote() const;
    QStringList rows() const;
};

// Leaves out what the options ask before cleaning; with every option off the whole text is analysed.
ArticleAnalysis analyseArticle(const QString &editorText, const AnalysisOptions &options = {});

} // namespace veltrik
