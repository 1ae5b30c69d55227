#include "cli/import_cmd.hpp"

#include "cli/commands.hpp"

#include <CLI/CLI.hpp>

#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/app.hpp"
#include "cli/failure.hpp"
#include "cli/i18n.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/state.hpp"

namespace ormelin::cli {

namespace {

import::Encoding EncodingOf(const std::string& word) {
    if (word == "auto") return import::Encoding::Detect;
    if (word == "utf-8" || word == "utf8") return import::Encoding::Utf8;
    if (word == "cp1251" || word == "windows-1251") return import::Encoding::Cp1251;
    throw Failure{kUsage, Say("unknown encoding \"{1}\" (use auto, utf-8 or cp1251)", {word})};
}

char DelimiterOf(const std::string& word) {
    if (word.empty() || word == "auto") return 0;
    if (word == "," || word == "comma") return ',';
    if (word == ";" || word == "semicolon") return ';';
    if (word == "\t" || word == "tab" || word == "\\t") return '\t';
    throw Failure{kUsage, Say("unknown delimiter \"{1}\" (use , ; or tab)", {word})};
}

import::Profile ProfileOf(const std::string& word) {
    if (auto p = import::BuiltinProfile(word)) return *p;
    std::ifstream in(word, std::ios::binary);
    if (!in) {
        throw Failure{kUsage, Say("profile \"{1}\" is neither kicad, altium nor a readable profile file", {word})};
    }
    std::stringstream ss;
    ss << in.rdbuf();
    try {
        return import::ParseProfile(ss.str(), word);
    } catch (const import::BomError& e) {
        throw Failure{kUsage, e.what()};
    }
}

/// The designation of the assembly a list belongs to: the document's designation
/// without its document code ("АБВГ.436234.001 ВП" gives "АБВГ.436234.001").
std::string AssemblyOf(const std::string& designation) {
    const auto blank = designation.find_last_of(' ');
    if (blank == std::string::npos) return designation;
    std::string base = designation.substr(0, blank);
    while (!base.empty() && base.back() == ' ') base.pop_back();
    return base;
}

}  // namespace

void AddImportOptions(CLI::App& sub, ImportOptions& o) {
    sub.add_option("BOM", o.bom, Tr("the bill of materials: .csv (delimiter , ; or tab) or .xlsx"))->required();
    sub.add_option("--profile", o.profile, Tr("kicad, altium, or a profile file (JSON) naming the BOM's columns"))
        ->default_val("kicad");
    sub.add_flag("--replace", o.replace,
                 Tr("replace the list's rows (for a specification: the rows of \"Прочие изделия\"); "
                    "without it a list that holds rows is refused"));
    sub.add_option("--encoding", o.encoding, Tr("auto (UTF-8, else cp1251), utf-8 or cp1251"))->default_val("auto");
    sub.add_option("--delimiter", o.delimiter, Tr("the CSV delimiter: , ; or tab (default: found from the head line)"));
    sub.add_option("--bom-sheet", o.bomSheet, Tr("the sheet of an .xlsx BOM (default: its first sheet)"));
    sub.add_option("--gap", o.gap, Tr("empty rows between the groups of a list of elements"))
        ->default_val(1)
        ->check(CLI::Range(1, 2));
    sub.add_flag("--mark-dnp", o.markDnp,
                 Tr("list elements marked \"do not fit\" with \"Не устанавливать\" in the note (default: leave them out)"));
}

PreparedImport PrepareImport(const ImportOptions& o) {
    const import::Encoding encoding = EncodingOf(o.encoding);
    const char delimiter = DelimiterOf(o.delimiter);
    const import::Profile profile = ProfileOf(o.profile);
    PreparedImport p;
    p.file = o.bom;
    {
        std::ifstream probe(o.bom, std::ios::binary);
        if (!probe) throw Failure{kUsage, Say("{1}: cannot be read", {o.bom})};
    }
    try {
        p.elements = import::ReadBomElements(o.bom, encoding, delimiter, o.bomSheet, profile);
    } catch (const import::BomError& e) {
        throw Failure{kFailed, e.what()};
    }
    return p;
}

void ImportInto(const ImportOptions& o, const PreparedImport& bom, Kalvora& service,
                const std::shared_ptr<host::Worksheet>& sheet, std::ostream& out, std::ostream& err) {
    std::shared_ptr<host::Worksheet> ws = sheet;
    const std::int32_t state = service.StateOfDocument(ws);
    const auto target = import::TargetOf(state);
    if (!target) {
        if (IsFormedState(state)) {
            throw Failure{kFailed, Say("sheet \"{1}\" holds a formed document; roll it back first (ormelin rollback)",
                                       {sheet->Name()})};
        }
        throw Failure{kFailed, Say("sheet \"{1}\" holds no list of elements, list of purchased products or "
                                   "specification",
                                   {sheet->Name()})};
    }

    std::vector<import::ListRow> rows;
    switch (*target) {
        case import::Target::Elements:
            rows = import::ElementListRows(
                bom.elements, {o.gap, o.markDnp ? import::DnpRule::Mark : import::DnpRule::Omit});
            break;
        case import::Target::Purchased: {
            std::string assembly;
            if (sheet->Parent().FindSheet("список")) {
                auto doc = std::make_shared<AttrDoc>();
                service.AttribsFromSPIS(doc, ws);
                assembly = AssemblyOf(doc->GetText("aOboz"));
            }
            if (assembly.empty()) {
                err << "ormelin: "
                    << Say("the register holds no designation for sheet \"{1}\": \"Куда входит\" is left empty",
                           {sheet->Name()})
                    << '\n';
            }
            rows = import::PurchasedRows(bom.elements, assembly);
            break;
        }
        case import::Target::Specification:
            rows = import::OtherProductRows(bom.elements, import::NextSpecificationPosition(*sheet));
            break;
    }

    import::Measure measure;
    if (auto file = import::FormFontFile()) {
        if (auto m = import::FontMeasure(*file)) measure = *m;
    }
    if (!measure) {
        err << "ormelin: "
            << Say("the printing font osifont is not installed (scripts/setup installs fonts-osifont); "
                   "long names are wrapped by a coarse estimate")
            << '\n';
        measure = import::CoarseMeasure();
    }
    try {
        const auto result = import::FillList(sheet, state, rows, o.replace, measure);
        out << Say("{1}: {2} rows from {3}, from row {4}",
                   {sheet->Name(), std::to_string(result.rowsWritten), bom.file, std::to_string(result.firstRow)})
            << '\n';
    } catch (const std::runtime_error& e) {
        throw Failure{kFailed, e.what()};
    }
}

void DeclareImport(CLI::App& sub, Options& opt) {
    DeclareBookAndSheet(sub, opt);
    AddImportOptions(sub, opt.import);
    DeclareWrites(sub, opt);
}

int RunImport(const Options& opt, std::ostream& out, std::ostream& err) {
    // The BOM and the profile are read first: their errors leave the workbook unopened.
    const PreparedImport bom = PrepareImport(opt.import);
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    ImportInto(opt.import, bom, s.Service(), ws, out, err);
    s.Write();
    return kOk;
}

}  // namespace ormelin::cli
