// Cell formulas: reading, converting between A1 and R1C1 notation, evaluating,
// and following a worksheet's structural changes.
//
// The model keeps every formula as text in R1C1 notation beginning with "="
// (the library writes "=список!R7C3", "=IF(RC[-2]=\"\",\"\",\"-\")" and joins by
// "&"); workbook files and users' formulas use A1 notation. A formula is read
// into tokens; everything except references is kept verbatim, so converting a
// formula and converting it back gives the text it started from (references are
// written in the canonical form: upper-case letters, "RC" for "R[0]C[0]", sheet
// names quoted only where they must be).
//
// Positions count from 1. A relative reference is kept as an offset from the
// formula's own cell, so converting needs that cell's row and column.
//
// Typical use by a worksheet model:
//   load:   cell.formula = ToR1C1(a1Text, row, col);
//   save:   a1Text = ToA1(cell.formula, row, col);
//   recalc: Result r = Evaluate(cell.formula, row, col, source);
//           if (r.known) cell.value = r.value;   // else keep the cached value
//   after inserting rows 3..4 of sheet "S":
//           Change ch = Change::InsertRows("S", 3, 2);
//           for every formula cell (sheet F, row, col) before the change:
//               if (MayNeedAdjust(f, F, ch))
//                   if (auto t = Adjust(f, F, row, col, ch)) f = *t;
//   (call Adjust with the cell's position before the change; the function works
//   out where the cell itself moves.)
//   Copying a formula to another cell copies its R1C1 text unchanged: relative
//   references then point at the cells at the same offsets, as a copy should.
//   Evaluate does not follow chains of formulas itself: CellSource gives each
//   cell's value, and guarding against circular references is its business.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/number.hpp"
#include "base/text.hpp"
#include "ormelin/host.hpp"

namespace ormelin::formula {

using host::Area;
using host::CellError;
using host::Value;

enum class Notation : std::uint8_t { A1, R1C1 };

// ---------------------------------------------------------------- tokens

/// A row or column of a reference: an absolute number, or an offset from the
/// formula's own row or column.
struct Coord {
    int value = 0;
    bool absolute = true;
    friend bool operator==(const Coord&, const Coord&) = default;
};

struct Reference {
    enum class Kind : std::uint8_t {
        Cell,     // A1, R1C1
        Area,     // A1:B2, R1C1:R2C2
        Rows,     // 1:3, R1:R3, R1
        Columns,  // A:C, C1:C3, C1
        Error,    // a reference that was lost: "#REF!" with its sheet, as in список!#REF!
    };
    Kind kind = Kind::Cell;
    bool hasSheet = false;
    std::string sheet;  // as the user sees it (unquoted)
    Coord row1, col1, row2, col2;  // Rows use rows only, Columns columns only
    friend bool operator==(const Reference&, const Reference&) = default;
};

struct Token {
    enum class Type : std::uint8_t {
        Equals,     // the leading "=" of a formula
        Space,      // blanks and line breaks
        Reference,
        Number,
        String,     // text with its quotes, as written
        Bool,       // TRUE, FALSE
        Error,      // #REF!, #DIV/0!, ...
        Function,   // a name standing before "("
        Name,       // any other name (a defined name)
        Operator,   // + - * / ^ & = <> < > <= >= % :
        Open,
        Close,
        Comma,
        Other,      // anything else, kept as written
    };
    Type type = Type::Other;
    std::string text;  // as written (for a reference: its text in the source notation)
    Reference ref;     // Type::Reference only
};

/// Reads a formula (with or without the leading "=") written in the given
/// notation at cell (row, column). Never fails: what cannot be read stays as
/// Other tokens.
std::vector<Token> Tokenize(std::string_view formula, Notation notation, int row, int column);
/// Writes tokens back in a notation for cell (row, column). A relative
/// reference that falls off the sheet is written as "#REF!".
std::string Render(const std::vector<Token>& tokens, Notation notation, int row, int column);

/// "=список!R7C3" at any cell -> "=список!$C$7"; "=RC[-2]" at E5 -> "=C5".
std::string ToA1(std::string_view r1c1, int row, int column);
/// The reverse: "=C5" at E5 -> "=RC[-2]". A name that R1C1 notation reads as
/// something else ("c" is the current column there, "R2C3" a cell), which no
/// spreadsheet program allows, throws Error(InvalidArgument) naming it.
std::string ToR1C1(std::string_view a1, int row, int column);

/// A sheet name as it stands before "!" (the one quoting rule of text::QuoteSheetName).
inline std::string QuoteSheet(std::string_view name) { return text::QuoteSheetName(name); }
/// Sheet names compare as the spreadsheet compares them: without regard to case.
inline bool SameSheet(std::string_view a, std::string_view b) { return text::EqualsNoCase(a, b); }

// ---------------------------------------------------------------- evaluation

/// Where evaluation reads cells from.
class CellSource {
public:
    virtual ~CellSource() = default;
    /// The value of a cell. sheet is empty when the reference names no sheet
    /// (the formula's own sheet), else the name as written (any case). A
    /// formula cell gives its (cached or freshly computed) value; a sheet that
    /// does not exist gives CellError::Ref.
    virtual Value CellValue(std::string_view sheet, int row, int column) const = 0;
    /// The part of a sheet that holds anything; ranges are cut to it before
    /// their cells are read (whole columns would otherwise be a million reads).
    /// Nothing: the whole range is read.
    virtual std::optional<Area> Extent(std::string_view /*sheet*/) const { return std::nullopt; }
};

/// A CellSource made of a function.
class FunctionSource : public CellSource {
public:
    using Fn = std::function<Value(std::string_view sheet, int row, int column)>;
    explicit FunctionSource(Fn fn) : fn_(std::move(fn)) {}
    Value CellValue(std::string_view sheet, int row, int column) const override { return fn_(sheet, row, column); }
private:
    Fn fn_;
};

struct Result {
    Value value;
    /// False when the formula uses a function, name or construct the engine does
    /// not evaluate (or cannot be read): the caller keeps the cell's cached value.
    bool known = true;
};

/// Evaluates an R1C1 formula standing at (row, column). References, the
/// operators (& comparisons + - * / ^ unary - %), IF and the functions listed
/// by KnownFunctions() are evaluated; text comparison ignores case; an empty
/// cell equals "" and 0; errors propagate; numbers become text as
/// text::NumberText writes them (up to 15 significant digits). A formula whose result is an empty
/// cell yields 0, as the spreadsheet shows it.
Result Evaluate(std::string_view formulaR1C1, int row, int column, const CellSource& cells);
Result Evaluate(std::string_view formulaR1C1, int row, int column, const FunctionSource::Fn& cells);

/// Names of the functions Evaluate knows, upper case.
std::vector<std::string> KnownFunctions();

/// A number turned into text inside a formula (text::NumberText).
inline std::string GeneralText(double number) { return text::NumberText(number); }

// ---------------------------------------------------------------- structural changes

struct Change {
    enum class Kind : std::uint8_t {
        InsertRows, DeleteRows, InsertColumns, DeleteColumns, DeleteSheet, RenameSheet,
        MoveCells,  // cut and paste: the cells of area on sheet go to destSheet at (destRow, destColumn)
    };
    Kind kind = Kind::InsertRows;
    std::string sheet;    // the sheet changed
    int at = 0;           // first row or column inserted or deleted
    int count = 0;
    std::string newName;  // RenameSheet
    Area area{};          // MoveCells: the cells moved
    std::string destSheet;
    int destRow = 0, destColumn = 0;

    static Change InsertRows(std::string sheet, int at, int count) { return Band(Kind::InsertRows, std::move(sheet), at, count); }
    static Change DeleteRows(std::string sheet, int at, int count) { return Band(Kind::DeleteRows, std::move(sheet), at, count); }
    static Change InsertColumns(std::string sheet, int at, int count) { return Band(Kind::InsertColumns, std::move(sheet), at, count); }
    static Change DeleteColumns(std::string sheet, int at, int count) { return Band(Kind::DeleteColumns, std::move(sheet), at, count); }
    static Change DeleteSheet(std::string sheet) { return Band(Kind::DeleteSheet, std::move(sheet), 0, 0); }
    static Change RenameSheet(std::string sheet, std::string newName) {
        Change c = Band(Kind::RenameSheet, std::move(sheet), 0, 0);
        c.newName = std::move(newName);
        return c;
    }
    static Change MoveCells(std::string sheet, const Area& area, std::string destSheet, int destRow, int destColumn) {
        Change c = Band(Kind::MoveCells, std::move(sheet), 0, 0);
        c.area = area;
        c.destSheet = std::move(destSheet);
        c.destRow = destRow;
        c.destColumn = destColumn;
        return c;
    }

private:
    static Change Band(Kind kind, std::string sheet, int at, int count) {
        Change c;
        c.kind = kind;
        c.sheet = std::move(sheet);
        c.at = at;
        c.count = count;
        return c;
    }
};

/// A cheap, conservative test: false only when the change cannot alter the
/// formula standing on sheet formulaSheet (it names no sheet the change touches
/// and does not live on one).
bool MayNeedAdjust(std::string_view formulaR1C1, std::string_view formulaSheet, const Change& change);

/// The formula rewritten so that its references follow the change as the
/// spreadsheet's do, or nothing when it stays as it is. (row, column) is the
/// formula cell's position before the change; when the change moves that cell,
/// relative references are worked out from its new position. A reference into
/// deleted rows, columns or a deleted sheet becomes #REF! (a lost reference
/// keeps its sheet name, "список!#REF!", except when the sheet itself is gone);
/// a range loses only its deleted part and grows by rows inserted inside it.
/// A formula standing in deleted rows or columns, or on a deleted sheet, is the
/// caller's to remove. For MoveCells the formulas of the moved cells are
/// adjusted at their old position and end up pointing at the same cells; a
/// reference to cells the paste covers becomes #REF!, one to a range that only
/// partly lies in the moved area stays where it was.
std::optional<std::string> Adjust(std::string_view formulaR1C1, std::string_view formulaSheet, int row, int column,
                                  const Change& change);

/// What a formula refers to.
struct Summary {
    bool hasReferences = false;
    bool hasRelative = false;          // any relative row or column
    bool refersToOwnSheet = false;     // a reference without a sheet name
    std::vector<std::string> sheets;   // sheets named in references, in order of first use
};
Summary Summarize(std::string_view formulaR1C1);
/// Whether the formula names the sheet in a reference (sheet names without case).
bool ReferencesSheet(std::string_view formulaR1C1, std::string_view sheet);

}  // namespace ormelin::formula
