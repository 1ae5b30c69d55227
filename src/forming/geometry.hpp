// The one home of the sheet geometry of every form.
//
// A formed document is one worksheet on which the sheets of the printed document
// stand one under the other. The first sheet ends with its bottom line ("Копировал:",
// "Формат ...") in firstBottomLine; every further sheet takes the rows from the
// previous sheet's bottom line to its own, a block of blockRows rows that adds
// sheetRows rows. Block rows count from 1 at the previous bottom line.
#pragma once

#include <array>

#include "lists/row_heights.hpp"
#include "ormelin/state.hpp"

namespace ormelin::forming {

// ------------------------------------------------------------------ list rows

using lists::IsListRowHeight;
using lists::kHeadRowHeight;
using lists::kHeightTolerance;
using lists::kListRowHeight;

// ------------------------------------------------------------------ sheet geometry

/// A cell of a sheet, 1-based.
struct CellAt {
    int row;
    int column;
};

/// What tells a row that forming inserted from a list row: a fixed text in one of
/// its cells, or a merged area of the form that begins in it (text null: the
/// merged area columns column..lastColumn, rows rows high). The row counts from a
/// sheet's first row (top marks) or from its bottom line (title marks, 0 or less).
struct RowMark {
    int row;
    int column;
    const char* text = nullptr;
    int lastColumn = 0;
    int rows = 0;
};

/// The rows forming inserts on one kind of sheet: rows at its top (block rows
/// topFrom..topTo, none when topTo < topFrom; the first sheet has none), the rows of
/// its title block, its bottom line last, and the marks of both. A row of the top
/// that repeats the first sheet's head row says so in repeatsHead (a block row). A
/// sheet with no title block (titleRows 0) ends with its last top row.
struct InsertedSheetRows {
    int topFrom = 0, topTo = -1;
    int repeatsHead = 0;
    int titleRows = 0;
    int rows = 0;  // rows the sheet adds when not the geometry's sheetRows (a sheet of its own height)
    RowMark topMarks[4] = {};
    RowMark titleMarks[10] = {};
};

struct SheetGeometry {
    const char* name;
    int columns;              // the form's columns, A.. (26: A..Z)
    const double* widths;     // the width of each of the form's columns, in characters (null: set by the form's steps)
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
    int printZoom;            // the print zoom that brings the tallest sheet onto its paper
    RowMark bottomLine;       // what every bottom line shows (its row: 0)
    InsertedSheetRows first, further, registration;
    RowMark registrationHeading;  // what tells a last sheet as the change-registration sheet
    // ---- forms whose list has several head rows, or whose forming ends at a
    // ---- shorter empty run, or that keeps another zoom (list of purchased products)
    int headRows = 1;         // the list's head rows, repeated at the top of every further sheet
    int emptyRun = 0;         // empty rows after a bottom line that end forming (0: furtherListRows)
    int zoom = 100;           // the window's zoom once formed
    // ---- end
    /// A document of one sheet still gets its page break after the sheet (the
    /// group specification); otherwise the sheet's first break is dropped.
    bool singleSheetBreak = false;
};

/// The column grid of the A4 form, columns A..Z, in characters.
inline constexpr double kA4Widths[26] = {
    2.0, 3.0, 3.0, 3.0, 1.0, 2.0, 3.5, 4.0, 4.0, 2.5, 2.0, 2.0, 3.5,    // A..M
    3.5, 2.0, 6.0, 10.0, 6.0, 2.0, 2.0, 2.0, 2.0, 2.0, 2.0, 4.0, 4.5,   // N..Z
};

/// The column grid of the A3 form: the A4 form's A..Z, then AA..AS.
inline constexpr std::array<double, 45> kA3Widths = [] {
    constexpr double kBeyondA4[19] = {12.0, 3.0, 4.43, 5.29, 5.0,  7.0,  4.43, 6.57, 10.0, 7.0,   // AA..AJ
                                      7.0,  2.0, 2.0,  2.0,  2.0,  4.57, 1.29, 4.43, 4.43};       // AK..AS
    std::array<double, 45> w{};
    for (int c = 0; c < 26; ++c) w[c] = kA4Widths[c];
    for (int c = 0; c < 19; ++c) w[26 + c] = kBeyondA4[c];
    return w;
}();

/// A4 portrait: the specification and the A4 lists. The first sheet holds the head
/// row and 23 list rows, then its title block (rows 25..36) and bottom line (37);
/// a further sheet holds the repeated head row, 29 list rows and its title block.
inline constexpr SheetGeometry kA4Portrait{
    .name = "A4 portrait",
    .columns = 26,
    .widths = kA4Widths,
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
    // The tallest sheet, a further one, is 43 + 29 * 26 + 60 = 857 points high;
    // A4 paper is 842 points: at 98 % it takes 840.
    .printZoom = 98,
    .bottomLine = {0, 13, "Копировал:"},
    // rows 25..37: the strip, the area above the title block, the title block
    // and its merged fields, the bottom line
    .first = {.titleRows = 13,
              .titleMarks = {{-12, 3, nullptr, 26, 1},
                             {-11, 3, nullptr, 12, 3},
                             {-8, 13, nullptr, 26, 3},
                             {-6, 3, "Изм."},
                             {-5, 3, "Разраб."},
                             {-5, 13, nullptr, 18, 4},
                             {-3, 19, nullptr, 26, 3},
                             {-1, 3, "Утв."},
                             {0, 13, "Копировал:"},
                             {0, 19, "Формат А4"}}},
    // block row 2: the repeated head row; block rows 32..36: the title block
    .further = {.topFrom = 2,
                .topTo = 2,
                .repeatsHead = 2,
                .titleRows = 5,
                .titleMarks = {{-4, 13, nullptr, 25, 4},
                               {-4, 26, "Лист"},
                               {-3, 3, nullptr, 3, 2},
                               {-1, 3, "Изм."},
                               {0, 13, "Копировал:"},
                               {0, 19, "Формат А4"}}},
    // block rows 2..5 inserted: heading, table head and first entry; rows 6..31 are
    // the empty rows the last sheet left, list rows; block rows 32..36: the title block
    .registration = {.topFrom = 2,
                     .topTo = 5,
                     .titleRows = 5,
                     .topMarks = {{2, 3, "Лист регистрации изменений"},
                                  {3, 3, nullptr, 4, 2},
                                  {4, 5, "изменен-\nных"},
                                  {5, 3, nullptr, 4, 27}},
                     .titleMarks = {{-4, 13, nullptr, 25, 4},
                                    {-4, 26, "Лист"},
                                    {-3, 3, nullptr, 3, 2},
                                    {-1, 3, "Изм."},
                                    {0, 13, "Копировал:"},
                                    {0, 19, "Формат А4"}}},
    .registrationHeading = {2, 3, "Лист регистрации изменений"},
};

// ------------------------------------------------------------------ group specification

/// A4 landscape: the group specification. Forming inserts two binding-margin rows
/// above the list's head (rows 1:2, rows 3:4 then hold the head) and moves the
/// list's letter and code rows into its variable-data zone; the first sheet holds 8
/// list rows (5..12), the zone (13..16, the letter and code rows at 15:16), its
/// title block (17..26) and bottom line (27); rollback takes the letter and code
/// rows back above the list and the head back to rows 1:2 before it deletes the
/// inserted rows, so the first sheet's inserted rows are 13..27. A further sheet
/// (block rows 2..5 inserted: binding lines and heads) holds 17 list rows (block
/// rows 6..22) and its title block (block rows 23..27 inserted). The
/// change-registration sheet is 39 inserted rows under the last sheet, drawn for
/// reading turned, with no bottom line of its own; when it is there the whole form
/// stands one column right (kA4LandscapeGroupMoved).
inline constexpr SheetGeometry kA4LandscapeGroup{
    .name = "A4 landscape, group specification",
    .columns = 31,
    .widths = nullptr,  // the column step of forming_spb.cpp sets them
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
    // A further sheet is 78 + 17 * 26 + 60 = 580 points high, the registration
    // sheet 584: A4 landscape paper is 595 points high; 98 % leaves room for
    // LibreOffice's rounding of the row heights and column widths.
    .printZoom = 98,
    .bottomLine = {0, 16, "Копировал:"},
    // rows 13..27: the variable-data zone, the title block, the bottom line
    .first = {.titleRows = 15,
              .titleMarks = {{-14, 1, nullptr, 13, 6},
                             {-14, 14, "Лит."},
                             {-11, 14, "Код"},
                             {-10, 14, nullptr, 15, 2},
                             {-8, 1, nullptr, 9, 8},
                             {-8, 16, nullptr, 31, 3},
                             {-6, 10, "Изм."},
                             {-5, 10, "Разраб."},
                             {0, 16, "Копировал:"},
                             {0, 25, "Формат А4"}}},
    // block rows 2..5: binding lines and the heads of the form's columns; block
    // rows 23..27: the title block
    .further = {.topFrom = 2,
                .topTo = 5,
                .titleRows = 5,
                .topMarks = {{2, 1, "Инв. № подл."},
                             {2, 15, nullptr, 31, 2},
                             {4, 15, "Кол. на исполн."},
                             {4, 29, "Примечание"}},
                .titleMarks = {{-4, 1, nullptr, 9, 4},
                               {-4, 16, nullptr, 30, 4},
                               {-4, 31, "Лист"},
                               {-1, 10, "Изм."},
                               {0, 16, "Копировал:"},
                               {0, 25, "Формат А4"}}},
    // block rows 2..40: the whole sheet
    .registration = {.topFrom = 2,
                     .topTo = 40,
                     .rows = 39,
                     .topMarks = {{4, 31, "Лист регистрации изменений"},
                                  {4, 1, "Изм."},
                                  {7, 27, "изменен-\nных"},
                                  {18, 1, nullptr, 4, 21}}},
    .registrationHeading = {4, 31, "Лист регистрации изменений"},
    // 39 empty rows after a sheet's last row end forming: a further sheet's
    // inserted rows and list rows, and room for the registration sheet
    .emptyRun = 39,
    .singleSheetBreak = true,
};

/// A mark n columns further right.
constexpr RowMark MarkRight(RowMark m, int n) {
    if (m.column > 0) m.column += n;
    if (m.lastColumn > 0) m.lastColumn += n;
    return m;
}

/// A sheet's inserted rows with their marks n columns further right.
constexpr InsertedSheetRows RowsRight(InsertedSheetRows s, int n) {
    for (RowMark& m : s.topMarks) m = MarkRight(m, n);
    for (RowMark& m : s.titleMarks) m = MarkRight(m, n);
    return s;
}

/// The geometry of a form standing n columns further right, with its own name and
/// print area.
constexpr SheetGeometry ColumnsRight(SheetGeometry g, int n, const char* name, const char* printArea) {
    g.name = name;
    g.columns += n;
    g.sheetNumberCell.column += n;
    g.sheetCountCell.column += n;
    g.printArea = printArea;
    g.bottomLine = MarkRight(g.bottomLine, n);
    g.first = RowsRight(g.first, n);
    g.further = RowsRight(g.further, n);
    g.registration = RowsRight(g.registration, n);
    g.registrationHeading = MarkRight(g.registrationHeading, n);
    return g;
}

/// The group specification with its change-registration sheet: the narrow column
/// inserted beside that sheet moves the whole form one column right (sheet number
/// AC23, count AE23).
inline constexpr SheetGeometry kA4LandscapeGroupMoved =
    ColumnsRight(kA4LandscapeGroup, 1, "A4 landscape, group specification with its registration sheet", "$A:$AF");

// ------------------------------------------------------------------ list of purchased products

/// The A4 change-registration sheet in columns C..Z of an A3 document: all its rows
/// are inserted, its body (block rows 6..31) too.
constexpr InsertedSheetRows RegistrationInA3() {
    InsertedSheetRows r = kA4Portrait.registration;
    r.topTo = 31;
    return r;
}

/// A3 landscape: the list of purchased products, columns A..AS. The first sheet
/// holds the two head rows and 23 list rows, then its title area, title block
/// (rows 26..36) and bottom line (37); a further sheet holds the two repeated head
/// rows, 28 list rows and its title block. A run of 15 empty rows where a further
/// sheet would begin ends forming.
inline constexpr SheetGeometry kPurchasedProducts{
    .name = "A3 landscape",
    .columns = 45,
    .widths = kA3Widths.data(),
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
    // The tallest sheet, the first, is 74 + 23 * 26 + 200 = 872 points high; A3
    // paper is 842 points high in landscape: at 96 % it takes 837.
    .printZoom = 96,
    .bottomLine = {0, 34, "Копировал:"},
    // rows 26..37: the area above the title block, the title block and its
    // merged fields, the bottom line
    .first = {.titleRows = 12,
              .titleMarks = {{-11, 3, nullptr, 33, 3},
                             {-8, 3, nullptr, 27, 8},
                             {-8, 34, nullptr, 45, 3},
                             {-6, 28, "Изм."},
                             {-5, 28, "Разраб."},
                             {-5, 39, "Лит."},
                             {-1, 28, "Утв."},
                             {0, 34, "Копировал:"},
                             {0, 39, "Формат А3"}}},
    // block rows 2..3: the repeated head rows; block rows 32..36: the title block
    .further = {.topFrom = 2,
                .topTo = 3,
                .repeatsHead = 2,
                .titleRows = 5,
                .titleMarks = {{-4, 3, nullptr, 27, 4},
                               {-4, 34, nullptr, 44, 4},
                               {-4, 45, "Лист"},
                               {-3, 28, nullptr, 28, 2},
                               {-1, 28, "Изм."},
                               {0, 34, "Копировал:"},
                               {0, 39, "Формат А3"}}},
    .registration = RegistrationInA3(),
    .registrationHeading = kA4Portrait.registrationHeading,
    .headRows = 2,
    .emptyRun = 15,
    .zoom = 75,
};

/// The geometry of a form (the group specification's without its change-registration
/// sheet), or null for none.
constexpr const SheetGeometry* GeometryOf(FormId form) {
    switch (form) {
        case FormId::A4Portrait: return &kA4Portrait;
        case FormId::A4LandscapeGroup: return &kA4LandscapeGroup;
        case FormId::A3PurchasedProducts: return &kPurchasedProducts;
        case FormId::None: break;
    }
    return nullptr;
}

/// Every form's geometry, for the readers that must recognise any of them.
inline constexpr const SheetGeometry* kFormGeometries[] = {
    &kA4Portrait,
    &kA4LandscapeGroup,
    &kA4LandscapeGroupMoved,
    &kPurchasedProducts,
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
