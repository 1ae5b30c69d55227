// Two small queries for the host: whether a worksheet holds a formed document, a
// list or nothing (DocumIsForm), and the register cell naming a worksheet's
// document (CellSpis).
#include <array>

#include "core/frame.hpp"

namespace ormelin {

namespace {

/// The formed states DocumIsForm answers 1 for; the superseded formed layouts
/// (16 to 19) and the formed list of electronic originals (21) are not among them.
constexpr std::array<std::int32_t, 7> kFormed = {ksSPA_OF, ksSPB_OF, ksPE_OF, ksVPA_OF, ksVN_OF, ksTB_OF, ksVE_OF};

}  // namespace

std::int32_t Kalvora::DocumIsForm(WorksheetRef oWorksheet, std::int32_t* lStateOfDoc) {
    CallFrame frame(*this);
    // oWorksheet is the caller's reference copied: recognition may resolve it to
    // the current worksheet without touching anything of the caller's.
    const std::int32_t s = StateOfDocument(oWorksheet);
    if (lStateOfDoc) *lStateOfDoc = s;
    if (s == ksDOC_NO) return -1;
    for (std::int32_t f : kFormed)
        if (s == f) return 1;
    return 0;
}

std::optional<host::Range> Kalvora::CellSpis(WorksheetRef& oWorksheet) {
    CallFrame frame(*this);
    bool exists = false;
    rowSpis_ = FindRowSPIS(oWorksheet, true, exists);
    if (!rowSpis_) return std::nullopt;
    const int c = colSpis_[spShee];
    if (c <= 0) return std::nullopt;  // a register without a "Лист" column names no document
    return rowSpis_->Item(1, c);
}

}  // namespace ormelin
