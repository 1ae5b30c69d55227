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
};

/// The entry columns of a list layout; an empty set (count 0) for None.
const EntryColumns& EntryColumnsOf(ListLayout layout);

/// What a row shows, read cell by cell: `shows(listColumn)` tells whether the
/// row's cell of that list column shows anything.
struct RowFill {
    bool key = false;
    bool text = false;
};
RowFill FillOf(const EntryColumns& columns, const std::function<bool(int listColumn)>& shows);

/// The kinds of a run of list rows in list order.
std::vector<RowKind> ClassifyRows(std::span<const RowFill> rows);

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

}  // namespace ormelin::lists
