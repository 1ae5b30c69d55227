// Filling a list with imported rows: where each text goes in the list of each
// kind, continuation rows for texts wider than their column, and the refusal to
// overwrite rows a user typed.
#include <array>
#include <cmath>

#include "import/bom.hpp"
#include "lists/lists.hpp"

namespace ormelin::import {

namespace {

/// The columns of a list that the import fills (0: not in this list).
struct ListColumns {
    int firstRow;
    int lastColumn;   // the last data column (the link cell follows)
    int position, designator, name, quantity, note, document, supplier, assembly, quantityTotal;
};

ListColumns ColumnsOf(std::int32_t state) {
    switch (state) {
        case ksPE_OT_1: return {2, 5, 0, 2, 3, 4, 5, 0, 0, 0, 0};
        case ksPE_OT_2: return {2, 4, 0, 1, 2, 3, 4, 0, 0, 0, 0};
        case ksVPA_OT: return {3, 11, 0, 0, 2, 7, 11, 4, 5, 6, 10};
        case ksSPA_OT: return {2, 7, 3, 0, 5, 6, 7, 0, 0, 0, 0};
        default: throw std::runtime_error("the sheet holds no list the import fills");
    }
}

/// The section headings of a specification, in their order.
constexpr std::array<const char*, 8> kSections = {"Документация", "Комплексы", "Сборочные единицы", "Детали",
                                                  "Стандартные изделия", "Прочие изделия", "Материалы", "Комплекты"};
constexpr const char* kOtherProducts = "Прочие изделия";

bool IsSectionHeading(const host::Worksheet& ws, int row, const ListColumns& c) {
    if (!ws.CellText(row, c.position).empty()) return false;
    const std::string text = ws.CellText(row, c.name);
    for (const char* s : kSections) {
        if (text == s) return true;
    }
    return false;
}

bool RowHoldsData(const host::Worksheet& ws, int row, const ListColumns& c) {
    for (int col = 1; col <= c.lastColumn; ++col) {
        if (!host::IsEmpty(ws.Content(row, col).value)) return true;
    }
    return false;
}

/// The rows of the specification's "Прочие изделия": its heading row (0 when the
/// list has none) and the rows from the one under it to the next section's heading.
struct Section {
    int heading = 0;
    int first = 0;   // first row after the heading
    int next = 0;    // the next heading's row, or one past the list
};

Section OtherProductsOf(const host::Worksheet& ws, const ListColumns& c) {
    const int last = ws.UsedRange().r2;
    Section s;
    for (int r = c.firstRow; r <= last; ++r) {
        if (ws.CellText(r, c.position).empty() && ws.CellText(r, c.name) == kOtherProducts) {
            s.heading = r;
            break;
        }
    }
    if (s.heading == 0) {
        s.first = s.next = std::max(last, c.firstRow - 1) + 1;
        return s;
    }
    s.first = s.heading + 1;
    s.next = s.first;
    while (s.next <= last && !IsSectionHeading(ws, s.next, c)) ++s.next;
    return s;
}

/// One sheet row: (column, text) pairs.
using SheetRow = std::vector<std::pair<int, std::string>>;

/// The sheet rows of the list rows: a text wider than its column continues on the
/// rows below, which carry nothing else.
std::vector<SheetRow> Lay(const host::Worksheet& ws, const ListColumns& c, const std::vector<ListRow>& rows,
                          const Measure& measure) {
    std::vector<SheetRow> out;
    out.reserve(rows.size());
    for (const auto& r : rows) {
        SheetRow first;
        auto put = [&](int col, const std::string& text) {
            if (col > 0 && !text.empty()) first.emplace_back(col, text);
        };
        put(c.position, r.position);
        put(c.designator, r.designator);
        put(c.quantity, r.quantity);
        put(c.quantityTotal, r.quantity);
        // The texts that wrap: each column's lines, the first on the row itself.
        const std::pair<int, const std::string*> wrapped[] = {
            {c.name, &r.name}, {c.note, &r.note}, {c.document, &r.document}, {c.supplier, &r.supplier},
            {c.assembly, &r.assembly}};
        std::vector<std::pair<int, std::vector<std::string>>> lines;
        std::size_t height = 1;
        for (const auto& [col, text] : wrapped) {
            if (col == 0 || text->empty()) continue;
            lines.emplace_back(col, Wrap(*text, FieldWidthPoints(ws.ColumnWidth(col)), measure));
            height = std::max(height, lines.back().second.size());
        }
        const std::size_t at = out.size();
        out.resize(at + height);
        out[at] = std::move(first);
        for (const auto& [col, ls] : lines) {
            for (std::size_t k = 0; k < ls.size(); ++k) out[at + k].emplace_back(col, ls[k]);
        }
    }
    return out;
}

bool IsCount(const std::string& s) {
    return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string::npos;
}

void Write(host::Worksheet& ws, int row, const SheetRow& cells, const ListColumns& c) {
    for (const auto& [col, text] : cells) {
        const bool number = (col == c.quantity || col == c.quantityTotal || col == c.position) && IsCount(text);
        const host::Value v = number ? host::Value(std::stod(text)) : host::Value(text);
        ws.SetLiteral(host::Area{row, col, row, col}, v);
    }
}

std::string SheetQuoted(const host::Worksheet& ws) { return "sheet \"" + ws.Name() + "\""; }

}  // namespace

std::optional<Target> TargetOf(std::int32_t listState) {
    switch (listState) {
        case ksPE_OT_1:
        case ksPE_OT_2: return Target::Elements;
        case ksVPA_OT: return Target::Purchased;
        case ksSPA_OT: return Target::Specification;
        default: return std::nullopt;
    }
}

namespace {

/// The position a cell of the position column holds: a number, or a text of
/// digits; nothing for any other text. A position that is no whole number from 1
/// to kMaxPosition is an error naming the cell.
std::optional<int> PositionAt(const host::Worksheet& ws, int row, int column) {
    const host::Value v = ws.Content(row, column).value;
    double n = 0;
    if (const double* d = std::get_if<double>(&v)) {
        n = *d;
    } else if (const std::string* t = std::get_if<std::string>(&v); t && !t->empty() &&
                                                                    t->find_first_not_of("0123456789") == std::string::npos) {
        n = t->size() < 10 ? std::stod(*t) : static_cast<double>(kMaxPosition) + 1;
    } else {
        return std::nullopt;
    }
    if (!(n >= 1 && n <= kMaxPosition) || n != std::floor(n)) {
        throw std::runtime_error(SheetQuoted(ws) + ", cell " + host::ColumnLetters(column) + std::to_string(row) +
                                 ": the position \"" + ws.CellText(row, column) +
                                 "\" is not a whole number from 1 to " + std::to_string(kMaxPosition));
    }
    return static_cast<int>(n);
}

}  // namespace

int NextSpecificationPosition(const host::Worksheet& ws) {
    const ListColumns c = ColumnsOf(ksSPA_OT);
    const Section s = OtherProductsOf(ws, c);
    const int above = s.heading ? s.heading : s.first;
    int last = 0;
    for (int r = c.firstRow; r < above; ++r) {
        if (const auto position = PositionAt(ws, r, c.position)) last = std::max(last, *position);
    }
    return last + 1;
}

FillResult FillList(const std::shared_ptr<host::Worksheet>& sheet, std::int32_t state, const std::vector<ListRow>& rows,
                    bool replace, const Measure& measure) {
    host::Worksheet& ws = *sheet;
    const ListColumns c = ColumnsOf(state);
    const host::Range whole(sheet, host::Area{1, 1, host::kMaxRows, host::kMaxColumns});
    FillResult result;

    if (state != ksSPA_OT) {
        const int last = ws.UsedRange().r2;
        for (int r = c.firstRow; r <= last; ++r) {
            if (!RowHoldsData(ws, r, c)) continue;
            if (!replace) {
                throw std::runtime_error(SheetQuoted(ws) + " already holds list rows (row " + std::to_string(r) +
                                         "); pass --replace to replace them");
            }
            break;
        }
        if (replace && last >= c.firstRow) ws.DeleteRows(c.firstRow, last - c.firstRow + 1);
        const std::vector<SheetRow> laid = Lay(ws, c, rows, measure);
        for (std::size_t i = 0; i < laid.size(); ++i) Write(ws, c.firstRow + static_cast<int>(i), laid[i], c);
        result.firstRow = c.firstRow;
        result.rowsWritten = static_cast<int>(laid.size());
        return result;
    }

    // The specification: only the rows of its "Прочие изделия" are the import's.
    Section s = OtherProductsOf(ws, c);
    for (int r = s.first; r < s.next; ++r) {
        if (!RowHoldsData(ws, r, c)) continue;
        if (!replace) {
            throw std::runtime_error(SheetQuoted(ws) + ": \"" + kOtherProducts + "\" already holds rows (row " +
                                     std::to_string(r) + "); pass --replace to replace them");
        }
        break;
    }
    const bool nextSection = s.heading != 0 && s.next <= ws.UsedRange().r2;
    if (s.heading != 0 && s.next > s.first) ws.DeleteRows(s.first, s.next - s.first);
    std::vector<SheetRow> laid;
    if (s.heading == 0) {
        // A new section at the end of the list, after an empty row.
        if (s.first > c.firstRow) laid.emplace_back();
        laid.push_back(SheetRow{{c.name, kOtherProducts}});
    }
    laid.emplace_back();   // the empty row under the heading
    for (auto& r : Lay(ws, c, rows, measure)) laid.push_back(std::move(r));
    if (nextSection) laid.emplace_back();   // and the one before the next section
    int at = s.first;
    for (const auto& cells : laid) {
        lists::RowInsert(whole, at);
        Write(ws, at, cells, c);
        ++at;
    }
    result.firstRow = s.first;
    result.rowsWritten = static_cast<int>(laid.size());
    return result;
}

}  // namespace ormelin::import
