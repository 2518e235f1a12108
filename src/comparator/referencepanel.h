#pragma once

#include "comparator/referencefiles.h"

#include <QWidget>

#include <atomic>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace veltrik {

class RichEditor;

// The reference files of the comparator: a table of the files compared with the article, the files
// that could not be read with the reason, and the chosen reference's text. The article shows the marks
// of all files, or of the chosen one; a click on a mark selects the sentence it repeats.
class ReferencePanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReferencePanel)

public:
    enum Column { NameColumn, SentencesColumn, CharsColumn, ShareColumn };

    ReferencePanel(RichEditor &article, QLabel &result, QWidget *parent);
    ~ReferencePanel() override;

    // Reads the files (a folder with its subfolders) and compares them, off the window's thread.
    void addFiles(const QStringList &chosen);
    // Shows references compared elsewhere with `article` (the article as it was then) beside the files:
    // one of the same path replaces the earlier, and all are compared again if the article has changed.
    void showCompared(const QString &article, ReferenceFilesResult result);

    QTableWidget *table = nullptr;
    QListWidget *unreadableList = nullptr;
    RichEditor *referenceView = nullptr;
    QPushButton *showAll = nullptr;

signals:
    // The references added last are read, compared and shown.
    void filesCompared();

private:
    void fillTable();
    void fillUnreadable();
    void markArticle(const QList<TextSpan> &marks);
    void showAllMarks();
    void showChosenReference();
    void showSourceOfCaret();
    qsizetype chosenReference() const;

    RichEditor &m_article;
    QLabel &m_result;
    QList<ComparedReference> m_references;
    QList<UnreadableReference> m_unreadable;
    std::shared_ptr<std::atomic_bool> m_cancelled;
};

} // namespace veltrik
