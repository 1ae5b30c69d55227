// The embedded model's worksheet: copying an area to a place of any sheet.
#include <unordered_map>

#include "model/model_sheet_ops.hpp"

namespace ormelin::model {

using namespace ops;

// ---------------------------------------------------------------- copy

namespace {

/// One copy of an area to another place, of the same sheet or another: what the
/// source holds is taken first (the two may overlap), then written.
class AreaCopy {
public:
    AreaCopy(detail::SheetData& s, detail::SheetData& d, const Area& source, const Area& target)
        : s_(s), d_(d), src_{s}, dst_{d}, source_(source), target_(target), dr_(target.r1 - source.r1),
          dc_(target.c1 - source.c1), sameTable_(&s.book->Styles() == &d.book->Styles()),
          wholeRows_(source.entireRows()), wholeCols_(source.entireColumns() && !wholeRows_) {}

    void Take() {
        if (wholeRows_ || wholeCols_)
            TakeWhole();
        else
            TakeCells();
        for (const Area& m : src_.mergesIn(source_))
            if (source_.contains(m)) merges_.push_back(m);
        for (const auto& l : s_.links)
            if (source_.contains(l.anchor)) links_.push_back(l);
    }

    void Write(ModelWorksheet& dest) {
        dst_.unmergeIn(target_);
        if (wholeRows_ || wholeCols_)
            WriteWhole();
        else
            WriteCells();
        for (const Area& m : merges_) dst_.addMerge(Moved(m));
        for (auto l : links_) {
            l.anchor = Moved(l.anchor);
            dest.AddHyperlink(l);
        }
        d_.rows.trim();
    }

private:
    struct Taken {
        int r, c;
        host::Value value;
        std::string formula;
        std::optional<StyleId> style;
        std::shared_ptr<const host::RichText> runs = nullptr;
    };

    Area Moved(const Area& a) const { return Area{a.r1 + dr_, a.c1 + dc_, a.r2 + dr_, a.c2 + dc_}; }

    /// A style of the source's table in the destination's.
    StyleId MapStyle(StyleId id) {
        if (sameTable_) return id;
        if (auto it = styleMap_.find(id); it != styleMap_.end()) return it->second;
        return styleMap_[id] = dst_.styles().Intern(src_.styles().Get(id));
    }
    std::optional<StyleId> MapStyle(const std::optional<StyleId>& id) {
        return id ? std::optional<StyleId>(MapStyle(*id)) : std::nullopt;
    }

    /// Whole rows or columns: the stored cells and the row or column records.
    void TakeWhole() {
        const int to = detail::StoredUpTo(s_.rows, source_.r2);
        for (int r = source_.r1; r <= to; ++r) {
            const Row& rw = s_.rows.at(r - 1);
            if (wholeRows_ && rw.hasRecord()) rowRecs_.emplace_back(r, rw.rec);
            for (auto it = rw.lower(source_.c1); it != rw.cells.end() && it->col <= source_.c2; ++it)
                cells_.push_back(Taken{r, it->col, it->value.get(), it->formula(), MapStyle(it->style), it->runs()});
        }
        if (wholeCols_) {
            for (int c = source_.c1; c <= std::min<int>(source_.c2, static_cast<int>(s_.cols.size())); ++c)
                colRecs_.emplace_back(c, s_.cols[c - 1]);
        }
    }

    /// The style a cell with nothing stored shows in a column of a sheet.
    static StyleId Bare(const Sheet& sh, int c) {
        const ColRec* cr = sh.col(c);
        return cr && cr->style ? *cr->style : sh.s.sheetStyle.value_or(0);
    }

    /// The last source row to copy cell by cell. Rows past the last stored row of
    /// both sheets hold nothing and show their columns' formats: when every such
    /// destination cell would show the format its source shows, they are passed
    /// over, so that a copy of rows to the sheet's end costs what the sheets hold.
    int LastRowToTake() {
        const int stored =
            std::max(detail::StoredUpTo(s_.rows, source_.r2), detail::StoredUpTo(d_.rows, target_.r2) - dr_);
        if (stored >= source_.r2) return source_.r2;
        for (int c = source_.c1; c <= source_.c2; ++c)
            if (MapStyle(Bare(src_, c)) != Bare(dst_, c + dc_)) return source_.r2;
        return std::max(stored, source_.r1 - 1);
    }

    /// Part of the sheet: every cell with the style it shows.
    void TakeCells() {
        const int last = LastRowToTake();
        if (last >= source_.r1) cells_.reserve(static_cast<std::size_t>(last - source_.r1 + 1) * source_.columns());
        for (int r = source_.r1; r <= last; ++r) {
            const Row* rw = s_.rows.find(r);
            for (int c = source_.c1; c <= source_.c2; ++c) {
                const Cell* cell = rw ? rw->find(c) : nullptr;
                Taken t{r, c, {}, {}, MapStyle(src_.effective(r, c))};
                if (cell) {
                    t.value = cell->value.get();
                    t.formula = cell->formula();
                    t.runs = cell->runs();
                }
                cells_.push_back(std::move(t));
            }
        }
    }

    /// The target's rows or columns emptied, then given the taken records and cells.
    void WriteWhole() {
        const int dto = detail::StoredUpTo(d_.rows, target_.r2);
        for (int r = target_.r1; r <= dto; ++r) {
            Row& rw = d_.rows.at(r - 1);
            auto first = rw.lower(target_.c1);
            auto last = first;
            while (last != rw.cells.end() && last->col <= target_.c2) ++last;
            rw.cells.erase(first, last);
            if (wholeRows_) {
                rw.rec.height = -1;
                rw.rec.style.reset();
            }
        }
        for (auto& [r, rec] : rowRecs_) {
            Row& rw = d_.rows.get(r + dr_);
            rw.rec.height = rec.height;
            rw.rec.hiddenHeight = rec.hiddenHeight;
            rw.rec.style = MapStyle(rec.style);
        }
        for (auto& [c, rec] : colRecs_) {
            ColRec& cr = dst_.colMut(c + dc_);
            cr.width = rec.width;
            cr.hiddenWidth = rec.hiddenWidth;
            cr.fileWidth = rec.fileWidth;
            cr.style = MapStyle(rec.style);
        }
        for (Taken& t : cells_) {
            detail::NoteFormula(d_, t.formula);
            Cell& cell = d_.rows.get(t.r + dr_).get(t.c + dc_);
            cell.value = t.value;
            cell.setFormula(std::move(t.formula));
            cell.style = t.style;
            cell.setRuns(std::move(t.runs));
        }
    }

    void WriteCells() {
        for (Taken& t : cells_) {
            detail::NoteFormula(d_, t.formula);
            dst_.put(t.r + dr_, t.c + dc_, std::move(t.value), std::move(t.formula), std::move(t.runs));
            dst_.setOwn(t.r + dr_, t.c + dc_, *t.style);
        }
    }

    detail::SheetData& s_;
    detail::SheetData& d_;
    Sheet src_;
    Sheet dst_;
    const Area source_, target_;
    const int dr_, dc_;
    const bool sameTable_, wholeRows_, wholeCols_;
    std::unordered_map<StyleId, StyleId> styleMap_;
    std::vector<Taken> cells_;
    std::vector<std::pair<int, RowRecord>> rowRecs_;
    std::vector<std::pair<int, ColRec>> colRecs_;
    std::vector<Area> merges_;
    std::vector<host::Hyperlink> links_;
};

}  // namespace

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
    AreaCopy copy(*impl_, *dest->impl_, source, target);
    copy.Take();
    copy.Write(*dest);
}

}  // namespace ormelin::model
