// The rules that turn BOM elements into list rows: the list of elements (groups
// by letter code, runs of consecutive numbers, group headings), the list of
// purchased products and the specification's "Прочие изделия".
#include <algorithm>
#include <map>
#include <tuple>

#include "import/bom.hpp"

namespace ormelin::import {

namespace {

/// The values of the elements in the form of the drafting rules (unless raw)
/// with the magnitude of their main parameter.
void NameValues(std::vector<Element>& elements, const Naming& naming) {
    for (auto& e : elements) {
        const Kind* k = e.letters.empty() ? nullptr : KindOf(e.letters, naming.convention);
        GostValue v = FormatValue(e.value, k ? k->unit : MainUnit::None);
        e.magnitude = v.magnitude;
        if (!naming.rawValues) e.value = std::move(v.text);
    }
}

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (auto p : parts) {
        if (p.empty()) continue;
        if (!out.empty()) out += ' ';
        out += p;
    }
    return out;
}

/// The product text of an element: type, value and its document (or maker).
std::string FullText(const Element& e) { return Join({e.type, e.value, e.manufacturer}); }

/// The product text led by the kind's singular name, unless it begins with a
/// kind's name of its own ("Конденсатор К10-17б", "Стабилитрон КС133А").
std::string NamedText(const Element& e, bool withDocument, const Naming& naming) {
    const std::string text = Join({e.type, e.value, withDocument ? e.manufacturer : ""});
    const Kind* k = KindOf(e.letters, naming.convention);
    if (!k || !KindWordOf(text).empty()) return text;
    return Join({k->one, text});
}

bool SameParameters(const Element& a, const Element& b) {
    return std::tie(a.type, a.value, a.manufacturer, a.note, a.dnp) ==
           std::tie(b.type, b.value, b.manufacturer, b.note, b.dnp);
}

bool ByDesignator(const Element& a, const Element& b) { return DesignatorLess(a, b); }

/// b follows a in a run: both plain, of one code, b's number the next.
bool Follows(const Element& a, const Element& b) {
    return a.plain && b.plain && a.letters == b.letters && b.number == a.number + 1;
}

/// The designators of a run from first to last.
std::string RunOf(const Element& first, const Element& last) {
    if (&first == &last || first.designator == last.designator) return first.designator;
    return RunText(first.letters, first.number, last.number);
}

std::string Note(const Element& e) {
    if (!e.dnp) return e.note;
    return e.note.empty() ? kNotFitted : e.note + " " + kNotFitted;
}

/// The designators of elements ("R1...R4, R7, VD1"), runs of consecutive numbers joined.
std::string DesignatorsText(std::vector<const Element*> es) {
    std::sort(es.begin(), es.end(), [](const Element* a, const Element* b) { return ByDesignator(*a, *b); });
    std::string out;
    for (std::size_t i = 0; i < es.size();) {
        std::size_t j = i;
        while (j + 1 < es.size() && Follows(*es[j], *es[j + 1])) ++j;
        out += (out.empty() ? "" : ", ") + RunOf(*es[i], *es[j]);
        i = j + 1;
    }
    return out;
}

using ProductKey = std::tuple<std::string, std::string, std::string>;
ProductKey KeyOf(const Element& e) { return {e.type, e.value, e.manufacturer}; }

/// The order of products in "Прочие изделия" and the list of purchased products
/// (GOST 2.106): by groups of like products (the first word of the name: the
/// kind), the groups and the names within them alphabetically, and within one
/// name by the main parameter ascending (10 Ом, 1 кОм, 4,7 кОм).
struct ProductOrder {
    std::string group, type;
    std::optional<double> magnitude;
    std::string value, rest;

    bool operator<(const ProductOrder& o) const {
        if (group != o.group) return group < o.group;
        if (type != o.type) return type < o.type;
        if (magnitude.has_value() != o.magnitude.has_value()) return magnitude.has_value();
        if (magnitude && *magnitude != *o.magnitude) return *magnitude < *o.magnitude;
        return std::tie(value, rest) < std::tie(o.value, o.rest);
    }
};

ProductOrder OrderOf(const Element& e, const Naming& naming) {
    const std::string name = NamedText(e, true, naming);
    ProductOrder o;
    o.group = LowerText(std::string_view(name).substr(0, name.find(' ')));
    o.type = LowerText(e.type);
    o.magnitude = e.magnitude;
    o.value = LowerText(e.value);
    o.rest = LowerText(name);
    return o;
}

/// The products of the elements in the order of GOST 2.106 (ProductOrder), each
/// with its elements in the order of their designators; not-fitted elements left out.
std::vector<std::vector<const Element*>> Products(std::vector<Element>& elements, const Naming& naming) {
    NameValues(elements, naming);
    std::stable_sort(elements.begin(), elements.end(), [](const Element& a, const Element& b) {
        if (a.letters.empty() != b.letters.empty()) return b.letters.empty();
        return !a.letters.empty() && ByDesignator(a, b);
    });
    std::vector<std::vector<const Element*>> out;
    std::map<std::pair<std::string, ProductKey>, std::size_t> index;
    for (const auto& e : elements) {
        if (e.dnp) continue;
        // Products of different kinds stay apart even with equal texts.
        const Kind* k = KindOf(e.letters, naming.convention);
        auto [it, fresh] = index.emplace(std::make_pair(std::string(k ? k->one : ""), KeyOf(e)), out.size());
        if (fresh) out.emplace_back();
        out[it->second].push_back(&e);
    }
    std::vector<std::pair<ProductOrder, std::size_t>> order;
    order.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) order.emplace_back(OrderOf(*out[i].front(), naming), i);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::vector<const Element*>> sorted;
    sorted.reserve(out.size());
    for (const auto& [key, i] : order) sorted.push_back(std::move(out[i]));
    return sorted;
}

int Quantity(const std::vector<const Element*>& es) {
    int n = 0;
    for (const auto* e : es) n += e->quantity;
    return n;
}

}  // namespace

std::string RunText(const std::string& letters, int first, int last) {
    const std::string a = letters + std::to_string(first);
    if (last == first) return a;
    const std::string b = letters + std::to_string(last);
    return last == first + 1 ? a + ", " + b : a + "..." + b;
}

std::vector<ListRow> ElementListRows(std::vector<Element> elements, const ElementRules& rules, const Naming& naming) {
    std::erase_if(elements, [&](const Element& e) {
        return e.letters.empty() || (e.dnp && rules.dnp == DnpRule::Omit);
    });
    std::sort(elements.begin(), elements.end(), ByDesignator);
    NameValues(elements, naming);

    std::vector<ListRow> out;
    for (std::size_t g = 0; g < elements.size();) {
        std::size_t end = g;
        while (end < elements.size() && elements[end].letters == elements[g].letters) ++end;
        const std::string& letters = elements[g].letters;
        const Kind* kind = KindOf(letters, naming.convention);

        // The runs of the group: consecutive numbers with equal parameters.
        struct Run {
            std::size_t first, last;
        };
        std::vector<Run> runs;
        for (std::size_t i = g; i < end; ++i) {
            if (!runs.empty()) {
                const Element& prev = elements[runs.back().last];
                if (Follows(prev, elements[i]) && SameParameters(elements[i], prev)) {
                    runs.back().last = i;
                    continue;
                }
            }
            runs.push_back({i, i});
        }

        // A common type and document go into the heading; each row keeps the rest.
        const Element& lead = elements[g];
        bool common = kind && runs.size() > 1 && !lead.type.empty() && KindWordOf(lead.type).empty();
        for (std::size_t i = g; i < end && common; ++i) {
            common = elements[i].type == lead.type && elements[i].manufacturer == lead.manufacturer &&
                     !elements[i].value.empty();
        }

        if (!out.empty()) {
            for (int k = 0; k < rules.rowsBetweenGroups; ++k) out.emplace_back();
        }
        if (kind && runs.size() > 1) {
            ListRow head;
            head.heading = true;
            head.name = common ? Join({kind->many, lead.type, lead.manufacturer}) : kind->many;
            out.push_back(std::move(head));
        }
        for (const auto& run : runs) {
            const Element& e = elements[run.first];
            ListRow row;
            row.designator = RunOf(e, elements[run.last]);
            row.quantity = std::to_string(run.last - run.first + 1);
            row.note = Note(e);
            if (common) {
                row.name = e.value;
            } else if (runs.size() == 1) {
                row.name = NamedText(e, true, naming);
            } else {
                row.name = FullText(e);
            }
            out.push_back(std::move(row));
        }
        g = end;
    }
    return out;
}

std::vector<ListRow> PurchasedRows(std::vector<Element> elements, const std::string& assembly, const Naming& naming) {
    std::vector<ListRow> out;
    for (const auto& product : Products(elements, naming)) {
        const Element& e = *product.front();
        ListRow row;
        row.name = NamedText(e, false, naming);
        row.document = e.manufacturer;
        for (const auto* p : product) {
            if (!p->supplier.empty()) {
                row.supplier = p->supplier;
                break;
            }
        }
        row.assembly = assembly;
        row.quantity = std::to_string(Quantity(product));
        out.push_back(std::move(row));
    }
    return out;
}

std::vector<ListRow> OtherProductRows(std::vector<Element> elements, int firstPosition, const Naming& naming) {
    std::vector<ListRow> out;
    int position = firstPosition;
    for (const auto& product : Products(elements, naming)) {
        const Element& e = *product.front();
        ListRow row;
        if (position > kMaxPosition) {
            throw std::runtime_error("the positions of the imported products would run past " +
                                     std::to_string(kMaxPosition) + ", the largest position");
        }
        row.position = std::to_string(position++);
        row.name = NamedText(e, true, naming);
        row.quantity = std::to_string(Quantity(product));
        std::vector<const Element*> designated;
        for (const auto* p : product) {
            if (!p->letters.empty()) designated.push_back(p);
        }
        row.note = DesignatorsText(designated);
        out.push_back(std::move(row));
    }
    return out;
}

}  // namespace ormelin::import
