// List layouts as data: a layout is a list of steps run in order on the current
// worksheet. Each step names a range of the sheet (columns "A:A", "F:O", cells
// "A1", "A1:A2", rows "1:1") and what is done to it, in this order: column width,
// format, the format given only to a blank list, contents cleared, merge, link,
// values, row height, selection.
#pragma once

#include <memory>
#include <vector>

#include "ormelin/host.hpp"

namespace ormelin::lists {

/// When a step's values are written: always, only when a blank list is drawn
/// (bOtkat False), or only when rollback redraws the head (bOtkat True).
enum class When : std::uint8_t { Always, List, Rollback };

/// A value taken from the worksheet's name.
enum class Derived : std::uint8_t {
    None,
    Designation,   // the name up to its first "(", blanks trimmed; the whole name without "("
    NameHyphen,    // the name followed by "-"
};

/// The link cell's hyperlink to A1 of the register sheet: without a text of its
/// own, or with "список" to display.
enum class Link : std::uint8_t { None, Plain, WithText };

struct Step {
    const char* range;
    double width = 0;                    // every column of the range; 0: unchanged
    host::FormatPatch format{};
    host::FormatPatch listFormat{};      // only when bOtkat is False
    bool clearContents = false;
    bool merge = false;                  // values then go to the merged cell
    Link link = Link::None;
    std::vector<host::Value> values{};   // one for the range, or one per cell left to right
    Derived derived = Derived::None;
    When when = When::Always;            // for values and derived
    double rowHeight = 0;                // 0: unchanged
    bool select = false;
};

/// Runs the steps on the worksheet; an error stops at its step.
void ApplyLayout(const std::shared_ptr<host::Worksheet>& sheet, const std::vector<Step>& steps, bool bOtkat);

/// The sheet name of the register, the target of every list's link cell.
inline constexpr const char* kLinkSubAddress = "список!A1";
inline constexpr const char* kLinkText = "список";

}  // namespace ormelin::lists
