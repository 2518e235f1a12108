#include "pagehtml.h"

#include "components/browserview.h"

namespace veltrik {

QString getPageHtml(const BrowserView &browser, const QString &part)
{
    return part == u"Body" ? browser.bodyHtml() : browser.pageHtml();
}

} // namespace veltrik
