// libFuzzer entry, structure-aware: the input holds the parts of a workbook
// (fuzz/parts.hpp), packed here into a well-formed archive, so that every
// mutation reaches the XML readers. A load must end in a workbook or in a
// FileError. A workbook that loads is saved and loaded again, and the two
// models must be the same (the round trip): any difference aborts with a
// message naming it. Load and save share the rule for a cell's text (at most
// 32,767 characters): what loads saves. With XLSX_PARTS_FUZZ_VERBOSE set, a refused load prints
// its message (to check that a seed loads).
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "parts.hpp"

namespace {

using namespace ormelin;
using host::Area;

[[noreturn]] void Fault(const std::string& what) {
    std::cerr << "xlsx_parts_fuzz: " << what << "\n";
    std::abort();
}

std::string Str(const Area& a) {
    std::ostringstream o;
    o << "R" << a.r1 << "C" << a.c1 << ":R" << a.r2 << "C" << a.c2;
    return o.str();
}

bool SameValue(const host::Value& a, const host::Value& b) {
    if (a.index() != b.index()) return false;
    if (auto* x = std::get_if<double>(&a)) {
        const double y = std::get<double>(b);
        return *x == y || (std::isnan(*x) && std::isnan(y));
    }
    return a == b;
}

struct CellSeen {
    host::Value value;
    std::string formula;
};

/// Everything of a sheet that a save keeps, in a comparable form.
struct SheetImage {
    std::map<std::pair<int, int>, CellSeen> cells;
    std::vector<std::tuple<int, double, bool>> rows;  // row, height, break
    std::vector<std::pair<int, double>> widths;       // column, width (runs expanded)
    std::vector<Area> merges;
};

SheetImage Take(const model::ModelWorksheet& ws) {
    SheetImage im;
    ws.ForEachCell([&](int r, int c, const host::CellContent& content, model::StyleId) {
        im.cells[{r, c}] = CellSeen{content.value, content.formula};
    });
    ws.ForEachRow([&](int r, const model::RowRecord& rec) {
        im.rows.emplace_back(r, rec.height, rec.manualBreak);
    });
    for (const auto& col : ws.Columns()) {
        if (col.width < 0) continue;
        for (int c = col.first; c <= col.last; ++c) im.widths.emplace_back(c, col.width);
    }
    im.merges = ws.MergedAreas(Area{1, 1, host::kMaxRows, host::kMaxColumns});
    return im;
}

void Compare(const model::ModelWorksheet& a, const model::ModelWorksheet& b, bool breaksKept) {
    const std::string sheet = "sheet \"" + a.Name() + "\": ";
    if (a.Name() != b.Name()) Fault(sheet + "named \"" + b.Name() + "\" after the round trip");
    const SheetImage x = Take(a), y = Take(b);
    // contents: a cell without content may appear or vanish (a styled blank cell
    // whose style equals its row's); its style is checked below
    auto content = [](const CellSeen& c) { return !host::IsEmpty(c.value) || !c.formula.empty(); };
    for (const auto* pair : {&x, &y}) {
        const SheetImage& other = pair == &x ? y : x;
        for (const auto& [rc, cell] : pair->cells) {
            if (!content(cell)) continue;
            auto it = other.cells.find(rc);
            const std::string where = sheet + "cell R" + std::to_string(rc.first) + "C" + std::to_string(rc.second);
            if (it == other.cells.end() || !content(it->second)) Fault(where + " lost or gained its content");
            if (cell.formula != it->second.formula) Fault(where + " formula \"" + cell.formula + "\" became \"" + it->second.formula + "\"");
            if (cell.formula.empty() && !SameValue(cell.value, it->second.value)) Fault(where + " value changed");
        }
    }
    for (const auto* im : {&x, &y}) {
        for (const auto& [rc, cell] : im->cells) {
            if (!(a.CellStyle(rc.first, rc.second) == b.CellStyle(rc.first, rc.second)))
                Fault(sheet + "style of cell R" + std::to_string(rc.first) + "C" + std::to_string(rc.second) + " changed");
        }
    }
    // rows, columns and the sheet: the styles shown by a cell of no content there
    for (const auto& [r, h, brk] : x.rows) {
        if (!(a.CellStyle(r, host::kMaxColumns) == b.CellStyle(r, host::kMaxColumns)))
            Fault(sheet + "style of row " + std::to_string(r) + " changed");
    }
    for (const auto& col : a.Columns()) {
        if (!(a.CellStyle(host::kMaxRows, col.first) == b.CellStyle(host::kMaxRows, col.first)))
            Fault(sheet + "style of column " + std::to_string(col.first) + " changed");
    }
    if (!(a.CellStyle(host::kMaxRows, host::kMaxColumns) == b.CellStyle(host::kMaxRows, host::kMaxColumns)))
        Fault(sheet + "the sheet's style changed");
    if (x.rows != y.rows) {
        for (std::size_t i = 0; i < std::max(x.rows.size(), y.rows.size()); ++i) {
            if (i >= x.rows.size() || i >= y.rows.size() || x.rows[i] != y.rows[i])
                Fault(sheet + "row records differ at row " +
                      std::to_string(std::get<0>(i < x.rows.size() ? x.rows[i] : y.rows[i])));
        }
    }
    for (int r = 1; r <= std::min(host::kMaxRows, 1 + (x.rows.empty() ? 0 : std::get<0>(x.rows.back()))); r += 997) {
        if (a.RowHeight(r) != b.RowHeight(r)) Fault(sheet + "height of row " + std::to_string(r) + " changed");
    }
    if (x.widths != y.widths) Fault(sheet + "column widths changed");
    for (int c = 1; c <= host::kMaxColumns; c += 1 + (c > 64 ? 512 : 0)) {
        if (a.ColumnWidth(c) != b.ColumnWidth(c)) Fault(sheet + "width of column " + std::to_string(c) + " changed");
    }
    if (a.StandardHeight() != b.StandardHeight()) Fault(sheet + "standard height changed");
    if (a.StandardWidth() != b.StandardWidth()) Fault(sheet + "standard width changed");
    // a standard height set by hand: nothing given means "when it is not 15"
    auto defaults = [](const model::ModelWorksheet& w) {
        model::SheetDefaults d = w.Defaults();
        d.customHeight = d.customHeight.value_or(w.StandardHeight() != 15);
        return d;
    };
    if (!(defaults(a) == defaults(b))) Fault(sheet + "file defaults changed");
    if (x.merges != y.merges) {
        Fault(sheet + "merged areas changed (" + std::to_string(x.merges.size()) + " became " +
              std::to_string(y.merges.size()) + (x.merges.empty() ? "" : ", first " + Str(x.merges.front())) + ")");
    }
    if (!(a.Page() == b.Page())) {
        const host::PageSetup &p = a.Page(), &q = b.Page();
        const char* field = p.printArea != q.printArea ? "print area"
                            : p.paperSize != q.paperSize ? "paper size"
                            : p.zoom != q.zoom ? "zoom"
                            : p.orientation != q.orientation ? "orientation"
                            : p.centerHorizontally != q.centerHorizontally || p.centerVertically != q.centerVertically
                                ? "centring"
                                : "margins";
        Fault(sheet + "page setup changed: " + field);
    }
    if (!(a.View() == b.View())) {
        const host::SheetView &v = a.View(), &w = b.View();
        const char* field = v.view != w.view ? "mode"
                            : v.frozenRows != w.frozenRows || v.frozenColumns != w.frozenColumns || v.frozen != w.frozen
                                ? "frozen panes"
                            : v.zoom != w.zoom ? "zoom"
                            : v.selection != w.selection ? "selection"
                            : v.scrollRow != w.scrollRow ? "scroll row"
                                                         : "zeros or gridlines";
        Fault(sheet + "view changed: " + field);
    }
    if (breaksKept && a.HPageBreaks() != b.HPageBreaks()) Fault(sheet + "page breaks changed");
    if (a.DisplayAutomaticPageBreaks() != b.DisplayAutomaticPageBreaks()) Fault(sheet + "automatic breaks shown changed");
    if (!(a.Hyperlinks() == b.Hyperlinks())) Fault(sheet + "hyperlinks changed");
}

void Compare(const model::ModelWorkbook& a, const model::ModelWorkbook& b, const xlsx::SaveReport& saved) {
    if (a.Count() != b.Count()) Fault("sheet count " + std::to_string(a.Count()) + " became " + std::to_string(b.Count()));
    for (int i = 1; i <= a.Count(); ++i) {
        auto sa = a.ModelSheet(i), sb = b.ModelSheet(i);
        bool breaksKept = true;
        for (const auto& br : saved.breaks) breaksKept = breaksKept && br.sheet != sa->Name();
        Compare(*sa, *sb, breaksKept);
    }
    if (a.ActiveSheet()->Name() != b.ActiveSheet()->Name()) Fault("the active sheet changed");
    const auto &pa = a.Properties(), &pb = b.Properties();
    for (auto [name, x, y] : {std::tuple{"core", &pa.core, &pb.core}, std::tuple{"app", &pa.app, &pb.app},
                              std::tuple{"custom", &pa.custom, &pb.custom}}) {
        if (*x == *y || x->empty()) continue;  // none kept: the save writes properties of its own
        std::size_t at = 0;
        while (at < x->size() && at < y->size() && (*x)[at] == (*y)[at]) ++at;
        Fault(std::string("document properties (") + name + ") changed: " + std::to_string(x->size()) + " bytes became " +
              std::to_string(y->size()) + ", first difference at " + std::to_string(at));
    }
    if (a.Theme() != b.Theme()) Fault("the workbook's theme changed");
}

xlsx::Limits FuzzLimits() {
    xlsx::Limits limits;
    limits.maxTotalBytes = 64 << 20;
    limits.maxPartBytes = 16 << 20;
    limits.maxEntries = 2000;
    return limits;
}

const std::string& SavePath() {
    static const std::string path = [] {
        std::string dir = "/tmp/xlsx_parts_fuzz.XXXXXX";
        if (!mkdtemp(dir.data())) Fault("no temporary folder");
        return dir + "/round-trip.xlsx";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzzparts::Split(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto archive = fuzzparts::Pack(parts);
    if (archive.empty()) return 0;
    model::ModelApplication app(std::make_shared<model::ScriptedUi>());
    std::shared_ptr<model::ModelWorkbook> first;
    try {
        xlsx::LoadReport report;
        first = xlsx::LoadWorkbookFromMemory(app, archive.data(), archive.size(), "fuzz.xlsx", &report, FuzzLimits());
    } catch (const Error& e) {
        if (e.code() != ErrorCode::FileError) Fault(std::string("load failed with another error: ") + e.what());
        if (std::getenv("XLSX_PARTS_FUZZ_VERBOSE")) std::cerr << "xlsx_parts_fuzz: refused: " << e.description() << "\n";
        return 0;
    }
    xlsx::SaveReport saved;
    try {
        saved = xlsx::SaveWorkbook(*first, SavePath());
    } catch (const std::exception& e) {
        Fault(std::string("a loaded workbook cannot be saved: ") + e.what());
    }
    std::shared_ptr<model::ModelWorkbook> second;
    try {
        xlsx::LoadReport report;
        second = xlsx::LoadWorkbook(app, SavePath(), &report, FuzzLimits());
    } catch (const std::exception& e) {
        Fault(std::string("a saved workbook cannot be loaded again: ") + e.what());
    }
    Compare(*first, *second, saved);
    return 0;
}
