// Public methods whose behaviour is not in the library yet: each answers
// NotImplemented. An entry leaves this file when its method is built.
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

bool Kalvora::FormingVPA(WorksheetRef&, bool&, bool&) {
    CallFrame frame(*this);
    NotBuilt("FormingVPA");
}

void Kalvora::FindSPIS(WorkbookRef&) {
    CallFrame frame(*this);
    NotBuilt("FindSPIS");
}

std::int32_t Kalvora::DocumIsForm(WorksheetRef, std::int32_t*) {
    CallFrame frame(*this);
    NotBuilt("DocumIsForm");
}

std::optional<host::Range> Kalvora::CellSpis(WorksheetRef&) {
    CallFrame frame(*this);
    NotBuilt("CellSpis");
}

void Kalvora::AttribsToSPIS(AttrDocRef&, WorksheetRef&) {
    CallFrame frame(*this);
    NotBuilt("AttribsToSPIS");
}

void Kalvora::AttribsFromSPIS(AttrDocRef&, WorksheetRef&) {
    CallFrame frame(*this);
    NotBuilt("AttribsFromSPIS");
}

void Kalvora::AttribsRefFromSPIS(WorksheetRef&) {
    CallFrame frame(*this);
    NotBuilt("AttribsRefFromSPIS");
}

bool Kalvora::DocumentIsNew(WorksheetRef&) {
    CallFrame frame(*this);
    NotBuilt("DocumentIsNew");
}

bool Kalvora::DocumentIsDelete(WorksheetRef&) {
    CallFrame frame(*this);
    NotBuilt("DocumentIsDelete");
}

}  // namespace ormelin
