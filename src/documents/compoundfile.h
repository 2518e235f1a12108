#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace veltrik {

// Reads streams out of a Compound File Binary (the container of Word 97-2003 documents): header, sector
// allocation table with its DIFAT, directory, and the mini stream for small streams. Every chain is
// bounded by the bytes it may hold (a stream's declared size, never more than the file) and visits each
// sector at most once, so a loop is reported as a loop and a broken chain as broken, never read outside
// the file. A last sector cut short (as many writers save it) reads as if padded with zeros.
// Errors are short reasons ("扇区链循环") for the caller to put into its own message.
class CompoundFile {
public:
    // Nothing when the bytes are not a compound file or its tables are broken; `error` says why.
    static std::optional<CompoundFile> open(QByteArrayView bytes, QString *error);

    // The stream of that name directly below the root storage (names compare case-insensitively, as the
    // format defines); streams of embedded objects deeper in the tree are never taken. Nothing when absent
    // or broken; `error` says which.
    std::optional<QByteArray> stream(const QString &name, QString *error) const;
    bool hasStream(const QString &name) const;

    static bool looksLikeCompoundFile(QByteArrayView bytes);

private:
    struct Entry {
        QString name;
        int type = 0;
        quint32 left = 0;
        quint32 right = 0;
        quint32 child = 0;
        quint32 start = 0;
        quint64 size = 0;
    };

    explicit CompoundFile(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    bool readHeader(QString *error);
    bool readFat(QString *error);
    bool readDirectory(QString *error);
    bool readMiniStream(QString *error);
    void findRootStreams();
    std::optional<QByteArray> chain(quint32 start, quint64 size, QString *error) const;
    std::optional<QByteArray> miniChain(quint32 start, quint64 size, QString *error) const;
    bool appendSector(quint32 index, QByteArray &out) const;
    const Entry *rootStream(const QString &name) const;

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
    QList<qsizetype> m_rootStreams; // indices into m_entries
    QByteArray m_miniStream;
};

} // namespace veltrik
