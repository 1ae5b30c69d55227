// The rules of the check, one table (Rules()), and the run of the table over a
// worksheet (CheckSheet). docs/check.md lists each rule with its clause.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "base/text.hpp"
#include "check/check.hpp"
#include "forming/forming_spb.hpp"
#include "forming/keep_together.hpp"
#include "forming/steps.hpp"
#include "lists/entries.hpp"
#include "import/bom.hpp"
#include "recognition/recognition.hpp"
#include "render/render.hpp"

namespace ormelin::check {

namespace {

// ------------------------------------------------------------------ the rows as entries

/// An entry: its first row and the continuation rows after it (indexes into Rows()).
struct Entry {
    std::size_t first = 0, last = 0;
};

/// A run of rows between empty rows: a heading (rows with only a name) and the
/// entries under it.
struct Block {
    std::vector<std::size_t> heading;
    std::vector<Entry> entries;
    int emptyBefore = 0;       // empty rows between the block before and this one
    bool gapAtSheetEnd = false;  // those empty rows touch the end of a printed sheet
};

/// Whether a row starts an entry: it holds more than a name.
bool StartsEntry(const ListRow& r) {
    for (int f = 0; f < static_cast<int>(Field::Count); ++f)
        if (static_cast<Field>(f) != Field::Name && static_cast<Field>(f) != Field::Note && !r.text[f].empty())
            return true;
    return false;
}

const char* const kSections[] = {"Документация",        "Комплексы",      "Сборочные единицы", "Детали",
                                 "Стандартные изделия", "Прочие изделия", "Материалы",         "Комплекты"};

int SectionIndex(const std::string& name) {
    for (int i = 0; i < 8; ++i)
        if (name == kSections[i]) return i;
    return -1;
}

std::vector<Block> BlocksOf(const Document& doc) {
    std::vector<Block> blocks;
    const auto& rows = doc.Rows();
    bool open = false;  // the last row belongs to the block at the back
    int empty = 0;
    bool sheetEnd = false;
    lists::RowKind previous = lists::RowKind::Empty;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ListRow& r = rows[i];
        if (r.Empty()) {
            previous = lists::RowKind::Empty;
            open = false;
            ++empty;
            sheetEnd = sheetEnd || r.sheetEnd;
            continue;
        }
        // The kind of the row by the one rule of list entries (lists/entries.hpp);
        // a section's name opens a block of its own wherever it stands.
        const bool section = SectionIndex(r[Field::Name]) >= 0;
        const lists::RowKind kind = section ? lists::RowKind::Heading
                                            : lists::KindAfter({.key = StartsEntry(r), .text = true}, previous);
        previous = kind;
        Block* b = open ? &blocks.back() : nullptr;
        if (b && kind == lists::RowKind::Continuation && !b->entries.empty()) {
            b->entries.back().last = i;
        } else {
            if (!b || section || (kind != lists::RowKind::EntryStart && !b->entries.empty())) {
                blocks.push_back({});
                b = &blocks.back();
                b->emptyBefore = blocks.size() > 1 ? empty : 0;
                b->gapAtSheetEnd = sheetEnd || (i > 0 && rows[i - 1].sheetEnd);
            }
            if (kind == lists::RowKind::EntryStart)
                b->entries.push_back({i, i});
            else
                b->heading.push_back(i);
        }
        open = true;
        empty = 0;
        sheetEnd = r.sheetEnd;
    }
    return blocks;
}

std::string CellName(int row, int column) { return host::ColumnLetters(column) + std::to_string(row); }

/// A whole number written in a cell ("12"), or nothing.
std::optional<long> WholeNumber(const std::string& t) {
    if (t.empty() || t.size() > 9) return std::nullopt;
    long n = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

/// A quantity: a number with a decimal comma or point ("0,05"), or nothing.
std::optional<double> Quantity(const std::string& t) {
    if (t.empty()) return std::nullopt;
    std::string dotted;
    for (const char c : t) {
        if (c == ',') dotted += '.';
        else if ((c >= '0' && c <= '9') || c == '.') dotted += c;
        else return std::nullopt;
    }
    char* end = nullptr;
    const double v = std::strtod(dotted.c_str(), &end);
    if (end != dotted.c_str() + dotted.size()) return std::nullopt;
    return v;
}

std::string Number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    std::string s = buf;
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

// ------------------------------------------------------------------ title block

void TitleFilled(const Document& doc, Report& report) {
    const auto& t = doc.Title();
    if (!t) return;
    const std::pair<TitleCell, const char*> fields[] = {
        {t->designation, "Обозначение"}, {t->name, "Наименование"}, {t->letter, "Лит."}, {t->organisation,
                                                                                          "Организация"}};
    for (const auto& [cell, what] : fields)
        if (doc.Text(cell).empty()) report.At(cell, Message("the title block's \"{1}\" is empty"), {what});
    for (const char* label : {"Разраб.", "Пров.", "Н. контр.", "Утв."}) {
        bool found = false;
        for (const SignatureRow& s : t->signatures) {
            if (doc.Text(s.label) != label) continue;
            found = true;
            if (doc.Text(s.surname).empty())
                report.At(s.surname, Message("the title block's \"{1}\" has no surname"), {label});
        }
        if (!found) report.At(t->signatures.front().label, Message("the title block has no \"{1}\" row"), {label});
    }
}

std::string DateText(Date d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
    return buf;
}

void TitleDates(const Document& doc, Report& report) {
    const auto& t = doc.Title();
    if (!t) return;
    for (const SignatureRow& s : t->signatures) {
        const std::string label = doc.Text(s.label), surname = doc.Text(s.surname), date = doc.Text(s.date);
        const std::string who = label.empty() ? surname : label;
        if (!surname.empty() && date.empty())
            report.At(s.date, Message("\"{1}\" ({2}) has no date"), {who, surname});
        if (surname.empty() && !date.empty())
            report.At(s.date, Message("the date {1} of \"{2}\" has no surname"), {date, who});
        if (date.empty()) continue;
        const auto d = ParseDate(date);
        if (!d)
            report.At(s.date, Message("\"{1}\" is not a date (dd.mm.yy)"), {date});
        else if (*d > doc.Today())
            report.At(s.date, Message("the date {1} is after today ({2})"), {date, DateText(doc.Today())});
    }
}

// ------------------------------------------------------------------ designation

/// The UTF-8 characters of a text.
std::vector<std::string> Characters(const std::string& s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

bool CapitalOrDigit(const std::string& ch) {
    if (ch.size() == 1) return (ch[0] >= 'A' && ch[0] <= 'Z') || (ch[0] >= '0' && ch[0] <= '9');
    // А..Я (U+0410..U+042F) and Ё (U+0401)
    if (ch.size() != 2) return false;
    const unsigned code = ((static_cast<unsigned char>(ch[0]) & 0x1Fu) << 6) | (static_cast<unsigned char>(ch[1]) & 0x3Fu);
    return (code >= 0x410 && code <= 0x42F) || code == 0x401;
}

bool Digits(const std::vector<std::string>& chars, std::size_t from, std::size_t count) {
    if (from + count > chars.size()) return false;
    for (std::size_t i = from; i < from + count; ++i)
        if (chars[i].size() != 1 || chars[i][0] < '0' || chars[i][0] > '9') return false;
    return true;
}

/// The designation's base (organisation code, class characteristic, number,
/// execution) and its document code, or nothing when it is not of that form.
std::optional<std::pair<std::string, std::string>> SplitDesignation(const std::string& text) {
    const auto ch = Characters(text);
    std::size_t i = 0;
    for (; i < 4; ++i)
        if (i >= ch.size() || !CapitalOrDigit(ch[i])) return std::nullopt;
    if (i >= ch.size() || ch[i] != ".") return std::nullopt;
    if (!Digits(ch, i + 1, 6)) return std::nullopt;
    i += 7;
    if (i >= ch.size() || ch[i] != ".") return std::nullopt;
    if (!Digits(ch, i + 1, 3)) return std::nullopt;
    i += 4;
    if (i < ch.size() && ch[i] == "-") {
        std::size_t n = 0;
        while (Digits(ch, i + 1 + n, 1)) ++n;
        if (n < 2 || n > 3) return std::nullopt;
        i += 1 + n;
    }
    std::string base, code;
    for (std::size_t k = 0; k < i; ++k) base += ch[k];
    if (i < ch.size()) {
        if (ch[i] != " ") return std::nullopt;
        for (std::size_t k = i + 1; k < ch.size(); ++k) {
            if (!CapitalOrDigit(ch[k])) return std::nullopt;
            code += ch[k];
        }
        if (code.empty()) return std::nullopt;
    }
    return std::pair{base, code};
}

void DesignationForm(const Document& doc, Report& report) {
    const auto& t = doc.Title();
    if (!t) return;
    const std::string text = doc.Text(t->designation);
    if (text.empty()) return;  // the title-block rule names it
    if (!SplitDesignation(text))
        report.At(t->designation,
                  Message("the designation \"{1}\" is not of the form ABCD.XXXXXX.XXX (organisation code, six-digit "
                          "class characteristic, three-digit number) with the document code after a blank"),
                  {text});
}

void DocumentCode(const Document& doc, Report& report) {
    const auto& t = doc.Title();
    if (!t) return;
    const auto parts = SplitDesignation(doc.Text(t->designation));
    if (!parts) return;
    const std::string expected = KindEntryOf(doc.Kind()).documentCode;
    if (parts->second == expected) return;
    if (expected.empty())
        report.At(t->designation, Message("a specification's designation has no document code, not \"{1}\""),
                  {parts->second});
    else
        report.At(t->designation, Message("the document code is \"{1}\"; this kind of document has \"{2}\""),
                  {parts->second.empty() ? "-" : parts->second, expected});
}

// ------------------------------------------------------------------ sheets

void SheetCount(const Document& doc, Report& report) {
    if (!doc.Geometry() || doc.Sheets().empty()) return;
    const forming::SheetGeometry& g = *doc.Geometry();
    const int shift = doc.Sheets().front().bottomLine - g.firstBottomLine;
    const TitleCell cell{g.sheetCountCell.row + shift, g.sheetCountCell.column};
    const std::string shown = doc.Text(cell);
    const std::string there = std::to_string(doc.Sheets().size());
    if (shown != there)
        report.At(cell, Message("\"Листов\" shows {1}; the document has {2} sheets (the change-registration sheet "
                                "counted)"),
                  {shown.empty() ? "—" : shown, there});
}

void SheetNumbers(const Document& doc, Report& report) {
    if (!doc.Geometry() || doc.Sheets().size() < 2) return;
    const forming::SheetGeometry& g = *doc.Geometry();
    const int shift = doc.Sheets().front().bottomLine - g.firstBottomLine;
    const TitleCell first{g.sheetNumberCell.row + shift, g.sheetNumberCell.column};
    if (doc.Text(first) != "1")
        report.At(first, Message("\"Лист\" of sheet {1} shows {2}"), {"1", doc.Text(first).empty() ? "—"
                                                                                                     : doc.Text(first)});
    for (std::size_t k = 1; k < doc.Sheets().size(); ++k) {
        const auto& n = doc.Sheets()[k].number;
        if (!n) continue;
        const std::string want = std::to_string(k + 1), shown = doc.Text(*n);
        if (shown != want) report.At(*n, Message("\"Лист\" of sheet {1} shows {2}"), {want, shown.empty() ? "—" : shown});
    }
}

void Registration(const Document& doc, Report& report) {
    const auto& t = doc.Title();
    if (!t) return;
    const std::string change = doc.Text(t->change), number = doc.Text(t->changeDocument);
    if (change.empty() != number.empty())
        report.At(change.empty() ? t->change : t->changeDocument,
                  Message("the title block's \"Изм.\" and \"№ докум.\" go together: \"{1}\" and \"{2}\""),
                  {change, number});
    // The change-registration sheet's first entry shows the title block's change:
    // A4 and A3, block row 5, "Изм." in column C, "№ докум." in column Q; the group
    // specification's turned sheet where forming writes it, right of the narrow
    // column inserted with it.
    const bool group = StateEntryOf(doc.State()).form == FormId::A4LandscapeGroup;
    for (const PrintedSheet& s : doc.Sheets()) {
        if (!s.registration) continue;
        TitleCell changeCell{s.firstRow + 3, 3}, numberCell{s.firstRow + 3, 17};
        if (group) {
            const int top = s.bottomLine - forming::kA4LandscapeGroup.registration.rows + 1;
            const host::Area c = forming::At(forming::kRegistrationChangeCell, top),
                             n = forming::At(forming::kRegistrationDocumentCell, top);
            changeCell = {c.r1, c.c1 + 1};
            numberCell = {n.r1, n.c1 + 1};
        }
        const std::pair<TitleCell, std::string> pairs[] = {{changeCell, change}, {numberCell, number}};
        for (const auto& [cell, title] : pairs) {
            const std::string shown = doc.Text(cell);
            if (shown != title)
                report.At(cell, Message("the change-registration sheet shows \"{1}\"; the title block \"{2}\""),
                          {shown, title});
        }
    }
}

// ------------------------------------------------------------------ list of elements

struct Designated {
    std::string letters;
    int number = 0;
};

std::vector<Designated> DesignatedOf(const std::string& text) {
    std::vector<Designated> out;
    for (const std::string& d : import::DesignatorsOf(text)) {
        const auto e = import::ParseDesignator(d);
        if (e) out.push_back({e->letters, e->number});
    }
    return out;
}

bool IsElements(const Document& doc) { return doc.Kind() == DocKind::PE && doc.Column(Field::Position); }

void ElementDesignators(const Document& doc, Report& report) {
    if (!IsElements(doc)) return;
    std::map<std::string, int> seen;
    for (const ListRow& r : doc.Rows()) {
        const std::string& text = r[Field::Position];
        if (text.empty()) continue;
        const auto names = import::DesignatorsOf(text);
        if (names.empty()) {
            report.At(r.row, doc.Column(Field::Position), Message("\"{1}\" names no designator"), {text});
            continue;
        }
        for (const std::string& d : names) {
            const auto [at, fresh] = seen.emplace(d, r.row);
            if (!fresh)
                report.At(r.row, doc.Column(Field::Position), Message("{1} is listed again (first in row {2})"),
                          {d, std::to_string(at->second)});
        }
    }
}

void ElementOrder(const Document& doc, Report& report) {
    if (!IsElements(doc)) return;
    std::set<std::string> closed;
    std::string letters;
    int number = 0;
    for (const ListRow& r : doc.Rows()) {
        const auto ds = DesignatedOf(r[Field::Position]);
        if (ds.empty()) continue;
        const Designated& d = ds.front();
        const int column = doc.Column(Field::Position);
        if (d.letters != letters) {
            if (closed.count(d.letters))
                report.At(r.row, column, Message("group {1} appears again after group {2}"), {d.letters, letters});
            else if (!letters.empty() && d.letters < letters)
                report.At(r.row, column, Message("group {1} stands after group {2}: groups go in the order of their "
                                                 "letter codes"),
                          {d.letters, letters});
            if (!letters.empty()) closed.insert(letters);
            letters = d.letters;
            number = 0;
        } else if (d.number <= number) {
            report.At(r.row, column, Message("{1}{2} stands after {1}{3}: numbers go up within a group"),
                      {d.letters, std::to_string(d.number), std::to_string(number)});
        }
        for (const Designated& x : ds)
            if (x.letters == letters) number = std::max(number, x.number);
    }
}

void ElementRanges(const Document& doc, Report& report) {
    if (!IsElements(doc)) return;
    for (const ListRow& r : doc.Rows()) {
        const std::string& text = r[Field::Position];
        if (text.empty()) continue;
        const int column = doc.Column(Field::Position);
        // A range names its ends in order, of one letter code.
        for (std::size_t at = text.find("..."); at != std::string::npos; at = text.find("...", at + 3)) {
            std::size_t from = text.find_last_of(", ;", at);
            from = from == std::string::npos ? 0 : from + 1;
            std::size_t to = text.find_first_of(", ;", at);
            to = to == std::string::npos ? text.size() : to;
            const auto a = import::ParseDesignator(text.substr(from, at - from));
            const auto b = import::ParseDesignator(text.substr(at + 3, to - at - 3));
            if (!a || !b || a->letters != b->letters || a->number >= b->number)
                report.At(r.row, column, Message("\"{1}\" is not a range of one group in ascending order"),
                          {text.substr(from, to - from)});
        }
        // The elements of one row have consecutive numbers of one group.
        const auto ds = DesignatedOf(text);
        for (std::size_t i = 1; i < ds.size(); ++i) {
            if (ds[i].letters != ds[i - 1].letters || ds[i].number != ds[i - 1].number + 1) {
                report.At(r.row, column,
                          Message("\"{1}\": the elements of one row have consecutive numbers of one group"), {text});
                break;
            }
        }
    }
}

void ElementQuantity(const Document& doc, Report& report) {
    if (!IsElements(doc) || !doc.Column(Field::Quantity)) return;
    for (const ListRow& r : doc.Rows()) {
        if (r[Field::Position].empty() && r[Field::Quantity].empty()) continue;
        const auto n = import::DesignatorsOf(r[Field::Position]).size();
        const auto q = WholeNumber(r[Field::Quantity]);
        if (!q || *q != static_cast<long>(n))
            report.At(r.row, doc.Column(Field::Quantity),
                      Message("\"Кол.\" shows \"{1}\"; the row names {2} elements"),
                      {r[Field::Quantity], std::to_string(n)});
    }
}

void ElementHeadings(const Document& doc, Report& report) {
    if (!IsElements(doc)) return;
    const auto& rows = doc.Rows();
    for (const Block& b : BlocksOf(doc)) {
        if (b.heading.empty() || b.entries.empty()) continue;
        const ListRow& head = rows[b.heading.front()];
        const auto ds = DesignatedOf(rows[b.entries.front().first][Field::Position]);
        if (ds.empty()) continue;
        const import::Kind* kind = import::KindOf(ds.front().letters, import::Convention::Unknown);
        if (!kind || std::string(kind->one) == kind->many) continue;
        const std::string& name = head[Field::Name];
        const std::string word = import::LowerText(name.substr(0, name.find(' ')));
        if (word == import::LowerText(kind->one))
            report.At(head.row, doc.Column(Field::Name),
                      Message("the heading of a group names its elements in the plural (\"{1}\", not \"{2}\")"),
                      {kind->many, name.substr(0, name.find(' '))});
    }
}

void ElementSpacing(const Document& doc, Report& report) {
    if (!IsElements(doc)) return;
    const auto blocks = BlocksOf(doc);
    std::map<int, int> runs;
    for (std::size_t i = 1; i < blocks.size(); ++i)
        if (!blocks[i].gapAtSheetEnd) ++runs[blocks[i].emptyBefore];
    if (runs.size() < 2) return;
    const int usual = std::max_element(runs.begin(), runs.end(), [](const auto& a, const auto& b) {
                          return a.second < b.second || (a.second == b.second && a.first > b.first);
                      })->first;
    for (std::size_t i = 1; i < blocks.size(); ++i) {
        const Block& b = blocks[i];
        if (b.gapAtSheetEnd || b.emptyBefore == usual) continue;
        const std::size_t first = b.heading.empty() ? b.entries.front().first : b.heading.front();
        report.At(doc.Rows()[first].row, doc.Column(Field::Position),
                  Message("{1} empty rows before this group, {2} between the others"),
                  {std::to_string(b.emptyBefore), std::to_string(usual)});
    }
}

// ------------------------------------------------------------------ specification

bool IsSpecification(const Document& doc) {
    return (doc.Kind() == DocKind::SPA || doc.Kind() == DocKind::SPB) && doc.Column(Field::Name);
}

void SpecSections(const Document& doc, Report& report) {
    if (!IsSpecification(doc)) return;
    int last = -1;
    std::map<int, int> seen;
    for (const ListRow& r : doc.Rows()) {
        if (StartsEntry(r)) continue;
        const int s = SectionIndex(r[Field::Name]);
        if (s < 0) continue;
        const int column = doc.Column(Field::Name);
        if (const auto it = seen.find(s); it != seen.end())
            report.At(r.row, column, Message("the section \"{1}\" appears again (first in row {2})"),
                      {kSections[s], std::to_string(it->second)});
        else if (s < last)
            report.At(r.row, column, Message("the section \"{1}\" stands after \"{2}\""), {kSections[s], kSections[last]});
        seen.emplace(s, r.row);
        last = std::max(last, s);
    }
}

void SpecPositions(const Document& doc, Report& report) {
    if (!IsSpecification(doc) || !doc.Column(Field::Position)) return;
    std::map<long, int> seen;
    long last = 0;
    for (const ListRow& r : doc.Rows()) {
        const std::string& text = r[Field::Position];
        if (text.empty()) continue;
        const int column = doc.Column(Field::Position);
        const auto n = WholeNumber(text);
        if (!n) {
            report.At(r.row, column, Message("the position \"{1}\" is not a number"), {text});
            continue;
        }
        if (const auto it = seen.find(*n); it != seen.end())
            report.At(r.row, column, Message("the position {1} is given again (first in row {2})"),
                      {text, std::to_string(it->second)});
        else if (*n < last)
            report.At(r.row, column, Message("the position {1} stands after {2}: positions go up"),
                      {text, std::to_string(last)});
        seen.emplace(*n, r.row);
        last = std::max(last, *n);
    }
}

void SpecFormat(const Document& doc, Report& report) {
    if (!IsSpecification(doc) || !doc.Column(Field::Format) || !doc.Column(Field::Designation)) return;
    int section = -1;
    for (const ListRow& r : doc.Rows()) {
        if (!StartsEntry(r)) {
            if (const int s = SectionIndex(r[Field::Name]); s >= 0) section = s;
            continue;
        }
        // Documentation, complexes, assembly units, parts and kits are entered by
        // their documents; standard and other products and materials are not.
        const bool documented = section <= 3 || section == 7;
        if (documented && !r[Field::Designation].empty() && r[Field::Format].empty())
            report.At(r.row, doc.Column(Field::Format), Message("\"Формат\" is empty for the document {1}"),
                      {r[Field::Designation]});
    }
}

// ------------------------------------------------------------------ purchased products

void PurchasedTotal(const Document& doc, Report& report) {
    if (doc.Kind() != DocKind::VPA || !doc.Column(Field::Total)) return;
    for (const ListRow& r : doc.Rows()) {
        const std::string* parts[] = {&r[Field::PerProduct], &r[Field::InSets], &r[Field::ForTuning]};
        if (std::all_of(std::begin(parts), std::end(parts), [](const std::string* p) { return p->empty(); }) &&
            r[Field::Total].empty())
            continue;
        double sum = 0;
        bool numbers = true;
        for (const std::string* p : parts) {
            if (p->empty()) continue;
            const auto q = Quantity(*p);
            numbers = numbers && q.has_value();
            if (q) sum += *q;
        }
        const auto total = Quantity(r[Field::Total]);
        if (!numbers || !total || std::abs(*total - sum) > 1e-9 * std::max(1.0, sum))
            report.At(r.row, doc.Column(Field::Total), Message("\"всего\" shows \"{1}\"; its columns add up to {2}"),
                      {r[Field::Total], numbers ? Number(sum) : "—"});
    }
}

void PurchasedWhereUsed(const Document& doc, Report& report) {
    if (doc.Kind() != DocKind::VPA || !doc.Column(Field::WhereUsed)) return;
    for (const ListRow& r : doc.Rows()) {
        const bool counted = !r[Field::PerProduct].empty() || !r[Field::InSets].empty() ||
                             !r[Field::ForTuning].empty() || !r[Field::Total].empty();
        if (counted && r[Field::WhereUsed].empty())
            report.At(r.row, doc.Column(Field::WhereUsed), Message("\"Куда входит\" is empty for \"{1}\""),
                      {r[Field::Name]});
    }
}

// ------------------------------------------------------------------ values

/// The unit of the main parameter a product's name begins with ("Резистор", "Конденсаторы").
import::MainUnit UnitOfName(const std::string& name) {
    const std::string word = import::LowerText(name.substr(0, name.find(' ')));
    for (const char* code : {"R", "C", "L", "BQ"}) {
        const import::Kind* k = import::KindOf(code, import::Convention::Unknown);
        if (k && (word == import::LowerText(k->one) || word == import::LowerText(k->many))) return k->unit;
    }
    return import::MainUnit::None;
}

/// Digits with at most one decimal separator between them ("33", "0,125", "4.7").
bool IsNumber(const std::string& t) {
    const std::size_t separator = t.find_first_of(".,");
    return !t.empty() && t.find_first_not_of("0123456789.,") == std::string::npos && separator != 0 &&
           separator + 1 != t.size() && t.find_first_of(".,", separator == std::string::npos ? t.size() : separator + 1) ==
                                            std::string::npos;
}

/// The words of a name that the import would write otherwise ("10k", "2.2uF",
/// "0.125", "50V"), each with how it writes them.
void CheckValues(const Document& doc, int row, int column, const std::string& text, import::MainUnit unit,
                 Report& report) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find_first_of(" \n", at), text.size());
        if (end > at) words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    auto check = [&](const std::string& written, const std::string& wanted) {
        if (!wanted.empty() && wanted != written)
            report.At(row, column,
                      Message("\"{1}\" is written \"{2}\" (a decimal comma and the unit symbols of GOST 8.417)"),
                      {written, wanted});
    };
    auto comma = [](std::string t) {
        std::replace(t.begin(), t.end(), '.', ',');
        return t;
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        // The designations of standards keep their points ("ГОСТ 2.105-95").
        if (i > 0 && (words[i - 1] == "ГОСТ" || words[i - 1] == "ОСТ" || words[i - 1] == "ТУ")) continue;
        if (IsNumber(w)) {
            // A number before a unit word is checked with it ("4.7 uF", "50 V").
            if (i + 1 < words.size() && words[i + 1].find_first_of("0123456789") == std::string::npos) {
                const std::string pair = w + " " + words[i + 1];
                const std::string wanted = import::FormatValue(pair, unit).text;
                if (wanted != pair) {
                    check(pair, wanted);
                    ++i;
                    continue;
                }
            }
            check(w, comma(w));
            continue;
        }
        // The parts of a type written with hyphens ("К73-17 63V-0.47uF").
        for (std::size_t at = 0; at <= w.size();) {
            const std::size_t end = std::min(w.find('-', at), w.size());
            const std::string part = w.substr(at, end - at);
            if (!part.empty()) check(part, IsNumber(part) ? comma(part) : import::FormatValue(part, unit).text);
            at = end + 1;
        }
    }
    (void)doc;
}

void Values(const Document& doc, Report& report) {
    const int column = doc.Column(Field::Name);
    if (!column) return;
    const DocKind kind = doc.Kind();
    if (kind != DocKind::PE && kind != DocKind::VPA && kind != DocKind::SPA && kind != DocKind::SPB) return;
    const auto& rows = doc.Rows();
    // The unit of an entry's main parameter: by its letter code (a list of
    // elements), else by the first word of its name or of its group's heading.
    const auto unitOf = [&](const Block& b, std::size_t first) {
        const auto ds = DesignatedOf(rows[first][Field::Position]);
        if (!ds.empty())
            if (const import::Kind* k = import::KindOf(ds.front().letters, import::Convention::Unknown)) return k->unit;
        const auto u = UnitOfName(rows[first][Field::Name]);
        if (u == import::MainUnit::None && !b.heading.empty()) return UnitOfName(rows[b.heading.front()][Field::Name]);
        return u;
    };
    for (const Block& b : BlocksOf(doc)) {
        for (const std::size_t h : b.heading)
            CheckValues(doc, rows[h].row, column, rows[h][Field::Name],
                        b.entries.empty() ? import::MainUnit::None : unitOf(b, b.entries.front().first), report);
        for (const Entry& e : b.entries)
            for (std::size_t i = e.first; i <= e.last; ++i)
                CheckValues(doc, rows[i].row, column, rows[i][Field::Name], unitOf(b, e.first), report);
    }
}

// ------------------------------------------------------------------ the form itself

void Form(const Document& doc, Report& report) {
    if (doc.Formed() && doc.FormFault()) report.At(doc.FormFaultRow(), 1, doc.FormFault(), doc.FormFaultArgs());
}

// ------------------------------------------------------------------ as it prints

/// Texts the print cuts at their field's edge: wider than the field even condensed
/// to 80 %, measured with the drafting font's metrics (the renderer's own list).
void TextFits(const Document& doc, Report& report) {
    if (!doc.Geometry() || doc.FormFault()) return;
    for (const render::ClippedText& c : render::ClippedTexts(doc.Sheet(), doc.State())) {
        const std::size_t digits = c.cell.find_first_of("0123456789");
        if (digits == 0 || digits == std::string::npos) continue;
        const int column = text::ColumnNumber(std::string_view(c.cell).substr(0, digits));
        const int row = std::atoi(c.cell.c_str() + digits);
        char needed[32], available[32];
        std::snprintf(needed, sizeof needed, "%.1f", c.neededMm * 0.8);
        std::snprintf(available, sizeof available, "%.1f", c.availableMm);
        for (char* p : {needed, available})
            for (char* q = p; *q; ++q)
                if (*q == '.') *q = ',';
        report.At(row, column, Message("\"{1}\" on sheet {2} is cut in print: {3} mm condensed, the field {4} mm"),
                  {c.text, std::to_string(c.page), needed, available});
    }
}

/// The sheet breaks of a formed list, one kind of fault each.
void BreaksOf(const Document& doc, Report& report, lists::BreakFault what, const char* message) {
    if (!doc.Geometry() || doc.FormFault()) return;
    for (const forming::BreakPlace& b : forming::SheetBreakFaults(doc.Sheet()))
        if (b.what == what) report.At(b.row, doc.Column(Field::Name) ? doc.Column(Field::Name) : 1, message,
                                      {std::to_string(b.sheet)});
}

void HeadingAlone(const Document& doc, Report& report) {
    BreaksOf(doc, report, lists::BreakFault::HeadingAlone,
             Message("a heading is the last row of sheet {1}: its first entry is on the next sheet"));
}

void EntrySplit(const Document& doc, Report& report) {
    BreaksOf(doc, report, lists::BreakFault::EntrySplit,
             Message("an entry is split across sheets: it continues at the top of sheet {1}"));
}

void EmptyTop(const Document& doc, Report& report) {
    BreaksOf(doc, report, lists::BreakFault::EmptyTop, Message("sheet {1} begins with empty rows"));
}

/// Gathers a rule's findings.
class Gather : public Report {
public:
    Gather(const host::Worksheet& sheet, const Rule& rule, std::vector<Finding>& out)
        : sheet_(sheet.Name()), rule_(rule), out_(out) {}
    void At(int row, int column, const char* message, std::vector<std::string> args) override {
        out_.push_back({sheet_, CellName(std::max(row, 1), std::max(column, 1)), rule_.id, rule_.severity, message,
                        std::move(args)});
        rows_.push_back({row, column});
    }
    using Report::At;
    std::vector<std::pair<int, int>> rows_;

private:
    std::string sheet_;
    const Rule& rule_;
    std::vector<Finding>& out_;
};

}  // namespace

const std::vector<Rule>& Rules() {
    // The clauses: docs/check.md. The rules whose basis other modules provide (a
    // text wider than its printed field, a heading alone at a sheet's end, an entry
    // split across sheets, a sheet that begins with empty rows) are entries of
    // this table that call those modules.
    static const std::vector<Rule> rules = {
        {"form", Severity::Error, "ГОСТ 2.104-2006, 4", true, &Form},
        {"title-filled", Severity::Error, "ГОСТ 2.104-2006, 4.3 (графы 1, 2, 4, 9, 11)", true, &TitleFilled},
        {"title-dates", Severity::Error, "ГОСТ 2.104-2006, 4.3 (графы 11, 13)", true, &TitleDates},
        {"designation-form", Severity::Error, "ГОСТ 2.201-80, 2.2–2.5", true, &DesignationForm},
        {"document-code", Severity::Error, "ГОСТ 2.102-2013, 5.2 (таблица 3)", true,
         &DocumentCode},
        {"sheet-count", Severity::Error, "ГОСТ 2.104-2006, 4.3 (графа 8); ГОСТ 2.503-2013", true, &SheetCount},
        {"sheet-numbers", Severity::Error, "ГОСТ 2.104-2006, 4.3 (графа 7)", true, &SheetNumbers},
        {"registration", Severity::Error, "ГОСТ 2.503-2013 (лист регистрации изменений; графы 14–16 основной надписи)", true,
         &Registration},
        {"pe-designators", Severity::Error, "ГОСТ 2.701-2008, 5.6", false, &ElementDesignators},
        {"pe-order", Severity::Error, "ГОСТ 2.701-2008, 5.6", false, &ElementOrder},
        {"pe-ranges", Severity::Error, "ГОСТ 2.701-2008, 5.6", false, &ElementRanges},
        {"pe-quantity", Severity::Error, "ГОСТ 2.701-2008, 5.6", false, &ElementQuantity},
        {"pe-headings", Severity::Warning, "ГОСТ 2.701-2008, 5.6", false, &ElementHeadings},
        {"pe-spacing", Severity::Warning, "ГОСТ 2.701-2008, 5.6", false, &ElementSpacing},
        {"spec-sections", Severity::Error, "ГОСТ 2.106-96, 3.4 (ГОСТ Р 2.106-2019)", false, &SpecSections},
        {"spec-positions", Severity::Error, "ГОСТ 2.106-96, 3.7", false, &SpecPositions},
        {"spec-format", Severity::Error, "ГОСТ 2.106-96, 3.7 (графа «Формат»)", false, &SpecFormat},
        {"vpa-total", Severity::Error, "ГОСТ 2.106-96, 5 (ведомость покупных изделий, графа «Количество»)", false, &PurchasedTotal},
        {"vpa-where-used", Severity::Error, "ГОСТ 2.106-96, 5 (графа «Куда входит»)", false,
         &PurchasedWhereUsed},
        {"text-fits", Severity::Error, "ГОСТ 2.304-81 (размеры шрифта); ГОСТ 2.104-2006 (графы основной надписи)", true, &TextFits},
        {"heading-alone", Severity::Error, "ГОСТ 2.105-95 (заголовок не отрывается от текста)", true, &HeadingAlone},
        {"entry-split", Severity::Error, "ГОСТ 2.106-96, ГОСТ 2.701-2008 (запись по строкам)", true, &EntrySplit},
        {"empty-top", Severity::Warning, "ГОСТ 2.106-96, ГОСТ 2.701-2008 (свободные строки между группами)", true, &EmptyTop},
        {"values", Severity::Warning, "ГОСТ 8.417-2002, 8 (обозначения единиц); ГОСТ 2.105-95, 4.2", false, &Values},
    };
    return rules;
}

bool Checkable(const host::Worksheet& sheet) {
    const auto state = recognition::StateOf(sheet);
    return IsListState(state) || IsFormedState(state);
}

std::vector<Finding> CheckSheet(const host::Worksheet& sheet, Date today, const std::vector<Rule>& rules) {
    std::vector<Finding> out;
    if (!Checkable(sheet)) return out;
    const Document doc(sheet, today);
    std::vector<std::pair<int, int>> where;
    for (const Rule& rule : rules) {
        if (rule.formedOnly && !doc.Formed()) continue;
        Gather gather(sheet, rule, out);
        rule.run(doc, gather);
        where.insert(where.end(), gather.rows_.begin(), gather.rows_.end());
    }
    // Row by row, each row's findings in the table's order.
    std::vector<std::size_t> order(out.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return where[a] < where[b]; });
    std::vector<Finding> sorted;
    sorted.reserve(out.size());
    for (const std::size_t i : order) sorted.push_back(std::move(out[i]));
    return sorted;
}

}  // namespace ormelin::check
