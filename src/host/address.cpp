// Address helpers, error texts, style hashing and format patches: the parts of
// the host interface that need no worksheet.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <ostream>

#include "base/text.hpp"
#include "formula/formula.hpp"
#include "ormelin/host.hpp"

namespace ormelin::host {

std::string ColumnLetters(int column) {
    if (column < 1 || column > kMaxColumns) throw Error(ErrorCode::InvalidArgument);
    return text::ColumnLetters(column);
}

int ColumnNumber(std::string_view letters) { return text::ColumnNumber(letters); }

namespace {

// One end of an address: a cell, a column or a row; what was present is marked.
struct Ref {
    int row = 0;
    int column = 0;
};

bool ParseRef(std::string_view t, Ref& ref) {
    std::size_t i = 0;
    if (i < t.size() && t[i] == '$') ++i;
    std::size_t ls = i;
    while (i < t.size() && std::isalpha(static_cast<unsigned char>(t[i]))) ++i;
    std::string_view letters = t.substr(ls, i - ls);
    if (!letters.empty()) {
        ref.column = ColumnNumber(letters);
        if (ref.column == 0) return false;
        if (i < t.size() && t[i] == '$') ++i;
    } else if (ls != 0 && i < t.size() && !std::isdigit(static_cast<unsigned char>(t[i]))) {
        return false;
    }
    std::size_t ds = i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    if (i != t.size()) return false;
    std::string_view digits = t.substr(ds, i - ds);
    if (!digits.empty()) {
        if (digits.size() > 7) return false;
        long r = 0;
        for (char d : digits) r = r * 10 + (d - '0');
        if (r < 1 || r > kMaxRows) return false;
        ref.row = static_cast<int>(r);
    }
    // "$5" alone is a row, "$A" alone a column, "$A$" nothing
    if (letters.empty() && digits.empty()) return false;
    if (!letters.empty() && digits.empty() && t.back() == '$') return false;
    return true;
}

}  // namespace

Area ParseAddress(std::string_view a1) {
    auto fail = [&]() -> Error {
        return Error(ErrorCode::InvalidArgument, "Invalid address: " + std::string(a1));
    };
    std::string_view first = a1, second;
    std::size_t colon = a1.find(':');
    if (colon != std::string_view::npos) {
        first = a1.substr(0, colon);
        second = a1.substr(colon + 1);
        if (second.find(':') != std::string_view::npos) throw fail();
    }
    Ref a, b;
    if (!ParseRef(first, a)) throw fail();
    if (colon == std::string_view::npos) {
        if (a.row == 0 || a.column == 0) throw fail();
        return Area{a.row, a.column, a.row, a.column};
    }
    if (!ParseRef(second, b)) throw fail();
    Area r;
    if (a.row && a.column && b.row && b.column) {
        r = Area{a.row, a.column, b.row, b.column};
    } else if (!a.row && !b.row && a.column && b.column) {
        r = Area{1, a.column, kMaxRows, b.column};
    } else if (!a.column && !b.column && a.row && b.row) {
        r = Area{a.row, 1, b.row, kMaxColumns};
    } else {
        throw fail();
    }
    if (r.r1 > r.r2) std::swap(r.r1, r.r2);
    if (r.c1 > r.c2) std::swap(r.c1, r.c2);
    return r;
}

std::string AddressOf(const Area& area, bool absolute) {
    const std::string d = absolute ? "$" : "";
    if (area.entireColumns() && !area.entireRows()) {
        return d + ColumnLetters(area.c1) + ":" + d + ColumnLetters(area.c2);
    }
    if (area.entireRows()) {
        return d + std::to_string(area.r1) + ":" + d + std::to_string(area.r2);
    }
    auto cell = [&](int r, int c) { return d + ColumnLetters(c) + d + std::to_string(r); };
    if (area.single()) return cell(area.r1, area.c1);
    return cell(area.r1, area.c1) + ":" + cell(area.r2, area.c2);
}

std::string QuoteSheetName(std::string_view name) { return text::QuoteSheetName(name); }

// ---------------------------------------------------------------- print area

namespace {

bool InSheet(const Area& a) {
    return a.r1 >= 1 && a.r1 <= a.r2 && a.r2 <= kMaxRows && a.c1 >= 1 && a.c1 <= a.c2 && a.c2 <= kMaxColumns;
}

/// The areas of references joined by commas, read by the formula engine, so that a
/// quoted sheet name holding commas, apostrophes or "!" reads as a reference does.
/// Each reference names the given sheet or none; with no sheet given, none may name
/// one. Nothing when the text is anything else.
std::optional<std::vector<Area>> ReadAreas(std::string_view text, std::optional<std::string_view> sheet) {
    using formula::Token;
    using Kind = formula::Reference::Kind;
    const std::vector<Token> tokens = formula::Tokenize(text, formula::Notation::A1, 1, 1);
    if (tokens.size() % 2 == 0) return std::nullopt;  // nothing, or a comma at the end
    std::vector<Area> areas;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (k % 2 == 1) {
            if (t.type != Token::Type::Comma) return std::nullopt;
            continue;
        }
        if (t.type != Token::Type::Reference) return std::nullopt;
        const formula::Reference& r = t.ref;
        if (r.hasSheet && (!sheet || !text::EqualsNoCase(r.sheet, *sheet))) return std::nullopt;
        // relative coordinates count from A1, the cell the text is read at
        auto at = [](const formula::Coord& c) { return c.absolute ? c.value : 1 + c.value; };
        Area a;
        switch (r.kind) {
            case Kind::Cell: a = Area{at(r.row1), at(r.col1), at(r.row1), at(r.col1)}; break;
            case Kind::Area: a = Area{at(r.row1), at(r.col1), at(r.row2), at(r.col2)}; break;
            case Kind::Rows: a = Area{at(r.row1), 1, at(r.row2), kMaxColumns}; break;
            case Kind::Columns: a = Area{1, at(r.col1), kMaxRows, at(r.col2)}; break;
            case Kind::Error: return std::nullopt;
        }
        if (a.r1 > a.r2) std::swap(a.r1, a.r2);
        if (a.c1 > a.c2) std::swap(a.c1, a.c2);
        if (!InSheet(a)) return std::nullopt;
        areas.push_back(a);
    }
    return areas;
}

}  // namespace

PrintArea::PrintArea(std::vector<Area> areas) : areas_(std::move(areas)) {
    for (const Area& a : areas_)
        if (!InSheet(a))
            throw Error(ErrorCode::InvalidArgument,
                        "A print area lies outside the sheet: rows " + std::to_string(a.r1) + ".." +
                            std::to_string(a.r2) + ", columns " + std::to_string(a.c1) + ".." + std::to_string(a.c2));
}

PrintArea& PrintArea::operator=(std::string_view text) {
    if (text.empty()) {
        areas_.clear();
        return *this;
    }
    auto areas = ReadAreas(text, std::nullopt);
    if (!areas) throw Error(ErrorCode::InvalidArgument, "Invalid print area: " + std::string(text));
    areas_ = std::move(*areas);
    return *this;
}

std::string PrintArea::Text() const {
    std::string out;
    for (const Area& a : areas_) out.append(out.empty() ? "" : ",").append(AddressOf(a, true));
    return out;
}

std::string PrintArea::Reference(std::string_view sheet) const {
    const std::string prefix = text::QuoteSheetName(sheet) + "!";
    std::string out;
    for (const Area& a : areas_) out.append(out.empty() ? "" : ",").append(prefix).append(AddressOf(a, true));
    return out;
}

std::optional<PrintArea> PrintArea::FromReference(std::string_view text, std::string_view sheet) {
    auto areas = ReadAreas(text, sheet);
    if (!areas) return std::nullopt;
    PrintArea area;
    area.areas_ = std::move(*areas);
    return area;
}

std::ostream& operator<<(std::ostream& out, const PrintArea& area) { return out << area.Text(); }

const char* ErrorText(CellError e) {
    switch (e) {
        case CellError::Null: return "#NULL!";
        case CellError::Div0: return "#DIV/0!";
        case CellError::Value: return "#VALUE!";
        case CellError::Ref: return "#REF!";
        case CellError::Name: return "#NAME?";
        case CellError::Num: return "#NUM!";
        case CellError::NA: return "#N/A";
    }
    return "#N/A";
}

namespace {

inline void Mix(std::size_t& h, std::size_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
}

void MixColor(std::size_t& h, const Color& c) {
    Mix(h, static_cast<std::size_t>(c.kind));
    Mix(h, c.value);
    Mix(h, std::hash<double>{}(c.tint));
}

void MixBorder(std::size_t& h, const Border& b) {
    Mix(h, static_cast<std::size_t>(b.style));
    Mix(h, static_cast<std::size_t>(b.weight));
    MixColor(h, b.color);
}

}  // namespace

std::size_t HashStyle(const Style& s) noexcept {
    std::size_t h = std::hash<std::string>{}(s.numberFormat);
    Mix(h, static_cast<std::size_t>(s.horizontal));
    Mix(h, static_cast<std::size_t>(s.vertical));
    Mix(h, static_cast<std::size_t>(s.orientation));
    Mix(h, static_cast<std::size_t>(s.wrap) | (static_cast<std::size_t>(s.shrink) << 1));
    Mix(h, static_cast<std::size_t>(s.indent));
    Mix(h, static_cast<std::size_t>(s.readingOrder));
    Mix(h, std::hash<std::string>{}(s.font.name));
    Mix(h, std::hash<double>{}(s.font.size));
    Mix(h, static_cast<std::size_t>(s.font.bold) | (static_cast<std::size_t>(s.font.italic) << 1));
    Mix(h, static_cast<std::size_t>(s.font.underline));
    Mix(h, static_cast<std::size_t>(s.font.strikethrough) | (static_cast<std::size_t>(s.font.superscript) << 1) |
               (static_cast<std::size_t>(s.font.subscript) << 2) | (static_cast<std::size_t>(s.locked) << 3) |
               (static_cast<std::size_t>(s.formulaHidden) << 4));
    MixColor(h, s.font.color);
    MixColor(h, s.fill);
    MixBorder(h, s.left);
    MixBorder(h, s.top);
    MixBorder(h, s.bottom);
    MixBorder(h, s.right);
    return h;
}

bool FormatPatch::empty() const {
    if (numberFormat || horizontal || vertical || orientation || wrap || shrink || indent || readingOrder ||
        fontName || fontSize || bold || italic || underline || fontColor || fill)
        return false;
    return std::all_of(borders.begin(), borders.end(), [](const BorderPatch& b) { return b.empty(); });
}

void FormatPatch::ApplyTo(Style& s, const Border* left, const Border* top, const Border* bottom,
                          const Border* right) const {
    if (numberFormat) s.numberFormat = *numberFormat;
    if (horizontal) s.horizontal = *horizontal;
    if (vertical) s.vertical = *vertical;
    if (orientation) s.orientation = *orientation;
    if (wrap) s.wrap = *wrap;
    if (shrink) s.shrink = *shrink;
    if (indent) s.indent = *indent;
    if (readingOrder) s.readingOrder = *readingOrder;
    if (fontName) s.font.name = *fontName;
    if (fontSize) s.font.size = *fontSize;
    if (bold) s.font.bold = *bold;
    if (italic) s.font.italic = *italic;
    if (underline) s.font.underline = *underline;
    if (fontColor) s.font.color = *fontColor;
    if (fill) s.fill = *fill;
    if (left) s.left = *left;
    if (top) s.top = *top;
    if (bottom) s.bottom = *bottom;
    if (right) s.right = *right;
}

}  // namespace ormelin::host
