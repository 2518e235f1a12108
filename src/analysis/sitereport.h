#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace veltrik {

// The report of the web pages that came up repeatedly. A page is known by its title (exact,
// case-sensitive); its tally is the number of slots, over all pieces, holding that title. The slots are
// ordered by descending tally as the program has always ordered them (an exchange procedure that is not a
// stable sort: entries with equal tallies end in the order it leaves them), then every title is kept in its
// first slot only, and titles that came up once are dropped.
//
// The literal procedure compares every pair of slots; this one gives the same rows in near-linear time
// (see orderByTally). Tested against the literal one by sitereport_test.cpp.

struct SiteRow {
    QString title;
    QString url;
    int tally = 0;

    bool operator==(const SiteRow &) const = default;
};

// The rows of the report, from the recorded slots (titles and addresses of the same length). The slots
// are not changed: the tally is built afresh on copies every time.
QList<SiteRow> similarSites(const QStringList &titles, const QStringList &urls);

// The HTML written into the browser view: five line breaks and a table with a heading line naming the
// columns, then one row per site. Titles and addresses are escaped and lose their control characters;
// only an http or https address becomes a link, which opens in a new window.
QString siteReportHtml(const QList<SiteRow> &rows);

// Only http and https addresses become links in a report.
bool isWebAddress(const QString &address);
// Text from a web page for HTML: control characters out (line breaks and tabs as a space), then escaped.
QString escapedText(const QString &text);
// The same for an attribute value in single or double quotes.
QString escapedAttribute(const QString &value);

// Reorders entries by descending tally exactly as the exchange procedure
//   for a in [0, n): for b in [0, n): if tally[a] > tally[b]: swap(a, b)
// does. Returns the new order as indices into the input.
QList<qsizetype> orderByTally(const QList<int> &tallies);

} // namespace veltrik
