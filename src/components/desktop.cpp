#include "desktop.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
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

namespace veltrik {
namespace {

QString runFileDialog(QWidget *parent, const QString &title, const QString &filter, const QString &initialPath,
                      QFileDialog::AcceptMode mode, const QString &acceptLabel = QString())
{
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(mode);
    if (!acceptLabel.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, acceptLabel);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectNameFilter(filter.section(QStringLiteral(";;"), 0, 0));
    if (!initialPath.isEmpty())
        dialog.selectFile(initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

QString SystemDesktop::chooseFileToOpen(QWidget *parent, const QString &title, const QString &filter,
                                        const QString &initialPath)
{
    return runFileDialog(parent, title, filter, initialPath, QFileDialog::AcceptOpen);
}

QStringList SystemDesktop::chooseFilesToOpen(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileNames(parent, title, QString(), filter);
}

QString SystemDesktop::chooseFolder(QWidget *parent, const QString &title)
{
    return QFileDialog::getExistingDirectory(parent, title);
}

QString SystemDesktop::chooseFileToSave(QWidget *parent, const QString &title, const QString &filter,
                                        const QString &initialPath)
{
    return runFileDialog(parent, title, filter, initialPath, QFileDialog::AcceptSave);
}

QString SystemDesktop::chooseFileToOpenOrCreate(QWidget *parent, const QString &title, const QString &filter,
                                                const QString &initialPath)
{
    return runFileDialog(parent, title, filter, initialPath, QFileDialog::AcceptSave, QStringLiteral("打开"));
}

QString SystemDesktop::askText(QWidget *parent, const QString &label, const QString &title, const QString &initial)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, initial, &accepted);
    return accepted ? text : QString();
}

} // namespace veltrik
