#pragma once

#include "analysis/checkresults.h"
#include "analysis/levels.h"
#include "analysis/runprogress.h"

#include <QElapsedTimer>
#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItem;
class QStandardItemModel;
class QTableView;
class QTableWidget;
class QTextBrowser;
class QTimer;

namespace veltrik {

class Desktop;
class ReportPdf;

// The results window "检测结果": where the run stands, the overall figure and the pieces by level, a table
// of every piece, the article coloured by level and the similar sites; its report goes to an HTML or PDF
// file or to the printer. It shows a copy of the check it is given (Qt's containers share their data, so
// the copy is cheap) and never changes the run.
class ResultsWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultsWindow)

public:
    static inline const QString kCaption = QStringLiteral("检测结果");

    explicit ResultsWindow(Desktop &desktop, QWidget *parent = nullptr);
    ~ResultsWindow() override;

    // Shows the whole check afresh (a new analysis, a reopened check).
    void showCheck(const CheckResults &check, RunPhase phase);
    // Piece `piece` (0-based) has a new result: only its row, its stretch of the article and the figures
    // are redone at once, the similar sites a moment later. Falls back to the whole check when the pieces
    // are not those shown.
    void refreshPiece(const CheckResults &check, int piece, RunPhase phase);
    // The run's state changed without a new result.
    void showPhase(RunPhase phase);

    // "导出报告": asks for a file, then writes the report as HTML, or as PDF for a name ending in ".pdf".
    void exportReport();
    // "打印": the platform's print dialog, then the report on the chosen printer.
    void printReport();

    // For the tests, and the report the window would write now.
    QProgressBar *progressBar() const { return m_progress; }
    QLabel *progressLabel() const { return m_progressText; }
    QLabel *phaseLabel() const { return m_phaseText; }
    QLabel *overallLabel() const { return m_overall; }
    QLabel *levelLabel(Level level) const { return m_levelLabels[static_cast<std::size_t>(level)]; }
    QComboBox *levelFilter() const { return m_filter; }
    QTableView *pieceTable() const { return m_table; }
    QTextBrowser *articleView() const { return m_article; }
    QTableWidget *sitesView() const { return m_sites; }
    QPushButton *exportButton() const { return m_export; }
    QString report() const;
    ReportPdf &pdfWriter() { return *m_pdf; }

signals:
    // A click on a piece's row: the main window selects it in its editor as a click on its list row does.
    void pieceClicked(int piece);
    // A PDF report was written (true) or failed (false).
    void pdfExported(bool ok);

private:
    void setupControls();
    QWidget *makeSummary();
    void fillRow(int piece);
    void colourArticlePiece(int piece);
    void showFigures(RunPhase phase);
    void showSites();
    void filterByLevel(int choice);
    void tableClicked(const QModelIndex &index);
    void siteClicked(int row, int column);
    void writeHtml(const QString &path);
    void writePdf(const QString &path);

    Desktop &m_desktop;
    CheckResults m_check;
    LocatedArticle m_located;
    RunPace m_pace;
    QElapsedTimer m_clock;

    QProgressBar *m_progress = nullptr;
    QLabel *m_progressText = nullptr;
    QLabel *m_phaseText = nullptr;
    QLabel *m_overall = nullptr;
    std::array<QLabel *, 4> m_levelLabels{};
    QComboBox *m_filter = nullptr;
    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    QTableView *m_table = nullptr;
    QTextBrowser *m_article = nullptr;
    QTableWidget *m_sites = nullptr;
    // The sites are tallied over every slot: a new piece's items ask for it, and the pieces that arrive
    // meanwhile are taken in the same tally.
    QTimer *m_sitesDue = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_print = nullptr;
    std::unique_ptr<ReportPdf> m_pdf;
};

} // namespace veltrik
