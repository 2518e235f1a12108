#include "enginemenu.h"

#include "app/form1.h"
#include "components/desktop.h"

#include <QAction>

namespace veltrik {

EngineMenu::EngineMenu(Form1 &form)
    : QObject(&form)
    , m_form(form)
{
    connect(m_form.baidu(), &QAction::triggered, this, &EngineMenu::baidu_Click);
    connect(m_form.wenku(), &QAction::triggered, this, &EngineMenu::wenku_Click);
    connect(m_form.longyuan(), &QAction::triggered, this, &EngineMenu::longyuan_Click);
    connect(m_form.zhiwang(), &QAction::triggered, this, &EngineMenu::zhiwang_Click);
    connect(m_form.duibiqi(), &QAction::triggered, this, &EngineMenu::duibiqi_Click);
    connect(m_form.gengxin(), &QAction::triggered, this, &EngineMenu::gengxin_Click);
}

// Every handler sets all four marks, in the same order; its own item keeps the mark.
void EngineMenu::checkOnly(QAction *chosen)
{
    for (QAction *engine : {m_form.baidu(), m_form.longyuan(), m_form.zhiwang(), m_form.wenku()})
        engine->setChecked(engine == chosen);
}

void EngineMenu::baidu_Click()
{
    checkOnly(m_form.baidu());
}

void EngineMenu::wenku_Click()
{
    checkOnly(m_form.wenku());
}

void EngineMenu::longyuan_Click()
{
    checkOnly(m_form.longyuan());
}

void EngineMenu::zhiwang_Click()
{
    checkOnly(m_form.zhiwang());
}

void EngineMenu::duibiqi_Click()
{
    m_form.openComparator();
}

void EngineMenu::gengxin_Click()
{
    if (!m_form.services().desktop->openAddress(m_form.services().endpoints.productPageUrl()))
        m_form.services().desktop->alert(&m_form, QStringLiteral("调用浏览器错误！"), QStringLiteral("错误："));
}

} // namespace veltrik
