#pragma once

#include <QList>

class QWidget;

namespace veltrik {

// Tab and Shift+Tab over a window's controls in a fixed order. The order is kept here rather than in
// Qt's focus chain, which takes in widgets created later (the browser engine makes its own when a page
// first loads) at its end. A control takes part while it is visible, not empty, enabled and has
// something that takes the keyboard focus; labels, hidden buttons and a 0 x 0 browser are passed over.
class TabOrder {
public:
    explicit TabOrder(QList<QWidget *> controls);

    // Moves the focus from the control that holds it to the next (or previous) one that takes part;
    // false when no control holds the focus or none takes part.
    bool moveFocus(QWidget *focused, bool forward) const;

    static bool takesPart(QWidget *control);

private:
    qsizetype indexHolding(const QWidget *focused) const;

    QList<QWidget *> m_controls;
};

} // namespace veltrik
