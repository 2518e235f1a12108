#include "library/documentlibrary.h"
#include "library/librarycheck.h"
#include "library/libraryindexing.h"
#include "support/localpostgres.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

// The document library at the size of a department's: the argument is the number of documents of 100,000
// characters (1,000 is the full size; 100 runs in a minute). The article has 200,000 characters.
//   build/benchmarks/library_benchmark --benchmark_filter=/1000
namespace veltrik {
namespace {

constexpr qsizetype kDocumentLength = 100'000;
constexpr qsizetype kArticleLength = 200'000;

// Chinese text as theses are written: words of one to four characters drawn from a vocabulary where a
// few words are common and most are rare, sentences of a few words ending in full-width punctuation,
// paragraphs of a few sentences.
class ThesisWriter {
public:
    explicit ThesisWriter(quint32 seed)
        : m_random(seed)
    {
        for (int i = 0; i < 20000; ++i) {
            QString word;
            for (int length = 1 + m_random.bounded(4); length > 0; --length)
                word += QChar(char16_t(0x4e00 + m_random.bounded(6000)));
            m_vocabulary.append(word);
        }
        for (int i = 0; i < 50000; ++i)
            m_quotations.append(freshSentence());
    }

    QString freshSentence()
    {
        QString sentence;
        for (int words = 4 + m_random.bounded(12); words > 0; --words) {
            // Zipf-like: the index is the square of a uniform number.
            const double uniform = m_random.generateDouble();
            sentence += m_vocabulary[qsizetype(uniform * uniform * double(m_vocabulary.size()))];
        }
        static const QString ends[] = {u"，"_qs, u"，"_qs, u"，"_qs, u"。"_qs, u"。"_qs, u"；"_qs, u"！"_qs, u"？"_qs};
        return sentence + ends[m_random.bounded(8)];
    }

    // Most sentences are the writer's own, one in twenty a well-known quotation that many documents share.
    QString sentence()
    {
        return m_random.bounded(20) == 0 ? m_quotations[m_random.bounded(m_quotations.size())] : freshSentence();
    }

    QString paragraphs(qsizetype length, const QStringList &cited)
    {
        QString text;
        text.reserve(length + 200);
        while (text.size() < length) {
            for (int sentences = 3 + m_random.bounded(6); sentences > 0; --sentences)
                text += sentence();
            if (!cited.isEmpty() && m_random.bounded(10) == 0)
                text += passageOf(cited[m_random.bounded(cited.size())]);
            text += u"\r\n"_qs;
        }
        text.truncate(length);
        return text;
    }

    // A few sentences of an earlier document, as a citation copies them.
    QString passageOf(const QString &document)
    {
        const qsizetype from = document.indexOf(u'。', m_random.bounded(document.size() - 2000)) + 1;
        const qsizetype to = document.indexOf(u'。', from + 100 + m_random.bounded(500)) + 1;
        return document.mid(from, to - from);
    }

private:
    QRandomGenerator m_random;
    QStringList m_vocabulary;
    QStringList m_quotations;
};

struct GeneratedLibrary {
    QTemporaryDir folder;
    QTemporaryDir libraryFolder;
    qint64 textBytes = 0;
    QString article;
};

// Documents that cite earlier ones, written to files; an article that cites twenty of them.
GeneratedLibrary &generated(int documents)
{
    static std::map<int, std::unique_ptr<GeneratedLibrary>> made;
    std::unique_ptr<GeneratedLibrary> &library = made[documents];
    if (library)
        return *library;
    library = std::make_unique<GeneratedLibrary>();
    ThesisWriter writer(2026);
    QStringList recent;
    QStringList cited;
    for (int i = 0; i < documents; ++i) {
        const QString text = writer.paragraphs(kDocumentLength, recent);
        const QByteArray utf8 = text.toUtf8();
        library->textBytes += utf8.size();
        QFile file(library->folder.filePath(u"doc%1.txt"_qs.arg(i, 4, 10, QChar(u'0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(utf8) != utf8.size())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        recent.append(text);
        if (recent.size() > 5)
            recent.removeFirst();
        if (i % std::max(1, documents / 20) == 0)
            cited.append(text);
    }
    library->article = writer.paragraphs(kArticleLength, cited);
    return *library;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Of every thread of the process: on a busy machine, the time the work would take on free cores.
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::unique_ptr<DocumentLibrary> openLibrary(const QString &location)
{
    QString message;
    auto library = DocumentLibrary::open(location, &message);
    if (!library)
        std::fprintf(stderr, "%s\n", qPrintable(message));
    return library;
}

bool index(DocumentLibrary &library, const GeneratedLibrary &documents)
{
    AddCallbacks callbacks;
    callbacks.progress = [](qsizetype done, qsizetype total) {
        std::fprintf(stderr, "\rindexing %lld/%lld", qlonglong(done), qlonglong(total));
        if (done == total)
            std::fprintf(stderr, "\n");
    };
    return addToLibrary(library, {documents.folder.path()}, callbacks);
}

void BM_IndexLibrarySqlite(benchmark::State &state)
{
    const GeneratedLibrary &documents = generated(int(state.range(0)));
    const QString path = documents.libraryFolder.filePath(u"library.db"_qs);
    double cpuSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        auto library = openLibrary(path);
        const double cpuBefore = processCpuSeconds();
        state.ResumeTiming();
        if (!library || !index(*library, documents))
            state.SkipWithError("indexing failed");
        cpuSeconds += processCpuSeconds() - cpuBefore;
    }
    state.counters["all_threads_cpu_s"] = cpuSeconds / double(state.iterations());
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
    state.counters["text_MB"] = double(documents.textBytes) / 1e6;
    state.counters["file_per_text"] = double(QFileInfo(path).size()) / double(documents.textBytes);
}

// Every match must give the marks of comparing the article with that document alone.
bool sameAsOneByOne(DocumentLibrary &library, const QString &article, const LibraryCheck &check)
{
    for (const LibraryMatch &match : check.matches) {
        const MatchResult alone = matchReference(article, *library.text(match.entry.id));
        const MatchResult &run = match.comparison.run;
        if (alone.marks != run.marks || alone.chars != run.chars || alone.sentences != run.sentences)
            return false;
    }
    return !check.matches.isEmpty();
}

void measureCheck(benchmark::State &state, DocumentLibrary &library, const QString &article)
{
    std::optional<LibraryCheck> check;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        check = checkArticle(library, article, 10);
        if (!check)
            state.SkipWithError(qPrintable(library.error()));
    }
    if (!check)
        return;
    state.counters["all_threads_cpu_s"] = (processCpuSeconds() - cpuBefore) / double(state.iterations());
    state.counters["matches"] = double(check->matches.size());
    state.counters["marked_chars"] = double(check->combined.chars);
    state.counters["same_as_one_by_one"] = sameAsOneByOne(library, article, *check);
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_CheckArticleSqlite(benchmark::State &state)
{
    const GeneratedLibrary &documents = generated(int(state.range(0)));
    auto library = openLibrary(documents.libraryFolder.filePath(u"library.db"_qs));
    if (library && library->entries()->size() != state.range(0) && !index(*library, documents))
        library.reset();
    if (!library) {
        state.SkipWithError("no library");
        return;
    }
    measureCheck(state, *library, documents.article);
}

LocalPostgres &server()
{
    static LocalPostgres started;
    return started;
}

// The room the two tables take on the server, with their indexes and packed texts, in MB.
std::pair<double, double> postgresTableSizes(int documents)
{
    const QString connection = u"benchmark-sizes"_qs;
    std::pair<double, double> sizes;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QPSQL"_qs, connection);
        database.setHostName(u"127.0.0.1"_qs);
        database.setPort(server().port());
        database.setUserName(u"postgres"_qs);
        database.setDatabaseName(u"benchmark_%1"_qs.arg(documents));
        QSqlQuery query(database);
        if (database.open() &&
            query.exec(u"SELECT pg_total_relation_size('fingerprints'), "
                       u"pg_total_relation_size('documents')"_qs) &&
            query.next())
            sizes = {query.value(0).toDouble() / 1e6, query.value(1).toDouble() / 1e6};
    }
    QSqlDatabase::removeDatabase(connection);
    return sizes;
}

// The library indexed once per size into a server of the benchmark's own; the time it took.
std::pair<DocumentLibrary *, double> postgresLibrary(int documents)
{
    static std::map<int, std::pair<std::unique_ptr<DocumentLibrary>, double>> indexed;
    auto &[library, seconds] = indexed[documents];
    if (!library) {
        const QString location = server().createDatabase(u"benchmark_%1"_qs.arg(documents));
        library = location.isEmpty() ? nullptr : openLibrary(location);
        QElapsedTimer indexing;
        indexing.start();
        if (!library || !index(*library, generated(documents))) {
            std::fprintf(stderr, "%s\n", qPrintable(server().error()));
            library.reset();
        }
        seconds = double(indexing.elapsed()) / 1000.0;
    }
    return {library.get(), seconds};
}

void BM_CheckArticlePostgres(benchmark::State &state)
{
    const auto [library, indexingSeconds] = postgresLibrary(int(state.range(0)));
    if (!library) {
        state.SkipWithError("no library");
        return;
    }
    state.counters["indexing_s"] = indexingSeconds;
    const auto sizes = postgresTableSizes(int(state.range(0)));
    state.counters["fingerprints_MB"] = sizes.first;
    state.counters["documents_MB"] = sizes.second;
    measureCheck(state, *library, generated(int(state.range(0))).article);
}

BENCHMARK(BM_IndexLibrarySqlite)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CheckArticleSqlite)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckArticlePostgres)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace veltrik
