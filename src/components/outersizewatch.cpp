#include "outersizewatch.h"

#include <QEvent>
#include <QWidget>

namespace veltrik {

OuterSizeWatch::OuterSizeWatch(QWidget &window, std::function<void()> layout)
    : QObject(&window)
    , m_window(window)
    , m_layout(std::move(layout))
{
    window.installEventFilter(this);
}

bool OuterSizeWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_window)
        return false;
    const QSize outer = m_window.frameGeometry().size();
    switch (event->type()) {
    case QEvent::Resize:
        m_laidOutFor = outer;
        break;
    case QEvent::Move:
    case QEvent::Show:
        if (outer != m_laidOutFor) {
            m_laidOutFor = outer;
            m_layout();
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace veltrik
