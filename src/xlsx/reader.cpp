// Loading an .xlsx file into the embedded model: the package, the workbook part
// (sheets, shared strings, styles, defined names) and the load report. The
// sheets are read in sheet_reader.cpp.
//
// Each part is inflated (within the bounds of Limits) and parsed by pugixml
// in place; cells go straight into the worksheet through LoadCell, and each
// cell format (xf) of the file is interned in the workbook's style table once.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include <pugixml.hpp>

#include "ormelin/xlsx.hpp"
#include "xlsx/archive.hpp"
#include "xlsx/loader.hpp"
#include "xlsx/common.hpp"
#include "xlsx/package.hpp"
#include "xlsx/string_runs.hpp"
#include "xlsx/styles.hpp"
#include "xlsx/xml_in.hpp"

namespace ormelin::xlsx {

using namespace detail;

// ---------------------------------------------------------------- LoadReport

bool LoadReport::Has(const std::string& what) const {
    return std::any_of(items.begin(), items.end(), [&](const Item& i) { return i.what == what; });
}

std::string LoadReport::Describe() const {
    std::string text;
    for (const auto& i : items) text += i.what + " (" + i.part + ")\n";
    return text;
}

void LoadReport::Add(const std::string& what, const std::string& part) {
    Item item{what, part};
    if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(std::move(item));
}

namespace detail {

void Loader::ReportParts() {
    for (const auto& name : zip_.Parts())
        for (const auto& u : kUnsupportedParts)
            if (name.rfind(u.prefix, 0) == 0) report_.Add(u.what, name);
}

void Loader::ReadSharedStrings(const std::string& part) {
    XmlPart xml;
    Parse(zip_, part, xml);
    auto root = xml.Root("sst");
    for (auto si = root.first_child(); si; si = si.next_sibling()) {
        if (!Is(si, "si")) continue;
        if (auto t = Child(si, "t")) {
            strings_.push_back(Unescape(t.child_value()));
            continue;
        }
        auto runs = ReadRuns(si, part);
        strings_.push_back(runs ? runs->Joined() : std::string());
        if (runs) stringRuns_.emplace(strings_.size() - 1, std::move(runs));
    }
}

StyleId Loader::StyleOf(std::size_t xf, const std::string& part, int row, int column) {
    if (xf >= styles_.xfs.size())
        Fail(part, "style index " + std::to_string(xf) + " out of range (" + std::to_string(styles_.xfs.size()) +
                       " cell formats) at " + (column ? CellName(row, column) : "row " + std::to_string(row)));
    auto& id = styles_.ids[xf];
    if (!id) id = book_.Styles().Intern(styles_.xfs[xf]);
    return *id;
}

void Loader::Run() {
    ReportParts();
    XmlPart bookXml;
    const std::string bookPart = ReadWorkbookPart(bookXml);
    auto bookRoot = bookXml.Root("workbook");
    auto bookRels = ReadRels(zip_, bookPart, false);
    ReadStringsAndStyles(bookRels);
    const auto printAreas = ReadDefinedNames(bookRoot, bookPart);
    // Dates count from 1904 in such a file: the serial numbers stay, the workbook
    // shows them in its own date system.
    book_.Date1904(Flag(Child(bookRoot, "workbookPr"), "date1904", false));
    if (auto protection = Child(bookRoot, "workbookProtection"); protection && protection.first_attribute())
        report_.Add("workbook protection", bookPart);
    const std::vector<SheetEntry> sheets = ReadSheetList(bookRoot, bookRels, bookPart);
    int active = 0;
    if (auto view = Child(Child(bookRoot, "bookViews"), "workbookView")) active = IntAttr(view, "activeTab", 0, bookPart);
    LoadSheets(sheets, printAreas, active, bookPart);
}

std::string Loader::ReadWorkbookPart(XmlPart& bookXml) {
    // The workbook part, through the package relationships.
    std::string bookPart = "xl/workbook.xml";
    if (zip_.Has("_rels/.rels")) {
        auto rels = ReadRels(zip_, "", true);
        if (const Rel* r = FindRel(rels, "/officeDocument"); r && !r->external) bookPart = r->target;
        ReadDocumentProperties(zip_, rels, book_.Properties(), report_);
    }
    Parse(zip_, bookPart, bookXml);
    return bookPart;
}

void Loader::ReadStringsAndStyles(const std::vector<Rel>& bookRels) {
    if (const Rel* r = FindRel(bookRels, "/sharedStrings"); r && !r->external) ReadSharedStrings(r->target);
    const Rel* stylesRel = FindRel(bookRels, "/styles");
    const auto theme = ReadTheme(zip_, bookRels, book_.Theme(), report_);
    styles_ = ReadStyles(zip_, stylesRel && !stylesRel->external ? stylesRel->target : std::string(), report_,
                         theme ? &*theme : nullptr);
}

std::map<int, std::string> Loader::ReadDefinedNames(const pugi::xml_node& bookRoot, const std::string& bookPart) {
    std::map<int, std::string> printAreas;  // the text by localSheetId
    for (auto d : Child(bookRoot, "definedNames").children()) {
        if (!Is(d, "definedName")) continue;
        std::string_view name = Attr(d, "name").value();
        if (name == "_xlnm.Print_Area" && Attr(d, "localSheetId")) {
            // "'Лист 1'!$A$1:$Z$99,'Лист 1'!$A$120:$Z$140", read once the sheet's name is known
            std::string text = d.child_value();
            CheckSavable(text, false, bookPart, "the print area");
            printAreas[IntAttr(d, "localSheetId", 0, bookPart)] = std::move(text);
        } else if (name == "_xlnm._FilterDatabase") {
            // belongs to an autofilter, reported with the sheet
        } else {
            report_.Add(name == "_xlnm.Print_Titles" ? "print titles" : "defined names", bookPart);
        }
    }
    return printAreas;
}

std::vector<Loader::SheetEntry> Loader::ReadSheetList(const pugi::xml_node& bookRoot, const std::vector<Rel>& bookRels,
                                                      const std::string& bookPart) {
    std::vector<SheetEntry> sheets;
    int position = 0;
    for (auto s : Child(bookRoot, "sheets").children()) {
        if (!Is(s, "sheet")) continue;
        if (++position > limits_.maxSheets) Fail(bookPart, "too many sheets");
        std::string id = Attr(s, "id").value();
        const Rel* rel = nullptr;
        for (const auto& r : bookRels)
            if (r.id == id) rel = &r;
        if (!rel || rel->external) Fail(bookPart, "sheet \"" + std::string(Attr(s, "name").value()) + "\" has no part");
        if (!TypeEndsWith(*rel, "/worksheet")) {
            report_.Add(TypeEndsWith(*rel, "/chartsheet") ? "chart sheets" : "macro and dialog sheets", rel->target);
            sheets.push_back({});  // keeps the numbering of localSheetId
            continue;
        }
        std::string_view state = Attr(s, "state").value();
        if (state == "hidden" || state == "veryHidden") report_.Add("hidden sheets", rel->target);
        CheckSavable(Attr(s, "name").value(), true, bookPart, "a sheet name");
        sheets.push_back({Attr(s, "name").value(), rel->target});
    }
    return sheets;
}

void Loader::LoadSheets(const std::vector<SheetEntry>& sheets, const std::map<int, std::string>& printAreas,
                        int active, const std::string& bookPart) {
    int loaded = 0, activeLoaded = 1;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (sheets[i].part.empty()) continue;
        auto sheet = book_.AddNamed(sheets[i].name);
        ++loaded;
        if (static_cast<int>(i) == active) activeLoaded = loaded;
        host::PrintArea printArea;
        if (auto text = printAreas.find(static_cast<int>(i)); text != printAreas.end()) {
            if (auto read = host::PrintArea::FromReference(text->second, sheets[i].name))
                printArea = std::move(*read);
            else
                report_.Add("print areas other than ranges of their own sheet", bookPart);
        }
        try {
            ReadSheet(*sheet, sheets[i].part, printArea);
        } catch (const Error& e) {
            if (e.code() == ErrorCode::FileError) throw;
            Fail(sheets[i].part, e.description());  // a reference or merge the model refuses
        }
    }
    if (loaded == 0) Fail(bookPart, "the workbook has no worksheet");
    for (const auto& [sheet, text] : printAreas)
        if (sheet < 0 || sheet >= static_cast<int>(sheets.size()))
            report_.Add("print areas other than ranges of their own sheet", bookPart);  // of no sheet
    book_.SetActiveSheet(activeLoaded);
}

}  // namespace detail

namespace {

std::shared_ptr<ModelWorkbook> Load(model::ModelApplication& app, Archive zip, const std::string& path,
                                    bool fromFile, LoadReport* report, const Limits& limits) {
    LoadReport scratch;
    LoadReport& out = report ? *report : scratch;
    out.items.clear();
    auto previous = std::dynamic_pointer_cast<ModelWorkbook>(app.ActiveWorkbook());
    auto book = app.EmptyWorkbook();
    auto fail = [&](const std::string& message) {
        // The workbook begun for the file is closed, and the one that was active
        // before is active again.
        app.CloseWorkbook(book);
        if (previous) app.SetActiveWorkbook(previous);
        if (!message.empty()) Fail(zip.Name(), message);
    };
    try {
        Loader(zip, *book, out, limits).Run();
    } catch (const Error& e) {
        fail(e.code() == ErrorCode::FileError ? std::string() : e.description());
        throw;
    } catch (const std::bad_alloc&) {
        fail("out of memory");
    }
    if (fromFile) book->SetPath(path);
    return book;
}

}  // namespace

std::shared_ptr<ModelWorkbook> LoadWorkbook(model::ModelApplication& app, const std::string& path, LoadReport* report) {
    return LoadWorkbook(app, path, report, Limits{});
}

std::shared_ptr<ModelWorkbook> LoadWorkbook(model::ModelApplication& app, const std::string& path, LoadReport* report,
                                            const Limits& limits) {
    return Load(app, Archive::OpenFile(path, limits), path, true, report, limits);
}

std::shared_ptr<ModelWorkbook> LoadWorkbookFromMemory(model::ModelApplication& app, const void* data, std::size_t size,
                                                      const std::string& name, LoadReport* report,
                                                      const Limits& limits) {
    return Load(app, Archive::OpenMemory(data, size, name, limits), name, false, report, limits);
}

}  // namespace ormelin::xlsx
