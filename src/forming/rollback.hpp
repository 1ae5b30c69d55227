// Rollback: a formed document goes back to its list on the same worksheet.
#pragma once

#include <memory>

#include "lists/lists.hpp"
#include "ormelin/host.hpp"

namespace ormelin::forming {

/// Rolls the formed document on the sheet back to its list: frames and merges
/// removed, the form's own columns and every row of another height than a list
/// row deleted, the columns then empty deleted, the list head drawn again (its
/// failures go to report, as a list layout's do). The list data cells are never
/// rewritten. A sheet without a formed document stays as it is: returns false.
bool RollBack(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const lists::ReportFn& report);

}  // namespace ormelin::forming
