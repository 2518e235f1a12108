#pragma once

#include <QObject>
#include <QSize>

#include <functional>

class QWidget;

namespace veltrik {

// Runs a window's layout pass again when its outer size changes while its client size stays: the window
// manager adds its frame (title bar, borders) only after the window was first laid out, and no resize
// follows. Resizes themselves are left to the window, which lays out on every one.
class OuterSizeWatch final : public QObject {
public:
    OuterSizeWatch(QWidget &window, std::function<void()> layout);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    std::function<void()> m_layout;
    QSize m_laidOutFor;
};

} // namespace veltrik
