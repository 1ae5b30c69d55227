// The form table: which forming lays out the list of each form. The kind table
// (state.hpp) gives every list state its form.
#include "forming/forming.hpp"
#include "forming/forming_spb.hpp"
#include "forming/keep_together.hpp"

#include <cmath>

namespace ormelin::forming {

namespace {

/// A number of three or more characters as it shows (100, 0,25) in a position
/// or quantity field of the list gets shrink-to-fit: the fields are two or three
/// digits wide, and a number that does not fit prints as "###". The numbers
/// that fit keep their format.
void NumbersToFit(host::Worksheet& w, std::int32_t state) {
    if (state == ksDOC_NO) state = ksSPA_OT;
    const lists::EntryColumns& columns = lists::EntryColumnsOf(StateEntryOf(state).listLayout);
    const int first = FirstDataRow(KindOf(state)), last = w.UsedRange().r2;
    for (const int c : columns.numbers) {
        int runFrom = 0;
        const auto flush = [&](int r) {
            if (runFrom) w.Format(host::Area{runFrom, c, r - 1, c}, host::FormatPatch{.shrink = true});
            runFrom = 0;
        };
        for (int r = first; r <= last; ++r) {
            const host::CellContent content = w.Content(r, c);
            const auto* x = std::get_if<double>(&content.value);
            const bool wide = x && (std::fabs(*x) >= 100 || *x != std::floor(*x) || *x <= -10) &&
                              !w.CellStyle(r, c).shrink && w.CellText(r, c).size() >= 3;
            if (wide && !runFrom) runFrom = r;
            if (!wide) flush(r);
        }
        flush(last + 1);
    }
}

}  // namespace

FormResult FormList(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, FormId form,
                    std::int32_t state, const AttrDoc& record, const FormOptions& options) {
    KeepResult kept;
    if (sheet && form != FormId::None) NumbersToFit(*sheet, state);
    if (options.keepTogether && sheet && form != FormId::None)
        kept = KeepEntriesTogether(*sheet, state, *GeometryOf(form));
    FormResult result;
    switch (form) {
        case FormId::A4Portrait: result = FormA4(app, sheet, state, record, options); break;
        case FormId::A4LandscapeGroup: result = FormSPB(app, sheet, record, options); break;
        case FormId::A3PurchasedProducts: result = FormA3(app, sheet, record, options); break;
        case FormId::None: break;
    }
    result.paddingRows = kept.paddingRows;
    result.entriesSplit = kept.entriesSplit;
    result.splitEntryRows = kept.splitEntryRows;
    return result;
}

int FormedColumnOf(std::int32_t listState, int listColumn) {
    switch (StateEntryOf(listState == ksDOC_NO ? ksSPA_OT : listState).form) {
        case FormId::A4Portrait: return A4ColumnOf(listState, listColumn);
        case FormId::A4LandscapeGroup: return SpbColumnOf(listColumn);
        case FormId::A3PurchasedProducts: return A3ColumnOf(listColumn);
        case FormId::None: break;
    }
    return listColumn;
}

}  // namespace ormelin::forming
