// Text rules shared by every layer: UTF-8 code points, letters and case of the
// scripts workbooks are written in, blanks, column letters and sheet names as
// they stand in references.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ormelin::text {

// ---------------------------------------------------------------- UTF-8

/// The code point at i (advancing i); a malformed byte decodes as itself.
char32_t Next(std::string_view s, std::size_t& i);
/// Appends the UTF-8 bytes of a code point.
void Append(std::string& out, char32_t cp);
std::u32string Decode(std::string_view s);
std::string Encode(std::u32string_view s);
/// Characters (code points) of a UTF-8 text.
std::size_t Length(std::string_view s);

// ---------------------------------------------------------------- letters and case

/// Letters of any script the sheet names are written in: Latin, Greek, Cyrillic,
/// Armenian, Hebrew, Arabic, the Indic blocks, kana, Hangul and CJK ideographs.
bool IsLetter(char32_t cp);
/// Case of Latin (with Latin-1 and Latin Extended-A), Greek and Cyrillic.
char32_t ToLower(char32_t cp);
char32_t ToUpper(char32_t cp);
std::string Lower(std::string_view s);
std::string Upper(std::string_view s);
/// The text folded to lower case, for comparison without regard to case.
inline std::string Fold(std::string_view s) { return Lower(s); }
/// Names compare as the spreadsheet compares them: without regard to case.
bool EqualsNoCase(std::string_view a, std::string_view b);

/// The text without leading and trailing blanks (spaces).
std::string Trim(std::string_view s);

// ---------------------------------------------------------------- references

/// 1 -> "A", 27 -> "AA", 16384 -> "XFD"; empty outside 1..16384.
std::string ColumnLetters(int column);
/// "A" -> 1, "aa" -> 27; 0 when the text is not a column name within the sheet.
int ColumnNumber(std::string_view letters);

/// A sheet name as it stands in a reference: bare when it is letters, digits and
/// underscores not beginning with a digit and not readable as a cell ("A1",
/// "R1C1", "RC"); otherwise quoted, with apostrophes doubled.
std::string QuoteSheetName(std::string_view name);

}  // namespace ormelin::text
