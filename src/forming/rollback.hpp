// Rollback: a formed document goes back to its list on the same worksheet.
#pragma once

#include <memory>
#include <vector>

#include "forming/geometry.hpp"

#include "lists/lists.hpp"
#include "ormelin/host.hpp"

namespace ormelin::forming {

/// A run of worksheet rows, from..to.
struct RowSpan {
    int from, to;
    bool operator==(const RowSpan&) const = default;
};

/// The rows forming inserted into a document of the geometry with this many
/// sheets (the change-registration sheet, when there is one, the last), top down,
/// as the form's fixed geometry puts them.
std::vector<RowSpan> InsertedRowsOf(const SheetGeometry& g, int sheets, bool registrationSheet);

/// The rows forming inserted into the formed document on the sheet, found sheet
/// by sheet from the first sheet's bottom line on: every sheet's inserted rows
/// must show the form's marks (fixed texts, merged fields, the repeated head row)
/// where the geometry puts them relative to the sheet's first row and its bottom
/// line; its list rows may be more or fewer than the geometry's (rows a user
/// inserted or deleted among them) and of any height. A sheet that does not show
/// them throws Error(InvalidArgument) naming the first row that does not match.
std::vector<RowSpan> FindInsertedRows(const host::Worksheet& w, const SheetGeometry& g);

/// The geometry a formed document of the state stands on: the group
/// specification's form stands one column right when its change-registration
/// sheet is there, which its bottom lines tell. Null for a state not formed.
const SheetGeometry* FormedGeometryOn(const host::Worksheet& w, std::int32_t formedState);

/// Rolls the formed document on the sheet back to its list: frames and merges
/// removed, the form's own columns and the rows forming inserted (FindInsertedRows)
/// deleted, whatever height the list rows have, the columns then empty deleted, the list head drawn again (its
/// failures go to report, as a list layout's do). The list data cells are never
/// rewritten. A sheet without a formed document stays as it is: returns false.
/// A formed sheet whose inserted rows cannot be told apart is refused before
/// anything changes.
bool RollBack(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const lists::ReportFn& report);

}  // namespace ormelin::forming
