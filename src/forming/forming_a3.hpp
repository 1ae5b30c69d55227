// Forming the list of purchased products into A3 landscape sheets: free functions
// over a worksheet, the attribute record and the options, and the geometry of the
// formed sheets that forming, the command and the tests share.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "ormelin/attr_doc.hpp"
#include "ormelin/host.hpp"

namespace ormelin::forming {

/// Where the rows of a formed A3 document stand (worksheet rows).
///
/// Sheet 1 is rows 1..firstBottomLine: the list's head rows, the first data rows,
/// then the inserted rows firstInserted..firstBottomLine (title area, title block,
/// bottom line). Sheet k > 1 is built in the block whose first row b is the
/// previous sheet's bottom line, b = firstBottomLine + sheetRows * (k - 2): the
/// inserted head rows b+1..b+headRows, the sheet's data rows, the inserted title
/// block and bottom line b+sheetRows-titleRows+1..b+sheetRows. Every row of the
/// change-registration sheet, when there is one, is inserted.
struct A3Geometry {
    int headRows;          // the list's head rows, repeated on every sheet
    int firstDataRows;     // data rows of the first sheet
    int firstInserted;     // first row of the first sheet's title area
    int firstBottomLine;   // the first sheet's bottom line
    int sheetRows;         // rows of every further sheet
    int dataRows;          // data rows of a further sheet
    int titleRows;         // rows inserted at a further sheet's foot (bottom line included)
    int emptyRun;          // empty rows where a sheet would begin that end forming
    int sheetNumberRow;    // row of "Лист" / "Листов" values on the first sheet
    int sheetNumberColumn; // "Лист" (AP)
    int sheetCountColumn;  // "Листов" (AR)
    int firstBreak;        // the page break before sheet 2
    int zoom;              // the window's zoom after forming and after rollback
};

inline constexpr A3Geometry kPurchasedProducts{
    .headRows = 2,
    .firstDataRows = 23,
    .firstInserted = 26,
    .firstBottomLine = 37,
    .sheetRows = 35,
    .dataRows = 28,
    .titleRows = 5,
    .emptyRun = 15,
    .sheetNumberRow = 33,
    .sheetNumberColumn = 42,
    .sheetCountColumn = 44,
    .firstBreak = 38,
    .zoom = 75,
};

/// The first row of the block of sheet k (k >= 2): the previous sheet's bottom line.
inline int BlockRow(const A3Geometry& g, int k) { return g.firstBottomLine + g.sheetRows * (k - 2); }

/// Whether forming inserted the worksheet row into a document of the given sheets
/// (the change-registration sheet, if any, counted as the last one).
bool InsertedRow(const A3Geometry& g, int row, int sheets, bool registration);

/// What a formed A3 document says of itself: its sheets ("Листов" on the first
/// sheet) and whether the last one is the change-registration sheet.
struct A3Form {
    int sheets = 0;
    bool registration = false;
};

/// The form read from a formed sheet (columns A:B still there), or nothing when
/// its sheet count is not a number of sheets the worksheet can hold.
std::optional<A3Form> FormOf(const host::Worksheet& w, const A3Geometry& g);

/// Deletes the rows forming inserted, once the binding-margin columns are gone
/// (the rows are counted on the worksheet as formed).
void DeleteInsertedRows(host::Worksheet& w, const A3Geometry& g, const A3Form& form);

struct A3Options {
    bool forPrint = false;
    bool pageRevi = false;
};

struct A3Result {
    std::int32_t sheets = 0;         // "Листов"
    bool registration = false;       // a change-registration sheet was added
    std::optional<int> rowsLeftBelow;  // first list row left under the last sheet
    bool printSetUp = false;
};

/// The A4 pieces an A3 document is built with: the A4 column widths of A..Z, and
/// the change-registration sheet drawn in the block whose first row is given.
struct A4Parts {
    std::function<void()> columnsWidthA4;
    std::function<void(std::int32_t k, int blockRow)> pageRevi;
};

/// Widths of the columns AA..AS.
void ColumnsWidthA3(host::Worksheet& w);

/// Inserts rows 26..37 under the first 23 data rows and draws the first sheet's
/// title area, title block, bottom line and binding margin.
void TitleFirstA3(const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& attDoc);

/// Builds sheet k in the block whose first row b is the previous sheet's bottom
/// line: the two head rows at block rows 2..3, the title block and lower
/// binding-margin fields in five rows inserted at block rows 32..36.
void PageNextA3(std::int32_t k, const std::shared_ptr<host::Worksheet>& sheet, int b, const AttrDoc& attDoc);

/// Forms the list of purchased products on the sheet (the sheet is the active
/// one, its attribute record loaded, screen updating off).
A3Result FormVPA(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& attDoc,
                 const A3Options& options, const A4Parts& a4);

}  // namespace ormelin::forming
