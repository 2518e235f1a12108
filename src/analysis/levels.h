#pragma once

#include "checkresults.h"
#include "text/textspan.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace veltrik {

// How much of a piece was found on the web, in the words of the results window and the report.
enum class Level {
    High,       // 高: 50 % and more
    Medium,     // 中: 20 % up to 50 %
    Low,        // 低: below 20 %
    NotChecked, // 未检测: no page of its own has been scored yet
};

struct LevelInfo {
    Level level;
    QString name;
    // The lowest similarity, in percent, that belongs to the level; unused for NotChecked.
    double from;
    // The level's colour as "#rrggbb": the core has no colour type of its own.
    QString colour;
    // A paler shade of it, for marking text the reader still has to read.
    QString background;
};

// Every level, highest first: the one table the window, its legend and the report read.
const std::array<LevelInfo, 4> &levelTable();
const LevelInfo &levelInfo(Level level);

// The level's range in words: "≥ 50%", "20%–50%", "< 20%", "" for NotChecked.
QString levelRangeText(Level level);

// Only a compared piece has a similarity of its own; a repeated piece or one waiting for a security check
// is still unchecked.
Level levelOf(const PieceResult &result);

struct LevelCounts {
    std::array<int, 4> counts{}; // in the order of levelTable()

    int of(Level level) const { return counts[static_cast<std::size_t>(level)]; }
    int checked() const { return of(Level::High) + of(Level::Medium) + of(Level::Low); }
};

LevelCounts countLevels(const CheckResults &check);

// The overall figure as the main window shows it, rounded to two places; none before a page was counted.
std::optional<double> overallSimilarity(const CheckResults &check);

// The article with CR LF as single line breaks, and where each piece lies in it. The cleaning before the
// cut drops spaces and line breaks, so a piece can stretch over them; a piece that cannot be found in its
// place has an empty span.
struct LocatedArticle {
    QString text;
    QList<TextSpan> pieces;
};

LocatedArticle locatePieces(const CheckResults &check);

// The engine's name as its menu item says it.
QString engineName(SearchEngine engine);

} // namespace veltrik
