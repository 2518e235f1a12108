#include "documentfiles.h"

#include "app/appearance.h"
#include "components/desktop.h"
#include "components/richeditor.h"
#include "loader.h"

#include <QDir>
#include <QFileInfo>

namespace veltrik {
namespace {

const QString kAppTitle = QStringLiteral("Veltrik");

QString failureText(const QString &verb, const QString &path, const QString &reason)
{
    return verb + u"文件“"_qs + QFileInfo(path).fileName() + u"”："_qs + reason;
}

} // namespace

DocumentFiles::DocumentFiles(QWidget &window, RichEditor &editor, Desktop &desktop)
    : m_window(window)
    , m_editor(editor)
    , m_desktop(desktop)
{
}

void DocumentFiles::open()
{
    const QString path =
        m_desktop.chooseFileToOpen(&m_window, QStringLiteral("请选择一个文件"), kOpenFilter, m_lastPath);
    if (!path.isEmpty()) {
        m_lastPath = path;
        loadInto(path);
    }
    turnTextBlack();
}

void DocumentFiles::loadInto(const QString &path)
{
    const bool wordWay = opensThroughWord(path);
    const DocumentResult result = loadDocument(path, wordWay);
    if (!result) {
        m_desktop.alert(&m_window, failureText(u"无法打开"_qs, path, result.message), kAppTitle);
        return;
    }
    if (wordWay)
        m_editor.setText(result.content.text);
    else
        m_editor.setStyledContent(result.content);
}

void DocumentFiles::turnTextBlack()
{
    m_editor.setSelStart(0);
    m_editor.setSelLength(int(m_editor.text().size()));
    m_editor.setSelColor(kPlainBlack);
    m_editor.setSelStart(0);
}

QString DocumentFiles::proposedSaveName(const QString &lastPath)
{
    if (lastPath.isEmpty())
        return lastPath;
    const QFileInfo file(lastPath);
    if (file.suffix().compare(u"rtf"_qs, Qt::CaseInsensitive) == 0)
        return lastPath;
    return file.dir().filePath(file.completeBaseName() + u".rtf"_qs);
}

// The dialog itself does not ask before replacing a file: its question would not say that the file
// becomes an RTF document whatever it was before.
QString DocumentFiles::chooseSavePath()
{
    const QString path = m_desktop.chooseFileToSave(&m_window, QStringLiteral("请输入文件名"), kSaveFilter,
                                                    proposedSaveName(m_lastPath));
    if (path.isEmpty() || !QFileInfo::exists(path) || confirmReplace(path))
        return path;
    return QString();
}

bool DocumentFiles::confirmReplace(const QString &path)
{
    return m_desktop.askYesNo(&m_window,
                              u"文件“"_qs + QFileInfo(path).fileName() +
                                  u"”已经存在。保存后它将被替换为 RTF 文档，原有内容将丢失。\n要替换它吗？"_qs,
                              kAppTitle);
}

void DocumentFiles::save()
{
    const QString path = chooseSavePath();
    m_editor.setSelColor(kPlainBlack);
    if (path.isEmpty())
        return;
    m_lastPath = path;
    if (const auto error = saveRtf(path, m_editor.styledContent()))
        m_desktop.alert(&m_window, failureText(u"无法保存"_qs, path, *error), kAppTitle);
}

} // namespace veltrik
