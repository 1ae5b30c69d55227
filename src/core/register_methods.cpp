// The public methods over the register, transfer and lifecycle modules: each
// opens its call frame, resolves the worksheet it works on (the current one when
// it takes none), calls its module, and keeps what the instance keeps between
// calls (the register sheet, its column map and the register row found last).
#include "attributes/lifecycle.hpp"
#include "attributes/register.hpp"
#include "attributes/transfer.hpp"
#include "core/frame.hpp"

namespace ormelin {

// ------------------------------------------------------------------ register

void Kalvora::FindSPIS(WorkbookRef& oWorkBook) {
    CallFrame frame(*this);
    spis::FindSPIS(app_, oWorkBook);  // reports its own failures
}

std::optional<host::Range> Kalvora::FindRowSPIS(WorksheetRef& oWorksheet, bool bCreate, bool& bSpisExists) {
    if (oWorksheet)
        ws_ = oWorksheet;
    else
        oWorksheet = ws_;
    spis::RowLookup found = spis::FindRow(app_, oWorksheet.get(), bCreate);
    wsSpis_ = std::move(found.reg.sheet);
    colSpis_ = found.reg.columns;
    bSpisExists = wsSpis_ != nullptr;
    return found.row;
}

std::optional<host::Range> Kalvora::CellSpis(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, true, exists);
    if (!rowSpis_) return std::nullopt;
    return spis::SheetCell(spis::Register{wsSpis_, colSpis_}, *rowSpis_);
}

// ------------------------------------------------------------------ transfer

void Kalvora::AttribsToSPIS(AttrDocRef& attDoc, WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, true, exists);
    if (!exists) return;  // no register: nothing to write to
    if (!rowSpis_ || !ws_ || !attDoc) throw Error(ErrorCode::ObjectRequired);
    spis::AttribsToSPIS(spis::Register{wsSpis_, colSpis_}, rowSpis_->Row(), *ws_, *attDoc);
}

void Kalvora::AttribsFromSPIS(AttrDocRef& attDoc, WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    if (!attDoc) throw Error(ErrorCode::ObjectRequired);
    attDoc->Clear();
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, false, exists);
    if (ws_ && ws_->Name() == spis::kSheetName) return;  // the register itself holds no document
    if (!rowSpis_) {
        if (!exists) spis::Notice(app_, spis::kStartWithNew);
        return;
    }
    spis::AttribsFromSPIS(spis::Register{wsSpis_, colSpis_}, rowSpis_->Row(), *ws_, *attDoc);
}

void Kalvora::AttribsRefFromSPIS(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, false, exists);
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    if (!rowSpis_) {
        spis::ReferToNothing(*attDoc_);
        spis::Notice(app_, spis::kRowNotFound);
        return;
    }
    spis::AttribsRefFromSPIS(spis::Register{wsSpis_, colSpis_}, rowSpis_->Row(), *attDoc_);
}

// ------------------------------------------------------------------ lifecycle

bool Kalvora::DocumentIsNew(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    if (!oWorksheet) return false;
    std::shared_ptr<host::Workbook> book;
    try {
        book = oWorksheet->Parent().shared_from_this();
        if (!lifecycle::SaveOnce(app_, *book)) return false;
        FindSPIS(book);
    } catch (...) {
        return false;  // the workbook could not be prepared; FindSPIS reports its own failures
    }
    return lifecycle::AddNewSheet(app_, *book);
}

bool Kalvora::DocumentIsDelete(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
    wsSpis_ = spis::RegisterOf(oWorksheet->Parent());
    return lifecycle::DocumentIsDelete(app_, *oWorksheet, wsSpis_.get());
}

}  // namespace ormelin
