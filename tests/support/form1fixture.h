#pragma once

#include "app/form1.h"
#include "fakebrowser.h"
#include "fakedesktop.h"

#include <memory>

namespace veltrik::testing {

// A main window over fake browser views and a fake desktop, with made-up endpoints.
struct Form1Fixture {
    FakeDesktop desktop;
    std::unique_ptr<Form1> form;

    // `automaticCheckFile`: where the window keeps the check of its run; none by default.
    explicit Form1Fixture(const QString &automaticCheckFile = QString())
    {
        Form1Services services;
        services.automaticCheckFile = automaticCheckFile;
        services.desktop = &desktop;
        services.makeBrowser = [](QWidget *parent) { return new FakeBrowser(parent); };
        services.endpoints = Endpoints{u"http://search.test"_qs, u"http://wenku.test"_qs, u"http://site.test"_qs};
        form = std::make_unique<Form1>(std::move(services));
    }

    FakeBrowser *browser1() const { return static_cast<FakeBrowser *>(form->WebBrowser1()); }
    FakeBrowser *browser2() const { return static_cast<FakeBrowser *>(form->WebBrowser2()); }
};

} // namespace veltrik::testing
