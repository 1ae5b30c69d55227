// The forming module: a list on a worksheet becomes its printable form, the
// sheets of the document one under the other on the same worksheet.
//
// Every entry takes what it works on explicitly: the application (window, screen,
// units), the worksheet, the document's state, the attribute record whose
// attributes fill the title blocks (with register references: formulas), and the
// options. Nothing is kept between calls.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "forming/geometry.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/host.hpp"
#include "ormelin/state.hpp"

namespace ormelin::forming {

struct FormOptions {
    bool forPrint = false;   // print setup: print area, margins, paper, page breaks, page-break view
    bool pageRevi = false;   // a change-registration sheet after the last sheet (3 sheets or more)
    /// Entries kept whole on their sheets (keep_together.hpp): padding rows end a
    /// sheet so that no heading stands alone at its end, no entry is split and no
    /// sheet begins with empty rows.
    bool keepTogether = false;
};

/// What forming did.
struct FormResult {
    /// The form's geometry; null when nothing was formed.
    const SheetGeometry* geometry = nullptr;
    /// Sheets of the formed document, the change-registration sheet included (0: nothing formed).
    int sheetCount = 0;
    bool registrationSheet = false;
    /// The first row below the last sheet that still holds list entries: forming
    /// stops at the first sheet's worth of empty rows and leaves what follows.
    std::optional<int> rowsLeftBelow;
    /// The print setup was applied (its steps each on their own: a failing step is passed over).
    bool printSetupApplied = false;
    /// With keepTogether: the padding rows inserted, and the entries split
    /// across sheets all the same because they are longer than a sheet.
    int paddingRows = 0;
    int entriesSplit = 0;
    std::vector<int> splitEntryRows;  // the list row each split entry began at
};

/// Whether a list state is formed on the A4 portrait form (the specification, 0
/// counting as one, and the A4 lists).
bool IsA4Kind(std::int32_t state);

/// Forms the list on the sheet on a form (the kind table gives every list state
/// its form), as a list of the given state: the A4 form takes the state's field
/// grid. FormId::None forms nothing: the result's geometry is null.
FormResult FormList(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, FormId form,
                    std::int32_t state, const AttrDoc& record, const FormOptions& options);

/// Forms the list of the given state on the sheet as an A4 document. The sheet
/// becomes the application's active one with its panes frozen under the head row;
/// errors of the model end the forming where it stands.
FormResult FormA4(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, std::int32_t state,
                  const AttrDoc& record, const FormOptions& options);

// ---- list of purchased products (A3) ----
/// Forms the list of purchased products on the sheet as an A3 landscape document
/// (kPurchasedProducts). The sheet becomes the application's active one with its
/// panes frozen under the two head rows; the window ends at the form's zoom.
FormResult FormA3(host::Application& app, const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& record,
                  const FormOptions& options);
// ---- end of the list of purchased products ----

/// The worksheet column a list column (1-based) of the list state stands in
/// once formed: the first column of its field (the group specification's
/// without the change-registration sheet's column A).
int FormedColumnOf(std::int32_t listState, int listColumn);
/// The same for each form.
int A4ColumnOf(std::int32_t listState, int listColumn);
int A3ColumnOf(int listColumn);
int SpbColumnOf(int listColumn);

/// The geometry of a formed document's state, by which its sheets are read and the
/// rows its forming inserted found on rollback; null for a state that is not a
/// formed one, or whose form's rows are still told by their height.
const SheetGeometry* GeometryOfFormed(std::int32_t state);

// ------------------------------------------------------------------ sheet procedures
// A further sheet's block starts at the previous sheet's bottom line (block row 1)
// and spans the geometry's blockRows rows; k is the sheet's number.

/// The first sheet's title area, title block, bottom line and binding margin (rows 25..37 inserted).
void TitleFirst(const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& record);
/// A further sheet: its repeated head row, then its title block.
void PageNext(const host::Range& block, int k, const AttrDoc& record);
/// A further sheet's title block (rows inserted at block row 32) and sheet number.
void TitleNext(const host::Range& block, int k, const AttrDoc& record);
/// The change-registration sheet: heading, table head and first entry, then its title block.
void PageRevi(const host::Range& block, int k, const AttrDoc& record);
/// The A4 form's column widths, A..Z.
void ColumnsWidthA4(host::Worksheet& w);

// ---- list of purchased products (A3) ----
/// Widths of the A3 form's columns AA..AS (A..Z are the A4 form's).
void ColumnsWidthA3(host::Worksheet& w);
/// Inserts rows 26..37 under the first 23 list rows and draws the first sheet's
/// title area, title block, bottom line and binding margin.
void TitleFirstA3(const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& record);
/// Sheet k in the block at the previous sheet's bottom line: the two head rows at
/// block rows 2..3, the title block and lower binding-margin fields in five rows
/// inserted at block rows 32..36.
void PageNextA3(const host::Range& block, int k, const AttrDoc& record);
// ---- end of the list of purchased products ----

// ------------------------------------------------------------------ reading a formed sheet

/// Where the first sheet's title block of a form shows its fields, as forming
/// writes them (TitleCells, forming/steps.hpp). Throws std::logic_error for FormId::None.
TitleCells FirstTitleCells(FormId form);
/// The same for each form (title_a4.cpp, title_a3.cpp, title_spb.cpp).
TitleCells FirstTitleCellsA4();
TitleCells FirstTitleCellsA3();
TitleCells FirstTitleCellsGroup();

/// The number of sheets a formed document's first sheet shows ("Листов"), or nothing.
std::optional<long long> SheetCountOf(const host::Worksheet& w, const SheetGeometry& g = kA4Portrait);

/// The first row below the last of sheetCount sheets that shows anything, or nothing.
std::optional<int> RowsLeftBelow(const host::Worksheet& w, long long sheetCount, const SheetGeometry& g = kA4Portrait);

/// The same for a formed sheet, its sheet count read from its first sheet.
std::optional<int> RowsLeftBelow(const host::Worksheet& w, const SheetGeometry& g = kA4Portrait);

}  // namespace ormelin::forming
