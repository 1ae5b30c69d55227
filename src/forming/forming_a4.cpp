// Forming an A4 document: the specification and the A4 lists (elements,
// documents on data media, operational documents). The list stays where it is:
// blank columns are inserted so that each list column becomes a field of the form,
// and frame rows are inserted between the data rows so that every sheet (its list
// rows counted by the A4 geometry) carries its frame, column heads and title block.
// Format patches below name only the fields they change; the others stay empty.

#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "forming/forming.hpp"
#include "forming/sheet_setup.hpp"
#include "forming/steps.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin::forming {

namespace {

using H = host::HAlign;
using V = host::VAlign;

// Field grid of each A4 kind: the whole columns inserted after A:B, one insertion
// after the other, which bring every list column onto the first column of its
// field; the fields (column spans merged on every data and head row); the block
// row from which a subsequent sheet's rows are merged (row 2 is the head row,
// which for some kinds already carries its merges from the copied head).
struct A4Grid {
    ksStateOfDocument state;
    const char* kindName;
    std::vector<const char*> inserted;
    std::vector<const char*> fields;
    int firstMergedBlockRow;
    bool lineNumbers;  // column C holds the line number on its sheet
};

const std::vector<A4Grid>& Grids() {
    static const std::vector<A4Grid> grids = {
        {ksSPA_OT, "", {"F:F", "H:O", "Q:U", "W:W", "Y:Z"},
         // "Формат", "Зона", "Поз.", "Обозначение", "Наименование", "Кол.", "Приме-\nчание"
         {"C:C", "D:D", "E:F", "G:O", "P:U", "V:W", "X:Z"}, 2, false},
        {ksPE_OT_1, "Перечень элементов", {"E:G", "I:T", "V:V", "X:Z"},
         // "Зона", "Поз.\nобозна-\nчение", "Наименование", "Кол.", "Примечание"
         {"C:C", "D:G", "H:T", "U:V", "W:Z"}, 3, false},
        {ksPE_OT_2, "Перечень элементов", {"D:G", "I:T", "V:V", "X:Z"},
         // "Поз.\nобозна-\nчение", "Наименование", "Кол.", "Примечание"
         {"C:G", "H:T", "U:V", "W:Z"}, 3, false},
        {ksVN_OT, "Ведомость документов на носителях данных", {"E:O", "Q:V", "X:Z"},
         // "№ строки", "Обозначение, имя файла,\nразмер ...", "Наименование", "Примечание"
         {"C:C", "D:O", "P:V", "W:Z"}, 3, true},
        {ksVE_OT, "Ведомость эксплуатационных документов", {"D:L", "N:R", "T:T", "V:V", "X:Z"},
         // "Обозначение документа", "Наименование документа", "Кол.\nэкз.,\nшт.", "№\nэкз.", "Место\nнахождения"
         {"C:L", "M:R", "S:T", "U:V", "W:Z"}, 2, false},
    };
    return grids;
}

/// The grid of a state (0 counts as the specification), or none.
const A4Grid* GridOf(std::int32_t state) {
    if (state == ksDOC_NO) state = ksSPA_OT;
    for (const A4Grid& g : Grids())
        if (g.state == state) return &g;
    return nullptr;
}

/// The fields of a grid that span several columns: the merges of every row.
std::vector<std::pair<int, int>> MergedFields(const A4Grid* grid) {
    std::vector<std::pair<int, int>> spans;
    if (!grid) return spans;
    for (const char* f : grid->fields) {
        const host::Area a = host::ParseAddress(f);
        if (a.c2 > a.c1) spans.emplace_back(a.c1, a.c2);
    }
    return spans;
}

// ------------------------------------------------------------------ the steps of FormA4

const SheetGeometry& kGeometry = kA4Portrait;

/// The binding-margin columns A:B, in front of the list.
void InsertBindingMargin(host::Worksheet& w) {
    w.Columns("A:B").Insert();
    w.Columns("A:B").ApplyFormat({.numberFormat = "General", .horizontal = H::Center, .vertical = V::Center,
                                  .orientation = 90, .fontSize = 11});
}

/// The grid's columns inserted, which bring every list column onto its field, and
/// the form's column widths.
void SpreadOverFields(host::Worksheet& w, const A4Grid* grid) {
    if (grid) InsertColumnRuns(w, grid->inserted);
    ColumnsWidthA4(w);
}

/// The first sheet's head row and list rows take the field merges; in a numbered
/// kind every list row its line number.
void MergeFirstSheetFields(host::Worksheet& w, const A4Grid* grid) {
    const auto spans = MergedFields(grid);
    const bool numbered = grid && grid->lineNumbers;
    if (numbered)
        for (int r = 2; r <= FirstSheetListEnd(kGeometry); ++r)
            w.SetValue(host::Area{r, 3, r, 3}, static_cast<double>(r - 1));
    MergeRowSpans(w, spans, 1, FirstSheetListEnd(kGeometry));
}

/// The kind's name under the product name, and the first sheet's frame.
void FinishFirstSheet(const std::shared_ptr<host::Worksheet>& sheet, const A4Grid* grid) {
    host::Worksheet& w = *sheet;
    w.RangeAt("M36").SetValue(std::string(grid ? grid->kindName : ""));
    DrawFrame(sheet, 1, {"A1:B13", "A16:B36", "C1:Z36"});
    w.RangeAt("C26:L28").ApplyFormat(NoLine(host::Edge::Top));
    w.RangeAt("M32:R36").ApplyFormat(NoLine(host::Edge::InsideHorizontal));
}

/// The block of the sheet whose previous bottom line is row b.
host::Range BlockAt(const std::shared_ptr<host::Worksheet>& sheet, int b) {
    return host::Range(sheet, host::Area{b, 1, b + kGeometry.blockRows - 1, host::kMaxColumns});
}

/// A further sheet's frame, and the first sheet's bottom line copied under it.
void CloseBlock(const std::shared_ptr<host::Worksheet>& sheet, int b) {
    const int bottom = kGeometry.firstBottomLine;
    DrawFrame(sheet, b, {"A18:B35", "C2:Z35"});
    sheet->CopyTo(host::Area{bottom, 1, bottom, host::kMaxColumns}, *sheet, b + kGeometry.sheetRows, 1);
}

/// Further sheets, one while the rows under the last bottom line hold anything
/// within a sheet's worth of list rows. Returns the sheets then and the last
/// sheet's bottom line.
std::pair<int, int> AddFurtherSheets(const std::shared_ptr<host::Worksheet>& sheet, const A4Grid* grid,
                                     const AttrDoc& record) {
    host::Worksheet& w = *sheet;
    const auto spans = MergedFields(grid);
    const bool numbered = grid && grid->lineNumbers;
    const int lastListRow = 2 + kGeometry.furtherListRows;  // block rows: bottom line, head row, list rows
    int b = kGeometry.firstBottomLine;
    int n = 1;
    w.Cells(b, 1).Select();
    for (;;) {
        const auto candidates = w.Text(host::Area{b + 1, 1, b + kGeometry.furtherListRows, host::kMaxColumns});
        if (candidates && candidates->empty()) break;
        ++n;
        PageNext(BlockAt(sheet, b), n, record);
        if (grid) MergeRowSpans(w, spans, b + grid->firstMergedBlockRow - 1, b + lastListRow - 1);
        if (numbered)
            for (int r = 3; r <= lastListRow; ++r)
                w.SetValue(host::Area{b + r - 1, 3, b + r - 1, 3}, static_cast<double>(r - 2));
        CloseBlock(sheet, b);
        b += kGeometry.sheetRows;
        w.Cells(b, 1).Select();
    }
    return {n, b};
}

/// The change-registration sheet after the last sheet's bottom line b.
void AddRegistrationSheet(const std::shared_ptr<host::Worksheet>& sheet, int b, int k, const AttrDoc& record) {
    PageRevi(BlockAt(sheet, b), k, record);
    MergeAt(*sheet, kRegistrationBody, b);
    CloseBlock(sheet, b);
}

/// "Лист" and "Листов" on the first sheet.
void WriteSheetCount(host::Worksheet& w, int n) {
    const CellAt number = kGeometry.sheetNumberCell, count = kGeometry.sheetCountCell;
    if (n > 1) w.SetValue(host::Area{number.row, number.column, number.row, number.column}, 1.0);
    w.SetValue(host::Area{count.row, count.column, count.row, count.column}, static_cast<double>(n));
}

}  // namespace

void ColumnsWidthA4(host::Worksheet& w) { ColumnWidthsOf(w, kA4Portrait, 1); }

int A4ColumnOf(std::int32_t listState, int listColumn) {
    int column = listColumn + 2;  // after the binding-margin columns
    if (const A4Grid* grid = GridOf(listState))
        for (const char* run : grid->inserted) {
            const host::Area a = host::ParseAddress(run);
            if (column >= a.c1) column += a.columns();
        }
    return column;
}

bool IsA4Kind(std::int32_t state) {
    return GridOf(state) != nullptr;
}

FormResult FormA4(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, std::int32_t state,
                  const AttrDoc& record, const FormOptions& options) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    const A4Grid* grid = GridOf(state);

    PrepareWindow(app, w, kGeometry);
    ListRowsToListHeight(w, kGeometry.headRows + 1);
    InsertBindingMargin(w);
    SpreadOverFields(w, grid);
    TitleFirst(sheet, record);
    MergeFirstSheetFields(w, grid);
    FinishFirstSheet(sheet, grid);

    FormResult result;
    result.geometry = &kGeometry;
    auto [n, b] = AddFurtherSheets(sheet, grid, record);
    if (n > 2 && options.pageRevi) {
        ++n;
        AddRegistrationSheet(sheet, b, n, record);
        result.registrationSheet = true;
    }
    WriteSheetCount(w, n);
    w.Rows(2).Show();
    result.sheetCount = n;

    if (options.forPrint) {
        SetUpPrinting(app, w, kGeometry, n);
        result.printSetupApplied = true;
    }
    EndForming(app, kGeometry, options.forPrint);
    result.rowsLeftBelow = RowsLeftBelow(w, n, kGeometry);
    return result;
}

std::optional<long long> SheetCountOf(const host::Worksheet& w, const SheetGeometry& g) {
    const host::CellContent count = w.Content(g.sheetCountCell.row, g.sheetCountCell.column);
    const auto* sheets = std::get_if<double>(&count.value);
    if (!sheets || !(*sheets >= 1) || *sheets > 1e9) return std::nullopt;
    return static_cast<long long>(*sheets);
}

std::optional<int> RowsLeftBelow(const host::Worksheet& w, long long sheetCount, const SheetGeometry& g) {
    if (sheetCount < 1) return std::nullopt;
    const long long lastBottom = g.firstBottomLine + static_cast<long long>(g.sheetRows) * (sheetCount - 1);
    const host::Area used = w.UsedRange();
    for (long long r = lastBottom + 1; r <= used.r2; ++r)
        for (int c = 1; c <= used.c2; ++c)
            if (!w.CellText(static_cast<int>(r), c).empty()) return static_cast<int>(r);
    return std::nullopt;
}

std::optional<int> RowsLeftBelow(const host::Worksheet& w, const SheetGeometry& g) {
    const auto count = SheetCountOf(w, g);
    if (!count) return std::nullopt;
    return RowsLeftBelow(w, *count, g);
}

}  // namespace ormelin::forming
