#include "forming/steps.hpp"

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace ormelin::forming {

host::Area At(const char* a1, int top) {
    host::Area a = host::ParseAddress(a1);
    if (a.entireColumns()) throw Error(ErrorCode::InvalidArgument, "a column address inside a sheet part");
    a.r1 += top - 1;
    a.r2 += top - 1;
    if (a.r2 > host::kMaxRows) throw Error(ErrorCode::ApplicationDefined);
    return a;
}

namespace {

/// The first-use field: the formula joining the register's first use and project
/// with five blanks between them. Without a register row both references are
/// empty, and so is the field: the joining text alone would be printed as it is.
host::Value FirstUseValue(const AttrDoc& attDoc) {
    const std::string perv = attDoc.Get(AttrProp::aPerv), proj = attDoc.Get(AttrProp::aProj);
    if (perv.empty() && proj.empty()) return {};
    return perv + " & \"     \" & " + proj;
}

}  // namespace

host::Value ValueOf(const Put& put, const AttrDoc& attDoc) {
    switch (put.kind) {
        case Put::Kind::Nothing: return {};
        case Put::Kind::Text:
        case Put::Kind::Formula: return std::string(put.text);
        case Put::Kind::Attr: return attDoc.Get(put.attr);
        case Put::Kind::FirstUse: return FirstUseValue(attDoc);
    }
    return {};
}

/// The number format with a zero shown as nothing. A title-block value that
/// refers to an empty register cell is the number 0 in every spreadsheet; with
/// this format the field stays empty on the screen and in print, while a text,
/// a number or a date the register holds shows as before.
std::string HidingZero(const std::string& format) {
    if (format.find(';') != std::string::npos) return format;
    if (format.empty() || format == "General") return "General;-General;\"\";@";
    return format + ";" + format + ";\"\";@";
}

namespace {

void HideZeroOf(const host::Range& cell) {
    cell.NumberFormat(HidingZero(cell.NumberFormat()));
}

}  // namespace

void ApplySteps(const std::shared_ptr<host::Worksheet>& sheet, int top, const std::vector<CellStep>& steps,
                const AttrDoc& attDoc) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    for (const CellStep& s : steps) {
        const host::Range r(sheet, At(s.range, top));
        if (!s.format.empty()) r.ApplyFormat(s.format);
        if (s.merge) r.Merge();
        if (s.values.size() == 1) {
            const Put& p = s.values.front();
            if (p.kind != Put::Kind::Nothing) r.Item(1, 1).SetValue(ValueOf(p, attDoc));
            if (p.kind == Put::Kind::Attr) HideZeroOf(r.Item(1, 1));
        } else if (!s.values.empty()) {
            std::vector<host::Value> row;
            row.reserve(s.values.size());
            for (const Put& p : s.values) row.push_back(ValueOf(p, attDoc));
            r.Values(row);
            for (std::size_t i = 0; i < s.values.size(); ++i)
                if (s.values[i].kind == Put::Kind::Attr) HideZeroOf(r.Item(1, static_cast<int>(i) + 1));
        }
        if (s.rowHeight > 0) r.RowHeight(s.rowHeight);
    }
}

void ApplyRowMerges(host::Worksheet& w, int top, const std::vector<RowMerges>& merges) {
    std::vector<host::Area> areas;
    for (const RowMerges& m : merges) {
        const host::Area cols = host::ParseAddress(m.columns);
        for (int r = m.from; r <= m.to; ++r) areas.push_back(host::Area{top + r - 1, cols.c1, top + r - 1, cols.c2});
    }
    w.MergeEach(areas);
}

void MergeRowSpans(host::Worksheet& w, const std::vector<std::pair<int, int>>& spans, int r1, int r2) {
    std::vector<host::Area> areas;
    areas.reserve(spans.size() * static_cast<std::size_t>(std::max(r2 - r1 + 1, 0)));
    for (int r = r1; r <= r2; ++r)
        for (const auto& [c1, c2] : spans) areas.push_back(host::Area{r, c1, r, c2});
    w.MergeEach(areas);
}

void MergeAt(host::Worksheet& w, std::span<const char* const> areas, int top) {
    std::vector<host::Area> at;
    at.reserve(areas.size());
    for (const char* a : areas) at.push_back(At(a, top));
    w.MergeEach(at);
}

host::FormatPatch NoLine(host::Edge edge) {
    host::FormatPatch p;
    p.borders[static_cast<std::size_t>(edge)].style = host::LineStyle::None;
    return p;
}

void InsertColumnRuns(host::Worksheet& w, std::span<const char* const> columns) {
    std::vector<host::ColumnRun> runs;
    for (const char* c : columns) {
        const host::Area a = host::ParseAddress(c);
        runs.push_back(host::ColumnRun{a.c1, a.columns()});
    }
    w.InsertColumnRuns(runs);
}

void DrawFrame(const std::shared_ptr<host::Worksheet>& sheet, int top, std::initializer_list<const char*> ranges) {
    for (const char* a : ranges) host::Range(sheet, At(a, top)).Borders().LineStyle(host::LineStyle::Continuous);
}

namespace {

bool Same(const Put& a, const Put& b) {
    if (a.kind != b.kind) return false;
    if (a.kind == Put::Kind::Attr) return a.attr == b.attr;
    if (a.kind == Put::Kind::Text) return a.text && b.text && std::string_view(a.text) == b.text;
    return false;
}

TitleCells::Cell CellOf(const std::vector<CellStep>& steps, const Put& what) {
    for (const CellStep& step : steps) {
        for (std::size_t k = 0; k < step.values.size(); ++k) {
            if (!Same(step.values[k], what)) continue;
            const host::Area a = host::ParseAddress(step.range);
            return {a.r1, a.c1 + static_cast<int>(k)};
        }
    }
    throw std::logic_error("a form's first-sheet title steps write no such field");
}

}  // namespace

TitleCells TitleCellsOf(const std::vector<CellStep>& steps, const char* dateCell) {
    using P = AttrProp;
    TitleCells t;
    t.designation = CellOf(steps, Attr(P::aOboz));
    t.name = CellOf(steps, Attr(P::aNaim));
    t.letter = CellOf(steps, Attr(P::aLite));
    t.organisation = CellOf(steps, Attr(P::aFirm));
    t.change = CellOf(steps, Attr(P::aIzme));
    t.changeDocument = CellOf(steps, Attr(P::aNdoc));
    const TitleCells::Cell label = CellOf(steps, Text("Разраб.")), surname = CellOf(steps, Attr(P::aDesi));
    t.firstSignatureRow = label.row;
    t.labelColumn = label.column;
    t.surnameColumn = surname.column;
    t.dateColumn = dateCell ? host::ParseAddress(dateCell).c1 : CellOf(steps, Attr(P::aDesd)).column;
    return t;
}

}  // namespace ormelin::forming
