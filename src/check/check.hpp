// The check of a document: what a normocontrol would reject before the document
// is printed, found by one table of rules (Rules()). Each rule has an identifier,
// a severity, the clause of the standard it stands on and a function that reads
// the document and reports its findings; docs/check.md lists them.
//
// A rule reads a Document: the worksheet, its kind and state (recognition's
// StateOf and the kind table), the form's geometry and the document's sheets
// (a formed document), the columns of its fields and its list rows. A rule that
// another module provides the basis of (texts wider than their field, entries
// kept whole across sheets) is one more entry of the table whose function calls
// that module with the Document's worksheet and geometry.
//
// Messages are English with {1}, {2}, ... for their arguments, marked with
// Message(); the command translates them (po/ru.po).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forming/geometry.hpp"
#include "ormelin/host.hpp"
#include "ormelin/state.hpp"

namespace ormelin::check {

/// Marks an English message of a rule; the command translates it where it shows it.
constexpr const char* Message(const char* english) { return english; }

enum class Severity : std::uint8_t { Error, Warning };

/// A calendar date.
struct Date {
    int year = 0, month = 0, day = 0;
    auto operator<=>(const Date&) const = default;
};

/// The date a title-block text shows: "dd.mm.yy" (20yy) or "dd.mm.yyyy"; nothing
/// for another text or a day that is not in the calendar (31.02.26).
std::optional<Date> ParseDate(const std::string& text);

/// One finding: where (the sheet and the cell), which rule, how bad, and what.
struct Finding {
    std::string sheet;
    std::string cell;          // "H5"
    const char* rule = "";
    Severity severity = Severity::Error;
    const char* message = "";  // English, {1}, {2}, ... for the arguments
    std::vector<std::string> args;
};

/// The fields of a list row, as the columns of a list or a formed document name them.
enum class Field : std::uint8_t {
    Format,        // "Формат"
    Zone,          // "Зона"
    Position,      // "Поз." of a specification, "Поз. обозначение" of a list of elements
    Designation,   // "Обозначение" of a specification
    Name,          // "Наименование"
    Quantity,      // "Кол." (the first "Кол. на исполн." of a group specification)
    Note,          // "Примечание"
    Code,          // "Код продукции"
    Document,      // "Обозначение документа на поставку"
    Supplier,      // "Поставщик"
    WhereUsed,     // "Куда входит (обозначение)"
    PerProduct,    // "на изделие"
    InSets,        // "в комплекты"
    ForTuning,     // "на регулир."
    Total,         // "всего"
    Count
};

/// One worksheet row among the document's list rows.
struct ListRow {
    int row = 0;      // worksheet row
    int sheet = 1;    // printed sheet it stands on (1 for a list)
    bool sheetEnd = false;  // the last list row of its printed sheet
    std::string text[static_cast<int>(Field::Count)];
    const std::string& operator[](Field f) const { return text[static_cast<int>(f)]; }
    bool Empty() const;
};

/// A title-block cell of the first sheet.
struct TitleCell {
    int row = 0, column = 0;
};

/// A signature row of the first sheet's title block: its label, surname and date cells.
struct SignatureRow {
    TitleCell label, surname, date;
};

/// Where the first sheet's title block shows each field (a formed document).
struct TitleBlock {
    TitleCell designation, name, letter, organisation, change, changeDocument;
    std::vector<SignatureRow> signatures;  // top down, the labelled rows and the free one
};

/// A printed sheet of a formed document.
struct PrintedSheet {
    int firstRow = 0, bottomLine = 0;
    bool registration = false;          // the change-registration sheet
    std::optional<TitleCell> number;    // where "Лист" shows its number (a further sheet)
};

/// A document as the rules read it.
class Document {
public:
    /// Reads the document on the worksheet, today being the date dates are checked against.
    Document(const host::Worksheet& sheet, Date today);

    const host::Worksheet& Sheet() const { return sheet_; }
    std::int32_t State() const { return state_; }
    DocKind Kind() const { return KindOf(state_); }
    bool Formed() const { return IsFormedState(state_); }
    bool List() const { return IsListState(state_); }
    Date Today() const { return today_; }
    /// The form's geometry (a formed document of a current form), else null.
    const forming::SheetGeometry* Geometry() const { return geometry_; }
    /// The column of a field, 0 when the document has none.
    int Column(Field f) const { return columns_[static_cast<int>(f)]; }
    /// The list rows, top down (a formed document: those of every sheet, the rows
    /// forming inserted left out).
    const std::vector<ListRow>& Rows() const { return rows_; }
    /// The printed sheets of a formed document, the change-registration sheet last.
    const std::vector<PrintedSheet>& Sheets() const { return sheets_; }
    /// The first sheet's title block (a formed document of a current form).
    const std::optional<TitleBlock>& Title() const { return title_; }
    /// Why the sheets of a formed document could not be told apart (null: they
    /// could): a message, its arguments and the row it names.
    const char* FormFault() const { return formFault_; }
    const std::vector<std::string>& FormFaultArgs() const { return formFaultArgs_; }
    int FormFaultRow() const { return formFaultRow_; }

    /// The displayed text of a cell, without the blanks around it.
    std::string Text(int row, int column) const;
    std::string Text(TitleCell c) const { return Text(c.row, c.column); }

private:
    void ReadColumns(int headRow);
    void ReadSheets();
    void ReadRows();

    const host::Worksheet& sheet_;
    std::int32_t state_;
    Date today_;
    const forming::SheetGeometry* geometry_ = nullptr;
    int columns_[static_cast<int>(Field::Count)] = {};
    std::vector<ListRow> rows_;
    std::vector<PrintedSheet> sheets_;
    std::vector<std::pair<int, int>> inserted_;
    std::optional<TitleBlock> title_;
    const char* formFault_ = nullptr;
    std::vector<std::string> formFaultArgs_;
    int formFaultRow_ = 0;
};

/// Where a rule reports: a cell and a message with its arguments.
class Report {
public:
    virtual ~Report() = default;
    virtual void At(int row, int column, const char* message, std::vector<std::string> args = {}) = 0;
    void At(TitleCell c, const char* message, std::vector<std::string> args = {}) {
        At(c.row, c.column, message, std::move(args));
    }
};

/// One rule: its identifier, severity, the clause it stands on, which documents it
/// reads, and its function.
struct Rule {
    const char* id;
    Severity severity;
    const char* clause;        // "ГОСТ 2.701-2008, 5.1.2"
    bool formedOnly;           // reads only formed documents (the title block, the sheets)
    void (*run)(const Document& doc, Report& report);
};

/// Every rule, in the order their findings are listed.
const std::vector<Rule>& Rules();

/// The findings of the rules on one worksheet, row by row; a worksheet that holds
/// no document of a kind the rules know (or the register) gives none.
std::vector<Finding> CheckSheet(const host::Worksheet& sheet, Date today,
                                const std::vector<Rule>& rules = Rules());

/// Whether the worksheet holds a document the rules read (a list or a formed document).
bool Checkable(const host::Worksheet& sheet);

}  // namespace ormelin::check
