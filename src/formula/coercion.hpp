// How a formula's operands turn into numbers, texts and truth values, and how
// two values compare, as the spreadsheet does.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "formula/formula.hpp"

namespace ormelin::formula::coercion {

/// A result, or the error value that stands in for it.
template <class T>
using Or = std::variant<T, CellError>;

/// The error a value holds, or null.
inline const CellError* AsError(const Value& v) { return std::get_if<CellError>(&v); }

/// Latin letters upper-cased, every other byte as it is: the words of a formula
/// (TRUE, FALSE, function names) are told in any case of their ASCII letters only.
std::string UpperAscii(std::string_view s);
/// A text read as a number (blanks around it, a sign, a trailing percent sign).
Or<double> ParseNumber(std::string_view s);
Or<double> ToNumber(const Value& v);
/// A value as text: numbers as the General format shows them.
Or<std::string> ToText(const Value& v);
Or<bool> ToBool(const Value& v);
/// Orders two values as the spreadsheet does: numbers before texts before
/// Booleans, texts without case; an empty value is the other side's zero.
Or<int> Compare(Value a, Value b);
/// A number as a cell value: not finite is #NUM!, negative zero is zero.
Value Numeric(double d);

}  // namespace ormelin::formula::coercion
