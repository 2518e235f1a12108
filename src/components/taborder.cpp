#include "taborder.h"

#include <QWidget>

namespace veltrik {
namespace {

bool acceptsTab(const QWidget *widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

// The widget that receives the focus for a control: itself, its focus proxy, or for a compound control
// without one (the browser view) its first visible descendant that takes the Tab key.
QWidget *focusTarget(QWidget *control)
{
    if (QWidget *proxy = control->focusProxy())
        return proxy;
    if (acceptsTab(control))
        return control;
    for (QWidget *child : control->findChildren<QWidget *>())
        if (acceptsTab(child) && child->isVisibleTo(control) && child->isEnabled())
            return child;
    return nullptr;
}

} // namespace

TabOrder::TabOrder(QList<QWidget *> controls)
    : m_controls(std::move(controls))
{
}

bool TabOrder::takesPart(QWidget *control)
{
    return control->isVisible() && control->isEnabled() && !control->size().isEmpty() && focusTarget(control);
}

qsizetype TabOrder::indexHolding(const QWidget *focused) const
{
    for (qsizetype i = 0; i < m_controls.size(); ++i)
        if (focused && (m_controls[i] == focused || m_controls[i]->isAncestorOf(focused)))
            return i;
    return -1;
}

bool TabOrder::moveFocus(QWidget *focused, bool forward) const
{
    const qsizetype from = indexHolding(focused);
    if (from < 0)
        return false;
    const qsizetype count = m_controls.size();
    for (qsizetype step = 1; step < count; ++step) {
        QWidget *control = m_controls[(from + (forward ? step : count - step)) % count];
        if (takesPart(control)) {
            focusTarget(control)->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

} // namespace veltrik
