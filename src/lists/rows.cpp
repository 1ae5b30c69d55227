// List rows: inserting a row with the list row format, and removing every row
// whose height marks it as no list row.
#include "lists/row_heights.hpp"
#include "lists/lists.hpp"

namespace ormelin::lists {

namespace {
constexpr int kNoFill = -4142;
}  // namespace

void RowInsert(const host::Range& target, int r) {
    if (r < 1) throw Error(ErrorCode::ApplicationDefined);
    target.Rows(r).Insert(host::Shift::Down);
    const host::Range row = target.Rows(r);
    row.RowHeight(kListRowHeight);
    row.Interior().ColorIndex(kNoFill);
    row.VerticalAlignment(host::VAlign::Center);
    row.Orientation(0);
    row.WrapText(false);
    const auto font = row.Font();
    font.Size(14);
    font.Underline(host::Underline::None);
    font.Bold(false);
    font.ColorIndex(0);
}

void RowDelete(const std::shared_ptr<host::Worksheet>& sheet, int n) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    if (n < 1) throw Error(ErrorCode::ApplicationDefined);
    int a = n;
    // Every deletion removes one of the rows the used range held at the start, so
    // there can be no more deletions than that: the bound keeps a host that adds
    // rows at the bottom from running the loop forever.
    int deletionsLeft = w.UsedRange().rows();
    for (;;) {
        const double h = w.RowHeight(a);
        int m = w.UsedRange().rows();
        if (m >= a && !IsListRowHeight(h)) {
            if (deletionsLeft-- <= 0) break;
            w.DeleteRows(a, 1);
            continue;
        }
        m = w.UsedRange().rows();
        ++a;
        if (m < a) break;
    }
}

}  // namespace ormelin::lists
