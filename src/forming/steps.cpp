#include "forming/steps.hpp"

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

host::Value ValueOf(const Put& put, const AttrDoc& attDoc) {
    switch (put.kind) {
        case Put::Kind::Nothing: return {};
        case Put::Kind::Text:
        case Put::Kind::Formula: return std::string(put.text);
        case Put::Kind::Attr: return attDoc.Get(put.attr);
        case Put::Kind::FirstUse:
            return attDoc.Get(AttrProp::aPerv) + " & \"     \" & " + attDoc.Get(AttrProp::aProj);
    }
    return {};
}

void ApplySteps(const std::shared_ptr<host::Worksheet>& sheet, int top, const std::vector<CellStep>& steps,
                const AttrDoc& attDoc) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    for (const CellStep& s : steps) {
        const host::Range r(sheet, At(s.range, top));
        const auto& f = s.format;
        const bool hasFormat = f.numberFormat || f.horizontal || f.vertical || f.orientation || f.wrap ||
                               f.shrink || f.indent || f.readingOrder || f.fontName || f.fontSize || f.bold ||
                               f.italic || f.underline || f.fontColor || f.fill || !f.borders[0].empty() ||
                               !f.borders[1].empty() || !f.borders[2].empty() || !f.borders[3].empty() ||
                               !f.borders[4].empty() || !f.borders[5].empty();
        if (hasFormat) r.ApplyFormat(f);
        if (s.merge) r.Merge();
        if (s.values.size() == 1) {
            const Put& p = s.values.front();
            if (p.kind != Put::Kind::Nothing) r.Item(1, 1).Value_(ValueOf(p, attDoc));
        } else if (!s.values.empty()) {
            std::vector<host::Value> row;
            row.reserve(s.values.size());
            for (const Put& p : s.values) row.push_back(ValueOf(p, attDoc));
            r.Values(row);
        }
        if (s.rowHeight > 0) r.RowHeight(s.rowHeight);
    }
}

void ApplyRowMerges(host::Worksheet& w, int top, const std::vector<RowMerges>& merges) {
    for (const RowMerges& m : merges) {
        const host::Area cols = host::ParseAddress(m.columns);
        for (int r = m.from; r <= m.to; ++r) w.Merge(host::Area{top + r - 1, cols.c1, top + r - 1, cols.c2});
    }
}

host::FormatPatch NoLine(host::Edge edge) {
    host::FormatPatch p;
    p.borders[static_cast<std::size_t>(edge)].style = host::LineStyle::None;
    return p;
}

void DrawFrame(const std::shared_ptr<host::Worksheet>& sheet, int top, std::initializer_list<const char*> ranges) {
    for (const char* a : ranges) host::Range(sheet, At(a, top)).Borders().LineStyle(host::LineStyle::Continuous);
}

}  // namespace ormelin::forming
