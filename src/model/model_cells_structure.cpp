// The embedded model's worksheet: inserting and deleting cells (the rest of their
// rows or columns shifting), and clearing areas.
#include <algorithm>
#include <iterator>
#include <vector>

#include "model/model_sheet_ops.hpp"

namespace ormelin::model {

using namespace ops;

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
