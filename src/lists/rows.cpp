// List rows: inserting a row with the list row format, and removing every row
// whose height marks it as no list row.
#include <cmath>

#include "core/frame.hpp"

namespace ormelin {

namespace {
constexpr double kListRowHeight = 26;
constexpr double kHeightTolerance = 0.4;
constexpr int kNoFill = -4142;
}  // namespace

void Kalvora::RowInsert(WorksheetRef& oWorksheet, std::int16_t r, std::optional<host::Range>& rang) {
    CallFrame frame(*this);
    std::optional<host::Range> target = rang;
    if (!target) {
        if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
        target = oWorksheet->Cells();
    }
    if (r < 1) throw Error(ErrorCode::ApplicationDefined);
    target->Rows(r).Insert(host::Shift::Down);
    const host::Range row = target->Rows(r);
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

void Kalvora::RowInsert(WorksheetRef& oWorksheet, std::int16_t r) {
    std::optional<host::Range> none;
    RowInsert(oWorksheet, r, none);
}

void Kalvora::RowDelete(std::int32_t n) {
    host::Worksheet& w = Sheet();
    if (n < 1) throw Error(ErrorCode::ApplicationDefined);
    int a = n;
    // Every deletion removes one of the rows the used range held at the start, so
    // there can be no more deletions than that: the bound keeps a host that adds
    // rows at the bottom from running the loop forever.
    int deletionsLeft = w.UsedRange().rows();
    for (;;) {
        const double h = w.RowHeight(a);
        int m = w.UsedRange().rows();
        if (m >= a && std::abs(h - kListRowHeight) > kHeightTolerance && h != 0) {
            if (deletionsLeft-- <= 0) break;
            w.DeleteRows(a, 1);
            continue;
        }
        m = w.UsedRange().rows();
        ++a;
        if (m < a) break;
    }
}

}  // namespace ormelin
