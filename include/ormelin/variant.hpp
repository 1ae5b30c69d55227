// Arguments and results of calls made by dispatch identifier or by name.
//
// A host that drives the service through its automation surface passes every
// argument as a Variant. An omitted optional argument arrives as None; a
// by-reference argument is a Variant the call may write back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "ormelin/host.hpp"

namespace ormelin {

class AttrDoc;

/// An omitted or empty argument.
struct None {
    friend bool operator==(None, None) { return true; }
};

using Variant = std::variant<None, bool, std::int32_t, double, std::string,
                             std::shared_ptr<host::Worksheet>, std::shared_ptr<host::Workbook>,
                             host::Range, std::shared_ptr<AttrDoc>, std::vector<std::string>>;

/// Whether the variant holds nothing (an omitted optional argument).
inline bool IsNone(const Variant& v) { return std::holds_alternative<None>(v); }

}  // namespace ormelin
