#include "cli/app.hpp"

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "attributes/register.hpp"
#include "cli/attr_fields.hpp"
#include "cli/book_lock.hpp"
#include "cli/console_ui.hpp"
#include "cli/failure.hpp"
#include "cli/i18n.hpp"
#include "cli/import_cmd.hpp"
#include "cli/parser_text.hpp"
#include "cli/print.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/errors.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/state.hpp"
#include "ormelin/xlsx.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {
namespace {

/// The register sheet's name; the register is not a document.
constexpr const char* kRegisterSheet = "список";
/// The sheet a new document starts on.
constexpr const char* kNewSheet = "Новый";

/// The member name of a state code, as `state` prints it.
std::string StateName(std::int32_t code) { return IsStateValue(code) ? StateEntryOf(code).member : "?"; }

/// The words of the kinds that have a list, for the command's messages.
std::string KindWords() {
    std::string words;
    for (const auto& k : kinds::kKinds)
        if (k.word) words += (words.empty() ? "" : ", ") + std::string(k.word);
    return words;
}

/// The list state a kind's word draws.
ksStateOfDocument KindCode(const std::string& word) {
    for (const auto& k : kinds::kKinds) {
        if (k.word && word == k.word) return k.blank;
    }
    throw Failure{kUsage, Say("unknown kind \"{1}\" (use {2})", {word, KindWords()})};
}

struct Options {
    std::string book, sheet, kind, name, output, json, pdf, dir;
    int row = 0;
    double wait = 10;
    bool print = false, revisions = false, force = false, yes = false;
    std::vector<std::string> sets;
    ImportOptions import;
};

bool leaveWorkbooks = false;

/// One run of the command: the host application, the workbook and where it goes.
class Session {
public:
    Session(const Options& opt, std::ostream& err)
        : opt_(opt), err_(err), ui_(std::make_shared<ConsoleUi>(err, opt.yes)),
          app_(std::make_shared<model::ModelApplication>(ui_)) {
        // The service saves the workbook now and then (a new workbook's first save,
        // the register's error handling); the command writes it once, at its end,
        // and only when the whole operation succeeded.
        app_->SetSaver([](const model::ModelWorkbook&, const std::string&) {});
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        if (!leaveWorkbooks) return;
        // Held from a static pointer to the process's end: nothing is freed, and a
        // leak checker sees it all still reachable. The book's lock is released as usual.
        static auto* left = new std::vector<std::shared_ptr<const void>>;
        try {
            left->reserve(left->size() + 3);
        } catch (const std::bad_alloc&) {
            return;  // taken apart as usual
        }
        left->push_back(std::move(book_));
        left->push_back(std::shared_ptr<Kalvora>(std::move(service_)));
        left->push_back(std::move(app_));
    }

    model::ModelApplication& App() { return *app_; }
    ConsoleUi& Ui() { return *ui_; }
    Kalvora& Service() {
        if (!service_) service_ = std::make_unique<Kalvora>(*app_);
        return *service_;
    }
    model::ModelWorkbook& Book() { return *book_; }

    /// Opens the workbook under a lock held until the command ends (exclusive
    /// when the command writes it); a missing file starts a new one only when allowed.
    void Open(bool mayCreate, bool forWriting) {
        lock_.emplace(opt_.book, forWriting, opt_.wait);
        if (forWriting) xlsx::RemoveLeftoverSaves(opt_.book);  // of saves killed before they ended
        stamp_ = StampOf(opt_.book);
        if (!stamp_) {
            if (fs::exists(fs::symlink_status(opt_.book)) || !mayCreate) {
                throw Failure{kBadWorkbook, Say("{1}: no such file", {opt_.book})};
            }
            book_ = app_->NewWorkbook();
            created_ = true;
            return;
        }
        try {
            book_ = xlsx::LoadWorkbook(*app_, opt_.book, &report_);
        } catch (const Error& e) {
            // The file layer names the damaged part, or the file itself.
            const std::string& what = e.description();
            const bool namesFile = what.rfind(opt_.book, 0) == 0;
            throw Failure{kBadWorkbook, namesFile ? what : opt_.book + ": " + what};
        }
        if (StampOf(opt_.book) != stamp_) throw Changed();
    }

    bool Created() const { return created_; }

    std::shared_ptr<host::Worksheet> Sheet(const std::string& name) {
        auto ws = book_->FindSheet(name);
        if (!ws) throw Failure{kFailed, Say("{1}: no sheet named \"{2}\"", {opt_.book, name})};
        ws->Activate();
        return ws;
    }

    /// A sheet that holds (or is to hold) a document: never the register.
    std::shared_ptr<host::Worksheet> DocumentSheet(const std::string& name) {
        auto ws = Sheet(name);
        if (ws->Name() == kRegisterSheet) {
            throw Failure{kFailed, Say("\"{1}\" is the register sheet, not a document", {kRegisterSheet})};
        }
        return ws;
    }

    std::string Destination() const { return opt_.output.empty() ? opt_.book : opt_.output; }

    bool InPlace() const {
        if (opt_.output.empty()) return true;
        std::error_code ec;
        return fs::weakly_canonical(opt_.output, ec) == fs::weakly_canonical(opt_.book, ec);
    }

    /// Refuses before any change when writing back in place would drop parts of
    /// the workbook that the model does not hold, or when a spreadsheet program
    /// has the file open (its next save would undo this command's work).
    void CheckWritable() const {
        if (opt_.force) return;
        if (auto owner = OpenedBy(Destination()); owner && fs::exists(Destination())) {
            throw Failure{kFailed, Say("{1} is open in a spreadsheet program ({2}); close it there first, or pass --force",
                                       {Destination(), *owner})};
        }
        if (report_.empty() || !InPlace()) return;
        std::string parts;
        for (const auto& item : report_.items) parts += (parts.empty() ? "" : ", ") + item.what + " in " + item.part;
        throw Failure{kFailed, Say("{1} holds parts that would be lost if it were written back ({2}); "
                                   "write elsewhere with -o FILE or pass --force",
                                   {opt_.book, parts})};
    }

    /// Any error the service reported during the run fails the command.
    void CheckNoErrors() {
        if (!Service().Typed().Reports().empty()) {
            throw Failure{kFailed, Say("the operation reported an error (above); nothing was written")};
        }
    }

    void Write() {
        CheckNoErrors();
        if (InPlace() || fs::equivalent(Destination(), opt_.book, ignored_)) {
            if (created_ ? fs::exists(fs::symlink_status(opt_.book)) : StampOf(opt_.book) != stamp_) throw Changed();
        }
        xlsx::SaveReport saved;
        try {
            saved = xlsx::SaveWorkbook(*book_, Destination());
        } catch (const Error& e) {
            throw Failure{kFailed, Destination() + ": " + e.description()};
        }
        // The file keeps a limited number of manual page breaks per sheet.
        for (const auto& b : saved.breaks)
            err_ << "ormelin: " << Destination() << ": sheet \"" << b.sheet << "\" has " << b.given
                 << " manual page breaks, the file keeps " << b.kept << "; from printed sheet " << b.kept + 1
                 << " on the printout falls back to automatic page breaks\n";
    }

private:
    Failure Changed() const {
        return Failure{kFailed, Say("{1} changed on disk while the command ran; nothing was written: run it again",
                                    {opt_.book})};
    }

    const Options& opt_;
    std::ostream& err_;
    std::shared_ptr<ConsoleUi> ui_;
    std::shared_ptr<model::ModelApplication> app_;
    std::unique_ptr<Kalvora> service_;
    std::shared_ptr<model::ModelWorkbook> book_;
    xlsx::LoadReport report_;
    std::optional<BookLock> lock_;
    std::optional<FileStamp> stamp_;
    std::error_code ignored_;
    bool created_ = false;
};

// ------------------------------------------------------------------ commands

/// A sheet name that is free in the workbook, to set a sheet aside under.
std::string FreeSheetName(model::ModelWorkbook& book) {
    for (int i = 1;; ++i) {
        std::string name = "ormelin-" + std::to_string(i);
        if (!book.FindSheet(name)) return name;
    }
}

int CmdNew(const Options& opt, std::ostream& out, std::ostream& err) {
    ksStateOfDocument code = KindCode(opt.kind);
    Session s(opt, err);
    s.Open(true, true);
    s.CheckWritable();
    if (!opt.name.empty() && s.Book().FindSheet(opt.name)) {
        throw Failure{kFailed, Say("{1}: a sheet named \"{2}\" already exists", {opt.book, opt.name})};
    }
    // With --name, a sheet "Новый" left from before is not in the way: it is set
    // aside while the new sheet is added and named.
    std::shared_ptr<host::Worksheet> setAside;
    if (!opt.name.empty()) {
        setAside = s.Book().FindSheet(kNewSheet);
        if (setAside) setAside->Name(FreeSheetName(s.Book()));
    }
    auto any = s.Book().Sheet(1);
    // A new workbook has no file yet: the save-as dialog answers with the path given.
    s.Ui().SetSaveAsAnswer(fs::absolute(s.Destination()).string());
    if (!s.Service().DocumentIsNew(any)) throw Failure{kFailed, Say("no new document sheet was added")};
    auto ws = s.Book().Sheet(kNewSheet);
    // The sheet gets its name before the list is drawn: the list shows it.
    if (!opt.name.empty()) ws->Name(opt.name);
    if (setAside) setAside->Name(kNewSheet);
    s.Service().DocumentBlank(ws, code);
    s.Write();
    out << ws->Name() << '\n';
    return kOk;
}

int CmdBlank(const Options& opt, std::ostream&, std::ostream& err) {
    ksStateOfDocument code = KindCode(opt.kind);
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    s.Service().DocumentBlank(ws, code);
    s.Write();
    return kOk;
}

int CmdState(const Options& opt, std::ostream& out, std::ostream& err) {
    Session s(opt, err);
    s.Open(false, false);
    auto line = [&](std::shared_ptr<host::Worksheet> ws) {
        std::int32_t code = s.Service().StateOfDocument(ws);
        out << ws->Name() << '\t' << code << '\t' << StateName(code) << '\n';
    };
    if (!opt.sheet.empty()) {
        line(s.Sheet(opt.sheet));
    } else {
        for (int i = 1; i <= s.Book().Count(); ++i) line(s.Book().Sheet(i));
    }
    return kOk;
}

int CmdInsertRow(const Options& opt, std::ostream&, std::ostream& err) {
    if (opt.row < 1 || opt.row > 32767) throw Failure{kUsage, Say("ROW must be a row number from 1 to 32767")};
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    // Rows go into lists only, below their head: a row in a formed document or in
    // a head would break the layout that recognition reads.
    const std::int32_t state = s.Service().StateOfDocument(ws);
    if (IsFormedState(state)) {
        throw Failure{kFailed, Say("sheet \"{1}\" holds a formed document; roll it back first (ormelin rollback)",
                                   {opt.sheet})};
    }
    if (!IsListState(state)) throw Failure{kFailed, Say("sheet \"{1}\" holds no list", {opt.sheet})};
    const int first = FirstDataRow(KindOf(state));
    if (opt.row < first) {
        throw Failure{kFailed, Say("row {1} is in the list's head; the list's rows start at row {2}",
                                   {std::to_string(opt.row), std::to_string(first)})};
    }
    s.Service().RowInsert(ws, static_cast<std::int16_t>(opt.row));
    s.Write();
    return kOk;
}

int CmdForm(const Options& opt, std::ostream&, std::ostream& err) {
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    const FormingOutcome formed =
        s.Service().Typed().Form(ws, {.forPrint = opt.print, .pageRevi = opt.revisions});
    if (!formed.formed && IsFormedState(formed.stateBefore)) {
        throw Failure{kFailed, Say("sheet \"{1}\" holds a formed document already; roll it back first (ormelin rollback)",
                                   {opt.sheet})};
    }
    if (!formed.formed) throw Failure{kFailed, Say("sheet \"{1}\" holds no list that can be formed", {opt.sheet})};
    if (formed.rowsLeftBelow) {
        err << "ormelin: "
            << Say("forming stopped at a run of empty rows; list rows from row {1} on are left below the last sheet",
                   {std::to_string(*formed.rowsLeftBelow)})
            << '\n';
    }
    s.Write();
    return kOk;
}

int CmdRollback(const Options& opt, std::ostream&, std::ostream& err) {
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    const RollbackOutcome rolled = s.Service().Typed().Rollback(ws);
    if (!rolled.rolledBack) {
        // Nothing changed: the workbook is left as it is.
        if (IsListState(rolled.stateBefore))
            err << "ormelin: " << Say("sheet \"{1}\" holds a list already; there is nothing to roll back", {opt.sheet})
                << '\n';
        else
            err << "ormelin: " << Say("sheet \"{1}\" holds no formed document: nothing to roll back", {opt.sheet})
                << '\n';
        return kOk;
    }
    s.Write();
    return kOk;
}

nlohmann::ordered_json RecordJson(const AttrDoc& doc) {
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    for (const auto& field : RegisterAttributes()) j[std::string(field.name)] = doc.GetText(field.name);
    return j;
}

/// The NAME=VALUE pairs of --json and --set, in that order. Every name the
/// register does not keep is named at once.
std::vector<std::pair<std::string, std::string>> RequestedAttributes(const Options& opt) {
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!opt.json.empty()) {
        std::ifstream in(opt.json);
        if (!in) throw Failure{kUsage, Say("{1}: cannot be read", {opt.json})};
        nlohmann::json j;
        try {
            in >> j;
        } catch (const nlohmann::json::exception& e) {
            throw Failure{kUsage, Say("{1}: not valid JSON: {2}", {opt.json, e.what()})};
        }
        if (!j.is_object()) throw Failure{kUsage, Say("{1}: must hold one JSON object", {opt.json})};
        for (auto it = j.begin(); it != j.end(); ++it) {
            if (!it.value().is_string()) {
                throw Failure{kUsage, Say("{1}: \"{2}\" must be a text", {opt.json, it.key()})};
            }
            pairs.emplace_back(it.key(), it.value().get<std::string>());
        }
    }
    for (const auto& set : opt.sets) {
        auto eq = set.find('=');
        if (eq == std::string::npos || eq == 0) {
            throw Failure{kUsage, Say("--set wants NAME=VALUE, got \"{1}\"", {set})};
        }
        pairs.emplace_back(set.substr(0, eq), set.substr(eq + 1));
    }
    std::string unknown, fixed;
    for (const auto& [name, value] : pairs) {
        const AttrField* field = FindRegisterAttribute(name);
        std::string& list = !field ? unknown : (!field->settable ? fixed : unknown);
        if (field && field->settable) continue;
        if (list.find("\"" + name + "\"") == std::string::npos) list += (list.empty() ? "\"" : ", \"") + name + "\"";
    }
    if (!unknown.empty()) {
        throw Failure{kUsage, Say("the register keeps no attribute {1}; `ormelin attrs --help` lists the names it keeps",
                                  {unknown})};
    }
    if (!fixed.empty()) {
        throw Failure{kUsage, Say("{1} cannot be set: the register fills it from the workbook and the sheet", {fixed})};
    }
    return pairs;
}

/// The register takes the values only into its row of the document, found by the
/// "Лист" column, and into the columns of the attributes: one it has no column for
/// would be lost. Each attribute without its column is named.
void CheckRegisterHolds(const model::ModelWorkbook& book, const Options& opt,
                        const std::vector<std::pair<std::string, std::string>>& pairs) {
    const auto reg = attributes::RegisterOf(book);
    if (!reg) return;
    attributes::ColumnMap columns{};
    attributes::ScanColumnMap(*reg, columns);
    auto title = [](SpisColumn c) {
        for (const auto& t : attributes::kColumns)
            if (t.column == c) return std::string(t.created);
        return std::string();
    };
    if (columns[spShee] == 0) {
        throw Failure{kFailed, Say("{1}: the register sheet \"{2}\" has no column \"{3}\" and so no row for sheet "
                                   "\"{4}\"; nothing was written",
                                   {opt.book, kRegisterSheet, title(spShee), opt.sheet})};
    }
    std::string missing;
    for (const auto& [name, value] : pairs) {
        const auto prop = FindAttrProp(name);
        const auto column = prop ? attributes::ColumnOfAttribute(*prop) : std::nullopt;
        if (column && columns[*column] > 0) continue;
        const std::string item = name + " (\"" + (column ? title(*column) : std::string("?")) + "\")";
        if (missing.find(item) == std::string::npos) missing += (missing.empty() ? "" : ", ") + item;
    }
    if (!missing.empty()) {
        throw Failure{kFailed, Say("{1}: the register sheet \"{2}\" has no column for {3}; nothing was written",
                                   {opt.book, kRegisterSheet, missing})};
    }
}

int CmdAttrs(const Options& opt, std::ostream& out, std::ostream& err) {
    const bool setting = !opt.sets.empty() || !opt.json.empty();
    Session s(opt, err);
    s.Open(false, setting);
    auto ws = s.DocumentSheet(opt.sheet);
    if (!setting) {
        auto doc = std::make_shared<AttrDoc>();
        s.Service().AttribsFromSPIS(doc, ws);
        s.CheckNoErrors();
        out << RecordJson(*doc).dump(2) << '\n';
        return kOk;
    }
    s.CheckWritable();
    const auto pairs = RequestedAttributes(opt);
    if (!s.Book().FindSheet(kRegisterSheet)) {
        throw Failure{kFailed, Say("{1} has no register sheet \"{2}\": start with `ormelin new`",
                                   {opt.book, kRegisterSheet})};
    }
    CheckRegisterHolds(s.Book(), opt, pairs);
    auto doc = std::make_shared<AttrDoc>();
    s.Service().AttribsFromSPIS(doc, ws);
    for (const auto& [name, value] : pairs) doc->LetText(name, value);
    s.Service().AttribsToSPIS(doc, ws);
    s.Write();
    return kOk;
}

int CmdImport(const Options& opt, std::ostream& out, std::ostream& err) {
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

int CmdDelete(const Options& opt, std::ostream&, std::ostream& err) {
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    if (!s.Service().DocumentIsDelete(ws)) throw Failure{kFailed, Say("the document was not deleted")};
    s.Write();
    return kOk;
}

/// The PDF goes to a new file or replaces an earlier PDF; never the workbook or
/// another file.
void CheckPdfDestination(const Options& opt) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(opt.pdf, ec))) return;
    if (fs::equivalent(opt.pdf, opt.book, ec)) {
        throw Failure{kUsage, Say("{1} is the workbook itself; name a new .pdf file", {opt.pdf})};
    }
    std::ifstream in(opt.pdf, std::ios::binary);
    char head[5] = {};
    if (!fs::is_regular_file(opt.pdf, ec) || !in.read(head, 5) || std::string(head, 5) != "%PDF-") {
        throw Failure{kUsage, Say("{1} exists and is not a PDF file; it is left as it is", {opt.pdf})};
    }
}

/// Prints one sheet of a workbook file to a PDF file through LibreOffice.
void PrintSheetToPdf(const std::string& office, const Options& opt, const std::string& sheet, const std::string& pdfPath,
                     std::ostream& err) {
    Session s(opt, err);
    s.Open(false, false);
    auto ws = s.Sheet(sheet);
    // Without its print setup a formed document prints as a run of pages cut
    // anywhere across its frames.
    if (IsFormedState(s.Service().StateOfDocument(ws)) && ws->Page().printArea.empty()) {
        throw Failure{kFailed, Say("sheet \"{1}\" was formed without --print and would not print sheet by sheet: "
                                   "roll it back and form it again with --print",
                                   {sheet})};
    }
    s.CheckNoErrors();
    MakePrintedCopy(s.Book(), sheet);
    PrintToPdf(office, s.Book(), pdfPath, err);
}

int CmdPdf(const Options& opt, std::ostream&, std::ostream& err) {
    CheckPdfDestination(opt);
    auto office = FindOffice();
    if (!office) throw Failure{kFailed, Say("printing to PDF needs LibreOffice (soffice), which is not installed")};
    PrintSheetToPdf(*office, opt, opt.sheet, opt.pdf, err);
    return kOk;
}

int CmdDemo(const Options& opt, std::ostream& out, std::ostream& err) {
    std::string path = WriteDemo(opt.dir, err);
    out << path << '\n';
    auto office = FindOffice();
    if (!office) {
        err << "ormelin: " << Say("LibreOffice is not installed: the documents are not printed to PDF") << '\n';
        return kOk;
    }
    // Every formed document of the sample is printed beside the workbook.
    Options book = opt;
    book.book = path;
    std::vector<std::string> formed;
    {
        Session s(book, err);
        s.Open(false, false);
        for (int i = 1; i <= s.Book().Count(); ++i) {
            auto ws = s.Book().Sheet(i);
            if (s.Service().DocumIsForm(ws) == 1) formed.push_back(ws->Name());
        }
    }
    for (const auto& name : formed) {
        book.pdf = (fs::path(opt.dir) / (name + ".pdf")).string();
        CheckPdfDestination(book);
        PrintSheetToPdf(*office, book, name, book.pdf, err);
        out << book.pdf << '\n';
    }
    return kOk;
}

/// The attribute names with their fields, for `attrs --help`.
std::string AttributeHelp() {
    std::string text = Tr("Attributes the register keeps (NAME: the field it fills):") + std::string("\n");
    for (const auto& f : RegisterAttributes()) {
        text += "  " + std::string(f.name) + ": " + Tr(std::string(f.field).c_str()) + "\n";
    }
    text += Tr("Other properties of the attribute record (aTcon, aJob1..aJob9, aMass, aTdoc, aMate, Department, ...)\n"
               "have no register column and are refused.");
    return text;
}

}  // namespace

void LeaveWorkbooksToExit() { leaveWorkbooks = true; }

int Main(int argc, char** argv, std::ostream& out, std::ostream& err) {
    InitMessages();
    Options opt;
    CLI::App app{Tr("ormelin: ESKD design documents (specifications, lists of elements and other lists) "
                    "in .xlsx workbooks"),
                 "ormelin"};
    TranslateParser(app);
    app.set_version_flag("--version", std::string("ormelin ") + ORMELIN_VERSION, Tr("Display program version information and exit"));
    app.require_subcommand(1);
    app.footer(Tr(
        "KIND: spa (specification), spb (group specification), pe (list of elements), ve (list of\n"
        "operational documents), vn (list of documents on data media), vpa (list of purchased products).\n"
        "Commands that change a workbook say so in their own help (ormelin COMMAND --help).\n"
        "Exit status: 0 done, 1 the operation failed (nothing written), 2 wrong command line,\n"
        "3 the workbook cannot be read."));
    app.fallthrough();

    const char* writesNote = Tr(
        "The workbook is written only when the operation succeeded (an error message of the operation\n"
        "fails it), atomically; with -o FILE it goes there. A workbook holding parts ormelin does not keep\n"
        "(images, comments, ...), or open in LibreOffice or Excel, is not written back in place unless\n"
        "--force is given. A workbook that changed on disk during the run is not written.");
    auto wait = [&](CLI::App* sub) {
        sub->add_option("--wait", opt.wait, Tr("seconds to wait while another ormelin command works on BOOK"))
            ->default_val(10)
            ->check(CLI::Range(0.0, 3600.0));
    };
    // The commands that change a workbook.
    auto writes = [&](CLI::App* sub) {
        sub->add_option("-o,--output", opt.output, Tr("write the workbook there instead of replacing BOOK"));
        sub->add_flag("--force", opt.force,
                      Tr("write back in place even when parts of the workbook would be lost or it is open elsewhere"));
        wait(sub);
        sub->footer(writesNote);
    };
    auto kindHelp = "spa | spb | pe | ve | vn | vpa";
    // Most commands work on one sheet of one workbook.
    auto sheetOf = [&](CLI::App* sub) {
        sub->add_option("BOOK", opt.book, Tr("workbook (.xlsx)"))->required();
        sub->add_option("SHEET", opt.sheet, Tr("the document's sheet"))->required();
    };

    auto* cNew = app.add_subcommand("new", Tr("add a new document sheet with a blank list of KIND; prints the sheet's name"));
    cNew->add_option("BOOK", opt.book, Tr("workbook (.xlsx); created when it does not exist"))->required();
    cNew->add_option("KIND", opt.kind, kindHelp)->required();
    cNew->add_option("--name", opt.name, Tr("name of the new sheet (without it the sheet is \"Новый\")"));
    writes(cNew);

    auto* cBlank = app.add_subcommand("blank", Tr("draw the blank list of KIND on an existing sheet (its content is cleared)"));
    sheetOf(cBlank);
    cBlank->add_option("KIND", opt.kind, kindHelp)->required();
    writes(cBlank);

    auto* cState = app.add_subcommand("state", Tr("print NAME<TAB>CODE<TAB>MEMBER for every sheet, or for SHEET"));
    cState->add_option("BOOK", opt.book, Tr("workbook (.xlsx); only read"))->required();
    cState->add_option("SHEET", opt.sheet, Tr("only this sheet (default: every sheet in order)"));
    wait(cState);

    auto* cIns = app.add_subcommand("insert-row", Tr("insert a formatted list row at ROW of a list (not of a formed document)"));
    sheetOf(cIns);
    cIns->add_option("ROW", opt.row, Tr("row number the new row takes; at or below the list's first data row"))->required();
    writes(cIns);

    auto* cForm = app.add_subcommand("form", Tr("form the list on SHEET into printable sheets"));
    sheetOf(cForm);
    cForm->add_flag("--print", opt.print, Tr("also set up printing: print area, margins, paper, page breaks"));
    cForm->add_flag("--revisions", opt.revisions, Tr("add a change-registration sheet to documents of three or more sheets"));
    writes(cForm);

    auto* cRoll = app.add_subcommand("rollback", Tr("roll the formed document on SHEET back to its list"));
    sheetOf(cRoll);
    writes(cRoll);

    auto* cAttrs = app.add_subcommand("attrs", Tr("print the document's register attributes as JSON, or set them"));
    sheetOf(cAttrs);
    cAttrs->add_option("--set", opt.sets, Tr("set one attribute: NAME=VALUE (repeatable)"));
    cAttrs->add_option("--json", opt.json, Tr("set the attributes of a JSON object whose keys are attribute names"));
    writes(cAttrs);
    cAttrs->footer(AttributeHelp() + "\n" + Tr("With --set or --json: ") + writesNote);

    auto* cImport = app.add_subcommand(
        "import", Tr("fill the list on SHEET (list of elements, purchased products, or the specification's "
                     "\"Прочие изделия\") from a CAD bill of materials"));
    sheetOf(cImport);
    AddImportOptions(*cImport, opt.import);
    writes(cImport);

    auto* cDel = app.add_subcommand("delete", Tr("delete the document: its sheet and its register row"));
    sheetOf(cDel);
    cDel->add_flag("--yes", opt.yes, Tr("answer the confirmation with yes"));
    writes(cDel);

    auto* cPdf = app.add_subcommand("pdf", Tr("print SHEET to a PDF file through LibreOffice (the workbook is only read)"));
    sheetOf(cPdf);
    cPdf->add_option("OUT", opt.pdf, Tr("the PDF file to write: a new file or an earlier PDF"))->required();
    wait(cPdf);
    cPdf->footer(Tr(
        "A formed sheet must have been formed with --print. When the forms' font ISOCPEUR is not installed,\n"
        "the free drafting font osifont stands in for it (a private font configuration; nothing of the\n"
        "system's is changed)."));

    auto* cDemo = app.add_subcommand("demo", Tr("write a sample workbook with documents of every kind into DIR"));
    cDemo->add_option("DIR", opt.dir, Tr("folder for ormelin-demo.xlsx and the PDF files; created when missing"))
        ->required();

    TranslateCommandHeading(app);
    // A first word that names no command is said to be one, not a missing command.
    const auto commands = app.get_subcommands([](CLI::App*) { return true; });
    const auto named = [&](const char* word) {
        return std::any_of(commands.begin(), commands.end(), [&](CLI::App* c) { return c->get_name() == word; });
    };
    if (argc > 1 && argv[1][0] != '-' && !named(argv[1])) {
        err << "ormelin: " << Say("unknown command \"{1}\" (ormelin --help lists the commands)", {argv[1]}) << '\n';
        return kUsage;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() != 0) {
            err << ParserError(e) << '\n';
            return kUsage;
        }
        int rc = app.exit(e, out, err);
        return rc == 0 ? kOk : kUsage;
    }

    try {
        CLI::App* sub = app.get_subcommands().front();
        const std::string name = sub->get_name();
        if (name == "new") return CmdNew(opt, out, err);
        if (name == "blank") return CmdBlank(opt, out, err);
        if (name == "state") return CmdState(opt, out, err);
        if (name == "insert-row") return CmdInsertRow(opt, out, err);
        if (name == "form") return CmdForm(opt, out, err);
        if (name == "rollback") return CmdRollback(opt, out, err);
        if (name == "attrs") return CmdAttrs(opt, out, err);
        if (name == "delete") return CmdDelete(opt, out, err);
        if (name == "import") return CmdImport(opt, out, err);
        if (name == "pdf") return CmdPdf(opt, out, err);
        if (name == "demo") return CmdDemo(opt, out, err);
        err << "ormelin: " << Say("unknown command \"{1}\" (ormelin --help lists the commands)", {name}) << '\n';
        return kUsage;
    } catch (const Failure& f) {
        err << "ormelin: " << f.message << '\n';
        return f.status;
    } catch (const Error& e) {
        if (e.code() == ErrorCode::NotImplemented) {
            err << "ormelin: " << Say("not available yet: {1}", {e.description()}) << '\n';
        } else {
            err << "ormelin: " << e.description() << " (" << Say("error {1}", {std::to_string(e.number())}) << ")\n";
        }
        return kFailed;
    } catch (const std::exception& e) {
        err << "ormelin: " << e.what() << '\n';
        return kFailed;
    }
}

}  // namespace ormelin::cli
