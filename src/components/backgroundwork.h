#pragma once

class QThread;

namespace veltrik {

// Threads a window hands its slow work to (reading files, a database) may outlive the window. The program
// waits for every one of them before it ends, so that none still runs while Qt and its database drivers
// are torn down. A window asks its work to stop when it closes; what cannot stop at once (a check against
// a library, a server that does not answer) is waited for.

// Starts `thread`, which deletes itself once it has finished.
void startBackgroundWork(QThread *thread);

// Waits until every thread started by startBackgroundWork() has finished.
void waitForBackgroundWork();

} // namespace veltrik
