#include "xlsx/styles.hpp"

#include <algorithm>
#include <charconv>
#include <array>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "xlsx/common.hpp"
#include "xlsx/package.hpp"
#include "xlsx/xml_in.hpp"
#include "xlsx/xml_out.hpp"

namespace ormelin::xlsx::detail {

using host::Border;
using host::Color;
using host::Style;
using model::ModelWorkbook;
using model::StyleId;

// ---------------------------------------------------------------- reading

namespace {

/// What reading one styles part needs: the part's name for messages and the
/// report of what the model does not hold.
struct StylesReader {
    const std::string& part;
    LoadReport& report;
    const ThemeColours* theme;

    std::unordered_map<int, std::string> ReadNumberFormats(const pugi::xml_node& root) const;
    std::vector<host::Font> ReadFonts(const pugi::xml_node& root) const;
    std::vector<Color> ReadFills(const pugi::xml_node& root) const;
    std::vector<std::array<Border, 4>> ReadBorders(const pugi::xml_node& root) const;
    void ReadAlignment(const pugi::xml_node& a, Style& s) const;
};

}  // namespace

Color ReadColor(const pugi::xml_node& c, bool font, const std::string& part, const ThemeColours* theme) {
    if (!c || Flag(c, "auto", false)) return Color::Auto();
    if (auto rgb = Attr(c, "rgb")) {
        std::string_view v = rgb.value();
        if (v.size() == 8) v.remove_prefix(2);
        std::uint32_t value = 0;
        auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), value, 16);
        if (ec != std::errc() || p != v.data() + v.size() || v.size() != 6)
            Fail(part, std::string("colour \"") + rgb.value() + "\" is not an RGB value");
        return Color::Rgb(value);
    }
    if (Attr(c, "indexed")) {
        int index = ColorIndexOf(IntAttr(c, "indexed", 64, part));
        return index > 0 ? Color::Index(index) : Color::Auto();
    }
    if (Attr(c, "theme")) {
        // A theme colour with a tint is kept as it is; without one, it is the
        // workbook theme's colour (the default theme's when it has none).
        int number = IntAttr(c, "theme", 1, part);
        double tint = std::clamp(DoubleAttr(c, "tint", 0, part), -1.0, 1.0);
        if (tint != 0 && number >= 0 && number < 12) return Color::Theme(number, tint);
        if (font && number == 1 && (!theme || (*theme)[1] == 0)) return Color::Auto();  // the theme's black text colour
        return Color::Rgb(ThemeRgb(number, theme));
    }
    return Color::Auto();
}

namespace {

std::unordered_map<int, std::string> StylesReader::ReadNumberFormats(const pugi::xml_node& root) const {
    std::unordered_map<int, std::string> numFmts;
    for (auto n : Child(root, "numFmts").children()) {
        if (!Is(n, "numFmt")) continue;
        const char* code = Attr(n, "formatCode").value();
        CheckSavable(code, true, part, "a number format");
        numFmts[IntAttr(n, "numFmtId", 0, part)] = code;
    }
    return numFmts;
}

std::vector<host::Font> StylesReader::ReadFonts(const pugi::xml_node& root) const {
    std::vector<host::Font> fonts;
    for (auto f : Child(root, "fonts").children()) {
        if (!Is(f, "font")) continue;
        host::Font font;
        if (auto name = Child(f, "name")) font.name = Attr(name, "val").value();
        CheckSavable(font.name, false, part, "the font name \"" + font.name + "\"");
        if (auto sz = Child(f, "sz")) font.size = DoubleAttr(sz, "val", 11, part);
        font.bold = FlagElement(f, "b");
        font.italic = FlagElement(f, "i");
        if (auto u = Child(f, "u")) {
            auto val = Attr(u, "val");
            font.underline = val ? UnderlineNamed(val.value()).value_or(host::Underline::Single) : host::Underline::Single;
        }
        font.color = ReadColor(Child(f, "color"), true, part, theme);
        font.strikethrough = FlagElement(f, "strike");
        if (auto va = Child(f, "vertAlign")) {
            std::string_view val = Attr(va, "val").value();
            font.superscript = val == "superscript";
            font.subscript = val == "subscript";
        }
        fonts.push_back(std::move(font));
    }
    return fonts;
}

std::vector<Color> StylesReader::ReadFills(const pugi::xml_node& root) const {
    std::vector<Color> fills;
    bool patterned = false;
    for (auto f : Child(root, "fills").children()) {
        if (!Is(f, "fill")) continue;
        auto p = Child(f, "patternFill");
        std::string_view type = p ? Attr(p, "patternType").value() : "";
        if (!p || type.empty() || type == "none") {
            fills.push_back(Color::Auto());
            if (!p && Child(f, "gradientFill")) patterned = true;
            continue;
        }
        if (type != "solid" && type != "gray125") patterned = true;
        if (type == "gray125") {
            fills.push_back(Color::Auto());  // the reserved second fill of every file
            continue;
        }
        fills.push_back(ReadColor(Child(p, "fgColor"), false, part, theme));
    }
    if (patterned) report.Add("fill patterns and gradients", part);
    return fills;
}

std::vector<std::array<Border, 4>> StylesReader::ReadBorders(const pugi::xml_node& root) const {
    std::vector<std::array<Border, 4>> borders;
    for (auto b : Child(root, "borders").children()) {
        if (!Is(b, "border")) continue;
        std::array<Border, 4> edges{};
        const char* names[4] = {"left", "top", "bottom", "right"};
        for (int i = 0; i < 4; ++i) {
            auto e = Child(b, names[i]);
            if (!e && i == 0) e = Child(b, "start");
            if (!e && i == 3) e = Child(b, "end");
            if (!e) continue;
            const BorderCode* code = BorderNamed(Attr(e, "style").value());
            if (!code) continue;
            edges[static_cast<std::size_t>(i)] = Border{code->style, code->weight, ReadColor(Child(e, "color"), false, part, theme)};
        }
        if (auto d = Child(b, "diagonal"); d && Attr(d, "style") && std::string_view(Attr(d, "style").value()) != "none")
            report.Add("diagonal borders", part);
        borders.push_back(edges);
    }
    return borders;
}

void StylesReader::ReadAlignment(const pugi::xml_node& a, Style& s) const {
    if (auto h = Attr(a, "horizontal")) s.horizontal = HAlignNamed(h.value()).value_or(host::HAlign::General);
    if (auto v = Attr(a, "vertical")) s.vertical = VAlignNamed(v.value()).value_or(host::VAlign::Bottom);
    int rotation = IntAttr(a, "textRotation", 0, part);
    if (rotation >= 0 && rotation <= 90)
        s.orientation = rotation;
    else if (rotation > 90 && rotation <= 180)
        s.orientation = 90 - rotation;  // the file keeps -1..-90 as 91..180
    else if (rotation == 255)
        report.Add("vertical stacked text", part);
    s.wrap = Flag(a, "wrapText", false);
    s.shrink = Flag(a, "shrinkToFit", false);
    s.indent = std::clamp(IntAttr(a, "indent", 0, part), 0, 250);
    int order = IntAttr(a, "readingOrder", 0, part);
    s.readingOrder = order == 1   ? host::ReadingOrder::LeftToRight
                     : order == 2 ? host::ReadingOrder::RightToLeft
                                  : host::ReadingOrder::Context;
}

}  // namespace

Styles ReadStyles(Archive& zip, const std::string& part, LoadReport& report, const ThemeColours* theme) {
    Styles styles;
    if (part.empty() || !zip.Has(part)) {
        styles.xfs.emplace_back();
        styles.ids.resize(1);
        return styles;
    }
    XmlPart xml;
    Parse(zip, part, xml);
    auto root = xml.Root("styleSheet");
    const StylesReader reader{part, report, theme};
    const auto numFmts = reader.ReadNumberFormats(root);
    const auto fonts = reader.ReadFonts(root);
    const auto fills = reader.ReadFills(root);
    const auto borders = reader.ReadBorders(root);

    // The cell formats, each resolved into a style of its own.
    int index = 0;
    for (auto x : Child(root, "cellXfs").children()) {
        if (!Is(x, "xf")) continue;
        Style s;
        int numFmt = IntAttr(x, "numFmtId", 0, part);
        if (auto it = numFmts.find(numFmt); it != numFmts.end())
            s.numberFormat = it->second;
        else
            s.numberFormat = BuiltinNumberFormat(numFmt).value_or("General");
        auto entry = [&](const char* attr, std::size_t count, const char* what) {
            int i = IntAttr(x, attr, 0, part);
            if (i < 0 || static_cast<std::size_t>(i) >= count) {
                if (i == 0 && count == 0) return -1;
                Fail(part, "cell format " + std::to_string(index) + " refers to " + what + " " + std::to_string(i) +
                               " of " + std::to_string(count));
            }
            return i;
        };
        if (int f = entry("fontId", fonts.size(), "font"); f >= 0) s.font = fonts[static_cast<std::size_t>(f)];
        if (int f = entry("fillId", fills.size(), "fill"); f >= 0) s.fill = fills[static_cast<std::size_t>(f)];
        if (int b = entry("borderId", borders.size(), "border"); b >= 0) {
            const auto& e = borders[static_cast<std::size_t>(b)];
            s.left = e[0], s.top = e[1], s.bottom = e[2], s.right = e[3];
        }
        if (auto p = Child(x, "protection")) {
            s.locked = Flag(p, "locked", true);
            s.formulaHidden = Flag(p, "hidden", false);
        }
        if (auto a = Child(x, "alignment")) reader.ReadAlignment(a, s);
        styles.xfs.push_back(std::move(s));
        ++index;
    }
    if (styles.xfs.empty()) styles.xfs.emplace_back();
    styles.ids.resize(styles.xfs.size());
    return styles;
}

// ---------------------------------------------------------------- writing

namespace {

/// Fonts, fills and borders are written once each; cell formats refer to them.
class Pool {
public:
    int Index(std::string xml) {
        auto [it, added] = index_.emplace(std::move(xml), static_cast<int>(order_.size()));
        if (added) order_.push_back(&it->first);
        return it->second;
    }
    const std::vector<const std::string*>& Items() const { return order_; }

private:
    std::unordered_map<std::string, int> index_;
    std::vector<const std::string*> order_;
};

}  // namespace

void ColorXml(std::string& out, const char* element, const Color& c) {
    char text[80];
    if (c.kind == Color::Kind::Rgb) {
        std::snprintf(text, sizeof text, "<%s rgb=\"FF%06X\"/>", element, c.value & 0xFFFFFF);
        out += text;
    } else if (c.kind == Color::Kind::Index && FileIndexOf(static_cast<int>(c.value)) >= 0) {
        std::snprintf(text, sizeof text, "<%s indexed=\"%d\"/>", element, FileIndexOf(static_cast<int>(c.value)));
        out += text;
    } else if (c.kind == Color::Kind::Theme) {
        std::snprintf(text, sizeof text, "<%s theme=\"%u\"", element, c.value);
        out += text;
        if (c.tint != 0) {
            out += " tint=\"";
            out.append(text, std::to_chars(text, text + sizeof text, c.tint).ptr);  // reads back as the same double
            out += '"';
        }
        out += "/>";
    }
}

namespace {

std::string FontXml(const host::Font& f) {
    std::string x = "<font>";
    if (f.bold) x += "<b/>";
    if (f.italic) x += "<i/>";
    if (f.strikethrough) x += "<strike/>";
    if (f.underline == host::Underline::Single) x += "<u/>";
    else if (f.underline != host::Underline::None) x += std::string("<u val=\"") + UnderlineName(f.underline) + "\"/>";
    if (f.superscript) x += "<vertAlign val=\"superscript\"/>";
    else if (f.subscript) x += "<vertAlign val=\"subscript\"/>";
    char size[32];
    x += "<sz val=\"";
    x.append(size, std::to_chars(size, size + sizeof size, f.size).ptr);
    x += "\"/>";
    ColorXml(x, "color", f.color);
    x += "<name val=\"";
    for (char c : f.name) {
        if (c == '&') x += "&amp;";
        else if (c == '<') x += "&lt;";
        else if (c == '"') x += "&quot;";
        else if (static_cast<unsigned char>(c) < 0x20) Fail("xl/styles.xml", "the font name \"" + f.name + "\" holds a control character");
        else x += c;
    }
    return x + "\"/></font>";
}

std::string FillXml(const Color& fill) {
    std::string x = "<fill><patternFill patternType=\"solid\">";
    ColorXml(x, "fgColor", fill);
    return x + "<bgColor indexed=\"64\"/></patternFill></fill>";
}

std::string BorderXml(const Style& s) {
    std::string x = "<border>";
    const std::pair<const char*, const host::Border*> edges[] = {
        {"left", &s.left}, {"right", &s.right}, {"top", &s.top}, {"bottom", &s.bottom}};
    for (auto [name, border] : edges) {
        const BorderCode* code = BorderFor(border->style, border->weight);
        if (!code) {
            x += std::string("<") + name + "/>";
            continue;
        }
        x += std::string("<") + name + " style=\"" + code->name + "\">";
        ColorXml(x, "color", border->color);
        x += std::string("</") + name + ">";
    }
    return x + "<diagonal/></border>";
}

}  // namespace

void WriteStyles(ArchiveWriter& zip, const ModelWorkbook& book) {
    const model::StyleTable& table = book.Styles();
    Pool fonts, fills, borders;
    fills.Index("<fill><patternFill patternType=\"none\"/></fill>");
    fills.Index("<fill><patternFill patternType=\"gray125\"/></fill>");
    std::map<std::string, int> custom;  // number format code -> id
    struct Xf {
        int numFmt, font, fill, border;
    };
    std::vector<Xf> xfs;
    xfs.reserve(table.Size());
    for (StyleId id = 0; id < table.Size(); ++id) {
        const Style& s = table.Get(id);
        int numFmt = BuiltinNumberFormatId(s.numberFormat);
        if (numFmt < 0) numFmt = custom.emplace(s.numberFormat, 164 + static_cast<int>(custom.size())).first->second;
        xfs.push_back({numFmt, fonts.Index(FontXml(s.font)),
                       s.fill.kind == Color::Kind::Automatic ? 0 : fills.Index(FillXml(s.fill)), borders.Index(BorderXml(s))});
    }

    XmlOut x(zip, "xl/styles.xml");
    x.Raw("<styleSheet xmlns=\"").Raw(kMainNs).Raw("\">");
    if (!custom.empty()) {
        std::vector<std::pair<int, const std::string*>> byId;
        for (const auto& [code, id] : custom) byId.emplace_back(id, &code);
        std::sort(byId.begin(), byId.end());
        x.Raw("<numFmts").Attr("count", static_cast<long long>(byId.size())).Raw(">");
        for (const auto& [id, code] : byId) x.Raw("<numFmt").Attr("numFmtId", id).Attr("formatCode", *code).Raw("/>");
        x.Raw("</numFmts>");
    }
    auto list = [&](const char* element, const Pool& pool) {
        x.Raw("<").Raw(element).Attr("count", static_cast<long long>(pool.Items().size())).Raw(">");
        for (const std::string* item : pool.Items()) x.Raw(*item);
        x.Raw("</").Raw(element).Raw(">");
    };
    list("fonts", fonts);
    list("fills", fills);
    list("borders", borders);
    x.Raw("<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>");
    x.Raw("<cellXfs").Attr("count", static_cast<long long>(xfs.size())).Raw(">");
    for (StyleId id = 0; id < xfs.size(); ++id) {
        const Style& s = table.Get(id);
        const Xf& f = xfs[id];
        x.Raw("<xf").Attr("numFmtId", f.numFmt).Attr("fontId", f.font).Attr("fillId", f.fill).Attr("borderId", f.border)
            .Raw(" xfId=\"0\"");
        if (id != 0) x.Raw(" applyNumberFormat=\"1\" applyFont=\"1\" applyFill=\"1\" applyBorder=\"1\" applyAlignment=\"1\"");
        const bool protection = !s.locked || s.formulaHidden;
        if (protection) x.Raw(" applyProtection=\"1\"");
        bool aligned = s.horizontal != host::HAlign::General || s.vertical != host::VAlign::Bottom || s.orientation != 0 ||
                       s.wrap || s.shrink || s.indent > 0 || s.readingOrder != host::ReadingOrder::Context;
        if (!aligned && !protection) {
            x.Raw("/>");
            continue;
        }
        x.Raw(">");
        if (aligned) {
            x.Raw("<alignment");
            if (s.horizontal != host::HAlign::General) x.Attr("horizontal", HAlignName(s.horizontal));
            if (s.vertical != host::VAlign::Bottom) x.Attr("vertical", VAlignName(s.vertical));
            int rotation = std::clamp(s.orientation, -90, 90);
            if (rotation != 0) x.Attr("textRotation", rotation > 0 ? rotation : 90 - rotation);  // -1..-90 as 91..180
            if (s.wrap) x.Raw(" wrapText=\"1\"");
            if (s.shrink) x.Raw(" shrinkToFit=\"1\"");
            if (s.indent > 0) x.Attr("indent", std::min(s.indent, 250));
            if (s.readingOrder != host::ReadingOrder::Context)
                x.Attr("readingOrder", s.readingOrder == host::ReadingOrder::LeftToRight ? 1 : 2);
            x.Raw("/>");
        }
        if (protection)
            x.Raw("<protection").Raw(s.locked ? "" : " locked=\"0\"").Raw(s.formulaHidden ? " hidden=\"1\"" : "").Raw("/>");
        x.Raw("</xf>");
    }
    x.Raw("</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>");
    x.Raw("<dxfs count=\"0\"/></styleSheet>");
    x.Close();
}

}  // namespace ormelin::xlsx::detail
