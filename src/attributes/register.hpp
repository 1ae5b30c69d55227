// The register sheet "список" of a workbook: its column titles, the titles a
// reader accepts for each column, and which attribute of a record each column
// holds; finding or creating the sheet (FindSPIS), its column map, and the row
// lookup of a worksheet's document. The functions take the workbook, worksheet
// and application they work on; the service object keeps what it must between
// calls. Shared by the attribute transfers (transfer.hpp), the document
// lifecycle (lifecycle.hpp) and the form checks.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ormelin/attr_doc.hpp"
#include "ormelin/host.hpp"
#include "ormelin/register_columns.hpp"

namespace ormelin::attributes {

/// The register's sheet name.
inline constexpr const char* kSheetName = "список";

/// Last column of the header written when the register is created (AF).
inline constexpr int kHeaderColumns = kSpisColumnCount;

/// One column of the register: the title written when the register is created
/// and every title a reader accepts for it (the created one among them).
struct ColumnTitles {
    SpisColumn column;
    const char* created;
    std::array<const char*, 2> accepted;  // nullptr: no further title
};

/// The 32 columns in the order the register is created (A..AF).
inline constexpr std::array<ColumnTitles, kSpisColumnCount> kColumns{{
    {spFile, "Файл", {"Файл", nullptr}},
    {spShee, "Лист", {"Лист", nullptr}},
    {spOboz, "Обозначение", {"Обозначение", nullptr}},
    {spNaim, "Наименование", {"Наименование", nullptr}},
    {spProj, "Проект", {"Проект", "Индекс"}},
    {spPerv, "ПервПримен", {"ПервПримен", nullptr}},
    {spDesi, "Разраб", {"Разраб", "Разраб."}},
    {spChec, "Пров", {"Пров", nullptr}},
    {spAddb, "ДобПоле", {"ДобПоле", nullptr}},
    {spAddf, "ДобФам", {"ДобФам", nullptr}},
    {spNcon, "Нконтр", {"Н. контр.", "Нконтр"}},
    {spAppr, "Утв", {"Утв", nullptr}},
    {spDesd, "ДатаР", {"ДатаР", nullptr}},
    {spChed, "ДатаП", {"ДатаП", nullptr}},
    {spAddd, "ДатаД", {"ДатаД", nullptr}},
    {spNcod, "ДатаН", {"ДатаН", nullptr}},
    {spAppd, "ДатаУ", {"ДатаУ", nullptr}},
    {spIzme, "Изм", {"Изм", "Изм."}},
    {spIzml, "ЛистИ", {"ЛистИ", nullptr}},
    {spNdoc, "№ докум.", {"НомИзв", "№ докум."}},
    {spIzmd, "ДатаИ", {"ДатаИ", nullptr}},
    {spLite, "Лит.", {"Лит.", "Лит"}},
    {spFirm, "Фирма", {"Фирма", nullptr}},
    {spSpra, "СправНом", {"СправНом", nullptr}},
    {spAlit, "УтвЛит", {"УтвЛит", nullptr}},
    {spAdoc, "УтвДок", {"УтвДок", nullptr}},
    {spIcus, "ИндЗак", {"ИндЗак", nullptr}},
    {spInpo, "ИнвНомПодл", {"ИнвНомПодл", nullptr}},
    {spInpd, "ДатаИнвНомПодл", {"ДатаИнвНомПодл", nullptr}},
    {spInvz, "ВзамИнвНом", {"ВзамИнвНом", nullptr}},
    {spIndu, "ИнвНомДубл", {"ИнвНомДубл", nullptr}},
    {spIndd, "ДатаИнвНомДубл", {"ДатаИнвНомДубл", nullptr}},
}};

/// One attribute carried between a record and its register column: the property
/// written into the register and the one that receives the cell's text.
struct Field {
    SpisColumn column;
    AttrProp write;
    AttrProp read;
};

/// The 30 attributes moved by AttribsToSPIS and AttribsFromSPIS, in their order.
/// The name and the organisation are written in their one-line forms and read
/// back through their composite lets.
inline constexpr std::array<Field, 30> kFields{{
    {spProj, AttrProp::aProj, AttrProp::aProj},
    {spPerv, AttrProp::aPerv, AttrProp::aPerv},
    {spIzme, AttrProp::aIzme, AttrProp::aIzme},
    {spIzml, AttrProp::aIzml, AttrProp::aIzml},
    {spNdoc, AttrProp::aNdoc, AttrProp::aNdoc},
    {spIzmd, AttrProp::aIzmd, AttrProp::aIzmd},
    {spDesi, AttrProp::aDesi, AttrProp::aDesi},
    {spChec, AttrProp::aChec, AttrProp::aChec},
    {spAddb, AttrProp::aAddb, AttrProp::aAddb},
    {spAddf, AttrProp::aAddf, AttrProp::aAddf},
    {spNcon, AttrProp::aNcon, AttrProp::aNcon},
    {spAppr, AttrProp::aAppr, AttrProp::aAppr},
    {spDesd, AttrProp::aDesd, AttrProp::aDesd},
    {spChed, AttrProp::aChed, AttrProp::aChed},
    {spAddd, AttrProp::aAddd, AttrProp::aAddd},
    {spNcod, AttrProp::aNcod, AttrProp::aNcod},
    {spAppd, AttrProp::aAppd, AttrProp::aAppd},
    {spOboz, AttrProp::aOboz, AttrProp::aOboz},
    {spNaim, AttrProp::aNaimDB, AttrProp::aNaim},
    {spLite, AttrProp::aLite, AttrProp::aLite},
    {spFirm, AttrProp::aFirmDB, AttrProp::aFirm},
    {spSpra, AttrProp::aSpra, AttrProp::aSpra},
    {spAlit, AttrProp::aAlit, AttrProp::aAlit},
    {spAdoc, AttrProp::aAdoc, AttrProp::aAdoc},
    {spIcus, AttrProp::aIcus, AttrProp::aIcus},
    {spInpo, AttrProp::aInpo, AttrProp::aInpo},
    {spInpd, AttrProp::aInpd, AttrProp::aInpd},
    {spInvz, AttrProp::aInvz, AttrProp::aInvz},
    {spIndu, AttrProp::aIndu, AttrProp::aIndu},
    {spIndd, AttrProp::aIndd, AttrProp::aIndd},
}};

/// One attribute of the reference record: the register column it refers to, and
/// whether its reference is a formula of its own (with "=") or is appended inside
/// another formula (aProj).
struct Reference {
    AttrProp prop;
    SpisColumn column;
    bool formula;
};

/// The 30 references set by AttribsRefFromSPIS, in their order.
inline constexpr std::array<Reference, 30> kReferences{{
    {AttrProp::aOboz, spOboz, true},
    {AttrProp::aNaim, spNaim, true},
    {AttrProp::aProj, spProj, false},
    {AttrProp::aPerv, spPerv, true},
    {AttrProp::aIzme, spIzme, true},
    {AttrProp::aIzml, spIzml, true},
    {AttrProp::aNdoc, spNdoc, true},
    {AttrProp::aIzmd, spIzmd, true},
    {AttrProp::aDesi, spDesi, true},
    {AttrProp::aChec, spChec, true},
    {AttrProp::aAddb, spAddb, true},
    {AttrProp::aAddf, spAddf, true},
    {AttrProp::aNcon, spNcon, true},
    {AttrProp::aAppr, spAppr, true},
    {AttrProp::aDesd, spDesd, true},
    {AttrProp::aChed, spChed, true},
    {AttrProp::aAddd, spAddd, true},
    {AttrProp::aNcod, spNcod, true},
    {AttrProp::aAppd, spAppd, true},
    {AttrProp::aLite, spLite, true},
    {AttrProp::aFirm, spFirm, true},
    {AttrProp::aSpra, spSpra, true},
    {AttrProp::aAlit, spAlit, true},
    {AttrProp::aAdoc, spAdoc, true},
    {AttrProp::aIcus, spIcus, true},
    {AttrProp::aInpo, spInpo, true},
    {AttrProp::aInpd, spInpd, true},
    {AttrProp::aInvz, spInvz, true},
    {AttrProp::aIndu, spIndu, true},
    {AttrProp::aIndd, spIndd, true},
}};

/// The register column that keeps an attribute of the record: the file name and
/// the sheet their own columns, the name and the organisation (every line and
/// form of them) theirs, each of the 30 transferred attributes its column;
/// nothing for a property the register does not keep.
std::optional<SpisColumn> ColumnOfAttribute(AttrProp p);

/// The register sheet of a workbook: its first worksheet named exactly "список"
/// (case-sensitive), or null.
std::shared_ptr<host::Worksheet> RegisterOf(const host::Workbook& book);

/// The map entry whose accepted titles include the (already trimmed) text, or nothing.
std::optional<SpisColumn> ColumnOfTitle(std::string_view title);

/// "=список!R5C3": the formula text referring to a register cell; without the
/// leading "=" when formula is false ("список!R5C3").
std::string ReferenceText(int row, int column, bool formula);

/// Whether a workbook's name is that of a saved workbook file: it ends in ".xls",
/// ".xlsx" or ".xlsm" (case-sensitive).
bool IsWorkbookFileName(std::string_view name);

/// The workbook's file name as the register's "Файл" column keeps it: the name of
/// a saved workbook as it is, a never-saved one's name with ".xlsx" appended.
std::string FileNameOf(const host::Workbook& book);

/// Characters (code points) of the longest line of a text.
std::size_t LongestLine(std::string_view text);

/// A notice to the user: the text in a message box with an information icon and
/// an OK button.
void Notice(host::Application& app, const std::string& text);

// ------------------------------------------------------------------ the register of a workbook

/// The register column map: per entry the 1-based column of its title, 0 when the
/// header lacks it.
using ColumnMap = std::array<int, kSpisColumnCount>;

/// A register as a lookup found it: its sheet (null when the workbook has none)
/// and the column map read from its header.
struct Register {
    std::shared_ptr<host::Worksheet> sheet;
    ColumnMap columns{};

    explicit operator bool() const { return sheet != nullptr; }
    /// The column of an entry, 0 when the header lacks its title.
    int Column(SpisColumn entry) const { return columns[entry]; }
};

/// Finds the register sheet of a workbook, creating it with its formatted header
/// when there is none (a single empty worksheet becomes it), and brings it to the
/// front. Every step runs on its own: a failing step shows "FindSPIS: " and the
/// error's description in a message box, adds a workbook after a refused
/// operation, saves the active workbook, and the next step runs. A null workbook
/// is reported the same way. Returns the messages shown.
std::vector<std::string> FindSPIS(host::Application& app, const std::shared_ptr<host::Workbook>& book);

/// The column-map scan: resets every entry to 0, then gives each accepted title of
/// header row 1 (trimmed) its column; a later column with the same title wins. A
/// failing read leaves the entries found before it.
void ScanColumnMap(const host::Worksheet& reg, ColumnMap& map);

/// Where a register row lookup ended: the register (null sheet and zero map when
/// the workbook has none) and the document's row, if any.
struct RowLookup {
    Register reg;
    std::optional<host::Range> row;
};

/// The register row lookup. The register is that of the document's own workbook
/// (without a document, the active workbook's). The row is the first from row 2
/// whose "Лист" cell shows the document's name exactly; without one, the row below
/// the used range when create is set, else none. No document: no row. Silent: a
/// missing register is told by a null sheet, and a failing step is passed over.
RowLookup FindRow(host::Application& app, const host::Worksheet* document, bool create);

/// The first register row from row 2 whose "Лист" cell shows name exactly, up to
/// row last; 0 when there is none or the header has no "Лист" column. Silent.
int RowOfSheet(const Register& reg, const std::string& name, int last);

/// The cell of a register row that names its document (CellSpis): the row's cell
/// in the "Лист" column; nothing when the header has no such column.
std::optional<host::Range> SheetCell(const Register& reg, host::Range row);

}  // namespace ormelin::attributes
