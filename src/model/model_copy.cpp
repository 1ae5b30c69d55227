// The embedded model's worksheet: copying an area to a place of any sheet.
#include <unordered_map>

#include "model/model_sheet_ops.hpp"

namespace ormelin::model {

using namespace ops;

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
        Refuse(Refusal::CopySizeMismatch);
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
        std::shared_ptr<const host::RichText> runs = nullptr;
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
                cells.push_back(Taken{r, it->col, it->value.get(), it->formula(),
                                      it->style ? std::optional<StyleId>(mapStyle(*it->style)) : std::nullopt,
                                      it->runs()});
            }
        }
        if (wholeCols) {
            for (int c = source.c1; c <= std::min<int>(source.c2, static_cast<int>(s.cols.size())); ++c)
                colRecs.emplace_back(c, s.cols[c - 1]);
        }
    } else {
        // Rows past the last stored row of both sheets hold nothing and show their
        // columns' formats: when every such destination cell would show the format
        // its source shows, they are passed over, so that a copy of rows to the
        // sheet's end costs what the sheets hold.
        auto bare = [](const Sheet& sh, int c) {
            const ColRec* cr = sh.col(c);
            return cr && cr->style ? *cr->style : sh.s.sheetStyle.value_or(0);
        };
        const int stored = std::max(detail::StoredUpTo(s.rows, source.r2), detail::StoredUpTo(d.rows, target.r2) - dr);
        int last = source.r2;
        if (stored < source.r2) {
            bool same = true;
            for (int c = source.c1; same && c <= source.c2; ++c) same = mapStyle(bare(src, c)) == bare(dst, c + dc);
            if (same) last = std::max(stored, source.r1 - 1);
        }
        if (last >= source.r1) cells.reserve(static_cast<std::size_t>(last - source.r1 + 1) * source.columns());
        for (int r = source.r1; r <= last; ++r) {
            const Row* rw = s.rows.find(r);
            for (int c = source.c1; c <= source.c2; ++c) {
                const Cell* cell = rw ? rw->find(c) : nullptr;
                Taken t{r, c, {}, {}, mapStyle(src.effective(r, c))};
                if (cell) {
                    t.value = cell->value.get();
                    t.formula = cell->formula();
                    t.runs = cell->runs();
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
            rw.rec.hiddenHeight = rec.hiddenHeight;
            rw.rec.style = rec.style ? std::optional<StyleId>(mapStyle(*rec.style)) : std::nullopt;
        }
        for (auto& [c, rec] : colRecs) {
            ColRec& cr = dst.colMut(c + dc);
            cr.width = rec.width;
            cr.hiddenWidth = rec.hiddenWidth;
            cr.fileWidth = rec.fileWidth;
            cr.style = rec.style ? std::optional<StyleId>(mapStyle(*rec.style)) : std::nullopt;
        }
        for (Taken& t : cells) {
            detail::NoteFormula(d, t.formula);
            Cell& cell = d.rows.get(t.r + dr).get(t.c + dc);
            cell.value = t.value;
            cell.setFormula(std::move(t.formula));
            cell.style = t.style;
            cell.setRuns(std::move(t.runs));
        }
    } else {
        for (Taken& t : cells) {
            detail::NoteFormula(d, t.formula);
            dst.put(t.r + dr, t.c + dc, std::move(t.value), std::move(t.formula), std::move(t.runs));
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

}  // namespace ormelin::model
