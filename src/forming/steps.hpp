// Frame and title-block layouts as data: a layout is a list of steps run in order
// on a part of a worksheet. Each step names a range by its address inside the
// part (row 1 is the part's first row; for the first sheet of a document the part
// starts at row 1, so the addresses are those of the worksheet) and what is done
// to it, in this order: format, merge, value(s), row height.
//
// A value is a fixed text, a number, an attribute of the document's attribute
// record (written unchanged: with register references it is a formula), the
// first-use field that joins two attributes in one formula, or a formula text.
#pragma once

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "forming/geometry.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/host.hpp"

namespace ormelin::forming {

/// What a cell receives.
struct Put {
    enum class Kind : std::uint8_t { Nothing, Text, Attr, FirstUse, Formula };
    Kind kind = Kind::Nothing;
    const char* text = nullptr;
    AttrProp attr{};
};

inline Put Text(const char* t) { return {Put::Kind::Text, t, {}}; }
inline Put Attr(AttrProp p) { return {Put::Kind::Attr, nullptr, p}; }
/// aPerv, then ` & "     " & `, then aProj: with register references one formula
/// showing both register cells five blanks apart.
inline Put FirstUse() { return {Put::Kind::FirstUse, nullptr, {}}; }
inline Put Formula(const char* f) { return {Put::Kind::Formula, f, {}}; }
/// An empty text (a member of a merged group that shows nothing).
inline Put Empty() { return Text(""); }

struct CellStep {
    const char* range;
    bool merge = false;
    host::FormatPatch format{};
    /// One value for the range (for a merged range: its first cell), or one value
    /// per cell left to right across a one-row range.
    std::vector<Put> values{};
    double rowHeight = 0;  // every row of the range; 0: unchanged
};

/// A merge repeated on every row from..to of a column span ("D:E", rows 29..31).
struct RowMerges {
    const char* columns;
    int from, to;
};

/// The area of an address taken inside a part whose first row is top.
host::Area At(const char* a1, int top);

/// The text or number a value stands for.
host::Value ValueOf(const Put& put, const AttrDoc& attDoc);

/// The number format with a zero shown as nothing: a title-block value that
/// refers to an empty register cell is 0 and must show nothing.
std::string HidingZero(const std::string& format);

/// Runs steps on the part of the sheet that starts at row top.
void ApplySteps(const std::shared_ptr<host::Worksheet>& sheet, int top, const std::vector<CellStep>& steps,
                const AttrDoc& attDoc);

/// Merges the column spans on every row of their row interval, inside the part at top.
void ApplyRowMerges(host::Worksheet& w, int top, const std::vector<RowMerges>& merges);

/// Merges each column span [c1, c2] on every row r1..r2 (a form's list rows).
void MergeRowSpans(host::Worksheet& w, const std::vector<std::pair<int, int>>& spans, int r1, int r2);

/// Merges each of the areas, addresses taken inside the part at top.
void MergeAt(host::Worksheet& w, std::span<const char* const> areas, int top);

/// Whole columns ("F:F", "H:O", ...) inserted one after the other, each address
/// taken after the insertions before it, in one pass over the sheet.
void InsertColumnRuns(host::Worksheet& w, std::span<const char* const> columns);

/// The title cells a form's first-sheet steps write, read from those steps;
/// dateCell is where the first signature's date goes when the steps leave it to
/// a table of their own (nullptr: the steps write it).
TitleCells TitleCellsOf(const std::vector<CellStep>& steps, const char* dateCell);

/// A format that removes one edge line of a range.
host::FormatPatch NoLine(host::Edge edge);

/// Frame lines: every edge and inner line of the ranges, inside the part at top.
void DrawFrame(const std::shared_ptr<host::Worksheet>& sheet, int top, std::initializer_list<const char*> ranges);

// ------------------------------------------------------------------ parts every form shares

/// The binding-margin fields of the first sheet, columns A and B of rows 1..36:
/// label in A, value in B over the same rows.
const std::vector<CellStep>& BindingMarginSteps();
/// The reset of a further sheet's five foot rows (block rows 32..36).
const std::vector<CellStep>& SheetFootSteps();
/// The lower binding-margin fields of a further sheet (block rows 24..35).
const std::vector<CellStep>& LowerBindingMarginSteps();

/// The table body of the change-registration sheet (block addresses), each column
/// one tall cell that holds the first entry at its top.
inline constexpr const char* kRegistrationBody[] = {
    "C5:D31", "E5:G31", "H5:I31", "J5:L31", "M5:N31", "O5:P31", "Q5:Q31", "R5:U31", "V5:X31", "Y5:Z31",
};

}  // namespace ormelin::forming
