// The command's entry: the subcommands declared from one table, the command
// line parsed, and the chosen subcommand run, its failures turned into an exit
// status and a message.
#include "cli/app.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>

#include "cli/commands.hpp"
#include "cli/i18n.hpp"
#include "cli/parser_text.hpp"
#include "ormelin/errors.hpp"
#include "ormelin/state.hpp"

namespace ormelin::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"new", Message("add a new document sheet with a blank list of KIND; prints the sheet's name"),
         &DeclareNew, &RunNew},
        {"blank", Message("draw the blank list of KIND on an existing sheet (its content is cleared)"), &DeclareBlank,
         &RunBlank},
        {"state", Message("print NAME<TAB>CODE<TAB>MEMBER for every sheet, or for SHEET"), &DeclareState, &RunState},
        {"insert-row", Message("insert a formatted list row at ROW of a list (not of a formed document)"), &DeclareInsertRow,
         &RunInsertRow},
        {"form", Message("form the list on SHEET into printable sheets"), &DeclareForm, &RunForm},
        {"rollback", Message("roll the formed document on SHEET back to its list"), &DeclareRollback, &RunRollback},
        {"attrs", Message("print the document's register attributes as JSON, or set them"), &DeclareAttrs, &RunAttrs},
        {"import",
         Message("fill the list on SHEET (list of elements, purchased products, or the specification's "
                 "\"Прочие изделия\") from a CAD bill of materials"),
         &DeclareImport, &RunImport},
        {"delete", Message("delete the document: its sheet and its register row"), &DeclareDelete, &RunDelete},
        {"pdf", Message("print SHEET, or with --all every formed document, to a PDF file at the standard's "
                        "millimetres (the workbook is only read)"),
         &DeclarePdf, &RunPdf},
        {"check",
         Message("report what a normocontrol would reject in the documents of BOOK (or on SHEET...): one finding a "
                 "line; exit status 1 when any is an error"),
         &DeclareCheck, &RunCheck},
        {"demo", Message("write a sample workbook with documents of every kind into DIR"), &DeclareDemo, &RunDemo},
    };
    return commands;
}

const char* WritesNote() {
    return Tr(
        "The workbook is written only when the operation succeeded (an error message of the operation\n"
        "fails it), atomically; with -o FILE it goes there. A workbook holding parts ormelin does not keep\n"
        "(images, comments, ...), or open in LibreOffice or Excel, is not written back in place unless\n"
        "--force is given. A workbook that changed on disk during the run is not written.");
}

void DeclareBookAndSheet(CLI::App& sub, Options& opt) {
    sub.add_option("BOOK", opt.book, Tr("workbook (.xlsx)"))->required();
    sub.add_option("SHEET", opt.sheet, Tr("the document's sheet"))->required();
}

void DeclareWait(CLI::App& sub, Options& opt) {
    sub.add_option("--wait", opt.wait, Tr("seconds to wait while another ormelin command works on BOOK"))
        ->default_val(10)
        ->check(CLI::Range(0.0, 3600.0));
}

void DeclareWrites(CLI::App& sub, Options& opt) {
    sub.add_option("-o,--output", opt.output, Tr("write the workbook there instead of replacing BOOK"));
    sub.add_flag("--force", opt.force,
                 Tr("write back in place even when parts of the workbook would be lost or it is open elsewhere"));
    DeclareWait(sub, opt);
    sub.footer(WritesNote());
}

namespace {

/// KIND as the kind table names the kinds that have a list, wrapped to the help's width.
std::string KindHelp() {
    std::string text = Tr("KIND:"), line = text;
    bool first = true;
    for (const auto& k : kinds::kKinds) {
        if (!k.word) continue;
        const std::string item = std::string(first ? " " : ", ") + k.word + " (" + Tr(k.title) + ")";
        first = false;
        if (line.size() + item.size() > 100) {
            text += ",\n";
            line = item.substr(2);
            text += line;
        } else {
            text += item;
            line += item;
        }
    }
    return text + ".";
}

/// The parser of the whole command line, with every subcommand declared.
void DeclareCommandLine(CLI::App& app, Options& opt) {
    TranslateParser(app);
    app.set_version_flag("--version", std::string("ormelin ") + ORMELIN_VERSION,
                         Tr("Display program version information and exit"));
    app.require_subcommand(1);
    app.footer(KindHelp() + "\n" +
               Tr("Commands that change a workbook say so in their own help (ormelin COMMAND --help).\n"
                  "Exit status: 0 done, 1 the operation failed (nothing written), 2 wrong command line,\n"
                  "3 the workbook cannot be read."));
    app.fallthrough();
    for (const Command& c : Commands()) c.declare(*app.add_subcommand(c.word, Tr(c.summary)), opt);
    TranslateCommandHeading(app);
}

/// Runs the subcommand the command line chose; every failure becomes its exit
/// status and a message on standard error.
int RunChosen(const CLI::App& app, const Options& opt, std::ostream& out, std::ostream& err) {
    try {
        const std::string name = app.get_subcommands().front()->get_name();
        for (const Command& c : Commands())
            if (name == c.word) return c.run(opt, out, err);
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

}  // namespace

int Main(int argc, char** argv, std::ostream& out, std::ostream& err) {
    InitMessages();
    Options opt;
    CLI::App app{Tr("ormelin: ESKD design documents (specifications, lists of elements and other lists) "
                    "in .xlsx workbooks"),
                 "ormelin"};
    DeclareCommandLine(app, opt);

    // A first word that names no command is said to be one, not a missing command.
    const bool known = argc <= 1 || argv[1][0] == '-' ||
                       std::any_of(Commands().begin(), Commands().end(),
                                   [&](const Command& c) { return std::string(c.word) == argv[1]; });
    if (!known) {
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
    return RunChosen(app, opt, out, err);
}

}  // namespace ormelin::cli
