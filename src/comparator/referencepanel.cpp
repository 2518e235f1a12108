#include "referencepanel.h"

#include "appearance/appearance.h"
#include "components/backgroundwork.h"
#include "components/richeditor.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace veltrik {
namespace {

QTableWidgetItem *numberItem(qint64 value)
{
    auto *item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

ReferencePanel::ReferencePanel(RichEditor &article, QLabel &result, QWidget *parent)
    : QWidget(parent)
    , m_article(article)
    , m_result(result)
    , m_cancelled(std::make_shared<std::atomic_bool>(false))
{
    setObjectName(QStringLiteral("referencePanel"));
    table = new QTableWidget(0, 4, this);
    table->setObjectName(QStringLiteral("referenceTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("参考文件"), QStringLiteral("重复句数"),
                                      QStringLiteral("重复字数"), QStringLiteral("占文章(%)")});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    table->setSortingEnabled(true);
    table->sortByColumn(NameColumn, Qt::AscendingOrder);

    unreadableList = new QListWidget(this);
    unreadableList->setObjectName(QStringLiteral("unreadableReferences"));
    unreadableList->setMaximumHeight(80);
    unreadableList->setWordWrap(true);
    unreadableList->hide();

    referenceView = new RichEditor(this);
    referenceView->setObjectName(QStringLiteral("referenceView"));
    referenceView->setFont(songTiFont(9));
    referenceView->findChild<QTextEdit *>()->setReadOnly(true);

    showAll = new QPushButton(QStringLiteral("显示全部参考文件的标注"), this);
    showAll->setObjectName(QStringLiteral("showAllReferences"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table, 2);
    layout->addWidget(unreadableList);
    layout->addWidget(showAll);
    layout->addWidget(referenceView, 3);

    connect(table, &QTableWidget::itemSelectionChanged, this, &ReferencePanel::showChosenReference);
    connect(showAll, &QPushButton::clicked, table, &QTableWidget::clearSelection);
    connect(&m_article, &RichEditor::mouseDown, this, [this](Qt::MouseButtons buttons) {
        // The caret moves to the place clicked once the press is handled.
        if (buttons == Qt::LeftButton)
            QTimer::singleShot(0, this, &ReferencePanel::showSourceOfCaret);
    });
}

ReferencePanel::~ReferencePanel()
{
    *m_cancelled = true;
}

void ReferencePanel::addFiles(const QStringList &chosen)
{
    const QString article = m_article.text();
    auto result = std::make_shared<ReferenceFilesResult>();
    QThread *reading = QThread::create([result, article, chosen, cancelled = m_cancelled] {
        *result = compareWithFiles(article, referenceFilesIn(chosen), cancelled.get());
    });
    // Gone with the window, the connection is gone too, and the reading stops at the next file.
    connect(reading, &QThread::finished, this, [this, article, result] { showCompared(article, std::move(*result)); });
    startBackgroundWork(reading);
}

void ReferencePanel::showCompared(const QString &article, ReferenceFilesResult result)
{
    // A file added again replaces its earlier result; all are compared with the article as it is now.
    for (const ComparedReference &added : result.compared)
        m_references.removeIf([&](const ComparedReference &earlier) { return earlier.path == added.path; });
    m_references += result.compared;
    const QString current = m_article.text();
    if (current != article)
        for (ComparedReference &reference : m_references)
            reference.comparison = compareWithReference(current, reference.text);
    m_unreadable += result.unreadable;
    fillTable();
    fillUnreadable();
    showAllMarks();
    m_result.setText(referencesResultText(current.size(), m_references));
    emit filesCompared();
}

void ReferencePanel::fillTable()
{
    const QSignalBlocker quiet(table);
    table->setSortingEnabled(false);
    table->clearContents();
    table->setRowCount(int(m_references.size()));
    const qsizetype articleLength = m_article.text().size();
    for (int row = 0; row < int(m_references.size()); ++row) {
        const ComparedReference &reference = m_references[row];
        auto *name = new QTableWidgetItem(reference.name());
        name->setToolTip(reference.path);
        name->setData(Qt::UserRole, row);
        table->setItem(row, NameColumn, name);
        table->setItem(row, SentencesColumn, numberItem(reference.comparison.run.sentences));
        table->setItem(row, CharsColumn, numberItem(reference.comparison.run.chars));
        table->setItem(row, ShareColumn, numberItem(shareOfArticle(articleLength, reference.comparison).toLongLong()));
    }
    table->setSortingEnabled(true);
}

void ReferencePanel::fillUnreadable()
{
    unreadableList->clear();
    for (const UnreadableReference &file : m_unreadable) {
        auto *item = new QListWidgetItem(
            QStringLiteral("无法读取 %1：%2").arg(QFileInfo(file.path).fileName(), file.reason), unreadableList);
        item->setToolTip(file.path);
    }
    unreadableList->setVisible(!m_unreadable.isEmpty());
}

void ReferencePanel::markArticle(const QList<TextSpan> &marks)
{
    m_article.setSelStart(0);
    m_article.setSelLength(int(m_article.text().size()));
    m_article.setSelColor(kPlainBlack);
    m_article.colorSpans(marks, kMarkRed);
    m_article.setSelStart(0);
}

void ReferencePanel::showAllMarks()
{
    markArticle(unionOfMarks(m_references));
}

qsizetype ReferencePanel::chosenReference() const
{
    const QList<QTableWidgetItem *> chosen = table->selectedItems();
    if (chosen.isEmpty())
        return -1;
    return table->item(chosen.first()->row(), NameColumn)->data(Qt::UserRole).toInt();
}

void ReferencePanel::showChosenReference()
{
    const qsizetype chosen = chosenReference();
    if (chosen < 0) {
        showAllMarks();
        return;
    }
    markArticle(m_references[chosen].comparison.run.marks);
    referenceView->setText(m_references[chosen].text);
}

// The chosen reference, or else the first in the list that repeats the place clicked.
void ReferencePanel::showSourceOfCaret()
{
    const qsizetype offset = m_article.selStart();
    const qsizetype chosen = chosenReference();
    for (qsizetype index = 0; index < m_references.size(); ++index) {
        if (chosen >= 0 && index != chosen)
            continue;
        const auto place = repeatedPlaceAt(m_references[index].comparison, offset);
        if (!place)
            continue;
        if (referenceView->text() != m_references[index].text)
            referenceView->setText(m_references[index].text);
        referenceView->setSelStart(int(place->referenceStart));
        referenceView->setSelLength(int(place->length));
        referenceView->setToolTip(m_references[index].path);
        return;
    }
}

} // namespace veltrik
