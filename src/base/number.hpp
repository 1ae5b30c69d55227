// Numbers as text, as the spreadsheet writes them under the "General" format.
#pragma once

#include <string>

namespace ormelin::text {

/// A number as the "General" format shows it in a standard-width column: at most
/// eleven characters, no trailing zeros, scientific notation beyond that
/// (1/3 -> "0.333333333", 1234567890123 -> "1.23457E+12").
std::string GeneralNumber(double v);

/// A number turned into text inside a formula (joined with &, given to LEN): up
/// to fifteen significant digits, no trailing zeros, scientific notation from
/// 1E+15 and below 1E-04 (1/3 -> "0.333333333333333").
std::string NumberText(double v);

}  // namespace ormelin::text
