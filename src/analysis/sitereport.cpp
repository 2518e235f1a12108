#include "sitereport.h"

#include <QHash>
#include <QSet>
#include <QUrl>

#include <deque>
#include <map>

namespace veltrik {

// The exchange procedure, reproduced without its quadratic cost.
//
// Its first round (a = 0) walks the whole array and swaps whenever slot 0 holds a larger tally: slot 0
// ends with a minimum, and the others are permuted; that round is simply run. From then on the prefix
// before a is in descending order and holds the global minimum, so round a only touches the prefix and
// slot a: the entry x at slot a is swapped into the first prefix slot with a strictly smaller tally, and the
// entry it displaces travels on, passing its equals and displacing the first entry of the next smaller
// group. So x lands behind its equals, and within every strictly smaller group the first entry moves to
// the group's end. Kept as groups (one per tally, descending) each a deque, a round costs one step per
// smaller group: at most the number of distinct tallies.
QList<qsizetype> orderByTally(const QList<int> &tallies)
{
    const qsizetype n = tallies.size();
    QList<qsizetype> order(n);
    for (qsizetype i = 0; i < n; ++i)
        order[i] = i;
    for (qsizetype b = 0; b < n; ++b)
        if (tallies[order[0]] > tallies[order[b]])
            std::swap(order[0], order[b]);

    std::map<int, std::deque<qsizetype>, std::greater<int>> groups;
    if (n > 0)
        groups[tallies[order[0]]].push_back(order[0]);
    for (qsizetype a = 1; a < n; ++a) {
        const qsizetype entry = order[a];
        const int tally = tallies[entry];
        for (auto group = groups.upper_bound(tally); group != groups.end(); ++group) {
            group->second.push_back(group->second.front());
            group->second.pop_front();
        }
        groups[tally].push_back(entry);
    }

    QList<qsizetype> sorted;
    sorted.reserve(n);
    for (const auto &[tally, entries] : groups)
        sorted.append(QList<qsizetype>(entries.begin(), entries.end()));
    return sorted;
}

QList<SiteRow> similarSites(const QStringList &titles, const QStringList &urls)
{
    const qsizetype slotCount = std::min(titles.size(), urls.size());
    if (slotCount == 0)
        return {};
    QHash<QString, int> counts;
    for (qsizetype i = 0; i < slotCount; ++i)
        if (!titles[i].isEmpty())
            ++counts[titles[i]];
    QList<int> tallies(slotCount);
    for (qsizetype i = 0; i < slotCount; ++i)
        tallies[i] = titles[i].isEmpty() ? 0 : counts.value(titles[i]);

    // The last (spare) slot is counted but neither sorted nor thinned.
    const qsizetype last = slotCount - 1;
    const QList<qsizetype> order = orderByTally(tallies.first(last));
    QList<SiteRow> rows;
    QSet<QString> listed;
    for (qsizetype slot : order) {
        const QString &title = titles[slot];
        if (title.isEmpty() || listed.contains(title))
            continue;
        listed.insert(title);
        if (tallies[slot] != 1)
            rows.append({title, urls[slot], tallies[slot]});
    }
    if (!titles[last].isEmpty())
        rows.append({titles[last], urls[last], tallies[last]});
    return rows;
}

bool isWebAddress(const QString &address)
{
    const QString scheme = QUrl(address).scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

namespace {

// Control characters from a page (NUL among them) have no place in the report: line breaks and tabs read
// as a space, the others are left out.
QString withoutControlCharacters(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            kept += u' ';
        else if (c.category() != QChar::Other_Control)
            kept += c;
    }
    return kept;
}

} // namespace

QString escapedText(const QString &text)
{
    return withoutControlCharacters(text).toHtmlEscaped();
}

QString escapedAttribute(const QString &value)
{
    return escapedText(value).replace(u'\'', u"&#39;"_qs);
}

QString siteReportHtml(const QList<SiteRow> &rows)
{
    QString html = u"<br><br><br><br><br><table><tr><th>标题</th><th>出现次数</th></tr>"_qs;
    for (const SiteRow &row : rows) {
        const QString title = escapedText(row.title);
        const QString site = isWebAddress(row.url) ? u"<a href=\""_qs + escapedAttribute(row.url) +
                                                         u"\" target=_blank>"_qs + title + u"</a>"_qs
                                                   : title;
        html += u"<tr><td>"_qs + site + u"</td><td width=100 align=center>"_qs + QString::number(row.tally) +
                u"</td></tr>"_qs;
    }
    return html + u"</table>"_qs;
}

} // namespace veltrik
