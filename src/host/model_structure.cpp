// The embedded model's worksheet: inserting and deleting rows, columns and cells,
// and clearing areas.
#include <algorithm>
#include <iterator>
#include <vector>

#include "host/model_sheet_ops.hpp"

namespace ormelin::model {

using namespace ops;

// ---------------------------------------------------------------- structure: rows

namespace {

// At the sheet's edge an insertion follows the desktop spreadsheet: content (a
// value or formula, a merged area, a hyperlink) that would be pushed off the
// sheet refuses it; formats alone (row and column records, whole-row and
// whole-column styles, empty styled cells) pushed past the edge are dropped.

bool HasContent(const Row& row) {
    return !row.merges.empty() ||
           std::any_of(row.cells.begin(), row.cells.end(), [](const Cell& c) { return c.hasContent(); });
}

// The last row holding content that a row insertion would move.
int LastContentRow(const detail::SheetData& s) {
    int last = static_cast<int>(s.rows.size());
    while (last > 0 && !HasContent(s.rows.at(last - 1))) --last;
    int result = last;
    // a merged area starting further up may reach lower than the last row with content
    for (int r = std::max(1, last - s.maxMergeRows + 1); r <= last; ++r) {
        for (const MergeAt& m : s.rows.at(r - 1).merges) result = std::max(result, r + m.rows - 1);
    }
    for (const auto& l : s.links) result = std::max(result, l.anchor.r2);
    return result;
}

// The last column holding content in rows r1..r2 that a column insertion would move.
int LastContentColumn(const detail::SheetData& s, int r1 = 1, int r2 = kMaxRows) {
    int last = 0;
    for (int r = r1; r <= StoredUpTo(s.rows, r2); ++r) {
        const Row& row = s.rows.at(r - 1);
        for (auto c = row.cells.rbegin(); c != row.cells.rend() && c->col > last; ++c) {
            if (c->hasContent()) {
                last = c->col;
                break;
            }
        }
        for (const MergeAt& m : row.merges) last = std::max(last, m.c2());
    }
    for (const auto& l : s.links) {
        if (l.anchor.r1 >= r1 && l.anchor.r2 <= r2) last = std::max(last, l.anchor.c2);
    }
    return last;
}

// Drops the rows an insertion pushed past the sheet's last row.
void DropRowsPastTheEdge(detail::SheetData& s) {
    const auto edge = static_cast<std::size_t>(kMaxRows);
    if (s.rows.size() <= edge) return;
    for (std::size_t i = edge; i < s.rows.size(); ++i) s.countRemoved(s.rows.at(i));
    s.rows.erase(edge, s.rows.size() - edge);
}

// Drops the cells an insertion pushed past the sheet's last column.
void DropCellsPastTheEdge(Row& row) {
    auto& cells = row.cells;
    cells.erase(row.lower(kMaxColumns + 1), cells.end());
}

// Moves an interval [a, b] by an insertion of n before position at.
void ShiftSpanForInsert(int& a, int& b, int at, int n) {
    if (a >= at) {
        a += n;
        b += n;
    } else if (b >= at) {
        b += n;
    }
}

// Shrinks an interval [a, b] by a deletion of [at, at + n - 1]; false when nothing remains.
bool ShiftSpanForDelete(int& a, int& b, int at, int n) {
    const int last = at + n - 1;
    auto map = [&](int x, bool start) {
        if (x < at) return x;
        if (x > last) return x - n;
        return start ? at : at - 1;
    };
    int na = map(a, true), nb = map(b, false);
    if (nb < na) return false;
    a = na;
    b = nb;
    return true;
}

}  // namespace

void ModelWorksheet::InsertRows(int at, int count) {
    ALIVE();
    if (count <= 0) return;
    CheckCell(at, 1);
    auto& s = *impl_;
    const int last = LastContentRow(s);
    if (last >= at && static_cast<long long>(last) + count > kMaxRows)
        Refuse(Refusal::ContentOffSheet);
    detail::AdjustFormulas(s, formula::Change::InsertRows(s.name, at, count));
    // merged areas that the insertion cuts through grow
    for (int r = std::max(1, at - s.maxMergeRows + 1); r < at; ++r) {
        Row* row = s.rows.find(r);
        if (!row) continue;
        for (MergeAt& m : row->merges) {
            if (r + m.rows - 1 >= at) {
                m.rows += count;
                s.maxMergeRows = std::max(s.maxMergeRows, m.rows);
            }
        }
    }
    // the format of the row above (of the row itself for an insertion at row 1)
    const int src = at > 1 ? at - 1 : at;
    RowRecord rec;
    std::vector<std::pair<int, StyleId>> cellStyles;
    if (const Row* row = s.rows.find(src)) {
        rec.height = row->rec.height;
        rec.hiddenHeight = row->rec.hiddenHeight;
        rec.style = row->rec.style;
        for (const Cell& c : row->cells) {
            if (c.style) cellStyles.emplace_back(c.col, *c.style);
        }
    }
    // rows inserted inside an outline group join it; at the group's edge they stay outside
    const Row* above = s.rows.find(at - 1);
    const Row* below = s.rows.find(at);
    rec.outlineLevel = above && below ? std::min(above->rec.outlineLevel, below->rec.outlineLevel) : 0;
    if (static_cast<std::size_t>(at - 1) < s.rows.size()) {
        s.rows.insert(at - 1, count);
        DropRowsPastTheEdge(s);
    }
    if (rec.height >= 0 || rec.style || rec.outlineLevel > 0 || !cellStyles.empty()) {
        const int end = std::min(at + count - 1, kMaxRows);
        for (int r = at; r <= end; ++r) {
            Row& row = s.rows.get(r);
            s.countRemoved(row);
            row.rec = rec;
            row.cells.clear();
            for (auto [c, id] : cellStyles) row.get(c).style = id;
            s.countAdded(row);
        }
    }
    for (auto& l : s.links) ShiftSpanForInsert(l.anchor.r1, l.anchor.r2, at, count);
    if (at <= s.view.frozenRows) s.view.frozenRows += count;
}

void ModelWorksheet::DeleteRows(int at, int count) {
    ALIVE();
    if (count <= 0) return;
    CheckCell(at, 1);
    auto& s = *impl_;
    count = std::min(count, kMaxRows - at + 1);
    const int lastDel = at + count - 1;
    detail::AdjustFormulas(s, formula::Change::DeleteRows(s.name, at, count));
    // merged areas from above that reach into the deleted rows shrink
    for (int r = std::max(1, at - s.maxMergeRows + 1); r < at; ++r) {
        Row* row = s.rows.find(r);
        if (!row) continue;
        for (MergeAt& m : row->merges) {
            const int bottom = r + m.rows - 1;
            if (bottom >= at) m.rows -= std::min(bottom, lastDel) - at + 1;
        }
        auto& v = row->merges;
        v.erase(std::remove_if(v.begin(), v.end(), [](const MergeAt& m) { return m.rows == 1 && m.cols == 1; }),
                v.end());
    }
    // merged areas starting in the deleted rows keep their part below
    std::vector<MergeAt> carried;
    const int stored = static_cast<int>(s.rows.size());
    for (int r = at; r <= std::min(lastDel, stored); ++r) {
        for (const MergeAt& m : s.rows.at(r - 1).merges) {
            const int bottom = r + m.rows - 1;
            if (bottom > lastDel) carried.push_back(MergeAt{m.c1, bottom - lastDel, m.cols});
        }
    }
    for (int r = at; r <= std::min(lastDel, stored); ++r) s.countRemoved(s.rows.at(r - 1));
    if (at <= stored) s.rows.erase(at - 1, count);
    for (const MergeAt& m : carried) {
        if (m.rows == 1 && m.cols == 1) continue;
        s.rows.get(at).addMerge(m);
    }
    s.rows.trim();
    auto& links = s.links;
    links.erase(std::remove_if(links.begin(), links.end(),
                               [&](host::Hyperlink& l) { return !ShiftSpanForDelete(l.anchor.r1, l.anchor.r2, at, count); }),
                links.end());
    if (at <= s.view.frozenRows) s.view.frozenRows -= std::min(count, s.view.frozenRows - at + 1);
}

// ---------------------------------------------------------------- structure: columns

void ModelWorksheet::InsertColumns(int at, int count) {
    CHANGING();
    if (count <= 0) return;
    CheckCell(1, at);
    auto& s = *impl_;
    const int last = LastContentColumn(s);
    if (last >= at && static_cast<long long>(last) + count > kMaxColumns)
        Refuse(Refusal::ContentOffSheet);
    detail::AdjustFormulas(s, formula::Change::InsertColumns(s.name, at, count));
    const int src = at > 1 ? at - 1 : at;
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        Row& row = s.rows.at(i);
        std::optional<StyleId> srcStyle;
        if (const Cell* c = row.find(src); c && c->style) srcStyle = c->style;
        for (Cell& c : row.cells) {
            if (c.col >= at) c.col += count;
        }
        DropCellsPastTheEdge(row);
        if (srcStyle) {
            for (int c = at; c <= std::min(at + count - 1, kMaxColumns); ++c) row.get(c).style = srcStyle;
        }
        for (MergeAt& m : row.merges) {
            if (m.c1 >= at) m.c1 += count;
            else if (m.c2() >= at) m.cols += count;
        }
    }
    if (static_cast<std::size_t>(src) <= s.cols.size()) {
        ColRec rec = s.cols[src - 1];
        // columns inserted inside an outline group join it; at the group's edge they stay outside
        const bool inside = at > 1 && static_cast<std::size_t>(at) <= s.cols.size();
        rec.outlineLevel = inside ? std::min(s.cols[at - 2].outlineLevel, s.cols[at - 1].outlineLevel) : 0;
        rec.collapsed = false;
        if (static_cast<std::size_t>(at - 1) <= s.cols.size())
            s.cols.insert(s.cols.begin() + (at - 1), static_cast<std::size_t>(count), rec);
        if (s.cols.size() > static_cast<std::size_t>(kMaxColumns)) s.cols.resize(kMaxColumns);
    }
    for (auto& l : s.links) ShiftSpanForInsert(l.anchor.c1, l.anchor.c2, at, count);
    if (at <= s.view.frozenColumns) s.view.frozenColumns += count;
}

void ModelWorksheet::DeleteColumns(int at, int count) {
    CHANGING();
    if (count <= 0) return;
    CheckCell(1, at);
    auto& s = *impl_;
    count = std::min(count, kMaxColumns - at + 1);
    const int lastDel = at + count - 1;
    detail::AdjustFormulas(s, formula::Change::DeleteColumns(s.name, at, count));
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        Row& row = s.rows.at(i);
        auto& cells = row.cells;
        cells.erase(std::remove_if(cells.begin(), cells.end(),
                                   [&](const Cell& c) { return c.col >= at && c.col <= lastDel; }),
                    cells.end());
        for (Cell& c : cells) {
            if (c.col > lastDel) c.col -= count;
        }
        std::vector<MergeAt> kept;
        for (MergeAt m : row.merges) {
            int a = m.c1, b = m.c2();
            if (!ShiftSpanForDelete(a, b, at, count)) continue;
            m.c1 = a;
            m.cols = b - a + 1;
            if (m.rows == 1 && m.cols == 1) continue;
            kept.push_back(m);
        }
        row.merges = std::move(kept);
    }
    if (static_cast<std::size_t>(at - 1) < s.cols.size()) {
        auto end = std::min(s.cols.size(), static_cast<std::size_t>(lastDel));
        s.cols.erase(s.cols.begin() + (at - 1), s.cols.begin() + static_cast<std::ptrdiff_t>(end));
    }
    s.rows.trim();
    auto& links = s.links;
    links.erase(std::remove_if(links.begin(), links.end(),
                               [&](host::Hyperlink& l) { return !ShiftSpanForDelete(l.anchor.c1, l.anchor.c2, at, count); }),
                links.end());
    if (at <= s.view.frozenColumns) s.view.frozenColumns -= std::min(count, s.view.frozenColumns - at + 1);
}

// ---------------------------------------------------------------- structure: cells

namespace {

/// The part of one row that a cell insertion or deletion moves up or down: its
/// cells and merged areas within the moving columns.
struct BlockPart {
    std::vector<Cell> cells;
    std::vector<MergeAt> merges;
};

BlockPart TakeBlock(Row& row, int c1, int c2) {
    BlockPart part;
    auto first = row.lower(c1), last = first;
    while (last != row.cells.end() && last->col <= c2) ++last;
    part.cells.assign(std::make_move_iterator(first), std::make_move_iterator(last));
    row.cells.erase(first, last);
    auto& mv = row.merges;
    for (auto m = mv.begin(); m != mv.end();) {
        if (m->c1 >= c1 && m->c2() <= c2) {
            part.merges.push_back(*m);
            m = mv.erase(m);
        } else {
            ++m;
        }
    }
    return part;
}

void PutBlock(Row& dest, BlockPart&& part) {
    for (Cell& c : part.cells) dest.get(c.col) = std::move(c);
    for (const MergeAt& m : part.merges) dest.addMerge(m);
}

}  // namespace

void ModelWorksheet::InsertCells(const Area& area, host::Shift shift) {
    CHANGING();
    CheckArea(area);
    if (area.entireRows() && (shift == host::Shift::Down || shift == host::Shift::Up || area.entireColumns())) {
        InsertRows(area.r1, area.rows());
        return;
    }
    if (area.entireColumns()) {
        InsertColumns(area.c1, area.columns());
        return;
    }
    auto& s = *impl_;
    Sheet sh{s};
    if (shift == host::Shift::Down || shift == host::Shift::Up) {
        const int n = area.rows();
        // merged areas in the moving block must lie wholly within its columns
        for (const Area& m : sh.mergesIn(Area{area.r1, area.c1, kMaxRows, area.c2})) {
            if (m.c1 < area.c1 || m.c2 > area.c2) Refuse(Refusal::PartOfMergedArea);
            if (m.r2 + n > kMaxRows) Refuse(Refusal::ContentOffSheet);
        }
        const int last = static_cast<int>(s.rows.size());
        for (int r = std::max(area.r1, kMaxRows - n + 1); r <= last; ++r) {
            const Row& row = s.rows.at(r - 1);
            for (auto it = row.lower(area.c1); it != row.cells.end() && it->col <= area.c2; ++it) {
                if (it->hasContent()) Refuse(Refusal::ContentOffSheet);
            }
        }
        if (area.r1 + n <= kMaxRows)
            detail::AdjustFormulas(s, formula::Change::MoveCells(s.name, Area{area.r1, area.c1, kMaxRows - n, area.c2},
                                                                 s.name, area.r1 + n, area.c1));
        for (int r = last; r >= area.r1; --r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            BlockPart part = TakeBlock(*row, area.c1, area.c2);
            if (r + n > kMaxRows) continue;  // formats pushed past the last row are dropped
            PutBlock(s.rows.get(r + n), std::move(part));
        }
        // the new cells take the format of the cells above
        for (int c = area.c1; c <= area.c2; ++c) {
            const StyleId above = area.r1 > 1 ? sh.effective(area.r1 - 1, c) : sh.inherited(area.r1, c);
            for (int r = area.r1; r <= area.r2; ++r) sh.setOwn(r, c, above);
        }
        for (auto& l : s.links) {
            if (l.anchor.c1 >= area.c1 && l.anchor.c2 <= area.c2) ShiftSpanForInsert(l.anchor.r1, l.anchor.r2, area.r1, n);
        }
    } else {
        const int n = area.columns();
        for (const Area& m : sh.mergesIn(Area{area.r1, area.c1, area.r2, kMaxColumns})) {
            if (m.r1 < area.r1 || m.r2 > area.r2) Refuse(Refusal::PartOfMergedArea);
        }
        const int last = LastContentColumn(s, area.r1, area.r2);
        if (last >= area.c1 && last + n > kMaxColumns) Refuse(Refusal::ContentOffSheet);
        if (area.c1 + n <= kMaxColumns)
            detail::AdjustFormulas(s, formula::Change::MoveCells(s.name, Area{area.r1, area.c1, area.r2, kMaxColumns - n},
                                                                 s.name, area.r1, area.c1 + n));
        for (int r = area.r1; r <= area.r2; ++r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            for (Cell& c : row->cells) {
                if (c.col >= area.c1) c.col += n;
            }
            DropCellsPastTheEdge(*row);
            for (MergeAt& m : row->merges) {
                if (m.c1 >= area.c1) m.c1 += n;
            }
        }
        for (int r = area.r1; r <= area.r2; ++r) {
            const StyleId left = area.c1 > 1 ? sh.effective(r, area.c1 - 1) : sh.inherited(r, area.c1);
            for (int c = area.c1; c <= area.c2; ++c) sh.setOwn(r, c, left);
        }
        for (auto& l : s.links) {
            if (l.anchor.r1 >= area.r1 && l.anchor.r2 <= area.r2) ShiftSpanForInsert(l.anchor.c1, l.anchor.c2, area.c1, n);
        }
    }
}

void ModelWorksheet::DeleteCells(const Area& area, host::Shift shift) {
    CHANGING();
    CheckArea(area);
    if (area.entireRows() && (shift == host::Shift::Up || shift == host::Shift::Down || area.entireColumns())) {
        DeleteRows(area.r1, area.rows());
        return;
    }
    if (area.entireColumns()) {
        DeleteColumns(area.c1, area.columns());
        return;
    }
    auto& s = *impl_;
    Sheet sh{s};
    if (shift == host::Shift::Up || shift == host::Shift::Down) {
        const int n = area.rows();
        for (const Area& m : sh.mergesIn(Area{area.r1, area.c1, kMaxRows, area.c2})) {
            if (m.c1 < area.c1 || m.c2 > area.c2 || (m.r1 < area.r1 && m.r2 >= area.r1) ||
                (m.r1 <= area.r2 && m.r2 > area.r2))
                Refuse(Refusal::PartOfMergedArea);
        }
        if (area.r2 < kMaxRows)
            detail::AdjustFormulas(s, formula::Change::MoveCells(s.name, Area{area.r2 + 1, area.c1, kMaxRows, area.c2},
                                                                 s.name, area.r1, area.c1));
        const int last = static_cast<int>(s.rows.size());
        for (int r = area.r1; r <= last; ++r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            BlockPart part = TakeBlock(*row, area.c1, area.c2);  // the deleted rows' part is dropped
            if (r > area.r2) PutBlock(s.rows.get(r - n), std::move(part));
        }
        auto& links = s.links;
        links.erase(std::remove_if(links.begin(), links.end(),
                                   [&](host::Hyperlink& l) {
                                       if (l.anchor.c1 < area.c1 || l.anchor.c2 > area.c2) return false;
                                       return !ShiftSpanForDelete(l.anchor.r1, l.anchor.r2, area.r1, n);
                                   }),
                    links.end());
    } else {
        const int n = area.columns();
        for (const Area& m : sh.mergesIn(Area{area.r1, area.c1, area.r2, kMaxColumns})) {
            if (m.r1 < area.r1 || m.r2 > area.r2 || (m.c1 < area.c1 && m.c2 >= area.c1) ||
                (m.c1 <= area.c2 && m.c2 > area.c2))
                Refuse(Refusal::PartOfMergedArea);
        }
        if (area.c2 < kMaxColumns)
            detail::AdjustFormulas(s, formula::Change::MoveCells(s.name, Area{area.r1, area.c2 + 1, area.r2, kMaxColumns},
                                                                 s.name, area.r1, area.c1));
        for (int r = area.r1; r <= area.r2; ++r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            auto& cells = row->cells;
            cells.erase(std::remove_if(cells.begin(), cells.end(),
                                       [&](const Cell& c) { return c.col >= area.c1 && c.col <= area.c2; }),
                        cells.end());
            for (Cell& c : cells) {
                if (c.col > area.c2) c.col -= n;
            }
            auto& mv = row->merges;
            mv.erase(std::remove_if(mv.begin(), mv.end(),
                                    [&](const MergeAt& m) { return m.c1 >= area.c1 && m.c2() <= area.c2; }),
                     mv.end());
            for (MergeAt& m : mv) {
                if (m.c1 > area.c2) m.c1 -= n;
            }
        }
        auto& links = s.links;
        links.erase(std::remove_if(links.begin(), links.end(),
                                   [&](host::Hyperlink& l) {
                                       if (l.anchor.r1 < area.r1 || l.anchor.r2 > area.r2) return false;
                                       return !ShiftSpanForDelete(l.anchor.c1, l.anchor.c2, area.c1, n);
                                   }),
                    links.end());
    }
    s.rows.trim();
}

void ModelWorksheet::Clear(const Area& area) {
    CHANGING();
    CheckArea(area);
    auto& s = *impl_;
    Sheet sh{s};
    sh.unmergeIn(area);
    const int to = detail::StoredUpTo(s.rows, area.r2);
    for (int r = area.r1; r <= to; ++r) {
        Row& row = s.rows.at(r - 1);
        auto first = row.lower(area.c1);
        auto last = first;
        while (last != row.cells.end() && last->col <= area.c2) ++last;
        row.cells.erase(first, last);
        if (area.entireRows()) row.rec.style.reset();
    }
    if (area.entireColumns()) {
        for (int c = area.c1; c <= std::min<int>(area.c2, static_cast<int>(s.cols.size())); ++c) s.cols[c - 1].style.reset();
    }
    if (area.entireRows() && area.entireColumns()) s.sheetStyle.reset();
    auto& links = s.links;
    links.erase(std::remove_if(links.begin(), links.end(), [&](const host::Hyperlink& l) { return l.anchor.intersects(area); }),
                links.end());
    s.rows.trim();
}

void ModelWorksheet::ClearContents(const Area& area) {
    CHANGING();
    CheckArea(area);
    Sheet{*impl_}.clearContentIn(area);
    impl_->rows.trim();
}

}  // namespace ormelin::model
