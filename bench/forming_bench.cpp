// Forming a specification list of many data rows in memory, as A4 sheets.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"

namespace {

using namespace ormelin;

// A specification list of n data rows: designation, name and quantity filled,
// every seventh row empty (the gaps between sections of a real list).
std::shared_ptr<host::Worksheet> SpecificationList(Kalvora& k, model::ModelApplication& app, int n) {
    auto book = app.NewWorkbook();
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
    k.SPA_Blank(ws);
    for (int i = 1; i <= n; ++i) {
        if (i % 7 == 0) continue;
        const int r = i + 1;
        ws->SetValue(host::Area{r, 1, r, 1}, std::string("А4"));
        ws->SetValue(host::Area{r, 4, r, 4}, "АБВГ.301234." + std::to_string(100 + i % 900));
        ws->SetValue(host::Area{r, 5, r, 5}, "Резистор С2-33Н-0,25-" + std::to_string(i) + " кОм");
        ws->SetValue(host::Area{r, 6, r, 6}, static_cast<double>(i % 5 + 1));
    }
    return ws;
}

void BM_FormSpecification(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto ui = std::make_shared<model::ScriptedUi>();
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto app = std::make_unique<model::ModelApplication>(ui);
            auto k = Kalvora::Create(*app);
            auto ws = SpecificationList(*k, *app, n);
            state.ResumeTiming();
            k->Forming(ws, true, true);
            state.PauseTiming();
            benchmark::DoNotOptimize(ws->UsedRange());
        }  // the model is taken down outside the timing
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}

BENCHMARK(BM_FormSpecification)->Arg(2000)->Arg(10000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
