#include "levels.h"

#include "text/numbers.h"

namespace veltrik {

const std::array<LevelInfo, 4> &levelTable()
{
    static const std::array<LevelInfo, 4> table{{
        {Level::High, QStringLiteral("高"), 50, QStringLiteral("#d32f2f"), QStringLiteral("#f8c6c6")},
        {Level::Medium, QStringLiteral("中"), 20, QStringLiteral("#ef8f00"), QStringLiteral("#fde2b0")},
        {Level::Low, QStringLiteral("低"), 0, QStringLiteral("#388e3c"), QStringLiteral("#cdebcf")},
        {Level::NotChecked, QStringLiteral("未检测"), 0, QStringLiteral("#9e9e9e"), QStringLiteral("#ffffff")},
    }};
    return table;
}

const LevelInfo &levelInfo(Level level)
{
    return levelTable()[static_cast<std::size_t>(level)];
}

QString levelRangeText(Level level)
{
    const auto percent = [](double value) { return formatNumber(value) + u'%'; };
    switch (level) {
    case Level::High:
        return u"≥ "_qs + percent(levelInfo(Level::High).from);
    case Level::Medium:
        return percent(levelInfo(Level::Medium).from) + u'–' + percent(levelInfo(Level::High).from);
    case Level::Low:
        return u"< "_qs + percent(levelInfo(Level::Medium).from);
    case Level::NotChecked:
        break;
    }
    return {};
}

Level levelOf(const PieceResult &result)
{
    if (result.state != PieceState::Compared)
        return Level::NotChecked;
    for (const LevelInfo &info : levelTable())
        if (info.level != Level::NotChecked && result.similarity >= info.from)
            return info.level;
    return Level::Low; // a figure below 0 cannot be scored, but stays the lowest level
}

LevelCounts countLevels(const CheckResults &check)
{
    LevelCounts counts;
    for (qsizetype i = 0; i < check.pieces.size(); ++i) {
        const Level level = i < check.results.size() ? levelOf(check.results[i]) : Level::NotChecked;
        ++counts.counts[static_cast<std::size_t>(level)];
    }
    return counts;
}

std::optional<double> overallSimilarity(const CheckResults &check)
{
    return shownOverallFigure(check.similaritySum, check.resultCount);
}

namespace {

// What the cleaning before the cut can drop from the article.
bool droppedByCleaning(QChar c)
{
    return c == u' ' || c == u'\n' || c == u'\r' || c == u'\t' || c == QChar(0x3000);
}

// The cleaning turns "!" and "?" full-width.
bool sameAfterCleaning(QChar article, QChar piece)
{
    if (article == u'!')
        return piece == QChar(0xFF01) || piece == u'!';
    if (article == u'?')
        return piece == QChar(0xFF1F) || piece == u'?';
    return article == piece;
}

// Matches the piece from `at`, stepping over what the cleaning dropped; the end of the match, or none.
std::optional<qsizetype> matchPiece(const QString &text, qsizetype at, const QString &piece)
{
    for (const QChar c : piece) {
        while (at < text.size() && !sameAfterCleaning(text[at], c) && droppedByCleaning(text[at]))
            ++at;
        if (at >= text.size() || !sameAfterCleaning(text[at], c))
            return std::nullopt;
        ++at;
    }
    return at;
}

} // namespace

LocatedArticle locatePieces(const CheckResults &check)
{
    LocatedArticle located;
    located.text = check.article;
    located.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    located.pieces.reserve(check.pieces.size());
    qsizetype at = 0;
    for (const QString &piece : check.pieces) {
        qsizetype start = at;
        while (start < located.text.size() && droppedByCleaning(located.text[start]) &&
               !piece.startsWith(located.text[start]))
            ++start;
        const std::optional<qsizetype> end = piece.isEmpty() ? std::nullopt : matchPiece(located.text, start, piece);
        if (!end) {
            located.pieces.append({start, 0});
            continue;
        }
        located.pieces.append({start, *end - start});
        at = *end;
    }
    return located;
}

QString engineName(SearchEngine engine)
{
    switch (engine) {
    case SearchEngine::WebSearch:
        return QStringLiteral("百度引擎");
    case SearchEngine::Wenku:
        return QStringLiteral("百度文库");
    case SearchEngine::NoQueryForm:
        break;
    }
    return QStringLiteral("中国知网 / 龙源期刊");
}

} // namespace veltrik
