#include "analysis/webcomparison.h"
#include "articles.h"
#include "components/richeditor.h"
#include "support/form1fixture.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace veltrik {
namespace {

// "进行分析" in the main window: cleaning, cutting, counting and filling the list with every row.
void BM_WindowAnalysis(benchmark::State &state)
{
    testing::Form1Fixture fixture;
    fixture.form->RichTextBox1->setText(benchmarks::thesisArticle(state.range(0)));
    for (auto _ : state)
        fixture.form->comparison().Command1_Click();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowAnalysis)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace veltrik

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
