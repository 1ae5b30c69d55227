// Rules for worksheet names within a workbook.
#pragma once

#include <string>

#include "ormelin/model.hpp"

namespace ormelin::model::detail {

/// Throws Error(ApplicationDefined) unless the name is 1..31 characters long, has
/// none of []:*?/\, does not begin or end with an apostrophe and differs (ignoring
/// case) from every other sheet of the workbook.
void CheckSheetName(const ModelWorkbook& book, const std::string& name, const ModelWorksheet* except);

}  // namespace ormelin::model::detail
