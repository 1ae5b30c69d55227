// Tables and helpers shared by the .xlsx reader and writer.
#pragma once

#include <array>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ormelin/host.hpp"
#include "ormelin/model.hpp"

namespace ormelin::xlsx::detail {

/// Throws Error(FileError) with "part: message".
[[noreturn]] void Fail(std::string_view part, std::string_view message);

// ---------------------------------------------------------------- cell texts

/// The longest text a cell holds in the desktop spreadsheet, in characters. A
/// workbook is read and written by the same rule: a longer text of a cell (not a
/// formula's result) is refused when the file is loaded and when it is saved.
inline constexpr std::size_t kMaxCellCharacters = 32767;

/// The characters (code points) of a UTF-8 text.
std::size_t Characters(std::string_view text);

/// Nothing when a cell's text fits a cell; else the refusal naming the sheet and
/// the cell: "sheet \"S\", cell B7: a text of 40000 characters, more than ...".
std::optional<std::string> TextTooLong(std::string_view text, const std::string& sheet, int row, int column);

// ---------------------------------------------------------------- borders

/// A border line as the file names it, with the line style and weight it stands for.
struct BorderCode {
    const char* name;          // "thin", "mediumDashed", ...
    host::LineStyle style;
    host::BorderWeight weight;
};
/// The line that a style and weight are saved as (nullptr: no line).
const BorderCode* BorderFor(host::LineStyle style, host::BorderWeight weight);
/// The style and weight of a line named in a file (nullptr: unknown name or "none").
const BorderCode* BorderNamed(std::string_view name);

// ---------------------------------------------------------------- alignment names

std::optional<host::HAlign> HAlignNamed(std::string_view name);
std::optional<host::VAlign> VAlignNamed(std::string_view name);
std::optional<host::Underline> UnderlineNamed(std::string_view name);
/// The names the file gives them ("general", "center", "doubleAccounting", ...).
const char* HAlignName(host::HAlign a);
const char* VAlignName(host::VAlign a);
const char* UnderlineName(host::Underline u);

// ---------------------------------------------------------------- colours

/// RGB of an entry of the file's indexed palette (0..63).
std::uint32_t PaletteRgb(int fileIndex);
/// The file's palette index of a model colour index (1..56), or -1.
int FileIndexOf(int colorIndex);
/// The model colour index (1..56) of a file palette index, or -1 (64 and up: automatic).
int ColorIndexOf(int fileIndex);
/// The colours of a theme, by the number styles give them: light 1, dark 1,
/// light 2, dark 2, accents 1 to 6, hyperlink, followed hyperlink.
using ThemeColours = std::array<std::uint32_t, 12>;
/// RGB of a colour (0..11) of the workbook's theme, or of the default office
/// theme when the workbook has none; no tint applied.
std::uint32_t ThemeRgb(int theme, const ThemeColours* colours = nullptr);

// ---------------------------------------------------------------- number formats

/// The format code of a built-in number format id, or nothing.
std::optional<std::string> BuiltinNumberFormat(int id);
/// The built-in id of a format code, or -1 when the code is not built in.
int BuiltinNumberFormatId(std::string_view code);

// ---------------------------------------------------------------- errors

std::optional<host::CellError> CellErrorNamed(std::string_view text);

// ---------------------------------------------------------------- column widths

/// The characters of a file's column width, as the writer rounds it
/// (whole pixels of a 7-pixel digit plus 5 pixels of padding).
double CharactersFromFileWidth(double fileWidth);
/// The file's column width of a width in characters (the inverse of the above).
double FileWidthFromCharacters(double characters);
/// The standard width in characters of a sheet with these defaults: the file's
/// default width, else the base width in digits plus padding, rounded up to 8
/// pixels as the desktop spreadsheet does (base 8: 8.43).
double StandardWidthOf(const model::SheetDefaults& defaults);
/// The file's width of a column that takes the sheet's standard width.
double FileDefaultWidth(const model::ModelWorksheet& sheet);

// ---------------------------------------------------------------- formula text

/// Formula text between the model (R1C1, leading "=") and the file (A1, no
/// "="), relative to the formula's cell; the formula engine converts.
std::string ToA1(std::string_view formulaR1C1, int row, int column);
std::string ToR1C1(std::string_view formulaA1, int row, int column);

/// The least and greatest row and column offsets of a formula's relative
/// references (R1C1), so that the cells where its references stay on the sheet
/// are known without reading it again.
struct RelativeReach {
    int minRow = 0, maxRow = 0, minColumn = 0, maxColumn = 0;
    bool FitsAt(int row, int column) const;
};
RelativeReach ReachOf(std::string_view formulaR1C1);

/// Whether a text can be written back where the writer puts it: no control character
/// (in an attribute a tab, line feed or carriage return is fine; in an element's
/// text a tab or line feed), no U+FFFE or U+FFFF.
inline bool Savable(std::string_view text, bool attribute) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && !(attribute && c == '\r')) return false;
        if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE)
            return false;
    }
    return true;
}

}  // namespace ormelin::xlsx::detail
