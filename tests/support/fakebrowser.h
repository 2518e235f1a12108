#pragma once

#include "components/browserview.h"

#include <QStringList>

namespace veltrik::testing {

// A browser view without a network: it records what it is told, and the test decides when a page
// "arrives" and with what HTML.
class FakeBrowser final : public BrowserView {
    Q_OBJECT

public:
    using BrowserView::BrowserView;

    void navigate(const QString &address) override;
    bool busy() const override { return m_busy; }
    void setSilent(bool silent) override { m_silent = silent; }
    void write(const QString &text) override;
    QString bodyHtml() const override { return m_body; }
    QString pageHtml() const override
    {
        return u"<html><head><title>"_qs + title + u"</title></head><body>"_qs + m_body + u"</body></html>"_qs;
    }
    QString url() const override { return m_url; }

    // The pending navigation ends with this body: busy() turns false and downloadComplete() is raised.
    // `url` is where the page came from; the last navigation's address when empty.
    void arrive(const QString &body, const QString &url = QString());
    // The pending navigation fails: empty HTML.
    void fail();

    QStringList navigations;
    QString title = QStringLiteral("百度搜索");
    QStringList writes;
    bool silent() const { return m_silent; }
    // The written document, as a page would show it.
    QString writtenDocument() const { return m_written; }

private:
    bool m_busy = false;
    bool m_silent = false;
    bool m_writing = false;
    QString m_body;
    QString m_url;
    QString m_written;
};

} // namespace veltrik::testing
