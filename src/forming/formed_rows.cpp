// Where the rows of a formed document stand, read from its geometry: which rows
// forming inserted, and their deletion on rollback.
//
// Sheet 1 is rows 1..firstBottomLine: the head rows, the first list rows, then the
// inserted title area, title block and bottom line. Sheet k > 1 is built in the
// block whose first row is the previous sheet's bottom line: the inserted head
// rows, the sheet's list rows, the inserted title block and bottom line. Every
// row of the change-registration sheet, when there is one, is inserted.
#include "forming/forming.hpp"
#include "forming/rollback.hpp"

namespace ormelin::forming {

const SheetGeometry* GeometryOfFormed(std::int32_t state) {
    if (!IsFormedState(state)) return nullptr;
    // ---- list of purchased products
    if (state == ksVPA_OF) return &kPurchasedProducts;
    // ---- end
    return &kA4Portrait;
}

std::optional<FormedSheets> FormedSheetsOf(const host::Worksheet& w, const SheetGeometry& g) {
    const auto count = SheetCountOf(w, g);
    if (!count || BottomLineOf(g, 1) + static_cast<long long>(g.sheetRows) * (*count - 1) > host::kMaxRows)
        return std::nullopt;
    FormedSheets formed{static_cast<int>(*count), false};
    if (formed.sheets > 2)
        formed.registration =
            w.CellText(BottomLineOf(g, formed.sheets - 1) + 1, 3) == "Лист регистрации изменений";
    return formed;
}

bool InsertedRow(const SheetGeometry& g, int row, const FormedSheets& formed) {
    if (row < 1 || formed.sheets < 1) return false;
    if (row <= g.firstBottomLine) return row > FirstSheetListEnd(g);
    const int k = (row - g.firstBottomLine - 1) / g.sheetRows + 2;  // the sheet the row belongs to
    if (k > formed.sheets) return false;
    if (formed.registration && k == formed.sheets) return true;
    const int blockRow = row - BottomLineOf(g, k - 1) + 1;  // 2..blockRows
    return blockRow <= 1 + g.headRows || blockRow > g.blockRows - FootRowsOf(g);
}

void DeleteInsertedRows(host::Worksheet& w, const SheetGeometry& g, const FormedSheets& formed) {
    // from the bottom up, one run of inserted rows at a time
    int r = BottomLineOf(g, formed.sheets);
    while (r >= 1) {
        if (!InsertedRow(g, r, formed)) {
            --r;
            continue;
        }
        int top = r;
        while (top > 1 && InsertedRow(g, top - 1, formed)) --top;
        w.DeleteRows(top, r - top + 1);
        r = top - 1;
    }
}

}  // namespace ormelin::forming
