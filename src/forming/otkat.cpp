// Rollback: a formed document goes back to its list. Frames and merges are
// removed, the binding-margin columns deleted, every row that forming inserted
// (any row of another height than the list rows' 26 points) deleted, the columns
// that are then empty deleted, and the list layout of the kind applied again with
// its rollback flag. The list data cells are never rewritten.
// Format patches below name only the fields they change; the others stay empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <string>

#include "core/frame.hpp"
#include "forming/forming_a3.hpp"
#include "lists/layout.hpp"

namespace ormelin {

namespace {

using H = host::HAlign;
using V = host::VAlign;

// The list of elements without the zone column: the layout of the list of
// elements one column to the left, as rollback redraws its head.
const std::vector<lists::Step>& PeWithoutZoneLayout() {
    static const std::vector<lists::Step> steps = {
        {.range = "A:A", .width = 11, .format = {.shrink = true}},
        {.range = "B:B", .width = 57, .format = {.shrink = false}, .listFormat = {.horizontal = H::Left}},
        {.range = "C:C", .width = 5, .format = {.horizontal = H::Center}},
        {.range = "D:D", .width = 14.7, .format = {.shrink = true}},
        {.range = "E:E", .width = 7},
        {.range = "E1", .link = lists::Link::Plain},
        {.range = "A1", .format = {.wrap = true, .fontSize = 11}},
        {.range = "A1:E1", .values = {"Поз.\nобозна-\nчение", "Наименование", "Кол.", "Примечание", "список"}},
        {.range = "A1:E1", .format = {.horizontal = H::Center, .vertical = V::Center}},
        {.range = "2:2", .select = true},
    };
    return steps;
}

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

void Kalvora::Otkat(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
    ws_ = oWorksheet;
    // A sheet that holds no formed document (no document, or a list) stays as it is.
    if (!IsFormedState(StateOfDocument(oWorksheet))) {
        ws_.reset();
        return;
    }
    const auto sheet = ws_;
    host::Worksheet& w = *sheet;
    // 1: window and sheet
    w.Activate();
    host::Window& win = app_.ActiveWindow();
    win.View(host::ViewMode::Normal);
    win.DisplayGridlines(true);
    win.FreezePanes(false);
    w.DisplayAutomaticPageBreaks(false);
    // 2: frames and merges
    const std::int32_t s0 = StateOfDocument(oWorksheet);
    // The A3 form says where its inserted rows are: its sheet count, and whether
    // its last sheet is the change-registration sheet.
    std::optional<forming::A3Form> a3;
    if (s0 == ksVPA_OF) a3 = forming::FormOf(w, forming::kPurchasedProducts);
    const host::Range all = w.Cells();
    all.Borders().LineStyle(host::LineStyle::None);
    all.MergeCells(false);
    // 3
    const int n = FirstDataRow(KindOf(s0));
    // 4: the form's own columns and the group specification's header rows
    if (s0 == ksSPB_OF) {
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
    } else {
        w.Columns("A:B").Delete();
    }
    // 5: frame rows; those of the A3 form by its geometry, so that list rows whose
    // height another program rounded stay
    if (a3)
        forming::DeleteInsertedRows(w, forming::kPurchasedProducts, *a3);
    else
        RowDelete(n);
    // 6: columns left empty, from right to left
    for (int c = w.UsedRange().c2; c >= 1; --c) {
        const host::Range column = w.Columns(c);
        column.Select();
        const auto text = w.Text(column.area());
        if (text && text->empty()) w.DeleteColumns(c, 1);
    }
    // 7: the list head again
    switch (StateOfDocument(oWorksheet)) {
        case ksSPA_OT: SPA_ColumnsWidthAndHead(true); break;
        case ksSPB_OT: SPB_ColumnsWidthAndHead(true); break;
        case ksPE_OT_1: PE_ColumnsWidthAndHead(true); break;
        case ksPE_OT_2:
            // The list without the zone column keeps its own head: the layout with
            // the zone column would give its columns the heads of their neighbours.
            ReportAndContinue("PE_ColumnsWidthAndHead",
                              [&] { lists::ApplyLayout(ws_, PeWithoutZoneLayout(), true); });
            break;
        case ksVPA_OT:
            VPA_ColumnsWidthAndHead(true);
            win.Zoom(75);
            break;
        case ksVN_OT: VN_ColumnsWidthAndHead(true); break;
        case ksVE_OT: VE_ColumnsWidthAndHead(true); break;
        default: break;
    }
    // 8
    w.Rows(n).Select();
    win.FreezePanes(true);
    w.Range_("A1").Select();
    ws_.reset();
}

}  // namespace ormelin
