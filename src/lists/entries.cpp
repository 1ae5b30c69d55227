// Entries of a list: the classification of rows. The key, ignored and number
// columns of each list layout stand beside its steps in layouts.cpp.
#include "lists/entries.hpp"

#include <algorithm>

namespace ormelin::lists {

RowFill FillOf(const EntryColumns& columns, const std::function<bool(int listColumn)>& shows) {
    RowFill fill;
    for (int c = 1; c <= columns.count; ++c) {
        if (std::find(columns.ignored.begin(), columns.ignored.end(), c) != columns.ignored.end()) continue;
        const bool key = std::find(columns.key.begin(), columns.key.end(), c) != columns.key.end();
        if ((key ? fill.key : fill.text) || !shows(c)) continue;
        (key ? fill.key : fill.text) = true;
        if (fill.key) break;  // a key cell decides
    }
    return fill;
}

RowKind KindAfter(RowFill fill, RowKind previous) {
    if (fill.key) return RowKind::EntryStart;
    if (!fill.text) return RowKind::Empty;
    return previous == RowKind::Empty || previous == RowKind::Heading ? RowKind::Heading : RowKind::Continuation;
}

std::vector<RowKind> ClassifyRows(std::span<const RowFill> rows) {
    std::vector<RowKind> kinds;
    kinds.reserve(rows.size());
    RowKind previous = RowKind::Empty;
    for (const RowFill& r : rows) kinds.push_back(previous = KindAfter(r, previous));
    return kinds;
}

BreakFault BreakFaultAt(std::span<const RowKind> kinds, std::size_t j) {
    return BreakFaultAt([&](std::size_t i) { return kinds[i]; }, kinds.size(), j);
}

}  // namespace ormelin::lists
