#include "reportpdf.h"

#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace veltrik {

ReportPdf::ReportPdf(QObject *parent)
    : QObject(parent)
{
}

ReportPdf::~ReportPdf() = default;

void ReportPdf::write(const QString &html, const QString &pdfPath, std::function<void(bool)> done)
{
    if (busy()) {
        done(false);
        return;
    }
    m_done = std::move(done);
    m_pdfPath = pdfPath;
    m_folder = std::make_unique<QTemporaryDir>();
    const QString htmlPath = m_folder->filePath(QStringLiteral("report.html"));
    QFile file(htmlPath);
    if (!m_folder->isValid() || !file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0) {
        finish(false);
        return;
    }
    file.close();
    m_page = std::make_unique<QWebEnginePage>();
    // The report has no script; the page runs none and fetches nothing from outside.
    m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    connect(m_page.get(), &QWebEnginePage::loadFinished, this, &ReportPdf::loaded);
    connect(m_page.get(), &QWebEnginePage::pdfPrintingFinished, this, [this](const QString &, bool ok) { finish(ok); });
    m_page->load(QUrl::fromLocalFile(htmlPath));
}

void ReportPdf::loaded(bool ok)
{
    if (!ok) {
        finish(false);
        return;
    }
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                             QPageLayout::Millimeter);
    m_page->printToPdf(m_pdfPath, layout);
}

// The page is let go later: this may run inside one of its own signals.
void ReportPdf::finish(bool ok)
{
    if (m_page)
        m_page.release()->deleteLater();
    m_folder.reset();
    std::function<void(bool)> done = std::move(m_done);
    m_done = nullptr;
    done(ok);
}

} // namespace veltrik
