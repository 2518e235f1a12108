#pragma once

#include <QString>

namespace veltrik {

// Scheme and host of every remote address the program uses. The defaults are the real services; the
// environment variables below replace them, so that tests and demonstrations can run against a local
// server:
//   VELTRIK_WEB_SEARCH_BASE  web search ("/s?wd=...")
//   VELTRIK_WENKU_BASE       document-library search ("/search?word=...")
//   VELTRIK_SITE_BASE        the product's own site (start-up page and product page)
struct Endpoints {
    QString webSearchBase;
    QString wenkuBase;
    QString siteBase;

    static Endpoints defaults();
    static Endpoints fromEnvironment();

    QString startPageUrl() const;
    QString productPageUrl() const;
};

} // namespace veltrik
