// The typed service: the documents of a workbook through C++ calls that return
// what they did.
//
// Documents does the work of every public method of Kalvora (which stays the
// automation surface, a thin adapter over it) and keeps what the service keeps
// between calls: the current worksheet, the register sheet with its column map
// and the register row found last, and the reference record. A host that needs
// no automation surface (the command, the Calc extension) calls it directly and
// reads the results instead of recomputing them.
//
// Errors: every failure that leaves a call is an ormelin::Error. The list layouts
// and the register's FindSPIS report their failures in a message box under their
// own name and go on; each message they show is also kept (Reports()), so that a
// host can fail a command on them without reading message boxes.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ormelin/attr_doc.hpp"
#include "ormelin/host.hpp"
#include "ormelin/register_columns.hpp"
#include "ormelin/state.hpp"

namespace ormelin {

/// How a list is formed.
struct FormingOptions {
    bool forPrint = false;   // print setup: print area, margins, paper, page breaks, page-break view
    bool pageRevi = false;   // a change-registration sheet after the last sheet (3 sheets or more)
    /// Entries kept whole on their sheets: no heading alone at a sheet's end, no
    /// entry split, no sheet beginning with empty rows (off: rows are carried
    /// strictly in list order, as the service's methods do).
    bool keepTogether = false;
};

/// What forming did.
struct FormingOutcome {
    /// What the sheet held before.
    std::int32_t stateBefore = ksDOC_NO;
    /// A list was formed (false: the sheet held no list that has a form).
    bool formed = false;
    /// Sheets of the formed document, the change-registration sheet included.
    int sheetCount = 0;
    bool registrationSheet = false;
    /// The first row below the last sheet that still holds list entries: forming
    /// stops at a run of empty rows and leaves what follows.
    std::optional<int> rowsLeftBelow;
    bool printSetupApplied = false;
    /// With keepTogether: the padding rows inserted, and the entries longer than
    /// a sheet that were split all the same.
    int paddingRows = 0;
    int entriesSplit = 0;
    std::vector<int> splitEntryRows;  // the list row each split entry began at
};

/// What rollback did.
struct RollbackOutcome {
    std::int32_t stateBefore = ksDOC_NO;
    /// A formed document was rolled back (false: the sheet held none).
    bool rolledBack = false;
    /// What the sheet holds afterwards.
    std::int32_t stateAfter = ksDOC_NO;
};

class Documents {
public:
    using WorksheetRef = std::shared_ptr<host::Worksheet>;
    using WorkbookRef = std::shared_ptr<host::Workbook>;
    using AttrDocRef = std::shared_ptr<AttrDoc>;
    using ColumnMap = std::array<int, kSpisColumnCount>;

    /// Keeps a reference to app: the application must outlive the instance.
    explicit Documents(host::Application& app);

    // ------------------------------------------------------------ lists
    /// Draws the empty list of a state on the sheet (wiped first), which becomes
    /// the current worksheet.
    void Blank(const WorksheetRef& ws, ksStateOfDocument state);
    /// Column widths, formats, head and link cell of a layout on the current
    /// worksheet; bOtkat leaves out what only a blank list takes. Reports.
    void ColumnsWidthAndHead(ListLayout layout, bool bOtkat);
    /// Inserts a list row at row r of the range.
    void RowInsert(const host::Range& target, int r);

    // ------------------------------------------------------------ recognition
    /// What the sheet holds; a null ws means the current worksheet, which is then
    /// stored into it. Silent: no worksheet is ksDOC_NO.
    std::int32_t State(WorksheetRef& ws) const;

    // ------------------------------------------------------------ forming and rollback
    /// Recognises the sheet (null: the current worksheet, handed back) and forms
    /// its list on the form of its kind; anything else stays as it is.
    FormingOutcome Form(WorksheetRef& ws, const FormingOptions& options);
    /// Forms the sheet on a form as a list of the given state (whatever the sheet
    /// holds): the reference record is read from the register first and the sheet
    /// becomes the current worksheet (the group specification's forming lets go
    /// of it). Error(ObjectRequired) without a sheet.
    FormingOutcome FormOn(const WorksheetRef& ws, FormId form, std::int32_t listState, const FormingOptions& options);
    /// Rolls the formed document on the sheet back to its list; a sheet without a
    /// formed document stays as it is. The current worksheet is none afterwards.
    RollbackOutcome Rollback(const WorksheetRef& ws);

    // ------------------------------------------------------------ register and attributes
    /// Finds or creates the register sheet of the book. Reports.
    void FindRegister(const WorkbookRef& book);
    /// The register cell ("Лист") of the document, or nothing; ws as in State.
    std::optional<host::Range> RegisterCell(WorksheetRef& ws);
    /// Writes the record into the document's register row (created when missing).
    void ToRegister(const AttrDocRef& record, WorksheetRef& ws);
    /// Fills the record (cleared first) from the document's register row.
    void FromRegister(const AttrDocRef& record, WorksheetRef& ws);
    /// Makes the instance's record the reference record of the document.
    void ReferenceRecord(WorksheetRef& ws);
    /// Adds the new document's sheet "Новый" to the workbook of ws.
    bool NewDocument(const WorksheetRef& ws);
    /// After the user's confirmation deletes the sheet and its register row.
    bool DeleteDocument(const WorksheetRef& ws);

    // ------------------------------------------------------------ what is kept between calls
    host::Application& App() const { return app_; }
    const WorksheetRef& CurrentWorksheet() const { return ws_; }
    void SetCurrentWorksheet(WorksheetRef ws) { ws_ = std::move(ws); }
    const WorksheetRef& RegisterSheet() const { return wsSpis_; }
    const ColumnMap& RegisterColumns() const { return colSpis_; }
    const std::optional<host::Range>& RegisterRow() const { return rowSpis_; }
    const AttrDocRef& AttributeRecord() const { return attDoc_; }
    /// The messages the reporting routines showed, oldest first.
    const std::vector<std::string>& Reports() const { return reports_; }

private:
    std::optional<host::Range> FindRow(WorksheetRef& ws, bool create, bool& registerExists);
    void Report(const char* routine, std::exception_ptr failure);

    host::Application& app_;
    WorksheetRef ws_;                     // current worksheet
    WorksheetRef wsSpis_;                 // register sheet
    ColumnMap colSpis_{};                 // register column map
    std::optional<host::Range> rowSpis_;  // register row found last
    AttrDocRef attDoc_;                   // reference record
    std::vector<std::string> reports_;
};

}  // namespace ormelin
