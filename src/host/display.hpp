// How a cell's value reads on screen under its number format.
#pragma once

#include <string>

#include "base/number.hpp"
#include "ormelin/host.hpp"

namespace ormelin::host {

using text::GeneralNumber;

/// The displayed text of a value under a number format ("General", "@", "0",
/// "0.00", "#,##0", "#,##0.00", "0%", date formats such as "dd.mm.yyyy").
std::string DisplayValue(const Value& v, const std::string& numberFormat);

}  // namespace ormelin::host
