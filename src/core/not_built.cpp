// Public methods whose behaviour is not in the library yet: each answers
// NotImplemented. An entry leaves this file when its method is built in its own
// folder (src/forming, src/attributes, src/recognition), where it opens with
// `CallFrame frame(*this);` like every public method (core/frame.hpp); its slot in
// the dispatch table (dispatch.cpp) stays as it is.
#include "core/frame.hpp"

namespace ormelin {

namespace {
[[noreturn]] void NotBuilt(const char* name) {
    throw Error(ErrorCode::NotImplemented, std::string(name) + ": not implemented");
}
}  // namespace

void Kalvora::FormingSPB(WorksheetRef&, bool&, bool&) {
    CallFrame frame(*this);
    NotBuilt("FormingSPB");
}

}  // namespace ormelin
