// Cell formats and formulas between the host's records and Calc's cell properties.
#pragma once

#include <string>

#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include "calc_host.hpp"

namespace ormelin::calc {

/// The style of a cell, read in one call.
host::Style ReadStyle(const CalcWorkbook& book, const css::uno::Reference<css::table::XCell>& cell);
/// Applies a patch to a range (one call for the plain properties, one for the borders).
void ApplyPatch(const CalcWorkbook& book, const css::uno::Reference<css::sheet::XSpreadsheet>& sheet,
                const css::uno::Reference<css::table::XCellRange>& range, const host::Area& area,
                const host::FormatPatch& patch, int lastColumn);
/// The format of one cell as Calc's properties (those a host style holds), and
/// that format given to every cell of a range in one call.
css::uno::Sequence<css::uno::Any> CellFormat(const css::uno::Reference<css::table::XCell>& cell);
void SetCellFormat(const css::uno::Reference<css::table::XCellRange>& range,
                   const css::uno::Sequence<css::uno::Any>& format);
/// The patch that gives a cell the whole style.
host::FormatPatch PatchOf(const host::Style& style);
/// The number format key of a cell.
sal_Int32 CellFormatKey(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int row, int column);
/// Calc's error code as the cell error the host knows.
host::CellError ErrorOf(sal_Int32 code);
/// The formula of a cell in R1C1 notation, and the reverse.
std::string FormulaR1C1(const CalcWorkbook& book, const css::uno::Reference<css::sheet::XSpreadsheet>& sheet,
                        int row, int column, const css::uno::Reference<css::table::XCell>& cell);
void SetFormulaR1C1(const CalcWorkbook& book, const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int row,
                    int column, const std::string& formula);

}  // namespace ormelin::calc
