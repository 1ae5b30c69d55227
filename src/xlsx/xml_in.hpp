// Reading the XML of a part: helpers over pugixml that compare names without
// their namespace prefix and check every number they convert.
#pragma once

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "xlsx/archive.hpp"
#include "xlsx/common.hpp"

namespace ormelin::xlsx::detail {

inline constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

// ---------------------------------------------------------------- XML helpers

/// The name of a node or attribute without its namespace prefix.
inline const char* Local(const char* name) {
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

/// Whether an element has the local name; unprefixed names, by far the most
/// common, are compared once.
inline bool Is(const pugi::xml_node& n, const char* name) {
    const char* own = n.name();
    if (std::strcmp(own, name) == 0) return true;
    const char* colon = std::strchr(own, ':');
    return colon && std::strcmp(colon + 1, name) == 0;
}

inline pugi::xml_node Child(const pugi::xml_node& parent, const char* name) {
    for (auto c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && Is(c, name)) return c;
    return {};
}

/// An attribute by its local name ("id" finds "r:id"); one of exactly that name
/// comes first. One pass over the element's attributes.
inline pugi::xml_attribute Attr(const pugi::xml_node& n, const char* name) {
    pugi::xml_attribute prefixed;
    for (auto a = n.first_attribute(); a; a = a.next_attribute()) {
        const char* own = a.name();
        if (std::strcmp(own, name) == 0) return a;
        if (!prefixed && std::strcmp(Local(own), name) == 0) prefixed = a;
    }
    return prefixed;
}

/// The attributes of an element that are named in `names` (by local name), taken
/// in one pass, for elements read by the thousand: found[i] is the one named names[i].
template <std::size_t N>
struct AttrsOf {
    pugi::xml_attribute found[N];
    AttrsOf(const pugi::xml_node& n, const char* const (&names)[N]) {
        bool exact[N] = {};
        for (auto a = n.first_attribute(); a; a = a.next_attribute()) {
            const char* own = a.name();
            const char* local = Local(own);
            for (std::size_t i = 0; i < N; ++i) {
                if (exact[i] || std::strcmp(local, names[i]) != 0) continue;
                if (local == own) found[i] = a, exact[i] = true;
                else if (!found[i]) found[i] = a;
                break;
            }
        }
    }
};

inline bool Flag(const pugi::xml_attribute& a, bool absent) {
    if (!a) return absent;
    std::string_view v = a.value();
    return v == "1" || v == "true" || v == "on";
}
inline bool Flag(const pugi::xml_node& n, const char* name, bool absent) { return Flag(Attr(n, name), absent); }

/// A flag element such as <b/> or <b val="0"/>.
inline bool FlagElement(const pugi::xml_node& parent, const char* name) {
    auto e = Child(parent, name);
    return e && Flag(e, "val", true);
}

template <typename T>
bool Number(std::string_view text, T& out) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+')) text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && p == text.data() + text.size();
}

inline int IntAttr(const pugi::xml_attribute& a, int absent, const std::string& part) {
    if (!a) return absent;
    long long v = 0;
    if (!Number(std::string_view(a.value()), v)) {
        double d = 0;
        if (!Number(std::string_view(a.value()), d) || !std::isfinite(d) || std::fabs(d) > 2e9)
            Fail(part, std::string("attribute ") + a.name() + " is not a number: \"" + a.value() + "\"");
        v = static_cast<long long>(d);
    }
    if (v < -2000000000LL || v > 2000000000LL) Fail(part, std::string("attribute ") + a.name() + " out of range");
    return static_cast<int>(v);
}
inline int IntAttr(const pugi::xml_node& n, const char* name, int absent, const std::string& part) {
    return IntAttr(Attr(n, name), absent, part);
}

inline double DoubleAttr(const pugi::xml_attribute& a, double absent, const std::string& part) {
    if (!a) return absent;
    double v = 0;
    if (!Number(std::string_view(a.value()), v) || !std::isfinite(v))
        Fail(part, std::string("attribute ") + a.name() + " is not a number: \"" + a.value() + "\"");
    return v;
}
inline double DoubleAttr(const pugi::xml_node& n, const char* name, double absent, const std::string& part) {
    return DoubleAttr(Attr(n, name), absent, part);
}

/// Refuses a text read from a file that a save could not write back (Savable), so
/// that a workbook that loads can always be saved again.
inline void CheckSavable(std::string_view text, bool attribute, std::string_view part, const std::string& what) {
    if (!Savable(text, attribute)) Fail(part, what + " holds a control character or a non-character");
}

/// Replaces the escapes _xHHHH_ that the file uses for control characters.
inline std::string Unescape(const char* text) {
    std::string_view s(text);
    if (s.find("_x") == std::string_view::npos) return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        unsigned code = 0;
        if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_' &&
            std::from_chars(s.data() + i + 2, s.data() + i + 6, code, 16).ptr == s.data() + i + 6) {
            if (code < 0x80) {
                out += static_cast<char>(code);
            } else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
            i += 7;
        } else {
            out += s[i++];
        }
    }
    return out;
}

/// A parsed part: the document and the inflated bytes it was parsed in.
struct XmlPart {
    std::string name;
    std::string bytes;
    pugi::xml_document doc;

    pugi::xml_node Root(const char* expected) const {
        auto root = doc.document_element();
        if (!root || !Is(root, expected))
            Fail(name, std::string("the root element is not <") + expected + ">");
        return root;
    }
};

/// Refuses a part that pugixml could not parse; `start` is where the parsed
/// text begins in the part (a slice of a sheet's rows).
[[noreturn]] inline void FailMalformed(const std::string& part, const pugi::xml_parse_result& result,
                                       std::size_t start = 0) {
    Fail(part, "malformed XML at offset " + std::to_string(start + static_cast<std::size_t>(result.offset)) + " (" +
                   result.description() + ")");
}

/// Parses the part's bytes, read already, as one document.
inline void ParseWhole(XmlPart& out) {
    if (auto result = out.doc.load_buffer_inplace(out.bytes.data(), out.bytes.size(), kParseOptions, pugi::encoding_utf8);
        !result)
        FailMalformed(out.name, result);
}

inline void Parse(Archive& zip, const std::string& part, XmlPart& out) {
    out.name = part;
    out.bytes = zip.Read(part);
    ParseWhole(out);
}

}  // namespace ormelin::xlsx::detail
