// Sheet preparation and blank dispatch: a worksheet is wiped, given the base list
// format, and the list layout of the chosen kind is drawn under frozen panes.
// Format patches below name only the fields they change; the others stay empty.

#include "lists/row_heights.hpp"
#include "lists/lists.hpp"

namespace ormelin::lists {

namespace {

// The base list format every row of a list sheet keeps.
host::FormatPatch BaseListFormat() {
    host::FormatPatch p{
        .numberFormat = "General",
        .horizontal = host::HAlign::Center,
        .vertical = host::VAlign::Center,
        .orientation = 0,
        .wrap = false,
        .fontName = "ISOCPEUR",
        .fontSize = 14,
        .bold = false,
        .italic = true,
        .underline = host::Underline::None,
        .fontColor = host::Color::Rgb(0),
    };
    for (auto& b : p.borders) b.style = host::LineStyle::None;
    return p;
}

}  // namespace

void SheetPrepare(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    w.Activate();
    const host::Range all = w.Cells();
    all.Clear();
    all.ApplyFormat(BaseListFormat());
    all.RowHeight(kListRowHeight);
    all.MergeCells(false);
    const host::Range head = w.Rows(1);
    head.RowHeight(kHeadRowHeight);
    head.Font().Size(14);
    app.ActiveWindow().DisplayZeros(false);
    w.RangeAt("A1").Select();
}

void DocumentBlank(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, ksStateOfDocument kssod,
                   const ReportFn& report) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    w.Activate();
    app.ScreenUpdating(false);
    app.ActiveWindow().View(host::ViewMode::Normal);
    app.ActiveWindow().FreezePanes(false);
    SheetPrepare(app, sheet);

    // The kind table says which layout the code draws, above which row the panes
    // freeze, and the font size the whole sheet takes first.
    const kinds::StateEntry& entry = StateEntryOf(kssod);
    if (entry.blankLayout != Layout::None) {
        if (entry.blankFontSize > 0) w.Cells().Font().Size(entry.blankFontSize);
        ColumnsWidthAndHead(sheet, entry.blankLayout, false, report);
        w.Rows(entry.freezeAbove).Select();
    }
    app.ActiveWindow().FreezePanes(true);
    app.ScreenUpdating(true);
}

}  // namespace ormelin::lists
