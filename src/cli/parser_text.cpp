#include "cli/parser_text.hpp"

#include <string_view>
#include <vector>

#include "cli/i18n.hpp"

namespace ormelin::cli {
namespace {

/// The parser's error messages, with {1}, {2}, ... where it puts names and values;
/// each is also the message's key in the catalogue.
constexpr const char* kErrors[] = {
    "A subcommand is required",
    "{1} is required",
    "The following argument was not expected: {1}",
    "The following arguments were not expected: {1}",
    "Could not convert: {1} = {2}",
    "{1}: Value {2} not in range {3} to {4}",
    "{1}: {2} required {3} missing",
    "The value {1} is not an allowed value for {2}",
    "{1}: too many inputs for a flag",
    "Expected exactly {1} arguments to {2}, got {3}",
    "{1}: Should be true/false or a number",
};

/// The pieces a text fills in a pattern's {1}, {2}, ..., or false when it does not
/// fit the pattern.
bool Fit(std::string_view text, std::string_view pattern, std::vector<std::string>& args) {
    std::vector<std::string_view> literals;
    std::size_t from = 0;
    for (std::size_t at = pattern.find('{'); at != std::string_view::npos; at = pattern.find('{', from)) {
        literals.push_back(pattern.substr(from, at - from));
        from = at + 3;  // "{n}"
    }
    literals.push_back(pattern.substr(from));
    if (text.substr(0, literals.front().size()) != literals.front()) return false;
    std::size_t pos = literals.front().size();
    for (std::size_t i = 1; i < literals.size(); ++i) {
        const std::string_view literal = literals[i];
        std::size_t found;
        if (i + 1 == literals.size()) {
            if (text.size() < pos + literal.size() || text.substr(text.size() - literal.size()) != literal) return false;
            found = text.size() - literal.size();
        } else {
            found = literal.empty() ? std::string_view::npos : text.find(literal, pos);
            if (found == std::string_view::npos) return false;
        }
        if (found == pos) return false;  // every placeholder stands for something
        args.emplace_back(text.substr(pos, found - pos));
        pos = found + literal.size();
    }
    return true;
}

std::string Translated(const std::string& message) {
    for (const char* pattern : kErrors) {
        std::vector<std::string> args;
        if (!Fit(message, pattern, args)) continue;
        const std::string_view text = Tr(pattern);
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto n = i + 2 < text.size() && text[i] == '{' && text[i + 2] == '}'
                               ? static_cast<std::size_t>(text[i + 1] - '1')
                               : args.size();
            if (n < args.size()) {
                out += args[n];
                i += 2;
            } else {
                out += text[i];
            }
        }
        return out;
    }
    return message;
}

}  // namespace

void TranslateParser(CLI::App& app) {
    auto format = app.get_formatter();
    // The type names (TEXT, INT, FLOAT) stay as they are, as BOOK and SHEET do.
    for (const char* label : {"Usage", "OPTIONS", "SUBCOMMAND", "Positionals", "REQUIRED", "FLOAT:FLOAT in [0 - 3600]",
                              "INT:INT in [1 - 2]"})
        format->label(label, Tr(label));
    app.option_defaults()->group(Tr("Options"));
    app.set_help_flag("-h,--help", Tr("Print this help message and exit"));
}

void TranslateCommandHeading(CLI::App& app) {
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        command->group(Tr("Subcommands"));
        if (CLI::Option* help = command->get_help_ptr()) help->group(Tr("Options"));
    }
}

std::string ParserError(const CLI::ParseError& e) {
    return Translated(e.what()) + "\n" + Tr("Run with --help for more information.");
}

}  // namespace ormelin::cli
