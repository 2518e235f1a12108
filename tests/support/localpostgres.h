#pragma once

#include <QString>
#include <QTemporaryDir>

namespace veltrik {

// A PostgreSQL server of the tests' own: a new cluster in a temporary folder, listening on a free port of
// 127.0.0.1 only, stopped and deleted with the object. The server refuses to run as root, so as root it
// runs as the `postgres` user the Debian package creates. `error` says why it did not start.
class LocalPostgres {
public:
    LocalPostgres();
    ~LocalPostgres();
    LocalPostgres(const LocalPostgres &) = delete;
    LocalPostgres &operator=(const LocalPostgres &) = delete;

    bool isRunning() const { return m_running; }
    QString error() const { return m_error; }

    // A new, empty database; its connection string, or an empty string with error() set.
    QString createDatabase(const QString &name);
    QString connectionString(const QString &database) const;
    int port() const { return m_port; }

private:
    bool run(const QString &program, const QStringList &arguments);
    bool start();

    QTemporaryDir m_folder;
    QString m_binaries;
    int m_port = 0;
    bool m_running = false;
    QString m_error;
};

} // namespace veltrik
