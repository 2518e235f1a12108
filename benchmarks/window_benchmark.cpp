#include "app/resultswindow.h"
#include "articles.h"
#include "checks.h"
#include "comparator/form2.h"
#include "components/richeditor.h"
#include "support/form1fixture.h"

#include <QPushButton>
#include <benchmark/benchmark.h>

namespace veltrik {
namespace {

// "进行分析" in the main window: cleaning, cutting, counting and filling the list with every row.
void BM_WindowAnalysis(benchmark::State &state)
{
    testing::Form1Fixture fixture;
    fixture.form->RichTextBox1()->setText(benchmarks::thesisArticle(state.range(0)));
    for (auto _ : state)
        fixture.form->Command1()->click();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowAnalysis)->Arg(200000)->Unit(benchmark::kMillisecond);

// "对比并标注" in the comparator: reset, matching and colouring every mark in the article editor.
void BM_ComparatorCompareAndMark(benchmark::State &state)
{
    CompareTotals totals;
    testing::FakeDesktop desktop;
    Form2 form(totals, benchmarks::thesisArticle(state.range(0)), desktop);
    form.RichTextBox2->setText(benchmarks::referenceArticle(state.range(0)));
    for (auto _ : state)
        form.Command1_Click();
    state.counters["marks"] =
        double(matchPieces(form.RichTextBox1->text(), cutReference(form.RichTextBox2->text()).pieces).marks.size());
}
BENCHMARK(BM_ComparatorCompareAndMark)->Arg(200000)->Unit(benchmark::kMillisecond);

// The results window after one piece's result changed: its row, its stretch of the article and the
// figures, with n pieces shown (the similar sites follow a moment later, see the next one). Each round gives
// a piece in the middle another figure and other items.
void BM_ResultsWindowRefreshPiece(benchmark::State &state)
{
    testing::FakeDesktop desktop;
    ResultsWindow window(desktop);
    CheckResults check = benchmarks::comparedCheck(int(state.range(0)));
    window.showCheck(check, RunPhase::Running);
    window.show();
    const int piece = int(check.pieces.size() / 2);
    int round = 0;
    for (auto _ : state) {
        ++round;
        check.results[piece].similarity = round % 100;
        check.results[piece].items.first().title = QStringLiteral("换过的标题 %1").arg(round % 2);
        window.refreshPiece(check, piece, RunPhase::Running);
    }
    state.counters["pieces"] = double(check.pieces.size());
}
BENCHMARK(BM_ResultsWindowRefreshPiece)->Arg(1000)->Unit(benchmark::kMillisecond);

// The whole check shown afresh, as on opening the window: the table, the coloured article, the similar
// sites tallied over every slot, the figures.
void BM_ResultsWindowShowCheck(benchmark::State &state)
{
    testing::FakeDesktop desktop;
    ResultsWindow window(desktop);
    const CheckResults check = benchmarks::comparedCheck(int(state.range(0)));
    window.show();
    for (auto _ : state)
        window.showCheck(check, RunPhase::Running);
    state.counters["pieces"] = double(check.pieces.size());
}
BENCHMARK(BM_ResultsWindowShowCheck)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace veltrik
