#pragma once

#include <QString>

namespace veltrik {

// A search engine answers automated or frequent queries with a verification page (a slider or picture
// check) instead of results. Such a page is no result: scoring it would count a 0 % page. Its signs are
// kept in one table (securitycheck.cpp) so that new ones can be added.
//
// A page with result items is never a check. Otherwise strong signs (the page's title, its address) decide
// alone. The texts of the check decide only on a page too short to be a result page, and only outside the
// page's echo of the query: a page that found nothing for a query about security checks is no check.

struct ResultPage {
    QString bodyHtml;
    QString pageHtml;   // the whole page, with its <title>
    QString url;        // where the page came from, after redirects
    QString query = {}; // the query that was sent for it; empty when not known
};

// `doubleByteCount` is the number of double-byte characters of the body, which the scoring counts anyway.
bool isSecurityCheckPage(const ResultPage &page, qsizetype doubleByteCount, bool hasResultItems);

// The status line while a check is shown: what to do, and what happens once it is passed (in an automatic
// run the run goes on with the piece; in a manual run the piece's result shows, and nothing goes on). One
// line, short enough to be read beside the similarity figures.
QString securityCheckCaption(qsizetype sentenceNumber, bool automatic);

} // namespace veltrik
