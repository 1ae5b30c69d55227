// The public methods over the lists, forming, rollback and recognition modules:
// each opens its call frame, resolves the worksheet it works on (the current one
// when it takes none), calls its module, and keeps what the instance keeps
// between calls.
#include "core/frame.hpp"
#include "forming/forming.hpp"
#include "forming/rollback.hpp"
#include "lists/lists.hpp"
#include "recognition/recognition.hpp"

namespace ormelin {

// ------------------------------------------------------------------ error style of the layouts

void Kalvora::ReportLayoutFailure(const char* routine, std::exception_ptr failure) {
    std::string message;
    try {
        std::rethrow_exception(failure);
    } catch (...) {
        message = std::string(routine) + ": " + CurrentError().description();
    }
    app_.UI().MsgBox(message, host::MsgButtons::OK, host::MsgIcon::None, std::string());
}

Kalvora::LayoutReport Kalvora::ReportLayouts() {
    return [this](const char* routine, std::exception_ptr failure) { ReportLayoutFailure(routine, failure); };
}

// ------------------------------------------------------------------ lists

void Kalvora::DocumentBlank(WorksheetRef& oWorksheet, ksStateOfDocument kssod) {
    CallFrame frame(*this);
    ws_ = oWorksheet;
    lists::DocumentBlank(app_, ws_, kssod, ReportLayouts());
}

void Kalvora::SPA_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksSPA_OT);
}

void Kalvora::SPB_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksSPB_OT);
}

void Kalvora::PE_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksPE_OT_2);
}

void Kalvora::VE_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksVE_OT);
}

void Kalvora::VN_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksVN_OT);
}

void Kalvora::VPA_Blank(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    DocumentBlank(oWorksheet, ksVPA_OT);
}

void Kalvora::SPA_ColumnsWidthAndHead(bool bOtkat) {
    lists::ColumnsWidthAndHead(ws_, lists::Layout::SPA, bOtkat, ReportLayouts());
}

void Kalvora::SPB_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    lists::ColumnsWidthAndHead(ws_, lists::Layout::SPB, bOtkat, ReportLayouts());
}

void Kalvora::VPA_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    lists::ColumnsWidthAndHead(ws_, lists::Layout::VPA, bOtkat, ReportLayouts());
}

void Kalvora::PE_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    lists::ColumnsWidthAndHead(ws_, lists::Layout::PE, bOtkat, ReportLayouts());
}

void Kalvora::VN_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    lists::ColumnsWidthAndHead(ws_, lists::Layout::VN, bOtkat, ReportLayouts());
}

void Kalvora::VE_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    lists::ColumnsWidthAndHead(ws_, lists::Layout::VE, bOtkat, ReportLayouts());
}

void Kalvora::RowInsert(WorksheetRef& oWorksheet, std::int16_t r, std::optional<host::Range>& rang) {
    CallFrame frame(*this);
    std::optional<host::Range> target = rang;
    if (!target) {
        if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
        target = oWorksheet->Cells();
    }
    lists::RowInsert(*target, r);
}

void Kalvora::RowInsert(WorksheetRef& oWorksheet, std::int16_t r) {
    std::optional<host::Range> none;
    RowInsert(oWorksheet, r, none);
}

// ------------------------------------------------------------------ forming and rollback

bool Kalvora::Forming(WorksheetRef& oWorksheet, bool bForPrint, bool bPageRevi) {
    CallFrame frame(*this);
    const std::int32_t state = StateOfDocument(oWorksheet);
    bool print = bForPrint, revi = bPageRevi;
    switch (state) {
        case ksSPA_OT:
        case ksPE_OT_1:
        case ksPE_OT_2:
        case ksVN_OT:
        case ksVE_OT: FormingA(oWorksheet, state, bForPrint, bPageRevi); break;
        case ksSPB_OT: FormingSPB(oWorksheet, print, revi); break;
        case ksVPA_OT: FormingVPA(oWorksheet, print, revi); break;
        default: break;  // no document, a formed one, or a kind without forming
    }
    return false;
}

bool Kalvora::FormingA(WorksheetRef& oWorksheet, std::int32_t lStateOfDoc, bool bForPrint, bool bPageRevi) {
    CallFrame frame(*this);
    if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
    ws_ = oWorksheet;
    {
        WorksheetRef current;
        AttribsRefFromSPIS(current);  // the reference record of the document's register row
    }
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    forming::FormA4(app_, ws_, lStateOfDoc, *attDoc_, {.forPrint = bForPrint, .pageRevi = bPageRevi});
    return false;
}

// ---- list of purchased products (A3) ----
bool Kalvora::FormingVPA(WorksheetRef& oWorksheet, bool& bForPrint, bool& bPageRevi) {
    CallFrame frame(*this);
    if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
    ws_ = oWorksheet;
    {
        WorksheetRef current;
        AttribsRefFromSPIS(current);  // the reference record of the document's register row
    }
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    forming::FormA3(app_, ws_, *attDoc_, {.forPrint = bForPrint, .pageRevi = bPageRevi});
    return false;
}

void Kalvora::ColumnsWidthA3() {
    if (!ws_) throw Error(ErrorCode::ObjectRequired);
    forming::ColumnsWidthA3(*ws_);
}

void Kalvora::TitleFirstA3() {
    if (!ws_) throw Error(ErrorCode::ObjectRequired);
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    forming::TitleFirstA3(ws_, *attDoc_);
}

void Kalvora::PageNextA3(std::int32_t& k, std::optional<host::Range>& oRange, AttrDocRef& attDoc) {
    if (!oRange || !attDoc) throw Error(ErrorCode::ObjectRequired);
    forming::PageNextA3(*oRange, k, *attDoc);
}
// ---- end of the list of purchased products ----

void Kalvora::TitleNext(std::int32_t& k, std::optional<host::Range>& oRange, AttrDocRef& attDoc) {
    CallFrame frame(*this);
    if (!oRange || !attDoc) throw Error(ErrorCode::ObjectRequired);
    forming::TitleNext(*oRange, k, *attDoc);
}

void Kalvora::Otkat(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
    ws_ = oWorksheet;
    forming::RollBack(app_, ws_, ReportLayouts());
    ws_.reset();
}

// ------------------------------------------------------------------ recognition

std::int32_t Kalvora::StateOfDocument(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    if (!oWorksheet) oWorksheet = ws_;
    if (!oWorksheet) return ksDOC_NO;
    return recognition::StateOf(*oWorksheet);
}

std::int32_t Kalvora::StateOfDocument() {
    WorksheetRef none;
    return StateOfDocument(none);
}

std::int32_t Kalvora::DocumIsForm(WorksheetRef oWorksheet, std::int32_t* lStateOfDoc) {
    CallFrame frame(*this);
    // oWorksheet is the caller's reference copied: recognition may resolve it to
    // the current worksheet without touching anything of the caller's.
    const std::int32_t s = StateOfDocument(oWorksheet);
    if (lStateOfDoc) *lStateOfDoc = s;
    return recognition::FormedAnswer(s);
}

}  // namespace ormelin
