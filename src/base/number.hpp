// Numbers as text, as the spreadsheet writes them under the "General" format.
#pragma once

#include <string>

namespace ormelin::text {

/// A number as the "General" format shows it in a standard-width column: at most
/// eleven characters, no trailing zeros, scientific notation beyond that
/// (1/3 -> "0.333333333", 1234567890123 -> "1.23457E+12").
std::string GeneralNumber(double v);

/// A number turned into text inside a formula (joined with &, given to LEN): up
/// to fifteen significant digits, no trailing zeros, written out in full from
/// 1E-14 up to 1E+15 and in scientific notation beyond (1/3 -> "0.333333333333333",
/// -0.000001 -> "-0.000001", 1E-15 -> "1E-15"), as the spreadsheet programs join
/// numbers to texts.
std::string NumberText(double v);

}  // namespace ormelin::text
