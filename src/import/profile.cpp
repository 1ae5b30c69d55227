// Profiles (which BOM column holds what) and the elements read through one.
#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "import/bom.hpp"

namespace ormelin::import {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

using Names = std::vector<std::string>;

const Names kDnpValues = {"dnp", "1", "yes", "y", "true", "x", "not fitted", "no fit", "do not fit",
                          "не устанавливать", "да"};

/// The fields of a profile by their names in a profile file.
struct FieldSlot {
    const char* key;
    Names Profile::*names;
};
constexpr FieldSlot kSlots[] = {
    {"designators", &Profile::designators}, {"value", &Profile::value},       {"type", &Profile::type},
    {"manufacturer", &Profile::manufacturer}, {"supplier", &Profile::supplier}, {"quantity", &Profile::quantity},
    {"dnp", &Profile::dnp},                 {"note", &Profile::note},
};

/// The column named by any of the names (the first name found wins), 0-based,
/// other than the column taken; -1 when none.
int ColumnOf(const Table& t, const Names& names, int taken = -1) {
    for (const auto& n : names) {
        for (std::size_t c = 0; c < t.head.size(); ++c) {
            if (static_cast<int>(c) != taken && Lower(t.head[c]) == Lower(n)) return static_cast<int>(c);
        }
    }
    return -1;
}

std::string Cell(const std::vector<std::string>& row, int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= row.size()) return {};
    return row[static_cast<std::size_t>(column)];
}

bool IsLatinLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// The whole number a cell holds ("4", "4.0" is not one).
std::optional<int> WholeNumber(const std::string& s) {
    if (s.empty() || s.size() > 7) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (!IsDigit(c)) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

std::optional<Element> ParseDesignator(std::string_view d) {
    std::size_t i = 0;
    while (i < d.size() && IsLatinLetter(d[i])) ++i;
    if (i == 0 || i == d.size() || !IsDigit(d[i]) || d.size() > 32) return std::nullopt;
    Element e;
    e.designator = std::string(d);
    e.letters = std::string(d.substr(0, i));
    bool capitals = true;
    for (auto& c : e.letters) {
        capitals = capitals && c >= 'A' && c <= 'Z';
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    bool digits = true;
    std::size_t k = i;
    for (; k < d.size(); ++k) {
        const char c = d[k];
        if (!(IsDigit(c) || IsLatinLetter(c) || c == '_' || c == '.')) return std::nullopt;
        digits = digits && IsDigit(c);
    }
    for (k = i; k < d.size() && IsDigit(d[k]) && k - i < 9; ++k) e.number = e.number * 10 + (d[k] - '0');
    e.plain = capitals && digits && d.size() - i <= 6 && (d[i] != '0' || d.size() - i == 1);
    return e;
}

namespace {

/// The natural order of two rests: runs of digits as numbers (and fewer leading
/// zeros first), other characters by their code.
int NaturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            std::size_t ie = i, je = j;
            while (ie < a.size() && IsDigit(a[ie])) ++ie;
            while (je < b.size() && IsDigit(b[je])) ++je;
            std::size_t iz = i, jz = j;
            while (iz + 1 < ie && a[iz] == '0') ++iz;
            while (jz + 1 < je && b[jz] == '0') ++jz;
            const std::string_view na = a.substr(iz, ie - iz), nb = b.substr(jz, je - jz);
            if (na.size() != nb.size()) return na.size() < nb.size() ? -1 : 1;
            if (const int c = na.compare(nb); c != 0) return c;
            if (iz - i != jz - j) return iz - i < jz - j ? -1 : 1;
            i = ie, j = je;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        ++i, ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace

bool DesignatorLess(const Element& a, const Element& b) {
    if (a.letters != b.letters) return a.letters < b.letters;
    if (a.plain && b.plain) return a.number < b.number;
    const int c = NaturalCompare(std::string_view(a.designator).substr(a.letters.size()),
                                 std::string_view(b.designator).substr(b.letters.size()));
    return c != 0 ? c < 0 : a.designator < b.designator;
}

bool IsHeadRow(const std::vector<std::string>& record, const Profile& profile) {
    for (const auto& cell : record) {
        const std::string c = Lower(Trim(cell));
        for (const auto& n : profile.designators) {
            if (c == Lower(n)) return true;
        }
    }
    return false;
}

std::optional<Profile> BuiltinProfile(std::string_view name) {
    Profile p;
    p.name = std::string(name);
    p.dnpValues = kDnpValues;
    p.supplier = {"Supplier", "Supplier 1", "Vendor", "Distributor", "Поставщик"};
    p.manufacturer = {"Manufacturer", "Manufacturer 1", "Mfr", "MFR", "Производитель"};
    p.note = {"Note", "Notes", "Примечание"};
    if (name == "kicad") {
        // KiCad's BOM export (grouped "Refs"/"Qty", ungrouped "Reference") and the
        // BOM scripts of its plug-in dialog ("Ref", "Qnty", "Value", "Cmp name",
        // "Footprint", "Description", "Vendor", after a preamble).
        p.designators = {"Reference", "References", "Refs", "Ref", "Designator"};
        p.value = {"Value"};
        p.type = {"MPN", "Manufacturer Part Number", "Part Number", "PartNumber", "Type", "Тип"};
        p.quantity = {"Qty", "Quantity", "Qnty", "Quantity Per PCB"};
        p.dnp = {"DNP", "Do not populate", "Exclude from board"};
        return p;
    }
    if (name == "altium") {
        // Altium's Report Manager: the value in "Comment", parts in the first
        // manufacturer and supplier links.
        // The library reference (LibRef) is no product name and is not read: the
        // type is the part number, else "Comment" (when the value has a column of
        // its own), else "Description".
        p.designators = {"Designator"};
        p.value = {"Value", "Comment"};
        p.type = {"Manufacturer Part Number 1", "Manufacturer Part Number", "Part Number", "Comment", "Description"};
        p.quantity = {"Quantity", "Qty"};
        p.dnp = {"Fitted", "DNP", "Not Fitted"};
        return p;
    }
    if (name == "jlc") {
        // JLCPCB's assembly BOM ("Comment", "Designator", "Footprint", "LCSC"):
        // the value in "Comment"; the LCSC part number is no product name.
        p.designators = {"Designator", "Designators"};
        p.value = {"Comment", "Value"};
        p.type = {"Manufacturer Part Number", "MPN", "Manufacturer Part", "Part Number"};
        p.quantity = {"Quantity", "Qty"};
        p.dnp = {"DNP"};
        return p;
    }
    return std::nullopt;
}

Profile ParseProfile(std::string_view text, const std::string& file) {
    nlohmann::json j;
    try {
        j = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& e) {
        throw BomError(file, 0, 0, std::string("not valid JSON: ") + e.what());
    }
    if (!j.is_object()) throw BomError(file, 0, 0, "a profile is one JSON object");
    Profile p;
    p.name = file;
    p.strict = true;
    p.dnpValues = kDnpValues;
    for (auto it = j.begin(); it != j.end(); ++it) {
        if (it.key() == "columns") {
            if (!it->is_object()) throw BomError(file, 0, 0, "\"columns\" must be an object");
            for (auto c = it->begin(); c != it->end(); ++c) {
                const FieldSlot* slot = nullptr;
                for (const auto& s : kSlots) {
                    if (c.key() == s.key) slot = &s;
                }
                if (!slot) {
                    throw BomError(file, 0, 0,
                                   "unknown field \"" + c.key() +
                                       "\" (designators, value, type, manufacturer, supplier, quantity, dnp, note)");
                }
                if (c->is_string()) {
                    (p.*(slot->names)) = {c->get<std::string>()};
                } else {
                    throw BomError(file, 0, 0, "the column of \"" + c.key() + "\" must be a text");
                }
            }
        } else if (it.key() == "dnp_values") {
            if (!it->is_array()) throw BomError(file, 0, 0, "\"dnp_values\" must be a list of texts");
            p.dnpValues.clear();
            for (const auto& v : *it) {
                if (!v.is_string()) throw BomError(file, 0, 0, "\"dnp_values\" must be a list of texts");
                p.dnpValues.push_back(v.get<std::string>());
            }
        } else if (it.key() != "name" && it.key() != "comment") {
            throw BomError(file, 0, 0, "unknown key \"" + it.key() + "\" (columns, dnp_values, name, comment)");
        }
    }
    if (p.designators.empty() && p.value.empty()) {
        throw BomError(file, 0, 0, "the profile names neither the designators nor the value column");
    }
    return p;
}

ElementReader::ElementReader(const Table& head, const Profile& p) : t_(head) {
    const Table& t = head;
    struct Col {
        const Names& names;
        const char* field;
        int at = -1;
    };
    Col cols[] = {{p.designators, "designators"}, {p.value, "value"},       {p.type, "type"},
                  {p.manufacturer, "manufacturer"}, {p.supplier, "supplier"}, {p.quantity, "quantity"},
                  {p.dnp, "dnp"},                 {p.note, "note"}};
    for (auto& c : cols) {
        c.at = ColumnOf(t, c.names, &c == &cols[2] ? cols[1].at : -1);
        if (c.at < 0 && !c.names.empty() && p.strict) {
            throw BomError(t.file, t.headLine, 0,
                           "unknown column \"" + c.names.front() + "\" (the " + c.field + " column of the profile)");
        }
    }
    cDes_ = cols[0].at, cVal_ = cols[1].at, cType_ = cols[2].at, cMfr_ = cols[3].at, cSup_ = cols[4].at,
    cQty_ = cols[5].at, cDnp_ = cols[6].at, cNote_ = cols[7].at;
    if (cDes_ < 0) throw BomError(t.file, t.headLine, 0, "no designator column (profile " + p.name + ")");
    if (cVal_ < 0 && cType_ < 0) {
        throw BomError(t.file, t.headLine, 0, "no value or type column (profile " + p.name + ")");
    }
    for (const auto& v : p.dnpValues) dnpValues_.insert(Lower(v));
}

void ElementReader::Fault(int line, int column, const std::string& what) {
    if (faultCount_++ < kMaxFaultsNamed) faults_.push_back(BomError(t_.file, line, column, what).what());
}

void ElementReader::Add(const std::vector<std::string>& row, int line) {
    const Table& t = t_;
    const int cDes = cDes_, cQty = cQty_;
    Element base;
    base.line = line;
    base.value = Cell(row, cVal_);
    base.type = Cell(row, cType_);
    base.manufacturer = Cell(row, cMfr_);
    base.supplier = Cell(row, cSup_);
    base.note = Cell(row, cNote_);
    base.dnp = cDnp_ >= 0 && dnpValues_.count(Lower(Cell(row, cDnp_))) > 0;
    const std::string des = Cell(row, cDes);
    std::optional<int> qty;
    if (cQty >= 0 && !Cell(row, cQty).empty()) {
        qty = WholeNumber(Cell(row, cQty));
        if (!qty || *qty == 0) {
            return Fault(line, cQty + 1,
                         "the quantity \"" + Cell(row, cQty) + "\" is not a whole number (column " +
                             t.ColumnName(cQty + 1) + ")");
        }
    }
    // The designators of the line: "R1, R2", "R1 R2", "R1-R4"; "#PWR01" is a symbol, no part.
    std::vector<Element> designators;
    int symbols = 0;
    std::string bad;
    auto take = [&](const std::string& tok) {
        if (tok.empty()) return;
        if (tok[0] == '#') {
            ++symbols;
            return;
        }
        if (auto d = ParseDesignator(tok)) {
            designators.push_back(std::move(*d));
            return;
        }
        const auto dash = tok.find('-');
        if (dash != std::string::npos) {
            auto a = ParseDesignator(std::string_view(tok).substr(0, dash));
            auto b = ParseDesignator(std::string_view(tok).substr(dash + 1));
            if (a && b && a->plain && b->plain && a->letters == b->letters && a->number <= b->number &&
                b->number - a->number < 10000) {
                for (int n = a->number; n <= b->number; ++n) designators.push_back(*ParseDesignator(a->letters + std::to_string(n)));
                return;
            }
        }
        if (bad.empty()) bad = tok;
    };
    std::string token;
    for (char c : des) {
        if (c == ',' || c == ' ' || c == ';' || c == '\t') {
            take(token);
            token.clear();
        } else {
            token += c;
        }
    }
    take(token);
    if (!bad.empty()) {
        return Fault(line, cDes + 1,
                     "\"" + bad + "\" is not a designator (Latin letters and a number, as R12 or R1A; column " +
                         t.ColumnName(cDes + 1) + ")");
    }
    symbols_ += symbols;
    if (designators.empty()) {
        if (symbols > 0) return;                                 // power and flag symbols only
        if (base.value.empty() && base.type.empty()) return;   // a line of nothing
        if (!qty) return Fault(line, cDes + 1, "a line without designators needs its quantity");
        base.quantity = *qty;
        out_.push_back(base);
        return;
    }
    const int named = static_cast<int>(designators.size());
    if (qty && *qty != named && *qty != named + symbols) {
        return Fault(line, cQty + 1,
                     "the quantity " + std::to_string(*qty) + " does not match the " + std::to_string(named) +
                         " designators of the line");
    }
    for (auto& d : designators) {
        std::string key = d.designator;
        for (auto& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        auto [it, fresh] = seen_.emplace(std::move(key), line);
        if (!fresh) {
            Fault(line, cDes + 1,
                  "the designator " + d.designator + " is named twice (also on line " + std::to_string(it->second) +
                      ")");
            continue;
        }
        Element e = base;
        e.designator = std::move(d.designator);
        e.letters = std::move(d.letters);
        e.number = d.number;
        e.plain = d.plain;
        e.quantity = 1;
        out_.push_back(std::move(e));
    }
}

std::vector<Element> ElementReader::Take() {
    seen_.clear();
    if (faultCount_ > 0) throw BomError(faults_, faultCount_);
    return std::move(out_);
}

std::vector<Element> ReadElements(const Table& t, const Profile& p, int* symbols) {
    if (!IsHeadRow(t.head, p)) {
        // A preamble: the head is the first row among the first lines that names the designators.
        for (std::size_t i = 0; i < t.rows.size() && t.lines[i] <= kHeadSearchLines; ++i) {
            if (!IsHeadRow(t.rows[i], p)) continue;
            Table found;
            found.file = t.file;
            found.lettersForColumns = t.lettersForColumns;
            found.namedColumns = t.namedColumns;
            found.head = t.rows[i];
            for (auto& h : found.head) h = Trim(h);
            found.headLine = t.lines[i];
            found.rows.assign(t.rows.begin() + static_cast<std::ptrdiff_t>(i) + 1, t.rows.end());
            found.lines.assign(t.lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, t.lines.end());
            return ReadElements(found, p, symbols);
        }
    }
    ElementReader reader(t, p);
    for (std::size_t i = 0; i < t.rows.size(); ++i) reader.Add(t.rows[i], t.lines[i]);
    if (symbols) *symbols = reader.Symbols();
    return reader.Take();
}

}  // namespace ormelin::import
