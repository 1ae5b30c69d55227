// The subcommand check: the rules of the check (src/check) over the documents of
// a workbook, one finding a line or as JSON. The workbook is only read.
#include <nlohmann/json.hpp>

#include <chrono>
#include <ctime>
#include <iostream>

#include "check/check.hpp"
#include "cli/commands.hpp"
#include "cli/i18n.hpp"
#include "cli/reports.hpp"

namespace ormelin::cli {

check::Date Today() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

namespace {

const char* SeverityWord(check::Severity s) {
    return s == check::Severity::Error ? Tr("error") : Tr("warning");
}

const char* ClauseOf(const char* rule) {
    for (const check::Rule& r : check::Rules())
        if (std::string(r.id) == rule) return r.clause;
    return "";
}

}  // namespace

std::vector<std::shared_ptr<host::Worksheet>> CheckableDocuments(host::Workbook& book) {
    std::vector<std::shared_ptr<host::Worksheet>> sheets;
    for (int i = 1; i <= book.Count(); ++i) {
        auto ws = book.Sheet(i);
        if (ws->Name() != kRegisterSheet && check::Checkable(*ws)) sheets.push_back(ws);
    }
    return sheets;
}

std::string FindingLine(const check::Finding& f) {
    return host::QuoteSheetName(f.sheet) + "!" + f.cell + ": " + f.rule + ": " + SeverityWord(f.severity) + ": " +
           Say(f.message, f.args);
}

std::string CheckSummary(std::size_t documents, int errors, int warnings) {
    return Say("{1} documents checked: {2} errors, {3} warnings",
               {std::to_string(documents), std::to_string(errors), std::to_string(warnings)});
}

void DeclareCheck(CLI::App& sub, Options& opt) {
    sub.add_option("BOOK", opt.book, Tr("workbook (.xlsx); only read"))->required();
    sub.add_option("SHEET", opt.sheets, Tr("only these sheets (default: every document in order)"));
    sub.add_flag("--json", opt.jsonOutput, Tr("print the findings as JSON"));
    DeclareWait(sub, opt);
    sub.footer(Tr("Each line: SHEET!CELL: rule: error|warning: message. docs/check.md lists the rules with their\n"
                  "clauses. Exit status: 0 no errors (warnings may be), 1 errors found, 2 wrong command line,\n"
                  "3 the workbook cannot be read."));
}

int RunCheck(const Options& opt, std::ostream& out, std::ostream& err) {
    Session s(opt, err);
    s.Open(false, false);
    std::vector<std::shared_ptr<host::Worksheet>> sheets;
    if (opt.sheets.empty()) {
        sheets = CheckableDocuments(s.Book());
    } else {
        for (const std::string& name : opt.sheets) {
            auto ws = s.DocumentSheet(name);
            if (!check::Checkable(*ws))
                throw Failure{kFailed, Say("sheet \"{1}\" holds no document to check", {name})};
            sheets.push_back(ws);
        }
    }
    const check::Date today = Today();
    int errors = 0, warnings = 0;
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& ws : sheets) {
        for (const check::Finding& f : check::CheckSheet(*ws, today)) {
            (f.severity == check::Severity::Error ? errors : warnings)++;
            if (opt.jsonOutput) {
                list.push_back({{"sheet", f.sheet},
                                {"cell", f.cell},
                                {"rule", f.rule},
                                {"severity", f.severity == check::Severity::Error ? "error" : "warning"},
                                {"clause", ClauseOf(f.rule)},
                                {"message", Say(f.message, f.args)}});
            } else {
                out << FindingLine(f) << '\n';
            }
        }
    }
    if (opt.jsonOutput) {
        nlohmann::ordered_json j = {{"book", opt.book}, {"errors", errors}, {"warnings", warnings}, {"findings", list}};
        out << j.dump(2) << '\n';
    } else {
        err << "ormelin: " << CheckSummary(sheets.size(), errors, warnings) << '\n';
    }
    return errors > 0 ? kFailed : kOk;
}

}  // namespace ormelin::cli
