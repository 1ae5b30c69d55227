#include "cli/app.hpp"

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "cli/console_ui.hpp"
#include "forming/forming_a3.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/errors.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/state.hpp"
#include "ormelin/xlsx.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {
namespace {

/// A failure that ends the command with an exit status and a message.
struct Failure {
    int status;
    std::string message;
};

struct KindName {
    const char* word;
    ksStateOfDocument code;
};

// The list kinds as the command names them, and the list state each draws.
constexpr KindName kKinds[] = {
    {"spa", ksSPA_OT}, {"spb", ksSPB_OT}, {"pe", ksPE_OT_2},
    {"ve", ksVE_OT},   {"vn", ksVN_OT},   {"vpa", ksVPA_OT},
};

/// The member name of a state code, as `state` prints it.
std::string StateName(std::int32_t code) {
    static const char* const kNames[] = {
        "ksDOC_NO",  "ksSPA_OT", "ksSPA_OF",     "ksSPB_OT", "ksSPB_OF",     "ksPE_OT_1",     "ksPE_OT_2", "ksPE_OF",
        "ksVPA_OT",  "ksVPA_OF", "ksVN_OT",      "ksVN_OF",  "ksTB_OT",      "ksTB_OF",       "ksVE_OT",   "ksVE_OF",
        "ксСПБ_ОФ_old", "ksTB_OF_old", "ксВЭ_ОФ_old", "ксВЭ_ОФ_old2", "ksVEO_OT", "ksVEO_OF",
    };
    if (code < 0 || code >= static_cast<std::int32_t>(std::size(kNames))) return "?";
    return kNames[code];
}

ksStateOfDocument KindCode(const std::string& word) {
    for (const auto& k : kKinds) {
        if (word == k.word) return k.code;
    }
    throw Failure{kUsage, "unknown kind \"" + word + "\" (use spa, spb, pe, ve, vn or vpa)"};
}

struct Options {
    std::string book, sheet, kind, name, output, json, pdf, dir;
    int row = 0;
    bool print = false, revisions = false, force = false, yes = false;
    std::vector<std::string> sets;
};

/// One run of the command: the host application, the workbook and where it goes.
class Session {
public:
    Session(const Options& opt, std::ostream& err)
        : opt_(opt), err_(err), ui_(std::make_shared<ConsoleUi>(err, opt.yes)),
          app_(std::make_shared<model::ModelApplication>(ui_)) {
        xlsx::InstallSaver(*app_);
    }

    model::ModelApplication& App() { return *app_; }
    ConsoleUi& Ui() { return *ui_; }
    Kalvora& Service() {
        if (!service_) service_ = std::make_unique<Kalvora>(*app_);
        return *service_;
    }
    model::ModelWorkbook& Book() { return *book_; }
    std::shared_ptr<model::ModelWorkbook> BookPtr() { return book_; }

    /// Opens the workbook; a missing file starts a new one only when allowed.
    void Open(bool mayCreate) {
        if (!fs::exists(opt_.book)) {
            if (!mayCreate) throw Failure{kBadWorkbook, opt_.book + ": no such file"};
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
    }

    bool Created() const { return created_; }

    std::shared_ptr<host::Worksheet> Sheet(const std::string& name) {
        auto ws = book_->FindSheet(name);
        if (!ws) throw Failure{kFailed, opt_.book + ": no sheet named \"" + name + "\""};
        ws->Activate();
        return ws;
    }

    std::string Destination() const { return opt_.output.empty() ? opt_.book : opt_.output; }

    /// Refuses before any change when writing back in place would drop parts of
    /// the workbook that the model does not hold.
    void CheckWritable() const {
        if (report_.empty() || opt_.force) return;
        if (!opt_.output.empty() && fs::weakly_canonical(opt_.output) != fs::weakly_canonical(opt_.book)) return;
        std::string parts;
        for (const auto& item : report_.items) parts += (parts.empty() ? "" : ", ") + item.what + " in " + item.part;
        throw Failure{kFailed, opt_.book + " holds parts that would be lost if it were written back (" + parts +
                                   "); write elsewhere with -o FILE or pass --force"};
    }

    void Write() {
        try {
            xlsx::SaveWorkbook(*book_, Destination());
        } catch (const Error& e) {
            throw Failure{kFailed, Destination() + ": " + e.description()};
        }
    }

private:
    const Options& opt_;
    std::ostream& err_;
    std::shared_ptr<ConsoleUi> ui_;
    std::shared_ptr<model::ModelApplication> app_;
    std::unique_ptr<Kalvora> service_;
    std::shared_ptr<model::ModelWorkbook> book_;
    xlsx::LoadReport report_;
    bool created_ = false;
};

// ------------------------------------------------------------------ commands

int CmdNew(const Options& opt, std::ostream& out, std::ostream& err) {
    ksStateOfDocument code = KindCode(opt.kind);
    Session s(opt, err);
    s.Open(true);
    s.CheckWritable();
    auto any = s.Book().Sheet(1);
    // A new workbook has no file yet: the save-as dialog answers with the path given.
    s.Ui().SetSaveAsAnswer(fs::absolute(s.Destination()).string());
    if (!s.Service().DocumentIsNew(any)) throw Failure{kFailed, "no new document sheet was added"};
    auto ws = s.Book().Sheet("Новый");
    s.Service().DocumentBlank(ws, code);
    if (!opt.name.empty()) ws->Name(opt.name);
    s.Write();
    out << ws->Name() << '\n';
    return kOk;
}

int CmdBlank(const Options& opt, std::ostream&, std::ostream& err) {
    ksStateOfDocument code = KindCode(opt.kind);
    Session s(opt, err);
    s.Open(false);
    s.CheckWritable();
    auto ws = s.Sheet(opt.sheet);
    s.Service().DocumentBlank(ws, code);
    s.Write();
    return kOk;
}

int CmdState(const Options& opt, std::ostream& out, std::ostream& err) {
    Session s(opt, err);
    s.Open(false);
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
    if (opt.row < 1 || opt.row > 32767) throw Failure{kUsage, "ROW must be a row number from 1 to 32767"};
    Session s(opt, err);
    s.Open(false);
    s.CheckWritable();
    auto ws = s.Sheet(opt.sheet);
    s.Service().RowInsert(ws, static_cast<std::int16_t>(opt.row));
    s.Write();
    return kOk;
}

/// The first row of the list that forming left below the last sheet of a formed
/// document, if any.
std::optional<int> RowsLeftBelow(host::Worksheet& ws, std::int32_t state) {
    // The first sheet's title block holds the number of sheets ("Листов": Y33 on
    // the A4 forms, AR33 on the A3 form); the first sheet ends with its bottom line
    // in row 37 and every further sheet, the change-registration sheet included,
    // adds 35 rows.
    const auto& a3 = forming::kPurchasedProducts;
    const host::CellContent count = state == ksVPA_OF ? ws.Content(a3.sheetNumberRow, a3.sheetCountColumn)
                                                      : ws.Content(33, 25);
    const auto* sheets = std::get_if<double>(&count.value);
    if (!sheets || *sheets < 1) return std::nullopt;
    const long long lastBottom = 37 + 35 * (static_cast<long long>(*sheets) - 1);
    host::Area used = ws.UsedRange();
    for (long long r = lastBottom + 1; r <= used.r2; ++r) {
        for (int c = 1; c <= used.c2; ++c) {
            if (!ws.CellText(static_cast<int>(r), c).empty()) return static_cast<int>(r);
        }
    }
    return std::nullopt;
}

int CmdForm(const Options& opt, std::ostream&, std::ostream& err) {
    Session s(opt, err);
    s.Open(false);
    s.CheckWritable();
    auto ws = s.Sheet(opt.sheet);
    std::int32_t before = s.Service().StateOfDocument(ws);
    s.Service().Forming(ws, opt.print, opt.revisions);
    std::int32_t after = s.Service().StateOfDocument(ws);
    if (after == before) {
        throw Failure{kFailed, "sheet \"" + opt.sheet + "\" holds " +
                                   StateName(before) +
                                   ", which is not a list that can be formed"};
    }
    if (auto left = RowsLeftBelow(*ws, after)) {
        err << "ormelin: forming stopped at a run of empty rows; list rows from row " << *left
            << " on are left below the last sheet\n";
    }
    s.Write();
    return kOk;
}

int CmdRollback(const Options& opt, std::ostream&, std::ostream& err) {
    Session s(opt, err);
    s.Open(false);
    s.CheckWritable();
    auto ws = s.Sheet(opt.sheet);
    s.Service().Otkat(ws);
    s.Write();
    return kOk;
}

/// The attributes a user reads and sets as texts: every property that is a text
/// (the get-only composites and the arrays are left out).
bool IsTextAttribute(const AttrPropInfo& info) { return !info.readOnly() && info.kind != AttrKind::Array; }

nlohmann::ordered_json RecordJson(const AttrDoc& doc) {
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    for (const auto& info : AttrDocProperties()) {
        if (IsTextAttribute(info)) j[std::string(info.name)] = doc.GetText(info.name);
    }
    return j;
}

void SetProperty(AttrDoc& doc, const std::string& name, const std::string& value) {
    auto prop = FindAttrProp(name);
    if (!prop || !IsTextAttribute(Info(*prop))) {
        throw Failure{kUsage, "unknown attribute \"" + name + "\" (`ormelin attrs BOOK SHEET` lists the names)"};
    }
    doc.LetText(name, value);
}

int CmdAttrs(const Options& opt, std::ostream& out, std::ostream& err) {
    Session s(opt, err);
    s.Open(false);
    auto ws = s.Sheet(opt.sheet);
    auto doc = std::make_shared<AttrDoc>();
    s.Service().AttribsFromSPIS(doc, ws);
    if (opt.sets.empty() && opt.json.empty()) {
        out << RecordJson(*doc).dump(2) << '\n';
        return kOk;
    }
    s.CheckWritable();
    if (!opt.json.empty()) {
        std::ifstream in(opt.json);
        if (!in) throw Failure{kUsage, opt.json + ": cannot be read"};
        nlohmann::json j;
        try {
            in >> j;
        } catch (const nlohmann::json::exception& e) {
            throw Failure{kUsage, opt.json + ": not valid JSON: " + e.what()};
        }
        if (!j.is_object()) throw Failure{kUsage, opt.json + ": must hold one JSON object"};
        for (auto it = j.begin(); it != j.end(); ++it) {
            if (!it.value().is_string()) throw Failure{kUsage, opt.json + ": \"" + it.key() + "\" must be a text"};
            SetProperty(*doc, it.key(), it.value().get<std::string>());
        }
    }
    for (const auto& set : opt.sets) {
        auto eq = set.find('=');
        if (eq == std::string::npos || eq == 0) throw Failure{kUsage, "--set wants NAME=VALUE, got \"" + set + "\""};
        SetProperty(*doc, set.substr(0, eq), set.substr(eq + 1));
    }
    s.Service().AttribsToSPIS(doc, ws);
    s.Write();
    return kOk;
}

int CmdDelete(const Options& opt, std::ostream&, std::ostream& err) {
    Session s(opt, err);
    s.Open(false);
    s.CheckWritable();
    auto ws = s.Sheet(opt.sheet);
    if (!s.Service().DocumentIsDelete(ws)) throw Failure{kFailed, "the document was not deleted"};
    s.Write();
    return kOk;
}

std::optional<std::string> FindOffice() {
    for (const char* p : {"/usr/bin/soffice", "/usr/bin/libreoffice", "/usr/lib/libreoffice/program/soffice"}) {
        if (access(p, X_OK) == 0) return std::string(p);
    }
    return std::nullopt;
}

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char ch : s) {
        if (ch == '\'') q += "'\\''";
        else q += ch;
    }
    return q + "'";
}

/// The printed height of the paper of a page setup, in points.
double PaperHeight(const host::PageSetup& page) {
    const bool a3 = page.paperSize == 8;
    const double longSide = a3 ? 1190.55 : 841.89, shortSide = a3 ? 841.89 : 595.28;
    return page.orientation == host::PageOrientation::Landscape ? shortSide : longSide;
}

/// A formed sheet's pages are its manual page breaks. A page whose rows are
/// taller than the paper would print its last rows (the bottom line with
/// "Копировал:") on a page of their own, so the printed copy is scaled down
/// until the tallest page fits.
void FitPagesToPaper(host::Worksheet& ws) {
    std::vector<int> breaks = ws.HPageBreaks();
    if (breaks.empty()) return;
    const int last = ws.UsedRange().r2;
    breaks.push_back(last + 1);
    double tallest = 0, height = 0;
    int next = 0;
    for (int r = 1; r <= last; ++r) {
        if (r == breaks[static_cast<std::size_t>(next)]) {
            tallest = std::max(tallest, height);
            height = 0;
            ++next;
        }
        height += ws.RowHeight(r);
    }
    tallest = std::max(tallest, height);
    host::PageSetup& page = ws.Page();
    const double paper = PaperHeight(page) * 100.0 / page.zoom;
    if (tallest > paper) page.zoom = std::max(10, static_cast<int>(page.zoom * paper / tallest));
}

/// Prints one sheet of a workbook file to a PDF file through LibreOffice.
void PrintSheetToPdf(const std::string& office, const Options& opt, const std::string& sheet, const std::string& pdfPath,
                     std::ostream& err) {
    Session s(opt, err);
    s.Open(false);
    auto ws = s.Sheet(sheet);
    // The printed copy holds only the sheet: its formulas become the texts they show,
    // then every other sheet is removed.
    host::Area used = ws->UsedRange();
    for (int r = used.r1; r <= used.r2; ++r) {
        for (int c = used.c1; c <= used.c2; ++c) {
            auto content = ws->Content(r, c);
            if (content.formula.empty()) continue;
            // A result the sheet does not show (a zero where zeros are hidden, as
            // in a title block whose register cell is empty) is printed as nothing.
            const bool hidden = ws->CellText(r, c).empty();
            ws->SetLiteral(host::Area{r, c, r, c}, hidden ? host::Value{} : content.value);
        }
    }
    for (int i = s.Book().Count(); i >= 1; --i) {
        auto other = s.Book().Sheet(i);
        if (other.get() != ws.get()) other->Delete();
    }
    FitPagesToPaper(*ws);
    fs::path tmp = fs::temp_directory_path() / ("ormelin-pdf-" + std::to_string(getpid()));
    fs::remove_all(tmp);
    fs::create_directories(tmp);
    fs::path copy = tmp / "print.xlsx";
    xlsx::SaveWorkbook(s.Book(), copy.string());
    // LibreOffice gets five minutes; a conversion that hangs must not hang the command.
    std::string cmd = "timeout 300 " + ShellQuote(office) + " --headless -env:UserInstallation=file://" + (tmp / "profile").string() +
                      " --convert-to pdf --outdir " + ShellQuote(tmp.string()) + " " + ShellQuote(copy.string()) +
                      " >/dev/null 2>&1";
    int rc = std::system(cmd.c_str());
    fs::path pdf = tmp / "print.pdf";
    if (rc != 0 || !fs::exists(pdf)) {
        fs::remove_all(tmp);
        throw Failure{kFailed, "LibreOffice could not print the sheet \"" + sheet + "\" to PDF"};
    }
    std::error_code ec;
    fs::copy_file(pdf, pdfPath, fs::copy_options::overwrite_existing, ec);
    fs::remove_all(tmp);
    if (ec) throw Failure{kFailed, pdfPath + ": " + ec.message()};
}

int CmdPdf(const Options& opt, std::ostream&, std::ostream& err) {
    auto office = FindOffice();
    if (!office) throw Failure{kFailed, "printing to PDF needs LibreOffice (soffice), which is not installed"};
    PrintSheetToPdf(*office, opt, opt.sheet, opt.pdf, err);
    return kOk;
}

int CmdDemo(const Options& opt, std::ostream& out, std::ostream& err) {
    std::string path = WriteDemo(opt.dir, err);
    out << path << '\n';
    auto office = FindOffice();
    if (!office) {
        err << "ormelin: LibreOffice is not installed: the documents are not printed to PDF\n";
        return kOk;
    }
    // Every formed document of the sample is printed beside the workbook.
    Options book = opt;
    book.book = path;
    Session s(book, err);
    s.Open(false);
    for (int i = 1; i <= s.Book().Count(); ++i) {
        auto ws = s.Book().Sheet(i);
        if (s.Service().DocumIsForm(ws) != 1) continue;
        std::string pdf = (fs::path(opt.dir) / (ws->Name() + ".pdf")).string();
        PrintSheetToPdf(*office, book, ws->Name(), pdf, err);
        out << pdf << '\n';
    }
    return kOk;
}

}  // namespace

int Main(int argc, char** argv, std::ostream& out, std::ostream& err) {
    Options opt;
    CLI::App app{"ormelin: ESKD design documents (specifications, lists of elements and other lists) "
                 "in .xlsx workbooks"};
    app.set_version_flag("--version", std::string("ormelin ") + "0.1.0");
    app.require_subcommand(1);
    app.footer(
        "KIND: spa (specification), spb (group specification), pe (list of elements), ve (list of\n"
        "operational documents), vn (list of documents on data media), vpa (list of purchased products).\n"
        "The workbook is written only when the operation succeeded, atomically; with -o FILE it goes there.\n"
        "A workbook holding parts ormelin does not keep (images, comments, ...) is not written back in place\n"
        "unless --force is given.\n"
        "Exit status: 0 done, 1 the operation failed (nothing written), 2 wrong command line,\n"
        "3 the workbook cannot be read.");
    app.fallthrough();

    auto common = [&](CLI::App* sub) {
        sub->add_option("-o,--output", opt.output, "write the workbook there instead of replacing BOOK");
        sub->add_flag("--force", opt.force, "write back in place even when parts of the workbook would be lost");
    };
    auto kindHelp = "spa | spb | pe | ve | vn | vpa";
    // Most commands work on one sheet of one workbook.
    auto sheetOf = [&](CLI::App* sub) {
        sub->add_option("BOOK", opt.book, "workbook (.xlsx)")->required();
        sub->add_option("SHEET", opt.sheet, "the document's sheet")->required();
    };

    auto* cNew = app.add_subcommand("new", "add a new document sheet with a blank list of KIND; prints the sheet's name");
    cNew->add_option("BOOK", opt.book, "workbook (.xlsx); created when it does not exist")->required();
    cNew->add_option("KIND", opt.kind, kindHelp)->required();
    cNew->add_option("--name", opt.name, "rename the new sheet");
    common(cNew);

    auto* cBlank = app.add_subcommand("blank", "draw the blank list of KIND on an existing sheet (its content is cleared)");
    sheetOf(cBlank);
    cBlank->add_option("KIND", opt.kind, kindHelp)->required();
    common(cBlank);

    auto* cState = app.add_subcommand("state", "print NAME<TAB>CODE<TAB>MEMBER for every sheet, or for SHEET");
    cState->add_option("BOOK", opt.book)->required();
    cState->add_option("SHEET", opt.sheet);

    auto* cIns = app.add_subcommand("insert-row", "insert a formatted list row at ROW");
    sheetOf(cIns);
    cIns->add_option("ROW", opt.row)->required();
    common(cIns);

    auto* cForm = app.add_subcommand("form", "form the list on SHEET into printable sheets");
    sheetOf(cForm);
    cForm->add_flag("--print", opt.print, "also set up printing: print area, margins, paper, page breaks");
    cForm->add_flag("--revisions", opt.revisions, "add a change-registration sheet to documents of three or more sheets");
    common(cForm);

    auto* cRoll = app.add_subcommand("rollback", "roll the formed document on SHEET back to its list");
    sheetOf(cRoll);
    common(cRoll);

    auto* cAttrs = app.add_subcommand("attrs", "print the document's register attributes as JSON, or set them");
    sheetOf(cAttrs);
    cAttrs->add_option("--set", opt.sets, "set one attribute: NAME=VALUE (repeatable)");
    cAttrs->add_option("--json", opt.json, "set the attributes of a JSON object whose keys are attribute names");
    common(cAttrs);

    auto* cDel = app.add_subcommand("delete", "delete the document: its sheet and its register row");
    sheetOf(cDel);
    cDel->add_flag("--yes", opt.yes, "answer the confirmation with yes");
    common(cDel);

    auto* cPdf = app.add_subcommand("pdf", "print SHEET to a PDF file through LibreOffice");
    sheetOf(cPdf);
    cPdf->add_option("OUT", opt.pdf, "the PDF file to write")->required();

    auto* cDemo = app.add_subcommand("demo", "write a sample workbook with documents of every kind into DIR");
    cDemo->add_option("DIR", opt.dir)->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
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
        if (name == "pdf") return CmdPdf(opt, out, err);
        if (name == "demo") return CmdDemo(opt, out, err);
        err << "ormelin: unknown command " << name << '\n';
        return kUsage;
    } catch (const Failure& f) {
        err << "ormelin: " << f.message << '\n';
        return f.status;
    } catch (const Error& e) {
        if (e.code() == ErrorCode::NotImplemented) {
            err << "ormelin: not available yet: " << e.description() << '\n';
        } else {
            err << "ormelin: " << e.description() << " (error " << e.number() << ")\n";
        }
        return kFailed;
    } catch (const std::exception& e) {
        err << "ormelin: " << e.what() << '\n';
        return kFailed;
    }
}

}  // namespace ormelin::cli
