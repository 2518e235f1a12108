#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace veltrik {

// Reads streams out of a Compound File Binary (the container of Word 97-2003 documents): header, sector
// allocation table with its DIFAT, directory, and the mini stream for small streams. Every sector chain is
// followed with a bound on its length and a check of every sector number, so a broken chain gives an
// error, never a loop or a read outside the file.
class CompoundFile {
public:
    // Nothing when the bytes are not a compound file or its tables are broken; `error` says why.
    static std::optional<CompoundFile> open(QByteArrayView bytes, QString *error);

    // The stream with that name anywhere in the directory; nothing when absent or broken.
    std::optional<QByteArray> stream(const QString &name, QString *error) const;

    static bool looksLikeCompoundFile(QByteArrayView bytes);

private:
    struct Entry {
        QString name;
        int type = 0;
        quint32 start = 0;
        quint64 size = 0;
    };

    explicit CompoundFile(QByteArrayView bytes) : m_bytes(bytes) {}

    bool readHeader(QString *error);
    bool readFat(QString *error);
    bool readDirectory(QString *error);
    std::optional<QByteArray> chain(quint32 start, quint64 size, QString *error) const;
    std::optional<QByteArray> miniChain(quint32 start, quint64 size, QString *error) const;
    std::optional<QByteArrayView> sector(quint32 index) const;

    QByteArrayView m_bytes;
    quint32 m_sectorSize = 512;
    quint32 m_miniSectorSize = 64;
    quint32 m_miniCutoff = 4096;
    quint32 m_directoryStart = 0;
    quint32 m_miniFatStart = 0;
    quint32 m_miniFatSectors = 0;
    QList<quint32> m_fat;
    QList<quint32> m_miniFat;
    QList<Entry> m_entries;
    QByteArray m_miniStream;
};

} // namespace veltrik
