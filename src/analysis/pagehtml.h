#pragma once

#include <QString>

namespace veltrik {

class BrowserView;

// The HTML of the browser view's document: the body's inner HTML for "Body" (exact, case-sensitive),
// the whole page for anything else.
QString getPageHtml(const BrowserView &browser, const QString &part);

} // namespace veltrik
