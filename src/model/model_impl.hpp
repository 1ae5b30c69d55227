// The inside of the embedded model's worksheet: the row store and its records.
//
// Rows live in a gap buffer: a vector with a movable run of unused slots at the
// place of the last insertion or deletion, so that a run of edits close to one
// another (forming walks down a list one sheet at a time) moves only the rows
// between two edits. Each row holds its own record, its cells (sorted by column)
// and the merged areas whose top-left cell lies in it; a merged area spanning
// several rows is found by looking back at most the tallest merge's height.
#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formula/formula.hpp"
#include "model/cell.hpp"
#include "ormelin/model.hpp"
#include "ormelin/rich_text.hpp"

namespace ormelin::model::detail {

/// A merged area stored in the row of its top-left cell.
struct MergeAt {
    int c1 = 1;
    int rows = 1;
    int cols = 1;
    int c2() const { return c1 + cols - 1; }
};

struct Row {
    RowRecord rec;
    std::vector<Cell> cells;
    std::vector<MergeAt> merges;  // sorted by c1
    /// No merged area starting in this row has more rows (a bound: it is raised
    /// wherever one grows, never lowered), so that a look for the areas that
    /// reach a row below skips the rows whose areas cannot.
    int tallestMerge = 1;

    bool hasRecord() const { return rec.height >= 0 || rec.style.has_value(); }
    bool empty() const {
        return !hasRecord() && !rec.manualBreak && !rec.outlined() && cells.empty() && merges.empty();
    }
    /// Counts in the used range: a cell with a value or a style, or a record.
    bool used() const { return hasRecord() || !cells.empty(); }

    std::vector<Cell>::iterator lower(int col) {
        return std::lower_bound(cells.begin(), cells.end(), col, [](const Cell& c, int v) { return c.col < v; });
    }
    std::vector<Cell>::const_iterator lower(int col) const {
        return std::lower_bound(cells.begin(), cells.end(), col, [](const Cell& c, int v) { return c.col < v; });
    }
    Cell* find(int col) {
        auto it = lower(col);
        return it != cells.end() && it->col == col ? &*it : nullptr;
    }
    const Cell* find(int col) const {
        auto it = lower(col);
        return it != cells.end() && it->col == col ? &*it : nullptr;
    }
    Cell& get(int col) {
        if (cells.empty() || cells.back().col < col) {  // cells come in column order from a file
            cells.emplace_back().col = col;
            return cells.back();
        }
        auto it = lower(col);
        if (it != cells.end() && it->col == col) return *it;
        auto added = cells.emplace(it);  // built in place: GCC 12 misreads a moved-in empty value
        added->col = col;
        return *added;
    }
    void dropIfBlank(int col) {
        auto it = lower(col);
        if (it != cells.end() && it->col == col && it->blank()) cells.erase(it);
    }
    void addMerge(const MergeAt& m) {
        auto it = std::lower_bound(merges.begin(), merges.end(), m.c1,
                                   [](const MergeAt& x, int v) { return x.c1 < v; });
        merges.insert(it, m);
        tallestMerge = std::max(tallestMerge, m.rows);
    }
};

/// Rows 1..size() in a gap buffer; rows past size() are empty.
class RowStore {
public:
    std::size_t size() const { return buf_.size() - gapLen_; }

    Row& at(std::size_t i) { return i < gap_ ? buf_[i] : buf_[i + gapLen_]; }
    const Row& at(std::size_t i) const { return i < gap_ ? buf_[i] : buf_[i + gapLen_]; }

    /// Row r (1-based) or null when it lies past the stored rows.
    const Row* find(int r) const {
        return r >= 1 && static_cast<std::size_t>(r) <= size() ? &at(static_cast<std::size_t>(r) - 1) : nullptr;
    }
    Row* find(int r) {
        return r >= 1 && static_cast<std::size_t>(r) <= size() ? &at(static_cast<std::size_t>(r) - 1) : nullptr;
    }
    /// Row r, storing empty rows up to it when needed.
    Row& get(int r) {
        while (size() < static_cast<std::size_t>(r)) buf_.emplace_back();
        return at(static_cast<std::size_t>(r) - 1);
    }

    /// n empty rows before index pos (0-based); pos <= size().
    void insert(std::size_t pos, std::size_t n) {
        if (gapLen_ < n) grow(pos, n);
        else moveGap(pos);
        for (std::size_t k = 0; k < n; ++k) buf_[gap_ + k] = Row{};
        gap_ += n;
        gapLen_ -= n;
    }

    /// Removes n rows from index pos (0-based).
    void erase(std::size_t pos, std::size_t n) {
        if (pos >= size()) return;
        n = std::min(n, size() - pos);
        moveGap(pos);
        for (std::size_t k = 0; k < n; ++k) buf_[gap_ + gapLen_ + k] = Row{};
        gapLen_ += n;
    }

    /// Drops empty rows at the end.
    void trim() {
        while (size() > 0 && at(size() - 1).empty()) {
            if (gap_ < size()) {
                buf_.pop_back();
            } else {
                buf_[gap_ - 1] = Row{};
                --gap_;
                ++gapLen_;
            }
        }
    }

private:
    void moveGap(std::size_t pos) {
        if (gapLen_ == 0) {
            gap_ = pos;
            return;
        }
        if (pos < gap_) {
            for (std::size_t i = gap_; i-- > pos;) buf_[i + gapLen_] = std::move(buf_[i]);
        } else {
            for (std::size_t i = gap_; i < pos; ++i) buf_[i] = std::move(buf_[i + gapLen_]);
        }
        gap_ = pos;
    }

    void grow(std::size_t pos, std::size_t n) {
        const std::size_t count = size();
        const std::size_t newGap = std::max(n, count / 8 + 64);
        std::vector<Row> next;
        next.reserve(count + newGap);
        for (std::size_t i = 0; i < pos; ++i) next.push_back(std::move(at(i)));
        next.resize(pos + newGap);
        for (std::size_t i = pos; i < count; ++i) next.push_back(std::move(at(i)));
        buf_ = std::move(next);
        gap_ = pos;
        gapLen_ = newGap;
    }

    std::vector<Row> buf_;
    std::size_t gap_ = 0;
    std::size_t gapLen_ = 0;
};

/// The last stored row index not beyond r.
inline int StoredUpTo(const RowStore& rows, int r) {
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(r), rows.size()));
}

struct ColRec {
    double width = -1;
    std::optional<StyleId> style;
    double hiddenWidth = -1;  // of a hidden column (width 0): its width when shown
    std::uint8_t outlineLevel = 0;
    bool collapsed = false;
    double fileWidth = -1;  // the width as the file gave it (ColumnRecord::fileWidth)
    bool empty() const { return width < 0 && !style && outlineLevel == 0 && !collapsed; }
    friend bool operator==(const ColRec&, const ColRec&) = default;
};

struct SheetData;

/// What a workbook shares with its sheets: the sheets themselves, so that a
/// formula can read any sheet and a structural change can reach every formula.
struct BookData {
    std::vector<SheetData*> sheets;  // in no particular order
    /// What a format patch made of each style (by style id and the cell's place
    /// in the area), for the last few patches: a formed document applies a
    /// handful of patches (a frame's lines, a cleared side) to thousands of
    /// areas. Styles are never taken out of the workbook's table, so a result
    /// stays true.
    struct PatchResults {
        host::FormatPatch patch;
        std::unordered_map<std::uint64_t, StyleId> results;
    };
    std::vector<std::unique_ptr<PatchResults>> patchResults;
};

/// What a sheet's formulas may depend on, so that a structural change passes
/// over them only when one may be affected. The counts never fall below the
/// truth: storing a formula adds to them, removing one does not subtract, and
/// a pass over the sheet's formulas counts them again exactly.
struct FormulaCounts {
    /// Formulas that a row insertion or deletion in their own sheet may alter:
    /// an own-sheet reference with an absolute row or a nonzero row offset, or a
    /// row offset into another sheet (the formula moves, its target does not).
    long rows = 0;
    long columns = 0;  // the same for columns
    /// Formulas holding any reference (moving part of the sheet may alter them).
    long referring = 0;
    /// Formulas naming a sheet, by the sheet's case-folded name.
    std::map<std::string, long> named;
    bool empty() const { return rows == 0 && columns == 0 && referring == 0 && named.empty(); }
};

/// Everything a worksheet holds.
struct SheetData {
    ModelWorkbook* book = nullptr;  // null once the sheet is deleted
    BookData* bookData = nullptr;   // null once the sheet is deleted
    std::string name;
    bool deleted = false;
    FormulaCounts formulas;

    detail::RowStore rows;
    std::vector<detail::ColRec> cols;  // index: column - 1
    std::optional<StyleId> sheetStyle;
    double standardHeight = 15;
    double standardWidth = 8.43;
    SheetDefaults defaults;
    SheetOutline outline;
    int maxMergeRows = 1;  // the tallest merged area ever stored (lookback bound)
    std::vector<host::Hyperlink> links;
    host::PageSetup page;
    host::SheetView view;
    bool autoBreaks = false;

    // The first and last column holding any cell: the used range reads them
    // instead of passing over the sheet. A row's cells are sorted by column, so
    // counting them again reads each row's first and last cell only. Row
    // insertion keeps them up to date; other changes mark them stale and the next
    // reader counts again.
    mutable int cMin = 0, cMax = 0;  // 0: no cells
    mutable bool countsValid = false;

    void recount() const {
        cMin = cMax = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto& cells = rows.at(i).cells;
            if (cells.empty()) continue;
            if (!cMin || cells.front().col < cMin) cMin = cells.front().col;
            cMax = std::max(cMax, cells.back().col);
        }
        countsValid = true;
    }
    void countAdded(const Row& row) const {
        if (!countsValid || row.cells.empty()) return;
        if (!cMin || row.cells.front().col < cMin) cMin = row.cells.front().col;
        cMax = std::max(cMax, row.cells.back().col);
    }
    /// A row's cells going: the bounds stay when the row held neither of them.
    void countRemoved(const Row& row) const {
        if (!countsValid || row.cells.empty()) return;
        if (row.cells.front().col <= cMin || row.cells.back().col >= cMax) countsValid = false;
    }
};

// ---------------------------------------------------------------- formulas (model_formula.cpp)

/// A sheet name as formula references compare it: case-folded.
std::string FoldedSheetName(std::string_view name);
/// Adds a formula stored in sheet s (in as many cells as times) to its counts.
void NoteFormula(SheetData& s, std::string_view formulaR1C1, long times = 1);
/// The value a formula cell shows: its formula's result, or the cached value when
/// the formula cannot be evaluated or takes part in a circular reference.
host::Value FormulaValue(const SheetData& s, int row, int column, const Cell& cell);
/// The value a cell shows (a formula's result; a plain cell's value, no copy
/// made for it beyond the return).
inline host::Value ShownValue(const SheetData& s, int row, const Cell& cell) {
    return cell.hasFormula() ? FormulaValue(s, row, cell.col, cell) : cell.value.get();
}
/// Rewrites the formulas of the workbook that a change in sheet s (rows or
/// columns inserted or deleted, cells moved, the sheet renamed or deleted) may
/// alter, as the spreadsheet does. Call it before the change is made, with the
/// sheet still under its old name. Sheets whose counts show no formula that can
/// be affected are not visited.
void AdjustFormulas(SheetData& s, const formula::Change& change);
/// Counts the formulas of sheet s again, exactly.
void RecountFormulas(SheetData& s);
/// Whether AdjustFormulas would visit any formula for this change.
bool FormulasMayChange(const SheetData& s, const formula::Change& change);

}  // namespace ormelin::model::detail

namespace ormelin::model {

struct ModelWorksheet::Impl : detail::SheetData {};

}  // namespace ormelin::model
