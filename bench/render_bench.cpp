// Printing formed documents to PDF with ormelin's renderer: a formed specification
// of many rows in memory, the listing of the texts it would cut, the demo's six
// documents into one PDF, and side by side on the same formed workbook file the
// command `ormelin pdf` against LibreOffice converting the workbook to PDF.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_common.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "render/render.hpp"

namespace {

using namespace ormelin;
namespace fs = std::filesystem;

const char* const kSheet = "Спецификация";

fs::path Scratch() {
    const fs::path dir = fs::temp_directory_path() / "ormelin-render-bench";
    fs::create_directories(dir);
    return dir;
}

/// The largest resident set of this process so far, in megabytes.
double PeakMegabytes(int who = RUSAGE_SELF) {
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

/// A formed specification of n list rows, printed setup and all.
struct Formed {
    std::shared_ptr<model::ModelApplication> app = std::make_shared<model::ModelApplication>(
        std::make_shared<model::ScriptedUi>());
    std::shared_ptr<Kalvora> k = Kalvora::Create(*app);
    std::shared_ptr<host::Worksheet> ws;
    explicit Formed(int n) {
        ws = bench::SpecificationList(*k, *app, n);
        ws->Name(kSheet);
        k->Forming(ws, true, true);
    }
};

void BM_RenderSpecification(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Formed f(n);
    const std::string out = (Scratch() / "spec.pdf").string();
    int pages = 0;
    for (auto _ : state) {
        const auto printed = render::PrintPdf({{f.ws, ksSPA_OF}}, out, {}, false);
        pages = printed.front().pages;
    }
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_RenderSpecification)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ClippedTexts(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Formed f(n);
    std::size_t cut = 0;
    for (auto _ : state) cut = render::ClippedTexts(*f.ws, ksSPA_OF).size();
    state.counters["cut"] = static_cast<double>(cut);
}
BENCHMARK(BM_ClippedTexts)->Arg(20000)->Unit(benchmark::kMillisecond);

/// The demo's six formed documents into one PDF, as `ormelin pdf BOOK OUT --all` does.
void BM_RenderDemo(benchmark::State& state) {
    const fs::path dir = Scratch() / "demo";
    fs::remove_all(dir);
    if (std::system((std::string(ORMELIN_CLI) + " demo " + bench::Quoted(dir.string()) + " >/dev/null 2>&1").c_str()) !=
        0) {
        state.SkipWithError("ormelin demo failed");
        return;
    }
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    auto book = xlsx::LoadWorkbook(app, (dir / "ormelin-demo.xlsx").string(), nullptr);
    auto k = Kalvora::Create(app);
    std::vector<render::Document> docs;
    for (int i = 1; i <= book->Count(); ++i) {
        std::shared_ptr<host::Worksheet> ws = book->Sheet(i);
        const std::int32_t s = k->StateOfDocument(ws);
        if (IsFormedState(s)) docs.push_back({ws, s});
    }
    const std::string out = (Scratch() / "demo.pdf").string();
    for (auto _ : state) render::PrintPdf(docs, out, {"demo", "", "ormelin"}, true);
    state.counters["documents"] = static_cast<double>(docs.size());
}
BENCHMARK(BM_RenderDemo)->Unit(benchmark::kMillisecond);

/// The formed workbook file both programs print.
std::string FormedFile(int n) {
    const std::string path = (Scratch() / ("formed-" + std::to_string(n) + ".xlsx")).string();
    if (!fs::exists(path)) {
        Formed f(n);
        xlsx::SaveWorkbook(dynamic_cast<model::ModelWorkbook&>(f.ws->Parent()), path);
    }
    return path;
}

/// `ormelin pdf BOOK SHEET OUT.pdf` as a command: load, lay out, draw, write.
void BM_PdfCommand(benchmark::State& state) {
    const std::string book = FormedFile(static_cast<int>(state.range(0)));
    bench::RunCommand(state, std::string(ORMELIN_CLI) + " pdf " + bench::Quoted(book) + " " + bench::Quoted(kSheet) +
                                 " " + bench::Quoted((Scratch() / "command.pdf").string()) + " 2>/dev/null");
    state.counters["child_peak_MB"] = PeakMegabytes(RUSAGE_CHILDREN);
}
BENCHMARK(BM_PdfCommand)->Arg(20000)->Unit(benchmark::kMillisecond);

/// LibreOffice converting the same workbook to PDF (the first start, which makes
/// its profile, not timed).
void BM_LibreOfficePdf(benchmark::State& state) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
        state.SkipWithError("soffice is not installed");
        return;
    }
    const std::string book = FormedFile(static_cast<int>(state.range(0)));
    const fs::path dir = Scratch() / "lo";
    const std::string command = "soffice --headless -env:UserInstallation=file://" + (dir / "profile").string() +
                                " --convert-to pdf --outdir " + bench::Quoted(dir.string()) + " " + bench::Quoted(book) +
                                " >/dev/null 2>&1";
    (void)std::system(("soffice --headless -env:UserInstallation=file://" + (dir / "profile").string() +
                       " --terminate_after_init >/dev/null 2>&1")
                          .c_str());
    bench::RunCommand(state, command);
    state.counters["child_peak_MB"] = PeakMegabytes(RUSAGE_CHILDREN);
}
BENCHMARK(BM_LibreOfficePdf)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
