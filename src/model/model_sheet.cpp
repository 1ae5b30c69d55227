// The embedded model's worksheet: life, content, geometry, merges, used range,
// links, page and view. Formats, structure changes and copying have files of
// their own (model_formats.cpp, model_structure.cpp, model_copy.cpp).
#include <algorithm>
#include <cmath>

#include "host/display.hpp"
#include "model/names.hpp"
#include "model/model_sheet_ops.hpp"

namespace ormelin::model {

using namespace ops;

// ---------------------------------------------------------------- life

ModelWorksheet::ModelWorksheet(ModelWorkbook& book, std::string name) : impl_(std::make_unique<Impl>()) {
    impl_->book = &book;
    impl_->name = std::move(name);
}

ModelWorksheet::~ModelWorksheet() = default;

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
        if (const Cell* c = r->find(column)) return CellContent{detail::ShownValue(*impl_, row, *c), c->formula(), c->runs()};
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
    cell.setFormula(formulaR1C1);
    cell.setRuns(nullptr);
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
    return host::DisplayValue(value, sh.styles().Get(sh.effective(row, column)).numberFormat, s.book->Date1904());
}

}  // namespace

std::string ModelWorksheet::CellText(int row, int column) const {
    ALIVE();
    CheckCell(row, column);
    const Row* r = impl_->rows.find(row);
    const Cell* c = r ? r->find(column) : nullptr;
    if (!c) return {};
    if (c->hasFormula()) return ShownText(*impl_, row, column, detail::FormulaValue(*impl_, row, column, *c));
    return ShownText(*impl_, row, column, c->value.get());
}

bool ModelWorksheet::HasReferringFormulas() const {
    ALIVE();
    // the counts may still hold formulas that are gone: counted again, they are exact
    if (impl_->formulas.referring > 0) detail::RecountFormulas(*impl_);
    return impl_->formulas.referring > 0;
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
    if (points < 0 || points > 409.5) throw Error(Refusal::RowHeightOutOfRange);
    if (r2 == kMaxRows && (r1 == 1 || (points > 0 && 4LL * (r1 - 1) < kMaxRows - r1 + 1))) {
        // every row, or rows to the sheet's end far more than the rows above: the
        // standard height changes, the rows above keep theirs as their own and the
        // rows from r1 on drop their own
        const double before = impl_->standardHeight;
        for (int r = 1; r < r1; ++r) {
            RowRecord& rec = impl_->rows.get(r).rec;
            if (rec.height < 0) rec.height = before;
        }
        impl_->standardHeight = points;
        for (std::size_t i = static_cast<std::size_t>(r1) - 1; i < impl_->rows.size(); ++i) {
            impl_->rows.at(i).rec.height = -1;
            impl_->rows.at(i).rec.hiddenHeight = -1;
        }
        impl_->rows.trim();
        return;
    }
    for (int r = r1; r <= r2; ++r) {
        RowRecord& rec = impl_->rows.get(r).rec;
        // A row hidden keeps its height, to show it again when it is unhidden.
        if (points == 0) {
            if (rec.height != 0) rec.hiddenHeight = static_cast<float>(rec.height);
        } else {
            rec.hiddenHeight = -1;
        }
        rec.height = points;
    }
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
    if (characters < 0 || characters > 255) throw Error(Refusal::ColumnWidthOutOfRange);
    Sheet sh{*impl_};
    for (int c = c1; c <= c2; ++c) {
        detail::ColRec& rec = sh.colMut(c);
        // A column hidden keeps its width, to show it again when it is unhidden.
        if (characters == 0) {
            if (rec.width != 0) rec.hiddenWidth = rec.width;
        } else {
            rec.hiddenWidth = -1;
        }
        rec.width = characters;
    }
}

double ModelWorksheet::StandardHeight() const {
    ALIVE();
    return impl_->standardHeight;
}

void ModelWorksheet::StandardHeight(double points) {
    ALIVE();
    if (points < 0 || points > 409.5) throw Error(Refusal::RowHeightOutOfRange);
    impl_->standardHeight = points;
}

double ModelWorksheet::StandardWidth() const {
    ALIVE();
    return impl_->standardWidth;
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
            it->clearContent();
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
    if (!sh.mergesIn(area).empty()) Refuse(Refusal::MergedAreasOverlap);
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
    if (row < 2 || row > kMaxRows) throw Error(Refusal::PageBreakPlace);
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
            visit(r, c.col, CellContent{detail::ShownValue(*impl_, r, c), c.formula(), c.runs()},
                  c.style ? *c.style : sh.inherited(r, c.col));
        }
    }
}

void ModelWorksheet::ForEachRow(const std::function<void(int row, const RowRecord&)>& visit) const {
    ALIVE();
    for (std::size_t i = 0; i < impl_->rows.size(); ++i) {
        const Row& row = impl_->rows.at(i);
        if (row.hasRecord() || row.rec.manualBreak || row.rec.outlined()) visit(static_cast<int>(i) + 1, row.rec);
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
        out.push_back(ColumnRecord{static_cast<int>(i) + 1, static_cast<int>(j) + 1, cols[i].width, cols[i].style,
                                   cols[i].hiddenWidth, cols[i].outlineLevel, cols[i].collapsed, cols[i].fileWidth});
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
    // runs belong to a plain text only, and must join to it
    const auto* text = std::get_if<std::string>(&content.value);
    const bool keepRuns = content.runs && content.formula.empty() && text && content.runs->Joined() == *text;
    c.value = std::move(content.value);
    c.setFormula(std::move(content.formula));
    c.style = style;
    c.setRuns(keepRuns ? std::move(content.runs) : nullptr);
    detail::NoteFormula(*impl_, c.formula());
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
    for (int c = record.first; c <= record.last; ++c)
        sh.colMut(c) = ColRec{record.width, record.style, record.width == 0 ? record.hiddenWidth : -1,
                              record.outlineLevel, record.collapsed, record.fileWidth};
}

void ModelWorksheet::LoadSheetStyle(StyleId style) {
    ALIVE();
    impl_->sheetStyle = style;
}

void ModelWorksheet::LoadStandardWidth(double characters) {
    ALIVE();
    if (!(characters >= 0 && characters <= 255)) throw Error(Refusal::ColumnWidthOutOfRange);
    impl_->standardWidth = characters;
}

SheetDefaults& ModelWorksheet::Defaults() {
    ALIVE();
    return impl_->defaults;
}

const SheetDefaults& ModelWorksheet::Defaults() const {
    ALIVE();
    return impl_->defaults;
}

SheetOutline& ModelWorksheet::Outline() {
    ALIVE();
    return impl_->outline;
}

const SheetOutline& ModelWorksheet::Outline() const {
    ALIVE();
    return impl_->outline;
}

}  // namespace ormelin::model
