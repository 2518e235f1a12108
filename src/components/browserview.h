#pragma once

#include <QString>
#include <QWidget>

namespace veltrik {

// The embedded browser view as the program uses it. Loading is asynchronous: navigate() returns at once
// and busy() stays true until the page has loaded and its HTML has been captured; then downloadComplete()
// is raised and bodyHtml()/pageHtml() hold that page's HTML, in the quoting the scoring expects (see
// toLegacyAttributeQuoting). downloadComplete() is also raised for a failed load, with empty HTML, and
// for pages the user opens inside the view (a link, a form, Back, Reload). A link that asks for a new
// window does not load in the view: newWindowRequested() hands its address to the window.
class BrowserView : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserView)

public:
    using QWidget::QWidget;

    // Starts loading; a second call replaces a navigation in progress.
    virtual void navigate(const QString &address) = 0;
    // True from navigate() until the page's completion has been handled.
    virtual bool busy() const = 0;
    // When silent the view shows no dialog boxes of its own (script alerts and the like).
    virtual void setSilent(bool silent) = 0;
    // The first write after a page has loaded starts a new document that replaces the page on screen;
    // later writes append to it. Any load that is not a write ends the written document, so the next
    // write starts a new one. A write never affects a navigation issued after it.
    virtual void write(const QString &text) = 0;
    // Inner HTML of the body, and the whole page's HTML, of the last loaded page.
    virtual QString bodyHtml() const = 0;
    virtual QString pageHtml() const = 0;
    // The address of the last loaded page, after redirects.
    virtual QString url() const = 0;

signals:
    void downloadBegin();
    void downloadComplete();
    // The user followed a link that asks for a new window (target=_blank and the like).
    void newWindowRequested(const QString &address);
};

} // namespace veltrik
