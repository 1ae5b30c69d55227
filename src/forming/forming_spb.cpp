// Forming the group specification: the column step onto the form's grid, the
// first sheet around the list's first 8 rows, one further sheet per 17 list rows
// while anything follows, the optional change-registration sheet, the sheet
// numbers and the print setup. The frames themselves are in title_spb.cpp.
// Format patches below name only the fields they change; the others stay empty.

#include <algorithm>
#include <functional>
#include <string>

#include "forming/forming_spb.hpp"
#include "forming/rollback.hpp"
#include "forming/sheet_setup.hpp"
#include "forming/steps.hpp"

namespace ormelin::forming {

namespace {

// The column step, in its order: a width for columns, or whole columns inserted.
struct ColumnStep {
    enum class Op : std::uint8_t { Width, Insert };
    Op op;
    const char* columns;
    double width = 0;
};
using C = ColumnStep;
constexpr auto W = ColumnStep::Op::Width;
constexpr auto I = ColumnStep::Op::Insert;

// Each list column lands on the first column of its field: "Формат" A, "Зона" C,
// "Поз." E, "Обозначение" F, "Наименование" I, the quantities of executions "-",
// "01".."09" on O, P, Q, S, T, U, V, W, Y, AA, "Примечание" AC, the link cell AF.
// E and P keep the list's widths.
constexpr ColumnStep kColumnStep[] = {
    {W, "A", 2.0},   {I, "B"},         {W, "B", 0.9},    {W, "C", 0.6},   {I, "D"},         {W, "D", 2.0},
    {W, "F", 1.0},   {I, "G:H"},       {W, "G", 17},     {W, "H", 13},    {W, "I", 4.0},    {I, "J:N"},
    {W, "J", 3.0},   {W, "K", 4.5},    {W, "L", 10.5},   {W, "M", 2.0},   {W, "N", 4.0},    {W, "O", 4.5},
    {W, "N", 4.5},   {W, "Q", 1.88},   {I, "R"},         {W, "R", 2.12},  {W, "S:V", 4.5},  {W, "W", 3.0},
    {I, "X"},        {W, "X", 1.0},    {W, "Y", 2.0},    {I, "Z"},        {W, "Z", 2.0},    {W, "AA", 2.0},
    {I, "AB"},       {W, "AB", 2.0},   {W, "AC", 4.63},  {I, "AD:AE"},    {W, "AD", 4.12},  {W, "AE", 4.88},
};

/// The columns of a step ("B", "G:H") as an area of whole columns.
host::Area ColumnsOf(const char* columns) {
    std::string a1 = columns;
    if (a1.find(':') == std::string::npos) a1 += ":" + a1;
    return host::ParseAddress(a1);
}

/// The column step. Its insertions go in one pass over the sheet (runs, each at
/// its column at that moment) and its widths then go where their columns ended
/// up: the same sheet as taking the steps one by one, since no width changes a
/// cell and every inserted column is given its own width by a later step. Were
/// one not, the steps are taken one by one, so that it copies the width its left
/// neighbour had at that moment.
void ApplyColumnStep(host::Worksheet& w) {
    std::vector<host::ColumnRun> runs;
    struct Width {
        int column;
        double width;
    };
    std::vector<Width> widths;
    std::vector<bool> unsized;  // by column at this moment: inserted and given no width yet
    for (const ColumnStep& s : kColumnStep) {
        const host::Area a = ColumnsOf(s.columns);
        if (s.op == I) {
            runs.push_back(host::ColumnRun{a.c1, a.columns()});
            for (Width& width : widths) {
                if (width.column >= a.c1) width.column += a.columns();
            }
            if (unsized.size() < static_cast<std::size_t>(a.c1 - 1)) unsized.resize(static_cast<std::size_t>(a.c1 - 1));
            unsized.insert(unsized.begin() + (a.c1 - 1), static_cast<std::size_t>(a.columns()), true);
        } else {
            for (int c = a.c1; c <= a.c2; ++c) {
                widths.push_back(Width{c, s.width});
                if (static_cast<std::size_t>(c) <= unsized.size()) unsized[static_cast<std::size_t>(c) - 1] = false;
            }
        }
    }
    if (std::find(unsized.begin(), unsized.end(), true) != unsized.end()) {
        for (const ColumnStep& s : kColumnStep) {
            const host::Area a = ColumnsOf(s.columns);
            if (s.op == I) w.Columns(host::AddressOf(a)).Insert();
            else w.ColumnWidth(a.c1, a.c2, s.width);
        }
        return;
    }
    w.InsertColumnRuns(runs);
    for (const Width& width : widths) w.ColumnWidth(width.column, width.column, width.width);
}

// The fields of a list row, merged on every list row of every sheet.
const std::vector<RowMerges>& FirstSheetRowMerges() {
    static const std::vector<RowMerges> merges = {
        {"A:B", 5, 12},   {"C:D", 5, 12},   {"F:H", 5, 12},   {"I:N", 5, 12},   {"Q:R", 5, 16},
        {"W:X", 5, 16},   {"Y:Z", 5, 16},   {"AA:AB", 5, 16}, {"AC:AE", 5, 16},
    };
    return merges;
}

/// The first row below `last` that displays anything, or 0.
int FirstContentRowBelow(const host::Worksheet& w, int last) {
    const host::Area used = w.UsedRange();
    for (int r = last + 1; r <= used.r2; ++r) {
        const auto text = w.Text(host::Area{r, 1, r, used.c2});
        if (!text || !text->empty()) return r;
    }
    return 0;
}

}  // namespace

int SpbColumnOf(int listColumn) {
    int column = listColumn;
    for (const ColumnStep& s : kColumnStep) {
        if (s.op != I) continue;
        const host::Area a = ColumnsOf(s.columns);
        if (column >= a.c1) column += a.columns();
    }
    return column;
}

std::vector<std::pair<long long, long long>> GroupFrameRows(int sheets, bool registration) {
    // the binding-margin rows, then what rollback deletes
    std::vector<std::pair<long long, long long>> rows = {{1, 2}};
    for (const RowSpan& s : InsertedRowsOf(kA4LandscapeGroup, sheets + (registration ? 1 : 0), registration))
        rows.emplace_back(s.from, s.to);
    return rows;
}

FormResult FormSPB(host::Application& app, const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc,
                   const FormOptions& options) {
    if (!ws) throw Error(ErrorCode::ObjectRequired);
    const SheetGeometry& g = kA4LandscapeGroup;
    host::Worksheet& w = *ws;
    FormResult result;
    // 1: one repaint, then no screen updating until the end; window
    app.ScreenUpdating(true);
    app.ScreenUpdating(false);
    w.Activate();
    host::Window& win = app.ActiveWindow();
    win.FreezePanes(false);
    win.DisplayZeros(false);
    ListRowsToListHeight(w, kGroupListDataRow);
    // 2: the column step
    ApplyColumnStep(w);
    // 3: binding-margin lines over the heads
    w.InsertRows(1, 2);
    SpbBindingLines(ws, attDoc);
    // 4: the letter and code rows under the first 8 list rows
    w.InsertRows(15, 4);
    w.CopyTo(host::ParseAddress("5:6"), w, 17, 1);
    w.DeleteRows(5, 2);
    // 5: the heads stay in view
    w.Rows(kGroupListDataRow).Select();
    win.FreezePanes(true);
    // 6, 7: variable-data zone and title block
    SpbVariableZone(ws, attDoc);
    w.InsertRows(17, 11);
    SpbTitleFirst(ws, attDoc);
    // 8, 9, 10: merges and frame lines of the first sheet
    SpbFirstSheetMerges(ws, attDoc);
    ApplyRowMerges(w, 1, FirstSheetRowMerges());
    SpbFirstSheetBorders(ws);

    // 11: one further sheet while the 39 rows below the last one hold anything
    int b = g.firstBottomLine;
    int i = 1;
    w.Cells(b, 1).Select();
    for (;;) {
        const auto below = w.Text(host::Area{b + 1, 1, std::min(b + EmptyRunOf(g), host::kMaxRows),
                                             host::kMaxColumns});
        if (below && below->empty()) break;
        ++i;
        SpbPageNext(ws, b, i, attDoc);
        b += g.sheetRows;
        w.Cells(b, 1).Select();
    }
    // 12: change-registration sheet
    int last = b;
    if (i > 2 && options.pageRevi) {
        SpbPageRevi(ws, b, i + 1, attDoc);
        result.registrationSheet = true;
        last = b + g.registration.rows;
    }
    result.sheetCount = i + (result.registrationSheet ? 1 : 0);
    result.geometry = result.registrationSheet ? &kA4LandscapeGroupMoved : &g;
    if (const int left = FirstContentRowBelow(w, last)) result.rowsLeftBelow = left;
    // 13: sheet and sheet count on the first sheet ("Лист" only when there are several)
    if (!result.registrationSheet) {
        if (i > 1) w.RangeAt("AB23").SetValue(1.0);
        w.RangeAt("AD23").SetValue(static_cast<double>(i));
    } else {
        w.RangeAt("AC23").SetValue(1.0);
        w.RangeAt("AE23").SetValue(static_cast<double>(i + 1));
    }
    // 14
    w.Rows(kGroupListDataRow).Show();

    // 15: print setup, each step on its own; the page breaks fall after the list's sheets
    if (options.forPrint) {
        SetUpPrinting(app, w, *result.geometry, i);
        result.printSetupApplied = true;
    }
    // 16
    EndForming(app, *result.geometry, options.forPrint);
    return result;
}

std::optional<SpbSheets> SpbSheetsOnForm(const host::Worksheet& ws) {
    const SheetGeometry& g = kA4LandscapeGroup;
    const auto count = [&](int column) {
        const host::CellContent c = ws.Content(23, column);
        const auto* n = std::get_if<double>(&c.value);
        return n && *n >= 1 && *n < host::kMaxRows / g.sheetRows ? static_cast<int>(*n) : 0;
    };
    if (const int n = count(host::ColumnNumber("AD"))) return SpbSheets{n, false};
    if (const int m = count(host::ColumnNumber("AE")); m > 3) return SpbSheets{m - 1, true};
    return std::nullopt;
}

long long SpbFirstRowLeftBelow(const host::Worksheet& ws) {
    const SheetGeometry& g = kA4LandscapeGroup;
    const auto form = SpbSheetsOnForm(ws);
    if (!form) return 0;
    const int last = static_cast<int>(BottomLineOf(g, form->sheets)) + (form->registration ? g.registration.rows : 0);
    if (last >= host::kMaxRows) return 0;
    return FirstContentRowBelow(ws, last);
}

}  // namespace ormelin::forming
