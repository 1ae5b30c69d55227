// Entries of a list: the key columns of every list layout (see layouts.cpp for
// the columns themselves) and the classification of rows.
#include "lists/entries.hpp"

#include <algorithm>

namespace ormelin::lists {

namespace {

// Specification: A "Формат", B "Зона", C "Поз.", D "Обозначение", E "Наименование",
// F "Кол.", G "Примечание".
const EntryColumns kSpa{7, {1, 2, 3, 4, 6}, {}, {3, 6}};
// List of elements: A "Зона", B "Поз. обозначение", C "Наименование", D "Кол.", E "Примечание".
const EntryColumns kPe{5, {1, 2, 4}, {}, {4}};
// Without the zone column: A "Поз. обозначение", B "Наименование", C "Кол.", D "Примечание".
const EntryColumns kPeWithoutZone{4, {1, 3}, {}, {3}};
// Documents on data media: A "№ строки" (the form's), B "Обозначение...", C "Наименование", D "Примечание".
const EntryColumns kVn{4, {2}, {1}, {}};
// Operational documents: A "Обозначение документа", B "Наименование документа", C "Кол. экз.",
// D "№ экз.", E "Место нахождения".
const EntryColumns kVe{5, {1, 3, 4}, {}, {3, 4}};
// Group specification: A "Формат", B "Зона", C "Поз.", D "Обозначение", E "Наименование",
// F..O the quantities per execution, P "Примечание".
const EntryColumns kSpb{16, {1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {}, {3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}};
// Purchased products: A "№ строки" (the form's), B "Наименование", C "Код продукции",
// D "Обозначение документа на поставку", E "Поставщик", F "Куда входит", G..J the
// quantities, K "Примечание".
const EntryColumns kVpa{11, {3, 7, 8, 9, 10}, {1}, {7, 8, 9, 10}};
const EntryColumns kNone{};

}  // namespace

const EntryColumns& EntryColumnsOf(ListLayout layout) {
    switch (layout) {
        case ListLayout::SPA: return kSpa;
        case ListLayout::PE: return kPe;
        case ListLayout::PeWithoutZone: return kPeWithoutZone;
        case ListLayout::VN: return kVn;
        case ListLayout::VE: return kVe;
        case ListLayout::SPB: return kSpb;
        case ListLayout::VPA: return kVpa;
        case ListLayout::None: break;
    }
    return kNone;
}

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
