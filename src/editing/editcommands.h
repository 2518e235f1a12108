#pragma once

#include <QObject>
#include <QPoint>

class QMenu;

namespace veltrik {

class RichEditor;

// The six edit commands of a window's article editor, reached from the window's menu "编辑" (or "菜单")
// and from the same menu popped up by a right click in the editor. Only plain text goes through the
// clipboard; undo is the editor's own.
class EditCommands : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditCommands)

public:
    // Connects the menu's items by their names (cx, jq, fz, nt, sc, qx) and the editor's right click.
    EditCommands(RichEditor &editor, QMenu &menu);

    void cx_Click(); // 撤销
    void jq_Click(); // 剪切
    void fz_Click(); // 复制
    void nt_Click(); // 粘贴
    void sc_Click(); // 删除
    void qx_Click(); // 全选
    void RichTextBox1_MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);

private:
    void connectItem(const char *name, void (EditCommands::*handler)());

    RichEditor &m_editor;
    QMenu &m_menu;
};

} // namespace veltrik
