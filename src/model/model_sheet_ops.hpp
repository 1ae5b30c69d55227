// Internal operations shared by the parts of the embedded model's worksheet:
// model_sheet.cpp (life, content, geometry, merges, links, page and view),
// model_formats.cpp, model_structure.cpp (insertions, deletions, clearing) and
// model_copy.cpp.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "model/model_impl.hpp"

namespace ormelin::model::ops {

using detail::Cell;
using detail::ColRec;
using detail::MergeAt;
using detail::Row;
using host::Area;
using host::Edge;
using host::FormatPatch;
using host::kMaxColumns;
using host::kMaxRows;
using host::Style;

[[noreturn]] inline void Refuse(Refusal why) { throw Error(why); }

inline void CheckArea(const Area& a) {
    if (a.r1 < 1 || a.c1 < 1 || a.r2 > kMaxRows || a.c2 > kMaxColumns || a.r1 > a.r2 || a.c1 > a.c2)
        throw Error(ErrorCode::InvalidArgument, "Area outside the sheet");
}

inline void CheckCell(int r, int c) {
    if (r < 1 || c < 1 || r > kMaxRows || c > kMaxColumns)
        throw Error(ErrorCode::InvalidArgument, "Cell outside the sheet");
}

inline bool StartsFormula(const host::Value& v) {
    auto* s = std::get_if<std::string>(&v);
    return s && s->size() > 1 && s->front() == '=';
}

/// A patch that changes one border side only.
inline FormatPatch ClearSide(Edge side) {
    FormatPatch p;
    p.borders[static_cast<int>(side)].style = host::LineStyle::None;
    return p;
}

/// A worksheet's data with the operations its members share.
struct Sheet {
    detail::SheetData& s;

    StyleTable& styles() const { return s.book->Styles(); }

    const ColRec* col(int c) const {
        return c >= 1 && static_cast<std::size_t>(c) <= s.cols.size() ? &s.cols[c - 1] : nullptr;
    }
    ColRec& colMut(int c) {
        if (s.cols.size() < static_cast<std::size_t>(c)) s.cols.resize(c);
        return s.cols[c - 1];
    }

    /// The style a cell takes when it has none of its own.
    StyleId inherited(int r, int c) const {
        if (const Row* row = s.rows.find(r); row && row->rec.style) return *row->rec.style;
        if (const ColRec* cr = col(c); cr && cr->style) return *cr->style;
        return s.sheetStyle.value_or(0);
    }
    StyleId effective(int r, int c) const {
        if (const Row* row = s.rows.find(r)) {
            if (const Cell* cell = row->find(c); cell && cell->style) return *cell->style;
        }
        return inherited(r, c);
    }
    /// Gives a cell a style of its own; a style equal to the inherited one is dropped.
    void setOwn(int r, int c, StyleId id) {
        Row* row = s.rows.find(r);
        Cell* cell = row ? row->find(c) : nullptr;
        if (id == inherited(r, c)) {
            if (cell && cell->style) {
                cell->style.reset();
                row->dropIfBlank(c);
            }
            return;
        }
        s.rows.get(r).get(c).style = id;
    }

    // merges ---------------------------------------------------------------

    std::optional<Area> mergeAt(int r, int c) const {
        const int from = std::max(1, r - s.maxMergeRows + 1);
        for (int rr = r; rr >= from; --rr) {
            const Row* row = s.rows.find(rr);
            if (!row || rr + row->tallestMerge - 1 < r) continue;
            for (const MergeAt& m : row->merges) {
                if (m.c1 > c) break;
                if (m.c2() >= c && rr + m.rows - 1 >= r) return Area{rr, m.c1, rr + m.rows - 1, m.c2()};
            }
        }
        return std::nullopt;
    }

    std::vector<Area> mergesIn(const Area& a) const {
        std::vector<Area> out;
        const int from = std::max(1, a.r1 - s.maxMergeRows + 1);
        const int to = detail::StoredUpTo(s.rows, a.r2);
        for (int rr = from; rr <= to; ++rr) {
            const Row& row = s.rows.at(rr - 1);
            if (rr + row.tallestMerge - 1 < a.r1) continue;
            for (const MergeAt& m : row.merges) {
                if (m.c1 > a.c2) break;  // sorted by first column
                if (rr + m.rows - 1 < a.r1 || m.c2() < a.c1) continue;
                out.push_back(Area{rr, m.c1, rr + m.rows - 1, m.c2()});
            }
        }
        return out;
    }

    void removeMerge(const Area& m) {
        Row* row = s.rows.find(m.r1);
        if (!row) return;
        auto& v = row->merges;
        v.erase(std::remove_if(v.begin(), v.end(), [&](const MergeAt& x) { return x.c1 == m.c1; }), v.end());
    }

    void addMerge(const Area& m) {
        s.rows.get(m.r1).addMerge(MergeAt{m.c1, m.rows(), m.columns()});
        s.maxMergeRows = std::max(s.maxMergeRows, m.rows());
    }

    void unmergeIn(const Area& a) {
        for (const Area& m : mergesIn(a)) removeMerge(m);
    }

    // content --------------------------------------------------------------

    void clearContentIn(const Area& a) {
        const int to = detail::StoredUpTo(s.rows, a.r2);
        for (int r = a.r1; r <= to; ++r) {
            Row& row = s.rows.at(r - 1);
            auto it = row.lower(a.c1);
            while (it != row.cells.end() && it->col <= a.c2) {
                it->clearContent();
                if (it->blank()) it = row.cells.erase(it);
                else ++it;
            }
        }
    }

    /// Writes a value or formula into a cell; its formatted runs are dropped
    /// unless they come with it (a copy).
    void put(int r, int c, host::Value v, std::string formula, std::shared_ptr<const host::RichText> runs = {}) {
        if (host::IsEmpty(v) && formula.empty()) {
            if (Row* row = s.rows.find(r)) {
                if (Cell* cell = row->find(c)) {
                    cell->clearContent();
                    row->dropIfBlank(c);
                }
            }
            return;
        }
        Cell& cell = s.rows.get(r).get(c);
        cell.value = v;
        cell.setFormula(std::move(formula));
        cell.setRuns(std::move(runs));
    }

    // formats --------------------------------------------------------------

    /// Applies a format patch to an area; with neighbours, an outer border set to
    /// none also clears the facing border of the cells outside (model_formats.cpp).
    void formatArea(const Area& a, const FormatPatch& patch, bool neighbours);
};

// ---------------------------------------------------------------- structure changes
// (model_structure.cpp; the cells' insertions and deletions use them too)

/// The last column holding content in rows r1..r2 that a column insertion would move.
int LastContentColumn(const detail::SheetData& s, int r1 = 1, int r2 = kMaxRows);
/// Drops the cells an insertion pushed past the sheet's last column.
void DropCellsPastTheEdge(Row& row);
/// Moves an interval [a, b] by an insertion of n before position at.
void ShiftSpanForInsert(int& a, int& b, int at, int n);
/// Shrinks an interval [a, b] by a deletion of [at, at + n - 1]; false when nothing remains.
bool ShiftSpanForDelete(int& a, int& b, int at, int n);

}  // namespace ormelin::model::ops

// In members of ModelWorksheet: a deleted sheet refuses every call.
#define ALIVE()                                                                         \
    do {                                                                                \
        if (impl_->deleted || !impl_->book) throw Error(ErrorCode::ObjectDeleted);     \
    } while (0)

// A change that may add, remove or move cells: the column counts are stale.
#define CHANGING()                     \
    do {                               \
        ALIVE();                       \
        impl_->countsValid = false;    \
    } while (0)
