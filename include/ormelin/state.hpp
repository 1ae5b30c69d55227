// Document kinds and states.
//
// A worksheet holds at most one document. Its kind and state (editable list or
// formed pages) are named by one 32-bit code, ksStateOfDocument, which recognition
// produces from the header cells and the blank, forming and rollback operations
// branch on. The three members with Cyrillic names are reserved values of
// superseded layouts: nothing produces or handles them.
#pragma once

#include <cstdint>
#include <string_view>

namespace ormelin {

enum ksStateOfDocument : std::int32_t {
    ksDOC_NO = 0,
    ksSPA_OT = 1,
    ksSPA_OF = 2,
    ksSPB_OT = 3,
    ksSPB_OF = 4,
    ksPE_OT_1 = 5,
    ksPE_OT_2 = 6,
    ksPE_OF = 7,
    ksVPA_OT = 8,
    ksVPA_OF = 9,
    ksVN_OT = 10,
    ksVN_OF = 11,
    ksTB_OT = 12,
    ksTB_OF = 13,
    ksVE_OT = 14,
    ksVE_OF = 15,
    ксСПБ_ОФ_old = 16,
    ksTB_OF_old = 17,
    ксВЭ_ОФ_old = 18,
    ксВЭ_ОФ_old2 = 19,
    ksVEO_OT = 20,
    ksVEO_OF = 21,
};

/// The kinds of document; the two-or-three-letter codes prefix the state names.
enum class DocKind : std::uint8_t { None, SPA, SPB, PE, VPA, VN, TB, VE, VEO };

/// Whether a 32-bit value is one of the 22 members.
constexpr bool IsStateValue(std::int32_t value) { return value >= ksDOC_NO && value <= ksVEO_OF; }

/// The kind a code belongs to (None for ksDOC_NO and for values outside the enumeration).
constexpr DocKind KindOf(std::int32_t s) {
    switch (s) {
        case ksSPA_OT: case ksSPA_OF: return DocKind::SPA;
        case ksSPB_OT: case ksSPB_OF: case ксСПБ_ОФ_old: return DocKind::SPB;
        case ksPE_OT_1: case ksPE_OT_2: case ksPE_OF: return DocKind::PE;
        case ksVPA_OT: case ksVPA_OF: return DocKind::VPA;
        case ksVN_OT: case ksVN_OF: return DocKind::VN;
        case ksTB_OT: case ksTB_OF: case ksTB_OF_old: return DocKind::TB;
        case ksVE_OT: case ksVE_OF: case ксВЭ_ОФ_old: case ксВЭ_ОФ_old2: return DocKind::VE;
        case ksVEO_OT: case ksVEO_OF: return DocKind::VEO;
        default: return DocKind::None;
    }
}

/// List states: the editable list of a kind (names ending in _OT).
constexpr bool IsListState(std::int32_t s) {
    switch (s) {
        case ksSPA_OT: case ksSPB_OT: case ksPE_OT_1: case ksPE_OT_2: case ksVPA_OT:
        case ksVN_OT: case ksTB_OT: case ksVE_OT: case ksVEO_OT: return true;
        default: return false;
    }
}

/// Formed states: the paginated document of a kind (names ending in _OF, the
/// superseded layouts included).
constexpr bool IsFormedState(std::int32_t s) {
    return IsStateValue(s) && s != ksDOC_NO && !IsListState(s);
}

/// The kind code as it prefixes the member names: "SPA", "PE", ...; empty for None.
constexpr std::string_view KindCode(DocKind k) {
    switch (k) {
        case DocKind::SPA: return "SPA";
        case DocKind::SPB: return "SPB";
        case DocKind::PE: return "PE";
        case DocKind::VPA: return "VPA";
        case DocKind::VN: return "VN";
        case DocKind::TB: return "TB";
        case DocKind::VE: return "VE";
        case DocKind::VEO: return "VEO";
        case DocKind::None: break;
    }
    return {};
}

/// The first data row of a kind's list: 5 for the group specification, 3 for the
/// list of purchased products, 2 for every other kind.
constexpr int FirstDataRow(DocKind k) {
    switch (k) {
        case DocKind::SPB: return 5;
        case DocKind::VPA: return 3;
        default: return 2;
    }
}

}  // namespace ormelin
