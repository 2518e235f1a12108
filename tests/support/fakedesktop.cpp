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
}

void FakeDesktop::alert(QWidget *, const QString &text, const QString &title)
{
    boxes << u"critical|"_qs + title + u'|' + text;
}

bool FakeDesktop::openAddress(const QString &address)
{
    openedAddresses << address;
    return shellWorks;
}

} // namespace veltrik::testing
