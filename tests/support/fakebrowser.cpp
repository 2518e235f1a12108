#include "fakebrowser.h"

namespace veltrik::testing {

void FakeBrowser::navigate(const QString &address)
{
    navigations << address;
    m_busy = true;
    m_writing = false;
    emit downloadBegin();
}

void FakeBrowser::write(const QString &text)
{
    writes << text;
    if (!m_writing)
        m_written.clear();
    m_writing = true;
    m_written += text;
    m_busy = false;
}

void FakeBrowser::arrive(const QString &body, const QString &url)
{
    m_body = body;
    m_url = url.isEmpty() ? navigations.value(navigations.size() - 1) : url;
    m_busy = false;
    emit downloadComplete();
}

void FakeBrowser::fail()
{
    arrive(QString());
}

} // namespace veltrik::testing
