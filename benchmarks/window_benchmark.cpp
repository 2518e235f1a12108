#include "articles.h"
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
    state.counters["marks"] = double(matchPieces(form.RichTextBox1->text(),
                                                 cutReference(form.RichTextBox2->text()).pieces).marks.size());
}
BENCHMARK(BM_ComparatorCompareAndMark)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace veltrik
