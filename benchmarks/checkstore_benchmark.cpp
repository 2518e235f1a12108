#include "analysis/checkstore.h"
#include "articles.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace veltrik {
namespace {

constexpr int kPieces = 1000;

// A check of a thesis of 1,000 pieces, every piece compared with ten result items.
CheckResults thousandPieceCheck()
{
    CheckResults check;
    check.articleName = u"论文.docx"_qs;
    check.article = benchmarks::thesisArticle(kPieces * 38);
    for (int piece = 0; piece < kPieces; ++piece) {
        check.pieces << check.article.mid(piece * 38, 38);
        PieceResult result{PieceState::Compared, double(piece % 100), {}};
        for (int k = 0; k < 10; ++k)
            result.items << ResultItem{u"学术写作规范研究与引用 第 "_qs + QString::number(k) + u" 篇"_qs,
                                       u"http://example.test/papers/"_qs + QString::number(piece * 10 + k)};
        check.results << result;
    }
    check.similaritySum = 49500;
    check.resultCount = kPieces + 1;
    check.position = kPieces;
    check.started = QDateTime::currentDateTimeUtc();
    check.lastChange = check.started;
    return check;
}

// One piece's result committed to the check file a run follows: one transaction, synced to the disk.
void BM_CommitOnePiece(benchmark::State &state)
{
    QTemporaryDir folder;
    CheckResults check = thousandPieceCheck();
    CheckStore store;
    if (!store.create(folder.filePath(u"auto.vcheck"_qs), check).isEmpty()) {
        state.SkipWithError("cannot create the check file");
        return;
    }
    int piece = 0;
    for (auto _ : state) {
        check.results[piece].similarity += 1;
        if (!store.commitPiece(check, piece).isEmpty()) {
            state.SkipWithError("commit failed");
            break;
        }
        piece = (piece + 1) % kPieces;
    }
}
BENCHMARK(BM_CommitOnePiece)->Unit(benchmark::kMillisecond);

void BM_ReopenCheck(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"saved.vcheck"_qs);
    if (!saveCheckFile(path, thousandPieceCheck()).isEmpty()) {
        state.SkipWithError("cannot save the check");
        return;
    }
    for (auto _ : state) {
        const CheckFileRead read = readCheckFile(path);
        benchmark::DoNotOptimize(read.check->results.size());
    }
}
BENCHMARK(BM_ReopenCheck)->Unit(benchmark::kMillisecond);

void BM_SaveCheck(benchmark::State &state)
{
    QTemporaryDir folder;
    const CheckResults check = thousandPieceCheck();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveCheckFile(folder.filePath(u"saved.vcheck"_qs), check));
}
BENCHMARK(BM_SaveCheck)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace veltrik
