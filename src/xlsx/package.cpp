#include "xlsx/package.hpp"

#include <cctype>
#include <charconv>

#include "xlsx/common.hpp"
#include "xlsx/xml_in.hpp"
#include "xlsx/xml_out.hpp"

namespace ormelin::xlsx::detail {

// ---------------------------------------------------------------- relationships


namespace {

std::string Folder(const std::string& part) {
    auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

/// The part a relationship target names, relative to the folder of its source.
std::string ResolveTarget(const std::string& sourcePart, const std::string& target) {
    std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : Folder(sourcePart) + target;
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto slash = path.find('/', start);
        std::string piece = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (piece == "..") {
            if (!pieces.empty()) pieces.pop_back();
        } else if (!piece.empty() && piece != ".") {
            pieces.push_back(piece);
        }
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    std::string out;
    for (const auto& p : pieces) out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string RelsPartOf(const std::string& part) {
    auto slash = part.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return folder + "_rels/" + file + ".rels";
}

}  // namespace

std::vector<Rel> ReadRels(Archive& zip, const std::string& sourcePart, bool required) {
    std::string part = RelsPartOf(sourcePart);
    std::vector<Rel> rels;
    if (!required && !zip.Has(part)) return rels;
    XmlPart xml;
    Parse(zip, part, xml);
    for (auto r = xml.Root("Relationships").first_child(); r; r = r.next_sibling()) {
        if (!Is(r, "Relationship")) continue;
        Rel rel;
        rel.id = Attr(r, "Id").value();
        rel.type = Attr(r, "Type").value();
        rel.external = std::string_view(Attr(r, "TargetMode").value()) == "External";
        rel.target = rel.external ? Attr(r, "Target").value() : ResolveTarget(sourcePart, Attr(r, "Target").value());
        rels.push_back(std::move(rel));
    }
    return rels;
}

bool TypeEndsWith(const Rel& r, std::string_view suffix) {
    return r.type.size() >= suffix.size() && r.type.compare(r.type.size() - suffix.size(), suffix.size(), suffix) == 0;
}

const Rel* FindRel(const std::vector<Rel>& rels, std::string_view suffix) {
    for (const auto& r : rels)
        if (TypeEndsWith(r, suffix)) return &r;
    return nullptr;
}

void WriteRels(ArchiveWriter& zip, const std::string& part, const std::vector<Relationship>& rels) {
    XmlOut x(zip, part);
    x.Raw("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">");
    int id = 0;
    for (const auto& r : rels) {
        x.Raw("<Relationship").Attr("Id", "rId" + std::to_string(++id)).Attr("Type", r.type).Attr("Target", r.target);
        if (r.external) x.Raw(" TargetMode=\"External\"");
        x.Raw("/>");
    }
    x.Raw("</Relationships>");
    x.Close();
}

// ---------------------------------------------------------------- content types and properties

void WriteContentTypes(ArchiveWriter& zip, int sheets, bool customProperties, bool theme) {
    XmlOut x(zip, "[Content_Types].xml");
    x.Raw("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">")
        .Raw("<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>")
        .Raw("<Default Extension=\"xml\" ContentType=\"application/xml\"/>")
        .Raw("<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>");
    for (int i = 1; i <= sheets; ++i)
        x.Raw("<Override PartName=\"/").Raw("xl/worksheets/sheet" + std::to_string(i) + ".xml")
            .Raw("\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>");
    x.Raw("<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>")
        .Raw("<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>")
        .Raw("<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>")
        .Raw("<Override PartName=\"/docProps/app.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>");
    if (customProperties)
        x.Raw("<Override PartName=\"/docProps/custom.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.custom-properties+xml\"/>");
    if (theme)
        x.Raw("<Override PartName=\"/").Raw(kThemePart)
            .Raw("\" ContentType=\"application/vnd.openxmlformats-officedocument.theme+xml\"/>");
    x.Raw("</Types>");
    x.Close();
}

namespace {

struct PropertiesPart {
    std::string_view relSuffix;  // the end of the relationship type
    const char* root;            // the root element
    std::string model::DocumentProperties::*text;
    const char* what;            // named in the load report when not kept
};

constexpr PropertiesPart kPropertiesParts[] = {
    {"/metadata/core-properties", "coreProperties", &model::DocumentProperties::core, "document properties"},
    {"/extended-properties", "Properties", &model::DocumentProperties::app, "document properties"},
    {"/custom-properties", "Properties", &model::DocumentProperties::custom, "custom document properties"},
};

/// The XML of a part without a byte order mark and its declaration.
std::string WithoutDeclaration(std::string bytes) {
    std::size_t start = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[start]))) ++start;
    if (bytes.compare(start, 5, "<?xml") == 0) {
        auto end = bytes.find("?>", start);
        start = end == std::string::npos ? bytes.size() : end + 2;
        while (start < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[start]))) ++start;
    }
    bytes.erase(0, start);
    return bytes;
}

}  // namespace

void ReadDocumentProperties(Archive& zip, const std::vector<Rel>& packageRels, model::DocumentProperties& out,
                            LoadReport& report) {
    for (const auto& p : kPropertiesParts) {
        const Rel* rel = FindRel(packageRels, p.relSuffix);
        if (!rel || rel->external || !zip.Has(rel->target)) continue;
        std::string bytes = zip.Read(rel->target);
        if (bytes.size() > kMaxPropertiesBytes) {
            report.Add(p.what, rel->target);
            continue;
        }
        pugi::xml_document doc;
        auto parsed = doc.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_utf8);
        if (!parsed || !doc.document_element() || !Is(doc.document_element(), p.root)) {
            report.Add(p.what, rel->target);
            continue;
        }
        out.*p.text = WithoutDeclaration(std::move(bytes));
    }
    // Custom properties the package does not name are not written back.
    if (out.custom.empty() && zip.Has("docProps/custom.xml")) report.Add("custom document properties", "docProps/custom.xml");
}

void WriteDocumentProperties(ArchiveWriter& zip, const model::DocumentProperties& kept) {
    XmlOut core(zip, "docProps/core.xml");
    if (!kept.core.empty()) {
        core.Raw(kept.core);
    } else {
        core.Raw("<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                 "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
                 "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/>");
    }
    core.Close();
    XmlOut app(zip, "docProps/app.xml");
    if (!kept.app.empty()) {
        app.Raw(kept.app);
    } else {
        // Spreadsheet programs read the application's name to pick their import
        // rules; the desktop spreadsheet's name gets the same rules as its own files.
        app.Raw("<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
                "<Application>Microsoft Excel</Application></Properties>");
    }
    app.Close();
    if (!kept.custom.empty()) {
        XmlOut custom(zip, "docProps/custom.xml");
        custom.Raw(kept.custom);
        custom.Close();
    }
}

// ---------------------------------------------------------------- the theme

std::optional<ThemeColours> ReadTheme(Archive& zip, const std::vector<Rel>& bookRels, std::string& out,
                                      LoadReport& report) {
    const Rel* rel = FindRel(bookRels, "/theme");
    if (!rel || rel->external || !zip.Has(rel->target)) return std::nullopt;
    std::string bytes = zip.Read(rel->target);
    const char* const what = "the workbook's theme (its colours would change)";
    if (bytes.size() > kMaxPropertiesBytes) {
        report.Add(what, rel->target);
        return std::nullopt;
    }
    pugi::xml_document doc;
    auto parsed = doc.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_utf8);
    auto root = doc.document_element();
    if (!parsed || !root || !Is(root, "theme")) {
        report.Add(what, rel->target);
        return std::nullopt;
    }
    // The scheme lists dark 1, light 1, dark 2, light 2, then the accents and the
    // two hyperlink colours; styles number the first four light 1, dark 1, light 2, dark 2.
    constexpr std::array<const char*, 12> kSlots{"lt1", "dk1", "lt2", "dk2", "accent1", "accent2",
                                                 "accent3", "accent4", "accent5", "accent6", "hlink", "folHlink"};
    auto scheme = Child(Child(root, "themeElements"), "clrScheme");
    ThemeColours colours{};
    for (std::size_t i = 0; i < kSlots.size(); ++i) {
        auto slot = Child(scheme, kSlots[i]);
        const char* value = nullptr;
        if (auto rgb = Child(slot, "srgbClr")) value = rgb.attribute("val").value();
        else if (auto sys = Child(slot, "sysClr")) value = sys.attribute("lastClr").value();
        std::uint32_t rgb = 0;
        const std::string_view text = value ? value : "";
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
        if (text.size() != 6 || ec != std::errc() || end != text.data() + text.size()) {
            report.Add(what, rel->target);
            return std::nullopt;
        }
        colours[i] = rgb;
    }
    out = WithoutDeclaration(std::move(bytes));
    return colours;
}

void WriteTheme(ArchiveWriter& zip, const std::string& kept) {
    if (kept.empty()) return;
    XmlOut x(zip, std::string(kThemePart));
    x.Raw(kept);
    x.Close();
}

}  // namespace ormelin::xlsx::detail
