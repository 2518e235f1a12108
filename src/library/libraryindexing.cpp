#include "libraryindexing.h"

#include "documents/loader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <algorithm>
#include <deque>
#include <future>
#include <optional>

namespace veltrik {
namespace {

// Documents written in one transaction: few enough to keep the batch's memory small, many enough that
// the fingerprint tree is visited in order.
constexpr qsizetype kDocumentsPerBatch = 256;
constexpr qsizetype kFingerprintsPerBatch = 4 << 20;

struct FoundFile {
    QString name;
    QString path;
};

// What the library held when adding began, for the threads that read the files to look at.
struct KnownContent {
    QHash<QString, QByteArray> hashOfName;
    QHash<QByteArray, QString> nameOfHash;
};

struct ReadFile {
    AddedFile report;
    LibraryEntry entry;
    std::optional<PreparedDocument> document;
};

QList<FoundFile> filesIn(const QString &folder)
{
    QList<FoundFile> found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir root(QFileInfo(folder).absoluteFilePath());
    while (it.hasNext()) {
        const QString path = it.next();
        found.append({root.relativeFilePath(QFileInfo(path).absoluteFilePath()), path});
    }
    std::sort(found.begin(), found.end(), [](const FoundFile &a, const FoundFile &b) { return a.name < b.name; });
    return found;
}

QList<FoundFile> filesOf(const QStringList &filesAndFolders)
{
    QList<FoundFile> found;
    for (const QString &path : filesAndFolders) {
        if (QFileInfo(path).isDir())
            found += filesIn(path);
        else
            found.append({QFileInfo(path).fileName(), path});
    }
    return found;
}

KnownContent knownContent(const QList<LibraryEntry> &entries)
{
    KnownContent known;
    for (const LibraryEntry &entry : entries) {
        known.hashOfName.insert(entry.name, entry.contentHash);
        known.nameOfHash.insert(entry.contentHash, entry.name);
    }
    return known;
}

ReadFile unreadable(ReadFile read, const QString &reason)
{
    read.report.outcome = AddedFile::Outcome::Unreadable;
    read.report.detail = reason;
    return read;
}

// Runs on a thread of its own: reads, hashes, and for new content opens and fingerprints the file.
ReadFile readFile(const FoundFile &file, const KnownContent &known)
{
    ReadFile read;
    read.report = {file.name, file.path, AddedFile::Outcome::Added, QString()};
    const QFileInfo info(file.path);
    const DocumentBytes readBytes = readDocumentBytes(file.path);
    if (readBytes.failure)
        return unreadable(read, readBytes.failure->message);
    const QByteArray &bytes = readBytes.bytes;
    read.entry = {0,
                  file.name,
                  info.absoluteFilePath(),
                  bytes.size(),
                  info.lastModified().toUTC(),
                  QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
                  0};
    if (known.hashOfName.value(file.name) == read.entry.contentHash)
        return read.report.outcome = AddedFile::Outcome::Unchanged, read;
    if (known.nameOfHash.contains(read.entry.contentHash))
        return read.report.outcome = AddedFile::Outcome::Duplicate, read;
    const DocumentResult document = loadDocumentBytes(bytes, opensThroughWord(file.path));
    if (!document)
        return unreadable(read, document.message);
    read.document = prepareDocument(read.entry, document.content.text);
    return read;
}

// Takes the files in order from the reading threads and writes them in batches.
class Writer {
public:
    Writer(DocumentLibrary &library, KnownContent known, const AddCallbacks &callbacks)
        : m_library(library)
        , m_known(std::move(known))
        , m_callbacks(callbacks)
    {
    }

    bool take(ReadFile read)
    {
        AddedFile &report = read.report;
        if (report.outcome == AddedFile::Outcome::Unchanged && !m_library.touch(read.entry))
            return false;
        if (report.outcome == AddedFile::Outcome::Duplicate || (read.document && isStoredContent(read.entry))) {
            report.outcome = AddedFile::Outcome::Duplicate;
            report.detail = m_known.nameOfHash.value(read.entry.contentHash);
            read.document.reset();
        }
        if (read.document) {
            if (m_known.hashOfName.contains(report.name))
                report.outcome = AddedFile::Outcome::Updated;
            m_known.hashOfName.insert(report.name, read.entry.contentHash);
            m_known.nameOfHash.insert(read.entry.contentHash, report.name);
            m_fingerprints += read.document->fingerprints.size();
            m_batch.append(std::move(*read.document));
        }
        m_reports.append(report);
        if (m_batch.size() >= kDocumentsPerBatch || m_fingerprints >= kFingerprintsPerBatch)
            return flush();
        return true;
    }

    // Reports come out once their documents are written.
    bool flush()
    {
        if (!m_batch.isEmpty() && !m_library.store(m_batch))
            return false;
        m_batch.clear();
        m_fingerprints = 0;
        for (const AddedFile &report : std::as_const(m_reports))
            if (m_callbacks.reported)
                m_callbacks.reported(report);
        m_reports.clear();
        return true;
    }

private:
    // The same content read twice in this run, or stored under another name since the threads looked.
    bool isStoredContent(const LibraryEntry &entry) const
    {
        const auto name = m_known.nameOfHash.constFind(entry.contentHash);
        return name != m_known.nameOfHash.cend() && *name != entry.name;
    }

    DocumentLibrary &m_library;
    KnownContent m_known;
    const AddCallbacks &m_callbacks;
    QList<PreparedDocument> m_batch;
    QList<AddedFile> m_reports;
    qsizetype m_fingerprints = 0;
};

} // namespace

bool addToLibrary(DocumentLibrary &library, const QStringList &filesAndFolders, const AddCallbacks &callbacks)
{
    const QList<FoundFile> files = filesOf(filesAndFolders);
    const auto entries = library.entries();
    if (!entries)
        return false;
    const KnownContent known = knownContent(*entries);
    Writer writer(library, known, callbacks);
    const qsizetype inFlight = 2 * std::max(1, QThread::idealThreadCount());
    const auto stopped = [&] { return callbacks.cancelled && callbacks.cancelled->load(); };
    if (callbacks.progress && !files.isEmpty())
        callbacks.progress(0, files.size());
    std::deque<std::future<ReadFile>> reading;
    qsizetype next = 0;
    for (qsizetype done = 0;; ++done) {
        for (; next < files.size() && !stopped() && qsizetype(reading.size()) < inFlight; ++next)
            reading.push_back(std::async(std::launch::async, readFile, files[next], std::cref(known)));
        if (reading.empty())
            break;
        ReadFile read = reading.front().get();
        reading.pop_front();
        if (!writer.take(std::move(read))) {
            for (auto &pending : reading)
                pending.wait();
            return false;
        }
        if (callbacks.progress)
            callbacks.progress(done + 1, files.size());
    }
    return writer.flush();
}

} // namespace veltrik
