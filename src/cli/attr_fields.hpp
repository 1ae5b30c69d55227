// The attributes a user reads and sets with `ormelin attrs`: those the register
// sheet keeps, each with the title-block field it fills.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ormelin/host.hpp"
#include "ormelin/kalvora.hpp"

namespace ormelin::cli {

struct AttrField {
    std::string_view name;   // the attribute record's property
    std::string_view field;  // where the formed document shows it
    bool settable;           // false: the register fills it itself
};

/// In the order `attrs` prints them.
std::span<const AttrField> RegisterAttributes();

/// The entry of a name (exact), or nullptr.
const AttrField* FindRegisterAttribute(std::string_view name);

/// Refuses (Failure, usage) NAME=VALUE pairs whose names the register does not
/// keep or fills itself, naming every such name at once.
void CheckAttributeNames(const std::vector<std::pair<std::string, std::string>>& pairs);

/// The register takes the values only into its row of the document, found by the
/// "Лист" column, and into the columns of the attributes: one it has no column for
/// would be lost. Refuses (Failure) naming each attribute without its column.
void CheckRegisterHolds(const host::Workbook& book, const std::string& bookName, const std::string& sheet,
                        const std::vector<std::pair<std::string, std::string>>& pairs);

/// The register's attributes of the document on ws, in RegisterAttributes' order.
std::vector<std::string> RegisterValues(Kalvora& service, std::shared_ptr<host::Worksheet> ws);

/// Sets attributes of the document on ws as `attrs --set` does: the names, the
/// register and its columns are checked first (Failure naming what is refused,
/// nothing written), then the document's register row is read, changed and
/// written back through the service. bookName names the workbook in errors.
void SetRegisterAttributes(Kalvora& service, const host::Workbook& book, const std::string& bookName,
                           std::shared_ptr<host::Worksheet> ws,
                           const std::vector<std::pair<std::string, std::string>>& pairs);

}  // namespace ormelin::cli
