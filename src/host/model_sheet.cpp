// The embedded model's worksheet: cells, styles, rows and columns, merges,
// structure changes, copying, links, page and view.
#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "host/display.hpp"
#include "host/model_impl.hpp"
#include "host/names.hpp"
#include "host/utf8.hpp"

namespace ormelin::model {

using detail::Cell;
using detail::ColRec;
using detail::MergeAt;
using detail::Row;
using host::Edge;
using host::FormatPatch;
using host::kMaxColumns;
using host::kMaxRows;

namespace {

[[noreturn]] void Refuse(const std::string& why) { throw Error(ErrorCode::ApplicationDefined, why); }

void CheckArea(const Area& a) {
    if (a.r1 < 1 || a.c1 < 1 || a.r2 > kMaxRows || a.c2 > kMaxColumns || a.r1 > a.r2 || a.c1 > a.c2)
        throw Error(ErrorCode::InvalidArgument, "Area outside the sheet");
}

void CheckCell(int r, int c) {
    if (r < 1 || c < 1 || r > kMaxRows || c > kMaxColumns)
        throw Error(ErrorCode::InvalidArgument, "Cell outside the sheet");
}

bool StartsFormula(const host::Value& v) {
    auto* s = std::get_if<std::string>(&v);
    return s && s->size() > 1 && s->front() == '=';
}

// A patch that changes one border side only.
FormatPatch ClearSide(Edge side) {
    FormatPatch p;
    p.borders[static_cast<int>(side)].style = host::LineStyle::None;
    return p;
}

}  // namespace

// ---------------------------------------------------------------- internal operations

namespace {

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
            if (!row) continue;
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
            for (const MergeAt& m : row.merges) {
                Area m2{rr, m.c1, rr + m.rows - 1, m.c2()};
                if (m2.intersects(a)) out.push_back(m2);
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
                it->value = std::monostate{};
                it->formula.clear();
                if (it->blank()) it = row.cells.erase(it);
                else ++it;
            }
        }
    }

    void put(int r, int c, host::Value v, std::string formula) {
        if (host::IsEmpty(v) && formula.empty()) {
            if (Row* row = s.rows.find(r)) {
                if (Cell* cell = row->find(c)) {
                    cell->value = std::monostate{};
                    cell->formula.clear();
                    row->dropIfBlank(c);
                }
            }
            return;
        }
        Cell& cell = s.rows.get(r).get(c);
        cell.value = std::move(v);
        cell.formula = std::move(formula);
    }

    // formats --------------------------------------------------------------

    struct Patcher {
        StyleTable& table;
        const FormatPatch& patch;
        std::unordered_map<std::uint64_t, StyleId> memo;

        static host::Border Resolve(const host::Border& old, const FormatPatch::BorderPatch& bp) {
            host::Border b = old;
            if (bp.style) b.style = *bp.style;
            if (bp.weight) b.weight = *bp.weight;
            if (bp.color) b.color = *bp.color;
            if (b.style == host::LineStyle::None) b = host::Border{};
            return b;
        }

        // cls bits: 1 first row, 2 last row, 4 first column, 8 last column of the area
        StyleId apply(StyleId id, unsigned cls) {
            const std::uint64_t key = (static_cast<std::uint64_t>(id) << 4) | cls;
            if (auto it = memo.find(key); it != memo.end()) return it->second;
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
            return out;
        }
    };

    static unsigned Cls(const Area& a, int r, int c) {
        unsigned cls = 0;
        if (r == a.r1) cls |= 1;
        if (r == a.r2) cls |= 2;
        if (c == a.c1) cls |= 4;
        if (c == a.c2) cls |= 8;
        return cls;
    }
    static unsigned RowCls(const Area& a, int r) {
        return (r == a.r1 ? 1u : 0u) | (r == a.r2 ? 2u : 0u);
    }
    static unsigned ColCls(const Area& a, int c) {
        return (c == a.c1 ? 4u : 0u) | (c == a.c2 ? 8u : 0u);
    }

    /// Room in row r for a cell of its own in every column c1..c2 that has none, so
    /// that a frame drawn over a row grows its cells once rather than by doubling.
    void reserveCells(int r, int c1, int c2) {
        Row* row = s.rows.find(r);
        if (!row || c2 - c1 >= kReserveWidth) return;
        const auto from = row->lower(c1);
        const auto to = std::upper_bound(from, row->cells.end(), c2, [](int v, const Cell& c) { return v < c.col; });
        const auto missing = static_cast<std::size_t>(c2 - c1 + 1) - static_cast<std::size_t>(to - from);
        std::vector<Cell>& cells = row->cells;
        // growth stays geometric, so that many narrow areas on one row cost no more than before
        if (cells.capacity() - cells.size() < missing)
            cells.reserve(std::max(cells.size() + missing, 2 * cells.capacity()));
    }
    static constexpr int kReserveWidth = 256;

    void formatArea(const Area& a, const FormatPatch& patch, bool neighbours) {
        Patcher p{styles(), patch, {}};
        const bool rowsAll = a.entireRows();
        const bool colsAll = a.entireColumns();
        if (rowsAll && colsAll) {
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
        } else if (rowsAll) {
            const bool styledColumns =
                std::any_of(s.cols.begin(), s.cols.end(), [](const ColRec& c) { return c.style.has_value(); });
            for (int r = a.r1; r <= a.r2; ++r) {
                Row* existing = s.rows.find(r);
                const bool hadStyle = existing && existing->rec.style;
                const StyleId base = hadStyle ? *existing->rec.style : s.sheetStyle.value_or(0);
                const StyleId next = p.apply(base, RowCls(a, r));
                if (!hadStyle && next == base && !existing && !styledColumns) continue;
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
            }
        } else if (colsAll) {
            for (int c = a.c1; c <= a.c2; ++c) {
                const ColRec* cr = col(c);
                const bool hadStyle = cr && cr->style;
                const StyleId base = hadStyle ? *cr->style : s.sheetStyle.value_or(0);
                const StyleId next = p.apply(base, ColCls(a, c));
                if (next != base || hadStyle) colMut(c).style = next;
            }
            for (std::size_t i = 0; i < s.rows.size(); ++i) {
                Row& row = s.rows.at(i);
                const int r = static_cast<int>(i) + 1;
                if (row.rec.style) {
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
        } else {
            for (int r = a.r1; r <= a.r2; ++r) {
                reserveCells(r, a.c1, a.c2);
                for (int c = a.c1; c <= a.c2; ++c) setOwn(r, c, p.apply(effective(r, c), Cls(a, r, c)));
            }
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
};

}  // namespace

// ---------------------------------------------------------------- life

ModelWorksheet::ModelWorksheet(ModelWorkbook& book, std::string name) : impl_(std::make_unique<Impl>()) {
    impl_->book = &book;
    impl_->name = std::move(name);
}

ModelWorksheet::~ModelWorksheet() = default;

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

std::string ModelWorksheet::Name() const {
    ALIVE();
    return impl_->name;
}

void ModelWorksheet::Name(const std::string& name) {
    ALIVE();
    if (name == impl_->name) return;
    detail::CheckSheetName(*impl_->book, name, this);
    detail::AdjustFormulas(*impl_, formula::Change::RenameSheet(impl_->name, name));
    impl_->name = name;
}

host::Workbook& ModelWorksheet::Parent() const {
    ALIVE();
    return *impl_->book;
}

ModelWorkbook& ModelWorksheet::Book() const {
    ALIVE();
    return *impl_->book;
}

bool ModelWorksheet::IsDeleted() const { return impl_->deleted || !impl_->book; }

void ModelWorksheet::Activate() {
    ALIVE();
    impl_->book->SetActiveSheet(Index());
    impl_->book->Activate();
}

void ModelWorksheet::Delete() {
    ALIVE();
    impl_->book->RemoveSheet(*this);
}

void ModelWorksheet::Move(const host::Worksheet* before, const host::Worksheet* after) {
    ALIVE();
    impl_->book->MoveSheet(*this, before, after);
}

int ModelWorksheet::Index() const {
    ALIVE();
    for (int i = 1; i <= impl_->book->Count(); ++i) {
        if (impl_->book->ModelSheet(i).get() == this) return i;
    }
    throw Error(ErrorCode::ObjectDeleted);
}

// ---------------------------------------------------------------- content

CellContent ModelWorksheet::Content(int row, int column) const {
    ALIVE();
    CheckCell(row, column);
    if (const Row* r = impl_->rows.find(row)) {
        if (const Cell* c = r->find(column)) return CellContent{detail::ShownValue(*impl_, row, *c), c->formula};
    }
    return {};
}

void ModelWorksheet::SetValue(const Area& area, const host::Value& value) {
    CHANGING();
    CheckArea(area);
    Sheet sh{*impl_};
    if (host::IsEmpty(value)) {
        sh.clearContentIn(area);
        return;
    }
    const bool formula = StartsFormula(value);
    long formulas = 0;
    for (int r = area.r1; r <= area.r2; ++r) {
        for (int c = area.c1; c <= area.c2; ++c) {
            if (formula && sh.styles().Get(sh.effective(r, c)).numberFormat != "@") {
                sh.put(r, c, std::monostate{}, std::get<std::string>(value));
                ++formulas;
            } else {
                sh.put(r, c, value, {});
            }
        }
    }
    if (formulas) detail::NoteFormula(*impl_, std::get<std::string>(value), formulas);
}

void ModelWorksheet::SetLiteral(const Area& area, const host::Value& value) {
    CHANGING();
    CheckArea(area);
    Sheet sh{*impl_};
    if (host::IsEmpty(value)) {
        sh.clearContentIn(area);
        return;
    }
    for (int r = area.r1; r <= area.r2; ++r) {
        for (int c = area.c1; c <= area.c2; ++c) sh.put(r, c, value, {});
    }
}

void ModelWorksheet::SetFormula(int row, int column, const std::string& formulaR1C1, const host::Value& cached) {
    CHANGING();
    CheckCell(row, column);
    Sheet sh{*impl_};
    if (formulaR1C1.empty()) {
        sh.put(row, column, cached, {});
        return;
    }
    Cell& cell = impl_->rows.get(row).get(column);
    cell.value = cached;
    cell.formula = formulaR1C1;
    detail::NoteFormula(*impl_, formulaR1C1);
}

namespace {

// What a cell of sheet s showing this value displays.
std::string ShownText(detail::SheetData& s, int row, int column, const host::Value& value) {
    if (host::IsEmpty(value)) return {};
    if (!s.view.displayZeros) {
        if (auto* d = std::get_if<double>(&value); d && *d == 0) return {};
    }
    Sheet sh{s};
    return host::DisplayValue(value, sh.styles().Get(sh.effective(row, column)).numberFormat);
}

}  // namespace

std::string ModelWorksheet::CellText(int row, int column) const {
    ALIVE();
    CheckCell(row, column);
    const Row* r = impl_->rows.find(row);
    const Cell* c = r ? r->find(column) : nullptr;
    if (!c) return {};
    if (!c->formula.empty()) return ShownText(*impl_, row, column, detail::FormulaValue(*impl_, row, column, *c));
    return ShownText(*impl_, row, column, c->value);
}

std::optional<std::string> ModelWorksheet::Text(const Area& area) const {
    ALIVE();
    CheckArea(area);
    std::optional<std::string> common;
    long long shown = 0;
    const int to = detail::StoredUpTo(impl_->rows, area.r2);
    for (int r = area.r1; r <= to; ++r) {
        const Row& row = impl_->rows.at(r - 1);
        for (auto it = row.lower(area.c1); it != row.cells.end() && it->col <= area.c2; ++it) {
            if (!it->hasContent()) continue;
            ++shown;
            std::string t = CellText(r, it->col);
            if (!common) common = std::move(t);
            else if (*common != t) return std::nullopt;
        }
    }
    if (shown < area.count()) {
        // the cells without a value show nothing
        if (common && !common->empty()) return std::nullopt;
        return std::string();
    }
    return common.value_or(std::string());
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

// ---------------------------------------------------------------- geometry

double ModelWorksheet::RowHeight(int row) const {
    ALIVE();
    CheckCell(row, 1);
    if (const Row* r = impl_->rows.find(row); r && r->rec.height >= 0) return r->rec.height;
    return impl_->standardHeight;
}

void ModelWorksheet::RowHeight(int r1, int r2, double points) {
    ALIVE();
    CheckArea(Area{r1, 1, r2, 1});
    if (points < 0 || points > 409.5) throw Error(ErrorCode::ApplicationDefined, "Row height out of range");
    if (r1 == 1 && r2 == kMaxRows) {
        // every row: the sheet's standard height changes and the rows drop their own
        impl_->standardHeight = points;
        for (std::size_t i = 0; i < impl_->rows.size(); ++i) impl_->rows.at(i).rec.height = -1;
        impl_->rows.trim();
        return;
    }
    for (int r = r1; r <= r2; ++r) impl_->rows.get(r).rec.height = points;
}

double ModelWorksheet::ColumnWidth(int column) const {
    ALIVE();
    CheckCell(1, column);
    if (static_cast<std::size_t>(column) <= impl_->cols.size() && impl_->cols[column - 1].width >= 0)
        return impl_->cols[column - 1].width;
    return impl_->standardWidth;
}

void ModelWorksheet::ColumnWidth(int c1, int c2, double characters) {
    ALIVE();
    CheckArea(Area{1, c1, 1, c2});
    if (characters < 0 || characters > 255) throw Error(ErrorCode::ApplicationDefined, "Column width out of range");
    Sheet sh{*impl_};
    for (int c = c1; c <= c2; ++c) sh.colMut(c).width = characters;
}

double ModelWorksheet::StandardHeight() const {
    ALIVE();
    return impl_->standardHeight;
}

void ModelWorksheet::StandardHeight(double points) {
    ALIVE();
    if (points < 0 || points > 409.5) throw Error(ErrorCode::ApplicationDefined, "Row height out of range");
    impl_->standardHeight = points;
}

double ModelWorksheet::StandardWidth() const {
    ALIVE();
    return impl_->standardWidth;
}

// ---------------------------------------------------------------- structure: rows

namespace {

// The last row holding content that an insertion would move: a value, a style, a
// record, a merged area or a hyperlink.
int LastContentRow(const detail::SheetData& s) {
    int last = static_cast<int>(s.rows.size());
    while (last > 0 && s.rows.at(last - 1).empty()) --last;
    const int from = std::max(1, last - s.maxMergeRows + 1);
    int result = last;
    for (int r = from; r <= last; ++r) {
        for (const MergeAt& m : s.rows.at(r - 1).merges) result = std::max(result, r + m.rows - 1);
    }
    for (const auto& l : s.links) result = std::max(result, l.anchor.r2);
    return result;
}

int LastContentColumn(const detail::SheetData& s) {
    int last = 0;
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        const Row& row = s.rows.at(i);
        if (!row.cells.empty()) last = std::max(last, row.cells.back().col);
        for (const MergeAt& m : row.merges) last = std::max(last, m.c2());
    }
    for (int c = static_cast<int>(s.cols.size()); c > last; --c) {
        if (!s.cols[c - 1].empty()) {
            last = c;
            break;
        }
    }
    for (const auto& l : s.links) last = std::max(last, l.anchor.c2);
    return last;
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
        Refuse("Cannot shift nonblank cells off the worksheet");
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
        rec.style = row->rec.style;
        for (const Cell& c : row->cells) {
            if (c.style) cellStyles.emplace_back(c.col, *c.style);
        }
    }
    if (static_cast<std::size_t>(at - 1) < s.rows.size()) s.rows.insert(at - 1, count);
    if (rec.height >= 0 || rec.style || !cellStyles.empty()) {
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
        Refuse("Cannot shift nonblank cells off the worksheet");
    detail::AdjustFormulas(s, formula::Change::InsertColumns(s.name, at, count));
    const int src = at > 1 ? at - 1 : at;
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        Row& row = s.rows.at(i);
        std::optional<StyleId> srcStyle;
        if (const Cell* c = row.find(src); c && c->style) srcStyle = c->style;
        for (Cell& c : row.cells) {
            if (c.col >= at) c.col += count;
        }
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
            if (m.c1 < area.c1 || m.c2 > area.c2) Refuse("Cannot change part of a merged cell");
        }
        const int last = static_cast<int>(s.rows.size());
        for (int r = last; r >= area.r1; --r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            for (auto it = row->lower(area.c1); it != row->cells.end() && it->col <= area.c2; ++it) {
                if (r + n > kMaxRows) Refuse("Cannot shift nonblank cells off the worksheet");
            }
        }
        if (area.r1 + n <= kMaxRows)
            detail::AdjustFormulas(s, formula::Change::MoveCells(s.name, Area{area.r1, area.c1, kMaxRows - n, area.c2},
                                                                 s.name, area.r1 + n, area.c1));
        for (int r = last; r >= area.r1; --r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            std::vector<Cell> moving;
            auto it = row->lower(area.c1);
            while (it != row->cells.end() && it->col <= area.c2) {
                moving.push_back(std::move(*it));
                it = row->cells.erase(it);
            }
            std::vector<MergeAt> movingMerges;
            auto& mv = row->merges;
            for (auto m = mv.begin(); m != mv.end();) {
                if (m->c1 >= area.c1 && m->c2() <= area.c2) {
                    movingMerges.push_back(*m);
                    m = mv.erase(m);
                } else {
                    ++m;
                }
            }
            Row& dest = s.rows.get(r + n);
            for (Cell& c : moving) dest.get(c.col) = std::move(c);
            for (const MergeAt& m : movingMerges) dest.addMerge(m);
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
            if (m.r1 < area.r1 || m.r2 > area.r2) Refuse("Cannot change part of a merged cell");
        }
        for (int r = area.r1; r <= area.r2; ++r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            if (!row->cells.empty() && row->cells.back().col >= area.c1 && row->cells.back().col + n > kMaxColumns)
                Refuse("Cannot shift nonblank cells off the worksheet");
        }
        if (area.c1 + n <= kMaxColumns)
            detail::AdjustFormulas(s, formula::Change::MoveCells(s.name, Area{area.r1, area.c1, area.r2, kMaxColumns - n},
                                                                 s.name, area.r1, area.c1 + n));
        for (int r = area.r1; r <= area.r2; ++r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            for (Cell& c : row->cells) {
                if (c.col >= area.c1) c.col += n;
            }
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
                Refuse("Cannot change part of a merged cell");
        }
        if (area.r2 < kMaxRows)
            detail::AdjustFormulas(s, formula::Change::MoveCells(s.name, Area{area.r2 + 1, area.c1, kMaxRows, area.c2},
                                                                 s.name, area.r1, area.c1));
        const int last = static_cast<int>(s.rows.size());
        for (int r = area.r1; r <= last; ++r) {
            Row* row = s.rows.find(r);
            if (!row) continue;
            std::vector<Cell> moving;
            auto it = row->lower(area.c1);
            while (it != row->cells.end() && it->col <= area.c2) {
                if (r > area.r2) moving.push_back(std::move(*it));
                it = row->cells.erase(it);
            }
            std::vector<MergeAt> movingMerges;
            auto& mv = row->merges;
            for (auto m = mv.begin(); m != mv.end();) {
                if (m->c1 >= area.c1 && m->c2() <= area.c2) {
                    if (r > area.r2) movingMerges.push_back(*m);
                    m = mv.erase(m);
                } else {
                    ++m;
                }
            }
            if (r > area.r2) {
                Row& dest = s.rows.get(r - n);
                for (Cell& c : moving) dest.get(c.col) = std::move(c);
                for (const MergeAt& m : movingMerges) dest.addMerge(m);
            }
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
                Refuse("Cannot change part of a merged cell");
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

// ---------------------------------------------------------------- copy

void ModelWorksheet::CopyTo(const Area& source, host::Worksheet& destination, int row, int column) {
    ALIVE();
    CheckArea(source);
    auto* dest = dynamic_cast<ModelWorksheet*>(&destination);
    if (!dest) throw Error(ErrorCode::TypeMismatch, "The destination is not a worksheet of this model");
    if (dest->IsDeleted()) throw Error(ErrorCode::ObjectDeleted);
    dest->impl_->countsValid = false;
    const Area target{row, column, row + source.rows() - 1, column + source.columns() - 1};
    if (row < 1 || column < 1 || target.r2 > kMaxRows || target.c2 > kMaxColumns)
        Refuse("The copy area and the paste area are not the same size");
    auto& s = *impl_;
    auto& d = *dest->impl_;
    Sheet src{s};
    Sheet dst{d};
    StyleTable& fromTable = src.styles();
    StyleTable& toTable = dst.styles();
    const bool sameTable = &s.book->Styles() == &d.book->Styles();
    std::unordered_map<StyleId, StyleId> styleMap;
    auto mapStyle = [&](StyleId id) -> StyleId {
        if (sameTable) return id;
        if (auto it = styleMap.find(id); it != styleMap.end()) return it->second;
        return styleMap[id] = toTable.Intern(fromTable.Get(id));
    };
    const int dr = row - source.r1, dc = column - source.c1;

    // take everything first: the source and the destination may overlap
    struct Taken {
        int r, c;
        host::Value value;
        std::string formula;
        std::optional<StyleId> style;
    };
    std::vector<Taken> cells;
    std::vector<std::pair<int, RowRecord>> rowRecs;
    std::vector<std::pair<int, ColRec>> colRecs;
    const bool wholeRows = source.entireRows();
    const bool wholeCols = source.entireColumns() && !wholeRows;
    const int to = detail::StoredUpTo(s.rows, source.r2);
    if (wholeRows || wholeCols) {
        for (int r = source.r1; r <= to; ++r) {
            const Row& rw = s.rows.at(r - 1);
            if (wholeRows && rw.hasRecord()) rowRecs.emplace_back(r, rw.rec);
            for (auto it = rw.lower(source.c1); it != rw.cells.end() && it->col <= source.c2; ++it) {
                cells.push_back(Taken{r, it->col, it->value, it->formula,
                                      it->style ? std::optional<StyleId>(mapStyle(*it->style)) : std::nullopt});
            }
        }
        if (wholeCols) {
            for (int c = source.c1; c <= std::min<int>(source.c2, static_cast<int>(s.cols.size())); ++c)
                colRecs.emplace_back(c, s.cols[c - 1]);
        }
    } else {
        for (int r = source.r1; r <= source.r2; ++r) {
            const Row* rw = s.rows.find(r);
            for (int c = source.c1; c <= source.c2; ++c) {
                const Cell* cell = rw ? rw->find(c) : nullptr;
                Taken t{r, c, {}, {}, mapStyle(src.effective(r, c))};
                if (cell) {
                    t.value = cell->value;
                    t.formula = cell->formula;
                }
                cells.push_back(std::move(t));
            }
        }
    }
    std::vector<Area> merges;
    for (const Area& m : src.mergesIn(source)) {
        if (source.contains(m)) merges.push_back(m);
    }
    std::vector<host::Hyperlink> links;
    for (const auto& l : s.links) {
        if (source.contains(l.anchor)) links.push_back(l);
    }

    // then write
    dst.unmergeIn(target);
    if (wholeRows || wholeCols) {
        const int dto = detail::StoredUpTo(d.rows, target.r2);
        for (int r = target.r1; r <= dto; ++r) {
            Row& rw = d.rows.at(r - 1);
            auto first = rw.lower(target.c1);
            auto last = first;
            while (last != rw.cells.end() && last->col <= target.c2) ++last;
            rw.cells.erase(first, last);
            if (wholeRows) {
                rw.rec.height = -1;
                rw.rec.style.reset();
            }
        }
        for (auto& [r, rec] : rowRecs) {
            Row& rw = d.rows.get(r + dr);
            rw.rec.height = rec.height;
            rw.rec.style = rec.style ? std::optional<StyleId>(mapStyle(*rec.style)) : std::nullopt;
        }
        for (auto& [c, rec] : colRecs) {
            ColRec& cr = dst.colMut(c + dc);
            cr.width = rec.width;
            cr.style = rec.style ? std::optional<StyleId>(mapStyle(*rec.style)) : std::nullopt;
        }
        for (Taken& t : cells) {
            detail::NoteFormula(d, t.formula);
            Cell& cell = d.rows.get(t.r + dr).get(t.c + dc);
            cell.value = std::move(t.value);
            cell.formula = std::move(t.formula);
            cell.style = t.style;
        }
    } else {
        for (Taken& t : cells) {
            detail::NoteFormula(d, t.formula);
            dst.put(t.r + dr, t.c + dc, std::move(t.value), std::move(t.formula));
            dst.setOwn(t.r + dr, t.c + dc, *t.style);
        }
    }
    for (const Area& m : merges) dst.addMerge(Area{m.r1 + dr, m.c1 + dc, m.r2 + dr, m.c2 + dc});
    for (auto l : links) {
        l.anchor = Area{l.anchor.r1 + dr, l.anchor.c1 + dc, l.anchor.r2 + dr, l.anchor.c2 + dc};
        dest->AddHyperlink(l);
    }
    d.rows.trim();
}

// ---------------------------------------------------------------- merges

void ModelWorksheet::Merge(const Area& area) {
    CHANGING();
    CheckArea(area);
    if (area.single()) return;
    Sheet sh{*impl_};
    sh.unmergeIn(area);
    // only the top-left value stays
    const int to = detail::StoredUpTo(impl_->rows, area.r2);
    for (int r = area.r1; r <= to; ++r) {
        Row& row = impl_->rows.at(r - 1);
        auto it = row.lower(area.c1);
        while (it != row.cells.end() && it->col <= area.c2) {
            if (r == area.r1 && it->col == area.c1) {
                ++it;
                continue;
            }
            it->value = std::monostate{};
            it->formula.clear();
            if (it->blank()) it = row.cells.erase(it);
            else ++it;
        }
    }
    sh.addMerge(area);
}

void ModelWorksheet::UnMerge(const Area& area) {
    ALIVE();
    CheckArea(area);
    Sheet{*impl_}.unmergeIn(area);
    impl_->rows.trim();
}

std::optional<Area> ModelWorksheet::MergeArea(int row, int column) const {
    ALIVE();
    CheckCell(row, column);
    return Sheet{*impl_}.mergeAt(row, column);
}

std::vector<Area> ModelWorksheet::MergedAreas(const Area& within) const {
    ALIVE();
    CheckArea(within);
    return Sheet{*impl_}.mergesIn(within);
}

void ModelWorksheet::LoadMerge(const Area& area) {
    ALIVE();
    CheckArea(area);
    Sheet sh{*impl_};
    if (!sh.mergesIn(area).empty()) Refuse("Merged areas must not overlap");
    if (area.single()) return;
    sh.addMerge(area);
}

// ---------------------------------------------------------------- used range

Area ModelWorksheet::UsedRange() const {
    ALIVE();
    const auto& s = *impl_;
    int r1 = 0, r2 = 0;
    const int stored = static_cast<int>(s.rows.size());
    for (int r = 1; r <= stored; ++r) {
        if (s.rows.at(r - 1).used()) {
            r1 = r;
            break;
        }
    }
    for (int r = stored; r1 && r >= r1; --r) {
        if (s.rows.at(r - 1).used()) {
            r2 = r;
            break;
        }
    }
    if (!s.countsValid) s.recount();
    int c1 = s.cMin, c2 = s.cMax;
    for (int c = 1; c <= static_cast<int>(s.cols.size()); ++c) {
        if (!s.cols[c - 1].style) continue;
        if (!c1 || c < c1) c1 = c;
        c2 = std::max(c2, c);
    }
    if (!r1) r1 = r2 = 1;
    if (!c1) c1 = c2 = 1;
    return Area{r1, c1, r2, c2};
}

// ---------------------------------------------------------------- links

void ModelWorksheet::AddHyperlink(const host::Hyperlink& link) {
    ALIVE();
    CheckArea(link.anchor);
    auto& links = impl_->links;
    for (auto& l : links) {
        if (l.anchor == link.anchor) {
            l = link;
            return;
        }
    }
    links.push_back(link);
}

std::vector<host::Hyperlink> ModelWorksheet::Hyperlinks() const {
    ALIVE();
    auto out = impl_->links;
    std::sort(out.begin(), out.end(), [](const host::Hyperlink& a, const host::Hyperlink& b) {
        return std::pair(a.anchor.r1, a.anchor.c1) < std::pair(b.anchor.r1, b.anchor.c1);
    });
    return out;
}

// ---------------------------------------------------------------- page and view

host::PageSetup& ModelWorksheet::Page() {
    ALIVE();
    return impl_->page;
}

const host::PageSetup& ModelWorksheet::Page() const {
    ALIVE();
    return impl_->page;
}

std::vector<int> ModelWorksheet::HPageBreaks() const {
    ALIVE();
    std::vector<int> out;
    for (std::size_t i = 0; i < impl_->rows.size(); ++i) {
        if (impl_->rows.at(i).rec.manualBreak) out.push_back(static_cast<int>(i) + 1);
    }
    return out;
}

void ModelWorksheet::AddHPageBreak(int row) {
    ALIVE();
    if (row < 2 || row > kMaxRows) throw Error(ErrorCode::ApplicationDefined, "A page break cannot stand there");
    impl_->rows.get(row).rec.manualBreak = true;
}

void ModelWorksheet::RemoveHPageBreak(int row) {
    ALIVE();
    if (Row* r = impl_->rows.find(row)) {
        r->rec.manualBreak = false;
        impl_->rows.trim();
    }
}

bool ModelWorksheet::DisplayAutomaticPageBreaks() const {
    ALIVE();
    return impl_->autoBreaks;
}

void ModelWorksheet::DisplayAutomaticPageBreaks(bool on) {
    ALIVE();
    impl_->autoBreaks = on;
}

host::SheetView& ModelWorksheet::View() {
    ALIVE();
    return impl_->view;
}

const host::SheetView& ModelWorksheet::View() const {
    ALIVE();
    return impl_->view;
}

// ---------------------------------------------------------------- bulk access

void ModelWorksheet::ForEachCell(
    const std::function<void(int row, int column, const CellContent&, StyleId)>& visit) const {
    ALIVE();
    Sheet sh{*impl_};
    for (std::size_t i = 0; i < impl_->rows.size(); ++i) {
        const Row& row = impl_->rows.at(i);
        const int r = static_cast<int>(i) + 1;
        for (const Cell& c : row.cells) {
            visit(r, c.col, CellContent{detail::ShownValue(*impl_, r, c), c.formula},
                  c.style ? *c.style : sh.inherited(r, c.col));
        }
    }
}

void ModelWorksheet::ForEachRow(const std::function<void(int row, const RowRecord&)>& visit) const {
    ALIVE();
    for (std::size_t i = 0; i < impl_->rows.size(); ++i) {
        const Row& row = impl_->rows.at(i);
        if (row.hasRecord() || row.rec.manualBreak) visit(static_cast<int>(i) + 1, row.rec);
    }
}

std::vector<ColumnRecord> ModelWorksheet::Columns() const {
    ALIVE();
    std::vector<ColumnRecord> out;
    const auto& cols = impl_->cols;
    for (std::size_t i = 0; i < cols.size();) {
        if (cols[i].empty()) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j + 1 < cols.size() && cols[j + 1] == cols[i]) ++j;
        out.push_back(ColumnRecord{static_cast<int>(i) + 1, static_cast<int>(j) + 1, cols[i].width, cols[i].style});
        i = j + 1;
    }
    return out;
}

std::optional<StyleId> ModelWorksheet::SheetStyle() const {
    ALIVE();
    return impl_->sheetStyle;
}

void ModelWorksheet::LoadCell(int row, int column, CellContent content, StyleId style) {
    CHANGING();
    CheckCell(row, column);
    Cell& c = impl_->rows.get(row).get(column);
    c.value = std::move(content.value);
    c.formula = std::move(content.formula);
    c.style = style;
    detail::NoteFormula(*impl_, c.formula);
}

void ModelWorksheet::LoadRow(int row, const RowRecord& record) {
    ALIVE();
    CheckCell(row, 1);
    impl_->rows.get(row).rec = record;
    impl_->rows.trim();
}

void ModelWorksheet::LoadColumns(const ColumnRecord& record) {
    ALIVE();
    CheckArea(Area{1, record.first, 1, record.last});
    Sheet sh{*impl_};
    for (int c = record.first; c <= record.last; ++c) sh.colMut(c) = ColRec{record.width, record.style};
}

void ModelWorksheet::LoadSheetStyle(StyleId style) {
    ALIVE();
    impl_->sheetStyle = style;
}

}  // namespace ormelin::model
