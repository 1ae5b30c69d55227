// The command-line parser's own texts (help headings, type names, errors) in the
// user's language, as the command's other messages are.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace ormelin::cli {

/// Gives the parser's headings, type names and help flags their translations.
/// Called before any option or command is added, so that all of them share it.
void TranslateParser(CLI::App& app);

/// Puts the commands under the translated heading of the command list, and
/// their help flags among their translated options.
void TranslateCommandHeading(CLI::App& app);

/// A parser error as the user reads it: the parser's message translated (as it
/// is when no translation matches) and the hint to the help, on two lines.
std::string ParserError(const CLI::ParseError& e);

}  // namespace ormelin::cli
