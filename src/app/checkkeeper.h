#pragma once

#include "analysis/checkstore.h"

#include <QDateTime>
#include <QString>

#include <functional>

class QWidget;

namespace veltrik {

class ComparisonRun;
class Desktop;

// The main window's checks: while a run goes on, each piece's result is committed to the automatic check
// file, so that a crash or a closed window loses at most the page in flight; "保存检测" and "打开检测"
// write and read check files the user names; on start, an unfinished check of the last session is offered
// for continuing.
class CheckKeeper {
public:
    // `automaticFile` is where the run's check is kept; an empty name keeps none. `takeUp` puts a check
    // into the window: its article into the editor, its pieces, figures and position into the run.
    CheckKeeper(QWidget &window, const ComparisonRun &run, Desktop &desktop, QString automaticFile,
                std::function<void(const CheckResults &)> takeUp);

    // The run changed the result of piece `piece`: it goes into the automatic check file.
    void pieceResultChanged(int piece);
    void saveCheck(); // 保存检测
    void openCheck(); // 打开检测
    // Asks whether to continue the unfinished check in the automatic file; Yes takes it up, No lets it go.
    void offerUnfinishedCheck();

private:
    void takeUp(const CheckResults &check);
    void follow(const CheckResults &check);

    QWidget &m_window;
    const ComparisonRun &m_run;
    Desktop &m_desktop;
    QString m_automaticFile;
    std::function<void(const CheckResults &)> m_takeUp;
    CheckStore m_store;
    // The start of the check the automatic file holds: a new analysis starts a new file.
    QDateTime m_followedStart;
    // The automatic file could not be written: the user was told once, and the run goes on without it.
    bool m_automaticFileFailed = false;
};

// Where the window keeps the check of the run going on: in the program's data folder.
QString automaticCheckFile();

} // namespace veltrik
