#include "documentfiles.h"

#include "appearance/appearance.h"
#include "components/backgroundwork.h"
#include "components/desktop.h"
#include "components/richeditor.h"
#include "loader.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <memory>

namespace veltrik {
namespace {

const QString kAppTitle = QStringLiteral("Veltrik");
// Reading that ends sooner shows no busy indicator.
constexpr int kBusyIndicatorDelayMs = 300;

QString failureText(const QString &verb, const QString &path, const QString &reason)
{
    return verb + u"文件“"_qs + QFileInfo(path).fileName() + u"”："_qs + reason;
}

// What the open command does to the whole text, done to a document no editor shows yet: an editor
// would lay out the whole text again.
void turnBlack(QTextDocument &document)
{
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    QTextCharFormat black;
    black.setForeground(kPlainBlack);
    cursor.mergeCharFormat(black);
}

} // namespace

DocumentFiles::DocumentFiles(QWidget &window, RichEditor &editor, Desktop &desktop, Reader reader)
    : m_window(window)
    , m_editor(editor)
    , m_desktop(desktop)
    , m_reader(reader ? std::move(reader) : Reader(loadDocument))
{
}

void DocumentFiles::open()
{
    const QString path =
        m_desktop.chooseFileToOpen(&m_window, QStringLiteral("请选择一个文件"), kOpenFilter, m_lastPath);
    if (path.isEmpty())
        turnTextBlack();
    else
        openFile(path);
}

void DocumentFiles::openFile(const QString &path)
{
    m_lastPath = path;
    if (loadInto(path))
        m_articlePath = path;
    else
        turnTextBlack();
}

QString DocumentFiles::articleFileName() const
{
    return QFileInfo(m_articlePath).fileName();
}

void DocumentFiles::setArticleFile(const QString &path)
{
    m_articlePath = path;
}

bool DocumentFiles::loadInto(const QString &path)
{
    std::optional<ReadDocument> read = readInBackground(path, opensThroughWord(path));
    if (!read)
        return false;
    const DocumentResult &result = read->result;
    if (!result) {
        m_desktop.alert(&m_window, failureText(u"无法打开"_qs, path, result.message), kAppTitle);
        return false;
    }
    m_editor.adoptDocument(std::move(read->document));
    if (!result.notice.isEmpty())
        m_desktop.inform(&m_window, u"文件“"_qs + QFileInfo(path).fileName() + u"”："_qs + result.notice, kAppTitle);
    return true;
}

// What the reading thread and the window share; the thread may outlive a cancelled open.
struct DocumentFiles::ReadJob {
    std::atomic_bool cancelled = false;
    std::atomic_bool done = false;
    ReadDocument read;
};

// The document is built on the reading thread too and handed to the window's thread. The Word way
// reads no formatting, so its text takes the editor's default format.
void DocumentFiles::readDocument(ReadJob &job, const Reader &reader, const QString &path, bool wordWay,
                                 QThread *windowThread)
{
    job.read.result = reader(path, wordWay, &job.cancelled);
    if (job.read.result && !job.cancelled) {
        job.read.document = RichEditor::buildDocument(job.read.result.content);
        turnBlack(*job.read.document);
        job.read.document->moveToThread(windowThread);
    }
    job.done = true;
}

// Nothing when the user cancels. For the first moments the window takes no input (as if reading were
// quick and in the foreground), so that no other command can start meanwhile; after that the busy
// indicator, modal to the window, is the only thing that takes input.
std::optional<DocumentFiles::ReadDocument> DocumentFiles::readInBackground(const QString &path, bool wordWay)
{
    auto job = std::make_shared<ReadJob>();
    QThread *const windowThread = QThread::currentThread();
    QThread *reading = QThread::create([job, reader = m_reader, path, wordWay, windowThread] {
        readDocument(*job, reader, path, wordWay, windowThread);
    });
    QEventLoop waiting;
    QObject::connect(reading, &QThread::finished, &waiting, &QEventLoop::quit);
    QTimer::singleShot(kBusyIndicatorDelayMs, &waiting, &QEventLoop::quit);
    startBackgroundWork(reading);
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    if (!job->done) {
        QProgressDialog busy(u"正在打开“"_qs + QFileInfo(path).fileName() + u"”……"_qs, u"取消"_qs, 0, 0, &m_window);
        busy.setWindowTitle(kAppTitle);
        busy.setWindowModality(Qt::WindowModal);
        busy.setAutoReset(false);
        busy.setAutoClose(false);
        QObject::connect(&busy, &QProgressDialog::canceled, &waiting, &QEventLoop::quit);
        busy.show();
        waiting.exec();
        // The loop also ends when the program quits; then the reading may still be going on.
        if (busy.wasCanceled() || !job->done) {
            job->cancelled = true;
            return std::nullopt;
        }
    }
    return std::move(job->read);
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
    else
        m_articlePath = path;
}

} // namespace veltrik
