// The one home of the sheet geometry of every form, and of the list row heights
// that lists, forming, rollback and the command share.
//
// A formed document is one worksheet on which the sheets of the printed document
// stand one under the other. The first sheet ends with its bottom line ("Копировал:",
// "Формат ...") in firstBottomLine; every further sheet takes the rows from the
// previous sheet's bottom line to its own, a block of blockRows rows that adds
// sheetRows rows. Block rows count from 1 at the previous bottom line.
#pragma once

namespace ormelin::forming {

// ------------------------------------------------------------------ list rows

/// The height every list data row has, in points.
inline constexpr double kListRowHeight = 26;
/// The tolerance by which a row of another height still counts as a list row.
inline constexpr double kHeightTolerance = 0.4;
/// The height of a list's column-head row, and of the repeated column-head row of
/// every further sheet.
inline constexpr double kHeadRowHeight = 43;

/// Whether a row of this height is a list row (rollback keeps exactly these; a
/// hidden row, of height 0, counts as one).
constexpr bool IsListRowHeight(double h) {
    const double d = h - kListRowHeight;
    return h == 0 || !(d > kHeightTolerance || d < -kHeightTolerance);
}

// ------------------------------------------------------------------ sheet geometry

/// A cell of a sheet, 1-based.
struct CellAt {
    int row;
    int column;
};

struct SheetGeometry {
    const char* name;
    int columns;              // the form's columns, A.. (26: A..Z)
    int firstListRows;        // list rows on the first sheet (under the head row)
    int firstBottomLine;      // the first sheet's bottom line
    int furtherListRows;      // list rows on every further sheet
    int sheetRows;            // rows every further sheet adds
    int blockRows;            // rows of a further sheet's block, both bottom lines included
    CellAt sheetNumberCell;   // "Лист" on the first sheet (written when there are several)
    CellAt sheetCountCell;    // "Листов" on the first sheet: the number of sheets
    const char* printArea;
    bool landscape;
    int paperSize;            // the printer's paper code: 9 is A4, 8 is A3
    // ---- forms whose list has several head rows, or whose forming ends at a
    // ---- shorter empty run, or that keeps another zoom (list of purchased products)
    int headRows = 1;         // the list's head rows, repeated at the top of every further sheet
    int emptyRun = 0;         // empty rows after a bottom line that end forming (0: furtherListRows)
    int zoom = 100;           // the window's zoom once formed
    // ---- end
};

/// A4 portrait: the specification and the A4 lists. The first sheet holds the head
/// row and 23 list rows, then its title block (rows 25..36) and bottom line (37);
/// a further sheet holds the repeated head row, 29 list rows and its title block.
inline constexpr SheetGeometry kA4Portrait{
    .name = "A4 portrait",
    .columns = 26,
    .firstListRows = 23,
    .firstBottomLine = 37,
    .furtherListRows = 29,
    .sheetRows = 35,
    .blockRows = 36,
    .sheetNumberCell = {33, 22},  // V33
    .sheetCountCell = {33, 25},   // Y33
    .printArea = "$A:$Z",
    .landscape = false,
    .paperSize = 9,
};

// Further forms (the group specification's A4 landscape, the A3 list of purchased
// products) add their entry here and to kFormGeometries.

// ---- list of purchased products (A3 landscape) ----
/// A3 landscape: the list of purchased products, columns A..AS. The first sheet
/// holds the two head rows and 23 list rows, then its title area, title block
/// (rows 26..36) and bottom line (37); a further sheet holds the two repeated head
/// rows, 28 list rows and its title block. A run of 15 empty rows where a further
/// sheet would begin ends forming.
inline constexpr SheetGeometry kPurchasedProducts{
    .name = "A3 landscape",
    .columns = 45,
    .firstListRows = 23,
    .firstBottomLine = 37,
    .furtherListRows = 28,
    .sheetRows = 35,
    .blockRows = 36,
    .sheetNumberCell = {33, 42},  // AP33
    .sheetCountCell = {33, 44},   // AR33
    .printArea = "$A:$AS",
    .landscape = true,
    .paperSize = 8,
    .headRows = 2,
    .emptyRun = 15,
    .zoom = 75,
};
// ---- end of the list of purchased products ----

/// Every form's geometry, for the readers that must recognise any of them.
inline constexpr const SheetGeometry* kFormGeometries[] = {
    &kA4Portrait,
    &kPurchasedProducts,  // list of purchased products
};

/// The bottom line of sheet k (1-based): the last row of the document when it has
/// k sheets.
constexpr int BottomLineOf(const SheetGeometry& g, int k) { return g.firstBottomLine + g.sheetRows * (k - 1); }

/// The first row of sheet k (1-based), where its printed page begins.
constexpr int FirstRowOf(const SheetGeometry& g, int k) { return k == 1 ? 1 : BottomLineOf(g, k - 1) + 1; }

/// The rows of the first sheet down to its last list row (the head rows included).
constexpr int FirstSheetListEnd(const SheetGeometry& g) { return g.headRows + g.firstListRows; }

/// The rows inserted at the foot of a further sheet: its title block and bottom line.
constexpr int FootRowsOf(const SheetGeometry& g) { return g.blockRows - 1 - g.headRows - g.furtherListRows; }

/// The empty rows after a bottom line that end forming.
constexpr int EmptyRunOf(const SheetGeometry& g) { return g.emptyRun > 0 ? g.emptyRun : g.furtherListRows; }

static_assert(FootRowsOf(kA4Portrait) == 5 && FootRowsOf(kPurchasedProducts) == 5,
              "a further sheet's title block and bottom line take five rows");

}  // namespace ormelin::forming
