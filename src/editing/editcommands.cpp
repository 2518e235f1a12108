#include "editcommands.h"

#include "components/richeditor.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace veltrik {

EditCommands::EditCommands(RichEditor &editor, QMenu &menu)
    : QObject(&menu)
    , m_editor(editor)
    , m_menu(menu)
{
    connectItem("cx", &EditCommands::cx_Click);
    connectItem("jq", &EditCommands::jq_Click);
    connectItem("fz", &EditCommands::fz_Click);
    connectItem("nt", &EditCommands::nt_Click);
    connectItem("sc", &EditCommands::sc_Click);
    connectItem("qx", &EditCommands::qx_Click);
    connect(&m_editor, &RichEditor::mouseDown, this, &EditCommands::RichTextBox1_MouseDown);
}

void EditCommands::connectItem(const char *name, void (EditCommands::*handler)())
{
    if (QAction *item = m_menu.findChild<QAction *>(QString::fromLatin1(name)))
        connect(item, &QAction::triggered, this, handler);
}

void EditCommands::cx_Click()
{
    m_editor.undo();
}

void EditCommands::jq_Click()
{
    QGuiApplication::clipboard()->setText(m_editor.selText());
    m_editor.setSelText(QString());
}

void EditCommands::fz_Click()
{
    QGuiApplication::clipboard()->setText(m_editor.selText());
}

void EditCommands::nt_Click()
{
    m_editor.setSelText(QString());
    m_editor.setSelText(QGuiApplication::clipboard()->text());
}

void EditCommands::sc_Click()
{
    m_editor.setSelText(QString());
}

void EditCommands::qx_Click()
{
    m_editor.setSelStart(0);
    m_editor.setSelLength(int(m_editor.text().size()));
}

void EditCommands::RichTextBox1_MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint position)
{
    if (buttons & Qt::RightButton)
        m_menu.popup(m_editor.mapToGlobal(position));
}

} // namespace veltrik
