#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace veltrik::testing {

// Writes `bytes` to `name` in `folder`, making the subfolders the name has; the file's absolute path, or
// an empty text when it could not be written.
inline QString writtenFile(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder.absoluteFilePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace veltrik::testing
