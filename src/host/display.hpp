// How a cell's value reads on screen under its number format.
#pragma once

#include <string>

#include "ormelin/host.hpp"

namespace ormelin::host {

/// A number as the "General" format shows it in a standard-width column: at most
/// eleven characters, no trailing zeros, scientific notation beyond that.
std::string GeneralNumber(double v);

/// The displayed text of a value under a number format ("General", "@", "0",
/// "0.00", "#,##0", "#,##0.00", "0%", date formats such as "dd.mm.yyyy").
std::string DisplayValue(const Value& v, const std::string& numberFormat);

}  // namespace ormelin::host
