#include "cli/import_cmd.hpp"

#include "cli/commands.hpp"

#include <CLI/CLI.hpp>

#include <fstream>
#include <optional>
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

std::optional<import::Convention> ConventionOf(const std::string& word) {
    if (word == "auto") return std::nullopt;
    if (word == "gost") return import::Convention::Gost;
    if (word == "iec") return import::Convention::Iec;
    throw Failure{kUsage, Say("unknown designator convention \"{1}\" (use auto, gost or iec)", {word})};
}

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const auto& w : words) out += (out.empty() ? "" : ", ") + w;
    return out;
}

import::Profile ProfileOf(const std::string& word) {
    if (auto p = import::BuiltinProfile(word)) return *p;
    std::ifstream in(word, std::ios::binary);
    if (!in) {
        throw Failure{kUsage, Say("profile \"{1}\" is neither kicad, altium, jlc nor a readable profile file", {word})};
    }
    std::stringstream ss;
    ss << in.rdbuf();
    try {
        return import::ParseProfile(ss.str(), word);
    } catch (const import::BomError& e) {
        throw Failure{kUsage, e.what()};
    }
}

}  // namespace

void AddImportOptions(CLI::App& sub, ImportOptions& o) {
    sub.add_option("BOM", o.bom, Tr("the bill of materials: .csv (delimiter , ; or tab), .xlsx, or KiCad's netlist (.net, or the .xml of its BOM plug-ins)"))->required();
    sub.add_option("--profile", o.profile, Tr("kicad, altium, jlc, or a profile file (JSON) naming the BOM's columns"))
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
    sub.add_option("--designators", o.designators,
                   Tr("the designators' letter codes: gost (GOST 2.710: D microcircuit, VD diode, X connector), "
                      "iec (D diode, U microcircuit, J connector, Y crystal) or auto (found from the codes)"))
        ->default_val("auto");
    sub.add_flag("--raw-values", o.rawValues,
                 Tr("keep the values as the BOM gives them (default: in GOST form, as 4k7 -> \"4,7 кОм\", "
                    "100n -> \"100 нФ\", 5% -> \"±5 %\")"));
    sub.add_flag("--mark-dnp", o.markDnp,
                 Tr("list elements marked \"do not fit\" with \"Не устанавливать\" in the note (default: leave them out)"));
}

import::PreparedBom PrepareImport(const ImportOptions& o) {
    ConventionOf(o.designators);   // a wrong word is refused before anything is read
    import::BomSource source{o.bom, EncodingOf(o.encoding), DelimiterOf(o.delimiter), o.bomSheet, ProfileOf(o.profile)};
    try {
        return import::PrepareBom(source);
    } catch (const import::BomUnreadable&) {
        throw Failure{kUsage, Say("{1}: cannot be read", {o.bom})};
    } catch (const import::BomError& e) {
        throw Failure{kFailed, e.what()};
    }
}

void ImportInto(const ImportOptions& o, const import::PreparedBom& bom, Documents& docs,
                const std::shared_ptr<host::Worksheet>& sheet, std::ostream& out, std::ostream& err) {
    import::ImportOutcome done;
    const auto convention = ConventionOf(o.designators);
    try {
        done = import::ImportInto(docs, sheet, bom,
                                  {.replace = o.replace, .gap = o.gap, .markDnp = o.markDnp, .designators = convention,
                                   .rawValues = o.rawValues});
    } catch (const std::runtime_error& e) {
        throw Failure{kFailed, e.what()};
    }
    switch (done.refused) {
        case import::ImportRefusal::FormedDocument:
            throw Failure{kFailed, Say("sheet \"{1}\" holds a formed document; roll it back first (ormelin rollback)",
                                       {sheet->Name()})};
        case import::ImportRefusal::NoTargetList:
            throw Failure{kFailed, Say("sheet \"{1}\" holds no list of elements, list of purchased products or "
                                       "specification",
                                       {sheet->Name()})};
        case import::ImportRefusal::None: break;
    }
    if (done.assemblyMissing) {
        err << "ormelin: "
            << Say("the register holds no designation for sheet \"{1}\": \"Куда входит\" is left empty",
                   {sheet->Name()})
            << '\n';
    }
    if (!done.undecidedCodes.empty()) {
        err << "ormelin: "
            << Say("the letter codes {1} name different kinds under GOST 2.710 and IEC, and the BOM's codes decide "
                   "neither: their rows have no kind name; give --designators gost or iec",
                   {Joined(done.undecidedCodes)})
            << '\n';
    }
    if (done.coarseMeasure) {
        err << "ormelin: "
            << Say("the printing font osifont is not installed (scripts/setup installs fonts-osifont); "
                   "long names are wrapped by a coarse estimate")
            << '\n';
    }
    for (const auto& dropped : done.fill.droppedNotes) {
        err << "ormelin: "
            << Say("the note \"{1}\" of {2} is dropped: {2} is no longer in the BOM", {dropped.note, dropped.row})
            << '\n';
    }
    if (bom.symbolsLeftOut > 0) {
        out << Say("{1}: {2} rows from {3}, from row {4}; {5} power and flag symbols (#) left out",
                   {sheet->Name(), std::to_string(done.fill.rowsWritten), bom.file, std::to_string(done.fill.firstRow),
                    std::to_string(bom.symbolsLeftOut)})
            << '\n';
    } else {
        out << Say("{1}: {2} rows from {3}, from row {4}",
                   {sheet->Name(), std::to_string(done.fill.rowsWritten), bom.file,
                    std::to_string(done.fill.firstRow)})
            << '\n';
    }
}

void DeclareImport(CLI::App& sub, Options& opt) {
    DeclareBookAndSheet(sub, opt);
    AddImportOptions(sub, opt.import);
    DeclareWrites(sub, opt);
}

int RunImport(const Options& opt, std::ostream& out, std::ostream& err) {
    // The BOM and the profile are read first: their errors leave the workbook unopened.
    const import::PreparedBom bom = PrepareImport(opt.import);
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    ImportInto(opt.import, bom, s.Service().Typed(), ws, out, err);
    s.Write();
    return kOk;
}

}  // namespace ormelin::cli
