#include "documentlibrary.h"

#include "fingerprints.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <string>
#include <utility>
#include <vector>

namespace veltrik {
namespace {

constexpr int kFormatVersion = 1;
// Fingerprints written or asked for by one statement; their values are integers written into the
// statement, which keeps a statement cheap to send and parse in both databases.
constexpr qsizetype kFingerprintsPerStatement = 1000;

QString nextConnectionName()
{
    static std::atomic_int counter{0};
    return u"veltrik-library-"_qs + QString::number(counter++);
}

// The only differences between the two databases: how a key is generated and how bytes are kept.
struct Dialect {
    QString idColumn;
    QString bytesType;
    QString fingerprintTableOptions;
};

const Dialect kSqlite{u"id INTEGER PRIMARY KEY"_qs, u"BLOB"_qs, u" WITHOUT ROWID"_qs};
const Dialect kPostgres{u"id BIGSERIAL PRIMARY KEY"_qs, u"BYTEA"_qs, QString()};

QStringList schema(const Dialect &dialect)
{
    return {u"CREATE TABLE IF NOT EXISTS library_format (version INTEGER NOT NULL)"_qs,
            u"CREATE TABLE IF NOT EXISTS documents ("_qs + dialect.idColumn +
                u", name TEXT NOT NULL UNIQUE, path TEXT NOT NULL, size BIGINT NOT NULL, modified BIGINT NOT NULL,"
                u" content_hash TEXT NOT NULL UNIQUE, text_length BIGINT NOT NULL, body "_qs +
                dialect.bytesType + u" NOT NULL)"_qs,
            u"CREATE TABLE IF NOT EXISTS fingerprints (hash INTEGER NOT NULL, document BIGINT NOT NULL,"
            u" PRIMARY KEY (hash, document))"_qs +
                dialect.fingerprintTableOptions};
}

const QString kEntryColumns = u"id, name, path, size, modified, content_hash, text_length"_qs;

LibraryEntry entryOf(const QSqlQuery &query)
{
    LibraryEntry entry;
    entry.id = query.value(0).toLongLong();
    entry.name = query.value(1).toString();
    entry.path = query.value(2).toString();
    entry.size = query.value(3).toLongLong();
    entry.modified = QDateTime::fromMSecsSinceEpoch(query.value(4).toLongLong(), Qt::UTC);
    entry.contentHash = query.value(5).toString().toLatin1();
    entry.textLength = query.value(6).toLongLong();
    return entry;
}

QString integerList(const qint32 *begin, const qint32 *end)
{
    QString list;
    list.reserve((end - begin) * 12);
    for (const qint32 *value = begin; value != end; ++value) {
        if (value != begin)
            list += u',';
        list += QString::number(*value);
    }
    return list;
}

// Chinese text packs smaller from UTF-16 than from UTF-8, and the fastest level packs it nearly as small as
// the slowest. Little-endian whatever the machine, since a shared library is read by other machines.
void appendNumber(std::string &text, qint64 number)
{
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

QByteArray packedText(const QString &text)
{
    QByteArray units(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), units.data());
    return qCompress(units, 1);
}

std::optional<QString> unpackedText(const QByteArray &body)
{
    const QByteArray units = qUncompress(body);
    if (units.isNull() || units.size() % 2 != 0)
        return std::nullopt;
    QString text(units.size() / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(units.constData(), text.size(), text.data());
    return text;
}

} // namespace

bool isConnectionString(const QString &location)
{
    return location.startsWith(u"postgresql://"_qs) || location.startsWith(u"postgres://"_qs);
}

QString shownLibraryLocation(const QString &location)
{
    return isConnectionString(location) ? QUrl(location).toString(QUrl::RemovePassword) : location;
}

PreparedDocument prepareDocument(LibraryEntry entry, const QString &text)
{
    entry.textLength = text.size();
    return {std::move(entry), packedText(text), textFingerprints(text)};
}

struct DocumentLibrary::Connection {
    QString name;
    bool postgres = false;

    QSqlDatabase database() const { return QSqlDatabase::database(name, false); }
    ~Connection()
    {
        database().close();
        QSqlDatabase::removeDatabase(name);
    }
};

namespace {

void configure(QSqlDatabase &database, const QString &location)
{
    const QUrl url(location);
    database.setHostName(url.host());
    if (url.port() > 0)
        database.setPort(url.port());
    database.setUserName(url.userName());
    database.setPassword(url.password());
    database.setDatabaseName(url.path().mid(1));
    QStringList options;
    for (const auto &[key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        options.append(key + u'=' + value);
    // A server that does not answer is given up after a while rather than waited for without end.
    if (!QUrlQuery(url).hasQueryItem(u"connect_timeout"_qs))
        options.append(u"connect_timeout=10"_qs);
    database.setConnectOptions(options.join(u';'));
}

// The reason when the database cannot be reached.
std::optional<QString> connect(const DocumentLibrary::Connection &connection, const QString &location)
{
    QSqlDatabase database =
        QSqlDatabase::addDatabase(connection.postgres ? u"QPSQL"_qs : u"QSQLITE"_qs, connection.name);
    if (!database.isValid())
        return u"缺少数据库驱动："_qs + database.lastError().text();
    if (connection.postgres)
        configure(database, location);
    else
        database.setDatabaseName(location);
    if (!database.open())
        return u"无法打开比对库 "_qs + shownLibraryLocation(location) + u"："_qs + database.lastError().text();
    return std::nullopt;
}

} // namespace

std::unique_ptr<DocumentLibrary> DocumentLibrary::open(const QString &location, QString *message)
{
    auto connection = std::make_unique<Connection>();
    connection->name = nextConnectionName();
    connection->postgres = isConnectionString(location);
    if (const auto failure = connect(*connection, location)) {
        *message = *failure;
        return nullptr;
    }
    std::unique_ptr<DocumentLibrary> library(new DocumentLibrary(std::move(connection)));
    if (!library->createTables()) {
        *message = shownLibraryLocation(location) + u" 不是可用的比对库："_qs + library->error();
        return nullptr;
    }
    return library;
}

DocumentLibrary::DocumentLibrary(std::unique_ptr<Connection> connection)
    : m_connection(std::move(connection))
{
}

DocumentLibrary::~DocumentLibrary() = default;

bool DocumentLibrary::failed(const QString &what, const QString &reason)
{
    m_error = what + u"："_qs + reason;
    return false;
}

// A new database gets the tables; one that holds other tables, or cannot be read at all (a damaged
// file, a file that is no database), is refused.
bool DocumentLibrary::createTables()
{
    QSqlDatabase database = m_connection->database();
    QSqlQuery query(database);
    if (!m_connection->postgres) {
        for (const char *setting : {"PRAGMA synchronous = NORMAL", "PRAGMA cache_size = -131072"})
            query.exec(QString::fromLatin1(setting));
        if (!query.exec(u"SELECT COUNT(*) FROM sqlite_master"_qs))
            return failed(u"文件已损坏或不是比对库"_qs, query.lastError().text());
    }
    const QStringList tables = database.tables();
    if (!tables.isEmpty() && !tables.contains(u"library_format"_qs))
        return failed(u"数据库中有别的表"_qs, tables.join(u", "_qs));
    if (tables.contains(u"library_format"_qs)) {
        if (!query.exec(u"SELECT version FROM library_format"_qs) || !query.next())
            return failed(u"无法读取比对库的格式"_qs, query.lastError().text());
        if (query.value(0).toInt() != kFormatVersion)
            return failed(u"比对库是另一版本的程序写入的，格式"_qs, query.value(0).toString());
        return true;
    }
    database.transaction();
    for (const QString &statement : schema(m_connection->postgres ? kPostgres : kSqlite))
        if (!query.exec(statement))
            return database.rollback(), failed(u"无法建立比对库的表"_qs, query.lastError().text());
    if (!query.exec(u"INSERT INTO library_format (version) VALUES ("_qs + QString::number(kFormatVersion) + u')'))
        return database.rollback(), failed(u"无法建立比对库的表"_qs, query.lastError().text());
    return database.commit() || failed(u"无法建立比对库的表"_qs, database.lastError().text());
}

std::optional<QList<LibraryEntry>> DocumentLibrary::entries()
{
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT "_qs + kEntryColumns + u" FROM documents ORDER BY name"_qs)) {
        failed(u"无法读取文档列表"_qs, query.lastError().text());
        return std::nullopt;
    }
    QList<LibraryEntry> all;
    while (query.next())
        all.append(entryOf(query));
    return all;
}

std::optional<LibraryEntry> DocumentLibrary::entryNamed(const QString &name)
{
    QSqlQuery query(m_connection->database());
    query.prepare(u"SELECT "_qs + kEntryColumns + u" FROM documents WHERE name = ?"_qs);
    query.addBindValue(name);
    if (!query.exec()) {
        failed(u"无法读取文档列表"_qs, query.lastError().text());
        return std::nullopt;
    }
    return query.next() ? entryOf(query) : LibraryEntry{};
}

std::optional<LibraryEntry> DocumentLibrary::entry(qint64 id)
{
    QSqlQuery query(m_connection->database());
    query.prepare(u"SELECT "_qs + kEntryColumns + u" FROM documents WHERE id = ?"_qs);
    query.addBindValue(id);
    if (!query.exec() || !query.next()) {
        failed(u"无法读取第 "_qs + QString::number(id) + u" 号文档"_qs, query.lastError().text());
        return std::nullopt;
    }
    return entryOf(query);
}

std::optional<QString> DocumentLibrary::text(qint64 id)
{
    QSqlQuery query(m_connection->database());
    query.prepare(u"SELECT body FROM documents WHERE id = ?"_qs);
    query.addBindValue(id);
    if (!query.exec() || !query.next()) {
        failed(u"无法读取第 "_qs + QString::number(id) + u" 号文档"_qs, query.lastError().text());
        return std::nullopt;
    }
    const auto unpacked = unpackedText(query.value(0).toByteArray());
    if (!unpacked)
        failed(u"无法读取第 "_qs + QString::number(id) + u" 号文档"_qs, u"保存的文字已损坏"_qs);
    return unpacked;
}

bool DocumentLibrary::store(const QList<PreparedDocument> &documents)
{
    QSqlDatabase database = m_connection->database();
    if (!database.transaction())
        return failed(u"无法写入比对库"_qs, database.lastError().text());
    // The fingerprints of the whole batch go in sorted, so that each part of the key's tree is visited once.
    std::vector<std::pair<qint32, qint64>> rows;
    for (const PreparedDocument &document : documents) {
        const auto known = entryNamed(document.entry.name);
        if (!known || (known->id != 0 && !removeDocument(*known)))
            return database.rollback(), false;
        QSqlQuery insert(database);
        insert.prepare(u"INSERT INTO documents (name, path, size, modified, content_hash, text_length, body)"
                       u" VALUES (?, ?, ?, ?, ?, ?, ?) RETURNING id"_qs);
        const LibraryEntry &entry = document.entry;
        for (const QVariant &value :
             {QVariant(entry.name), QVariant(entry.path), QVariant(entry.size),
              QVariant(entry.modified.toMSecsSinceEpoch()), QVariant(QString::fromLatin1(entry.contentHash)),
              QVariant(entry.textLength), QVariant(document.body)})
            insert.addBindValue(value);
        if (!insert.exec() || !insert.next())
            return database.rollback(), failed(u"无法保存 "_qs + entry.name, insert.lastError().text());
        const qint64 id = insert.value(0).toLongLong();
        for (qint32 hash : document.fingerprints)
            rows.emplace_back(hash, id);
    }
    std::sort(rows.begin(), rows.end());
    if (!insertFingerprints(rows))
        return database.rollback(), false;
    if (!database.commit())
        return failed(u"无法写入比对库"_qs, database.lastError().text());
    // The server plans the lookups by its statistics, which would otherwise lag behind a large addition.
    QSqlQuery analyse(database);
    if (m_connection->postgres && !analyse.exec(u"ANALYZE fingerprints"_qs))
        return failed(u"无法更新统计信息"_qs, analyse.lastError().text());
    return true;
}

// Many rows a statement, their integers written into it: binding costs more per value than the
// database takes to read the number.
bool DocumentLibrary::insertFingerprints(const std::vector<std::pair<qint32, qint64>> &rows)
{
    QSqlQuery query(m_connection->database());
    std::string statement;
    for (size_t first = 0; first < rows.size(); first += kFingerprintsPerStatement) {
        const size_t last = std::min(rows.size(), first + size_t(kFingerprintsPerStatement));
        statement = "INSERT INTO fingerprints (hash, document) VALUES ";
        for (size_t i = first; i < last; ++i) {
            statement += i == first ? "(" : ",(";
            appendNumber(statement, rows[i].first);
            statement += ',';
            appendNumber(statement, rows[i].second);
            statement += ')';
        }
        if (!query.exec(QString::fromLatin1(statement)))
            return failed(u"无法保存指纹"_qs, query.lastError().text());
    }
    return true;
}

bool DocumentLibrary::touch(const LibraryEntry &entry)
{
    QSqlQuery query(m_connection->database());
    query.prepare(u"UPDATE documents SET path = ?, size = ?, modified = ? WHERE name = ?"_qs);
    query.addBindValue(entry.path);
    query.addBindValue(entry.size);
    query.addBindValue(entry.modified.toMSecsSinceEpoch());
    query.addBindValue(entry.name);
    return query.exec() || failed(u"无法更新 "_qs + entry.name, query.lastError().text());
}

bool DocumentLibrary::remove(const QString &name, bool *removed)
{
    QSqlDatabase database = m_connection->database();
    *removed = false;
    if (!database.transaction())
        return failed(u"无法写入比对库"_qs, database.lastError().text());
    const auto known = entryNamed(name);
    if (!known || (known->id != 0 && !removeDocument(*known)))
        return database.rollback(), false;
    if (!database.commit())
        return failed(u"无法写入比对库"_qs, database.lastError().text());
    *removed = known->id != 0;
    return true;
}

// The document's fingerprints are found again from its text, so that the rows are deleted by their key.
bool DocumentLibrary::removeDocument(const LibraryEntry &entry)
{
    const auto stored = text(entry.id);
    if (!stored)
        return false;
    if (!deleteFingerprints(entry.id, textFingerprints(*stored)))
        return false;
    QSqlQuery query(m_connection->database());
    query.prepare(u"DELETE FROM documents WHERE id = ?"_qs);
    query.addBindValue(entry.id);
    return query.exec() || failed(u"无法删除 "_qs + entry.name, query.lastError().text());
}

bool DocumentLibrary::deleteFingerprints(qint64 id, const QList<qint32> &fingerprints)
{
    QSqlQuery query(m_connection->database());
    for (qsizetype first = 0; first < fingerprints.size(); first += kFingerprintsPerStatement) {
        const qsizetype last = std::min(fingerprints.size(), first + kFingerprintsPerStatement);
        const QString statement = u"DELETE FROM fingerprints WHERE document = "_qs + QString::number(id) +
                                  u" AND hash IN ("_qs +
                                  integerList(fingerprints.constData() + first, fingerprints.constData() + last) + u')';
        if (!query.exec(statement))
            return failed(u"无法删除指纹"_qs, query.lastError().text());
    }
    return true;
}

std::optional<QList<Candidate>> DocumentLibrary::candidates(const QList<qint32> &fingerprints, qsizetype top)
{
    QHash<qint64, qint64> shared;
    QSqlQuery query(m_connection->database());
    query.setForwardOnly(true);
    for (qsizetype first = 0; first < fingerprints.size(); first += kFingerprintsPerStatement) {
        const qsizetype last = std::min(fingerprints.size(), first + kFingerprintsPerStatement);
        const QString statement = u"SELECT document, COUNT(*) FROM fingerprints WHERE hash IN ("_qs +
                                  integerList(fingerprints.constData() + first, fingerprints.constData() + last) +
                                  u") GROUP BY document"_qs;
        if (!query.exec(statement)) {
            failed(u"cannot search the library"_qs, query.lastError().text());
            return std::nullopt;
        }
        while (query.next())
            shared[query.value(0).toLongLong()] += query.value(1).toLongLong();
    }
    QList<Candidate> found;
    for (auto it = shared.cbegin(); it != shared.cend(); ++it)
        found.append({it.key(), it.value()});
    std::sort(found.begin(), found.end(), [](const Candidate &a, const Candidate &b) {
        return a.sharedFingerprints != b.sharedFingerprints ? a.sharedFingerprints > b.sharedFingerprints : a.id < b.id;
    });
    if (found.size() > top)
        found.resize(top);
    return found;
}

} // namespace veltrik
