#pragma once

#include "checkresults.h"

#include <QString>

#include <memory>
#include <optional>

namespace veltrik {

class CheckFileConnection;

// A check kept in a file: an SQLite database with the article, its pieces, every piece's result and the
// overall figures. The file carries a mark of its own and a format version; a file without the mark, of
// another version or damaged is refused with a message and never read in part.

// What reading a check file gave: the check, or the message that tells the user why it cannot be opened.
struct CheckFileRead {
    std::optional<CheckResults> check;
    QString message;
};

CheckFileRead readCheckFile(const QString &path);

// Writes the whole check into `path` at once, replacing the file only when all of it was written. Returns
// the message for the user on failure, an empty text on success.
QString saveCheckFile(const QString &path, const CheckResults &check);

// Removes a check file with the log and index SQLite may keep beside it.
void removeCheckFile(const QString &path);

// A check file that follows a run: created with the whole check, then each piece's result committed as it
// arrives, in a transaction of its own, so that a crash loses no result committed before it.
class CheckStore {
public:
    CheckStore();
    ~CheckStore();
    CheckStore(const CheckStore &) = delete;
    CheckStore &operator=(const CheckStore &) = delete;

    // Writes `check` whole into a new file at `path` (what was there is replaced) and keeps the file open
    // for the commits that follow. Returns the message on failure, an empty text on success.
    QString create(const QString &path, const CheckResults &check);
    // Commits the result of piece `piece` (0-based) and the overall figures and position of `check`.
    QString commitPiece(const CheckResults &check, int piece);
    bool isOpen() const;
    QString path() const;
    void close();

private:
    std::unique_ptr<CheckFileConnection> m_connection;
};

} // namespace veltrik
