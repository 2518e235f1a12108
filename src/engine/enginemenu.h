#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace veltrik {

class Desktop;

// The main window's menu items this menu answers.
struct EngineMenuItems {
    QAction *baidu = nullptr;
    QAction *wenku = nullptr;
    QAction *longyuan = nullptr;
    QAction *zhiwang = nullptr;
    QAction *duibiqi = nullptr;
    QAction *gengxin = nullptr;
};

// The engine menu, the comparator command and the get-updates command of the main window. The engine in
// force is simply the menu item that carries the check mark.
class EngineMenu : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EngineMenu)

public:
    // `window` owns the menu and is the parent of its error box; `openComparator` is the window's own
    // command that shows the comparator.
    EngineMenu(QWidget &window, const EngineMenuItems &items, Desktop &desktop, QString productPageUrl,
               std::function<void()> openComparator);

    void baidu_Click();
    void wenku_Click();
    void longyuan_Click();
    void zhiwang_Click();
    void duibiqi_Click();
    void gengxin_Click();

private:
    void checkOnly(QAction *chosen);

    QWidget &m_window;
    EngineMenuItems m_items;
    Desktop &m_desktop;
    QString m_productPageUrl;
    std::function<void()> m_openComparator;
};

} // namespace veltrik
