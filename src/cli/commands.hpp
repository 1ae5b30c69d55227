// The subcommands: each declares its arguments and options, and runs.
#pragma once

#include <CLI/CLI.hpp>

#include <iosfwd>

#include "cli/session.hpp"

namespace ormelin::cli {

void DeclareNew(CLI::App& sub, Options& opt);
int RunNew(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareBlank(CLI::App& sub, Options& opt);
int RunBlank(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareState(CLI::App& sub, Options& opt);
int RunState(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareInsertRow(CLI::App& sub, Options& opt);
int RunInsertRow(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareForm(CLI::App& sub, Options& opt);
int RunForm(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareRollback(CLI::App& sub, Options& opt);
int RunRollback(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareAttrs(CLI::App& sub, Options& opt);
int RunAttrs(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareImport(CLI::App& sub, Options& opt);
int RunImport(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareDelete(CLI::App& sub, Options& opt);
int RunDelete(const Options& opt, std::ostream& out, std::ostream& err);
void DeclarePdf(CLI::App& sub, Options& opt);
int RunPdf(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareCheck(CLI::App& sub, Options& opt);
int RunCheck(const Options& opt, std::ostream& out, std::ostream& err);
void DeclareDemo(CLI::App& sub, Options& opt);
int RunDemo(const Options& opt, std::ostream& out, std::ostream& err);

}  // namespace ormelin::cli
