// The attributes a user reads and sets with `ormelin attrs`: those the register
// sheet keeps, each with the title-block field it fills.
#pragma once

#include <span>
#include <string_view>

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

}  // namespace ormelin::cli
