#include "runprogress.h"

namespace veltrik {

QString runPhaseText(RunPhase phase)
{
    switch (phase) {
    case RunPhase::Running:
        return QStringLiteral("运行中");
    case RunPhase::Stopped:
        return QStringLiteral("已停止");
    case RunPhase::Finished:
        return QStringLiteral("已完成");
    case RunPhase::WaitingForCheck:
        break;
    }
    return QStringLiteral("等待安全验证");
}

PieceProgress pieceProgress(const CheckResults &check)
{
    PieceProgress progress;
    for (qsizetype i = 0; i < check.pieces.size(); ++i) {
        if (i < check.results.size() && check.results[i].state == PieceState::Compared)
            ++progress.done;
        else
            ++progress.left;
    }
    return progress;
}

void RunPace::sample(qint64 msecs, int done)
{
    if (!m_firstMsecs || done < m_lastDone) {
        m_firstMsecs = msecs;
        m_firstDone = done;
    }
    m_lastMsecs = msecs;
    m_lastDone = done;
}

std::optional<qint64> RunPace::msecsLeft(int left) const
{
    const int measured = m_lastDone - m_firstDone;
    if (!m_firstMsecs || measured <= 0 || m_lastMsecs <= *m_firstMsecs)
        return std::nullopt;
    return (m_lastMsecs - *m_firstMsecs) * left / measured;
}

QString timeLeftText(std::optional<qint64> msecs)
{
    if (!msecs)
        return QStringLiteral("—");
    const qint64 seconds = (*msecs + 999) / 1000;
    const auto twoDigits = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (seconds >= 3600)
        return QStringLiteral("%1 小时 %2 分").arg(seconds / 3600).arg(twoDigits(seconds / 60 % 60));
    if (seconds >= 60)
        return QStringLiteral("%1 分 %2 秒").arg(seconds / 60).arg(twoDigits(seconds % 60));
    return QStringLiteral("%1 秒").arg(seconds);
}

} // namespace veltrik
