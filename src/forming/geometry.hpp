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

/// A4 landscape: the group specification. Forming inserts two binding-margin rows
/// above the list's head (rows 3:4) and its letter and code rows; the first sheet
/// holds 8 list rows (5..12), its variable-data zone (13..18, the letter and code
/// rows at 15:16), its title block (17..26) and bottom line (27); a further sheet
/// (block rows 2..5 inserted: binding lines and heads) holds 17 list rows (block
/// rows 6..22) and its title block (block rows 23..27 inserted). The
/// change-registration sheet is 39 inserted rows under the last sheet, and when it
/// is there the whole form stands one column right (sheet number AC23, count AE23).
inline constexpr SheetGeometry kA4LandscapeGroup{
    .name = "A4 landscape, group specification",
    .columns = 31,
    .firstListRows = 8,
    .firstBottomLine = 27,
    .furtherListRows = 17,
    .sheetRows = 26,
    .blockRows = 27,
    .sheetNumberCell = {23, 28},  // AB23
    .sheetCountCell = {23, 30},   // AD23
    .printArea = "$A:$AE",
    .landscape = true,
    .paperSize = 9,
};

// The A3 list of purchased products adds its entry here and to kFormGeometries.

/// Every form's geometry, for the readers that must recognise any of them.
inline constexpr const SheetGeometry* kFormGeometries[] = {&kA4Portrait, &kA4LandscapeGroup};

/// The bottom line of sheet k (1-based): the last row of the document when it has
/// k sheets.
constexpr int BottomLineOf(const SheetGeometry& g, int k) { return g.firstBottomLine + g.sheetRows * (k - 1); }

/// The first row of sheet k (1-based), where its printed page begins.
constexpr int FirstRowOf(const SheetGeometry& g, int k) { return k == 1 ? 1 : BottomLineOf(g, k - 1) + 1; }

/// The rows of the first sheet down to its last list row (the head row included).
constexpr int FirstSheetListEnd(const SheetGeometry& g) { return 1 + g.firstListRows; }

}  // namespace ormelin::forming
