#include "xlsx/common.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "formula/formula.hpp"
#include "ormelin/errors.hpp"

namespace ormelin::xlsx::detail {

using host::BorderWeight;
using host::LineStyle;

void Fail(std::string_view part, std::string_view message) {
    std::string text(part);
    text += ": ";
    text += message;
    throw Error(ErrorCode::FileError, text);
}

// ---------------------------------------------------------------- cell texts

std::size_t Characters(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::optional<std::string> TextTooLong(std::string_view text, const std::string& sheet, int row, int column) {
    if (text.size() <= kMaxCellCharacters) return std::nullopt;
    const std::size_t n = Characters(text);
    if (n <= kMaxCellCharacters) return std::nullopt;
    return "sheet \"" + sheet + "\", cell " + host::ColumnLetters(column) + std::to_string(row) + ": a text of " +
           std::to_string(n) + " characters, more than the 32,767 a cell holds";
}

// ---------------------------------------------------------------- borders

namespace {

// Every line a file can name. Reading takes the style and weight of the row;
// writing looks the name up in kBorderOf below.
constexpr std::array<BorderCode, 13> kBorderCodes{{
    {"hair",             LineStyle::Continuous,   BorderWeight::Hairline},
    {"thin",             LineStyle::Continuous,   BorderWeight::Thin},
    {"medium",           LineStyle::Continuous,   BorderWeight::Medium},
    {"thick",            LineStyle::Continuous,   BorderWeight::Thick},
    {"dashed",           LineStyle::Dash,         BorderWeight::Thin},
    {"mediumDashed",     LineStyle::Dash,         BorderWeight::Medium},
    {"dashDot",          LineStyle::DashDot,      BorderWeight::Thin},
    {"mediumDashDot",    LineStyle::DashDot,      BorderWeight::Medium},
    {"dashDotDot",       LineStyle::DashDotDot,   BorderWeight::Thin},
    {"mediumDashDotDot", LineStyle::DashDotDot,   BorderWeight::Medium},
    {"dotted",           LineStyle::Dot,          BorderWeight::Thin},
    {"double",           LineStyle::Double,       BorderWeight::Thin},
    {"slantDashDot",     LineStyle::SlantDashDot, BorderWeight::Thin},
}};

// The saved line of each style (rows, in LineStyle order) and weight (columns:
// hairline, thin, medium, thick). The file has fewer lines than style and
// weight pairs; pairs it cannot tell apart share a line.
constexpr std::array<std::array<const char*, 4>, 8> kBorderOf{{
    /* None         */ {nullptr, nullptr, nullptr, nullptr},
    /* Continuous   */ {"hair", "thin", "medium", "thick"},
    /* Dash         */ {"dashed", "dashed", "mediumDashed", "mediumDashed"},
    /* DashDot      */ {"dashDot", "dashDot", "mediumDashDot", "mediumDashDot"},
    /* DashDotDot   */ {"dashDotDot", "dashDotDot", "mediumDashDotDot", "mediumDashDotDot"},
    /* Dot          */ {"dotted", "dotted", "dotted", "dotted"},
    /* Double       */ {"double", "double", "double", "double"},
    /* SlantDashDot */ {"slantDashDot", "slantDashDot", "slantDashDot", "slantDashDot"},
}};

}  // namespace

const BorderCode* BorderFor(LineStyle style, BorderWeight weight) {
    auto s = static_cast<std::size_t>(style), w = static_cast<std::size_t>(weight);
    if (s >= kBorderOf.size() || w >= 4 || !kBorderOf[s][w]) return nullptr;
    return BorderNamed(kBorderOf[s][w]);
}

const BorderCode* BorderNamed(std::string_view name) {
    for (const auto& code : kBorderCodes)
        if (name == code.name) return &code;
    return nullptr;
}

// ---------------------------------------------------------------- alignment names

namespace {

template <typename E>
struct Named {
    const char* name;
    E value;
};

constexpr std::array<Named<host::HAlign>, 8> kHAligns{{
    {"general", host::HAlign::General},
    {"left", host::HAlign::Left},
    {"center", host::HAlign::Center},
    {"right", host::HAlign::Right},
    {"fill", host::HAlign::Fill},
    {"justify", host::HAlign::Justify},
    {"centerContinuous", host::HAlign::CenterAcrossSelection},
    {"distributed", host::HAlign::Distributed},
}};

constexpr std::array<Named<host::VAlign>, 5> kVAligns{{
    {"top", host::VAlign::Top},
    {"center", host::VAlign::Center},
    {"bottom", host::VAlign::Bottom},
    {"justify", host::VAlign::Justify},
    {"distributed", host::VAlign::Distributed},
}};

constexpr std::array<Named<host::Underline>, 5> kUnderlines{{
    {"none", host::Underline::None},
    {"single", host::Underline::Single},
    {"double", host::Underline::Double},
    {"singleAccounting", host::Underline::SingleAccounting},
    {"doubleAccounting", host::Underline::DoubleAccounting},
}};

template <typename E, std::size_t N>
std::optional<E> Find(const std::array<Named<E>, N>& table, std::string_view name) {
    for (const auto& entry : table)
        if (name == entry.name) return entry.value;
    return std::nullopt;
}


}  // namespace

std::optional<host::HAlign> HAlignNamed(std::string_view name) { return Find(kHAligns, name); }
std::optional<host::VAlign> VAlignNamed(std::string_view name) { return Find(kVAligns, name); }
std::optional<host::Underline> UnderlineNamed(std::string_view name) { return Find(kUnderlines, name); }

namespace {
template <typename E, std::size_t N>
const char* NameOf(const std::array<Named<E>, N>& table, E value, const char* otherwise) {
    for (const auto& entry : table)
        if (entry.value == value) return entry.name;
    return otherwise;
}
}  // namespace

const char* HAlignName(host::HAlign a) { return NameOf(kHAligns, a, "general"); }
const char* VAlignName(host::VAlign a) { return NameOf(kVAligns, a, "bottom"); }
const char* UnderlineName(host::Underline u) { return NameOf(kUnderlines, u, "none"); }

// ---------------------------------------------------------------- colours

namespace {

// The default palette of the file format, indexed 0..63. Entries 8..63 are
// colour indexes 1..56 of the spreadsheet; 0..7 repeat 8..15.
constexpr std::array<std::uint32_t, 64> kPalette{
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

// The colours of the default office theme in the order the file numbers them
// (light 1, dark 1, light 2, dark 2, accents 1..6, hyperlink, followed hyperlink).
constexpr std::array<std::uint32_t, 12> kTheme{
    0xFFFFFF, 0x000000, 0xEEECE1, 0x1F497D, 0x4F81BD, 0xC0504D,
    0x9BBB59, 0x8064A2, 0x4BACC6, 0xF79646, 0x0000FF, 0x800080,
};

}  // namespace

std::uint32_t PaletteRgb(int fileIndex) {
    return fileIndex >= 0 && fileIndex < 64 ? kPalette[static_cast<std::size_t>(fileIndex)] : 0;
}
int FileIndexOf(int colorIndex) { return colorIndex >= 1 && colorIndex <= 56 ? colorIndex + 7 : -1; }
int ColorIndexOf(int fileIndex) {
    if (fileIndex >= 0 && fileIndex < 8) return fileIndex + 1;
    if (fileIndex >= 8 && fileIndex < 64) return fileIndex - 7;
    return -1;
}
std::uint32_t ThemeRgb(int theme, const ThemeColours* colours) {
    if (theme < 0 || theme >= 12) return 0;
    return (colours ? *colours : kTheme)[static_cast<std::size_t>(theme)];
}

// ---------------------------------------------------------------- number formats

namespace {
struct BuiltinFormat {
    int id;
    const char* code;
};
constexpr std::array<BuiltinFormat, 28> kBuiltin{{
        {0, "General"}, {1, "0"}, {2, "0.00"}, {3, "#,##0"}, {4, "#,##0.00"},
        {9, "0%"}, {10, "0.00%"}, {11, "0.00E+00"}, {12, "# ?/?"}, {13, "# \?\?/\?\?"},
        {14, "mm-dd-yy"}, {15, "d-mmm-yy"}, {16, "d-mmm"}, {17, "mmm-yy"},
        {18, "h:mm AM/PM"}, {19, "h:mm:ss AM/PM"}, {20, "h:mm"}, {21, "h:mm:ss"},
        {22, "m/d/yy h:mm"}, {37, "#,##0 ;(#,##0)"}, {38, "#,##0 ;[Red](#,##0)"},
        {39, "#,##0.00;(#,##0.00)"}, {40, "#,##0.00;[Red](#,##0.00)"},
        {45, "mm:ss"}, {46, "[h]:mm:ss"}, {47, "mmss.0"}, {48, "##0.0E+0"}, {49, "@"},
}};
}  // namespace

int BuiltinNumberFormatId(std::string_view code) {
    for (const auto& e : kBuiltin)
        if (code == e.code) return e.id;
    return -1;
}

std::optional<std::string> BuiltinNumberFormat(int id) {
    for (const auto& e : kBuiltin)
        if (e.id == id) return std::string(e.code);
    return std::nullopt;
}

// ---------------------------------------------------------------- errors

std::optional<host::CellError> CellErrorNamed(std::string_view text) {
    using host::CellError;
    for (auto e : {CellError::Null, CellError::Div0, CellError::Value, CellError::Ref, CellError::Name,
                   CellError::Num, CellError::NA})
        if (text == host::ErrorText(e)) return e;
    return std::nullopt;
}

// ---------------------------------------------------------------- column widths

double CharactersFromFileWidth(double fileWidth) {
    // A column is a whole number of pixels: the file width times the 7-pixel
    // digit of the standard font. From 12 pixels on, 5 of them are padding;
    // narrower columns scale over 12 pixels. Widths read to hundredths.
    double pixels = std::round(fileWidth * 7);
    double characters = pixels >= 12 ? (pixels - 5) / 7 : pixels / 12;
    return std::round(characters * 100) / 100;
}

double FileWidthFromCharacters(double characters) {
    // Whole pixels, as the column is shown, in 1/256 of a character.
    double pixels = characters < 1 ? std::floor(characters * 12 + 0.5) : std::floor(characters * 7 + 0.5) + 5;
    return std::floor(pixels / 7 * 256) / 256;
}

double StandardWidthOf(const model::SheetDefaults& defaults) {
    if (defaults.fileColumnWidth >= 0) return CharactersFromFileWidth(defaults.fileColumnWidth);
    double pixels = std::ceil((defaults.baseColumnWidth * 7 + 5) / 8.0) * 8;
    return std::round((pixels - 5) / 7 * 100) / 100;
}

double FileDefaultWidth(const model::ModelWorksheet& sheet) {
    const model::SheetDefaults& defaults = sheet.Defaults();
    if (defaults.fileColumnWidth >= 0) return defaults.fileColumnWidth;
    return FileWidthFromCharacters(sheet.StandardWidth());
}

}  // namespace ormelin::xlsx::detail

// ---------------------------------------------------------------- formula text

namespace ormelin::xlsx::detail {

std::string ToA1(std::string_view formulaR1C1, int row, int column) {
    std::string a1 = formula::ToA1(formulaR1C1, row, column);
    if (!a1.empty() && a1[0] == '=') a1.erase(0, 1);  // the file keeps formulas without "="
    return a1;
}

std::string ToR1C1(std::string_view formulaA1, int row, int column) {
    std::string text = "=";
    text.append(formulaA1.substr(!formulaA1.empty() && formulaA1[0] == '=' ? 1 : 0));
    return formula::ToR1C1(text, row, column);
}

RelativeReach ReachOf(std::string_view formulaR1C1) {
    RelativeReach reach;
    auto rowOffset = [&](const formula::Coord& c) {
        if (c.absolute) return;
        reach.minRow = std::min(reach.minRow, c.value);
        reach.maxRow = std::max(reach.maxRow, c.value);
    };
    auto columnOffset = [&](const formula::Coord& c) {
        if (c.absolute) return;
        reach.minColumn = std::min(reach.minColumn, c.value);
        reach.maxColumn = std::max(reach.maxColumn, c.value);
    };
    for (const auto& t : formula::Tokenize(formulaR1C1, formula::Notation::R1C1, 1, 1)) {
        if (t.type != formula::Token::Type::Reference) continue;
        using Kind = formula::Reference::Kind;
        const formula::Reference& r = t.ref;
        if (r.kind == Kind::Error) continue;
        if (r.kind != Kind::Columns) rowOffset(r.row1), rowOffset(r.row2);
        if (r.kind != Kind::Rows) columnOffset(r.col1), columnOffset(r.col2);
    }
    return reach;
}

bool RelativeReach::FitsAt(int row, int column) const {
    return row + minRow >= 1 && row + maxRow <= host::kMaxRows && column + minColumn >= 1 &&
           column + maxColumn <= host::kMaxColumns;
}

}  // namespace ormelin::xlsx::detail
