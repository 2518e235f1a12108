#pragma once

#include <QStringList>

class QTextStream;

namespace veltrik {

// veltrik-cli: the program's analysis and scoring without a window, for scripts and for checking
// results. Returns the process exit code: 0 on success, 1 when a file cannot be read, 2 on bad arguments.
int runCli(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace veltrik
