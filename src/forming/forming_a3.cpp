// Forming the list of purchased products into A3 landscape sheets. The list stays
// where it is: blank columns are inserted so that each list column becomes a
// field of the form, and frame rows are inserted between the data rows so that
// every sheet (its list rows counted by kPurchasedProducts) carries its frame,
// its two column-head rows and its title block. The line-number column is the
// form's own: it is rewritten on every sheet.
// Format patches below name only the fields they change; the others stay empty.

#include <string>
#include <utility>
#include <vector>

#include "forming/forming.hpp"
#include "forming/sheet_setup.hpp"
#include "forming/steps.hpp"

namespace ormelin::forming {

namespace {

using H = host::HAlign;

const SheetGeometry& kGeometry = kPurchasedProducts;

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
    for (int r = r1; r <= r2; ++r) w.SetValue(host::Area{r, 3, r, 3}, static_cast<double>(r - r1 + 1));
    MergeRowSpans(w, spans, r1, r2);
}

/// The block of the sheet whose previous bottom line is row b.
host::Range BlockAt(const std::shared_ptr<host::Worksheet>& sheet, int b) {
    return host::Range(sheet, host::Area{b, 1, b + kGeometry.blockRows - 1, host::kMaxColumns});
}

/// The binding-margin columns, the field columns, the column widths.
void SpreadOverFields(host::Worksheet& w) {
    w.Columns("A:B").Insert();
    w.Columns("A:B").ApplyFormat({.horizontal = H::Center, .orientation = 90, .fontSize = 11});
    InsertColumnRuns(w, kInserted);
    ColumnsWidthA4(w);
    ColumnsWidthA3(w);
}

/// The first sheet: title block, head merges, line numbers and field merges of
/// its list rows, frame.
void FormFirstSheet(const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& record,
                    const std::vector<std::pair<int, int>>& spans) {
    host::Worksheet& w = *sheet;
    TitleFirstA3(sheet, record);
    MergeAt(w, kHeadMerges, 1);
    NumberAndMerge(w, spans, kGeometry.headRows + 1, FirstSheetListEnd(kGeometry));
    DrawFrame(sheet, 1, {"A1:B13", "A16:B36", "C1:AS36"});
    w.RangeAt("C29:AA36").ApplyFormat(NoLine(host::Edge::Top));
    w.RangeAt("AH36:AL36").ApplyFormat(NoLine(host::Edge::Top));
}

/// Further sheets, one while the first rows under the last bottom line (the
/// form's empty run) hold anything. Returns the sheets then and the last sheet's
/// bottom line.
std::pair<int, int> AddFurtherSheets(const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& record,
                                     const std::vector<std::pair<int, int>>& spans) {
    host::Worksheet& w = *sheet;
    const host::Area bottomLine{kGeometry.firstBottomLine, 1, kGeometry.firstBottomLine, host::kMaxColumns};
    int b = kGeometry.firstBottomLine;
    int n = 1;
    w.Cells(b, 1).Select();
    for (;;) {
        const auto candidates = w.Text(host::Area{b + 1, 1, b + EmptyRunOf(kGeometry), host::kMaxColumns});
        if (candidates && candidates->empty()) break;
        ++n;
        PageNextA3(BlockAt(sheet, b), n, record);
        NumberAndMerge(w, spans, b + 1 + kGeometry.headRows, b + kGeometry.headRows + kGeometry.furtherListRows);
        DrawFrame(sheet, b, {"A18:B35", "C3:AS35"});
        w.CopyTo(bottomLine, w, b + kGeometry.sheetRows, 1);
        b += kGeometry.sheetRows;
        w.Cells(b, 1).Select();
    }
    return {n, b};
}

/// The change-registration sheet (A4, in columns C..Z) after the last sheet's
/// bottom line b. The body gets rows of its own: the rows after the last sheet
/// are only known to be empty for the form's empty run, and a list row further
/// down must neither be merged into the table body nor lost on rollback.
void AddRegistrationSheet(const std::shared_ptr<host::Worksheet>& sheet, int b, int k, const AttrDoc& record) {
    host::Worksheet& w = *sheet;
    w.InsertRows(b + 1, kRegistrationBodyRows);
    w.RowHeight(b + 1, b + kRegistrationBodyRows, kRegistrationBodyHeight);
    PageRevi(BlockAt(sheet, b), k, record);
    MergeAt(w, kRegistrationBody, b);
    DrawFrame(sheet, b, {"A18:B35", "C2:Z35"});
    ApplySteps(sheet, b, RegistrationBottomLine(), record);
}

/// "Лист" (1 on the first sheet of a document of more than one sheet) and "Листов".
void WriteSheetCount(host::Worksheet& w, int n) {
    const CellAt number = kGeometry.sheetNumberCell, count = kGeometry.sheetCountCell;
    if (n > 1) w.SetValue(host::Area{number.row, number.column, number.row, number.column}, 1.0);
    w.SetValue(host::Area{count.row, count.column, count.row, count.column}, static_cast<double>(n));
}

}  // namespace

int A3ColumnOf(int listColumn) {
    int column = listColumn + 2;  // after the binding-margin columns
    for (const char* run : kInserted) {
        const host::Area a = host::ParseAddress(run);
        if (column >= a.c1) column += a.columns();
    }
    return column;
}

void ColumnsWidthA3(host::Worksheet& w) { ColumnWidthsOf(w, kPurchasedProducts, kA4Portrait.columns + 1); }

FormResult FormA3(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& record,
                  const FormOptions& options) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    PrepareWindow(app, w, kGeometry);
    ListRowsToListHeight(w, kGeometry.headRows + 1);
    SpreadOverFields(w);
    const auto spans = FieldSpans();
    FormFirstSheet(sheet, record, spans);

    FormResult result;
    result.geometry = &kGeometry;
    auto [n, b] = AddFurtherSheets(sheet, record, spans);
    if (n > 2 && options.pageRevi) {
        ++n;
        AddRegistrationSheet(sheet, b, n, record);
        result.registrationSheet = true;
    }
    WriteSheetCount(w, n);
    result.sheetCount = n;
    w.Rows(kGeometry.headRows + 1).Show();
    if (options.forPrint) {
        SetUpPrinting(app, w, kGeometry, n);
        result.printSetupApplied = true;
    }
    EndForming(app, kGeometry, options.forPrint);
    result.rowsLeftBelow = RowsLeftBelow(w, n, kGeometry);
    return result;
}

}  // namespace ormelin::forming
