// Loading and saving list workbooks of 2,000, 20,000 and 100,000 rows, against
// the floor: libzip + pugixml reading the same sheet part, and a bare streaming
// write of the same cells at the same deflate level, with no model in between.
//
//   xlsx_bench                      Google Benchmark run
//   xlsx_bench --peak ROWS          builds, saves and loads one workbook and
//                                   prints the peak resident memory
//   xlsx_bench --peak-load ROWS     loads the file --peak saved, alone
#include <sys/resource.h>
#include <zip.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "bench_common.hpp"

using namespace ormelin;
using host::Area;

namespace {

constexpr int kColumns = 8;

std::string BenchFile(int rows) {
    return (std::filesystem::temp_directory_path() / ("ormelin-bench-" + std::to_string(rows) + ".xlsx")).string();
}

// The text of a list cell: designations, names and notes repeat in real lists.
std::string CellText(int row, int column) {
    switch (column) {
        case 2: return "АБВГ." + std::to_string(100000 + row % 5000) + ".0" + std::to_string(row % 100);
        case 3: return "Резистор С2-33Н-0,25-" + std::to_string(row % 300) + " кОм ±5%";
        case 7: return row % 7 ? std::string() : "Примечание " + std::to_string(row % 50);
        default: return {};
    }
}

model::ModelApplication& App() {
    static model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    return app;
}

/// A list sheet: header row, base format, 26-point rows, text and numbers.
std::shared_ptr<model::ModelWorkbook> ListWorkbook(int rows) {
    static std::map<int, std::shared_ptr<model::ModelWorkbook>> cache;
    if (auto it = cache.find(rows); it != cache.end()) return it->second;
    auto book = App().NewWorkbook();
    auto sheet = book->ModelSheet(1);
    host::FormatPatch base;
    base.fontName = std::string("ISOCPEUR");
    base.fontSize = 14;
    base.italic = true;
    base.horizontal = host::HAlign::Center;
    base.vertical = host::VAlign::Center;
    sheet->Format(Area{1, 1, host::kMaxRows, host::kMaxColumns}, base);
    sheet->StandardHeight(26);
    sheet->RowHeight(1, 1, 43);
    sheet->ColumnWidth(1, 1, 3);
    sheet->ColumnWidth(2, 3, 30);
    for (int c = 1; c <= kColumns; ++c) sheet->SetLiteral(Area{1, c, 1, c}, "Графа " + std::to_string(c));
    for (int r = 2; r <= rows + 1; ++r) {
        for (int c = 1; c <= kColumns; ++c) {
            if (c == 1 || c == 5 || c == 6) {
                sheet->SetLiteral(Area{r, c, r, c}, static_cast<double>(c == 1 ? r - 1 : (r * c) % 97));
            } else if (std::string text = CellText(r, c); !text.empty()) {
                sheet->SetLiteral(Area{r, c, r, c}, text);
            } else if (c == 4 || c == 8) {
                sheet->SetLiteral(Area{r, c, r, c}, std::string("шт."));
            }
        }
    }
    cache[rows] = book;
    return book;
}

void BM_Save(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    auto book = ListWorkbook(rows);
    for (auto _ : state) xlsx::SaveWorkbook(*book, BenchFile(rows));
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_Load(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    xlsx::SaveWorkbook(*ListWorkbook(rows), BenchFile(rows));
    for (auto _ : state) {
        model::ModelApplication app(std::make_shared<model::ScriptedUi>());
        auto book = xlsx::LoadWorkbook(app, BenchFile(rows), nullptr);
        benchmark::DoNotOptimize(book.get());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

// The floor of saving: the same cells written bare, one format, at the same
// deflate level.
void BM_FloorWrite(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    std::string path = BenchFile(rows) + ".floor.xlsx";
    const std::string styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><fonts count=\"2\"><font><sz "
        "val=\"11\"/><name val=\"Calibri\"/></font><font><i/><sz val=\"14\"/><name val=\"ISOCPEUR\"/></font></fonts><fills "
        "count=\"1\"><fill/></fills><borders count=\"1\"><border/></borders><cellXfs count=\"2\"><xf fontId=\"0\"/><xf "
        "fontId=\"1\" applyAlignment=\"1\"><alignment horizontal=\"center\" vertical=\"center\"/></xf></cellXfs></styleSheet>";
    for (auto _ : state) {
        bench::FloorWriter w(path);
        w.Row(1, 43);
        for (int c = 1; c <= kColumns; ++c) w.Text(1, c, 1, "Графа " + std::to_string(c));
        for (int r = 2; r <= rows + 1; ++r) {
            w.Row(r, -1);
            for (int c = 1; c <= kColumns; ++c) {
                if (c == 1 || c == 5 || c == 6) {
                    w.Number(r, c, 1, c == 1 ? r - 1 : (r * c) % 97);
                } else if (std::string text = CellText(r, c); !text.empty()) {
                    w.Text(r, c, 1, text);
                } else if (c == 4 || c == 8) {
                    w.Text(r, c, 1, "шт.");
                }
            }
        }
        w.Close(styles);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

// The floor of loading: libzip inflates the parts, pugixml parses them, and
// every cell's value is read once.
void BM_FloorRead(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    xlsx::SaveWorkbook(*ListWorkbook(rows), BenchFile(rows));
    for (auto _ : state) {
        int error = 0;
        zip_t* z = zip_open(BenchFile(rows).c_str(), ZIP_RDONLY, &error);
        std::string sst = bench::ReadPart(z, "xl/sharedStrings.xml");
        std::string sheet = bench::ReadPart(z, "xl/worksheets/sheet1.xml");
        std::string styles = bench::ReadPart(z, "xl/styles.xml");
        zip_discard(z);
        pugi::xml_document sdoc, doc, stdoc;
        sdoc.load_buffer_inplace(sst.data(), sst.size());
        stdoc.load_buffer_inplace(styles.data(), styles.size());
        std::vector<std::string> strings;
        for (auto si : sdoc.child("sst").children("si")) strings.emplace_back(si.child("t").child_value());
        doc.load_buffer_inplace(sheet.data(), sheet.size());
        std::size_t total = 0;
        for (auto row : doc.child("worksheet").child("sheetData").children("row"))
            for (auto c : row.children("c")) {
                const char* v = c.child("v").child_value();
                if (std::strcmp(c.attribute("t").value(), "s") == 0)
                    total += strings[std::strtoul(v, nullptr, 10)].size();
                else
                    total += static_cast<std::size_t>(std::strtod(v, nullptr));
            }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

// The command and the other clients on the same file, as whole commands (wall
// time): `ormelin new -o` (load, add a document sheet, save), LibreOffice's
// headless load-and-save and openpyxl's load-and-save. Skipped when missing.
void BM_CommandLoadSave(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    xlsx::SaveWorkbook(*ListWorkbook(rows), BenchFile(rows));
    std::string out = (std::filesystem::temp_directory_path() / "ormelin-bench-command.xlsx").string();
    bench::RunCommand(state, std::string(ORMELIN_CLI) + " new " + bench::Quoted(BenchFile(rows)) + " spa -o " +
                                 bench::Quoted(out) + " >/dev/null");
}

void BM_LibreOfficeLoadSave(benchmark::State& state) {
    int rows = static_cast<int>(state.range(0));
    xlsx::SaveWorkbook(*ListWorkbook(rows), BenchFile(rows));
    bench::LibreOfficeLoadSave(state, BenchFile(rows));
}

void BM_OpenpyxlLoadSave(benchmark::State& state) {
    if (std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") != 0) {
        state.SkipWithError("openpyxl is not installed");
        return;
    }
    int rows = static_cast<int>(state.range(0));
    xlsx::SaveWorkbook(*ListWorkbook(rows), BenchFile(rows));
    std::string out = (std::filesystem::temp_directory_path() / "ormelin-bench-openpyxl.xlsx").string();
    bench::RunCommand(state, "/usr/bin/python3 -c \"import openpyxl,sys; openpyxl.load_workbook(sys.argv[1]).save(sys.argv[2])\" " +
                          bench::Quoted(BenchFile(rows)) + " " + bench::Quoted(out));
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(2000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(0.5);
}

BENCHMARK(BM_FloorWrite)->Apply(Sizes);
BENCHMARK(BM_Save)->Apply(Sizes);
BENCHMARK(BM_FloorRead)->Apply(Sizes);
BENCHMARK(BM_Load)->Apply(Sizes);
BENCHMARK(BM_LibreOfficeLoadSave)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CommandLoadSave)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OpenpyxlLoadSave)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--peak") == 0) {
        int rows = std::atoi(argv[2]);
        auto book = ListWorkbook(rows);
        long built = PeakKilobytes();
        xlsx::SaveWorkbook(*book, BenchFile(rows));
        long saved = PeakKilobytes();
        model::ModelApplication app(std::make_shared<model::ScriptedUi>());
        auto loaded = xlsx::LoadWorkbook(app, BenchFile(rows), nullptr);
        std::cout << "rows " << rows << ": peak after building " << built / 1024 << " MB, after saving "
                  << saved / 1024 << " MB, after loading " << PeakKilobytes() / 1024 << " MB\n";
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--peak-load") == 0) {
        // Loads the file an earlier --peak run saved, in a process of its own.
        int rows = std::atoi(argv[2]);
        model::ModelApplication app(std::make_shared<model::ScriptedUi>());
        auto loaded = xlsx::LoadWorkbook(app, BenchFile(rows), nullptr);
        std::cout << "rows " << rows << ": peak of loading alone " << PeakKilobytes() / 1024 << " MB\n";
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
