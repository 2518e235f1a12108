#include "enginemenu.h"

#include "components/desktop.h"

#include <QAction>
#include <QWidget>

#include <utility>

namespace veltrik {

EngineMenu::EngineMenu(QWidget &window, const EngineMenuItems &items, Desktop &desktop, QString productPageUrl,
                       std::function<void()> openComparator)
    : QObject(&window)
    , m_window(window)
    , m_items(items)
    , m_desktop(desktop)
    , m_productPageUrl(std::move(productPageUrl))
    , m_openComparator(std::move(openComparator))
{
    connect(m_items.baidu, &QAction::triggered, this, &EngineMenu::baidu_Click);
    connect(m_items.wenku, &QAction::triggered, this, &EngineMenu::wenku_Click);
    connect(m_items.longyuan, &QAction::triggered, this, &EngineMenu::longyuan_Click);
    connect(m_items.zhiwang, &QAction::triggered, this, &EngineMenu::zhiwang_Click);
    connect(m_items.duibiqi, &QAction::triggered, this, &EngineMenu::duibiqi_Click);
    connect(m_items.gengxin, &QAction::triggered, this, &EngineMenu::gengxin_Click);
}

// Every handler sets all four marks, in the same order; its own item keeps the mark.
void EngineMenu::checkOnly(QAction *chosen)
{
    for (QAction *engine : {m_items.baidu, m_items.longyuan, m_items.zhiwang, m_items.wenku})
        engine->setChecked(engine == chosen);
}

void EngineMenu::baidu_Click()
{
    checkOnly(m_items.baidu);
}

void EngineMenu::wenku_Click()
{
    checkOnly(m_items.wenku);
}

void EngineMenu::longyuan_Click()
{
    checkOnly(m_items.longyuan);
}

void EngineMenu::zhiwang_Click()
{
    checkOnly(m_items.zhiwang);
}

void EngineMenu::duibiqi_Click()
{
    m_openComparator();
}

void EngineMenu::gengxin_Click()
{
    if (!m_desktop.openAddress(m_productPageUrl))
        m_desktop.alert(&m_window, QStringLiteral("调用浏览器错误！"), QStringLiteral("错误："));
}

} // namespace veltrik
