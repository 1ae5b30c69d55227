// KiCad's netlist (.net, an S-expression) and the XML its BOM plug-ins read
// (.xml), as a table of one row per component: "Reference", "Value", "DNP" and
// the component's fields by their names.
#include <algorithm>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <sstream>

#include "import/bom.hpp"

namespace ormelin::import {

namespace {

bool EndsWith(std::string path, std::string_view end) {
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
    return path.size() >= end.size() && path.compare(path.size() - end.size(), end.size(), end) == 0;
}

/// One component as read.
struct Component {
    std::string ref, value;
    std::vector<std::pair<std::string, std::string>> fields;
    bool dnp = false, excluded = false;
    int line = 0;
};

/// The components as a table; a reference named again (a unit of a multi-unit
/// symbol in older files) is the same component, counted once. Components
/// excluded from the BOM are left out.
Table TableOf(const std::string& file, const std::vector<Component>& components) {
    Table t;
    t.file = file;
    t.namedColumns = true;
    t.head = {"Reference", "Value", "DNP"};
    std::map<std::string, std::size_t> column;
    for (const auto& c : components) {
        for (const auto& [name, value] : c.fields) {
            if (column.count(name) || name == "Reference" || name == "Value" || name == "DNP") continue;
            column.emplace(name, t.head.size());
            t.head.push_back(name);
        }
    }
    std::map<std::string, bool> seen;
    for (const auto& c : components) {
        if (c.excluded || !seen.emplace(c.ref, true).second) continue;
        std::vector<std::string> row(t.head.size());
        row[0] = c.ref;
        row[1] = c.value;
        row[2] = c.dnp ? "DNP" : "";
        for (const auto& [name, value] : c.fields) {
            if (auto it = column.find(name); it != column.end()) row[it->second] = value;
        }
        t.rows.push_back(std::move(row));
        t.lines.push_back(c.line);
    }
    return t;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BomError(path, 0, 0, "cannot be read");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// ---------------------------------------------------------------- S-expression

struct Sexp {
    std::string atom;   // an atom, or the head of a list
    std::vector<Sexp> items;
    bool list = false;
    int line = 0;
};

class SexpParser {
public:
    SexpParser(const std::string& file, std::string_view text) : file_(file), text_(text) {}

    Sexp Parse() {
        Blanks();
        if (at_ >= text_.size() || text_[at_] != '(') throw BomError(file_, line_, 0, "is no KiCad netlist (no \"(\" at its start)");
        Sexp root = Item(0);
        return root;
    }

private:
    void Blanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n')) {
            if (text_[at_] == '\n') ++line_;
            ++at_;
        }
    }
    Sexp Item(int depth) {
        Sexp s;
        s.line = line_;
        if (depth > 200) throw BomError(file_, line_, 0, "nests lists too deep");
        if (text_[at_] == '(') {
            ++at_;
            s.list = true;
            for (;;) {
                Blanks();
                if (at_ >= text_.size()) throw BomError(file_, s.line, 0, "a list is not closed");
                if (text_[at_] == ')') {
                    ++at_;
                    return s;
                }
                s.items.push_back(Item(depth + 1));
            }
        }
        if (text_[at_] == '"') {
            ++at_;
            while (at_ < text_.size() && text_[at_] != '"') {
                if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
                if (text_[at_] == '\n') ++line_;
                s.atom += text_[at_++];
            }
            if (at_ >= text_.size()) throw BomError(file_, s.line, 0, "a quoted text is not closed");
            ++at_;
            return s;
        }
        while (at_ < text_.size() && text_[at_] != ' ' && text_[at_] != '\t' && text_[at_] != '\r' && text_[at_] != '\n' &&
               text_[at_] != '(' && text_[at_] != ')') {
            s.atom += text_[at_++];
        }
        return s;
    }

    const std::string& file_;
    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
};

/// The head atom of a list item.
std::string_view HeadOf(const Sexp& s) {
    return s.list && !s.items.empty() && !s.items[0].list ? std::string_view(s.items[0].atom) : std::string_view();
}

/// The first atom after the head of (name X).
std::string ValueOf(const Sexp& s) { return s.items.size() > 1 && !s.items[1].list ? s.items[1].atom : std::string(); }

const Sexp* Child(const Sexp& s, std::string_view head) {
    for (const auto& i : s.items) {
        if (HeadOf(i) == head) return &i;
    }
    return nullptr;
}

std::vector<Component> SexpComponents(const std::string& file, const std::string& text) {
    const Sexp root = SexpParser(file, text).Parse();
    const Sexp* components = Child(root, "components");
    if (HeadOf(root) != "export" || !components) throw BomError(file, 1, 0, "is no KiCad netlist (no components)");
    std::vector<Component> out;
    for (const auto& comp : components->items) {
        if (HeadOf(comp) != "comp") continue;
        Component c;
        c.line = comp.line;
        for (const auto& item : comp.items) {
            const std::string_view head = HeadOf(item);
            if (head == "ref") {
                c.ref = ValueOf(item);
            } else if (head == "value") {
                c.value = ValueOf(item);
            } else if (head == "fields") {
                for (const auto& field : item.items) {
                    const Sexp* name = HeadOf(field) == "field" ? Child(field, "name") : nullptr;
                    if (!name) continue;
                    std::string value;
                    for (std::size_t k = 1; k < field.items.size(); ++k) {
                        if (!field.items[k].list) value = field.items[k].atom;
                    }
                    c.fields.emplace_back(ValueOf(*name), value);
                }
            } else if (head == "property") {
                const Sexp* name = Child(item, "name");
                const Sexp* value = Child(item, "value");
                const std::string n = name ? ValueOf(*name) : std::string();
                const bool off = value && (ValueOf(*value) == "0" || ValueOf(*value) == "false");
                if (n == "dnp") c.dnp = !off;
                if (n == "exclude_from_bom") c.excluded = !off;
            }
        }
        if (c.ref.empty()) throw BomError(file, c.line, 0, "a component has no reference");
        out.push_back(std::move(c));
    }
    return out;
}

// ---------------------------------------------------------------- XML

std::vector<Component> XmlComponents(const std::string& file, const std::string& text) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    auto lineAt = [&](std::ptrdiff_t offset) {
        const auto end = text.begin() + std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text.size()));
        return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
    };
    if (!parsed) throw BomError(file, lineAt(parsed.offset), 0, std::string("is no well-formed XML: ") + parsed.description());
    const pugi::xml_node components = doc.child("export").child("components");
    if (!components) throw BomError(file, 1, 0, "is no KiCad netlist (no <export><components>)");
    std::vector<Component> out;
    for (const pugi::xml_node comp : components.children("comp")) {
        Component c;
        c.line = lineAt(comp.offset_debug());
        c.ref = comp.attribute("ref").value();
        c.value = comp.child("value").text().get();
        for (const pugi::xml_node field : comp.child("fields").children("field")) {
            c.fields.emplace_back(field.attribute("name").value(), field.text().get());
        }
        for (const pugi::xml_node property : comp.children("property")) {
            const std::string name = property.attribute("name").value();
            const std::string value = property.attribute("value").value();
            const bool off = value == "0" || value == "false";
            if (name == "dnp") c.dnp = !off;
            if (name == "exclude_from_bom") c.excluded = !off;
        }
        if (c.ref.empty()) throw BomError(file, c.line, 0, "a component has no reference");
        out.push_back(std::move(c));
    }
    return out;
}

}  // namespace

bool IsNetlistPath(const std::string& path) { return EndsWith(path, ".net") || EndsWith(path, ".xml"); }

Table ReadNetlist(const std::string& path) {
    const std::string text = Bytes(path);
    return TableOf(path, EndsWith(path, ".xml") ? XmlComponents(path, text) : SexpComponents(path, text));
}

}  // namespace ormelin::import
