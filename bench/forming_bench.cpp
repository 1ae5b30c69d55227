// Forming a specification list of many data rows in memory, as A4 sheets.
//
// End to end, the command `ormelin form BOOK SHEET --print` on a file (load, form,
// save) is timed against LibreOffice's bare headless load-and-save of the same
// input, and against the floor for the same output: libzip + pugixml reading the
// input's parts and libxlsxwriter writing the formed sheet's cells, row heights
// and merged areas with no model in between.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <filesystem>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "ormelin/attr_doc.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "bench_common.hpp"

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

void BM_LibreOfficeLoadSave(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    WriteInput(n);
    bench::LibreOfficeLoadSave(state, InputFile(n));
}

/// The floor: read the input's parts, then write the formed sheet's cells with
/// libxlsxwriter (one format per distinct style, made once), its row heights and
/// merged areas.
void BM_FloorFormEndToEnd(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    WriteInput(n);
    // The formed sheet to write, made once outside the timing.
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    auto book = xlsx::LoadWorkbook(app, InputFile(n), nullptr);
    auto k = Kalvora::Create(app);
    std::shared_ptr<host::Worksheet> ws = book->Sheet(kSheet);
    k->Forming(ws, true, false);
    auto sheet = std::dynamic_pointer_cast<model::ModelWorksheet>(ws);
    std::string floorPath = OutputFile(n) + ".floor.xlsx";
    for (auto _ : state) {
        int error = 0;
        zip_t* z = zip_open(InputFile(n).c_str(), ZIP_RDONLY, &error);
        for (const char* part : {"xl/sharedStrings.xml", "xl/styles.xml", "xl/worksheets/sheet1.xml",
                                 "xl/worksheets/sheet2.xml"}) {
            std::string bytes = bench::ReadPart(z, part);
            pugi::xml_document doc;
            doc.load_buffer_inplace(bytes.data(), bytes.size());
            benchmark::DoNotOptimize(doc.first_child());
        }
        zip_discard(z);

        lxw_workbook* wb = workbook_new(floorPath.c_str());
        lxw_worksheet* out = workbook_add_worksheet(wb, nullptr);
        std::map<model::StyleId, lxw_format*> formats;
        auto format = [&](model::StyleId id) {
            auto it = formats.find(id);
            if (it != formats.end()) return it->second;
            const host::Style& st = book->Styles().Get(id);
            lxw_format* f = workbook_add_format(wb);
            format_set_font_name(f, st.font.name.c_str());
            format_set_font_size(f, st.font.size);
            if (st.font.italic) format_set_italic(f);
            if (st.left.style != host::LineStyle::None) format_set_left(f, LXW_BORDER_THIN);
            if (st.top.style != host::LineStyle::None) format_set_top(f, LXW_BORDER_THIN);
            if (st.right.style != host::LineStyle::None) format_set_right(f, LXW_BORDER_THIN);
            if (st.bottom.style != host::LineStyle::None) format_set_bottom(f, LXW_BORDER_THIN);
            if (st.orientation != 0) format_set_rotation(f, static_cast<int16_t>(st.orientation));
            formats.emplace(id, f);
            return f;
        };
        sheet->ForEachRow([&](int row, const model::RowRecord& rec) {
            if (rec.height >= 0) worksheet_set_row(out, static_cast<lxw_row_t>(row - 1), rec.height, nullptr);
        });
        sheet->ForEachCell([&](int row, int column, const host::CellContent& content, model::StyleId style) {
            auto r = static_cast<lxw_row_t>(row - 1);
            auto c = static_cast<lxw_col_t>(column - 1);
            if (const auto* text = std::get_if<std::string>(&content.value)) {
                worksheet_write_string(out, r, c, text->c_str(), format(style));
            } else if (const auto* number = std::get_if<double>(&content.value)) {
                worksheet_write_number(out, r, c, *number, format(style));
            } else {
                worksheet_write_blank(out, r, c, format(style));
            }
        });
        for (const auto& m : sheet->MergedAreas(host::Area{1, 1, host::kMaxRows, host::kMaxColumns})) {
            worksheet_merge_range(out, static_cast<lxw_row_t>(m.r1 - 1), static_cast<lxw_col_t>(m.c1 - 1),
                                  static_cast<lxw_row_t>(m.r2 - 1), static_cast<lxw_col_t>(m.c2 - 1), "", nullptr);
        }
        workbook_close(wb);
    }
}

BENCHMARK(BM_FormEndToEnd)->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FloorFormEndToEnd)->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LibreOfficeLoadSave)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
