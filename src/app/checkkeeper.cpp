#include "checkkeeper.h"

#include "analysis/comparisonrun.h"
#include "components/desktop.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace veltrik {
namespace {

const QString kTitle = QStringLiteral("Veltrik");
const QString kCheckFilter = QStringLiteral("检测文件(*.vcheck);;所有文件(*.*)");
const QString kCheckSuffix = QStringLiteral(".vcheck");

// A check worth continuing: some piece has a result, and some piece still waits for one.
bool isUnfinished(const CheckResults &check)
{
    const auto hasState = [&check](bool compared) {
        return std::any_of(check.results.cbegin(), check.results.cend(), [compared](const PieceResult &result) {
            return compared ? result.state != PieceState::NotCompared : result.state != PieceState::Compared;
        });
    };
    return hasState(true) && hasState(false);
}

} // namespace

QString automaticCheckFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/unfinished.vcheck"_qs;
}

CheckKeeper::CheckKeeper(QWidget &window, const ComparisonRun &run, Desktop &desktop, QString automaticFile,
                         std::function<void(const CheckResults &)> takeUp)
    : m_window(window)
    , m_run(run)
    , m_desktop(desktop)
    , m_automaticFile(std::move(automaticFile))
    , m_takeUp(std::move(takeUp))
{
}

// The first change of a new check writes it whole into a fresh automatic file; later ones commit their piece.
void CheckKeeper::pieceResultChanged(int piece)
{
    if (m_automaticFile.isEmpty() || m_automaticFileFailed)
        return;
    const CheckResults &results = m_run.results();
    if (!m_store.isOpen() || m_followedStart != results.started) {
        follow(results);
        return;
    }
    if (const QString message = m_store.commitPiece(results, piece); !message.isEmpty()) {
        m_automaticFileFailed = true;
        m_desktop.alert(&m_window, message, kTitle);
    }
}

void CheckKeeper::follow(const CheckResults &check)
{
    if (m_automaticFile.isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_automaticFile).absolutePath());
    m_followedStart = check.started;
    if (const QString message = m_store.create(m_automaticFile, check); !message.isEmpty()) {
        m_automaticFileFailed = true;
        m_desktop.alert(&m_window, message, kTitle);
    }
}

void CheckKeeper::saveCheck()
{
    const CheckResults &check = m_run.results();
    if (check.pieces.isEmpty()) {
        m_desktop.inform(&m_window, QStringLiteral("请先进行分析，再保存检测"), kTitle);
        return;
    }
    QString path = m_desktop.chooseFileToSave(&m_window, QStringLiteral("保存检测"), kCheckFilter, QString());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += kCheckSuffix;
    if (QFileInfo::exists(path) &&
        !m_desktop.askYesNo(&m_window, u"“"_qs + QFileInfo(path).fileName() + u"”已存在。要替换它吗？"_qs, kTitle))
        return;
    if (const QString message = saveCheckFile(path, check); !message.isEmpty())
        m_desktop.alert(&m_window, message, kTitle);
}

void CheckKeeper::openCheck()
{
    const QString path = m_desktop.chooseFileToOpen(&m_window, QStringLiteral("打开检测"), kCheckFilter, QString());
    if (path.isEmpty())
        return;
    const CheckFileRead read = readCheckFile(path);
    if (!read.check) {
        m_desktop.alert(&m_window, read.message, kTitle);
        return;
    }
    takeUp(*read.check);
}

void CheckKeeper::offerUnfinishedCheck()
{
    if (m_automaticFile.isEmpty() || !QFileInfo::exists(m_automaticFile))
        return;
    const CheckFileRead read = readCheckFile(m_automaticFile);
    if (!read.check) {
        // What cannot be continued is not kept either.
        m_desktop.alert(&m_window, read.message, kTitle);
        removeCheckFile(m_automaticFile);
        return;
    }
    if (!isUnfinished(*read.check))
        return;
    const QString name = read.check->articleName.isEmpty() ? QStringLiteral("粘贴的文章") : read.check->articleName;
    const QString when = read.check->lastChange.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_qs);
    if (m_desktop.askYesNo(&m_window,
                           u"上次的检测尚未完成（"_qs + name + u"，"_qs + when + u"）。要继续这次检测吗？"_qs, kTitle))
        takeUp(*read.check);
    else
        removeCheckFile(m_automaticFile);
}

// The check goes into the window, and the automatic file follows it from here on.
void CheckKeeper::takeUp(const CheckResults &check)
{
    m_takeUp(check);
    m_automaticFileFailed = false;
    follow(check);
}

} // namespace veltrik
