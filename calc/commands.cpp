// The ESKD menu's commands on the Calc host.
#include "commands.hpp"

#include <libintl.h>

#include <clocale>
#include <cstdlib>

#include <filesystem>
#include <mutex>
#include <sstream>

#include "check/check.hpp"
#include "cli/attr_fields.hpp"
#include "cli/failure.hpp"
#include "cli/i18n.hpp"
#include "cli/import_cmd.hpp"
#include "cli/reports.hpp"
#include "cli/session.hpp"
#include "measure/text_measure.hpp"
#include "ormelin/documents.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/state.hpp"

namespace ormelin::calc {

namespace {

using cli::Failure;
using cli::Say;

/// The command's messages in the user's language, from the catalogues the
/// extension carries, and its drafting font.
void InitMessagesOnce(const std::string& extensionDir, const std::string& uiLocale) {
    static std::once_flag once;
    std::call_once(once, [&] {
        // The drafting font the extension carries measures and prints the forms
        // as the command does where it is installed.
        measure::UseFormFontFile(extensionDir + "/fonts/ormelin-drafting.ttf");
        cli::InitMessages();
        bindtextdomain("ormelin", (extensionDir + "/locale").c_str());
        bind_textdomain_codeset("ormelin", "UTF-8");
        // The office sets LANGUAGE to its own interface language: a Russian
        // interface, or a Russian environment, gets the Russian messages.
        bool russian = uiLocale.rfind("ru", 0) == 0;
        for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* v = std::getenv(var);
            if (v && *v) {
                russian = russian || std::string(v).rfind("ru", 0) == 0;
                break;
            }
        }
        if (russian) {
            setenv("LANGUAGE", "ru", 1);
            const char* now = std::setlocale(LC_MESSAGES, nullptr);
            if (!now || std::string(now) == "C" || std::string(now) == "POSIX") std::setlocale(LC_MESSAGES, "C.UTF-8");
        }
    });
}

/// The active sheet as a document's sheet: the register sheet is refused as the
/// command refuses it.
std::shared_ptr<host::Worksheet> DocumentSheet(CalcApplication& app) {
    auto ws = app.Book().ActiveSheet();
    if (ws->Name() == cli::kRegisterSheet)
        throw Failure{cli::kFailed, Say("\"{1}\" is the register sheet, not a document", {cli::kRegisterSheet})};
    return ws;
}

/// The part of a command after its first colon, split at the further colons.
std::vector<std::string> Arguments(const std::string& command) {
    std::vector<std::string> out;
    std::size_t at = command.find(':');
    while (at != std::string::npos) {
        const std::size_t next = command.find(':', at + 1);
        out.push_back(command.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
        at = next;
    }
    return out;
}

void NewDocument(CalcApplication& app, Outcome& out, const std::string& word) {
    const ksStateOfDocument code = cli::KindCode(word);
    Documents docs(app);
    if (!docs.NewDocument(app.Book().Sheet(1))) throw Failure{cli::kFailed, Say("no new document sheet was added")};
    out.changed = true;
    auto ws = app.Book().Sheet(cli::kNewSheet);
    docs.Blank(ws, code);
    ws->Activate();
}

void Form(CalcApplication& app, Outcome& out, const std::vector<std::string>& args) {
    FormingOptions options;
    options.keepTogether = true;  // entries kept whole, as the command line forms unless told not to
    for (const auto& a : args) {
        if (a == "print") options.forPrint = true;
        else if (a == "revisions") options.pageRevi = true;
    }
    auto ws = DocumentSheet(app);
    const std::string name = ws->Name();
    Documents docs(app);
    const FormingOutcome formed = docs.Form(ws, options);
    out.changed = formed.formed;
    if (!formed.formed && IsFormedState(formed.stateBefore))
        throw Failure{cli::kFailed,
                      Say("sheet \"{1}\" holds a formed document already; roll it back first (ormelin rollback)", {name})};
    if (!formed.formed) throw Failure{cli::kFailed, Say("sheet \"{1}\" holds no list that can be formed", {name})};
    if (formed.rowsLeftBelow)
        out.notes.push_back(Say("forming stopped at a run of empty rows; list rows from row {1} on are left below the "
                                "last sheet",
                                {std::to_string(*formed.rowsLeftBelow)}));
}

void Rollback(CalcApplication& app, Outcome& out) {
    auto ws = DocumentSheet(app);
    const std::string name = ws->Name();
    Documents docs(app);
    const RollbackOutcome rolled = docs.Rollback(ws);
    out.changed = rolled.rolledBack;
    if (rolled.rolledBack) return;
    if (IsListState(rolled.stateBefore))
        out.notes.push_back(Say("sheet \"{1}\" holds a list already; there is nothing to roll back", {name}));
    else
        out.notes.push_back(Say("sheet \"{1}\" holds no formed document: nothing to roll back", {name}));
}

/// Sets attributes of the active sheet's document as `ormelin attrs --set`
/// does (the same checks: nothing is written when one value is refused).
void SetAttributes(CalcApplication& app, Outcome& out, const AttributeValues& values) {
    auto ws = DocumentSheet(app);
    if (values.empty()) return;
    Kalvora service(app);
    cli::SetRegisterAttributes(service, app.Book(), app.Book().Name(), ws, values);
    out.changed = true;
}

/// The script form attribute:NAME=VALUE: one attribute, as `--set NAME=VALUE`.
void SetAttribute(CalcApplication& app, Outcome& out, const std::string& assignment) {
    const auto eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0)
        throw Failure{cli::kUsage, Say("--set wants NAME=VALUE, got \"{1}\"", {assignment})};
    SetAttributes(app, out, {{assignment.substr(0, eq), assignment.substr(eq + 1)}});
}

/// The check of `ormelin check` on the active sheet's document, or on every
/// document when the active sheet holds none: the findings one a line as the
/// command prints them, then its closing line.
void Check(CalcApplication& app, Outcome& out) {
    auto active = app.Book().ActiveSheet();
    std::vector<std::shared_ptr<host::Worksheet>> sheets;
    if (active->Name() != cli::kRegisterSheet && check::Checkable(*active)) sheets.push_back(active);
    else sheets = cli::CheckableDocuments(app.Book());
    const check::Date today = cli::Today();
    int errors = 0, warnings = 0;
    std::string text;
    for (const auto& ws : sheets)
        for (const check::Finding& f : check::CheckSheet(*ws, today)) {
            (f.severity == check::Severity::Error ? errors : warnings)++;
            text += cli::FindingLine(f) + "\n";
        }
    if (errors + warnings == 0) text += Say("No findings.") + "\n";
    text += cli::CheckSummary(sheets.size(), errors, warnings);
    out.notes.push_back(text);
    out.noteIcon = errors ? host::MsgIcon::Critical : warnings ? host::MsgIcon::Exclamation : host::MsgIcon::Information;
}

/// What "Печать в PDF" prints: the active sheet's formed document, or every
/// formed document of the workbook (a bookmark each) when the active sheet holds none.
std::vector<std::shared_ptr<host::Worksheet>> PrintedDocuments(CalcApplication& app, Kalvora& service, bool& all) {
    auto active = app.Book().ActiveSheet();
    all = active->Name() == cli::kRegisterSheet || service.DocumIsForm(active) != 1;
    if (!all) return {active};
    return cli::FormedDocuments(service, app.Book());
}

/// `ormelin pdf` on the open document into path; the texts cut in print as notes.
void PrintPdf(CalcApplication& app, Outcome& out, const std::string& path) {
    Kalvora service(app);
    bool all = false;
    const auto sheets = PrintedDocuments(app, service, all);
    if (sheets.empty())
        throw Failure{cli::kFailed, Say("{1} holds no formed document to print", {app.Book().Name()})};
    const std::string book = app.Book().FullName();
    cli::CheckPdfDestination(path, book);
    std::ostringstream said;
    cli::RenderToPdf(service, sheets, path, book, all, said);
    // the texts cut, in one message box
    std::string line, cut;
    std::istringstream lines(said.str());
    while (std::getline(lines, line))
        if (!line.empty()) cut += (cut.empty() ? "" : "\n") + (line.rfind("ormelin: ", 0) == 0 ? line.substr(9) : line);
    if (cut.empty()) return;
    out.notes.push_back(cut);
    out.noteIcon = host::MsgIcon::Exclamation;
}

void Import(CalcApplication& app, Outcome& out, const std::string& path) {
    cli::ImportOptions options;
    options.bom = path;
    const import::PreparedBom bom = cli::PrepareImport(options);
    auto ws = DocumentSheet(app);
    Documents docs(app);
    std::ostringstream said, warned;
    cli::ImportInto(options, bom, docs, ws, said, warned);
    out.changed = true;
    std::string line;
    std::istringstream w(warned.str());
    while (std::getline(w, line))
        if (!line.empty()) out.notes.push_back(line.rfind("ormelin: ", 0) == 0 ? line.substr(9) : line);
}

}  // namespace

std::string StepTitle(const std::string& command) {
    const std::string verb = command.substr(0, command.find(':'));
    if (verb == "new") return "Новый документ";
    if (verb == "form") return "Сформировать";
    if (verb == "rollback") return "Откатить";
    if (verb == "attribute" || verb == "attributes") return "Атрибуты документа";
    if (verb == "check") return "Проверка";
    if (verb == "pdf") return "Печать в PDF";
    if (verb == "import") return "Импорт из BOM";
    return "ЕСКД";
}

bool ReadsOnly(const std::string& command) {
    const std::string verb = command.substr(0, command.find(':'));
    return verb == "check" || verb == "pdf";
}

Outcome ReadAttributes(CalcApplication& app, const std::string& extensionDir, const std::string& uiLocale,
                       std::vector<AttributeRow>& rows) {
    InitMessagesOnce(extensionDir, uiLocale);
    Outcome out;
    try {
        auto ws = DocumentSheet(app);
        Kalvora service(app);
        const std::vector<std::string> values = cli::RegisterValues(service, ws);
        std::size_t i = 0;
        for (const auto& field : cli::RegisterAttributes())
            rows.push_back({std::string(field.name), cli::Tr(std::string(field.field).c_str()), values.at(i++),
                            field.settable});
    } catch (const Failure& f) {
        out.error = f.message;
    } catch (const std::exception& e) {
        out.error = e.what();
    }
    return out;
}

std::string PdfDefaultName(CalcApplication& app) {
    std::string name = std::filesystem::path(app.Book().Name()).stem().string();
    try {
        Kalvora service(app);
        bool all = false;
        const auto sheets = PrintedDocuments(app, service, all);
        if (!all) name += " - " + sheets.front()->Name();
    } catch (const std::exception&) {
    }
    return name + ".pdf";
}

Outcome RunCommand(CalcApplication& app, const std::string& command, const std::string& extensionDir,
                   const std::string& uiLocale, const AttributeValues& values) {
    InitMessagesOnce(extensionDir, uiLocale);
    Outcome out;
    const std::string verb = command.substr(0, command.find(':'));
    const std::vector<std::string> args = Arguments(command);
    const std::string rest = command.find(':') == std::string::npos ? std::string() : command.substr(command.find(':') + 1);
    try {
        if (verb == "new" && args.size() == 1) NewDocument(app, out, args[0]);
        else if (verb == "form") Form(app, out, args);
        else if (verb == "rollback") Rollback(app, out);
        else if (verb == "attribute") SetAttribute(app, out, rest);
        else if (verb == "attributes") SetAttributes(app, out, values);
        else if (verb == "check") Check(app, out);
        else if (verb == "pdf" && !rest.empty()) PrintPdf(app, out, rest);
        else if (verb == "import" && !rest.empty()) Import(app, out, rest);
        else out.error = "Неизвестная команда: " + command;
    } catch (const Failure& f) {
        out.error = f.message;
    } catch (const std::exception& e) {
        out.error = e.what();
    }
    return out;
}

}  // namespace ormelin::calc
