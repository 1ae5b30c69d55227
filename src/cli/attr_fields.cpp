#include "cli/attr_fields.hpp"

#include <algorithm>
#include <iterator>

#include "attributes/register.hpp"
#include "cli/app.hpp"
#include "cli/failure.hpp"
#include "cli/i18n.hpp"
#include "cli/session.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin::cli {
namespace {

// The register's columns and the fields of the title block and the binding
// margin that refer to them. The name and the organisation are kept on one line
// in the register, and the title block, which refers to the register, shows them so.
constexpr AttrField kFields[] = {
    {"aFile", "register column \"Файл\", the workbook's file name (written by the register itself)", false},
    {"aShee", "register column \"Лист\", the document's sheet (written by the register itself)", false},
    {"aOboz", "designation (\"Обозначение\"), every sheet", true},
    {"aNaim", "name (\"Наименование\"), first sheet; the register keeps it on one line and the title block shows it so", true},
    {"aNaim1", "name, line 1", true},
    {"aNaim2", "name, line 2 (kept joined to the name on one line)", true},
    {"aNaim3", "name, line 3 (kept joined to the name on one line)", true},
    {"aPerv", "Перв. примен., first use", true},
    {"aProj", "Перв. примен., the project, after the first use", true},
    {"aIzme", "Изм., change number", true},
    {"aIzml", "Лист, sheet of the change", true},
    {"aNdoc", "№ докум., change document", true},
    {"aIzmd", "Дата, date of the change", true},
    {"aDesi", "Разраб., surname", true},
    {"aDesd", "Разраб., date", true},
    {"aChec", "Пров., surname", true},
    {"aChed", "Пров., date", true},
    {"aAddb", "caption of the fourth signature row", true},
    {"aAddf", "fourth signature row, surname", true},
    {"aAddd", "fourth signature row, date", true},
    {"aNcon", "Н. контр., surname", true},
    {"aNcod", "Н. контр., date", true},
    {"aAppr", "Утв., surname", true},
    {"aAppd", "Утв., date", true},
    {"aLite", "Лит., letter", true},
    {"aFirm", "organisation, under Лит. and Листов; kept and shown on one line", true},
    {"aFirm1", "organisation, line 1", true},
    {"aFirm2", "organisation, line 2 (kept joined on one line)", true},
    {"aFirm3", "organisation, line 3 (kept joined on one line)", true},
    {"aSpra", "Справ. №, binding margin", true},
    {"aAlit", "first field of the block above the first sheet's title block", true},
    {"aAdoc", "second field of the block above the first sheet's title block", true},
    {"aIcus", "third field of the block above the first sheet's title block", true},
    {"aInpo", "Инв. № подл., binding margin", true},
    {"aInpd", "Подп. и дата beside Инв. № подл., binding margin", true},
    {"aInvz", "Взам. инв. №, binding margin", true},
    {"aIndu", "Инв. № дубл., binding margin", true},
    {"aIndd", "Подп. и дата beside Инв. № дубл., binding margin", true},
};

}  // namespace

std::span<const AttrField> RegisterAttributes() { return kFields; }

const AttrField* FindRegisterAttribute(std::string_view name) {
    auto it = std::find_if(std::begin(kFields), std::end(kFields), [&](const AttrField& f) { return f.name == name; });
    return it == std::end(kFields) ? nullptr : &*it;
}

void CheckAttributeNames(const std::vector<std::pair<std::string, std::string>>& pairs) {
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
}

void CheckRegisterHolds(const host::Workbook& book, const std::string& bookName, const std::string& sheet,
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
                                   {bookName, kRegisterSheet, title(spShee), sheet})};
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
                                   {bookName, kRegisterSheet, missing})};
    }
}

std::vector<std::string> RegisterValues(Kalvora& service, std::shared_ptr<host::Worksheet> ws) {
    auto doc = std::make_shared<AttrDoc>();
    service.AttribsFromSPIS(doc, ws);
    std::vector<std::string> values;
    for (const auto& field : RegisterAttributes()) values.push_back(doc->GetText(field.name));
    return values;
}

void SetRegisterAttributes(Kalvora& service, const host::Workbook& book, const std::string& bookName,
                           std::shared_ptr<host::Worksheet> ws,
                           const std::vector<std::pair<std::string, std::string>>& pairs) {
    CheckAttributeNames(pairs);
    if (!book.FindSheet(kRegisterSheet)) {
        throw Failure{kFailed, Say("{1} has no register sheet \"{2}\": start with `ormelin new`",
                                   {bookName, kRegisterSheet})};
    }
    CheckRegisterHolds(book, bookName, ws->Name(), pairs);
    auto doc = std::make_shared<AttrDoc>();
    service.AttribsFromSPIS(doc, ws);
    for (const auto& [name, value] : pairs) doc->LetText(name, value);
    service.AttribsToSPIS(doc, ws);
}

}  // namespace ormelin::cli
