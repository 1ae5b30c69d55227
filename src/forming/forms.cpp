// The form table: which forming lays out the list of each form. The kind table
// (state.hpp) gives every list state its form.
#include "forming/forming.hpp"
#include "forming/forming_spb.hpp"

namespace ormelin::forming {

FormResult FormList(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, FormId form,
                    std::int32_t state, const AttrDoc& record, const FormOptions& options) {
    switch (form) {
        case FormId::A4Portrait: return FormA4(app, sheet, state, record, options);
        case FormId::A4LandscapeGroup: return FormSPB(app, sheet, record, options);
        case FormId::A3PurchasedProducts: return FormA3(app, sheet, record, options);
        case FormId::None: break;
    }
    return {};
}

}  // namespace ormelin::forming
