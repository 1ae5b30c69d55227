// Rollback: a formed document goes back to its list on the same worksheet.
#pragma once

#include <memory>

#include "forming/forming.hpp"
#include "lists/lists.hpp"
#include "ormelin/host.hpp"

namespace ormelin::forming {

/// Deletes the rows forming inserted into a document of the given sheets, once the
/// binding-margin columns are gone (the rows counted on the worksheet as formed).
void DeleteInsertedRows(host::Worksheet& w, const SheetGeometry& g, const FormedSheets& formed);

/// Rolls the formed document on the sheet back to its list: frames and merges
/// removed, the form's own columns and every row of another height than a list
/// row deleted (on the list of purchased products: the rows forming inserted, by
/// its geometry), the columns then empty deleted, the list head drawn again (its
/// failures go to report, as a list layout's do). The list data cells are never
/// rewritten. A sheet without a formed document stays as it is: returns false.
bool RollBack(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const lists::ReportFn& report);

}  // namespace ormelin::forming
