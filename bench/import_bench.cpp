// Importing a bill of materials: reading the CSV, grouping the list of elements,
// wrapping with the printed font's metrics and filling the list in the model.
// Goal: a 10,000-element BOM in under a second.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "import/bom.hpp"
#include "lists/lists.hpp"
#include "ormelin/model.hpp"

namespace {

/// An ungrouped KiCad-style BOM of n elements over ten letter codes, with runs,
/// gaps, a few not-fitted elements and some long names.
std::string MakeBom(int n) {
    const char* codes[] = {"C", "D", "DA", "DD", "HL", "L", "R", "VD", "VT", "X"};
    std::string csv = "Reference,Value,MPN,Manufacturer,DNP\n";
    for (int i = 0; i < n; ++i) {
        const std::string code = codes[i % 10];
        const int number = i / 10 + 1 + (i / 70);   // a gap every seventh number
        csv += code + std::to_string(number) + "," + std::to_string((i / 40) % 17) + " кОм±5%," +
               (i % 13 == 0 ? "RC0603FR-07 с очень длинным наименованием типа для переноса строки" : "RC0603") +
               ",ОЖО.467.093 ТУ," + (i % 97 == 0 ? "DNP" : "") + "\n";
    }
    return csv;
}

void BM_ImportElementList(benchmark::State& state) {
    const std::string bom = MakeBom(static_cast<int>(state.range(0)));
    auto file = ormelin::import::FormFontFile();
    auto font = file ? ormelin::import::FontMeasure(*file) : std::nullopt;
    const ormelin::import::Measure measure = font ? *font : ormelin::import::CoarseMeasure();
    for (auto _ : state) {
        state.PauseTiming();
        ormelin::model::ModelApplication app(std::make_shared<ormelin::model::ScriptedUi>());
        auto book = app.NewWorkbook();
        auto ws = book->Sheet(1);
        ormelin::lists::DocumentBlank(app, ws, ormelin::ksPE_OT_1, {});
        state.ResumeTiming();
        auto elements = ormelin::import::ReadElements(ormelin::import::ReadCsv(bom, "bench.csv"),
                                                      *ormelin::import::BuiltinProfile("kicad"));
        auto rows = ormelin::import::ElementListRows(std::move(elements), {});
        auto result = ormelin::import::FillList(ws, ormelin::ksPE_OT_1, rows, false, measure);
        benchmark::DoNotOptimize(result);
        state.counters["rows"] = result.rowsWritten;
    }
}

/// Reading a BOM file of n lines into its elements: the file is read in pieces
/// and its rows are not kept, so the peak memory follows the elements.
void BM_ReadLargeBomFile(benchmark::State& state) {
    const std::string path = "/tmp/ormelin-import-bench-" + std::to_string(getpid()) + ".csv";
    std::ofstream(path, std::ios::binary) << MakeBom(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto elements = ormelin::import::ReadBomElements(path, ormelin::import::Encoding::Detect, 0, "",
                                                         *ormelin::import::BuiltinProfile("kicad"));
        benchmark::DoNotOptimize(elements);
        state.counters["elements"] = static_cast<double>(elements.size());
    }
    std::remove(path.c_str());
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

}  // namespace

BENCHMARK(BM_ImportElementList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLargeBomFile)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
