// The embedded model's worksheet: inserting and deleting rows and columns. Cells
// have a file of their own (model_cells_structure.cpp).
#include <algorithm>
#include <iterator>
#include <vector>

#include "model/model_sheet_ops.hpp"

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

}  // namespace

namespace ops {

int LastContentColumn(const detail::SheetData& s, int r1, int r2) {
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

}  // namespace ops

namespace {

// Drops the rows an insertion pushed past the sheet's last row.
void DropRowsPastTheEdge(detail::SheetData& s) {
    const auto edge = static_cast<std::size_t>(kMaxRows);
    if (s.rows.size() <= edge) return;
    for (std::size_t i = edge; i < s.rows.size(); ++i) s.countRemoved(s.rows.at(i));
    s.rows.erase(edge, s.rows.size() - edge);
}

}  // namespace

namespace ops {

void DropCellsPastTheEdge(Row& row) {
    auto& cells = row.cells;
    cells.erase(row.lower(kMaxColumns + 1), cells.end());
}

void ShiftSpanForInsert(int& a, int& b, int at, int n) {
    if (a >= at) {
        a += n;
        b += n;
    } else if (b >= at) {
        b += n;
    }
}

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

}  // namespace ops

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
                row->tallestMerge = std::max(row->tallestMerge, m.rows);
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

namespace {

// The column records, links and frozen columns of one column insertion or deletion.
void InsertColumnRecords(detail::SheetData& s, int at, int count) {
    const int src = at > 1 ? at - 1 : at;
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

void DeleteColumnRecords(detail::SheetData& s, int at, int count) {
    const int lastDel = at + count - 1;
    if (static_cast<std::size_t>(at - 1) < s.cols.size()) {
        auto end = std::min(s.cols.size(), static_cast<std::size_t>(lastDel));
        s.cols.erase(s.cols.begin() + (at - 1), s.cols.begin() + static_cast<std::ptrdiff_t>(end));
    }
    auto& links = s.links;
    links.erase(std::remove_if(links.begin(), links.end(),
                               [&](host::Hyperlink& l) { return !ShiftSpanForDelete(l.anchor.c1, l.anchor.c2, at, count); }),
                links.end());
    if (at <= s.view.frozenColumns) s.view.frozenColumns -= std::min(count, s.view.frozenColumns - at + 1);
}

// A merged area after a column insertion; it widens when the insertion falls inside it.
void InsertIntoMerge(MergeAt& m, int at, int count) {
    if (m.c1 >= at) m.c1 += count;
    else if (m.c2() >= at) m.cols += count;
}

// A merged area after a column deletion; false when it is gone or down to one cell.
bool DeleteFromMerge(MergeAt& m, int at, int count) {
    int a = m.c1, b = m.c2();
    if (!ShiftSpanForDelete(a, b, at, count)) return false;
    m.c1 = a;
    m.cols = b - a + 1;
    return !(m.rows == 1 && m.cols == 1);
}

// Keeps the merged areas of a row that keep(m) changes in place and keeps.
template <typename Keep>
void KeepMerges(Row& row, Keep keep) {
    auto& merges = row.merges;
    std::size_t w = 0;
    for (std::size_t r = 0; r < merges.size(); ++r) {
        MergeAt m = merges[r];
        if (keep(m)) merges[w++] = m;
    }
    merges.resize(w);
}

// The last column of the sheet holding anything: a cell, a merged area, a link or
// a column record.
int LastColumnOfAnything(const detail::SheetData& s) {
    int last = static_cast<int>(s.cols.size());
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        const Row& row = s.rows.at(i);
        if (!row.cells.empty()) last = std::max(last, row.cells.back().col);
        for (const MergeAt& m : row.merges) last = std::max(last, m.c2());
    }
    for (const auto& l : s.links) last = std::max(last, l.anchor.c2);
    return last;
}

/// Where the sheet's columns end up after runs of insertions or deletions made one
/// after the other: the columns in their final order as stretches, each a stretch
/// of the sheet's columns as they were or a run of new columns with the column
/// whose format the new ones take.
class ColumnLayout {
public:
    struct Stretch {
        int first;   // the first of the sheet's columns; for new columns, the one whose format they take
        int count;
        bool added;
        int at = 0;  // the first column in the final order
    };

    ColumnLayout() : stretches_{{1, kMaxColumns, false, 1}} {}

    void insert(int at, int count) {
        const int src = at > 1 ? at - 1 : at;
        const Stretch& from = stretches_[find(src)];
        const int origin = from.added ? from.first : from.first + (src - from.at);
        const std::size_t i = split(at);
        stretches_.insert(stretches_.begin() + static_cast<std::ptrdiff_t>(i), Stretch{origin, count, true});
        number();
    }

    void erase(int at, int count) {
        const std::size_t i = split(at);
        const std::size_t j = split(at + count);
        stretches_.erase(stretches_.begin() + static_cast<std::ptrdiff_t>(i),
                         stretches_.begin() + static_cast<std::ptrdiff_t>(j));
        number();
    }

    const std::vector<Stretch>& stretches() const { return stretches_; }

private:
    // The index of the stretch holding column c (in the current order).
    std::size_t find(int c) const {
        for (std::size_t i = 0; i < stretches_.size(); ++i) {
            if (c < stretches_[i].at + stretches_[i].count) return i;
        }
        return stretches_.size();
    }
    // Splits so that a stretch begins at column c; its index.
    std::size_t split(int c) {
        const std::size_t i = find(c);
        if (i == stretches_.size() || stretches_[i].at == c) return i;
        Stretch& st = stretches_[i];
        const int head = c - st.at;
        Stretch tail{st.added ? st.first : st.first + head, st.count - head, st.added};
        st.count = head;
        stretches_.insert(stretches_.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
        number();
        return i + 1;
    }
    void number() {
        int at = 1;
        for (Stretch& st : stretches_) {
            st.at = at;
            at += st.count;
        }
    }

    std::vector<Stretch> stretches_;
};

}  // namespace

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
    const int added = std::min(at + count - 1, kMaxColumns) - at + 1;
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        Row& row = s.rows.at(i);
        detail::StyleSlot srcStyle;
        if (const Cell* c = row.find(src)) srcStyle = c->style;
        auto pos = row.lower(at);
        for (auto it = pos; it != row.cells.end(); ++it) it->col += count;
        if (srcStyle) {
            pos = row.cells.insert(pos, static_cast<std::size_t>(added), Cell{});
            for (int k = 0; k < added; ++k, ++pos) {
                pos->col = at + k;
                pos->style = srcStyle;
            }
        }
        DropCellsPastTheEdge(row);
        for (MergeAt& m : row.merges) InsertIntoMerge(m, at, count);
    }
    InsertColumnRecords(s, at, count);
}

void ModelWorksheet::InsertColumnRuns(const std::vector<host::ColumnRun>& runs) {
    CHANGING();
    auto& s = *impl_;
    // One pass where the runs cannot reach the sheet's edge or move a formula;
    // otherwise one insertion after the other.
    long long total = 0;
    int furthest = 0;
    bool oneByOne = false;
    for (const host::ColumnRun& run : runs) {
        if (run.count <= 0) continue;
        if (run.at < 1 || run.at > kMaxColumns) oneByOne = true;
        total += run.count;
        furthest = std::max(furthest, run.at);
        oneByOne = oneByOne || detail::FormulasMayChange(s, formula::Change::InsertColumns(s.name, run.at, run.count));
    }
    if (total == 0) return;
    if (!oneByOne) oneByOne = std::max(furthest, LastColumnOfAnything(s)) + total > kMaxColumns;
    if (oneByOne) {
        for (const host::ColumnRun& run : runs) InsertColumns(run.at, run.count);
        return;
    }

    ColumnLayout layout;
    for (const host::ColumnRun& run : runs)
        if (run.count > 0) layout.insert(run.at, run.count);
    const auto& stretches = layout.stretches();
    std::vector<detail::StyleSlot> styles(stretches.size());
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        Row& row = s.rows.at(i);
        auto& cells = row.cells;
        // the styles the new columns take in this row
        std::size_t added = 0;
        for (std::size_t k = 0; k < stretches.size(); ++k) {
            styles[k].reset();
            if (!stretches[k].added) continue;
            if (const Cell* c = row.find(stretches[k].first)) styles[k] = c->style;
            if (styles[k]) added += static_cast<std::size_t>(stretches[k].count);
        }
        // the cells move to their final columns and the new ones fill in, from the right
        const std::size_t old = cells.size();
        if (added) cells.resize(old + added);
        std::size_t w = old + added;
        std::size_t r = old;
        for (std::size_t k = stretches.size(); k-- > 0 && (r > 0 || w > 0);) {
            const auto& st = stretches[k];
            if (!st.added) {
                while (r > 0 && cells[r - 1].col >= st.first) {
                    --r;
                    --w;
                    const int col = cells[r].col - st.first + st.at;
                    if (w != r) cells[w] = std::move(cells[r]);
                    cells[w].col = col;
                }
            } else if (styles[k]) {
                for (int c = st.at + st.count - 1; c >= st.at; --c) {
                    --w;
                    cells[w] = Cell{};
                    cells[w].col = c;
                    cells[w].style = styles[k];
                }
            }
        }
        for (MergeAt& m : row.merges) {
            for (const host::ColumnRun& run : runs)
                if (run.count > 0) InsertIntoMerge(m, run.at, run.count);
        }
    }
    for (const host::ColumnRun& run : runs)
        if (run.count > 0) InsertColumnRecords(s, run.at, run.count);
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
        auto first = row.lower(at);
        auto last = first;
        while (last != row.cells.end() && last->col <= lastDel) ++last;
        for (auto it = row.cells.erase(first, last); it != row.cells.end(); ++it) it->col -= count;
        KeepMerges(row, [&](MergeAt& m) { return DeleteFromMerge(m, at, count); });
    }
    DeleteColumnRecords(s, at, count);
    s.rows.trim();
}

void ModelWorksheet::DeleteColumnRuns(const std::vector<host::ColumnRun>& runs) {
    CHANGING();
    auto& s = *impl_;
    bool oneByOne = false;
    std::vector<host::ColumnRun> valid;
    for (host::ColumnRun run : runs) {
        if (run.count <= 0) continue;
        if (run.at < 1 || run.at > kMaxColumns) oneByOne = true;
        run.count = std::min(run.count, kMaxColumns - run.at + 1);
        valid.push_back(run);
        oneByOne = oneByOne || detail::FormulasMayChange(s, formula::Change::DeleteColumns(s.name, run.at, run.count));
    }
    if (oneByOne) {
        for (const host::ColumnRun& run : runs) DeleteColumns(run.at, run.count);
        return;
    }
    if (valid.empty()) return;

    ColumnLayout layout;
    for (const host::ColumnRun& run : valid) layout.erase(run.at, run.count);
    const auto& stretches = layout.stretches();
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        Row& row = s.rows.at(i);
        auto& cells = row.cells;
        // the kept cells move to their final columns, left to right
        std::size_t w = 0, k = 0;
        for (std::size_t r = 0; r < cells.size(); ++r) {
            const int col = cells[r].col;
            while (k < stretches.size() && stretches[k].first + stretches[k].count <= col) ++k;
            if (k == stretches.size() || col < stretches[k].first) continue;  // a deleted column
            if (w != r) cells[w] = std::move(cells[r]);
            cells[w++].col = col - stretches[k].first + stretches[k].at;
        }
        cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(w), cells.end());
        KeepMerges(row, [&](MergeAt& m) {
            for (const host::ColumnRun& run : valid)
                if (!DeleteFromMerge(m, run.at, run.count)) return false;
            return true;
        });
    }
    for (const host::ColumnRun& run : valid) DeleteColumnRecords(s, run.at, run.count);
    s.rows.trim();
}

}  // namespace ormelin::model
