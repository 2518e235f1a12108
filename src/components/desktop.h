#pragma once

#include <QString>

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
};

// The real desktop: QMessageBox and QDesktopServices.
class SystemDesktop final : public Desktop {
public:
    bool askYesNo(QWidget *parent, const QString &text, const QString &title) override;
    void inform(QWidget *parent, const QString &text, const QString &title) override;
    void alert(QWidget *parent, const QString &text, const QString &title) override;
    bool openAddress(const QString &address) override;
};

} // namespace veltrik
