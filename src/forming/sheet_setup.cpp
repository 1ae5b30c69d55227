#include "forming/sheet_setup.hpp"

#include <vector>

#include "ormelin/errors.hpp"

namespace ormelin::forming {

void Try(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        // The print setup goes on without the step (no printer, say).
    }
}

void ColumnWidthsOf(host::Worksheet& w, const SheetGeometry& g, int from) {
    if (!g.widths) return;
    for (int c = from; c <= g.columns; ++c) w.ColumnWidth(c, c, g.widths[c - 1]);
}

void PrepareWindow(host::Application& app, host::Worksheet& w, const SheetGeometry& g) {
    app.ScreenUpdating(true);
    app.ScreenUpdating(false);
    host::Window& win = app.ActiveWindow();
    w.Rows(g.headRows + 1).Select();
    win.FreezePanes(true);
    win.DisplayZeros(false);
}

void ListRowsToListHeight(host::Worksheet& w, int firstDataRow) {
    const int last = w.UsedRange().r2;
    int runStart = 0;
    auto flush = [&](int r) {
        if (runStart) w.RowHeight(runStart, r - 1, kListRowHeight);
        runStart = 0;
    };
    for (int r = firstDataRow; r <= last; ++r) {
        const double h = w.RowHeight(r);
        if (h != 0 && h != kListRowHeight) {
            if (!runStart) runStart = r;
        } else {
            flush(r);
        }
    }
    flush(last + 1);
}

namespace {

/// Moves the manual horizontal page breaks the sheet had (in their order) to
/// begin at the given rows; when it had fewer, new ones are added.
void MoveHPageBreaks(host::Worksheet& w, const std::vector<int>& rows) {
    std::vector<int> old;
    Try([&] { old = w.HPageBreaks(); });
    for (std::size_t k = 0; k < rows.size(); ++k)
        Try([&] {
            if (k < old.size()) w.RemoveHPageBreak(old[k]);
            w.AddHPageBreak(rows[k]);
        });
}

}  // namespace

void SetUpPrinting(host::Application& app, host::Worksheet& w, const SheetGeometry& g, int sheets) {
    host::Window& win = app.ActiveWindow();
    host::PageSetup& page = w.Page();
    const double none = app.CentimetersToPoints(0);
    Try([&] { page.printArea = g.printArea; });
    Try([&] { page.leftMargin = none; });
    Try([&] { page.rightMargin = none; });
    Try([&] { page.topMargin = none; });
    Try([&] { page.bottomMargin = none; });
    Try([&] { page.centerHorizontally = true; });
    Try([&] { page.centerVertically = true; });
    Try([&] { page.orientation = g.landscape ? host::PageOrientation::Landscape : host::PageOrientation::Portrait; });
    Try([&] { page.paperSize = g.paperSize; });
    Try([&] { page.zoom = g.printZoom; });
    Try([&] { win.DisplayGridlines(false); });
    Try([&] { win.View(host::ViewMode::PageBreakPreview); });
    if (sheets == 1 && !g.singleSheetBreak) {
        Try([&] {
            const std::vector<int> breaks = w.HPageBreaks();
            if (breaks.empty()) throw Error(ErrorCode::SubscriptOutOfRange);
            w.RemoveHPageBreak(breaks.front());
        });
    } else {
        std::vector<int> rows;
        for (int k = 1; k <= sheets; ++k) rows.push_back(FirstRowOf(g, k + 1));
        MoveHPageBreaks(w, rows);
    }
}

void EndForming(host::Application& app, const SheetGeometry& g, bool tolerant) {
    if (tolerant) {
        Try([&] { app.ActiveWindow().Zoom(g.zoom); });
        Try([&] { app.ScreenUpdating(true); });
    } else {
        app.ActiveWindow().Zoom(g.zoom);
        app.ScreenUpdating(true);
    }
}

}  // namespace ormelin::forming
