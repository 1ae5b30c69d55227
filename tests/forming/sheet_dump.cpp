#include "forming/sheet_dump.hpp"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace ormelin::testing_support {

namespace {

std::string Number(double d) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}

/// A text with its line feeds, quotes and backslashes escaped, in quotes.
std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
        if (ch == '\n') out += "\\n";
        else if (ch == '"') out += "\\\"";
        else if (ch == '\\') out += "\\\\";
        else out += ch;
    }
    return out + "\"";
}

std::string ValueText(const host::Value& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return Quoted(*s);
    if (const auto* d = std::get_if<double>(&v)) return Number(*d);
    if (const auto* b = std::get_if<bool>(&v)) return *b ? "TRUE" : "FALSE";
    if (const auto* e = std::get_if<host::CellError>(&v)) return host::ErrorText(*e);
    return "";
}

std::string Cell(int r, int c) { return host::ColumnLetters(c) + std::to_string(r); }

/// One letter per edge that has a line: l(eft) t(op) b(ottom) r(ight); a line of
/// another style than continuous, thin and automatic also names its style.
std::string Edges(const host::Style& s) {
    std::string out;
    auto one = [&](const host::Border& b, char letter) {
        if (b.style == host::LineStyle::None) return;
        out += letter;
        if (b.style != host::LineStyle::Continuous || b.weight != host::BorderWeight::Thin ||
            !(b.color == host::Color::Auto()))
            out += "(" + std::to_string(static_cast<int>(b.style)) + "," + std::to_string(static_cast<int>(b.weight)) +
                   ")";
    };
    one(s.left, 'l');
    one(s.top, 't');
    one(s.bottom, 'b');
    one(s.right, 'r');
    return out;
}

}  // namespace

std::string DumpSheet(const host::Worksheet& w) {
    std::ostringstream out;
    const host::Area used = w.UsedRange();
    out << "used " << host::AddressOf(used) << "\n";

    out << "[widths]\n";
    for (int c = 1; c <= used.c2; ++c) out << host::ColumnLetters(c) << " " << Number(w.ColumnWidth(c)) << "\n";

    out << "[heights]\n";  // runs of rows of one height
    for (int r = 1; r <= used.r2;) {
        const double h = w.RowHeight(r);
        int e = r;
        while (e + 1 <= used.r2 && w.RowHeight(e + 1) == h) ++e;
        out << r << (e > r ? "-" + std::to_string(e) : "") << " " << Number(h) << "\n";
        r = e + 1;
    }

    out << "[merges]\n";
    std::vector<std::string> merges;
    for (const host::Area& a : w.MergedAreas(used)) merges.push_back(host::AddressOf(a));
    for (const auto& m : merges) out << m << "\n";

    out << "[cells]\n";
    for (int r = 1; r <= used.r2; ++r)
        for (int c = 1; c <= used.c2; ++c) {
            const host::CellContent content = w.Content(r, c);
            if (host::IsEmpty(content.value) && content.formula.empty()) continue;
            out << Cell(r, c) << " " << ValueText(content.value);
            if (!content.formula.empty()) out << " " << content.formula;
            out << "\n";
        }

    out << "[borders]\n";  // per row, runs of cells with the same edges
    for (int r = 1; r <= used.r2; ++r) {
        std::string line;
        for (int c = 1; c <= used.c2;) {
            const std::string e = Edges(w.CellStyle(r, c));
            int last = c;
            while (last + 1 <= used.c2 && Edges(w.CellStyle(r, last + 1)) == e) ++last;
            if (!e.empty())
                line += " " + host::ColumnLetters(c) + (last > c ? ":" + host::ColumnLetters(last) : "") + "=" + e;
            c = last + 1;
        }
        if (!line.empty()) out << r << line << "\n";
    }

    const host::PageSetup& p = w.Page();
    out << "[page]\n"
        << "printArea " << Quoted(p.printArea) << "\n"
        << "margins " << Number(p.leftMargin) << " " << Number(p.rightMargin) << " " << Number(p.topMargin) << " "
        << Number(p.bottomMargin) << "\n"
        << "center " << p.centerHorizontally << " " << p.centerVertically << "\n"
        << "orientation " << (p.orientation == host::PageOrientation::Landscape ? "landscape" : "portrait") << "\n"
        << "paper " << p.paperSize << " zoom " << p.zoom << "\n"
        << "breaks";
    for (int b : w.HPageBreaks()) out << " " << b;
    out << "\n";
    const host::SheetView& v = w.View();
    out << "[view]\n"
        << "view " << static_cast<int>(v.view) << " frozen " << v.frozenRows << "," << v.frozenColumns << " zeros "
        << v.displayZeros << " gridlines " << v.displayGridlines << "\n";
    return out.str();
}

std::string CompareWithReference(const std::string& name, const std::string& picture) {
    const std::string path = std::string(ORMELIN_SOURCE_DIR) + "/tests/forming/reference/" + name + ".txt";
    const char* update = std::getenv("ORMELIN_UPDATE_REFERENCE");
    if (update && std::string(update) == "1") {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f << picture;
        return f ? std::string() : "cannot write " + path;
    }
    std::ifstream f(path, std::ios::binary);
    if (!f) return "no reference " + path + " (ORMELIN_UPDATE_REFERENCE=1 writes it; review its diff)";
    std::stringstream buf;
    buf << f.rdbuf();
    const std::string want = buf.str();
    if (want == picture) return {};
    std::istringstream a(want), b(picture);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool ha = static_cast<bool>(std::getline(a, la));
        const bool hb = static_cast<bool>(std::getline(b, lb));
        if (!ha && !hb) break;
        if (!ha || !hb || la != lb)
            return name + " line " + std::to_string(line) + ": reference " + (ha ? Quoted(la) : "<end>") +
                   ", formed " + (hb ? Quoted(lb) : "<end>");
    }
    return name + ": differs";
}

}  // namespace ormelin::testing_support
