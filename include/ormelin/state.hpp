// Document kinds and states: the one table of what each kind is.
//
// A worksheet holds at most one document. Its kind and state (editable list or
// formed pages) are named by one 32-bit code, ksStateOfDocument, which recognition
// produces from the header cells and the blank, forming and rollback operations
// branch on. The three members with Cyrillic names are reserved values of
// superseded layouts: nothing produces them; recognition still knows two of them.
//
// Everything the library and the command know of a kind is read from the two
// tables below: kStates (one entry per code: its member name, kind, whether it is
// a list, which list layout it draws and redraws, which form it is formed on or
// read by, the header signatures that recognise it) and kKinds (one entry per
// kind: its code, the command's word and name, the list a blank draws, the first
// data row, the register's document code). The list layouts themselves are data
// of the lists module (one entry per ListLayout), the forms data of the forming
// module (one entry per FormId).
#pragma once

#include <array>
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

/// The list layouts the lists module draws: one per kind with a list, and the
/// list of elements without its zone column, whose head rollback redraws.
enum class ListLayout : std::uint8_t { None, SPA, SPB, PE, PeWithoutZone, VPA, VN, VE };

/// The forms the forming module lays lists out on.
enum class FormId : std::uint8_t {
    None,
    A4Portrait,         // the specification and the A4 lists
    A4LandscapeGroup,   // the group specification
    A3PurchasedProducts,
};

namespace kinds {

/// A header cell and the text it must show exactly.
struct Probe {
    const char* cell = nullptr;
    const char* text = nullptr;
};

/// One header signature: every probe must match (unused probes have no cell).
using Signature = std::array<Probe, 8>;

/// One entry per code, in value order.
struct StateEntry {
    ksStateOfDocument code;
    const char* member;        // the member's name, as `ormelin state` prints it
    DocKind kind;
    bool list;                 // an editable list (names ending in _OT)
    bool current;              // a formed layout of today (the formed test answers 1)
    ListLayout blankLayout;    // the layout a blank of this code draws
    ListLayout listLayout;     // the layout rollback redraws over a list of this code
    FormId form;               // the form the list is formed on, or the formed document read by
    int freezeAbove;           // the row above which a blank freezes its panes (0: no list)
    double blankFontSize;      // the font size a blank gives the whole sheet first (0: the base size)
};

inline constexpr ListLayout kNoLayout = ListLayout::None;
inline constexpr FormId kNoForm = FormId::None;

inline constexpr std::array<StateEntry, 22> kStates{{
    {ksDOC_NO, "ksDOC_NO", DocKind::None, false, false, kNoLayout, kNoLayout, kNoForm, 0, 0},
    {ksSPA_OT, "ksSPA_OT", DocKind::SPA, true, false, ListLayout::SPA, ListLayout::SPA, FormId::A4Portrait, 2, 0},
    {ksSPA_OF, "ksSPA_OF", DocKind::SPA, false, true, kNoLayout, kNoLayout, FormId::A4Portrait, 0, 0},
    {ksSPB_OT, "ksSPB_OT", DocKind::SPB, true, false, ListLayout::SPB, ListLayout::SPB, FormId::A4LandscapeGroup, 5,
     0},
    {ksSPB_OF, "ksSPB_OF", DocKind::SPB, false, true, kNoLayout, kNoLayout, FormId::A4LandscapeGroup, 0, 0},
    {ksPE_OT_1, "ksPE_OT_1", DocKind::PE, true, false, ListLayout::PE, ListLayout::PE, FormId::A4Portrait, 2, 0},
    {ksPE_OT_2, "ksPE_OT_2", DocKind::PE, true, false, ListLayout::PE, ListLayout::PeWithoutZone,
     FormId::A4Portrait, 2, 0},
    {ksPE_OF, "ksPE_OF", DocKind::PE, false, true, kNoLayout, kNoLayout, FormId::A4Portrait, 0, 0},
    {ksVPA_OT, "ksVPA_OT", DocKind::VPA, true, false, ListLayout::VPA, ListLayout::VPA, FormId::A3PurchasedProducts,
     3, 12},
    {ksVPA_OF, "ksVPA_OF", DocKind::VPA, false, true, kNoLayout, kNoLayout, FormId::A3PurchasedProducts, 0, 0},
    {ksVN_OT, "ksVN_OT", DocKind::VN, true, false, ListLayout::VN, ListLayout::VN, FormId::A4Portrait, 2, 0},
    {ksVN_OF, "ksVN_OF", DocKind::VN, false, true, kNoLayout, kNoLayout, FormId::A4Portrait, 0, 0},
    {ksTB_OT, "ksTB_OT", DocKind::TB, true, false, kNoLayout, kNoLayout, kNoForm, 0, 0},
    {ksTB_OF, "ksTB_OF", DocKind::TB, false, true, kNoLayout, kNoLayout, kNoForm, 0, 0},
    {ksVE_OT, "ksVE_OT", DocKind::VE, true, false, ListLayout::VE, ListLayout::VE, FormId::A4Portrait, 2, 0},
    {ksVE_OF, "ksVE_OF", DocKind::VE, false, true, kNoLayout, kNoLayout, FormId::A4Portrait, 0, 0},
    {ксСПБ_ОФ_old, "ксСПБ_ОФ_old", DocKind::SPB, false, false, kNoLayout, kNoLayout, kNoForm, 0, 0},
    {ksTB_OF_old, "ksTB_OF_old", DocKind::TB, false, false, kNoLayout, kNoLayout, kNoForm, 0, 0},
    {ксВЭ_ОФ_old, "ксВЭ_ОФ_old", DocKind::VE, false, false, kNoLayout, kNoLayout, kNoForm, 0, 0},
    {ксВЭ_ОФ_old2, "ксВЭ_ОФ_old2", DocKind::VE, false, false, kNoLayout, kNoLayout, kNoForm, 0, 0},
    {ksVEO_OT, "ksVEO_OT", DocKind::VEO, true, false, kNoLayout, kNoLayout, kNoForm, 0, 0},
    {ksVEO_OF, "ksVEO_OF", DocKind::VEO, false, false, kNoLayout, kNoLayout, kNoForm, 0, 0},
}};

/// One entry per kind, DocKind::None first.
struct KindEntry {
    DocKind kind;
    const char* code;           // the prefix of the member names: "SPA", "PE", ...
    const char* word;           // the command's word for the kind ("spa"); null: no list to draw
    const char* title;          // what the kind is, as the command's help names it
    ksStateOfDocument blank;    // the list a blank of the kind draws
    ksStateOfDocument formed;   // the formed document of the kind
    int firstDataRow;           // the first data row of the list
    const char* documentCode;   // the register's document code after the designation ("ПЭ3"), "" for none
};

inline constexpr std::array<KindEntry, 9> kKinds{{
    {DocKind::None, "", nullptr, "", ksDOC_NO, ksDOC_NO, 2, ""},
    {DocKind::SPA, "SPA", "spa", "specification", ksSPA_OT, ksSPA_OF, 2, ""},
    {DocKind::SPB, "SPB", "spb", "group specification", ksSPB_OT, ksSPB_OF, 5, ""},
    {DocKind::PE, "PE", "pe", "list of elements", ksPE_OT_2, ksPE_OF, 2, "ПЭ3"},
    {DocKind::VPA, "VPA", "vpa", "list of purchased products", ksVPA_OT, ksVPA_OF, 3, "ВП"},
    {DocKind::VN, "VN", "vn", "list of documents on data media", ksVN_OT, ksVN_OF, 2, "ВН"},
    {DocKind::TB, "TB", nullptr, "connection table", ksTB_OT, ksTB_OF, 2, "ТЭ4"},
    {DocKind::VE, "VE", "ve", "list of operational documents", ksVE_OT, ksVE_OF, 2, "ВЭ"},
    {DocKind::VEO, "VEO", nullptr, "list of electronic originals", ksVEO_OT, ksVEO_OF, 2, ""},
}};

static_assert([] {
    for (std::size_t i = 0; i < kStates.size(); ++i)
        if (kStates[i].code != static_cast<std::int32_t>(i)) return false;
    for (std::size_t i = 0; i < kKinds.size(); ++i)
        if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
    return true;
}(), "the tables are in value order");

/// The header signatures in the order recognition tries them: the first that
/// matches gives the code.
struct Recognised {
    ksStateOfDocument state;
    Signature probes;
};

inline constexpr const char* kPrim = "Приме-\nчание";
inline constexpr const char* kPoz = "Поз.\nобозна-\nчение";
inline constexpr const char* kVnOboz = "Обозначение, имя файла,\nразмер файла (байт), контрольная сумма";
inline constexpr const char* kVpaOboz = "Обозначение\nдокумента\nна поставку";

inline constexpr Recognised kSignatures[] = {
    // specification, list
    {ksSPA_OT, {{{"A1", "Формат"}, {"B1", "Зона"}, {"C1", "Поз."}, {"D1", "Обозначение"}, {"E1", "Наименование"},
                 {"F1", "Кол."}, {"G1", kPrim}}}},
    // specification, formed (today's form, then earlier column grids)
    {ksSPA_OF, {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"P1", "Наименование"},
                 {"V1", "Кол."}, {"X1", kPrim}}}},
    {ksSPA_OF, {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"L1", "Наименование"},
                 {"P1", "Кол."}, {"R1", kPrim}}}},
    {ksSPA_OF, {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"K1", "Наименование"},
                 {"O1", "Кол."}, {"Q1", kPrim}}}},
    {ksSPA_OF, {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"K1", "Наименование"},
                 {"N1", "Кол."}, {"O1", kPrim}}}},
    {ksSPA_OF, {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"K1", "Наименование"},
                 {"M1", "Кол."}, {"N1", kPrim}}}},
    {ksSPA_OF, {{{"C1", "FRMT."}, {"D1", "Поз."}, {"E1", "Обозначение"}, {"I1", "Наименование"}, {"K1", "Кол."},
                 {"L1", "Прим."}}}},
    // group specification, list
    {ksSPB_OT, {{{"A1", "Формат"}, {"B1", "Зона"}, {"C1", "Поз."}, {"D1", "Обозначение"}, {"E1", "Наименование"},
                 {"F1", "Кол. на исполн."}, {"P1", "Примечание"}}}},
    // group specification, formed (heads in row 3)
    {ksSPB_OF, {{{"B3", "Формат"}, {"D3", "Зона"}, {"F3", "Поз."}, {"G3", "Обозначение"}, {"J3", "Наименование"},
                 {"P3", "Кол. на исполн."}, {"AD3", "Примечание"}}}},
    {ksSPB_OF, {{{"A3", "Формат"}, {"C3", "Зона"}, {"E3", "Поз."}, {"F3", "Обозначение"}, {"I3", "Наименование"},
                 {"O3", "Кол. на исполн."}, {"AC3", "Примечание"}}}},
    {ksSPB_OF, {{{"A3", "Формат"}, {"B3", "Зона"}, {"C3", "Поз."}, {"D3", "Обозначение"}, {"G3", "Наименование"},
                 {"M3", "Кол. на исполн."}, {"AA3", "Примечание"}}}},
    // list of elements, list (with and without the zone column)
    {ksPE_OT_1, {{{"A1", "Зона"}, {"B1", kPoz}, {"C1", "Наименование"}, {"D1", "Кол."}, {"E1", "Примечание"}}}},
    {ksPE_OT_2, {{{"A1", kPoz}, {"B1", "Наименование"}, {"C1", "Кол."}, {"D1", "Примечание"}}}},
    // list of elements, formed
    {ksPE_OF, {{{"C1", "Зона"}, {"D1", kPoz}, {"H1", "Наименование"}, {"U1", "Кол."}, {"W1", "Примечание"}}}},
    {ksPE_OF, {{{"C1", "Зона"}, {"D1", kPoz}, {"G1", "Наименование"}, {"O1", "Кол."}, {"Q1", "Примечание"}}}},
    {ksPE_OF, {{{"C1", "Зона"}, {"D1", kPoz}, {"G1", "Наименование"}, {"N1", "Кол."}, {"P1", "Примечание"}}}},
    {ksPE_OF, {{{"C1", "Зона"}, {"D1", kPoz}, {"G1", "Наименование"}, {"M1", "Кол."}, {"N1", "Примечание"}}}},
    {ksPE_OF, {{{"C1", kPoz}, {"G1", "Наименование"}, {"M1", "Кол."}, {"N1", "Примечание"}}}},
    {ksPE_OF, {{{"C1", kPoz}, {"E1", "Наименование"}, {"J1", "Кол."}, {"K1", "Примечание"}}}},
    {ksPE_OF, {{{"D1", kPoz}, {"G1", "Наименование"}, {"L1", "Кол."}, {"M1", "Примечание"}}}},
    {ksPE_OF, {{{"C1", kPoz}, {"H1", "Наименование"}, {"U1", "Кол."}, {"W1", "Примечание"}}}},  // without zone
    // list of purchased products, list
    {ksVPA_OT, {{{"A1", "№ строки"}, {"B1", "Наименование"}, {"C1", "Код продукции"}, {"D1", kVpaOboz},
                 {"E1", "Поставщик"}, {"F1", "Куда входит (обозначение)"}, {"G1", "Количество"}, {"K1", kPrim}}}},
    // list of purchased products, formed
    {ksVPA_OF, {{{"D1", "Наименование"}, {"O1", "Код продукции"}, {"R1", kVpaOboz}, {"AA1", "Поставщик"},
                 {"AE1", "Куда входит (обозначение)"}, {"AJ1", "Количество"}, {"AQ1", kPrim}}}},
    {ksVPA_OF, {{{"D1", "Наименование"}, {"E1", "Код продукции"}, {"F1", kVpaOboz}, {"G1", "Поставщик"},
                 {"K1", "Куда входит (обозначение)"}, {"P1", "Количество"}, {"W1", kPrim}}}},
    // list of documents on data media
    {ksVN_OT, {{{"A1", "№ строки"}, {"B1", kVnOboz}, {"C1", "Наименование"}, {"D1", "Примечание"}}}},
    {ksVN_OF, {{{"C1", "№ строки"}, {"D1", kVnOboz}, {"P1", "Наименование"}, {"W1", "Примечание"}}}},
    // connection table
    {ksTB_OT, {{{"A1", "Поз."}, {"B1", "Провод"}, {"C1", "Откуда идет"}, {"D1", "Куда поступает"}, {"E1", "Длина"},
                {"F1", "Примеч."}}}},
    {ksTB_OF, {{{"C1", "Поз."}, {"D1", "Провод"}, {"H1", "Откуда идет"}, {"K1", "Куда поступает"}, {"L1", "Длина"},
                {"N1", "Примеч."}}}},
    {ksTB_OF_old, {{{"C1", "Поз."}, {"E1", "Провод"}, {"H1", "Откуда идет"}, {"K1", "Куда поступает"},
                    {"L1", "Длина"}, {"N1", "Примеч."}}}},
    // list of operational documents
    {ksVE_OT, {{{"A1", "Обозначение документа"}, {"B1", "Наименование документа"}, {"C1", "Кол.\nэкз.,\nшт."},
                {"D1", "№\nэкз."}, {"E1", "Место\nнахождения"}}}},
    {ksVE_OF, {{{"C1", "Обозначение документа"}, {"M1", "Наименование документа"}, {"S1", "Кол.\nэкз.,\nшт."},
                {"U1", "№\nэкз."}, {"W1", "Место\nнахождения"}}}},
    // list of electronic originals
    {ksVEO_OT, {{{"A1", "Имя папки, файла"}, {"B1", "Размер,\nбайт"}, {"C1", "Контр.\nсумма"}}}},
    {ksVEO_OF, {{{"C1", "Имя папки, файла"}, {"M1", "Размер,\nбайт"}, {"O1", "Контр.\nсумма"}}}},
};

}  // namespace kinds

/// Whether a 32-bit value is one of the 22 members.
constexpr bool IsStateValue(std::int32_t value) { return value >= ksDOC_NO && value <= ksVEO_OF; }

/// The entry of a code; ksDOC_NO's for values outside the enumeration.
constexpr const kinds::StateEntry& StateEntryOf(std::int32_t s) {
    return kinds::kStates[IsStateValue(s) ? static_cast<std::size_t>(s) : 0];
}

/// The entry of a kind.
constexpr const kinds::KindEntry& KindEntryOf(DocKind k) { return kinds::kKinds[static_cast<std::size_t>(k)]; }

/// The kind a code belongs to (None for ksDOC_NO and for values outside the enumeration).
constexpr DocKind KindOf(std::int32_t s) { return StateEntryOf(s).kind; }

/// List states: the editable list of a kind (names ending in _OT).
constexpr bool IsListState(std::int32_t s) { return StateEntryOf(s).list; }

/// Formed states: the paginated document of a kind (names ending in _OF, the
/// superseded layouts included).
constexpr bool IsFormedState(std::int32_t s) {
    return IsStateValue(s) && s != ksDOC_NO && !IsListState(s);
}

/// The kind code as it prefixes the member names: "SPA", "PE", ...; empty for None.
constexpr std::string_view KindCode(DocKind k) { return KindEntryOf(k).code; }

/// The first data row of a kind's list: 5 for the group specification, 3 for the
/// list of purchased products, 2 for every other kind.
constexpr int FirstDataRow(DocKind k) { return KindEntryOf(k).firstDataRow; }

}  // namespace ormelin
