// The subcommands on a document's sheet: new, blank, state, insert-row, form,
// rollback and delete.
#include <filesystem>
#include <iostream>

#include "cli/commands.hpp"
#include "cli/i18n.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {

namespace {

/// The words of KIND, from the kind table.
const std::string& KindWordsHelp() {
    static const std::string words = KindWords(" | ");
    return words;
}

/// A sheet name that is free in the workbook, to set a sheet aside under.
std::string FreeSheetName(model::ModelWorkbook& book) {
    for (int i = 1;; ++i) {
        std::string name = "ormelin-" + std::to_string(i);
        if (!book.FindSheet(name)) return name;
    }
}

}  // namespace

// ------------------------------------------------------------------ arguments

void DeclareNew(CLI::App& sub, Options& opt) {
    sub.add_option("BOOK", opt.book, Tr("workbook (.xlsx); created when it does not exist"))->required();
    sub.add_option("KIND", opt.kind, KindWordsHelp())->required();
    sub.add_option("--name", opt.name, Tr("name of the new sheet (without it the sheet is \"Новый\")"));
    DeclareWrites(sub, opt);
}

void DeclareBlank(CLI::App& sub, Options& opt) {
    DeclareBookAndSheet(sub, opt);
    sub.add_option("KIND", opt.kind, KindWordsHelp())->required();
    DeclareWrites(sub, opt);
}

void DeclareState(CLI::App& sub, Options& opt) {
    sub.add_option("BOOK", opt.book, Tr("workbook (.xlsx); only read"))->required();
    sub.add_option("SHEET", opt.sheet, Tr("only this sheet (default: every sheet in order)"));
    DeclareWait(sub, opt);
}

void DeclareInsertRow(CLI::App& sub, Options& opt) {
    DeclareBookAndSheet(sub, opt);
    sub.add_option("ROW", opt.row, Tr("row number the new row takes; at or below the list's first data row"))->required();
    DeclareWrites(sub, opt);
}

void DeclareForm(CLI::App& sub, Options& opt) {
    DeclareBookAndSheet(sub, opt);
    sub.add_flag("--print", opt.print, Tr("also set up printing: print area, margins, paper, page breaks"));
    sub.add_flag("--revisions", opt.revisions, Tr("add a change-registration sheet to documents of three or more sheets"));
    sub.add_flag("--no-keep-together", opt.noKeepTogether,
                 Tr("carry the rows strictly in list order: a heading may end a sheet, an entry may be split"));
    DeclareWrites(sub, opt);
}

void DeclareRollback(CLI::App& sub, Options& opt) {
    DeclareBookAndSheet(sub, opt);
    DeclareWrites(sub, opt);
}

void DeclareDelete(CLI::App& sub, Options& opt) {
    DeclareBookAndSheet(sub, opt);
    sub.add_flag("--yes", opt.yes, Tr("answer the confirmation with yes"));
    DeclareWrites(sub, opt);
}

// ------------------------------------------------------------------ runs

int RunNew(const Options& opt, std::ostream& out, std::ostream& err) {
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

int RunBlank(const Options& opt, std::ostream&, std::ostream& err) {
    ksStateOfDocument code = KindCode(opt.kind);
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    s.Service().DocumentBlank(ws, code);
    s.Write();
    return kOk;
}

int RunState(const Options& opt, std::ostream& out, std::ostream& err) {
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

int RunInsertRow(const Options& opt, std::ostream&, std::ostream& err) {
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

int RunForm(const Options& opt, std::ostream&, std::ostream& err) {
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    const FormingOutcome formed =
        s.Service().Typed().Form(ws, {.forPrint = opt.print, .pageRevi = opt.revisions,
                                      .keepTogether = !opt.noKeepTogether});
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
    for (const int row : formed.splitEntryRows) {
        err << "ormelin: "
            << Say("the entry at list row {1} is longer than a sheet and is split across sheets",
                   {std::to_string(row)})
            << '\n';
    }
    s.Write();
    return kOk;
}

int RunRollback(const Options& opt, std::ostream&, std::ostream& err) {
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

int RunDelete(const Options& opt, std::ostream&, std::ostream& err) {
    Session s(opt, err);
    s.Open(false, true);
    s.CheckWritable();
    auto ws = s.DocumentSheet(opt.sheet);
    if (!s.Service().DocumentIsDelete(ws)) throw Failure{kFailed, Say("the document was not deleted")};
    s.Write();
    return kOk;
}

}  // namespace ormelin::cli
