// Entries of a list: which rows start an entry, which continue it, which are
// headings and which are the empty rows between groups. One home for the rule,
// read by forming (keeping entries whole on their sheets) and by whatever checks
// a formed document.
//
// A list's key columns are those that only an entry's first row fills: its
// designator, position, designation, format, zone, product code or quantities.
// A row that fills a key column starts an entry. A row that shows only texts
// (name, remark, supplier, ...) continues the entry above it; it is a heading
// when it follows an empty row, the list's top or another heading row (a heading
// of several rows). A row that shows nothing is an empty row.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "ormelin/state.hpp"

namespace ormelin::lists {

/// What a list row is to the entries.
enum class RowKind : std::uint8_t { Empty, Heading, EntryStart, Continuation };

/// The columns of a list layout (1-based list columns, the link cell's excluded)
/// by what they tell: key columns, and columns the form writes itself (line
/// numbers), which tell nothing.
struct EntryColumns {
    int count = 0;              // the list's columns before the link cell
    std::vector<int> key;       // filled only on an entry's first row
    std::vector<int> ignored;   // the form's own (line numbers)
    std::vector<int> numbers;   // positions and quantities: numbers in narrow fields
};

/// The entry columns of a list layout, kept beside its steps in layouts.cpp;
/// an empty set (count 0) for None.
const EntryColumns& EntryColumnsOf(ListLayout layout);

/// What a row shows, read cell by cell: `shows(listColumn)` tells whether the
/// row's cell of that list column shows anything.
struct RowFill {
    bool key = false;
    bool text = false;
};
RowFill FillOf(const EntryColumns& columns, const std::function<bool(int listColumn)>& shows);

/// The kind of a row that shows what fill says, after a row of the kind
/// previous (Empty for the list's top): the one rule of the classification.
RowKind KindAfter(RowFill fill, RowKind previous);

/// The kinds of a run of list rows in list order.
std::vector<RowKind> ClassifyRows(std::span<const RowFill> rows);

/// The kind of row i alone, its fills given by fillAt(i): read back over the
/// rows with texts only, to the nearest row that is empty or starts an entry.
/// The same kinds as ClassifyRows, for a caller that needs only some rows.
template <class FillAt>
RowKind KindOfRow(const FillAt& fillAt, std::size_t i) {
    std::size_t anchor = i;
    RowFill fill = fillAt(anchor);
    while (fill.text && !fill.key && anchor > 0) fill = fillAt(--anchor);
    RowKind kind = KindAfter(fill, RowKind::Empty);
    while (anchor < i) kind = KindAfter(fillAt(++anchor), kind);
    return kind;
}

/// Where a sheet break before row j of classified rows (0-based) goes wrong.
enum class BreakFault : std::uint8_t {
    None,
    HeadingAlone,  // the last filled row before the break is a heading
    EntrySplit,    // row j continues the entry above it
    EmptyTop,      // row j is an empty row: the sheet begins with empty rows
};

/// What is wrong with a sheet beginning at row j (None: a sheet may begin
/// there). A break at the top (j 0) or below the rows is always right.
BreakFault BreakFaultAt(std::span<const RowKind> kinds, std::size_t j);

/// The same over size rows whose kinds kindAt(i) gives, for a caller that
/// classifies rows only where it needs them: it reads back from j only to the
/// last filled row.
template <class KindAt>
BreakFault BreakFaultAt(const KindAt& kindAt, std::size_t size, std::size_t j) {
    if (j == 0 || j >= size) return BreakFault::None;
    const RowKind at = kindAt(j);
    if (at == RowKind::Empty) return BreakFault::EmptyTop;
    if (at == RowKind::Continuation) return BreakFault::EntrySplit;
    for (std::size_t i = j; i-- > 0;) {
        const RowKind k = kindAt(i);
        if (k == RowKind::Empty) continue;
        return k == RowKind::Heading ? BreakFault::HeadingAlone : BreakFault::None;
    }
    return BreakFault::None;
}

}  // namespace ormelin::lists
