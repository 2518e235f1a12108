#pragma once

#include "checkresults.h"

#include <QString>

#include <optional>

namespace veltrik {

// Where a run stands, as the results window says it.
enum class RunPhase {
    Running,         // 运行中: an automatic run is going on
    Stopped,         // 已停止: pieces are left, nothing sends them
    Finished,        // 已完成: every piece has been compared
    WaitingForCheck, // 等待安全验证: the engine showed a security check
};

QString runPhaseText(RunPhase phase);

// Pieces compared and pieces left.
struct PieceProgress {
    int done = 0;
    int left = 0;
};

PieceProgress pieceProgress(const CheckResults &check);

// The pace of a run, measured from the pieces that were done while it was watched: the time left is the
// pieces left at the mean time per piece since the first sample. Times are milliseconds of any steady
// clock; a sample with fewer pieces done than before (a new analysis) starts the measure afresh.
class RunPace {
public:
    void sample(qint64 msecs, int done);
    // None until two samples with more pieces done lie apart.
    std::optional<qint64> msecsLeft(int left) const;

private:
    std::optional<qint64> m_firstMsecs;
    int m_firstDone = 0;
    qint64 m_lastMsecs = 0;
    int m_lastDone = 0;
};

// "3 分 05 秒", "45 秒", "1 小时 02 分"; "—" for an unknown time.
QString timeLeftText(std::optional<qint64> msecs);

} // namespace veltrik
