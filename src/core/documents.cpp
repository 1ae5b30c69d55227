// The typed service: each call resolves the worksheet it works on (the current
// one when it takes none), calls its module, and keeps what the service keeps
// between calls.
#include "ormelin/documents.hpp"

#include "attributes/lifecycle.hpp"
#include "attributes/register.hpp"
#include "attributes/transfer.hpp"
#include "base/current_error.hpp"
#include "forming/forming.hpp"
#include "forming/rollback.hpp"
#include "lists/lists.hpp"
#include "recognition/recognition.hpp"

namespace ormelin {

Documents::Documents(host::Application& app) : app_(app) {}

void Documents::Report(const char* routine, std::exception_ptr failure) {
    std::string message;
    try {
        std::rethrow_exception(failure);
    } catch (...) {
        message = std::string(routine) + ": " + CurrentError().description();
    }
    reports_.push_back(message);
    app_.UI().MsgBox(message, host::MsgButtons::OK, host::MsgIcon::None, std::string());
}

// ------------------------------------------------------------------ lists

void Documents::Blank(const WorksheetRef& ws, ksStateOfDocument state) {
    ws_ = ws;
    lists::DocumentBlank(app_, ws_, state, [this](const char* r, std::exception_ptr f) { Report(r, f); });
}

void Documents::ColumnsWidthAndHead(ListLayout layout, bool bOtkat) {
    lists::ColumnsWidthAndHead(ws_, layout, bOtkat, [this](const char* r, std::exception_ptr f) { Report(r, f); });
}

void Documents::RowInsert(const host::Range& target, int r) { lists::RowInsert(target, r); }

// ------------------------------------------------------------------ recognition

std::int32_t Documents::State(WorksheetRef& ws) const {
    if (!ws) ws = ws_;
    if (!ws) return ksDOC_NO;
    return recognition::StateOf(*ws);
}

// ------------------------------------------------------------------ forming and rollback

FormingOutcome Documents::Form(WorksheetRef& ws, const FormingOptions& options) {
    const std::int32_t state = State(ws);
    const FormId form = StateEntryOf(state).form;
    if (!IsListState(state) || form == FormId::None) {
        FormingOutcome nothing;
        nothing.stateBefore = state;
        return nothing;
    }
    return FormOn(ws, form, state, options);
}

FormingOutcome Documents::FormOn(const WorksheetRef& ws, FormId form, std::int32_t listState,
                                 const FormingOptions& options) {
    if (!ws) throw Error(ErrorCode::ObjectRequired);
    ws_ = ws;
    {
        WorksheetRef current;
        ReferenceRecord(current);  // the reference record of the document's register row
    }
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    WorksheetRef sheet = ws_;
    FormingOutcome outcome;
    outcome.stateBefore = recognition::StateOf(*sheet);
    // The group specification's forming lets go of the current worksheet, also
    // when it fails.
    if (form == FormId::A4LandscapeGroup) ws_.reset();
    const forming::FormResult r = forming::FormList(app_, sheet, form, listState, *attDoc_,
                                                    {.forPrint = options.forPrint,
                                                     .pageRevi = options.pageRevi,
                                                     .keepTogether = options.keepTogether});
    outcome.formed = r.geometry != nullptr;
    outcome.sheetCount = r.sheetCount;
    outcome.registrationSheet = r.registrationSheet;
    outcome.rowsLeftBelow = r.rowsLeftBelow;
    outcome.printSetupApplied = r.printSetupApplied;
    outcome.paddingRows = r.paddingRows;
    outcome.entriesSplit = r.entriesSplit;
    outcome.splitEntryRows = r.splitEntryRows;
    return outcome;
}

RollbackOutcome Documents::Rollback(const WorksheetRef& ws) {
    if (!ws) throw Error(ErrorCode::ObjectRequired);
    ws_ = ws;
    RollbackOutcome outcome;
    outcome.stateBefore = recognition::StateOf(*ws);
    outcome.rolledBack =
        forming::RollBack(app_, ws_, [this](const char* r, std::exception_ptr f) { Report(r, f); });
    outcome.stateAfter = recognition::StateOf(*ws);
    ws_.reset();
    return outcome;
}

// ------------------------------------------------------------------ register and attributes

void Documents::FindRegister(const WorkbookRef& book) {
    for (std::string& message : attributes::FindSPIS(app_, book)) reports_.push_back(std::move(message));
}

std::optional<host::Range> Documents::FindRow(WorksheetRef& ws, bool create, bool& registerExists) {
    if (ws)
        ws_ = ws;
    else
        ws = ws_;
    attributes::RowLookup found = attributes::FindRow(app_, ws.get(), create);
    wsSpis_ = std::move(found.reg.sheet);
    colSpis_ = found.reg.columns;
    registerExists = wsSpis_ != nullptr;
    return found.row;
}

std::optional<host::Range> Documents::RegisterCell(WorksheetRef& ws) {
    bool exists = false;
    rowSpis_ = FindRow(ws, true, exists);
    if (!rowSpis_) return std::nullopt;
    return attributes::SheetCell(attributes::Register{wsSpis_, colSpis_}, *rowSpis_);
}

void Documents::ToRegister(const AttrDocRef& record, WorksheetRef& ws) {
    bool exists = false;
    rowSpis_ = FindRow(ws, true, exists);
    if (!exists) return;  // no register: nothing to write to
    if (!rowSpis_ || !ws_ || !record) throw Error(ErrorCode::ObjectRequired);
    attributes::AttribsToSPIS(attributes::Register{wsSpis_, colSpis_}, rowSpis_->Row(), *ws_, *record);
}

void Documents::FromRegister(const AttrDocRef& record, WorksheetRef& ws) {
    if (!record) throw Error(ErrorCode::ObjectRequired);
    record->Clear();
    bool exists = false;
    rowSpis_ = FindRow(ws, false, exists);
    if (ws_ && ws_->Name() == attributes::kSheetName) return;  // the register itself holds no document
    if (!rowSpis_) {
        if (!exists) attributes::Notice(app_, attributes::kStartWithNew);
        return;
    }
    attributes::AttribsFromSPIS(attributes::Register{wsSpis_, colSpis_}, rowSpis_->Row(), *ws_, *record);
}

void Documents::ReferenceRecord(WorksheetRef& ws) {
    bool exists = false;
    rowSpis_ = FindRow(ws, false, exists);
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    if (!rowSpis_) {
        attributes::ReferToNothing(*attDoc_);
        attributes::Notice(app_, attributes::kRowNotFound);
        return;
    }
    attributes::AttribsRefFromSPIS(attributes::Register{wsSpis_, colSpis_}, rowSpis_->Row(), *attDoc_);
}

bool Documents::NewDocument(const WorksheetRef& ws) {
    if (!ws) return false;
    std::shared_ptr<host::Workbook> book;
    try {
        book = ws->Parent().shared_from_this();
        if (!lifecycle::SaveOnce(app_, *book)) return false;
        FindRegister(book);
    } catch (...) {
        return false;  // the workbook could not be prepared; FindSPIS reports its own failures
    }
    return lifecycle::AddNewSheet(app_, *book);
}

bool Documents::DeleteDocument(const WorksheetRef& ws) {
    if (!ws) throw Error(ErrorCode::ObjectRequired);
    wsSpis_ = attributes::RegisterOf(ws->Parent());
    return lifecycle::DocumentIsDelete(app_, *ws, wsSpis_.get());
}

}  // namespace ormelin
