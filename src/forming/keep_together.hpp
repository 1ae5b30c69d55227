// Keeping entries whole on their sheets. Before a list is formed, empty padding
// rows are inserted at the end of a sheet so that the next sheet begins with a
// whole entry: a heading goes with its first entry, an entry of several rows is
// never split, and no sheet begins with the empty rows between groups. The
// entries are told apart by lists/entries.hpp.
//
// Every padding row carries a mark in a cell right of the form, a text whose
// number format shows nothing; cell values and number formats are what every
// spreadsheet program keeps, so rollback finds the padding rows again after
// LibreOffice, Excel or openpyxl saved the workbook, and removes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "forming/geometry.hpp"
#include "lists/entries.hpp"
#include "ormelin/host.hpp"

namespace ormelin::forming {

/// The text of a padding row's mark, and the number format that hides it.
inline constexpr const char* kPaddingMark = "ormelin:padding";
inline constexpr const char* kPaddingMarkFormat = ";;;";

/// Padding rows inserted before a list row (0-based among the list's data rows).
struct Padding {
    std::size_t before = 0;
    int rows = 0;
};

/// Where forming pads a list of classified rows on a form of the geometry, and
/// how many entries it must split because no whole entry fits (one longer than
/// a sheet). The sheets end where forming ends them: at a run of empty rows
/// where a sheet would begin.
struct KeepPlan {
    std::vector<Padding> padding;
    int entriesSplit = 0;
    std::vector<std::size_t> splitEntries;  // the first row of each entry split
};
KeepPlan PlanKeepTogether(std::span<const lists::RowKind> kinds, const SheetGeometry& g);

/// What keeping together did to a list.
struct KeepResult {
    int paddingRows = 0;
    int entriesSplit = 0;
    std::vector<int> splitEntryRows;  // the list row each split entry begins at, before padding
};

/// Pads the list of the list state on the sheet for the form's geometry
/// (PlanKeepTogether), each padding row at the list row height with its mark.
KeepResult KeepEntriesTogether(host::Worksheet& w, std::int32_t listState, const SheetGeometry& g);

/// The padding rows of a formed document of the geometry and state, found by
/// their marks, top down. A padding row a user filled is kept: its mark is
/// cleared and it is not returned. Rollback deletes the rows returned.
std::vector<int> TakePaddingRows(host::Worksheet& w, const SheetGeometry& g, std::int32_t formedState);

/// A place of a formed document where a sheet break goes wrong: the sheet (1
/// the first) and worksheet row, and what is wrong. A heading alone is named at
/// the heading's row on the sheet it ends; a split entry and empty rows at a
/// sheet's top at the sheet's first list row.
struct BreakPlace {
    int sheet = 0;
    int row = 0;
    lists::BreakFault what = lists::BreakFault::None;
    bool operator==(const BreakPlace&) const = default;
};

/// Every such place of the formed document on the sheet, top down; none for a
/// sheet that holds no formed document of a list kind. Throws as FindInsertedRows
/// when the sheet's form cannot be read.
std::vector<BreakPlace> SheetBreakFaults(const host::Worksheet& w);

}  // namespace ormelin::forming
