#include "xlsx/package.hpp"

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

void WriteContentTypes(ArchiveWriter& zip, int sheets) {
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
        .Raw("<Override PartName=\"/docProps/app.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>")
        .Raw("</Types>");
    x.Close();
}

void WriteDocumentProperties(ArchiveWriter& zip) {
    XmlOut core(zip, "docProps/core.xml");
    core.Raw("<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
             "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
             "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/>");
    core.Close();
    XmlOut app(zip, "docProps/app.xml");
    // Spreadsheet programs read the application's name to pick their import
    // rules; the desktop spreadsheet's name gets the same rules as its own files.
    app.Raw("<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
            "<Application>Microsoft Excel</Application></Properties>");
    app.Close();
}

}  // namespace ormelin::xlsx::detail
