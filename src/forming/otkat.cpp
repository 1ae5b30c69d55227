// Rollback: a formed document goes back to its list. Frames and merges are
// removed, the binding-margin columns deleted, every row that forming inserted
// (any row of another height than a list row's; on the list of purchased
// products the rows its geometry says forming inserted) deleted, the columns
// that are then empty deleted, and the list layout of the kind applied again with
// its rollback flag. The list data cells are never rewritten.
#include <optional>
#include <string>

#include "forming/rollback.hpp"
#include "lists/lists.hpp"
#include "recognition/recognition.hpp"

namespace ormelin::forming {

namespace {

// The execution numbers the group specification's list carries under
// "Кол. на исполн.", by their distance from its first column.
struct Execution {
    int offset;
    const char* text;
};
constexpr Execution kExecutions[] = {
    {0, "-"}, {1, "01"}, {2, "02"}, {4, "03"}, {5, "04"}, {6, "05"}, {7, "06"}, {8, "07"}, {10, "08"}, {12, "09"},
};
constexpr int kWhite = 2;

/// The first cell of a row whose displayed text contains the text; Error(ObjectRequired)
/// when there is none.
host::Range FindInRow(const std::shared_ptr<host::Worksheet>& sheet, int row, const std::string& text) {
    const int last = sheet->UsedRange().c2;
    for (int c = 1; c <= last; ++c)
        if (sheet->CellText(row, c).find(text) != std::string::npos) return sheet->Cells(row, c);
    throw Error(ErrorCode::ObjectRequired, "\"" + text + "\" not found in row " + std::to_string(row));
}

}  // namespace

namespace {

/// The window shows the sheet plainly: normal view, gridlines, no frozen panes.
host::Window& PlainWindow(host::Worksheet& w, host::Application& app) {
    w.Activate();
    host::Window& win = app.ActiveWindow();
    win.View(host::ViewMode::Normal);
    win.DisplayGridlines(true);
    win.FreezePanes(false);
    w.DisplayAutomaticPageBreaks(false);
    return win;
}

/// The group specification's form columns and header rows give way to its list
/// head: the empty column A, the two rows above the head; the execution numbers
/// under "Кол. на исполн." written back in white where empty; the code column.
void RemoveGroupFormColumns(const std::shared_ptr<host::Worksheet>& sheet) {
    host::Worksheet& w = *sheet;
    const auto column = w.Text(host::ParseAddress("A1:A27"));
    if (column && column->empty()) w.Columns("A:A").Delete();
    w.Rows("1:2").Delete();
    w.Rows("3:4").Insert();
    w.CopyTo(host::ParseAddress("15:16"), w, 3, 1);
    const host::Range base = FindInRow(sheet, 1, "Кол. на исполн.").Offset(1, 0);
    for (const Execution& e : kExecutions) {
        const host::Range cell = base.Offset(0, e.offset);
        if (w.CellText(cell.Row(), cell.Column()).empty()) {
            cell.Value_(std::string(e.text));
            cell.Font().ColorIndex(kWhite);
        }
    }
    FindInRow(sheet, 4, "Код").EntireColumn().Delete();
}

/// The columns left empty, from right to left.
void DeleteEmptyColumns(host::Worksheet& w) {
    for (int c = w.UsedRange().c2; c >= 1; --c) {
        const host::Range column = w.Columns(c);
        column.Select();
        const auto text = w.Text(column.area());
        if (text && text->empty()) w.DeleteColumns(c, 1);
    }
}

}  // namespace

bool RollBack(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const lists::ReportFn& report) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    const std::int32_t formed = recognition::StateOf(w);
    if (!IsFormedState(formed)) return false;

    host::Window& win = PlainWindow(w, app);
    // ---- list of purchased products: its inserted rows are found by its geometry
    // (its sheet count, and whether its last sheet is the change-registration
    // sheet), so that list rows whose height another program rounded stay.
    std::optional<FormedSheets> byGeometry;
    if (formed == ksVPA_OF) byGeometry = FormedSheetsOf(w, kPurchasedProducts);
    // ---- end
    const host::Range all = w.Cells();
    all.Borders().LineStyle(host::LineStyle::None);
    all.MergeCells(false);
    const int firstDataRow = FirstDataRow(KindOf(formed));
    if (formed == ksSPB_OF)
        RemoveGroupFormColumns(sheet);
    else
        w.Columns("A:B").Delete();
    if (byGeometry)
        DeleteInsertedRows(w, kPurchasedProducts, *byGeometry);
    else
        lists::RowDelete(sheet, firstDataRow);
    DeleteEmptyColumns(w);

    // The list head again, by the list the sheet now holds.
    const std::int32_t list = recognition::StateOf(w);
    if (const auto layout = lists::LayoutOfList(list)) lists::ColumnsWidthAndHead(sheet, *layout, true, report);
    if (list == ksVPA_OT) win.Zoom(kPurchasedProducts.zoom);

    w.Rows(firstDataRow).Select();
    win.FreezePanes(true);
    w.Range_("A1").Select();
    return true;
}

}  // namespace ormelin::forming
