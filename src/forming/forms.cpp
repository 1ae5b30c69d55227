// The form table: which forming lays out the list of each form. The kind table
// (state.hpp) gives every list state its form.
#include "forming/forming.hpp"
#include "forming/forming_spb.hpp"
#include "forming/keep_together.hpp"

namespace ormelin::forming {

FormResult FormList(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, FormId form,
                    std::int32_t state, const AttrDoc& record, const FormOptions& options) {
    KeepResult kept;
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
