#pragma once

#include <QString>

namespace veltrik {

// A search engine answers automated or frequent queries with a verification page (a slider or picture
// check) instead of results. Such a page is no result: scoring it would count a 0 % page. Its signs are
// kept in one table (securitycheck.cpp) so that new ones can be added.
//
// Strong signs (the page's title, its address) decide alone. The texts of the check decide only on a page
// too short to be a result page, so that a result page that quotes them in a title is still scored.

struct ResultPage {
    QString bodyHtml;
    QString pageHtml; // the whole page, with its <title>
    QString url;      // where the page came from, after redirects
};

// `doubleByteCount` is the number of double-byte characters of the body, which the scoring counts anyway.
bool isSecurityCheckPage(const ResultPage &page, qsizetype doubleByteCount);

// The status line while a check is shown: what to do, and which piece goes on afterwards.
QString securityCheckCaption(qsizetype sentenceNumber);

} // namespace veltrik
