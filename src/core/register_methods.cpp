// The public methods over the register, the attribute transfers and the
// document lifecycle: each opens its call frame and calls the typed service.
#include "core/frame.hpp"

namespace ormelin {

void Kalvora::FindSPIS(WorkbookRef& oWorkBook) {
    CallFrame frame(*this);
    docs_.FindRegister(oWorkBook);  // reports its own failures
}

std::optional<host::Range> Kalvora::CellSpis(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    return docs_.RegisterCell(oWorksheet);
}

void Kalvora::AttribsToSPIS(AttrDocRef& attDoc, WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    docs_.ToRegister(attDoc, oWorksheet);
}

void Kalvora::AttribsFromSPIS(AttrDocRef& attDoc, WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    docs_.FromRegister(attDoc, oWorksheet);
}

void Kalvora::AttribsRefFromSPIS(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    docs_.ReferenceRecord(oWorksheet);
}

bool Kalvora::DocumentIsNew(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    return docs_.NewDocument(oWorksheet);
}

bool Kalvora::DocumentIsDelete(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    return docs_.DeleteDocument(oWorksheet);
}

}  // namespace ormelin
