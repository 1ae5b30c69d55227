// The embedded model's worksheet: formats of cells, rows, columns and the sheet.
#include <cstdint>
#include <unordered_map>

#include "model/model_sheet_ops.hpp"

namespace ormelin::model {

using namespace ops;

// ---------------------------------------------------------------- applying a patch

namespace {

/// The results kept for a patch in the workbook: found again for an equal
/// patch, else made anew in place of the oldest.
std::unordered_map<std::uint64_t, StyleId>& ResultsOf(detail::BookData& book, const FormatPatch& patch) {
    constexpr std::size_t kKept = 16;
    auto& kept = book.patchResults;
    for (auto& entry : kept) {
        if (entry->patch == patch) return entry->results;
    }
    if (kept.size() >= kKept) kept.erase(kept.begin());
    kept.push_back(std::make_unique<detail::BookData::PatchResults>(detail::BookData::PatchResults{patch, {}}));
    return kept.back()->results;
}

struct Patcher {
    StyleTable& table;
    const FormatPatch& patch;
    std::unordered_map<std::uint64_t, StyleId>& memo;

    static host::Border Resolve(const host::Border& old, const FormatPatch::BorderPatch& bp) {
        host::Border b = old;
        if (bp.style) b.style = *bp.style;
        if (bp.weight) b.weight = *bp.weight;
        if (bp.color) b.color = *bp.color;
        if (b.style == host::LineStyle::None) b = host::Border{};
        return b;
    }

    // cls bits: 1 first row, 2 last row, 4 first column, 8 last column of the area
    std::uint64_t lastKey = ~std::uint64_t{0};  // neighbouring cells mostly ask the same
    StyleId lastId = 0;

    StyleId apply(StyleId id, unsigned cls) {
        const std::uint64_t key = (static_cast<std::uint64_t>(id) << 4) | cls;
        if (key == lastKey) return lastId;
        lastKey = key;
        if (auto it = memo.find(key); it != memo.end()) return lastId = it->second;
        Style st = table.Get(id);
        const auto& b = patch.borders;
        const auto& left = b[static_cast<int>((cls & 4) ? Edge::Left : Edge::InsideVertical)];
        const auto& right = b[static_cast<int>((cls & 8) ? Edge::Right : Edge::InsideVertical)];
        const auto& top = b[static_cast<int>((cls & 1) ? Edge::Top : Edge::InsideHorizontal)];
        const auto& bottom = b[static_cast<int>((cls & 2) ? Edge::Bottom : Edge::InsideHorizontal)];
        host::Border l, t, bo, r;
        if (!left.empty()) l = Resolve(st.left, left);
        if (!top.empty()) t = Resolve(st.top, top);
        if (!bottom.empty()) bo = Resolve(st.bottom, bottom);
        if (!right.empty()) r = Resolve(st.right, right);
        patch.ApplyTo(st, left.empty() ? nullptr : &l, top.empty() ? nullptr : &t,
                      bottom.empty() ? nullptr : &bo, right.empty() ? nullptr : &r);
        StyleId out = table.Intern(st);
        memo.emplace(key, out);
        return lastId = out;
    }
};

unsigned Cls(const Area& a, int r, int c) {
    unsigned cls = 0;
    if (r == a.r1) cls |= 1;
    if (r == a.r2) cls |= 2;
    if (c == a.c1) cls |= 4;
    if (c == a.c2) cls |= 8;
    return cls;
}
unsigned RowCls(const Area& a, int r) {
    return (r == a.r1 ? 1u : 0u) | (r == a.r2 ? 2u : 0u);
}
unsigned ColCls(const Area& a, int c) {
    return (c == a.c1 ? 4u : 0u) | (c == a.c2 ? 8u : 0u);
}

/// Cells c1..c2 of row r patched as setOwn(r, c, apply(effective(r, c))) would
/// patch them one by one, in one pass over the row's cells: the cells in the
/// span are gathered in `scratch` and put back with one move of the row's tail.
void PatchRowSpan(Sheet& sh, int r, const Area& a, Patcher& p, std::vector<Cell>& scratch) {
    detail::SheetData& s = sh.s;
    Row* row = s.rows.find(r);
    const StyleId sheetStyle = s.sheetStyle.value_or(0);
    auto inherited = [&](int c) {
        if (row && row->rec.style) return *row->rec.style;
        if (const ColRec* cr = sh.col(c); cr && cr->style) return *cr->style;
        return sheetStyle;
    };
    const unsigned rowCls = RowCls(a, r);
    scratch.clear();
    std::size_t first = 0, last = 0;  // the span's cells in the row
    if (row) {
        first = static_cast<std::size_t>(row->lower(a.c1) - row->cells.begin());
        last = first;
        while (last < row->cells.size() && row->cells[last].col <= a.c2) ++last;
    }
    std::size_t at = first;
    for (int c = a.c1; c <= a.c2; ++c) {
        const unsigned cls = rowCls | ColCls(a, c);
        const StyleId inh = inherited(c);
        if (at < last && row->cells[at].col == c) {
            Cell& cell = row->cells[at++];
            const StyleId next = p.apply(cell.style ? *cell.style : inh, cls);
            if (next != inh) cell.style = next;
            else if (cell.style) {
                cell.style.reset();  // a style equal to the inherited one is dropped, and so is the cell left blank
                if (cell.blank()) continue;
            }
            scratch.push_back(std::move(cell));
        } else if (const StyleId next = p.apply(inh, cls); next != inh) {
            scratch.emplace_back();
            scratch.back().col = c;
            scratch.back().style = next;
        }
    }
    if (!row) {
        if (scratch.empty()) return;
        row = &s.rows.get(r);
    }
    std::vector<Cell>& cells = row->cells;
    const std::size_t had = last - first;
    const std::size_t now = scratch.size();
    std::move(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(std::min(had, now)),
              cells.begin() + static_cast<std::ptrdiff_t>(first));
    if (now > had) {
        // growth by half, as the room left over stays with every formed row
        if (cells.capacity() - cells.size() < now - had)
            cells.reserve(std::max(cells.size() + now - had, cells.capacity() + cells.capacity() / 2));
        cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(first + had),
                     std::make_move_iterator(scratch.begin() + static_cast<std::ptrdiff_t>(had)),
                     std::make_move_iterator(scratch.end()));
    } else if (now < had) {
        cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(first + now),
                    cells.begin() + static_cast<std::ptrdiff_t>(first + had));
    }
}

/// Whole rows from r1 to the sheet's last row, far more of them than the rows
/// above: the sheet's own format takes the patch, so that rows of no content get
/// no entry, and the rows above that have no format of their own get one (and
/// their cells in formatted columns get their column's), so that they show what
/// they showed. The first row of the area and every stored row in it are patched
/// one by one (formatRow). False, and nothing changed, when the area does not fit
/// this: it ends before the last row, is not much larger than the rows above, or
/// its last row would take another format than the rows inside (a bottom border).
template <class F>
bool FormatRowsToEndAsSheet(detail::SheetData& s, const Area& a, Patcher& p, F&& formatRow) {
    if (a.r2 != kMaxRows || a.r1 == 1) return false;
    std::vector<int> styled;  // columns with a format of their own
    for (int c = 1; c <= static_cast<int>(s.cols.size()); ++c) {
        if (s.cols[c - 1].style) styled.push_back(c);
    }
    const StyleId oldSheet = s.sheetStyle.value_or(0);
    if (!s.rows.find(kMaxRows)) {
        if (p.apply(oldSheet, RowCls(a, kMaxRows)) != p.apply(oldSheet, 0)) return false;
        for (int c : styled) {
            if (p.apply(*s.cols[c - 1].style, Cls(a, kMaxRows, c)) != p.apply(*s.cols[c - 1].style, ColCls(a, c)))
                return false;
        }
    }
    bool changes = p.apply(oldSheet, 0) != oldSheet;
    for (int c : styled) changes = changes || p.apply(*s.cols[c - 1].style, ColCls(a, c)) != *s.cols[c - 1].style;
    const int stored = static_cast<int>(std::max<std::size_t>(s.rows.size(), static_cast<std::size_t>(a.r1)));
    if (!changes) {
        // rows of no content inside show no change: only the first row and the stored ones are patched
        for (int r = a.r1; r <= stored; ++r) formatRow(r);
        return true;
    }
    const long long above = a.r1 - 1;
    if (above * static_cast<long long>(1 + styled.size()) * 4 >= kMaxRows - above) return false;
    for (int r = 1; r < a.r1; ++r) {
        if (const Row* row = s.rows.find(r); row && row->rec.style) continue;
        Row& row = s.rows.get(r);
        for (int c : styled) {
            if (const Cell* cell = row.find(c); cell && cell->style) continue;
            row.get(c).style = *s.cols[c - 1].style;
        }
        row.rec.style = oldSheet;
    }
    // rows a.r1..: patched one by one while the sheet's format is still the old one
    for (int r = a.r1; r <= stored; ++r) {
        formatRow(r);
        Row& row = s.rows.get(r);
        if (!row.rec.style) row.rec.style = p.apply(oldSheet, RowCls(a, r));
    }
    for (int c : styled) s.cols[c - 1].style = p.apply(*s.cols[c - 1].style, ColCls(a, c));
    s.sheetStyle = p.apply(oldSheet, 0);
    return true;
}

}  // namespace

namespace {

/// The whole sheet: its own format, every column's, row's and cell's.
void FormatWholeSheet(Sheet& sh, const Area& a, Patcher& p) {
    auto& s = sh.s;
    s.sheetStyle = p.apply(s.sheetStyle.value_or(0), 0);
    for (int c = 1; c <= static_cast<int>(s.cols.size()); ++c) {
        if (s.cols[c - 1].style) s.cols[c - 1].style = p.apply(*s.cols[c - 1].style, ColCls(a, c));
    }
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        Row& row = s.rows.at(i);
        const int r = static_cast<int>(i) + 1;
        if (row.rec.style) row.rec.style = p.apply(*row.rec.style, RowCls(a, r));
        for (Cell& cell : row.cells) {
            if (cell.style) cell.style = p.apply(*cell.style, Cls(a, r, cell.col));
        }
    }
}

/// Whole rows: each row's format, and the cells with a format of their own.
void FormatWholeRows(Sheet& sh, const Area& a, Patcher& p) {
    auto& s = sh.s;
    const bool styledColumns =
        std::any_of(s.cols.begin(), s.cols.end(), [](const ColRec& c) { return c.style.has_value(); });
    auto formatRow = [&](int r) {
        Row* existing = s.rows.find(r);
        const bool hadStyle = existing && existing->rec.style;
        const StyleId base = hadStyle ? *existing->rec.style : s.sheetStyle.value_or(0);
        const StyleId next = p.apply(base, RowCls(a, r));
        if (!hadStyle && next == base && !existing && !styledColumns) return;
        Row& row = s.rows.get(r);
        if (!hadStyle) {
            // cells that showed their column's format now need their own
            for (int c = 1; c <= static_cast<int>(s.cols.size()); ++c) {
                if (!s.cols[c - 1].style) continue;
                Cell* cell = row.find(c);
                if (cell && cell->style) continue;
                row.get(c).style = p.apply(*s.cols[c - 1].style, Cls(a, r, c));
            }
        }
        if (next != base || hadStyle) row.rec.style = next;
        for (Cell& cell : row.cells) {
            if (!cell.style) continue;
            // patching twice gives the same style, so cells just made from their column's are safe
            cell.style = p.apply(*cell.style, Cls(a, r, cell.col));
        }
    };
    if (!FormatRowsToEndAsSheet(s, a, p, formatRow)) {
        for (int r = a.r1; r <= a.r2; ++r) formatRow(r);
    }
}

/// A row with a format of its own under whole columns.
void FormatRowUnderColumns(Row& row, int r, const Area& a, Patcher& p) {
    const int outside = a.c1 - 1 + kMaxColumns - a.c2;
    if (row.rec.style && 4 * outside < a.c2 - a.c1 + 1) {
        // a row format of its own over nearly every column: the row's format takes the
        // patch and the cells outside the area keep the old one as their own
        const StyleId old = *row.rec.style;
        const StyleId inside = p.apply(old, RowCls(a, r));
        auto keep = [&](int c) {
            if (Cell* cell = row.find(c); !cell || !cell->style) row.get(c).style = old;
        };
        for (int c = 1; c < a.c1; ++c) keep(c);
        for (int c = a.c2 + 1; c <= kMaxColumns; ++c) keep(c);
        for (auto it = row.lower(a.c1); it != row.cells.end() && it->col <= a.c2; ++it) {
            if (it->style) it->style = p.apply(*it->style, Cls(a, r, it->col));
        }
        for (int c : {a.c1, a.c2}) {
            if (Cell* cell = row.find(c); (cell && cell->style) || p.apply(old, Cls(a, r, c)) == inside) continue;
            row.get(c).style = p.apply(old, Cls(a, r, c));
        }
        row.rec.style = inside;
    } else if (row.rec.style) {
        for (int c = a.c1; c <= a.c2; ++c) {
            Cell& cell = row.get(c);
            cell.style = p.apply(cell.style.value_or(*row.rec.style), Cls(a, r, c));
        }
    } else {
        for (auto it = row.lower(a.c1); it != row.cells.end() && it->col <= a.c2; ++it) {
            if (it->style) it->style = p.apply(*it->style, Cls(a, r, it->col));
        }
    }
}

/// Whole columns: each column's format, and every stored row's cells in them.
void FormatWholeColumns(Sheet& sh, const Area& a, Patcher& p) {
    auto& s = sh.s;
    for (int c = a.c1; c <= a.c2; ++c) {
        const ColRec* cr = sh.col(c);
        const bool hadStyle = cr && cr->style;
        const StyleId base = hadStyle ? *cr->style : s.sheetStyle.value_or(0);
        const StyleId next = p.apply(base, ColCls(a, c));
        if (next != base || hadStyle) sh.colMut(c).style = next;
    }
    for (std::size_t i = 0; i < s.rows.size(); ++i) FormatRowUnderColumns(s.rows.at(i), static_cast<int>(i) + 1, a, p);
}

}  // namespace

void Sheet::formatArea(const Area& a, const FormatPatch& patch, bool neighbours) {
    std::unordered_map<std::uint64_t, StyleId> own;  // a sheet out of its workbook keeps nothing
    Patcher p{styles(), patch, s.bookData ? ResultsOf(*s.bookData, patch) : own};
    const bool rowsAll = a.entireRows();
    const bool colsAll = a.entireColumns();
    if (rowsAll && colsAll) {
        FormatWholeSheet(*this, a, p);
    } else if (rowsAll) {
        FormatWholeRows(*this, a, p);
    } else if (colsAll) {
        FormatWholeColumns(*this, a, p);
    } else {
        std::vector<Cell> scratch;
        for (int r = a.r1; r <= a.r2; ++r) PatchRowSpan(*this, r, a, p, scratch);
    }
    s.rows.trim();
    if (!neighbours) return;
    const auto& b = patch.borders;
    auto clears = [&](Edge e) {
        return b[static_cast<int>(e)].style == host::LineStyle::None;
    };
    if (clears(Edge::Top) && a.r1 > 1) formatArea(Area{a.r1 - 1, a.c1, a.r1 - 1, a.c2}, ClearSide(Edge::Bottom), false);
    if (clears(Edge::Bottom) && a.r2 < kMaxRows)
        formatArea(Area{a.r2 + 1, a.c1, a.r2 + 1, a.c2}, ClearSide(Edge::Top), false);
    if (clears(Edge::Left) && a.c1 > 1) formatArea(Area{a.r1, a.c1 - 1, a.r2, a.c1 - 1}, ClearSide(Edge::Right), false);
    if (clears(Edge::Right) && a.c2 < kMaxColumns)
        formatArea(Area{a.r1, a.c2 + 1, a.r2, a.c2 + 1}, ClearSide(Edge::Left), false);
}

// ---------------------------------------------------------------- formats

const Style& ModelWorksheet::CellStyle(int row, int column) const {
    ALIVE();
    CheckCell(row, column);
    Sheet sh{*impl_};
    return sh.styles().Get(sh.effective(row, column));
}

void ModelWorksheet::Format(const Area& area, const FormatPatch& patch) {
    CHANGING();
    CheckArea(area);
    Sheet{*impl_}.formatArea(area, patch, true);
}

void ModelWorksheet::SetCellStyle(int row, int column, const Style& style) {
    CHANGING();
    CheckCell(row, column);
    Sheet sh{*impl_};
    impl_->rows.get(row).get(column).style = sh.styles().Intern(style);
}

std::optional<StyleId> ModelWorksheet::OwnStyle(int row, int column) const {
    ALIVE();
    if (const Row* r = impl_->rows.find(row)) {
        if (const Cell* c = r->find(column)) return c->style;
    }
    return std::nullopt;
}

}  // namespace ormelin::model
