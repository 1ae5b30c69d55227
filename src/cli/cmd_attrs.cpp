// `ormelin attrs`: the document's register attributes read as JSON, or set.
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "attributes/register.hpp"
#include "cli/attr_fields.hpp"
#include "cli/commands.hpp"
#include "cli/i18n.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin::cli {

namespace {

nlohmann::ordered_json RecordJson(const AttrDoc& doc) {
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    for (const auto& field : RegisterAttributes()) j[std::string(field.name)] = doc.GetText(field.name);
    return j;
}

/// The NAME=VALUE pairs of --json and --set, in that order.
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
    return pairs;
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

void DeclareAttrs(CLI::App& sub, Options& opt) {
    DeclareBookAndSheet(sub, opt);
    sub.add_option("--set", opt.sets, Tr("set one attribute: NAME=VALUE (repeatable)"));
    sub.add_option("--json", opt.json, Tr("set the attributes of a JSON object whose keys are attribute names"));
    DeclareWrites(sub, opt);
    sub.footer(AttributeHelp() + "\n" + Tr("With --set or --json: ") + WritesNote());
}

int RunAttrs(const Options& opt, std::ostream& out, std::ostream& err) {
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
    SetRegisterAttributes(s.Service(), s.Book(), opt.book, ws, RequestedAttributes(opt));
    s.Write();
    return kOk;
}

}  // namespace ormelin::cli
