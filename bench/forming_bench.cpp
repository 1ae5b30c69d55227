// Forming a specification list of many data rows in memory, as A4 sheets.
//
// End to end, the command `ormelin form BOOK SHEET --print` on a file (load, form,
// save) is timed against LibreOffice's bare headless load-and-save of the same
// input, and against the floor for the same output: libzip + pugixml reading the
// input's parts and a bare streaming write of the formed sheet's cells, styles,
// row heights and merged areas at the same deflate level, with no model in between.
#include <benchmark/benchmark.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "ormelin/attr_doc.hpp"
#include "ormelin/documents.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "bench_common.hpp"

namespace {

using namespace ormelin;

using bench::SpecificationList;

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

// A specification of n rows in groups: an empty row, a heading, five entries of
// which every other one takes a second row. Forming with entries kept whole
// (argument 1) against strictly in list order (0), with print setup.
std::shared_ptr<host::Worksheet> GroupedSpecificationList(Kalvora& k, model::ModelApplication& app, int n) {
    auto book = app.NewWorkbook();
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
    k.SPA_Blank(ws);
    for (int i = 1; i <= n; ++i) {
        const int r = i + 1, at = i % 9;
        if (at == 0) continue;
        if (at == 1) {
            ws->SetValue(host::Area{r, 5, r, 5}, "Группа " + std::to_string(i));
        } else if (at % 2 == 1) {
            ws->SetValue(host::Area{r, 5, r, 5}, std::string("0,25 Вт"));
        } else {
            ws->SetValue(host::Area{r, 3, r, 3}, static_cast<double>(i));
            ws->SetValue(host::Area{r, 4, r, 4}, "АБВГ.301234." + std::to_string(100 + i % 900));
            ws->SetValue(host::Area{r, 5, r, 5}, "Резистор С2-33Н-" + std::to_string(i) + " кОм");
            ws->SetValue(host::Area{r, 6, r, 6}, static_cast<double>(i % 5 + 1));
        }
    }
    return ws;
}

void BM_FormKeptTogether(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const bool keep = state.range(1) != 0;
    auto ui = std::make_shared<model::ScriptedUi>();
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto app = std::make_unique<model::ModelApplication>(ui);
            auto k = Kalvora::Create(*app);
            Kalvora::WorksheetRef ws = GroupedSpecificationList(*k, *app, n);
            state.ResumeTiming();
            k->Typed().Form(ws, {.forPrint = true, .pageRevi = true, .keepTogether = keep});
            state.PauseTiming();
            benchmark::DoNotOptimize(ws->UsedRange());
        }
        state.ResumeTiming();
    }
}

BENCHMARK(BM_FormKeptTogether)->Args({20000, 0})->Args({20000, 1})->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------------ group specification

// A group specification list of n data rows in three executions: designation,
// name and the quantity of one execution filled, every seventh row empty.
std::shared_ptr<host::Worksheet> GroupSpecificationList(Kalvora& k, model::ModelApplication& app, int n) {
    auto book = app.NewWorkbook();
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
    k.SPB_Blank(ws);
    ws->SetValue(host::Area{2, 6, 2, 6}, std::string("-"));
    ws->SetValue(host::Area{2, 7, 2, 7}, std::string("01"));
    ws->SetValue(host::Area{2, 8, 2, 8}, std::string("02"));
    for (int i = 1; i <= n; ++i) {
        if (i % 7 == 0) continue;
        const int r = i + 4;
        ws->SetValue(host::Area{r, 1, r, 1}, std::string("А4"));
        ws->SetValue(host::Area{r, 4, r, 4}, "АБВГ.301234." + std::to_string(100 + i % 900));
        ws->SetValue(host::Area{r, 5, r, 5}, "Кронштейн " + std::to_string(i));
        ws->SetValue(host::Area{r, 6 + i % 3, r, 6 + i % 3}, static_cast<double>(i % 5 + 1));
    }
    return ws;
}

void BM_FormGroupSpecification(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto ui = std::make_shared<model::ScriptedUi>();
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto app = std::make_unique<model::ModelApplication>(ui);
            auto k = Kalvora::Create(*app);
            auto ws = GroupSpecificationList(*k, *app, n);
            state.ResumeTiming();
            k->Forming(ws, true, true);
            state.PauseTiming();
            benchmark::DoNotOptimize(ws->UsedRange());
        }
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}

BENCHMARK(BM_FormGroupSpecification)->Arg(2000)->Arg(10000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------------ A3

// A list of purchased products of n data rows: name, supplier, where used and
// quantities filled, every seventh row empty.
std::shared_ptr<host::Worksheet> PurchasedProductsList(Kalvora& k, model::ModelApplication& app, int n) {
    auto book = app.NewWorkbook();
    std::shared_ptr<host::Worksheet> ws = book->Sheet(1);
    k.VPA_Blank(ws);
    for (int i = 1; i <= n; ++i) {
        if (i % 7 == 0) continue;
        const int r = i + 2;
        ws->SetValue(host::Area{r, 2, r, 2}, "Резистор С2-33Н-0,25-" + std::to_string(i) + " кОм");
        ws->SetValue(host::Area{r, 4, r, 4}, std::string("ОЖ0.467.093 ТУ"));
        ws->SetValue(host::Area{r, 5, r, 5}, std::string("АО \"Резистор\""));
        ws->SetValue(host::Area{r, 6, r, 6}, "АБВГ.687281." + std::to_string(100 + i % 900));
        ws->SetValue(host::Area{r, 7, r, 7}, static_cast<double>(i % 5 + 1));
        ws->SetValue(host::Area{r, 10, r, 10}, static_cast<double>(i % 5 + 1));
    }
    return ws;
}

void BM_FormPurchasedProducts(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto ui = std::make_shared<model::ScriptedUi>();
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto app = std::make_unique<model::ModelApplication>(ui);
            auto k = Kalvora::Create(*app);
            auto ws = PurchasedProductsList(*k, *app, n);
            state.ResumeTiming();
            k->Forming(ws, true, true);
            state.PauseTiming();
            benchmark::DoNotOptimize(ws->UsedRange());
        }
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}

BENCHMARK(BM_FormPurchasedProducts)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// ------------------------------------------------------------------ end to end

const std::string kSheet = "АБВГ.436234.001";

std::string InputFile(int n) {
    return (std::filesystem::temp_directory_path() / ("ormelin-form-" + std::to_string(n) + ".xlsx")).string();
}
std::string OutputFile(int n) {
    return (std::filesystem::temp_directory_path() / ("ormelin-formed-" + std::to_string(n) + ".xlsx")).string();
}

/// The input file: a register with the document's row and the specification list.
void WriteInput(int n) {
    static std::map<int, bool> written;
    if (written[n]) return;
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    xlsx::InstallSaver(app);
    auto k = Kalvora::Create(app);
    auto ws = SpecificationList(*k, app, n);
    ws->Name(kSheet);
    auto& book = dynamic_cast<model::ModelWorkbook&>(ws->Parent());
    book.SetPath(InputFile(n));
    std::shared_ptr<host::Workbook> bookRef = book.shared_from_this();
    k->FindSPIS(bookRef);
    auto doc = std::make_shared<AttrDoc>();
    doc->LetText("aOboz", kSheet);
    doc->LetText("aDesi", "Иванов");
    k->AttribsToSPIS(doc, ws);
    xlsx::SaveWorkbook(book, InputFile(n));
    written[n] = true;
}

void BM_FormEndToEnd(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    WriteInput(n);
    bench::RunCommand(state, std::string(ORMELIN_CLI) + " form " + bench::Quoted(InputFile(n)) + " " + bench::Quoted(kSheet) +
                          " --print -o " + bench::Quoted(OutputFile(n)) + " 2>/dev/null");
}

/// Rolling the formed document of the end-to-end run back to its list, as a command.
void BM_RollbackEndToEnd(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    WriteInput(n);
    std::string formed = OutputFile(n) + ".to-roll-back.xlsx";
    std::string form = std::string(ORMELIN_CLI) + " form " + bench::Quoted(InputFile(n)) + " " + bench::Quoted(kSheet) +
                       " --print -o " + bench::Quoted(formed) + " 2>/dev/null";
    if (std::system(form.c_str()) != 0) {
        state.SkipWithError("forming failed");
        return;
    }
    bench::RunCommand(state, std::string(ORMELIN_CLI) + " rollback " + bench::Quoted(formed) + " " + bench::Quoted(kSheet) +
                                 " -o " + bench::Quoted(OutputFile(n) + ".rolled-back.xlsx") + " 2>/dev/null");
}

void BM_LibreOfficeLoadSave(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    WriteInput(n);
    bench::LibreOfficeLoadSave(state, InputFile(n));
}

/// The floor: read the input's parts, then write the formed sheet's cells, its
/// styles, row heights and merged areas bare, at the same deflate level.
class Floor {
public:
    explicit Floor(int n) : n_(n), app_(std::make_shared<model::ScriptedUi>()) {
        WriteInput(n);
        // The formed sheet to write, made once outside the timing.
        book_ = xlsx::LoadWorkbook(app_, InputFile(n), nullptr);
        auto k = Kalvora::Create(app_);
        std::shared_ptr<host::Worksheet> ws = book_->Sheet(kSheet);
        k->Forming(ws, true, false);
        sheet_ = std::dynamic_pointer_cast<model::ModelWorksheet>(ws);
        path_ = OutputFile(n) + ".floor.xlsx";
        // One font and border per style id: the styles part of the formed workbook.
        std::string fonts, borders, xfs;
        const std::size_t styleCount = book_->Styles().Size();
        for (model::StyleId id = 0; id < styleCount; ++id) {
            const host::Style& st = book_->Styles().Get(id);
            fonts += std::string("<font>") + (st.font.italic ? "<i/>" : "") + "<sz val=\"" + std::to_string(st.font.size) +
                     "\"/><name val=\"" + st.font.name + "\"/></font>";
            auto edge = [](const char* name, const host::Border& b) {
                return std::string("<") + name + (b.style != host::LineStyle::None ? " style=\"thin\"/>" : "/>");
            };
            borders += "<border>" + edge("left", st.left) + edge("right", st.right) + edge("top", st.top) +
                       edge("bottom", st.bottom) + "<diagonal/></border>";
            xfs += "<xf fontId=\"" + std::to_string(id) + "\" borderId=\"" + std::to_string(id) + "\"" +
                   (st.orientation ? " applyAlignment=\"1\"><alignment textRotation=\"" +
                                         std::to_string(st.orientation > 0 ? st.orientation : 90 - st.orientation) + "\"/></xf>"
                                   : "/>");
        }
        styles_ = "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><fonts>" + fonts +
                  "</fonts><fills><fill/></fills><borders>" + borders + "</borders><cellXfs>" + xfs +
                  "</cellXfs></styleSheet>";
    }

    /// One run of the floor's work.
    void Run() const {
        int error = 0;
        zip_t* z = zip_open(InputFile(n_).c_str(), ZIP_RDONLY, &error);
        for (const char* part : {"xl/sharedStrings.xml", "xl/styles.xml", "xl/worksheets/sheet1.xml",
                                 "xl/worksheets/sheet2.xml"}) {
            std::string bytes = bench::ReadPart(z, part);
            pugi::xml_document doc;
            doc.load_buffer_inplace(bytes.data(), bytes.size());
            benchmark::DoNotOptimize(doc.first_child());
        }
        zip_discard(z);

        // The formed sheet written bare, each style id as its own cell format.
        bench::FloorWriter w(path_);
        std::vector<std::pair<int, double>> heights;
        sheet_->ForEachRow([&](int row, const model::RowRecord& rec) { heights.emplace_back(row, rec.height); });
        std::size_t next = 0;
        int open = 0;
        sheet_->ForEachCell([&](int row, int column, const host::CellContent& content, model::StyleId style) {
            if (row != open) {
                while (next < heights.size() && heights[next].first < row) ++next;
                w.Row(row, next < heights.size() && heights[next].first == row ? heights[next].second : -1);
                open = row;
            }
            if (const auto* text = std::get_if<std::string>(&content.value)) {
                w.Text(row, column, style, *text);
            } else if (const auto* number = std::get_if<double>(&content.value)) {
                w.Number(row, column, style, *number);
            } else {
                w.Blank(row, column, style);
            }
        });
        for (const auto& m : sheet_->MergedAreas(host::Area{1, 1, host::kMaxRows, host::kMaxColumns}))
            w.Merge(m.r1, m.c1, m.r2, m.c2);
        w.Close(styles_);
    }

private:
    int n_;
    model::ModelApplication app_;
    std::shared_ptr<model::ModelWorkbook> book_;
    std::shared_ptr<model::ModelWorksheet> sheet_;
    std::string path_, styles_;
};

void BM_FloorFormEndToEnd(benchmark::State& state) {
    const Floor floor(static_cast<int>(state.range(0)));
    for (auto _ : state) floor.Run();
}

/// The command and the floor taken in turn, pair by pair, so that a machine whose
/// speed drifts moves both alike: the median of the pairs' ratios, and of each.
void BM_FormAgainstFloor(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const Floor floor(n);
    const std::string command = std::string(ORMELIN_CLI) + " form " + bench::Quoted(InputFile(n)) + " " +
                                bench::Quoted(kSheet) + " --print -o " + bench::Quoted(OutputFile(n)) + " 2>/dev/null";
    using Clock = std::chrono::steady_clock;
    std::vector<double> forms, floors, ratios;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
        const auto t1 = Clock::now();
        floor.Run();
        const auto t2 = Clock::now();
        forms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        floors.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
        ratios.push_back(forms.back() / floors.back());
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    state.counters["form_ms"] = median(forms);
    state.counters["floor_ms"] = median(floors);
    state.counters["ratio"] = median(ratios);
}

BENCHMARK(BM_FormEndToEnd)->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FloorFormEndToEnd)->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FormAgainstFloor)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(21);
BENCHMARK(BM_RollbackEndToEnd)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LibreOfficeLoadSave)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
