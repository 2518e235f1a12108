#include "endpoints.h"

#include <QByteArray>

namespace veltrik {
namespace {

QString withoutTrailingSlash(QString base)
{
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString fromEnvironment(const char *name, const QString &fallback)
{
    const QByteArray value = qgetenv(name);
    return withoutTrailingSlash(value.isEmpty() ? fallback : QString::fromUtf8(value));
}

} // namespace

Endpoints Endpoints::defaults()
{
    return {QStringLiteral("https://www.baidu.com"), QStringLiteral("https://wenku.baidu.com"),
            QStringLiteral("https://www.veltrik.net")};
}

Endpoints Endpoints::fromEnvironment()
{
    const Endpoints fallback = defaults();
    return {veltrik::fromEnvironment("VELTRIK_WEB_SEARCH_BASE", fallback.webSearchBase),
            veltrik::fromEnvironment("VELTRIK_WENKU_BASE", fallback.wenkuBase),
            veltrik::fromEnvironment("VELTRIK_SITE_BASE", fallback.siteBase)};
}

QString Endpoints::startPageUrl() const
{
    return siteBase + QStringLiteral("/vlkt/vlkt.asp?id=3.1");
}

QString Endpoints::productPageUrl() const
{
    return siteBase + QStringLiteral("/ziyuan/post/2014/04/04/11.aspx");
}

} // namespace veltrik
