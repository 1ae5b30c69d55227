#include "ormelin/attr_doc.hpp"

#include <cstdio>

#include "base/text.hpp"
#include "ormelin/errors.hpp"

namespace ormelin {

namespace {

constexpr std::string_view kBreak = "\r\n";

using text::Trim;

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t hit = s.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(s.substr(pos, hit - pos)).append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

/// Characters (UTF-8 code points) in the first `bytes` bytes of s.
std::size_t CharsBefore(std::string_view s, std::size_t bytes) {
    return text::Length(s.substr(0, bytes));
}

struct Lines {
    std::string l1, l2, l3;
};

/// Splits a composite text into its three lines: line breaks and "_" separate
/// lines; a fourth and further lines run into the third, joined by blanks.
Lines Split(std::string_view text) {
    std::string t = ReplaceAll(text, kBreak, "_");
    Lines out;
    auto take = [](std::string& rest, std::string& line) {
        std::size_t u = rest.find('_');
        if (u == std::string::npos) {
            line = Trim(rest);
            rest.clear();
        } else {
            line = Trim(std::string_view(rest).substr(0, u));
            rest.erase(0, u + 1);
        }
    };
    take(t, out.l1);
    take(t, out.l2);
    for (char& ch : t)
        if (ch == '_') ch = ' ';
    out.l3 = Trim(t);
    return out;
}

/// The lines up to the last non-empty one, joined by line breaks.
std::string Join(const std::string& l1, const std::string& l2, const std::string& l3) {
    int last = !l3.empty() ? 3 : !l2.empty() ? 2 : !l1.empty() ? 1 : 0;
    const std::string* lines[] = {&l1, &l2, &l3};
    std::string out;
    for (int i = 0; i < last; ++i) {
        if (i > 0) out += kBreak;
        out += *lines[i];
    }
    return out;
}

std::string OneLine(const std::string& l1, const std::string& l2, const std::string& l3) {
    std::string r = Trim(l1);
    r = Trim(r + " " + l2);
    r = Trim(r + " " + l3);
    return r;
}

/// "p1" or "p1,p2": character positions of the first two line breaks.
std::string BreakPositions(std::string_view whole) {
    std::size_t b1 = whole.find(kBreak);
    if (b1 == std::string_view::npos) return {};
    std::size_t p1 = CharsBefore(whole, b1) + 1;
    std::size_t b2 = whole.find(kBreak, b1 + 1);
    if (b2 == std::string_view::npos) return std::to_string(p1);
    return std::to_string(p1) + "," + std::to_string(CharsBefore(whole, b2) + 1);
}

std::string CutAtUnderscore(std::string_view s) {
    return std::string(s.substr(0, s.find('_')));
}

using text::EqualsNoCase;

int ArrayIndex(AttrProp p) {
    switch (p) {
        case AttrProp::Stamp: return 0;
        case AttrProp::Post: return 1;
        case AttrProp::Postf: return 2;
        case AttrProp::Postd: return 3;
        default: throw Error(ErrorCode::TypeMismatch, std::string(Info(p).name) + " is not an array");
    }
}

/// The property of a composite that holds its whole text or one of its lines.
AttrProp Member(AttrGroup g, int line) {
    static constexpr AttrProp kMembers[4][4] = {
        {AttrProp::aNaim, AttrProp::aNaim1, AttrProp::aNaim2, AttrProp::aNaim3},
        {AttrProp::aTdoc, AttrProp::aTdoc1, AttrProp::aTdoc2, AttrProp::aTdoc3},
        {AttrProp::aMate, AttrProp::aMate1, AttrProp::aMate2, AttrProp::aMate3},
        {AttrProp::aFirm, AttrProp::aFirm1, AttrProp::aFirm2, AttrProp::aFirm3},
    };
    return kMembers[static_cast<int>(g) - 1][line];
}

std::size_t Slot(AttrProp p) { return static_cast<std::size_t>(p); }

/// A put argument as text, as the automation layer converts it.
std::string VariantText(const Variant& v) {
    if (IsNone(v)) return {};
    if (auto s = std::get_if<std::string>(&v)) return *s;
    if (auto i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
    if (auto b = std::get_if<bool>(&v)) return *b ? "True" : "False";
    if (auto d = std::get_if<double>(&v)) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.15G", *d);
        return buf;
    }
    throw Error(ErrorCode::TypeMismatch);
}

}  // namespace

const std::array<AttrPropInfo, kAttrPropCount>& AttrDocProperties() {
    static const std::array<AttrPropInfo, kAttrPropCount> table = [] {
        std::array<AttrPropInfo, kAttrPropCount> t{};
        std::size_t i = 0;
#define ORMELIN_ATTRDOC_INFO(n, kind, group, line) \
    t[i] = {#n, AttrKind::kind, AttrGroup::group, line, 0}; ++i;
        ORMELIN_ATTRDOC_PROPERTIES(ORMELIN_ATTRDOC_INFO)
#undef ORMELIN_ATTRDOC_INFO
        for (std::size_t k = 0; k < t.size(); ++k)
            t[k].dispid = kAttrDocDispIdBase + static_cast<long>(t.size() - 1 - k);
        return t;
    }();
    return table;
}

const AttrPropInfo& Info(AttrProp p) { return AttrDocProperties()[Slot(p)]; }

std::optional<AttrProp> FindAttrProp(std::string_view name) {
    const auto& t = AttrDocProperties();
    for (std::size_t i = 0; i < t.size(); ++i)
        if (EqualsNoCase(t[i].name, name)) return static_cast<AttrProp>(i);
    return std::nullopt;
}

std::optional<AttrProp> FindAttrProp(long dispid) {
    long k = dispid - kAttrDocDispIdBase;
    if (k < 0 || k >= static_cast<long>(kAttrPropCount)) return std::nullopt;
    return static_cast<AttrProp>(static_cast<long>(kAttrPropCount) - 1 - k);
}

bool AttrTextIsNumeric(std::string_view s) {
    std::size_t i = 0, n = s.size();
    auto blank = [&](std::size_t k) { return s[k] == ' ' || s[k] == '\t'; };
    while (i < n && blank(i)) ++i;
    while (n > i && blank(n - 1)) --n;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    bool digits = false, separator = false;
    for (; i < n; ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        bool expDigits = false;
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            expDigits = true;
            ++i;
        }
        if (!expDigits) return false;
    }
    return i == n;
}

AttrDoc::AttrDoc() { Clear(); }

void AttrDoc::Clear() {
    for (auto& t : texts_) t.clear();
}

std::string AttrDoc::Joined(AttrGroup g) const {
    return Join(texts_[Slot(Member(g, 1))], texts_[Slot(Member(g, 2))], texts_[Slot(Member(g, 3))]);
}

std::string AttrDoc::Get(AttrProp p) const {
    const AttrPropInfo& info = Info(p);
    const std::string& stored = texts_[Slot(p)];
    switch (info.kind) {
        case AttrKind::Array:
            throw Error(ErrorCode::TypeMismatch, std::string(info.name) + " is an array");
        case AttrKind::Text:
        case AttrKind::Cut:
        case AttrKind::Line:
            return stored;
        case AttrKind::Numeric:
            return AttrTextIsNumeric(stored) ? stored : std::string();
        case AttrKind::Whole:
            if (!stored.empty() || info.group == AttrGroup::Tdoc) return stored;
            return Joined(info.group);
        case AttrKind::OneLine:
            return OneLine(texts_[Slot(Member(info.group, 1))], texts_[Slot(Member(info.group, 2))],
                           texts_[Slot(Member(info.group, 3))]);
        case AttrKind::Breaks:
            return BreakPositions(texts_[Slot(Member(info.group, 0))]);
    }
    return stored;
}

void AttrDoc::Let(AttrProp p, std::string_view value) {
    const AttrPropInfo& info = Info(p);
    switch (info.kind) {
        case AttrKind::Array:
            throw Error(ErrorCode::TypeMismatch, std::string(info.name) + " is an array");
        case AttrKind::OneLine:
        case AttrKind::Breaks:
            throw Error(ErrorCode::InvalidArgument, std::string(info.name) + " is read-only");
        case AttrKind::Cut:
            texts_[Slot(p)] = CutAtUnderscore(value);
            return;
        case AttrKind::Whole: {
            Lines lines = Split(value);
            texts_[Slot(p)] = std::string(value);
            texts_[Slot(Member(info.group, 1))] = std::move(lines.l1);
            texts_[Slot(Member(info.group, 2))] = std::move(lines.l2);
            texts_[Slot(Member(info.group, 3))] = std::move(lines.l3);
            return;
        }
        case AttrKind::Text:
        case AttrKind::Numeric:
        case AttrKind::Line:
            texts_[Slot(p)] = std::string(value);
            return;
    }
}

const std::vector<std::string>& AttrDoc::GetArray(AttrProp p) const {
    return arrays_[static_cast<std::size_t>(ArrayIndex(p))];
}

void AttrDoc::LetArray(AttrProp p, std::vector<std::string> value) {
    arrays_[static_cast<std::size_t>(ArrayIndex(p))] = std::move(value);
}

void AttrDoc::LetArrayVariant(AttrProp p, const Variant& v) {
    auto a = std::get_if<std::vector<std::string>>(&v);
    if (!a) throw Error(ErrorCode::TypeMismatch, std::string(Info(p).name) + " takes an array of texts");
    LetArray(p, *a);
}

std::string AttrDoc::GetText(std::string_view name) const {
    auto p = FindAttrProp(name);
    if (!p) throw Error(ErrorCode::InvalidArgument, "Unknown attribute: " + std::string(name));
    return Get(*p);
}

void AttrDoc::LetText(std::string_view name, std::string_view value) {
    auto p = FindAttrProp(name);
    if (!p) throw Error(ErrorCode::InvalidArgument, "Unknown attribute: " + std::string(name));
    Let(*p, value);
}

std::optional<long> AttrDoc::GetIDOfName(std::string_view name) {
    if (EqualsNoCase(name, "Clear")) return kAttrDocClearDispId;
    if (auto p = FindAttrProp(name)) return Info(*p).dispid;
    return std::nullopt;
}

Variant AttrDoc::Invoke(long dispid, InvokeKind kind, std::vector<Variant>& args) {
    if (dispid == kAttrDocClearDispId) {
        if (kind == InvokeKind::PropertyPut || !args.empty())
            throw Error(ErrorCode::InvalidArgument, "Clear takes no arguments");
        Clear();
        return None{};
    }
    auto p = FindAttrProp(dispid);
    if (!p) throw Error(ErrorCode::InvalidArgument, "Unknown member identifier " + std::to_string(dispid));
    const AttrPropInfo& info = Info(*p);
    if (kind == InvokeKind::PropertyPut) {
        if (info.readOnly())
            throw Error(ErrorCode::InvalidArgument, std::string(info.name) + " is read-only");
        if (args.size() != 1)
            throw Error(ErrorCode::InvalidArgument, std::string(info.name) + " takes one value");
        if (info.kind == AttrKind::Array) {
            LetArrayVariant(*p, args[0]);
        } else {
            Let(*p, VariantText(args[0]));
        }
        return None{};
    }
    if (!args.empty())
        throw Error(ErrorCode::InvalidArgument, std::string(info.name) + " takes no arguments");
    if (info.kind == AttrKind::Array) return GetArray(*p);
    return Get(*p);
}

Variant AttrDoc::Invoke(std::string_view name, InvokeKind kind, std::vector<Variant>& args) {
    auto id = GetIDOfName(name);
    if (!id) throw Error(ErrorCode::InvalidArgument, "Unknown member: " + std::string(name));
    return Invoke(*id, kind, args);
}

}  // namespace ormelin
