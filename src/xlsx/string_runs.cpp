#include "xlsx/string_runs.hpp"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "xlsx/common.hpp"
#include "xlsx/styles.hpp"
#include "xlsx/xml_in.hpp"

namespace ormelin::xlsx::detail {

namespace {

/// Run properties the model does not name; they are kept as the file's elements.
constexpr const char* kOtherProperties[] = {"family", "charset", "scheme", "outline", "shadow", "condense", "extend"};

bool IsOther(const char* local) {
    return std::any_of(std::begin(kOtherProperties), std::end(kOtherProperties),
                       [&](const char* name) { return std::strcmp(name, local) == 0; });
}

/// One property element as XML: its local name and its unprefixed attributes.
void AppendElement(std::string& out, const pugi::xml_node& e) {
    out += '<';
    out += Local(e.name());
    for (auto a = e.first_attribute(); a; a = a.next_attribute()) {
        if (std::strchr(a.name(), ':')) continue;
        out += ' ';
        out += a.name();
        out += "=\"";
        for (const char* p = a.value(); *p; ++p) {
            if (*p == '&') out += "&amp;";
            else if (*p == '<') out += "&lt;";
            else if (*p == '"') out += "&quot;";
            else if (static_cast<unsigned char>(*p) >= 0x20) out += *p;
        }
        out += '"';
    }
    out += "/>";
}

host::RunFont ReadRunFont(const pugi::xml_node& rPr, const std::string& part) {
    host::RunFont f;
    for (auto e = rPr.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element) continue;
        const char* local = Local(e.name());
        std::string_view name(local);
        if (name == "rFont") {
            f.name = Attr(e, "val").value();
            CheckSavable(*f.name, true, part, "the font name of a text run");
        } else if (name == "sz") f.size = DoubleAttr(e, "val", 11, part);
        else if (name == "b") f.bold = Flag(e, "val", true);
        else if (name == "i") f.italic = Flag(e, "val", true);
        else if (name == "strike") f.strikethrough = Flag(e, "val", true);
        else if (name == "u") {
            auto val = Attr(e, "val");
            f.underline = val ? UnderlineNamed(val.value()).value_or(host::Underline::Single) : host::Underline::Single;
        } else if (name == "vertAlign") {
            std::string_view val = Attr(e, "val").value();
            f.superscript = val == "superscript";
            f.subscript = val == "subscript";
        } else if (name == "color") {
            // A run keeps a theme colour as the theme's, tinted or not.
            if (Attr(e, "theme") && !Attr(e, "rgb")) {
                int theme = IntAttr(e, "theme", 1, part);
                if (theme >= 0 && theme < 12)
                    f.color = host::Color::Theme(theme, std::clamp(DoubleAttr(e, "tint", 0, part), -1.0, 1.0));
                else
                    f.color = host::Color::Auto();
            } else {
                f.color = ReadColor(e, false, part);
            }
        } else if (IsOther(local)) {
            AppendElement(f.other, e);
        }
    }
    return f;
}

}  // namespace

std::shared_ptr<const host::RichText> ReadRuns(const pugi::xml_node& string, const std::string& part) {
    std::shared_ptr<host::RichText> text;
    for (auto r = string.first_child(); r; r = r.next_sibling()) {
        if (r.type() != pugi::node_element || !Is(r, "r")) continue;
        if (!text) text = std::make_shared<host::RichText>();
        host::TextRun run;
        run.text = Unescape(Child(r, "t").child_value());
        if (auto rPr = Child(r, "rPr")) run.font = ReadRunFont(rPr, part);
        text->runs.push_back(std::move(run));
    }
    return text;
}

void WriteRuns(XmlOut& x, const host::RichText& text) {
    std::string colour;
    for (const host::TextRun& run : text.runs) {
        x.Raw("<r>");
        if (const auto& f = run.font) {
            x.Raw("<rPr>");
            if (f->name) x.Raw("<rFont").Attr("val", *f->name).Raw("/>");
            if (f->bold) x.Raw("<b/>");
            if (f->italic) x.Raw("<i/>");
            if (f->strikethrough) x.Raw("<strike/>");
            if (f->color) {
                colour.clear();
                if (f->color->kind == host::Color::Kind::Automatic) colour = "<color auto=\"1\"/>";
                else ColorXml(colour, "color", *f->color);
                x.Raw(colour);
            }
            if (f->size) x.Raw("<sz").AttrNumber("val", *f->size).Raw("/>");
            if (f->underline == host::Underline::Single) x.Raw("<u/>");
            else if (f->underline != host::Underline::None) x.Raw("<u").Attr("val", UnderlineName(f->underline)).Raw("/>");
            if (f->superscript) x.Raw("<vertAlign val=\"superscript\"/>");
            else if (f->subscript) x.Raw("<vertAlign val=\"subscript\"/>");
            x.Raw(f->other).Raw("</rPr>");
        }
        const std::string& t = run.text;
        bool keepSpaces = !t.empty() && (std::isspace(static_cast<unsigned char>(t.front())) ||
                                         std::isspace(static_cast<unsigned char>(t.back())));
        x.Raw(keepSpaces ? "<t xml:space=\"preserve\">" : "<t>").Text(t).Raw("</t></r>");
    }
}

}  // namespace ormelin::xlsx::detail
