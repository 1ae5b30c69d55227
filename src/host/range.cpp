// Range: a worksheet and an area; every member forwards to the worksheet's area
// operations. Also the worksheet's range accessors.
#include <cstdio>

#include "ormelin/host.hpp"

namespace ormelin::host {

namespace {

Area Checked(const Area& a) {
    if (a.r1 < 1 || a.c1 < 1 || a.r2 > kMaxRows || a.c2 > kMaxColumns || a.r1 > a.r2 || a.c1 > a.c2)
        throw Error(Refusal::RangeOutsideSheet);
    return a;
}

Area Shifted(const Area& a, int dr, int dc) { return Area{a.r1 + dr, a.c1 + dc, a.r2 + dr, a.c2 + dc}; }

std::string ValueAsFormulaText(const Value& v) {
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    if (auto* d = std::get_if<double>(&v)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", *d);
        return buf;
    }
    if (auto* b = std::get_if<bool>(&v)) return *b ? "TRUE" : "FALSE";
    if (auto* e = std::get_if<CellError>(&v)) return ErrorText(*e);
    return {};
}

}  // namespace

// ---------------------------------------------------------------- worksheet accessors

Range Worksheet::Cells() { return Range(shared_from_this(), Area{1, 1, kMaxRows, kMaxColumns}); }
Range Worksheet::Cells(int row, int column) { return Range(shared_from_this(), Area{row, column, row, column}); }
Range Worksheet::RangeAt(const std::string& a1) { return Range(shared_from_this(), ParseAddress(a1)); }
Range Worksheet::RangeAt(const Area& area) { return Range(shared_from_this(), area); }
Range Worksheet::Rows(int row) { return Range(shared_from_this(), Area{row, 1, row, kMaxColumns}); }
Range Worksheet::Rows(const std::string& a1) {
    Area a = ParseAddress(a1.find(':') == std::string::npos ? a1 + ":" + a1 : a1);
    if (!a.entireRows()) throw Error(ErrorCode::InvalidArgument, "Not a row address: " + a1);
    return Range(shared_from_this(), a);
}
Range Worksheet::Columns(int column) { return Range(shared_from_this(), Area{1, column, kMaxRows, column}); }
Range Worksheet::Columns(const std::string& a1) {
    Area a = ParseAddress(a1.find(':') == std::string::npos ? a1 + ":" + a1 : a1);
    if (!a.entireColumns()) throw Error(ErrorCode::InvalidArgument, "Not a column address: " + a1);
    return Range(shared_from_this(), a);
}
Range Worksheet::Used() { return Range(shared_from_this(), UsedRange()); }

// ---------------------------------------------------------------- range

Range::Range(std::shared_ptr<Worksheet> sheet, const Area& area) : sheet_(std::move(sheet)), area_(area) {
    if (!sheet_) throw Error(ErrorCode::ObjectRequired);
    if (sheet_->IsDeleted()) throw Error(ErrorCode::ObjectDeleted);
    Checked(area_);
}

Worksheet& Range::Sheet() const {
    if (sheet_->IsDeleted()) throw Error(ErrorCode::ObjectDeleted);
    return *sheet_;
}

Range Range::Item(int row, int column) const {
    Sheet();
    return Range(sheet_, Area{area_.r1 + row - 1, area_.c1 + column - 1, area_.r1 + row - 1, area_.c1 + column - 1});
}

Range Range::RangeAt(const std::string& a1) const {
    Sheet();
    Area a = ParseAddress(a1);
    Area out = Shifted(a, area_.r1 - 1, area_.c1 - 1);
    // whole rows and columns stay within the sheet
    if (a.entireColumns()) out.r2 = kMaxRows;
    if (a.entireRows()) out.c2 = kMaxColumns;
    return Range(sheet_, out);
}

Range Range::Rows(int row) const {
    Sheet();
    return Range(sheet_, Area{area_.r1 + row - 1, area_.c1, area_.r1 + row - 1, area_.c2});
}

Range Range::Rows(const std::string& a1) const {
    Sheet();
    Area a = ParseAddress(a1.find(':') == std::string::npos ? a1 + ":" + a1 : a1);
    if (!a.entireRows()) throw Error(ErrorCode::InvalidArgument, "Not a row address: " + a1);
    return Range(sheet_, Area{area_.r1 + a.r1 - 1, area_.c1, area_.r1 + a.r2 - 1, area_.c2});
}

Range Range::Columns(int column) const {
    Sheet();
    return Range(sheet_, Area{area_.r1, area_.c1 + column - 1, area_.r2, area_.c1 + column - 1});
}

Range Range::Columns(const std::string& a1) const {
    Sheet();
    Area a = ParseAddress(a1.find(':') == std::string::npos ? a1 + ":" + a1 : a1);
    if (!a.entireColumns()) throw Error(ErrorCode::InvalidArgument, "Not a column address: " + a1);
    return Range(sheet_, Area{area_.r1, area_.c1 + a.c1 - 1, area_.r2, area_.c1 + a.c2 - 1});
}

Range Range::EntireRow() const {
    Sheet();
    return Range(sheet_, Area{area_.r1, 1, area_.r2, kMaxColumns});
}

Range Range::EntireColumn() const {
    Sheet();
    return Range(sheet_, Area{1, area_.c1, kMaxRows, area_.c2});
}

Range Range::Offset(int rows, int columns) const {
    Sheet();
    return Range(sheet_, Shifted(area_, rows, columns));
}

Range Range::Resize(int rows, int columns) const {
    Sheet();
    if (rows < 1 || columns < 1) throw Error(Refusal::EmptyRange);
    return Range(sheet_, Area{area_.r1, area_.c1, area_.r1 + rows - 1, area_.c1 + columns - 1});
}

std::string Range::Address(bool absolute) const {
    Sheet();
    return AddressOf(area_, absolute);
}

// ---------------------------------------------------------------- content

Value Range::FirstValue() const { return Sheet().Content(area_.r1, area_.c1).value; }

void Range::SetValue(const Value& v) const { Sheet().SetValue(area_, v); }

void Range::Values(const std::vector<Value>& row) const {
    Worksheet& s = Sheet();
    // as an array written to a range: missing entries show #N/A, extra ones are dropped
    for (int r = area_.r1; r <= area_.r2; ++r) {
        for (int c = area_.c1; c <= area_.c2; ++c) {
            const std::size_t i = static_cast<std::size_t>(c - area_.c1);
            s.SetValue(Area{r, c, r, c}, i < row.size() ? row[i] : Value(CellError::NA));
        }
    }
}

std::optional<std::string> Range::Text() const { return Sheet().Text(area_); }

std::string Range::Formula() const {
    CellContent c = Sheet().Content(area_.r1, area_.c1);
    return c.formula.empty() ? ValueAsFormulaText(c.value) : c.formula;
}

void Range::Formula(const std::string& f) const { Sheet().SetValue(area_, f.empty() ? Value{} : Value(f)); }

// ---------------------------------------------------------------- format

namespace {

const Style& First(const Range& r) { return r.Sheet().CellStyle(r.area().r1, r.area().c1); }

template <class F>
void Apply(const Range& r, F set) {
    FormatPatch p;
    set(p);
    r.Sheet().Format(r.area(), p);
}

}  // namespace

std::string Range::NumberFormat() const { return First(*this).numberFormat; }
void Range::NumberFormat(const std::string& f) const { Apply(*this, [&](FormatPatch& p) { p.numberFormat = f; }); }
HAlign Range::HorizontalAlignment() const { return First(*this).horizontal; }
void Range::HorizontalAlignment(HAlign a) const { Apply(*this, [&](FormatPatch& p) { p.horizontal = a; }); }
VAlign Range::VerticalAlignment() const { return First(*this).vertical; }
void Range::VerticalAlignment(VAlign a) const { Apply(*this, [&](FormatPatch& p) { p.vertical = a; }); }
int Range::Orientation() const { return First(*this).orientation; }
void Range::Orientation(int degrees) const {
    if (degrees < -90 || degrees > 90) throw Error(Refusal::OrientationOutOfRange);
    Apply(*this, [&](FormatPatch& p) { p.orientation = degrees; });
}
bool Range::WrapText() const { return First(*this).wrap; }
void Range::WrapText(bool on) const { Apply(*this, [&](FormatPatch& p) { p.wrap = on; }); }
bool Range::ShrinkToFit() const { return First(*this).shrink; }
void Range::ShrinkToFit(bool on) const { Apply(*this, [&](FormatPatch& p) { p.shrink = on; }); }
int Range::IndentLevel() const { return First(*this).indent; }
void Range::IndentLevel(int level) const {
    if (level < 0 || level > 250) throw Error(Refusal::IndentOutOfRange);
    Apply(*this, [&](FormatPatch& p) { p.indent = level; });
}
enum ReadingOrder Range::ReadingOrder() const { return First(*this).readingOrder; }
void Range::ReadingOrder(enum ReadingOrder order) const { Apply(*this, [&](FormatPatch& p) { p.readingOrder = order; }); }
void Range::ApplyFormat(const FormatPatch& patch) const { Sheet().Format(area_, patch); }

// font

namespace {

const Style& FirstOf(const std::shared_ptr<Worksheet>& s, const Area& a) {
    if (s->IsDeleted()) throw Error(ErrorCode::ObjectDeleted);
    return s->CellStyle(a.r1, a.c1);
}

template <class F>
void ApplyTo(const std::shared_ptr<Worksheet>& s, const Area& a, F set) {
    if (s->IsDeleted()) throw Error(ErrorCode::ObjectDeleted);
    FormatPatch p;
    set(p);
    s->Format(a, p);
}

}  // namespace

std::string Range::FontRef::Name() const { return FirstOf(s_, a_).font.name; }
void Range::FontRef::Name(const std::string& n) const { ApplyTo(s_, a_, [&](FormatPatch& p) { p.fontName = n; }); }
double Range::FontRef::Size() const { return FirstOf(s_, a_).font.size; }
void Range::FontRef::Size(double sz) const {
    if (sz < 1 || sz > 409) throw Error(Refusal::FontSizeOutOfRange);
    ApplyTo(s_, a_, [&](FormatPatch& p) { p.fontSize = sz; });
}
bool Range::FontRef::Bold() const { return FirstOf(s_, a_).font.bold; }
void Range::FontRef::Bold(bool b) const { ApplyTo(s_, a_, [&](FormatPatch& p) { p.bold = b; }); }
bool Range::FontRef::Italic() const { return FirstOf(s_, a_).font.italic; }
void Range::FontRef::Italic(bool b) const { ApplyTo(s_, a_, [&](FormatPatch& p) { p.italic = b; }); }
Underline Range::FontRef::Underline() const { return FirstOf(s_, a_).font.underline; }
void Range::FontRef::Underline(host::Underline u) const { ApplyTo(s_, a_, [&](FormatPatch& p) { p.underline = u; }); }
Color Range::FontRef::Color() const { return FirstOf(s_, a_).font.color; }
void Range::FontRef::Color(host::Color c) const { ApplyTo(s_, a_, [&](FormatPatch& p) { p.fontColor = c; }); }
void Range::FontRef::ColorIndex(int index) const {
    // -4105 is the automatic colour; every other index is handed on as given
    host::Color c = index == -4105 ? host::Color::Auto() : host::Color::Index(index);
    ApplyTo(s_, a_, [&](FormatPatch& p) { p.fontColor = c; });
}

// borders

namespace {

constexpr Edge kAllEdges[] = {Edge::Left, Edge::Top, Edge::Bottom, Edge::Right, Edge::InsideVertical,
                              Edge::InsideHorizontal};

const Border& EdgeOf(const Style& s, Edge e) {
    switch (e) {
        case Edge::Left: return s.left;
        case Edge::Top: return s.top;
        case Edge::Bottom:
        case Edge::InsideHorizontal: return s.bottom;
        case Edge::Right:
        case Edge::InsideVertical: return s.right;
    }
    return s.left;
}

template <class F>
void ApplyBorders(const std::shared_ptr<Worksheet>& s, const Area& a, std::optional<Edge> edge, F set) {
    ApplyTo(s, a, [&](FormatPatch& p) {
        if (edge) {
            set(p.borders[static_cast<int>(*edge)]);
        } else {
            for (Edge e : kAllEdges) set(p.borders[static_cast<int>(e)]);
        }
    });
}

}  // namespace

LineStyle Range::BordersRef::LineStyle() const {
    const Style& st = FirstOf(s_, a_);
    if (edge_) return EdgeOf(st, *edge_).style;
    // all edges: their common line style, none when they differ
    const auto l = st.left.style;
    return (st.top.style == l && st.bottom.style == l && st.right.style == l) ? l : host::LineStyle::None;
}

void Range::BordersRef::LineStyle(host::LineStyle ls) const {
    ApplyBorders(s_, a_, edge_, [&](FormatPatch::BorderPatch& b) { b.style = ls; });
}

BorderWeight Range::BordersRef::Weight() const {
    const Style& st = FirstOf(s_, a_);
    return EdgeOf(st, edge_.value_or(Edge::Left)).weight;
}

void Range::BordersRef::Weight(BorderWeight w) const {
    ApplyBorders(s_, a_, edge_, [&](FormatPatch::BorderPatch& b) {
        b.weight = w;
        // a weight on an edge without a line draws a continuous one
        if (!b.style) b.style = host::LineStyle::Continuous;
    });
}

// interior

Color Range::InteriorRef::Color() const { return FirstOf(s_, a_).fill; }

void Range::InteriorRef::ColorIndex(int index) const {
    host::Color c = (index <= 0 || index == -4142) ? host::Color::Auto() : host::Color::Index(index);
    ApplyTo(s_, a_, [&](FormatPatch& p) { p.fill = c; });
}

void Range::InteriorRef::Color(host::Color c) const { ApplyTo(s_, a_, [&](FormatPatch& p) { p.fill = c; }); }

// ---------------------------------------------------------------- geometry

double Range::RowHeight() const { return Sheet().RowHeight(area_.r1); }
void Range::RowHeight(double points) const { Sheet().RowHeight(area_.r1, area_.r2, points); }
double Range::ColumnWidth() const { return Sheet().ColumnWidth(area_.c1); }
void Range::ColumnWidth(double characters) const { Sheet().ColumnWidth(area_.c1, area_.c2, characters); }

// ---------------------------------------------------------------- merges

bool Range::MergeCells() const { return Sheet().MergeArea(area_.r1, area_.c1).has_value(); }

void Range::MergeCells(bool on) const {
    if (on) Sheet().Merge(area_);
    else Sheet().UnMerge(area_);
}

void Range::Merge() const { Sheet().Merge(area_); }
void Range::UnMerge() const { Sheet().UnMerge(area_); }

Range Range::MergeArea() const {
    auto m = Sheet().MergeArea(area_.r1, area_.c1);
    return Range(sheet_, m ? *m : Area{area_.r1, area_.c1, area_.r1, area_.c1});
}

// ---------------------------------------------------------------- structure

void Range::Insert(Shift shift) const { Sheet().InsertCells(area_, shift); }
void Range::Delete(Shift shift) const { Sheet().DeleteCells(area_, shift); }
void Range::Clear() const { Sheet().Clear(area_); }
void Range::ClearContents() const { Sheet().ClearContents(area_); }

void Range::Copy(const Range& destination) const {
    Worksheet& s = Sheet();
    s.CopyTo(area_, destination.Sheet(), destination.area().r1, destination.area().c1);
}

// ---------------------------------------------------------------- window and links

void Range::Select() const {
    Worksheet& s = Sheet();
    s.Activate();
    s.View().selection = area_;
}

void Range::Show() const { Sheet().View().scrollRow = area_.r1; }

void Range::AddHyperlink(const std::string& address, const std::string& subAddress,
                         const std::string& textToDisplay) const {
    Worksheet& s = Sheet();
    s.AddHyperlink(Hyperlink{area_, address, subAddress, textToDisplay, {}});
    // the anchor shows the text to display, or the target when it is empty
    if (!textToDisplay.empty()) {
        s.SetLiteral(Area{area_.r1, area_.c1, area_.r1, area_.c1}, textToDisplay);
    } else if (IsEmpty(s.Content(area_.r1, area_.c1).value)) {
        s.SetLiteral(Area{area_.r1, area_.c1, area_.r1, area_.c1}, address.empty() ? subAddress : address);
    }
}

}  // namespace ormelin::host
