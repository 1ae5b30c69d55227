// The public methods: each opens its call frame and calls the typed service.
#include "core/frame.hpp"
#include "forming/forming.hpp"
#include "recognition/recognition.hpp"

namespace ormelin {

// ------------------------------------------------------------------ lists

void Kalvora::DocumentBlank(WorksheetRef& oWorksheet, ksStateOfDocument kssod) {
    CallFrame frame(*this);
    docs_.Blank(oWorksheet, kssod);
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
    DocumentBlank(oWorksheet, KindEntryOf(DocKind::PE).blank);
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

void Kalvora::SPB_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    docs_.ColumnsWidthAndHead(ListLayout::SPB, bOtkat);
}

void Kalvora::VPA_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    docs_.ColumnsWidthAndHead(ListLayout::VPA, bOtkat);
}

void Kalvora::PE_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    docs_.ColumnsWidthAndHead(ListLayout::PE, bOtkat);
}

void Kalvora::VN_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    docs_.ColumnsWidthAndHead(ListLayout::VN, bOtkat);
}

void Kalvora::VE_ColumnsWidthAndHead(bool bOtkat) {
    CallFrame frame(*this);
    docs_.ColumnsWidthAndHead(ListLayout::VE, bOtkat);
}

void Kalvora::RowInsert(WorksheetRef& oWorksheet, std::int16_t r, std::optional<host::Range>& rang) {
    CallFrame frame(*this);
    std::optional<host::Range> target = rang;
    if (!target) {
        if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
        target = oWorksheet->Cells();
    }
    docs_.RowInsert(*target, r);
}

void Kalvora::RowInsert(WorksheetRef& oWorksheet, std::int16_t r) {
    std::optional<host::Range> none;
    RowInsert(oWorksheet, r, none);
}

// ------------------------------------------------------------------ forming and rollback

bool Kalvora::Forming(WorksheetRef& oWorksheet, bool bForPrint, bool bPageRevi) {
    CallFrame frame(*this);
    docs_.Form(oWorksheet, {.forPrint = bForPrint, .pageRevi = bPageRevi});
    return false;
}

bool Kalvora::FormingA(WorksheetRef& oWorksheet, std::int32_t lStateOfDoc, bool bForPrint, bool bPageRevi) {
    CallFrame frame(*this);
    docs_.FormOn(oWorksheet, FormId::A4Portrait, lStateOfDoc, {.forPrint = bForPrint, .pageRevi = bPageRevi});
    return false;
}

void Kalvora::FormingSPB(WorksheetRef& oWorksheet, bool& bForPrint, bool& bPageRevi) {
    CallFrame frame(*this);
    docs_.FormOn(oWorksheet, FormId::A4LandscapeGroup, ksSPB_OT, {.forPrint = bForPrint, .pageRevi = bPageRevi});
}

bool Kalvora::FormingVPA(WorksheetRef& oWorksheet, bool& bForPrint, bool& bPageRevi) {
    CallFrame frame(*this);
    docs_.FormOn(oWorksheet, FormId::A3PurchasedProducts, ksVPA_OT, {.forPrint = bForPrint, .pageRevi = bPageRevi});
    return false;
}

void Kalvora::TitleNext(std::int32_t& k, std::optional<host::Range>& oRange, AttrDocRef& attDoc) {
    CallFrame frame(*this);
    if (!oRange || !attDoc) throw Error(ErrorCode::ObjectRequired);
    forming::TitleNext(*oRange, k, *attDoc);
}

void Kalvora::Otkat(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    docs_.Rollback(oWorksheet);
}

// ------------------------------------------------------------------ recognition

std::int32_t Kalvora::StateOfDocument(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    return docs_.State(oWorksheet);
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
