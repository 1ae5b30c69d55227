// One run of the command: its options, the host application, the workbook and
// where it goes, and what the subcommands share.
#pragma once

#include <CLI/CLI.hpp>

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/app.hpp"
#include "cli/book_lock.hpp"
#include "cli/console_ui.hpp"
#include "cli/failure.hpp"
#include "cli/import_cmd.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/state.hpp"
#include "ormelin/xlsx.hpp"

namespace ormelin::cli {

/// The register sheet's name; the register is not a document.
inline constexpr const char* kRegisterSheet = "список";
/// The sheet a new document starts on.
inline constexpr const char* kNewSheet = "Новый";

struct Options {
    std::string book, sheet, kind, name, output, json, pdf, dir;
    int row = 0;
    double wait = 10;
    bool print = false, revisions = false, force = false, yes = false;
    bool all = false;     // pdf: every formed document of the workbook
    std::string via;      // pdf: "libreoffice" prints through LibreOffice
    bool noKeepTogether = false;  // form: rows strictly in list order
    std::vector<std::string> sets;
    std::vector<std::string> sheets;   // check: SHEET...
    bool jsonOutput = false;           // check: --json
    ImportOptions import;
};

/// The member name of a state code, as `state` prints it.
std::string StateName(std::int32_t code);
/// The words of the kinds that have a list, in the kind table's order.
std::string KindWords(const char* separator);
/// The list state a kind's word draws; a usage failure names the words there are.
ksStateOfDocument KindCode(const std::string& word);

/// One subcommand: its word, what its help says it does, how it declares its
/// arguments and options, and how it runs.
struct Command {
    const char* word;
    const char* summary;
    void (*declare)(CLI::App& sub, Options& opt);
    int (*run)(const Options& opt, std::ostream& out, std::ostream& err);
};

/// Every subcommand, in the order the help lists them.
const std::vector<Command>& Commands();

// What the subcommands' declarations share.
/// BOOK and SHEET, both required.
void DeclareBookAndSheet(CLI::App& sub, Options& opt);
/// --wait, for any command that opens a workbook.
void DeclareWait(CLI::App& sub, Options& opt);
/// -o, --force and --wait, and the footer that says how the workbook is written.
void DeclareWrites(CLI::App& sub, Options& opt);
/// The footer of a command that writes the workbook.
const char* WritesNote();

/// One run of the command: the host application, the workbook and where it goes.
class Session {
public:
    Session(const Options& opt, std::ostream& err);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    model::ModelApplication& App() { return *app_; }
    ConsoleUi& Ui() { return *ui_; }
    Kalvora& Service() {
        if (!service_) service_ = std::make_unique<Kalvora>(*app_);
        return *service_;
    }
    model::ModelWorkbook& Book() { return *book_; }

    /// Opens the workbook under a lock held until the command ends (exclusive
    /// when the command writes it); a missing file starts a new one only when allowed.
    void Open(bool mayCreate, bool forWriting);

    bool Created() const { return created_; }

    std::shared_ptr<host::Worksheet> Sheet(const std::string& name);

    /// A sheet that holds (or is to hold) a document: never the register.
    std::shared_ptr<host::Worksheet> DocumentSheet(const std::string& name);

    std::string Destination() const { return opt_.output.empty() ? opt_.book : opt_.output; }

    bool InPlace() const;

    /// Refuses before any change when writing back in place would drop parts of
    /// the workbook that the model does not hold, or when a spreadsheet program
    /// has the file open (its next save would undo this command's work).
    void CheckWritable() const;

    /// Any error the service reported during the run fails the command.
    void CheckNoErrors();

    void Write();

private:
    Failure Changed() const;

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

}  // namespace ormelin::cli
