#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QWebEnginePage;

namespace veltrik {

// Turns the HTML report into a PDF file with the browser engine's print to PDF, on A4 with the page's own
// colours. The page is loaded from a file in a private folder, so a long report is not cut at the size a
// page set from memory may have. The work is asynchronous: `done` is called once, with true when the file
// was written.
class ReportPdf : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportPdf)

public:
    explicit ReportPdf(QObject *parent = nullptr);
    ~ReportPdf() override;

    // A second call while one is still being written is refused with false at once.
    void write(const QString &html, const QString &pdfPath, std::function<void(bool)> done);
    bool busy() const { return bool(m_done); }

private:
    void loaded(bool ok);
    void finish(bool ok);

    std::unique_ptr<QWebEnginePage> m_page;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_pdfPath;
    std::function<void(bool)> m_done;
};

} // namespace veltrik
