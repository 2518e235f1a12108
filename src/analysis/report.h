#pragma once

#include "checkresults.h"
#include "sitereport.h"

#include <QDateTime>
#include <QString>

namespace veltrik {

// The similar sites of a check: the rows of the similar-site report over every piece's result items.
QList<SiteRow> siteRowsOf(const CheckResults &check);

// The article's file name, or "（粘贴的文章）" for an article pasted in.
QString shownArticleName(const CheckResults &check);

// What the analysis left out ("已排除参考文献 N 字，…"), "无" when every exclusion was off, or that it is
// not known (a check saved by an earlier version).
QString shownExclusions(const CheckResults &check);

// The report a student hands in, as one self-contained XHTML page: no script, no outside resource, styles
// inline in the page. It gives the file's name, the dates, the engine, the overall figure, the pieces by
// level, what the analysis left out, a table of every piece, the article with each compared piece coloured by its
// level, and the similar sites. Every text from a web page is escaped and loses its control characters; only http and
// https addresses become links.
QString reportHtml(const CheckResults &check, const QDateTime &made);

} // namespace veltrik
