#include "desktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace veltrik {

bool SystemDesktop::askYesNo(QWidget *parent, const QString &text, const QString &title)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
}

void SystemDesktop::inform(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox::information(parent, title, text);
}

void SystemDesktop::alert(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox::critical(parent, title, text);
}

bool SystemDesktop::openAddress(const QString &address)
{
    const QUrl url(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace veltrik
