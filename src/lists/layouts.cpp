// The list layouts of the six kinds: column widths, column-wide formats and the
// header rows, each ending in the link cell "список" that leads to the register.
// Every layout works on the sheet it is given and reports its own errors.
// Format patches below name only the fields they change; the others stay empty.

#include "lists/entries.hpp"
#include "lists/layout.hpp"
#include "lists/lists.hpp"

namespace ormelin::lists {

namespace {

using H = host::HAlign;
using V = host::VAlign;
using U = host::Underline;

// Specification: header row 1, columns A..H.
const std::vector<Step>& SpaLayout() {
    static const std::vector<Step> steps = {
        {.range = "A:A", .width = 3},
        {.range = "A1", .format = {.fontSize = 11}},
        {.range = "B:B", .width = 3},
        {.range = "C:C", .width = 4, .format = {.shrink = false}},
        {.range = "C1", .format = {.fontSize = 14}},
        {.range = "D:D", .width = 30},
        {.range = "E:E", .width = 34},
        {.range = "F:F", .width = 5, .format = {.shrink = true}},
        {.range = "G:G", .width = 13.5, .format = {.shrink = true}},
        {.range = "H:H", .width = 7},
        {.range = "H1", .link = Link::Plain},
        {.range = "G1", .format = {.wrap = true}},
        {.range = "A1:H1", .values = {"Формат", "Зона", "Поз.", "Обозначение", "Наименование", "Кол.",
                                      "Приме-\nчание", "список"}},
        {.range = "D:E", .listFormat = {.horizontal = H::Left}},
        {.range = "A1:C1", .listFormat = {.orientation = 90}},
        {.range = "F1", .listFormat = {.orientation = 90}},
        {.range = "C1:G1", .listFormat = {.horizontal = H::Center}},
        {.range = "2:2", .select = true},
    };
    return steps;
}

// List of elements: header row 1, columns A..F.
// The specification's entry columns: key A "Формат", B "Зона", C "Поз.",
// D "Обозначение", F "Кол."; numbers in C and F.
const EntryColumns kSpaEntries{7, {1, 2, 3, 4, 6}, {}, {3, 6}};

const std::vector<Step>& PeLayout() {
    static const std::vector<Step> steps = {
        {.range = "A:A", .width = 3},
        {.range = "A1", .format = {.orientation = 90}},
        {.range = "B:B", .width = 11, .format = {.shrink = true}},
        {.range = "C:C", .width = 57, .format = {.shrink = false}, .listFormat = {.horizontal = H::Left}},
        {.range = "D:D", .width = 5, .format = {.horizontal = H::Center}},
        {.range = "E:E", .width = 14.7, .format = {.shrink = true}},
        {.range = "F:F", .width = 7},
        {.range = "F1", .link = Link::Plain},
        {.range = "B1", .format = {.wrap = true, .fontSize = 11}},
        {.range = "A1:F1", .values = {"Зона", "Поз.\nобозна-\nчение", "Наименование", "Кол.", "Примечание",
                                      "список"}},
        {.range = "A1:F1", .format = {.horizontal = H::Center, .vertical = V::Center}},
        {.range = "2:2", .select = true},
    };
    return steps;
}

// The list of elements: key A "Зона", B "Поз. обозначение", D "Кол."; numbers in D.
const EntryColumns kPeEntries{5, {1, 2, 4}, {}, {4}};

// List of documents on data media: header row 1, columns A..E; column A holds the
// line numbers and is emptied whenever the layout runs.
const std::vector<Step>& VnLayout() {
    static const std::vector<Step> steps = {
        {.range = "A:A", .width = 3, .format = {.numberFormat = "General", .fontSize = 11}, .clearContents = true},
        {.range = "A1", .format = {.orientation = 90, .fontSize = 8}, .values = {"№ строки"}},
        {.range = "B:B", .width = 41, .format = {.shrink = true}},
        {.range = "B1", .format = {.fontSize = 12},
         .values = {"Обозначение, имя файла,\nразмер файла (байт), контрольная сумма"}},
        {.range = "C:C", .width = 34, .format = {.shrink = false}, .listFormat = {.horizontal = H::Left}},
        {.range = "C1", .values = {"Наименование"}},
        {.range = "D:D", .width = 14.7, .format = {.shrink = true}},
        {.range = "D1", .values = {"Примечание"}},
        {.range = "E:E", .width = 7},
        {.range = "E1", .link = Link::Plain, .values = {"список"}},
        {.range = "1:1", .format = {.horizontal = H::Center}},
    };
    return steps;
}

// Documents on data media: key B "Обозначение..."; A "№ строки" is the form's.
const EntryColumns kVnEntries{4, {2}, {1}, {}};

// List of operational documents: header row 1, columns A..F, and a blank list's
// first entry, in which the list names itself under the general documentation.
const std::vector<Step>& VeLayout() {
    static const std::vector<Step> steps = {
        {.range = "A:A", .width = 33, .listFormat = {.horizontal = H::Left}},
        {.range = "A1", .format = {.fontSize = 14}, .values = {"Обозначение документа"}},
        {.range = "A5", .derived = Derived::Designation, .when = When::List},
        {.range = "B:B", .width = 35, .format = {.shrink = true}, .listFormat = {.horizontal = H::Left}},
        {.range = "B1", .format = {.fontSize = 14}, .values = {"Наименование документа"}},
        {.range = "B3", .listFormat = {.horizontal = H::Center, .underline = U::Single},
         .values = {"Документация общая"}, .when = When::List},
        {.range = "B5", .values = {"Ведомость эксплуатационных"}, .when = When::List},
        {.range = "B6", .values = {"документов"}, .when = When::List},
        {.range = "C:C", .width = 5, .format = {.numberFormat = "General", .shrink = false}},
        {.range = "C1", .format = {.fontSize = 11}, .values = {"Кол.\nэкз.,\nшт."}},
        {.range = "C5", .values = {1.0}, .when = When::List},
        {.range = "D:D", .width = 5, .format = {.shrink = true}},
        {.range = "D1", .format = {.fontSize = 12}, .values = {"№\nэкз."}},
        {.range = "E:E", .width = 15, .format = {.shrink = true}, .listFormat = {.horizontal = H::Left}},
        {.range = "E1", .format = {.fontSize = 14}, .values = {"Место\nнахождения"}},
        {.range = "F:F", .width = 7},
        {.range = "F1", .link = Link::Plain, .values = {"список"}},
        {.range = "1:1", .format = {.horizontal = H::Center}},
    };
    return steps;
}

// Operational documents: key A "Обозначение документа", C "Кол. экз.", D "№ экз.";
// numbers in C and D.
const EntryColumns kVeEntries{5, {1, 3, 4}, {}, {3, 4}};

// Group specification: a two-row column head (rows 1 and 2) and two further
// header rows; the quantities per execution stand under F..O.
const std::vector<Step>& SpbLayout() {
    static const std::vector<Step> steps = {
        {.range = "A:A", .width = 3},
        {.range = "A1:A2", .format = {.vertical = V::Bottom, .orientation = 90, .fontSize = 11}, .merge = true,
         .values = {"Формат"}},
        {.range = "B:B", .width = 3},
        {.range = "B1:B2", .format = {.horizontal = H::Center, .orientation = 90}, .merge = true, .values = {"Зона"}},
        {.range = "C:C", .width = 4, .format = {.shrink = true}},
        {.range = "C1:C2", .format = {.orientation = 90}, .merge = true, .values = {"Поз."}},
        {.range = "D:D", .width = 30, .format = {.horizontal = H::Left}},
        {.range = "D1:D2", .format = {.horizontal = H::Center}, .merge = true, .values = {"Обозначение"}},
        {.range = "E:E", .width = 32, .format = {.horizontal = H::Left}},
        {.range = "E1:E2", .format = {.horizontal = H::Center}, .merge = true, .values = {"Наименование"}},
        {.range = "F:O", .width = 4.5},
        {.range = "F1:I1", .format = {.horizontal = H::Right}, .merge = true, .values = {"Кол. на исполн."}},
        {.range = "J1:O1", .format = {.horizontal = H::Left}, .merge = true, .derived = Derived::NameHyphen,
         .when = When::Rollback},
        {.range = "F2:O2", .format = {.numberFormat = "@"}},
        {.range = "P:P", .width = 15},
        {.range = "P1:P2", .format = {.horizontal = H::Center}, .merge = true, .values = {"Примечание"}},
        {.range = "1:1", .rowHeight = 20},
        {.range = "2:2", .rowHeight = 23},
        {.range = "3:3", .rowHeight = 15},
        {.range = "4:4", .format = {.orientation = 90}, .rowHeight = 57},
        {.range = "Q:Q", .width = 7},
        {.range = "Q1", .link = Link::WithText},
    };
    return steps;
}

// The group specification: key A "Формат", B "Зона", C "Поз.", D "Обозначение",
// F..O the quantities per execution; numbers in C and F..O.
const EntryColumns kSpbEntries{16, {1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {},
                               {3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}};

// List of purchased products: a two-row column head; column A holds the line
// numbers and is emptied whenever the layout runs. The rollback flag changes nothing.
const std::vector<Step>& VpaLayout() {
    static const host::FormatPatch head = {.horizontal = H::Center, .fontSize = 14};
    static const std::vector<Step> steps = {
        {.range = "A:A", .width = 3,
         .format = {.numberFormat = "General", .horizontal = H::Center, .vertical = V::Center, .italic = true},
         .clearContents = true},
        {.range = "A1:A2", .format = {.orientation = 90, .fontSize = 14}, .merge = true, .values = {"№ строки"}},
        {.range = "B:B", .width = 38},
        {.range = "B1:B2", .format = head, .merge = true, .values = {"Наименование"}},
        {.range = "C:C", .width = 19.5},
        {.range = "C1:C2", .format = head, .merge = true, .values = {"Код продукции"}},
        {.range = "D:D", .width = 32.25},
        {.range = "D1:D2", .format = head, .merge = true, .values = {"Обозначение\nдокумента\nна поставку"}},
        {.range = "E:E", .width = 26.7},
        {.range = "E1:E2", .format = head, .merge = true, .values = {"Поставщик"}},
        {.range = "F:F", .width = 35.5},
        {.range = "F1:F2", .format = head, .merge = true, .values = {"Куда входит (обозначение)"}},
        {.range = "G:J", .width = 7.75, .format = {.horizontal = H::Center}},
        {.range = "G1:J1", .format = {.fontSize = 14}, .merge = true, .values = {"Количество"}},
        {.range = "G2:J2", .format = {.fontSize = 11},
         .values = {"на из-\nделие", "в ком-\nплекты", "на ре-\nгулир.", "всего"}},
        {.range = "K:K", .width = 12},
        {.range = "K1:K2", .format = head, .merge = true, .values = {"Приме-\nчание"}},
        {.range = "1:1", .rowHeight = 24},
        {.range = "2:2", .rowHeight = 50},
        {.range = "L:L", .width = 7},
        {.range = "L1:L2", .format = {.fontSize = 14}, .merge = true},
        {.range = "L1", .link = Link::WithText},
    };
    return steps;
}

// Purchased products: key C "Код продукции", G..J the quantities; A "№ строки"
// is the form's; numbers in G..J. Name, document, supplier, "Куда входит" and
// remark continue an entry.
const EntryColumns kVpaEntries{11, {3, 7, 8, 9, 10}, {1}, {7, 8, 9, 10}};

// The list of elements without the zone column: the layout of the list of
// elements one column to the left, as rollback redraws its head (the layout with
// the zone column would give its columns the heads of their neighbours).
const std::vector<Step>& PeWithoutZoneLayout() {
    static const std::vector<Step> steps = {
        {.range = "A:A", .width = 11, .format = {.shrink = true}},
        {.range = "B:B", .width = 57, .format = {.shrink = false}, .listFormat = {.horizontal = H::Left}},
        {.range = "C:C", .width = 5, .format = {.horizontal = H::Center}},
        {.range = "D:D", .width = 14.7, .format = {.shrink = true}},
        {.range = "E:E", .width = 7},
        {.range = "E1", .link = Link::Plain},
        {.range = "A1", .format = {.wrap = true, .fontSize = 11}},
        {.range = "A1:E1", .values = {"Поз.\nобозна-\nчение", "Наименование", "Кол.", "Примечание", "список"}},
        {.range = "A1:E1", .format = {.horizontal = H::Center, .vertical = V::Center}},
        {.range = "2:2", .select = true},
    };
    return steps;
}

// Without the zone column: key A "Поз. обозначение", C "Кол."; numbers in C.
const EntryColumns kPeWithoutZoneEntries{4, {1, 3}, {}, {3}};

struct LayoutEntry {
    Layout layout;
    const char* routine;
    const std::vector<Step>& (*steps)();
    const EntryColumns* entries;
};

constexpr LayoutEntry kLayouts[] = {
    {Layout::SPA, "SPA_ColumnsWidthAndHead", &SpaLayout, &kSpaEntries},
    {Layout::SPB, "SPB_ColumnsWidthAndHead", &SpbLayout, &kSpbEntries},
    {Layout::PE, "PE_ColumnsWidthAndHead", &PeLayout, &kPeEntries},
    {Layout::PeWithoutZone, "PE_ColumnsWidthAndHead", &PeWithoutZoneLayout, &kPeWithoutZoneEntries},
    {Layout::VPA, "VPA_ColumnsWidthAndHead", &VpaLayout, &kVpaEntries},
    {Layout::VN, "VN_ColumnsWidthAndHead", &VnLayout, &kVnEntries},
    {Layout::VE, "VE_ColumnsWidthAndHead", &VeLayout, &kVeEntries},
};

const LayoutEntry& EntryOf(Layout layout) {
    for (const LayoutEntry& e : kLayouts)
        if (e.layout == layout) return e;
    throw Error(ErrorCode::InvalidArgument, "no such list layout");
}

}  // namespace

const char* RoutineOf(Layout layout) { return EntryOf(layout).routine; }

const EntryColumns& EntryColumnsOf(ListLayout layout) {
    static const EntryColumns none{};
    return layout == Layout::None ? none : *EntryOf(layout).entries;
}

std::optional<Layout> LayoutOfList(std::int32_t listState) {
    const Layout layout = StateEntryOf(listState).listLayout;
    if (layout == Layout::None) return std::nullopt;
    return layout;
}

void ColumnsWidthAndHead(const std::shared_ptr<host::Worksheet>& sheet, Layout layout, bool bOtkat,
                         const ReportFn& report) {
    const LayoutEntry& e = EntryOf(layout);
    std::exception_ptr failure;
    try {
        ApplyLayout(sheet, e.steps(), bOtkat);
        return;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!report) std::rethrow_exception(failure);  // nobody to show it to: the caller gets it
    report(e.routine, failure);
}

}  // namespace ormelin::lists
