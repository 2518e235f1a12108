#include "resultswindow.h"

#include "analysis/report.h"
#include "app/reportpdf.h"
#include "components/desktop.h"
#include "documents/loader.h"
#include "text/numbers.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace veltrik {

namespace {

enum Column { NumberColumn, PieceColumn, SimilarityColumn, SourceCountColumn, MainSourceColumn, ColumnCount };

// Each cell sorts by its own key (numbers as numbers); the first cell also carries the piece's level.
constexpr int kSortRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;

// Long enough to take the pieces of a quick manual run in one tally, short enough to look immediate.
constexpr int kSitesDelayMs = 300;

const QString kExportTitle = QStringLiteral("导出报告");

QString percentText(double value)
{
    return formatNumber(value) + u'%';
}

QStandardItem *makeItem()
{
    auto *item = new QStandardItem;
    item->setEditable(false);
    return item;
}

QString suggestedReportName(const QString &articleName)
{
    const QString base = QFileInfo(articleName).completeBaseName();
    return (base.isEmpty() ? QString() : base + u'-') + u"检测报告.html"_qs;
}

// The dialog appends no extension: a name without a known one becomes an HTML file.
QString withReportSuffix(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"html" || suffix == u"htm" || suffix == u"pdf")
        return path;
    return path + u".html"_qs;
}

} // namespace

ResultsWindow::ResultsWindow(Desktop &desktop, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_desktop(desktop)
    , m_pdf(std::make_unique<ReportPdf>())
{
    setObjectName(QStringLiteral("ResultsWindow"));
    setWindowTitle(kCaption);
    setupControls();
    m_clock.start();
    showCheck({}, RunPhase::Stopped);
    resize(1100, 760);
}

ResultsWindow::~ResultsWindow() = default;

void ResultsWindow::setupControls()
{
    m_filter = new QComboBox;
    m_filter->setObjectName(QStringLiteral("levelFilter"));
    m_filter->addItem(QStringLiteral("全部"), -1);
    for (const LevelInfo &info : levelTable())
        m_filter->addItem(info.name, static_cast<int>(info.level));
    connect(m_filter, &QComboBox::currentIndexChanged, this, &ResultsWindow::filterByLevel);

    m_model = new QStandardItemModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSortRole(kSortRole);
    m_proxy->setFilterRole(kLevelRole);
    m_proxy->setFilterKeyColumn(NumberColumn);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("pieceTable"));
    m_table->setModel(m_proxy);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(NumberColumn, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    connect(m_table, &QTableView::clicked, this, &ResultsWindow::tableClicked);

    m_article = new QTextBrowser;
    m_article->setObjectName(QStringLiteral("articleView"));
    m_sites = new QTableWidget(0, 2);
    m_sites->setObjectName(QStringLiteral("sitesView"));
    m_sites->setHorizontalHeaderLabels({QStringLiteral("相似网站"), QStringLiteral("出现次数")});
    m_sites->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sites->setSelectionMode(QAbstractItemView::NoSelection);
    m_sites->verticalHeader()->setVisible(false);
    m_sites->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_sites->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(m_sites, &QTableWidget::cellClicked, this, &ResultsWindow::siteClicked);
    m_sitesDue = new QTimer(this);
    m_sitesDue->setSingleShot(true);
    m_sitesDue->setInterval(kSitesDelayMs);
    connect(m_sitesDue, &QTimer::timeout, this, &ResultsWindow::showSites);

    m_export = new QPushButton(kExportTitle);
    m_export->setObjectName(QStringLiteral("exportReport"));
    connect(m_export, &QPushButton::clicked, this, &ResultsWindow::exportReport);
    m_print = new QPushButton(QStringLiteral("打印"));
    m_print->setObjectName(QStringLiteral("printReport"));
    connect(m_print, &QPushButton::clicked, this, &ResultsWindow::printReport);

    auto *tablePane = new QWidget;
    auto *tableLayout = new QVBoxLayout(tablePane);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(new QLabel(QStringLiteral("显示级别：")));
    filterRow->addWidget(m_filter);
    filterRow->addStretch();
    tableLayout->addLayout(filterRow);
    tableLayout->addWidget(m_table);

    auto *textPanes = new QSplitter(Qt::Vertical);
    textPanes->addWidget(m_article);
    textPanes->addWidget(m_sites);
    textPanes->setStretchFactor(0, 3);
    textPanes->setStretchFactor(1, 1);
    auto *panes = new QSplitter(Qt::Horizontal);
    panes->addWidget(tablePane);
    panes->addWidget(textPanes);
    panes->setStretchFactor(0, 1);
    panes->setStretchFactor(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_export);
    buttons->addWidget(m_print);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeSummary());
    layout->addWidget(panes, 1);
    layout->addLayout(buttons);
}

// The progress, the run's state, the overall figure and the count of each level with its colour: the
// counts are the legend of the colours below.
QWidget *ResultsWindow::makeSummary()
{
    auto *summary = new QWidget;
    auto *layout = new QVBoxLayout(summary);
    layout->setContentsMargins(0, 0, 0, 0);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setFormat(QStringLiteral("%v / %m 句"));
    m_progressText = new QLabel;
    m_phaseText = new QLabel;
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_progressText);
    progressRow->addWidget(m_phaseText);
    layout->addLayout(progressRow);

    m_overall = new QLabel;
    QFont bold = m_overall->font();
    bold.setBold(true);
    m_overall->setFont(bold);
    auto *figuresRow = new QHBoxLayout;
    figuresRow->addWidget(m_overall);
    for (const LevelInfo &info : levelTable()) {
        auto *label = new QLabel;
        label->setTextFormat(Qt::RichText);
        m_levelLabels[static_cast<std::size_t>(info.level)] = label;
        figuresRow->addSpacing(18);
        figuresRow->addWidget(label);
    }
    figuresRow->addStretch();
    layout->addLayout(figuresRow);
    return summary;
}

void ResultsWindow::showCheck(const CheckResults &check, RunPhase phase)
{
    m_check = check;
    m_located = locatePieces(m_check);

    // A fresh model is filled while nothing watches it, then handed to the table in one step.
    auto *model = new QStandardItemModel(int(m_check.pieces.size()), ColumnCount, this);
    model->setHorizontalHeaderLabels({QStringLiteral("序号"), QStringLiteral("句子"), QStringLiteral("相似度"),
                                      QStringLiteral("来源数"), QStringLiteral("主要来源")});
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < ColumnCount; ++column)
            model->setItem(row, column, makeItem());
    std::swap(m_model, model);
    for (int piece = 0; piece < m_model->rowCount(); ++piece)
        fillRow(piece);
    m_proxy->setSourceModel(m_model);
    delete model;
    m_table->resizeColumnToContents(NumberColumn);
    m_table->setColumnWidth(PieceColumn, 220);

    m_article->setPlainText(m_located.text);
    for (int piece = 0; piece < m_located.pieces.size(); ++piece)
        colourArticlePiece(piece);
    m_sitesDue->stop();
    showSites();
    showFigures(phase);
}

void ResultsWindow::refreshPiece(const CheckResults &check, int piece, RunPhase phase)
{
    if (check.pieces != m_check.pieces || check.article != m_check.article || piece < 0 ||
        piece >= m_model->rowCount()) {
        showCheck(check, phase);
        return;
    }
    const bool itemsChanged = piece >= m_check.results.size() || piece >= check.results.size() ||
                              m_check.results[piece].items != check.results[piece].items;
    m_check = check;
    fillRow(piece);
    colourArticlePiece(piece);
    if (itemsChanged && !m_sitesDue->isActive())
        m_sitesDue->start();
    showFigures(phase);
}

void ResultsWindow::showPhase(RunPhase phase)
{
    showFigures(phase);
}

void ResultsWindow::fillRow(int piece)
{
    const PieceResult result = piece < m_check.results.size() ? m_check.results[piece] : PieceResult{};
    const Level level = levelOf(result);
    const bool checked = level != Level::NotChecked;
    const auto set = [this, piece](int column, const QString &text, const QVariant &sortKey) {
        QStandardItem *item = m_model->item(piece, column);
        item->setText(text);
        item->setData(sortKey, kSortRole);
    };
    set(NumberColumn, QString::number(piece + 1), piece + 1);
    set(PieceColumn, m_check.pieces[piece], m_check.pieces[piece]);
    set(SimilarityColumn, checked ? percentText(result.similarity) : levelInfo(level).name,
        checked ? result.similarity : -1.0);
    set(SourceCountColumn, checked ? QString::number(result.items.size()) : QString(),
        checked ? int(result.items.size()) : -1);
    const QString mainSource = result.items.isEmpty() ? QString() : result.items.first().title;
    set(MainSourceColumn, mainSource, mainSource);
    m_model->item(piece, SimilarityColumn)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_model->item(piece, SourceCountColumn)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QBrush background = checked ? QBrush(QColor(levelInfo(level).background)) : QBrush();
    for (int column = 0; column < ColumnCount; ++column)
        m_model->item(piece, column)->setBackground(background);
    m_model->item(piece, NumberColumn)->setData(static_cast<int>(level), kLevelRole);
}

void ResultsWindow::colourArticlePiece(int piece)
{
    const TextSpan span = m_located.pieces.value(piece);
    if (span.length == 0)
        return;
    const Level level = piece < m_check.results.size() ? levelOf(m_check.results[piece]) : Level::NotChecked;
    QTextCharFormat format;
    if (level == Level::NotChecked)
        format.clearBackground();
    else
        format.setBackground(QColor(levelInfo(level).background));
    QTextCursor cursor(m_article->document());
    cursor.setPosition(int(span.start));
    cursor.setPosition(int(span.start + span.length), QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
}

void ResultsWindow::showFigures(RunPhase phase)
{
    const PieceProgress progress = pieceProgress(m_check);
    m_pace.sample(m_clock.elapsed(), progress.done);
    const std::optional<qint64> left =
        phase == RunPhase::Running ? m_pace.msecsLeft(progress.left) : std::optional<qint64>();
    m_progress->setRange(0, std::max(1, progress.done + progress.left));
    m_progress->setValue(progress.done);
    m_progressText->setText(QStringLiteral("已完成 %1 句，剩余 %2 句，预计剩余时间：%3")
                                .arg(progress.done)
                                .arg(progress.left)
                                .arg(timeLeftText(left)));
    m_phaseText->setText(u"状态："_qs + runPhaseText(phase));

    const std::optional<double> overall = overallSimilarity(m_check);
    m_overall->setText(u"总体相似度："_qs + (overall ? percentText(*overall) : u"—"_qs));
    m_overall->setToolTip(u"排除内容："_qs + shownExclusions(m_check));
    const LevelCounts counts = countLevels(m_check);
    for (const LevelInfo &info : levelTable()) {
        const QString range = levelRangeText(info.level);
        m_levelLabels[static_cast<std::size_t>(info.level)]->setText(
            u"<span style=\"color:"_qs + info.colour + u"\">■</span> "_qs + info.name +
            (range.isEmpty() ? QString() : u"（"_qs + range.toHtmlEscaped() + u"）"_qs) + u"："_qs +
            QString::number(counts.of(info.level)) + u" 句"_qs);
    }
}

// A web address is shown as a link and opens on a click; any other address is only text.
void ResultsWindow::showSites()
{
    const QList<SiteRow> rows = siteRowsOf(m_check);
    m_sites->setRowCount(int(rows.size()));
    QFont linkFont = m_sites->font();
    linkFont.setUnderline(true);
    const QBrush linkColour = m_sites->palette().link();
    for (int row = 0; row < rows.size(); ++row) {
        auto *title = new QTableWidgetItem(rows[row].title);
        title->setToolTip(rows[row].url);
        if (isWebAddress(rows[row].url)) {
            title->setData(Qt::UserRole, rows[row].url);
            title->setFont(linkFont);
            title->setForeground(linkColour);
        }
        auto *tally = new QTableWidgetItem(QString::number(rows[row].tally));
        tally->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_sites->setItem(row, 0, title);
        m_sites->setItem(row, 1, tally);
    }
}

void ResultsWindow::filterByLevel(int choice)
{
    const int level = m_filter->itemData(choice).toInt();
    m_proxy->setFilterRegularExpression(level < 0 ? QString() : u'^' + QString::number(level) + u'$');
}

void ResultsWindow::tableClicked(const QModelIndex &index)
{
    if (index.isValid())
        emit pieceClicked(m_proxy->mapToSource(index).row());
}

void ResultsWindow::siteClicked(int row, int column)
{
    const QString address = m_sites->item(row, 0)->data(Qt::UserRole).toString();
    if (column != 0 || address.isEmpty())
        return;
    if (!m_desktop.openAddress(address))
        m_desktop.alert(this, QStringLiteral("调用浏览器错误！"), QStringLiteral("错误："));
}

QString ResultsWindow::report() const
{
    return reportHtml(m_check, QDateTime::currentDateTime());
}

void ResultsWindow::exportReport()
{
    QString path = m_desktop.chooseFileToSave(this, kExportTitle, QStringLiteral("HTML 文件(*.html);;PDF 文件(*.pdf)"),
                                              suggestedReportName(m_check.articleName));
    if (path.isEmpty())
        return;
    path = withReportSuffix(path);
    if (QFileInfo::exists(path) &&
        !m_desktop.askYesNo(this, u"文件“"_qs + QFileInfo(path).fileName() + u"”已经存在。\n要替换它吗？"_qs,
                            kExportTitle))
        return;
    if (QFileInfo(path).suffix().toLower() == u"pdf")
        writePdf(path);
    else
        writeHtml(path);
}

void ResultsWindow::writeHtml(const QString &path)
{
    if (const auto failure = saveBytes(path, report().toUtf8()))
        m_desktop.alert(this, u"无法写入文件“"_qs + path + u"”："_qs + *failure, kExportTitle);
}

void ResultsWindow::writePdf(const QString &path)
{
    m_export->setEnabled(false);
    m_pdf->write(report(), path, [this, path](bool ok) {
        m_export->setEnabled(true);
        if (!ok)
            m_desktop.alert(this, u"无法写入文件“"_qs + path + u"”。"_qs, kExportTitle);
        emit pdfExported(ok);
    });
}

// Qt's own rich text lays the report out for the printer; it needs no browser engine.
void ResultsWindow::printReport()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("打印报告"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument document;
    document.setHtml(report());
    document.print(&printer);
}

} // namespace veltrik
