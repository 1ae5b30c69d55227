// Keeping entries whole: the plan of padding rows, padding a list before it is
// formed, finding the padding rows again on rollback, and the places of a formed
// document where a sheet break goes wrong.
#include "forming/keep_together.hpp"

#include <algorithm>
#include <optional>
#include <string>

#include "forming/forming.hpp"
#include "forming/forming_spb.hpp"
#include "forming/rollback.hpp"
#include "lists/row_heights.hpp"
#include "recognition/recognition.hpp"

namespace ormelin::forming {

namespace {

/// Whether a cell holds anything: a value that is no empty text (a number
/// counts whatever its format shows).
bool Shows(const host::Worksheet& w, int row, int column) {
    const host::CellContent c = w.Content(row, column);
    if (std::holds_alternative<std::monostate>(c.value)) return false;
    if (const auto* s = std::get_if<std::string>(&c.value)) return !s->empty();
    return true;
}

/// The kinds of the worksheet rows from..to, each list column read at its column.
std::vector<lists::RowKind> KindsOfRows(const host::Worksheet& w, const lists::EntryColumns& columns,
                                        const std::vector<int>& columnAt, const std::vector<int>& rows) {
    std::vector<lists::RowFill> fills;
    fills.reserve(rows.size());
    for (const int r : rows)
        fills.push_back(lists::FillOf(columns, [&](int c) { return Shows(w, r, columnAt[static_cast<std::size_t>(c)]); }));
    return lists::ClassifyRows(fills);
}

/// The state of the list a formed state was formed from; ksDOC_NO for one
/// without a list. The list of elements tells by its first field whether it has
/// the zone column.
std::int32_t ListStateOfFormed(const host::Worksheet& w, std::int32_t formed) {
    switch (KindOf(formed)) {
        case DocKind::SPA: return ksSPA_OT;
        case DocKind::SPB: return ksSPB_OT;
        case DocKind::PE: return w.CellText(1, 3) == "Зона" ? ksPE_OT_1 : ksPE_OT_2;
        case DocKind::VPA: return ksVPA_OT;
        case DocKind::VN: return ksVN_OT;
        case DocKind::VE: return ksVE_OT;
        default: return ksDOC_NO;
    }
}

/// Where each list column (1-based; index 0 unused) of the list state stands on
/// the formed sheet of the geometry.
std::vector<int> FormedColumns(std::int32_t list, int count, const SheetGeometry& g) {
    const int shift = &g == &kA4LandscapeGroupMoved ? 1 : 0;
    std::vector<int> at(static_cast<std::size_t>(count) + 1);
    for (int c = 1; c <= count; ++c) at[static_cast<std::size_t>(c)] = FormedColumnOf(list, c) + shift;
    return at;
}

}  // namespace

namespace {

/// The plan over size rows whose kinds kindAt(i) gives, each asked for only
/// where a sheet ends.
template <class KindAt>
KeepPlan Plan(const KindAt& kindAt, std::size_t n, const SheetGeometry& g) {
    using lists::BreakFault;
    KeepPlan plan;
    const auto run = static_cast<std::size_t>(EmptyRunOf(g));
    // Whether rows from..from+run-1 are all empty (rows past the list are).
    const auto emptyRunAt = [&](std::size_t from) {
        for (std::size_t i = from; i < std::min(n, from + run); ++i)
            if (kindAt(i) != lists::RowKind::Empty) return false;
        return true;
    };
    std::size_t s = 0;
    auto capacity = static_cast<std::size_t>(g.firstListRows);
    for (;;) {
        const std::size_t e = s + capacity;  // where the next sheet would begin
        if (e >= n || emptyRunAt(e)) break;  // forming ends there
        std::size_t j = e;
        while (j > s && lists::BreakFaultAt(kindAt, n, j) != BreakFault::None) --j;
        if (j == s) {  // no whole entry ends on this sheet: split where the sheet is full
            j = e;
            if (lists::BreakFaultAt(kindAt, n, e) == BreakFault::EntrySplit) {
                std::size_t start = e;
                while (start > 0 && kindAt(start) == lists::RowKind::Continuation) --start;
                if (plan.splitEntries.empty() || plan.splitEntries.back() != start) {  // each entry once
                    ++plan.entriesSplit;
                    plan.splitEntries.push_back(start);
                }
            }
        } else if (j < e) {
            plan.padding.push_back({j, static_cast<int>(e - j)});
        }
        s = j;
        capacity = static_cast<std::size_t>(g.furtherListRows);
    }
    return plan;
}

/// The list rows of a sheet from a first row on, read and classified as they
/// are asked for (each row once).
class ListRows {
public:
    ListRows(const host::Worksheet& w, const lists::EntryColumns& columns, int first)
        : w_(w), columns_(columns), first_(first) {
        const int last = w.UsedRange().r2;
        size_ = last >= first ? static_cast<std::size_t>(last - first + 1) : 0;
        fills_.resize(size_);
        kinds_.resize(size_);
    }
    std::size_t size() const { return size_; }
    lists::RowKind kind(std::size_t i) const {
        if (!kinds_[i]) kinds_[i] = lists::KindOfRow([this](std::size_t k) { return fill(k); }, i);
        return *kinds_[i];
    }

private:
    lists::RowFill fill(std::size_t i) const {
        if (!fills_[i]) {
            const int r = first_ + static_cast<int>(i);
            fills_[i] = lists::FillOf(columns_, [&](int c) { return Shows(w_, r, c); });
        }
        return *fills_[i];
    }
    const host::Worksheet& w_;
    const lists::EntryColumns& columns_;
    int first_;
    std::size_t size_ = 0;
    mutable std::vector<std::optional<lists::RowFill>> fills_;
    mutable std::vector<std::optional<lists::RowKind>> kinds_;
};

}  // namespace

KeepPlan PlanKeepTogether(std::span<const lists::RowKind> kinds, const SheetGeometry& g) {
    return Plan([&](std::size_t i) { return kinds[i]; }, kinds.size(), g);
}

KeepResult KeepEntriesTogether(host::Worksheet& w, std::int32_t listState, const SheetGeometry& g) {
    if (listState == ksDOC_NO) listState = ksSPA_OT;
    const lists::EntryColumns& columns = lists::EntryColumnsOf(StateEntryOf(listState).listLayout);
    if (columns.count == 0) return {};
    const int first = FirstDataRow(KindOf(listState));
    const ListRows rows(w, columns, first);
    const KeepPlan plan = Plan([&](std::size_t i) { return rows.kind(i); }, rows.size(), g);

    KeepResult result;
    result.entriesSplit = plan.entriesSplit;
    for (const std::size_t i : plan.splitEntries) result.splitEntryRows.push_back(first + static_cast<int>(i));
    // The mark's column: the one right of the link cell, which lands right of
    // every form. The padding rows are new, so the mark takes nobody's cell.
    const int markColumn = columns.count + 2;
    for (auto p = plan.padding.rbegin(); p != plan.padding.rend(); ++p) {
        const int at0 = first + static_cast<int>(p->before);
        w.InsertRows(at0, p->rows);
        const int last = at0 + p->rows - 1;
        w.RowHeight(at0, last, lists::kListRowHeight);
        const host::Area mark{at0, markColumn, last, markColumn};
        w.SetLiteral(mark, std::string(kPaddingMark));
        w.Format(mark, host::FormatPatch{.numberFormat = std::string(kPaddingMarkFormat)});
        result.paddingRows += p->rows;
    }
    return result;
}

std::vector<int> TakePaddingRows(host::Worksheet& w, const SheetGeometry& g, std::int32_t formedState) {
    std::vector<int> rows;
    const host::Area used = w.UsedRange();
    if (used.c2 <= g.columns) return rows;
    // A padding row stays when a user filled any of its list fields.
    const std::int32_t list = ListStateOfFormed(w, formedState);
    const lists::EntryColumns& columns = lists::EntryColumnsOf(StateEntryOf(list).listLayout);
    const std::vector<int> at = FormedColumns(list, columns.count, g);
    for (int r = 1; r <= used.r2; ++r) {
        int mark = 0;
        for (int c = g.columns + 1; c <= used.c2 && !mark; ++c) {
            const host::CellContent content = w.Content(r, c);
            const auto* s = std::get_if<std::string>(&content.value);
            if (s && *s == kPaddingMark) mark = c;
        }
        if (!mark) continue;
        const lists::RowFill fill =
            lists::FillOf(columns, [&](int c) { return Shows(w, r, at[static_cast<std::size_t>(c)]); });
        if (fill.key || fill.text) w.ClearContents(host::Area{r, mark, r, mark});
        else rows.push_back(r);
    }
    return rows;
}

std::vector<BreakPlace> SheetBreakFaults(const host::Worksheet& w) {
    std::vector<BreakPlace> places;
    const std::int32_t formed = recognition::StateOf(w);
    if (!IsFormedState(formed)) return places;
    const std::int32_t list = ListStateOfFormed(w, formed);
    const lists::EntryColumns& columns = lists::EntryColumnsOf(StateEntryOf(list).listLayout);
    const SheetGeometry* g = FormedGeometryOn(w, formed);
    if (!g || columns.count == 0) return places;
    const std::vector<int> at = FormedColumns(list, columns.count, *g);

    // The list rows of every sheet, the change-registration sheet's left out:
    // what lies between the rows forming inserted.
    const std::vector<RowSpan> inserted = FindInsertedRows(w, *g);
    if (inserted.empty()) return places;
    std::vector<int> rows;
    std::vector<std::size_t> sheetStart;  // index of each sheet's first list row in rows
    std::vector<int> sheetFirstRow;
    int from = FirstDataRow(KindOf(formed));
    for (std::size_t i = 0; i < inserted.size(); ++i) {
        const bool top = i % 2 == 1;  // further sheets: top rows, then the title block
        if (top) {
            const int bottom = inserted[i - 1].to;
            const RowMark& m = g->registrationHeading;
            if (w.CellText(bottom + m.row - 1, m.column) == m.text) break;
            from = inserted[i].to + 1;
            continue;
        }
        sheetStart.push_back(rows.size());
        sheetFirstRow.push_back(from);
        for (int r = from; r < inserted[i].from; ++r) rows.push_back(r);
    }
    const auto kinds = KindsOfRows(w, columns, at, rows);
    for (std::size_t s = 1; s < sheetStart.size(); ++s) {
        const std::size_t j = sheetStart[s];
        const lists::BreakFault fault = lists::BreakFaultAt(kinds, j);
        if (fault == lists::BreakFault::None) continue;
        BreakPlace place{static_cast<int>(s) + 1, sheetFirstRow[s], fault};
        if (fault == lists::BreakFault::HeadingAlone) {
            std::size_t h = j;
            while (h > 0 && kinds[h - 1] == lists::RowKind::Empty) --h;
            while (h > 0 && kinds[h - 1] == lists::RowKind::Heading) --h;
            place.row = rows[h];
            place.sheet = static_cast<int>(std::upper_bound(sheetStart.begin(), sheetStart.end(), h) - sheetStart.begin());
        }
        places.push_back(place);
    }
    return places;
}

}  // namespace ormelin::forming
