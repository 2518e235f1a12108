#include "backgroundwork.h"

#include <QList>
#include <QPointer>
#include <QThread>

namespace veltrik {
namespace {

// Started from the windows' thread only; a thread that has deleted itself leaves a null pointer.
QList<QPointer<QThread>> &startedThreads()
{
    static QList<QPointer<QThread>> threads;
    return threads;
}

} // namespace

void startBackgroundWork(QThread *thread)
{
    QList<QPointer<QThread>> &threads = startedThreads();
    threads.removeIf([](const QPointer<QThread> &started) { return started.isNull(); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    threads.append(thread);
    thread->start();
}

void waitForBackgroundWork()
{
    for (const QPointer<QThread> &thread : std::as_const(startedThreads()))
        if (thread)
            thread->wait();
}

} // namespace veltrik
