#include "engine/endpoints.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace veltrik {
namespace {

TEST(Endpoints, PagesOfTheProductSiteHaveFixedPaths)
{
    Endpoints endpoints = Endpoints::defaults();
    endpoints.siteBase = u"http://example.test"_qs;
    EXPECT_EQ(endpoints.startPageUrl(), u"http://example.test/vlkt/vlkt.asp?id=3.1"_qs);
    EXPECT_EQ(endpoints.productPageUrl(), u"http://example.test/ziyuan/post/2014/04/04/11.aspx"_qs);
}

TEST(Endpoints, EnvironmentOverridesEachBase)
{
    setenv("VELTRIK_WEB_SEARCH_BASE", "http://127.0.0.1:8080/", 1);
    setenv("VELTRIK_WENKU_BASE", "", 1);
    setenv("VELTRIK_SITE_BASE", "http://127.0.0.1:9090", 1);
    const Endpoints endpoints = Endpoints::fromEnvironment();
    unsetenv("VELTRIK_WEB_SEARCH_BASE");
    unsetenv("VELTRIK_WENKU_BASE");
    unsetenv("VELTRIK_SITE_BASE");

    EXPECT_EQ(endpoints.webSearchBase, u"http://127.0.0.1:8080"_qs);
    EXPECT_EQ(endpoints.wenkuBase, Endpoints::defaults().wenkuBase);
    EXPECT_EQ(endpoints.siteBase, u"http://127.0.0.1:9090"_qs);
}

} // namespace
} // namespace veltrik
