// Printing a sheet to PDF through LibreOffice.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "ormelin/model.hpp"

namespace ormelin::cli {

/// The LibreOffice program, or nothing when it is not installed.
std::optional<std::string> FindOffice();

/// Turns a workbook into the printed copy of one of its sheets: the sheet's
/// formulas become the texts they show and every other sheet is removed (the
/// register its formulas refer to included). A formed sheet's own print setup
/// already brings every sheet onto one page of its paper.
void MakePrintedCopy(model::ModelWorkbook& book, const std::string& sheet);

/// Prints a workbook holding one sheet to a PDF file. The file appears whole or
/// not at all. The drafting font of the forms is replaced by a free one through
/// a private font configuration when it is not installed (said once on err).
/// Throws Failure.
void PrintToPdf(const std::string& office, const model::ModelWorkbook& copy, const std::string& pdfPath,
                std::ostream& err);

}  // namespace ormelin::cli
