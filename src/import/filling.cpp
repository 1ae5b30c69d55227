// Filling a list with imported rows: where each text goes in the list of each
// kind, continuation rows for texts wider than their column, and the refusal to
// overwrite rows a user typed.
#include <array>
#include <algorithm>
#include <cmath>
#include <map>

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

/// A row of the list before a replacement, its continuation rows joined to it.
struct OldRow {
    std::string designator, name, note;
};

std::vector<OldRow> OldRows(const host::Worksheet& ws, const ListColumns& c, int first, int last) {
    std::vector<OldRow> out;
    bool open = false;
    auto text = [&](int row, int col) { return col > 0 ? ws.CellText(row, col) : std::string(); };
    auto append = [](std::string& to, const std::string& more) {
        if (!more.empty()) to += (to.empty() ? "" : " ") + more;
    };
    for (int r = first; r <= last; ++r) {
        if (!RowHoldsData(ws, r, c)) {
            open = false;
            continue;
        }
        const std::string designator = text(r, c.designator);
        if (!open || !designator.empty() || !text(r, c.quantity).empty() || !text(r, c.position).empty()) {
            out.push_back({designator, text(r, c.name), text(r, c.note)});
            open = true;
            continue;
        }
        append(out.back().name, text(r, c.name));
        append(out.back().note, text(r, c.note));
    }
    return out;
}

/// The note without the words the import writes itself: "Не устанавливать", and in
/// a specification the designators.
std::string UserPart(const std::string& note, bool designators) {
    std::string out, rest = note;
    std::size_t i = 0;
    for (std::size_t at; (at = rest.find(kNotFitted)) != std::string::npos;) rest.erase(at, std::string(kNotFitted).size());
    while (i < rest.size()) {
        while (i < rest.size() && rest[i] == ' ') ++i;
        std::size_t j = rest.find(' ', i);
        if (j == std::string::npos) j = rest.size();
        if (j > i) {
            const std::string word = rest.substr(i, j - i);
            std::string bare = word;
            while (!bare.empty() && (bare.back() == ',' || bare.back() == ';')) bare.pop_back();
            if (!designators || DesignatorsOf(bare).empty()) out += (out.empty() ? "" : " ") + word;
        }
        i = j;
    }
    return out;
}

/// The new note with the user's note kept.
std::string Merged(const std::string& fresh, const std::string& user) {
    if (user.empty() || fresh.find(user) != std::string::npos) return fresh;
    if (fresh.empty() || user.find(fresh) != std::string::npos) return user;
    return fresh + " " + user;
}

/// The rows with the notes of the old rows they take up; the notes of the old rows
/// none takes up, dropped.
std::vector<ListRow> KeepNotes(std::vector<ListRow> rows, const std::vector<OldRow>& old, bool byDesignators,
                               bool specification, std::vector<DroppedNote>& dropped) {
    std::vector<bool> taken(old.size(), false);
    if (byDesignators) {
        std::map<std::string, std::size_t> owner;   // designator -> old row
        for (std::size_t i = 0; i < old.size(); ++i) {
            for (const auto& d : DesignatorsOf(old[i].designator)) owner.emplace(d, i);
        }
        for (auto& row : rows) {
            if (row.heading || row.designator.empty()) continue;
            std::vector<std::size_t> from;
            for (const auto& d : DesignatorsOf(row.designator)) {
                auto it = owner.find(d);
                if (it != owner.end() && std::find(from.begin(), from.end(), it->second) == from.end()) {
                    from.push_back(it->second);
                }
            }
            for (std::size_t i : from) {
                taken[i] = true;
                row.note = Merged(row.note, UserPart(old[i].note, false));
            }
        }
    } else {
        std::map<std::string, std::size_t> byName;
        for (std::size_t i = 0; i < old.size(); ++i) byName.emplace(old[i].name, i);
        for (auto& row : rows) {
            auto it = byName.find(row.name);
            if (it == byName.end()) continue;
            taken[it->second] = true;
            row.note = Merged(row.note, UserPart(old[it->second].note, specification));
        }
    }
    for (std::size_t i = 0; i < old.size(); ++i) {
        const std::string user = UserPart(old[i].note, specification);
        if (taken[i] || user.empty()) continue;
        dropped.push_back({byDesignators && !old[i].designator.empty() ? old[i].designator : old[i].name, user});
    }
    return rows;
}

}  // namespace

std::vector<std::string> DesignatorsOf(std::string_view text) {
    std::vector<std::string> out;
    std::string token;
    auto take = [&](const std::string& t) {
        if (t.empty()) return;
        const auto dots = t.find("...");
        if (dots != std::string::npos) {
            auto a = ParseDesignator(std::string_view(t).substr(0, dots));
            auto b = ParseDesignator(std::string_view(t).substr(dots + 3));
            if (a && b && a->plain && b->plain && a->letters == b->letters && a->number <= b->number &&
                b->number - a->number < 10000) {
                for (int n = a->number; n <= b->number; ++n) out.push_back(a->letters + std::to_string(n));
            }
            return;
        }
        if (auto d = ParseDesignator(t)) {
            std::string upper = d->designator;
            for (auto& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            out.push_back(std::move(upper));
        }
    };
    for (const char ch : text) {
        if (ch == ',' || ch == ' ' || ch == ';') {
            take(token);
            token.clear();
        } else {
            token += ch;
        }
    }
    take(token);
    return out;
}

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
        std::vector<ListRow> kept = rows;
        if (replace && last >= c.firstRow) {
            kept = KeepNotes(rows, OldRows(ws, c, c.firstRow, last), c.designator > 0, false, result.droppedNotes);
            ws.DeleteRows(c.firstRow, last - c.firstRow + 1);
        }
        const std::vector<SheetRow> laid = Lay(ws, c, kept, measure);
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
    std::vector<ListRow> kept = rows;
    if (s.heading != 0 && s.next > s.first) {
        kept = KeepNotes(rows, OldRows(ws, c, s.first, s.next - 1), false, true, result.droppedNotes);
        ws.DeleteRows(s.first, s.next - s.first);
    }
    std::vector<SheetRow> laid;
    if (s.heading == 0) {
        // A new section at the end of the list, after an empty row.
        if (s.first > c.firstRow) laid.emplace_back();
        laid.push_back(SheetRow{{c.name, kOtherProducts}});
    }
    laid.emplace_back();   // the empty row under the heading
    for (auto& r : Lay(ws, c, kept, measure)) laid.push_back(std::move(r));
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
