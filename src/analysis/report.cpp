#include "report.h"

#include "levels.h"
#include "text/numbers.h"

#include <algorithm>

namespace veltrik {

// The slots as the run lays them out: ten for each piece, then the spare one, so that sites with equal
// tallies come in the order the main window's report gives them.
QList<SiteRow> siteRowsOf(const CheckResults &check)
{
    constexpr qsizetype kSlots = AnalysisState::kSlotsPerSentence;
    const qsizetype slotCount = check.results.size() * kSlots + 1;
    QStringList titles(slotCount);
    QStringList urls(slotCount);
    for (qsizetype piece = 0; piece < check.results.size(); ++piece) {
        const QList<ResultItem> &items = check.results[piece].items;
        for (qsizetype k = 0; k < std::min(items.size(), kSlots); ++k) {
            titles[piece * kSlots + k] = items[k].title;
            urls[piece * kSlots + k] = items[k].url;
        }
    }
    return similarSites(titles, urls);
}

QString shownArticleName(const CheckResults &check)
{
    return check.articleName.isEmpty() ? u"（粘贴的文章）"_qs : check.articleName;
}

QString shownExclusions(const CheckResults &check)
{
    if (!check.exclusionsKnown)
        return u"未记录（较早版本保存的检测）"_qs;
    return check.options.anyOn() ? exclusionSentence(check.options, check.excluded) : u"无"_qs;
}

namespace {

const QString kStyle =
    QStringLiteral("*{-webkit-print-color-adjust:exact;print-color-adjust:exact}"
                   "body{font-family:'Noto Sans CJK SC','Noto Serif CJK SC',sans-serif;margin:2em;color:#222}"
                   "h1{font-size:1.6em}h2{font-size:1.2em;margin-top:1.6em;border-bottom:1px solid #ccc}"
                   "table{border-collapse:collapse}th,td{border:1px solid #ccc;padding:2px 6px;text-align:left;"
                   "vertical-align:top}th{white-space:nowrap}table.wide{width:100%}td.n{text-align:right}"
                   ".swatch{display:inline-block;width:1em;height:1em;"
                   "vertical-align:middle}.article{line-height:1.8;white-space:normal}");

QString percentText(double value)
{
    return formatNumber(value) + u'%';
}

QString cell(const QString &html, bool number = false)
{
    return (number ? u"<td class=\"n\">"_qs : u"<td>"_qs) + html + u"</td>"_qs;
}

// A link for a web address, the escaped title alone for anything else.
QString siteLink(const QString &title, const QString &url)
{
    const QString text = escapedText(title.isEmpty() ? url : title);
    if (!isWebAddress(url))
        return text;
    return u"<a href=\""_qs + escapedAttribute(url) + u"\">"_qs + text + u"</a>"_qs;
}

QString levelClass(Level level)
{
    return u"lv"_qs + QString::number(static_cast<int>(level));
}

QString levelStyles()
{
    QString css;
    for (const LevelInfo &info : levelTable()) {
        css += u'.' + levelClass(info.level) + u"{background:"_qs + info.background + u"}"_qs;
        css += u".swatch."_qs + levelClass(info.level) + u"{background:"_qs + info.colour + u"}"_qs;
    }
    return css;
}

QString factsSection(const CheckResults &check, const QDateTime &made)
{
    const std::optional<double> overall = overallSimilarity(check);
    const auto row = [](const QString &label, const QString &value) {
        return u"<tr><th>"_qs + label + u"</th><td>"_qs + escapedText(value) + u"</td></tr>"_qs;
    };
    QString html = u"<table>"_qs;
    html += row(u"文件"_qs, shownArticleName(check));
    html += row(u"报告日期"_qs, made.toString(u"yyyy-MM-dd HH:mm"_qs));
    if (check.started.isValid())
        html += row(u"开始检测"_qs, check.started.toString(u"yyyy-MM-dd HH:mm"_qs));
    html += row(u"引擎"_qs, engineName(check.engine));
    html += row(u"句数"_qs, QString::number(check.pieces.size()));
    html += row(u"排除内容"_qs, shownExclusions(check));
    html += row(u"总体相似度"_qs, overall ? percentText(*overall) : u"—"_qs);
    return html + u"</table>"_qs;
}

QString levelsSection(const CheckResults &check)
{
    const LevelCounts counts = countLevels(check);
    QString html = u"<h2>各级句数</h2><table><tr><th>级别</th><th>相似度</th><th>句数</th></tr>"_qs;
    for (const LevelInfo &info : levelTable()) {
        html += u"<tr><td><span class=\"swatch "_qs + levelClass(info.level) + u"\"></span> "_qs + info.name +
                u"</td>"_qs + cell(levelRangeText(info.level).toHtmlEscaped()) +
                cell(QString::number(counts.of(info.level)), true) + u"</tr>"_qs;
    }
    return html + u"</table>"_qs;
}

QString piecesSection(const CheckResults &check)
{
    QString html = u"<h2>逐句结果</h2><table class=\"wide\"><tr><th>序号</th><th>句子</th><th>相似度</th>"
                   u"<th>来源数</th><th>主要来源</th></tr>"_qs;
    for (qsizetype i = 0; i < check.pieces.size(); ++i) {
        const PieceResult result = i < check.results.size() ? check.results[i] : PieceResult{};
        const Level level = levelOf(result);
        const bool checked = level != Level::NotChecked;
        const QString mainSource =
            result.items.isEmpty() ? QString() : siteLink(result.items.first().title, result.items.first().url);
        html += u"<tr class=\""_qs + levelClass(level) + u"\">"_qs + cell(QString::number(i + 1), true) +
                cell(escapedText(check.pieces[i])) +
                cell(checked ? percentText(result.similarity) : levelInfo(level).name, true) +
                cell(checked ? QString::number(result.items.size()) : QString(), true) + cell(mainSource) + u"</tr>"_qs;
    }
    return html + u"</table>"_qs;
}

// The article's own text, its line breaks kept.
QString articleText(QStringView text)
{
    QStringList lines;
    for (const QStringView line : text.split(u'\n'))
        lines.append(escapedText(line.toString()));
    return lines.join(u"<br/>"_qs);
}

QString articleSection(const CheckResults &check)
{
    const LocatedArticle located = locatePieces(check);
    QString html = u"<h2>全文标注</h2><p class=\"article\">"_qs;
    qsizetype at = 0;
    for (qsizetype i = 0; i < located.pieces.size(); ++i) {
        const TextSpan span = located.pieces[i];
        const Level level = i < check.results.size() ? levelOf(check.results[i]) : Level::NotChecked;
        if (span.length == 0 || level == Level::NotChecked)
            continue;
        html += articleText(QStringView(located.text).sliced(at, span.start - at));
        html += u"<span class=\""_qs + levelClass(level) + u"\" title=\""_qs + QString::number(i + 1) + u"\">"_qs +
                articleText(QStringView(located.text).sliced(span.start, span.length)) + u"</span>"_qs;
        at = span.start + span.length;
    }
    html += articleText(QStringView(located.text).sliced(at));
    return html + u"</p>"_qs;
}

QString sitesSection(const CheckResults &check)
{
    const QList<SiteRow> rows = siteRowsOf(check);
    QString html = u"<h2>相似网站</h2>"_qs;
    if (rows.isEmpty())
        return html + u"<p>没有重复出现的网站。</p>"_qs;
    html += u"<table><tr><th>标题</th><th>出现次数</th></tr>"_qs;
    for (const SiteRow &row : rows)
        html += u"<tr>"_qs + cell(siteLink(row.title, row.url)) + cell(QString::number(row.tally), true) + u"</tr>"_qs;
    return html + u"</table>"_qs;
}

} // namespace

QString reportHtml(const CheckResults &check, const QDateTime &made)
{
    QString html;
    html.reserve(check.article.size() * 3 + check.pieces.size() * 400);
    html += u"<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"zh-CN\"><head>"
            u"<meta charset=\"utf-8\"/><title>检测报告</title><style>"_qs +
            kStyle + levelStyles() + u"</style></head><body><h1>检测报告</h1>"_qs;
    html += factsSection(check, made);
    html += levelsSection(check);
    html += piecesSection(check);
    html += articleSection(check);
    html += sitesSection(check);
    return html + u"</body></html>\n"_qs;
}

} // namespace veltrik
