#include "webenginebrowser.h"

#include "legacyhtml.h"

#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <cstdio>

namespace veltrik {

// A page that keeps quiet when told to: no alert, confirm or prompt boxes.
class SilentPage final : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

    bool silent = false;

protected:
    void javaScriptAlert(const QUrl &origin, const QString &message) override
    {
        if (!silent)
            QWebEnginePage::javaScriptAlert(origin, message);
    }
    bool javaScriptConfirm(const QUrl &origin, const QString &message) override
    {
        return silent ? false : QWebEnginePage::javaScriptConfirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl &origin, const QString &message, const QString &defaultValue,
                          QString *result) override
    {
        return silent ? false : QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) override {}
};

namespace {

// Both texts in one round trip, so that they come from the same document.
const QString kCaptureScript = QStringLiteral("[document.documentElement ? document.documentElement.outerHTML : '',"
                                              " document.body ? document.body.innerHTML : '']");

// Written documents are loaded from data: addresses; their loads are not navigations.
bool isWrittenDocument(const QUrl &url)
{
    return url.scheme() == u"data";
}

QUrl writtenDocumentBase()
{
    return QUrl(QStringLiteral("about:blank"));
}

} // namespace

WebEngineBrowser::WebEngineBrowser(QWidget *parent)
    : BrowserView(parent)
    , m_view(new QWebEngineView(this))
    , m_page(new SilentPage(m_view))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setPage(m_page);
    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::onLoadingChanged);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, &WebEngineBrowser::reportEngineFailure);
    connect(m_page, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest &request) {
        emit newWindowRequested(request.requestedUrl().toString());
    });
}

// Nothing else is logged, but a browser engine that fails must not fail silently.
void WebEngineBrowser::reportEngineFailure(int status, int exitCode)
{
    if (status != QWebEnginePage::NormalTerminationStatus)
        std::fprintf(stderr, "veltrik: the browser engine's page process ended (status %d, exit code %d)\n", status,
                     exitCode);
}

WebEngineBrowser::~WebEngineBrowser() = default;

void WebEngineBrowser::navigate(const QString &address)
{
    ++m_navigation;
    m_writing = false;
    m_capturing = false;
    m_lastRequestWasWrite = false;
    const QUrl url(address);
    if (!url.isValid() || url.isEmpty()) {
        // Nothing will load: the navigation fails at once, as a failed load does.
        m_navigationPending = false;
        emit downloadBegin();
        completeWith(QString(), QString());
        return;
    }
    m_navigationPending = true;
    m_view->load(url);
}

bool WebEngineBrowser::busy() const
{
    return m_navigationPending || m_capturing;
}

void WebEngineBrowser::setSilent(bool silent)
{
    m_page->silent = silent;
}

void WebEngineBrowser::write(const QString &text)
{
    if (!m_writing) {
        m_written.clear();
        m_writing = true;
    }
    m_written += text;
    // A written document replaces whatever was still loading: that navigation will not complete.
    if (m_navigationPending || m_capturing) {
        ++m_navigation;
        m_navigationPending = false;
        m_capturing = false;
    }
    m_lastRequestWasWrite = true;
    m_view->setHtml(m_written, writtenDocumentBase());
}

QString WebEngineBrowser::bodyHtml() const
{
    return m_bodyHtml;
}

QString WebEngineBrowser::pageHtml() const
{
    return m_pageHtml;
}

QString WebEngineBrowser::url() const
{
    return m_url;
}

// The engine folds requests that follow each other quickly into one load: one start, one end, whose
// address is that of the last request. So the end of a load is matched to the last request made, and a
// written document's own load (started from a data: address, ended at the base address) is told apart
// from a navigation that replaced it.
void WebEngineBrowser::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        m_loadIsWrite = isWrittenDocument(info.url());
        if (!m_loadIsWrite) {
            // Also a page the user opened inside the view (a link, Back, Reload): it completes like any
            // other, and it ends the written document as a navigation does.
            m_writing = false;
            m_navigationPending = true;
            m_lastRequestWasWrite = false;
            emit downloadBegin();
        }
        return;
    }
    const bool writeEnded = m_lastRequestWasWrite || (m_loadIsWrite && info.url() == writtenDocumentBase());
    m_loadIsWrite = false;
    if (writeEnded || !m_navigationPending)
        return;
    m_navigationPending = false;
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
        captureAndComplete();
    else
        completeWith(QString(), QString());
}

void WebEngineBrowser::captureAndComplete()
{
    m_capturing = true;
    const quint64 navigation = m_navigation;
    m_page->runJavaScript(kCaptureScript, QWebEngineScript::ApplicationWorld,
                          [this, navigation](const QVariant &result) {
                              if (navigation != m_navigation || !m_capturing)
                                  return;
                              const QVariantList parts = result.toList();
                              completeWith(parts.value(0).toString(), parts.value(1).toString());
                          });
}

void WebEngineBrowser::completeWith(const QString &page, const QString &body)
{
    m_capturing = false;
    m_url = m_view->url().toString();
    m_pageHtml = toLegacyAttributeQuoting(page);
    m_bodyHtml = toLegacyAttributeQuoting(body);
    emit downloadComplete();
}

} // namespace veltrik
