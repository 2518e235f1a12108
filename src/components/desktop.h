#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace veltrik {

// The program's few conversations with the desktop: modal message boxes and handing an address to the
// user's default browser. Windows talk to this seam, so tests can answer and make the shell fail.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Yes/No question; true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &text, const QString &title) = 0;
    // OK box with the information icon.
    virtual void inform(QWidget *parent, const QString &text, const QString &title) = 0;
    // OK box with the critical-stop icon.
    virtual void alert(QWidget *parent, const QString &text, const QString &title) = 0;
    // Opens the address with the system's default handler; false when that fails.
    virtual bool openAddress(const QString &address) = 0;
    // File dialogs: `filter` in Qt's form ("Name(*.x);;Other(*.y)"), its first entry preselected; the
    // chosen full path, or an empty text when the user cancels.
    virtual QString chooseFileToOpen(QWidget *parent, const QString &title, const QString &filter,
                                     const QString &initialPath) = 0;
    // Several existing files at once; none when the user cancels.
    virtual QStringList chooseFilesToOpen(QWidget *parent, const QString &title, const QString &filter) = 0;
    // An existing folder, or an empty text when the user cancels.
    virtual QString chooseFolder(QWidget *parent, const QString &title) = 0;
    // The save dialog appends no extension and does not ask before replacing an existing file: the
    // caller asks, in its own words.
    virtual QString chooseFileToSave(QWidget *parent, const QString &title, const QString &filter,
                                     const QString &initialPath) = 0;
    // An existing file or the name of a new one, the dialog's button reading "打开"; an empty text when
    // the user cancels.
    virtual QString chooseFileToOpenOrCreate(QWidget *parent, const QString &title, const QString &filter,
                                             const QString &initialPath) = 0;
    // One line of text, `initial` proposed; a null text when the user cancels.
    virtual QString askText(QWidget *parent, const QString &label, const QString &title, const QString &initial) = 0;
};

// The real desktop: QMessageBox and QDesktopServices.
class SystemDesktop final : public Desktop {
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
};

} // namespace veltrik
