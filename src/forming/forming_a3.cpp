// Forming the list of purchased products into A3 landscape sheets. The list stays
// where it is: blank columns are inserted so that each list column becomes a
// field of the form, and frame rows are inserted between the data rows so that
// every sheet of 23 (first) or 28 (further) data rows carries its frame, its two
// column-head rows and its title block. The line-number column is the form's own:
// it is rewritten on every sheet.
// Format patches below name only the fields they change; the others stay empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "forming/forming_a3.hpp"

#include <string>
#include <utility>
#include <vector>

#include "forming/print_setup.hpp"
#include "forming/steps.hpp"

namespace ormelin::forming {

namespace {

using H = host::HAlign;

// The whole columns inserted after A:B, one insertion after the other, which bring
// every list column onto the first column of its field.
constexpr const char* kInserted[] = {"E:N", "P:Q", "S:Z", "AB:AD", "AF:AI", "AM:AN", "AP:AP", "AR:AS"};

// The fields that span several columns, merged on every data row: "Наименование",
// "Код продукции", "Обозначение документа на поставку", "Поставщик", "Куда
// входит", "на регулир.", "всего", "Примечание". "№ строки" (C), "на изделие" (AJ)
// and "в комплекты" (AK) are single columns.
constexpr const char* kFields[] = {"D:N", "O:Q", "R:Z", "AA:AD", "AE:AI", "AL:AN", "AO:AP", "AQ:AS"};

// The head merges of the first sheet's rows 1..2 ("Количество" over AJ1:AP1).
constexpr const char* kHeadMerges[] = {"D1:N2",  "O1:Q2",  "R1:Z2",  "AA1:AD2", "AE1:AI2",
                                       "AJ1:AP1", "AL2:AN2", "AO2:AP2", "AQ1:AS2"};

/// The bottom line of the A4 change-registration sheet inside an A3 document
/// (block row 36): it names its own paper.
const std::vector<CellStep>& RegistrationBottomLine() {
    static const std::vector<CellStep> steps = {
        {.range = "A36:L36", .merge = true},
        {.range = "M36:R36", .merge = true, .format = {.horizontal = H::Left}, .values = {Text("Копировал:")}},
        {.range = "S36:Z36", .merge = true, .format = {.horizontal = H::Right}, .values = {Text("Формат А4")}},
    };
    return steps;
}

// Heading, table head and first entry of the registration sheet take four rows,
// its body 26, its title block and bottom line five: all its 35 rows are new.
constexpr int kRegistrationBodyRows = 26;
// Height of the registration sheet's body rows: a frame row's, not a list row's.
constexpr double kRegistrationBodyHeight = 25;

std::vector<std::pair<int, int>> FieldSpans() {
    std::vector<std::pair<int, int>> spans;
    for (const char* f : kFields) {
        const host::Area a = host::ParseAddress(f);
        spans.emplace_back(a.c1, a.c2);
    }
    return spans;
}

/// Line number and field merges of the worksheet rows r1..r2, numbered from 1.
void NumberAndMerge(host::Worksheet& w, const std::vector<std::pair<int, int>>& spans, int r1, int r2) {
    for (int r = r1; r <= r2; ++r) {
        w.SetValue(host::Area{r, 3, r, 3}, static_cast<double>(r - r1 + 1));
        for (const auto& [c1, c2] : spans) w.Merge(host::Area{r, c1, r, c2});
    }
}

// Frame lines: every edge and inner line of the ranges.
void DrawFrame(const std::shared_ptr<host::Worksheet>& sheet, int top, std::initializer_list<const char*> ranges) {
    for (const char* a : ranges) host::Range(sheet, At(a, top)).Borders().LineStyle(host::LineStyle::Continuous);
}

/// The first row below `after` whose cells show anything, if any.
std::optional<int> FirstRowShowingAnything(const host::Worksheet& w, int after) {
    const host::Area used = w.UsedRange();
    for (int r = after + 1; r <= used.r2; ++r) {
        const auto text = w.Text(host::Area{r, 1, r, used.c2});
        if (!text || !text->empty()) return r;
    }
    return std::nullopt;
}

}  // namespace

bool InsertedRow(const A3Geometry& g, int row, int sheets, bool registration) {
    if (row < 1 || sheets < 1) return false;
    if (row <= g.firstBottomLine) return row >= g.firstInserted;
    const int k = (row - g.firstBottomLine - 1) / g.sheetRows + 2;  // the sheet the row belongs to
    if (k > sheets) return false;
    if (registration && k == sheets) return true;
    const int blockRow = row - BlockRow(g, k) + 1;  // 2..36
    return blockRow <= 1 + g.headRows || blockRow > g.sheetRows + 1 - g.titleRows;
}

std::optional<A3Form> FormOf(const host::Worksheet& w, const A3Geometry& g) {
    const host::CellContent count = w.Content(g.sheetNumberRow, g.sheetCountColumn);
    const auto* sheets = std::get_if<double>(&count.value);
    if (!sheets || *sheets < 1 || *sheets != static_cast<int>(*sheets)) return std::nullopt;
    const double last = g.firstBottomLine + g.sheetRows * (*sheets - 1);
    if (last > host::kMaxRows) return std::nullopt;
    A3Form form{static_cast<int>(*sheets), false};
    if (form.sheets > 2)
        form.registration = w.CellText(BlockRow(g, form.sheets) + 1, 3) == "Лист регистрации изменений";
    return form;
}

void DeleteInsertedRows(host::Worksheet& w, const A3Geometry& g, const A3Form& form) {
    const int last = g.firstBottomLine + g.sheetRows * (form.sheets - 1);
    // from the bottom up, one run of inserted rows at a time
    int r = last;
    while (r >= 1) {
        if (!InsertedRow(g, r, form.sheets, form.registration)) {
            --r;
            continue;
        }
        int top = r;
        while (top > 1 && InsertedRow(g, top - 1, form.sheets, form.registration)) --top;
        w.DeleteRows(top, r - top + 1);
        r = top - 1;
    }
}

A3Result FormVPA(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& attDoc,
                 const A3Options& options, const A4Parts& a4) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    const A3Geometry& g = kPurchasedProducts;
    host::Worksheet& w = *sheet;
    host::Window& win = app.ActiveWindow();
    const int firstData = g.headRows + 1;
    // 2: panes
    w.Rows(firstData).Select();
    win.FreezePanes(true);
    win.DisplayZeros(false);
    ListRowsToListHeight(w, firstData);
    // 3: binding-margin columns
    w.Columns("A:B").Insert();
    w.Columns("A:B").ApplyFormat({.horizontal = H::Center, .orientation = 90, .fontSize = 11});
    // 4, 5: field columns and the grid
    for (const char* cols : kInserted) w.Columns(cols).Insert();
    a4.columnsWidthA4();
    ColumnsWidthA3(w);
    // 6: the first sheet's lower part
    TitleFirstA3(sheet, attDoc);
    // 7, 8: head merges; line numbers and field merges of the first sheet's data rows
    for (const char* m : kHeadMerges) w.Merge(host::ParseAddress(m));
    const auto spans = FieldSpans();
    NumberAndMerge(w, spans, firstData, firstData + g.firstDataRows - 1);
    // 9: first-sheet frame
    DrawFrame(sheet, 1, {"A1:B13", "A16:B36", "C1:AS36"});
    w.Range_("C29:AA36").ApplyFormat(NoLine(host::Edge::Top));
    w.Range_("AH36:AL36").ApplyFormat(NoLine(host::Edge::Top));

    // 10: pagination, one further sheet while the first 15 of its rows hold anything
    const host::Area bottomLine{g.firstBottomLine, 1, g.firstBottomLine, host::kMaxColumns};
    int b = g.firstBottomLine;  // the selected cell's row: the last sheet's bottom line
    std::int32_t n = 1;
    w.Cells(b, 1).Select();
    for (;;) {
        const auto candidates = w.Text(host::Area{b + 1, 1, b + g.emptyRun, host::kMaxColumns});
        if (candidates && candidates->empty()) break;
        ++n;
        PageNextA3(n, sheet, b, attDoc);
        NumberAndMerge(w, spans, b + 1 + g.headRows, b + g.headRows + g.dataRows);
        DrawFrame(sheet, b, {"A18:B35", "C3:AS35"});
        w.CopyTo(bottomLine, w, b + g.sheetRows, 1);
        b += g.sheetRows;
        w.Cells(b, 1).Select();
    }

    // 11: the change-registration sheet (A4, in columns C..Z) and "Лист"
    A3Result result;
    if (n > 2 && options.pageRevi) {
        ++n;
        // The body gets rows of its own: the rows after the last sheet are only
        // known to be empty for the first 15, and a list row further down must
        // neither be merged into the table body nor lost on rollback.
        w.InsertRows(b + 1, kRegistrationBodyRows);
        w.RowHeight(b + 1, b + kRegistrationBodyRows, kRegistrationBodyHeight);
        a4.pageRevi(n, b);
        for (const char* body : kRegistrationBody) w.Merge(At(body, b));
        DrawFrame(sheet, b, {"A18:B35", "C2:Z35"});
        ApplySteps(sheet, b, RegistrationBottomLine(), attDoc);
        b += g.sheetRows;
        result.registration = true;
    }
    // "Лист" is 1 on the first sheet of every document of more than one sheet.
    if (n > 1) w.SetValue(host::Area{g.sheetNumberRow, g.sheetNumberColumn, g.sheetNumberRow, g.sheetNumberColumn}, 1.0);
    // 12
    w.SetValue(host::Area{g.sheetNumberRow, g.sheetCountColumn, g.sheetNumberRow, g.sheetCountColumn},
               static_cast<double>(n));
    result.sheets = n;
    result.rowsLeftBelow = FirstRowShowingAnything(w, b);
    // 13
    w.Rows(firstData).Show();
    // 14: print setup, each step on its own
    if (options.forPrint) {
        SetUpPrinting(app, w, kPaperA3Landscape, n, g.firstBreak, g.sheetRows);
        result.printSetUp = true;
    }
    // 15
    EndForming(app, g.zoom, options.forPrint);
    return result;
}

}  // namespace ormelin::forming
