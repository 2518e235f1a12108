#pragma once

#include "browserview.h"

class QWebEngineLoadingInfo;
class QWebEngineView;

namespace veltrik {

class SilentPage;

// The browser view over Qt WebEngine. Body and page HTML are read from the page asynchronously when a
// navigation finishes; busy() stays true until they are in hand, so that the completion handlers see
// the HTML of the page that completed.
class WebEngineBrowser final : public BrowserView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebEngineBrowser)

public:
    explicit WebEngineBrowser(QWidget *parent = nullptr);
    ~WebEngineBrowser() override;

    void navigate(const QString &address) override;
    bool busy() const override;
    void setSilent(bool silent) override;
    void write(const QString &text) override;
    QString bodyHtml() const override;
    QString pageHtml() const override;
    QString url() const override;

private:
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void captureAndComplete();
    void reportEngineFailure(int status, int exitCode);
    void completeWith(const QString &page, const QString &body);

    QWebEngineView *m_view;
    SilentPage *m_page;
    // Counts navigations, so that a capture that returns after a newer navigation is dropped.
    quint64 m_navigation = 0;
    bool m_navigationPending = false;
    bool m_loadIsWrite = false;
    bool m_lastRequestWasWrite = false;
    bool m_capturing = false;
    bool m_writing = false;
    QString m_written;
    QString m_bodyHtml;
    QString m_pageHtml;
    QString m_url;
};

} // namespace veltrik
