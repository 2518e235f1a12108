#include "fakedesktop.h"

namespace veltrik::testing {

bool FakeDesktop::askYesNo(QWidget *, const QString &text, const QString &title)
{
    boxes << u"question|"_qs + title + u'|' + text;
    return answerYes;
}

void FakeDesktop::inform(QWidget *, const QString &text, const QString &title)
{
    boxes << u"information|"_qs + title + u'|' + text;
    if (whileBoxOpen)
        whileBoxOpen();
}

void FakeDesktop::alert(QWidget *, const QString &text, const QString &title)
{
    boxes << u"critical|"_qs + title + u'|' + text;
    if (whileBoxOpen)
        whileBoxOpen();
}

bool FakeDesktop::openAddress(const QString &address)
{
    openedAddresses << address;
    return shellWorks;
}

QString FakeDesktop::chooseFileToOpen(QWidget *, const QString &title, const QString &filter,
                                      const QString &initialPath)
{
    fileDialogs << title + u'|' + filter + u'|' + initialPath;
    return nextChosenFile;
}

QStringList FakeDesktop::chooseFilesToOpen(QWidget *, const QString &title, const QString &filter)
{
    fileDialogs << title + u'|' + filter + u'|';
    return nextChosenFiles;
}

QString FakeDesktop::chooseFolder(QWidget *, const QString &title)
{
    fileDialogs << title + u"||"_qs;
    return nextChosenFolder;
}

QString FakeDesktop::chooseFileToSave(QWidget *, const QString &title, const QString &filter,
                                      const QString &initialPath)
{
    fileDialogs << title + u'|' + filter + u'|' + initialPath;
    return nextChosenFile;
}

QString FakeDesktop::chooseFileToOpenOrCreate(QWidget *parent, const QString &title, const QString &filter,
                                              const QString &initialPath)
{
    return chooseFileToSave(parent, title, filter, initialPath);
}

QString FakeDesktop::askText(QWidget *, const QString &label, const QString &title, const QString &initial)
{
    textQuestions << title + u'|' + label + u'|' + initial;
    return nextText;
}

} // namespace veltrik::testing
