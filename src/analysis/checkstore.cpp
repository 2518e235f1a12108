#include "checkstore.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <filesystem>
#include <system_error>

namespace veltrik {
namespace {

// "VTKC" in the file header's application id tells a check file from any other SQLite database.
constexpr int kApplicationId = 0x56544B43;
// The format of the tables below. Format 1 did not keep what the analysis left out: such a file is read with
// every option off and that marked as not known.
// A file of any other format is refused.
constexpr int kFormatVersion = 2;
constexpr int kFormatWithoutExclusions = 1;

const char *const kSchema[] = {
    "CREATE TABLE check_info (id INTEGER PRIMARY KEY CHECK (id = 1), article_name TEXT NOT NULL, "
    "article TEXT NOT NULL, engine INTEGER NOT NULL, similarity_sum REAL NOT NULL, result_count INTEGER NOT "
    "NULL, position INTEGER NOT NULL, started TEXT NOT NULL, last_change TEXT NOT NULL, exclude_references "
    "INTEGER NOT NULL, exclude_quotes INTEGER NOT NULL, exclude_table_of_contents INTEGER NOT NULL, "
    "excluded_references INTEGER NOT NULL, excluded_quotes INTEGER NOT NULL, excluded_table_of_contents "
    "INTEGER NOT NULL, exclusions_known INTEGER NOT NULL)",
    "CREATE TABLE pieces (number INTEGER PRIMARY KEY, text TEXT NOT NULL, state INTEGER NOT NULL, "
    "similarity REAL NOT NULL)",
    "CREATE TABLE items (piece INTEGER NOT NULL, ordinal INTEGER NOT NULL, title TEXT NOT NULL, "
    "url TEXT NOT NULL, PRIMARY KEY (piece, ordinal)) WITHOUT ROWID",
};

// An unknown time is kept as an empty text, which reads back as unknown.
QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : u""_qs;
}

QDateTime timeOf(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QString quoted(const QString &path)
{
    return u"“"_qs + QFileInfo(path).fileName() + u"”"_qs;
}

// A failed step: what the database said, for the message.
struct Failure {
    QString reason;
};

void exec(QSqlQuery &query)
{
    if (!query.exec())
        throw Failure{query.lastError().text()};
}

void exec(const QSqlDatabase &database, const QString &statement)
{
    QSqlQuery query(database);
    if (!query.exec(statement))
        throw Failure{query.lastError().text()};
}

QSqlQuery prepared(const QSqlDatabase &database, const QString &statement)
{
    QSqlQuery query(database);
    if (!query.prepare(statement))
        throw Failure{query.lastError().text()};
    return query;
}

int pragmaValue(const QSqlDatabase &database, const QString &name)
{
    QSqlQuery query(database);
    if (!query.exec(u"PRAGMA "_qs + name) || !query.next())
        throw Failure{query.lastError().text()};
    return query.value(0).toInt();
}

} // namespace

// One named connection of Qt SQL to one file, removed again with this object.
class CheckFileConnection {
public:
    // Opened for writing even to read: a file left by a crash in the middle of a commit has its journal
    // rolled back first. A write-protected file is opened read-only by SQLite itself.
    explicit CheckFileConnection(const QString &path)
        : m_name(u"veltrik-check-"_qs + QString::number(nextNumber()))
        , m_path(path)
    {
        m_database = QSqlDatabase::addDatabase(u"QSQLITE"_qs, m_name);
        m_database.setDatabaseName(path);
    }
    ~CheckFileConnection()
    {
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    CheckFileConnection(const CheckFileConnection &) = delete;
    CheckFileConnection &operator=(const CheckFileConnection &) = delete;

    void open()
    {
        if (!QSqlDatabase::isDriverAvailable(u"QSQLITE"_qs))
            throw Failure{u"Qt SQL 缺少 SQLite 驱动"_qs};
        if (!m_database.open())
            throw Failure{m_database.lastError().text()};
    }

    const QSqlDatabase &database() const { return m_database; }
    const QString &path() const { return m_path; }

    // Runs `work` in one transaction: all of it is in the file, or none.
    template <typename Work> void inTransaction(Work work)
    {
        if (!m_database.transaction())
            throw Failure{m_database.lastError().text()};
        try {
            work();
        } catch (const Failure &) {
            m_database.rollback();
            throw;
        }
        if (!m_database.commit()) {
            const QString reason = m_database.lastError().text();
            m_database.rollback();
            throw Failure{reason};
        }
    }

private:
    static int nextNumber()
    {
        static QAtomicInteger<int> number;
        return number.fetchAndAddRelaxed(1);
    }

    QString m_name;
    QString m_path;
    QSqlDatabase m_database;
};

namespace {

void insertItems(const QSqlDatabase &database, int piece, const QList<ResultItem> &items)
{
    QSqlQuery insert = prepared(database, u"INSERT INTO items (piece, ordinal, title, url) VALUES (?, ?, ?, ?)"_qs);
    for (qsizetype k = 0; k < items.size(); ++k) {
        insert.bindValue(0, piece);
        insert.bindValue(1, int(k));
        insert.bindValue(2, items[k].title);
        insert.bindValue(3, items[k].url);
        exec(insert);
    }
}

void updateFigures(const QSqlDatabase &database, const CheckResults &check)
{
    QSqlQuery update = prepared(
        database, u"UPDATE check_info SET similarity_sum = ?, result_count = ?, position = ?, last_change = ?"_qs);
    update.bindValue(0, check.similaritySum);
    update.bindValue(1, check.resultCount);
    update.bindValue(2, check.position);
    update.bindValue(3, timeText(check.lastChange));
    exec(update);
}

void writeWholeCheck(const QSqlDatabase &database, const CheckResults &check)
{
    for (const char *statement : kSchema)
        exec(database, QString::fromLatin1(statement));
    QSqlQuery info =
        prepared(database, u"INSERT INTO check_info VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_qs);
    info.bindValue(0, check.articleName.isNull() ? u""_qs : check.articleName);
    info.bindValue(1, check.article.isNull() ? u""_qs : check.article);
    info.bindValue(2, int(check.engine));
    info.bindValue(3, check.similaritySum);
    info.bindValue(4, check.resultCount);
    info.bindValue(5, check.position);
    info.bindValue(6, timeText(check.started));
    info.bindValue(7, timeText(check.lastChange));
    info.bindValue(8, int(check.options.excludeReferences));
    info.bindValue(9, int(check.options.excludeQuotes));
    info.bindValue(10, int(check.options.excludeTableOfContents));
    info.bindValue(11, qint64(check.excluded.references));
    info.bindValue(12, qint64(check.excluded.quotes));
    info.bindValue(13, qint64(check.excluded.tableOfContents));
    info.bindValue(14, int(check.exclusionsKnown));
    exec(info);
    QSqlQuery piece =
        prepared(database, u"INSERT INTO pieces (number, text, state, similarity) VALUES (?, ?, ?, ?)"_qs);
    for (qsizetype k = 0; k < check.pieces.size(); ++k) {
        const PieceResult result = k < check.results.size() ? check.results[k] : PieceResult{};
        piece.bindValue(0, int(k));
        piece.bindValue(1, check.pieces[k]);
        piece.bindValue(2, int(result.state));
        piece.bindValue(3, result.similarity);
        exec(piece);
        insertItems(database, int(k), result.items);
    }
    exec(database, u"PRAGMA application_id = "_qs + QString::number(kApplicationId));
    exec(database, u"PRAGMA user_version = "_qs + QString::number(kFormatVersion));
}

// A sound database that is no check file of this format.
struct Refused {
    QString message;
};

// A file written by another program or by another version of this one is refused here; one that is no
// SQLite database at all fails at its first statement. Returns the file's format.
int checkFileFormat(const QSqlDatabase &database, const QString &path)
{
    if (pragmaValue(database, u"application_id"_qs) != kApplicationId)
        throw Refused{quoted(path) + u"不是检测文件。"_qs};
    const int version = pragmaValue(database, u"user_version"_qs);
    if (version == kFormatVersion || version == kFormatWithoutExclusions)
        return version;
    throw Refused{quoted(path) + u"是另一版本的程序保存的检测文件（格式 "_qs + QString::number(version) +
                  u"），本版本只能打开格式 "_qs + QString::number(kFormatWithoutExclusions) + u" 至 "_qs +
                  QString::number(kFormatVersion) + u" 的检测文件。"_qs};
}

struct Damaged {
    QString reason;
};

void require(bool sound, const QString &what)
{
    if (!sound)
        throw Damaged{what};
}

void readInfo(const QSqlDatabase &database, int format, CheckResults &check)
{
    QString columns = u"article_name, article, engine, similarity_sum, result_count, position, started, last_change"_qs;
    if (format != kFormatWithoutExclusions)
        columns += u", exclude_references, exclude_quotes, exclude_table_of_contents, excluded_references, "
                   u"excluded_quotes, excluded_table_of_contents, exclusions_known"_qs;
    QSqlQuery info(database);
    if (!info.exec(u"SELECT "_qs + columns + u" FROM check_info"_qs))
        throw Damaged{info.lastError().text()};
    require(info.next(), u"没有检测信息"_qs);
    check.articleName = info.value(0).toString();
    check.article = info.value(1).toString();
    const int engine = info.value(2).toInt();
    require(engine >= int(SearchEngine::WebSearch) && engine <= int(SearchEngine::NoQueryForm), u"引擎无效"_qs);
    check.engine = SearchEngine(engine);
    check.similaritySum = info.value(3).toDouble();
    check.resultCount = info.value(4).toInt();
    check.position = info.value(5).toInt();
    check.started = timeOf(info.value(6).toString());
    check.lastChange = timeOf(info.value(7).toString());
    if (format == kFormatWithoutExclusions) {
        check.exclusionsKnown = false;
        return;
    }
    check.exclusionsKnown = info.value(14).toBool();
    check.options = {info.value(8).toBool(), info.value(9).toBool(), info.value(10).toBool()};
    check.excluded = {info.value(11).toLongLong(), info.value(12).toLongLong(), info.value(13).toLongLong()};
    require(check.excluded.references >= 0 && check.excluded.quotes >= 0 && check.excluded.tableOfContents >= 0,
            u"排除的字数无效"_qs);
}

void readPieces(const QSqlDatabase &database, CheckResults &check)
{
    QSqlQuery pieces(database);
    pieces.setForwardOnly(true);
    if (!pieces.exec(u"SELECT number, text, state, similarity FROM pieces ORDER BY number"_qs))
        throw Damaged{pieces.lastError().text()};
    while (pieces.next()) {
        require(pieces.value(0).toInt() == check.pieces.size(), u"句子编号不连续"_qs);
        const int state = pieces.value(2).toInt();
        require(state >= int(PieceState::NotCompared) && state <= int(PieceState::WaitingForCheck), u"句子状态无效"_qs);
        check.pieces << pieces.value(1).toString();
        check.results << PieceResult{PieceState(state), pieces.value(3).toDouble(), {}};
    }
    if (pieces.lastError().isValid())
        throw Damaged{pieces.lastError().text()};
    require(check.position >= 0 && check.position <= check.pieces.size(), u"位置无效"_qs);
}

void readItems(const QSqlDatabase &database, CheckResults &check)
{
    QSqlQuery items(database);
    items.setForwardOnly(true);
    if (!items.exec(u"SELECT piece, ordinal, title, url FROM items ORDER BY piece, ordinal"_qs))
        throw Damaged{items.lastError().text()};
    while (items.next()) {
        const int piece = items.value(0).toInt();
        require(piece >= 0 && piece < check.results.size(), u"来源不属于任何句子"_qs);
        QList<ResultItem> &ofPiece = check.results[piece].items;
        require(items.value(1).toInt() == ofPiece.size(), u"来源编号不连续"_qs);
        ofPiece << ResultItem{items.value(2).toString(), items.value(3).toString()};
    }
    if (items.lastError().isValid())
        throw Damaged{items.lastError().text()};
}

QString damagedMessage(const QString &path, const QString &reason)
{
    return u"检测文件"_qs + quoted(path) + u"已损坏，无法打开："_qs + reason;
}

} // namespace

namespace {

enum class Journal {
    // One file, as a saved check is handed on.
    Rollback,
    // A log beside the file, to which each commit appends and syncs once: a run's commits stay quick.
    WriteAhead,
};

// Writes the whole check into a new file at `path`; the connection stays open in `keep` when one is given.
QString writeCheckFile(const QString &path, const CheckResults &check, Journal journal,
                       std::unique_ptr<CheckFileConnection> *keep = nullptr)
{
    removeCheckFile(path);
    auto connection = std::make_unique<CheckFileConnection>(path);
    try {
        connection->open();
        if (journal == Journal::WriteAhead)
            exec(connection->database(), u"PRAGMA journal_mode = WAL"_qs);
        // Each commit reaches the disk before the next piece is sent.
        exec(connection->database(), u"PRAGMA synchronous = FULL"_qs);
        connection->inTransaction([&] { writeWholeCheck(connection->database(), check); });
    } catch (const Failure &failure) {
        connection.reset();
        removeCheckFile(path);
        return u"无法写入检测文件"_qs + quoted(path) + u"："_qs + failure.reason;
    }
    if (keep)
        *keep = std::move(connection);
    return QString();
}

} // namespace

CheckFileRead readCheckFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {std::nullopt, u"找不到检测文件"_qs + quoted(path) + u"。"_qs};
    CheckFileConnection connection(path);
    int format = 0;
    try {
        connection.open();
        format = checkFileFormat(connection.database(), path);
    } catch (const Refused &refused) {
        return {std::nullopt, refused.message};
    } catch (const Failure &failure) {
        return {std::nullopt, damagedMessage(path, failure.reason)};
    }
    try {
        QSqlQuery integrity(connection.database());
        require(integrity.exec(u"PRAGMA quick_check"_qs) && integrity.next(), integrity.lastError().text());
        require(integrity.value(0).toString() == u"ok", integrity.value(0).toString());
        CheckResults check;
        readInfo(connection.database(), format, check);
        readPieces(connection.database(), check);
        readItems(connection.database(), check);
        return {std::move(check), QString()};
    } catch (const Damaged &damaged) {
        return {std::nullopt, damagedMessage(path, damaged.reason)};
    }
}

QString saveCheckFile(const QString &path, const CheckResults &check)
{
    // Written beside the target first, so that a failed save leaves the file that was there intact.
    const QString partial = path + u".part"_qs;
    if (const QString message = writeCheckFile(partial, check, Journal::Rollback); !message.isEmpty())
        return message;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(partial).toStdString(), QFile::encodeName(path).toStdString(), error);
    if (error) {
        removeCheckFile(partial);
        return u"无法保存检测文件"_qs + quoted(path) + u"："_qs + QString::fromLocal8Bit(error.message());
    }
    return QString();
}

void removeCheckFile(const QString &path)
{
    for (const QString &suffix : {QString(), u"-journal"_qs, u"-wal"_qs, u"-shm"_qs})
        QFile::remove(path + suffix);
}

CheckStore::CheckStore() = default;
CheckStore::~CheckStore() = default;

QString CheckStore::create(const QString &path, const CheckResults &check)
{
    close();
    return writeCheckFile(path, check, Journal::WriteAhead, &m_connection);
}

QString CheckStore::commitPiece(const CheckResults &check, int piece)
{
    if (!m_connection || piece < 0 || piece >= check.results.size())
        return u"没有可写入的检测文件"_qs;
    const PieceResult &result = check.results[piece];
    const QSqlDatabase &database = m_connection->database();
    try {
        m_connection->inTransaction([&] {
            QSqlQuery update = prepared(database, u"UPDATE pieces SET state = ?, similarity = ? WHERE number = ?"_qs);
            update.bindValue(0, int(result.state));
            update.bindValue(1, result.similarity);
            update.bindValue(2, piece);
            exec(update);
            QSqlQuery remove = prepared(database, u"DELETE FROM items WHERE piece = ?"_qs);
            remove.bindValue(0, piece);
            exec(remove);
            insertItems(database, piece, result.items);
            updateFigures(database, check);
        });
    } catch (const Failure &failure) {
        return u"无法写入检测文件"_qs + quoted(m_connection->path()) + u"："_qs + failure.reason;
    }
    return QString();
}

bool CheckStore::isOpen() const
{
    return bool(m_connection);
}

QString CheckStore::path() const
{
    return m_connection ? m_connection->path() : QString();
}

void CheckStore::close()
{
    m_connection.reset();
}

} // namespace veltrik
