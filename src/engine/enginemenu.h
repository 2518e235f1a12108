#pragma once

#include <QObject>

class QAction;

namespace veltrik {

class Form1;

// The engine menu, the comparator command and the get-updates command of the main window. The engine in
// force is simply the menu item that carries the check mark.
class EngineMenu : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EngineMenu)

public:
    explicit EngineMenu(Form1 &form);

    void baidu_Click();
    void wenku_Click();
    void longyuan_Click();
    void zhiwang_Click();
    void duibiqi_Click();
    void gengxin_Click();

private:
    void checkOnly(QAction *chosen);

    Form1 &m_form;
};

} // namespace veltrik
