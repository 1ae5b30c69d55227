// The service object's A3 routines: thin adapters over the A3 forming functions
// (forming/forming_a3.hpp), with the service's current worksheet, attribute
// record and sheet block.
#include "core/frame.hpp"
#include "forming/forming_a3.hpp"

namespace ormelin {

bool Kalvora::FormingVPA(WorksheetRef& oWorksheet, bool& bForPrint, bool& bPageRevi) {
    CallFrame frame(*this);
    if (!oWorksheet) throw Error(ErrorCode::ObjectRequired);
    // 1: the worksheet, its attributes, the screen
    ws_ = oWorksheet;
    {
        WorksheetRef current;
        AttribsRefFromSPIS(current);
    }
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    ScreenRefresh();
    const forming::A4Parts a4{
        [this] { ColumnsWidthA4(); },
        [this](std::int32_t k, int blockRow) {
            rngPage_ = host::Range(ws_, host::Area{blockRow, 1, blockRow + 35, host::kMaxColumns});
            PageRevi(k, rngPage_, attDoc_);
        },
    };
    forming::FormVPA(app_, ws_, *attDoc_, {.forPrint = bForPrint, .pageRevi = bPageRevi}, a4);
    rngPage_.reset();
    return false;
}

void Kalvora::ColumnsWidthA3() { forming::ColumnsWidthA3(Sheet()); }

void Kalvora::TitleFirstA3() {
    Sheet();
    if (!attDoc_) attDoc_ = std::make_shared<AttrDoc>();
    forming::TitleFirstA3(ws_, *attDoc_);
}

void Kalvora::PageNextA3(std::int32_t& k, std::optional<host::Range>& oRange, AttrDocRef& attDoc) {
    if (!oRange || !attDoc) throw Error(ErrorCode::ObjectRequired);
    forming::PageNextA3(k, oRange->SheetPtr(), oRange->Row(), *attDoc);
}

}  // namespace ormelin
