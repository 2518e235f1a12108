#pragma once

#include "components/richeditor.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTextEdit>
#include <QUrl>

namespace veltrik::testing {

// Drags the addresses over the editor and drops them there, as the desktop's file manager does; true
// when the editor accepted the drag and took the drop as a copy.
inline bool dropOnto(RichEditor &editor, const QList<QUrl> &urls)
{
    QWidget *target = editor.findChild<QTextEdit *>()->viewport();
    QMimeData data;
    data.setUrls(urls);
    const QPoint middle = target->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(middle), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() && move.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

inline bool dropFile(RichEditor &editor, const QString &path)
{
    return dropOnto(editor, {QUrl::fromLocalFile(path)});
}

} // namespace veltrik::testing
