#include "localpostgres.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace veltrik {
namespace {

constexpr int kCommandTimeoutMs = 120'000;

// The newest server installed by the Debian packages.
QString serverBinaries()
{
    QStringList versions = QDir(u"/usr/lib/postgresql"_qs).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    return versions.isEmpty() ? QString() : u"/usr/lib/postgresql/"_qs + versions.last() + u"/bin"_qs;
}

int freePort()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(socket);
    return port;
}

bool isRoot()
{
    return ::geteuid() == 0;
}

} // namespace

LocalPostgres::LocalPostgres()
{
    m_running = start();
}

LocalPostgres::~LocalPostgres()
{
    if (m_running)
        run(u"pg_ctl"_qs, {u"-D"_qs, m_folder.filePath(u"data"_qs), u"-m"_qs, u"immediate"_qs, u"-w"_qs, u"stop"_qs});
}

// As root the command runs as the postgres user.
bool LocalPostgres::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString command = m_binaries + u'/' + program;
    if (isRoot())
        process.start(u"runuser"_qs, QStringList{u"-u"_qs, u"postgres"_qs, u"--"_qs, command} + arguments);
    else
        process.start(command, arguments);
    if (!process.waitForFinished(kCommandTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error =
            program + u" failed: "_qs + process.errorString() + u"\n"_qs + QString::fromLocal8Bit(process.readAll());
        return false;
    }
    return true;
}

bool LocalPostgres::start()
{
    m_binaries = serverBinaries();
    if (m_binaries.isEmpty()) {
        m_error = u"PostgreSQL is not installed (the postgresql package)"_qs;
        return false;
    }
    if (!m_folder.isValid()) {
        m_error = u"no temporary folder"_qs;
        return false;
    }
    if (isRoot()) {
        const passwd *postgres = ::getpwnam("postgres");
        if (!postgres ||
            ::chown(QFile::encodeName(m_folder.path()).constData(), postgres->pw_uid, postgres->pw_gid) != 0) {
            m_error = u"cannot hand the temporary folder to the postgres user"_qs;
            return false;
        }
    }
    m_port = freePort();
    const QString data = m_folder.filePath(u"data"_qs);
    const QString settings = u"-p "_qs + QString::number(m_port) + u" -k "_qs + m_folder.path() +
                             u" -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off"_qs;
    return run(u"initdb"_qs, {u"-D"_qs, data, u"-U"_qs, u"postgres"_qs, u"--auth=trust"_qs, u"-E"_qs, u"UTF8"_qs,
                              u"--locale=C"_qs}) &&
           run(u"pg_ctl"_qs, {u"-D"_qs, data, u"-l"_qs, m_folder.filePath(u"server.log"_qs), u"-o"_qs, settings,
                              u"-w"_qs, u"start"_qs});
}

QString LocalPostgres::connectionString(const QString &database) const
{
    return u"postgresql://postgres@127.0.0.1:"_qs + QString::number(m_port) + u'/' + database;
}

QString LocalPostgres::createDatabase(const QString &name)
{
    const QString connectionName = u"local-postgres-admin"_qs;
    bool created = false;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(u"QPSQL"_qs, connectionName);
        admin.setHostName(u"127.0.0.1"_qs);
        admin.setPort(m_port);
        admin.setUserName(u"postgres"_qs);
        admin.setDatabaseName(u"postgres"_qs);
        if (admin.open()) {
            QSqlQuery query(admin);
            created = query.exec(u"CREATE DATABASE "_qs + name);
            if (!created)
                m_error = query.lastError().text();
        } else {
            m_error = admin.lastError().text();
        }
        admin.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    return created ? connectionString(name) : QString();
}

} // namespace veltrik
