// How a cell's value reads on screen under its number format.
#pragma once

#include <string>

#include "base/number.hpp"
#include "ormelin/host.hpp"

namespace ormelin::host {

using text::GeneralNumber;

/// The displayed text of a value under a number format ("General", "@", "0",
/// "0.00", "#,##0", "#,##0.00", "0%", date formats such as "dd.mm.yyyy"). Date
/// formats read the number as a serial of the workbook's date system: days from
/// 1900 (serial 1 is 1 January 1900) or, with date1904, from 1904 (serial 0 is
/// 1 January 1904).
std::string DisplayValue(const Value& v, const std::string& numberFormat, bool date1904 = false);

}  // namespace ormelin::host
