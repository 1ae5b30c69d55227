// Row storage under the load of forming: a list of 100,000 rows whose fields are
// merged in every row, then page frames inserted sheet by sheet from the top
// (13 rows after every 29 data rows), then rollback-style deletions that read the
// used range after each one. The same insertions run again over a sheet whose
// 36-row blocks each hold 30 title formulas referring to the register sheet
// "список" (absolute references into another sheet): they must cost next to
// nothing extra, since no insertion can alter them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"

namespace {

using ormelin::host::Area;
using ormelin::host::kMaxColumns;
using ormelin::host::kMaxRows;
using ormelin::model::ModelApplication;
using ormelin::model::ModelWorksheet;

constexpr int kRows = 100000;
constexpr int kInsertions = 3500;
constexpr int kFrameRows = 13;
constexpr int kDataRowsPerSheet = 29;
constexpr int kBlockRows = 36;
constexpr int kFormulasPerBlock = 30;  // 6 rows of 5 cells

// The merged fields of a data row of a formed specification: E:F, G:O, P:U, V:W, X:Z.
constexpr int kFields[5][2] = {{5, 6}, {7, 15}, {16, 21}, {22, 23}, {24, 26}};

struct Sheet {
    std::shared_ptr<ModelApplication> app = std::make_shared<ModelApplication>(nullptr);
    std::shared_ptr<ModelWorksheet> ws = app->NewWorkbook()->ModelSheet(1);
};

// Title-block formulas like "=список!R5C3", 30 in every 36 rows, in columns AA:AE.
int AddRegisterFormulas(Sheet& s) {
    auto list = s.app->ActiveWorkbook()->Add(nullptr, s.ws.get());
    list->Name("список");
    for (int c = 1; c <= 40; ++c) list->SetLiteral(Area{5, c, 5, c}, std::string("реквизит ") + std::to_string(c));
    int count = 0;
    for (int block = 1; block + kBlockRows - 1 <= kRows; block += kBlockRows) {
        for (int k = 0; k < kFormulasPerBlock; ++k) {
            const int r = block + k / 5, c = 27 + k % 5;
            s.ws->SetValue(Area{r, c, r, c}, std::string("=список!R5C") + std::to_string(k + 3));
            ++count;
        }
    }
    return count;
}

void FillList(ModelWorksheet& ws) {
    for (int r = 1; r <= kRows; ++r) {
        ws.SetLiteral(Area{r, 7, r, 7}, std::string("АБВГ.123456.") + std::to_string(r));
        ws.SetLiteral(Area{r, 16, r, 16}, std::string("Резистор"));
        ws.SetLiteral(Area{r, 22, r, 22}, 1.0);
    }
}

void MergeFields(ModelWorksheet& ws) {
    for (int r = 1; r <= kRows; ++r) {
        for (const auto& f : kFields) ws.Merge(Area{r, f[0], r, f[1]});
    }
}

void BM_MergeFieldsOfEveryRow(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Sheet s;
        FillList(*s.ws);
        state.ResumeTiming();
        MergeFields(*s.ws);
        benchmark::DoNotOptimize(s.ws->MergeArea(kRows, 10));
    }
}

/// Inserts the frame rows of every sheet, top-down, as forming does; returns
/// the merged area found after the last one.
std::optional<Area> InsertFrames(ModelWorksheet& ws) {
    int at = 25;
    for (int k = 0; k < kInsertions; ++k) {
        ws.InsertRows(at, kFrameRows);
        ws.RowHeight(at, at + kFrameRows - 1, 8);
        at += kFrameRows + kDataRowsPerSheet;
    }
    return ws.MergeArea(at, 10);
}

void BM_InsertFramesTopDown(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Sheet s;
        FillList(*s.ws);
        MergeFields(*s.ws);
        state.ResumeTiming();
        benchmark::DoNotOptimize(InsertFrames(*s.ws));
    }
    state.counters["insertions"] = kInsertions;
}

void BM_InsertFramesTopDownWithRegisterFormulas(benchmark::State& state) {
    int formulas = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Sheet s;
        FillList(*s.ws);
        MergeFields(*s.ws);
        formulas = AddRegisterFormulas(s);
        state.ResumeTiming();
        benchmark::DoNotOptimize(InsertFrames(*s.ws));
    }
    state.counters["insertions"] = kInsertions;
    state.counters["formulas"] = formulas;
}

// Reading what every title formula shows (each one evaluated at the read).
void BM_ReadRegisterFormulaTexts(benchmark::State& state) {
    Sheet s;
    FillList(*s.ws);
    const int formulas = AddRegisterFormulas(s);
    for (auto _ : state) {
        std::size_t length = 0;
        for (int block = 1; block + kBlockRows - 1 <= kRows; block += kBlockRows) {
            for (int k = 0; k < kFormulasPerBlock; ++k) length += s.ws->CellText(block + k / 5, 27 + k % 5).size();
        }
        benchmark::DoNotOptimize(length);
    }
    state.counters["formulas"] = formulas;
}

void BM_DeleteFramesReadingUsedRange(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Sheet s;
        FillList(*s.ws);
        MergeFields(*s.ws);
        int at = 25;
        for (int k = 0; k < kInsertions; ++k) {
            s.ws->InsertRows(at, kFrameRows);
            s.ws->RowHeight(at, at + kFrameRows - 1, 8);
            at += kFrameRows + kDataRowsPerSheet;
        }
        state.ResumeTiming();
        // rollback deletes the frame rows one by one, reading the used range each time
        int r = 25;
        for (int k = 0; k < kInsertions; ++k) {
            for (int i = 0; i < kFrameRows; ++i) {
                benchmark::DoNotOptimize(s.ws->UsedRange());
                s.ws->DeleteRows(r, 1);
            }
            r += kDataRowsPerSheet;
        }
        benchmark::DoNotOptimize(s.ws->UsedRange());
    }
}

// Huge areas: formatting, merging, copying and clearing whole rows, whole columns
// and the whole sheet of a sheet holding a 1,000-row list. The argument is the
// area's first row (rows) or first column (columns): the area runs to the sheet's
// end, so the smaller the argument, the larger the area. The time must not grow
// with the area, only with what the sheet holds (rows above an area of whole rows
// that get a row format of their own, and rows stored up to the area's first row,
// count as held).
constexpr int kHugeListRows = 1000;

void FillSmallList(ModelWorksheet& ws) {
    for (int r = 1; r <= kHugeListRows; ++r) {
        ws.SetLiteral(Area{r, 1, r, 1}, static_cast<double>(r));
        ws.SetLiteral(Area{r, 2, r, 2}, std::string("Резистор"));
    }
}

ormelin::host::FormatPatch Framed() {
    ormelin::host::FormatPatch p;
    p.fill = ormelin::host::Color::Rgb(0xFFFF99);
    for (auto& b : p.borders) b.style = ormelin::host::LineStyle::Continuous;
    return p;
}

void BM_FormatRowsToSheetEnd(benchmark::State& state) {
    const int first = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Sheet s;
        FillSmallList(*s.ws);
        state.ResumeTiming();
        s.ws->Format(Area{first, 1, kMaxRows, kMaxColumns}, Framed());
        benchmark::DoNotOptimize(s.ws->CellStyle(kMaxRows - 1, 5));
    }
    state.counters["rows"] = kMaxRows - first + 1;
}

void BM_FormatColumnsToSheetEnd(benchmark::State& state) {
    const int first = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Sheet s;
        FillSmallList(*s.ws);
        state.ResumeTiming();
        s.ws->Format(Area{1, first, kMaxRows, kMaxColumns}, Framed());
        s.ws->Format(Area{1, 1, kMaxRows, kMaxColumns}, Framed());
        benchmark::DoNotOptimize(s.ws->CellStyle(kMaxRows - 1, 5));
    }
    state.counters["columns"] = kMaxColumns - first + 1;
}

// Merging, copying, clearing and deleting rows first..end, then saving.
void BM_HugeAreaEditsAndSave(benchmark::State& state) {
    const int first = static_cast<int>(state.range(0));
    const std::string path = "bench-huge-area.xlsx";
    for (auto _ : state) {
        state.PauseTiming();
        Sheet s;
        FillSmallList(*s.ws);
        state.ResumeTiming();
        const Area rows{first, 1, kMaxRows, kMaxColumns};
        s.ws->CopyTo(Area{first, 1, kMaxRows, 3}, *s.ws, first, 5);
        s.ws->ClearContents(Area{first, 5, kMaxRows, 5});
        s.ws->Clear(Area{first, 6, kMaxRows, 6});
        s.ws->Merge(rows);
        ormelin::xlsx::SaveWorkbook(s.ws->Book(), path);
        s.ws->UnMerge(rows);
        s.ws->DeleteCells(Area{first, 2, kMaxRows, 2}, ormelin::host::Shift::Left);
        s.ws->DeleteRows(first, kMaxRows - first + 1);
        benchmark::DoNotOptimize(s.ws->UsedRange());
    }
    std::remove(path.c_str());
    state.counters["rows"] = kMaxRows - first + 1;
}

}  // namespace

BENCHMARK(BM_MergeFieldsOfEveryRow)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_InsertFramesTopDown)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_InsertFramesTopDownWithRegisterFormulas)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReadRegisterFormulaTexts)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DeleteFramesReadingUsedRange)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FormatRowsToSheetEnd)->Arg(3)->Arg(1001)->Arg(100001)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FormatColumnsToSheetEnd)->Arg(kMaxColumns - 9)->Arg(kMaxColumns / 2)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_HugeAreaEditsAndSave)->Arg(2)->Arg(1001)->Arg(100001)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
