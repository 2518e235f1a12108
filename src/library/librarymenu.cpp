#include "librarymenu.h"

#include "comparator/form2.h"
#include "comparator/referencepanel.h"
#include "components/backgroundwork.h"
#include "components/desktop.h"
#include "components/richeditor.h"
#include "documentlibrary.h"
#include "librarycheck.h"
#include "libraryindexing.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QProgressBar>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>

namespace veltrik {
namespace {

const QString kTitle = QStringLiteral("比对库");
const QString kLibraryFilter = QStringLiteral("比对库(*.vlib);;所有文件(*.*)");
// Unreadable files named one by one in the summary; the rest are counted.
constexpr qsizetype kUnreadableShown = 20;
// How often the progress bar looks at the job.
constexpr int kProgressIntervalMs = 100;
// A job that ends sooner brings up no progress dialog.
constexpr int kProgressDelayMs = 300;

// Room beside the label in the progress dialog.
constexpr int kProgressMargin = 80;

QString progressText(qsizetype done, qsizetype total)
{
    return QStringLiteral("正在加入比对库：已处理 %1 个文件，共 %2 个").arg(done).arg(total);
}

QString libraryName(const QString &location)
{
    return isConnectionString(location) ? shownLibraryLocation(location) : QFileInfo(location).fileName();
}

// A name typed without an extension gets the library's own, unless a file of that name is there.
QString withLibrarySuffix(const QString &path)
{
    const QFileInfo file(path);
    return file.suffix().isEmpty() && !file.exists() ? path + u".vlib"_qs : path;
}

// The library in use, opened by a job. A file that has gone since it was chosen is not made anew: an empty
// library in its place would answer every check with nothing found.
std::unique_ptr<DocumentLibrary> openLibraryInUse(const QString &location, QString *error)
{
    if (!isConnectionString(location) && !QFileInfo::exists(location)) {
        *error = u"找不到比对库文件“"_qs + QFileInfo(location).fileName() + u"”，请重新打开或新建比对库。"_qs;
        return nullptr;
    }
    return DocumentLibrary::open(location, error);
}

QString addingSummary(const QString &library, const QList<AddedFile> &files, bool filesLeftOut)
{
    using Outcome = AddedFile::Outcome;
    const auto count = [&files](Outcome outcome) {
        return QString::number(std::count_if(files.begin(), files.end(),
                                             [outcome](const AddedFile &file) { return file.outcome == outcome; }));
    };
    QString text = QStringLiteral("比对库“%1”：新加入 %2 篇，更新 %3 篇，未变 %4 篇，内容重复 %5 篇，无法读取 %6 篇。")
                       .arg(library, count(Outcome::Added), count(Outcome::Updated), count(Outcome::Unchanged),
                            count(Outcome::Duplicate), count(Outcome::Unreadable));
    if (filesLeftOut)
        text += u"\n已取消：其余的文件没有加入。"_qs;
    qsizetype unreadable = 0;
    for (const AddedFile &file : files) {
        if (file.outcome != Outcome::Unreadable)
            continue;
        if (++unreadable <= kUnreadableShown)
            text += u"\n无法读取 "_qs + file.name + u"："_qs + file.detail;
    }
    if (unreadable > kUnreadableShown)
        text += QStringLiteral("\n……另有 %1 个文件无法读取。").arg(unreadable - kUnreadableShown);
    return text;
}

} // namespace

// What the window's thread and a job's thread share; the thread may outlive the window.
struct LibraryMenu::Job {
    std::atomic_bool cancelled = false;
    std::atomic<qsizetype> done = 0;
    std::atomic<qsizetype> total = 0;
};

LibraryMenu::LibraryMenu(Form2 &window, Desktop &desktop, const QString &location)
    : QObject(&window)
    , m_window(window)
    , m_desktop(desktop)
    , m_location(location)
    , m_progressTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("libraryCommands"));
    menu = new QMenu(kTitle, &window);
    menu->setObjectName(QStringLiteral("libraryMenu"));
    current = menu->addAction(QString());
    current->setObjectName(QStringLiteral("currentLibrary"));
    current->setEnabled(false);
    menu->addSeparator();
    const auto command = [this](const char *name, const QString &caption, void (LibraryMenu::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    command("openLibraryFile", QStringLiteral("打开或新建比对库文件…"), &LibraryMenu::chooseLibraryFile);
    command("connectLibraryServer", QStringLiteral("连接服务器上的比对库…"), &LibraryMenu::connectToServer);
    menu->addSeparator();
    m_needLibrary = {
        command("addFilesToLibrary", QStringLiteral("把文件加入比对库…"), &LibraryMenu::addFiles),
        command("addFolderToLibrary", QStringLiteral("把文件夹加入比对库（含子文件夹）…"), &LibraryMenu::addFolder),
        command("checkWithLibrary", QStringLiteral("用比对库检测文章"), &LibraryMenu::checkArticle),
    };
    window.referenceMenu->addSeparator();
    window.referenceMenu->addMenu(menu);
    m_progressTimer->setInterval(kProgressIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, &LibraryMenu::showProgress);
    updateActions();
}

LibraryMenu::~LibraryMenu()
{
    if (m_job)
        m_job->cancelled = true;
}

void LibraryMenu::chooseLibraryFile()
{
    const QString initial = isConnectionString(m_location) ? QString() : m_location;
    const QString chosen = m_desktop.chooseFileToOpenOrCreate(
        &m_window, QStringLiteral("请选择比对库文件（没有时新建）"), kLibraryFilter, initial);
    if (!chosen.isEmpty())
        useLocation(withLibrarySuffix(chosen));
}

void LibraryMenu::connectToServer()
{
    const QString initial = isConnectionString(m_location) ? m_location : u"postgresql://"_qs;
    const QString typed =
        m_desktop
            .askText(&m_window, QStringLiteral("服务器上比对库的连接地址（postgresql://用户:密码@主机:端口/数据库）："),
                     QStringLiteral("连接服务器上的比对库"), initial)
            .trimmed();
    if (typed.isEmpty())
        return;
    if (!isConnectionString(typed)) {
        m_desktop.alert(&m_window, QStringLiteral("连接地址应以 postgresql:// 开头。"), kTitle);
        return;
    }
    useLocation(typed);
}

// The library is opened (and a new file made one) before it is taken into use.
void LibraryMenu::useLocation(const QString &location)
{
    struct Opened {
        QString error;
        qsizetype documents = 0;
    };
    auto opened = std::make_shared<Opened>();
    runInBackground(
        QStringLiteral("正在打开比对库…"),
        [location, opened](Job &) {
            const auto library = DocumentLibrary::open(location, &opened->error);
            if (!library)
                return;
            const auto entries = library->entries();
            if (entries)
                opened->documents = entries->size();
            else
                opened->error = library->error();
        },
        [this, location, opened](const Job &job) {
            if (job.cancelled)
                return;
            if (!opened->error.isEmpty()) {
                m_desktop.alert(&m_window, opened->error, kTitle);
                return;
            }
            m_location = location;
            updateActions(opened->documents);
            emit locationChanged(location);
        });
}

void LibraryMenu::addFiles()
{
    const QStringList files = m_desktop.chooseFilesToOpen(&m_window, QStringLiteral("请选择要加入比对库的文件"),
                                                          QStringLiteral("所有文件(*.*)"));
    if (!files.isEmpty())
        addToLibrary(files);
}

void LibraryMenu::addFolder()
{
    const QString folder = m_desktop.chooseFolder(&m_window, QStringLiteral("请选择要加入比对库的文件夹"));
    if (!folder.isEmpty())
        addToLibrary({folder});
}

void LibraryMenu::addToLibrary(const QStringList &paths)
{
    struct Added {
        QString error;
        QList<AddedFile> files;
        qsizetype documents = -1;
    };
    auto added = std::make_shared<Added>();
    runInBackground(
        QStringLiteral("正在读取文件…"),
        [location = m_location, paths, added](Job &job) {
            const auto library = openLibraryInUse(location, &added->error);
            if (!library)
                return;
            AddCallbacks callbacks;
            callbacks.reported = [added](const AddedFile &file) { added->files.append(file); };
            callbacks.progress = [&job](qsizetype done, qsizetype total) {
                job.total = total;
                job.done = done;
            };
            callbacks.cancelled = &job.cancelled;
            if (!veltrik::addToLibrary(*library, paths, callbacks))
                added->error = library->error();
            // Batches written before a failure stay in the library, and the count says so.
            if (const auto entries = library->entries())
                added->documents = entries->size();
        },
        [this, added](const Job &job) {
            updateActions(added->documents);
            // Files being read when the user cancelled are still added: then nothing was left out.
            const bool filesLeftOut = job.cancelled && added->files.size() < job.total;
            reportAdding(added->error, added->files, filesLeftOut);
        });
}

void LibraryMenu::reportAdding(const QString &error, const QList<AddedFile> &files, bool filesLeftOut)
{
    const QString summary = addingSummary(libraryName(m_location), files, filesLeftOut);
    if (error.isEmpty())
        m_desktop.inform(&m_window, summary, kTitle);
    else if (files.isEmpty())
        m_desktop.alert(&m_window, u"无法加入比对库："_qs + error, kTitle);
    else
        m_desktop.alert(&m_window, u"无法加入比对库："_qs + error + u"\n\n在此之前："_qs + summary, kTitle);
}

void LibraryMenu::checkArticle()
{
    const QString article = m_window.RichTextBox1->text();
    if (article.trimmed().isEmpty()) {
        m_desktop.inform(&m_window, QStringLiteral("请先在左边放入要检测的文章。"), kTitle);
        return;
    }
    struct Checked {
        QString error;
        ReferenceFilesResult found;
    };
    auto checked = std::make_shared<Checked>();
    runInBackground(
        QStringLiteral("正在用比对库检测文章…"),
        [location = m_location, article, checked](Job &) {
            const auto library = openLibraryInUse(location, &checked->error);
            if (!library)
                return;
            if (const auto check = veltrik::checkArticle(*library, article, kCandidatesCompared))
                checked->found.compared = comparedDocuments(*check);
            else
                checked->error = library->error();
        },
        [this, article, checked](const Job &job) {
            if (job.cancelled)
                return;
            if (!checked->error.isEmpty()) {
                m_desktop.alert(&m_window, u"无法用比对库检测："_qs + checked->error, kTitle);
                return;
            }
            if (checked->found.compared.isEmpty()) {
                m_desktop.inform(&m_window, QStringLiteral("比对库中没有与文章重复的文档。"), kTitle);
                return;
            }
            m_window.showReferencePanel();
            m_window.references->showCompared(article, std::move(checked->found));
        });
}

void LibraryMenu::runInBackground(const QString &label, std::function<void(Job &)> work,
                                  std::function<void(const Job &)> done)
{
    auto job = std::make_shared<Job>();
    m_job = job;
    m_progress = new QProgressDialog(label, QStringLiteral("取消"), 0, 0, &m_window);
    m_progress->setObjectName(QStringLiteral("libraryProgress"));
    m_progress->setWindowTitle(kTitle);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    // The dialog's own value would run the event loop on every step of a modal dialog; its bar is set
    // directly instead. The dialog comes up once the job has taken a moment.
    m_progressBar = new QProgressBar(m_progress);
    m_progressBar->setRange(0, 0);
    m_progress->setBar(m_progressBar);
    // The dialog would also show itself after its minimum duration, even for a job long ended; a reset stops
    // that timer, and nothing here starts it again.
    m_progress->reset();
    // Not for a job that has ended meanwhile: its dialog waits to be deleted.
    QTimer::singleShot(kProgressDelayMs, m_progress, [this, job] {
        if (m_job == job && !job->cancelled)
            m_progress->show();
    });
    // Wide enough for the counts from the start, so that the dialog does not grow and move under the mouse.
    m_progress->setMinimumWidth(m_progress->fontMetrics().horizontalAdvance(progressText(99999, 99999)) +
                                kProgressMargin);
    connect(m_progress, &QProgressDialog::canceled, this, [job] { job->cancelled = true; });
    m_progressTimer->start();

    QThread *thread = QThread::create([job, work = std::move(work)] { work(*job); });
    // Gone with the window, the connection is gone too; the window asked the job to stop when it went.
    connect(thread, &QThread::finished, this, [this, job, done = std::move(done)] {
        m_progressTimer->stop();
        m_progress->hide();
        m_progress->deleteLater();
        m_job.reset();
        updateActions();
        done(*job);
        emit jobFinished();
    });
    updateActions();
    startBackgroundWork(thread);
}

void LibraryMenu::showProgress()
{
    if (!m_progressBar || !m_job || m_job->cancelled || m_job->total == 0)
        return;
    const qsizetype total = m_job->total;
    const qsizetype done = m_job->done;
    m_progressBar->setRange(0, int(total));
    m_progressBar->setValue(int(done));
    m_progress->setLabelText(progressText(done, total));
}

// `documents` is the library's count when a job has just learnt it; -1 keeps the count shown.
void LibraryMenu::updateActions(qsizetype documents)
{
    const bool idle = !m_job;
    for (QAction *action : menu->actions())
        if (action != current)
            action->setEnabled(idle && (!m_needLibrary.contains(action) || !m_location.isEmpty()));
    if (m_location.isEmpty())
        current->setText(QStringLiteral("尚未打开比对库"));
    else if (documents >= 0)
        current->setText(QStringLiteral("当前比对库：%1（%2 篇文档）").arg(libraryName(m_location)).arg(documents));
    else if (current->text().isEmpty())
        current->setText(u"当前比对库："_qs + libraryName(m_location));
}

} // namespace veltrik
