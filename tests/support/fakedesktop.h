#pragma once

#include "components/desktop.h"

#include <QStringList>

#include <functional>

namespace veltrik::testing {

// Answers questions as told, records every box and every address it is asked to open.
class FakeDesktop final : public Desktop {
public:
    bool askYesNo(QWidget *parent, const QString &text, const QString &title) override;
    void inform(QWidget *parent, const QString &text, const QString &title) override;
    void alert(QWidget *parent, const QString &text, const QString &title) override;
    bool openAddress(const QString &address) override;
    QString chooseFileToOpen(QWidget *parent, const QString &title, const QString &filter,
                             const QString &initialPath) override;
    QStringList chooseFilesToOpen(QWidget *parent, const QString &title, const QString &filter) override;
    QString chooseFolder(QWidget *parent, const QString &title) override;
    QString chooseFileToSave(QWidget *parent, const QString &title, const QString &filter,
                             const QString &initialPath) override;
    QString chooseFileToOpenOrCreate(QWidget *parent, const QString &title, const QString &filter,
                                     const QString &initialPath) override;
    QString askText(QWidget *parent, const QString &label, const QString &title, const QString &initial) override;

    bool answerYes = true;
    bool shellWorks = true;
    // Each box as "kind|title|text".
    QStringList boxes;
    // Runs while an information or error box is open, as the user takes time to read it.
    std::function<void()> whileBoxOpen;
    QStringList openedAddresses;
    // What the next file dialog returns (empty: cancelled), and each dialog as "title|filter|initial path".
    QString nextChosenFile;
    QStringList nextChosenFiles;
    QString nextChosenFolder;
    QStringList fileDialogs;
    // What the next question for a text returns (null: cancelled), and each question as "title|label|initial".
    QString nextText;
    QStringList textQuestions;
};

} // namespace veltrik::testing
