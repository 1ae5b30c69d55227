#include "forming/print_setup.hpp"

#include <vector>

#include "forming/steps.hpp"
#include "ormelin/errors.hpp"

namespace ormelin::forming {

void Try(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        // The print setup goes on without the step (no printer, say).
    }
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

void SetUpPrinting(host::Application& app, host::Worksheet& w, const Paper& paper, int sheets, int firstBreak,
                   int sheetRows) {
    const double none = app.CentimetersToPoints(0);
    Try([&] { w.Page().printArea = paper.printArea; });
    Try([&] { w.Page().leftMargin = none; });
    Try([&] { w.Page().rightMargin = none; });
    Try([&] { w.Page().topMargin = none; });
    Try([&] { w.Page().bottomMargin = none; });
    Try([&] { w.Page().centerHorizontally = true; });
    Try([&] { w.Page().centerVertically = true; });
    Try([&] { w.Page().orientation = paper.orientation; });
    Try([&] { w.Page().paperSize = paper.paperSize; });
    Try([&] { w.Page().zoom = 100; });
    Try([&] { app.ActiveWindow().DisplayGridlines(false); });
    Try([&] { app.ActiveWindow().View(host::ViewMode::PageBreakPreview); });
    if (sheets == 1) {
        Try([&] {
            const std::vector<int> breaks = w.HPageBreaks();
            if (breaks.empty()) throw Error(ErrorCode::SubscriptOutOfRange);
            w.RemoveHPageBreak(breaks.front());
        });
    } else {
        std::vector<int> rows;
        for (int k = 1; k <= sheets; ++k) rows.push_back(sheetRows * (k - 1) + firstBreak);
        MoveHPageBreaks(w, rows);
    }
}

void EndForming(host::Application& app, int zoom, bool tolerant) {
    if (tolerant) {
        Try([&] { app.ActiveWindow().Zoom(zoom); });
        Try([&] { app.ScreenUpdating(true); });
    } else {
        app.ActiveWindow().Zoom(zoom);
        app.ScreenUpdating(true);
    }
}

}  // namespace ormelin::forming
