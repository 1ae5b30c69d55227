// The one home of the sheet geometry of every form.
//
// A formed document is one worksheet on which the sheets of the printed document
// stand one under the other. The first sheet ends with its bottom line ("Копировал:",
// "Формат ...") in firstBottomLine; every further sheet takes the rows from the
// previous sheet's bottom line to its own, a block of blockRows rows that adds
// sheetRows rows. Block rows count from 1 at the previous bottom line.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>

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

// ------------------------------------------------------------------ paper, in millimetres
//
// Where the cells of a formed sheet fall on the paper, for the renderer that prints
// at the standards' millimetres (GOST 2.301 formats, GOST 2.104 frame, title blocks
// and binding-margin columns, GOST 2.106 / 2.701 lists, GOST 2.503 change
// registration, GOST 2.303 lines). Millimetres count from the frame's top-left
// corner, x to the right, y down; the binding-margin strip lies left of the frame
// (x < 0). Rows count as the sheet geometry counts them: from a first sheet's first
// row, from a further sheet's block row 1 (the previous sheet's bottom line).

/// A line of the form: main (GOST 2.303 solid main) or thin.
struct MmLine {
    double x1, y1, x2, y2;
    bool main;
};

/// A run of columns from `column` up to the next field's first column (the last
/// field up to the form's last column), `mm` wide in all.
struct MmField {
    int column;
    double mm;
};

/// What the cells of a row show: list fields (the list band of the document's
/// kind), the title block's grid (the title band), nothing inside the frame (the
/// bottom line under it), the binding-margin fields laid along the frame's top edge
/// (the strip band of a landscape form bound at the top), or rows in the list's
/// columns below its table (a zone of the form's own, with lines of its own).
enum class MmBand : std::uint8_t { List, Title, Below, Strip, Zone };

/// Rows from..to, each mm high. A run marked atFoot and the runs after it stand on
/// the frame's bottom line (the title block): what the rows above leave is empty
/// table below the last list row.
struct MmRows {
    int from, to;
    double mm;
    MmBand band;
    bool atFoot = false;
};

/// A field of the binding-margin strip: the merged cells of columns A (label) and B
/// (value) beginning in `row` stand y..y+height on the paper, whatever their rows'
/// heights.
struct MmStripField {
    int row;
    double y, height;
};

/// One kind of sheet (first, further, change registration) on the paper.
struct MmSheet {
    MmRows rows[12] = {};
    double firstRowTop = 0;          // where the first row begins (rows above the frame: less than 0)
    MmStripField strip[8] = {};
    bool registrationTable = false;  // the list band is the change-registration table's
    const MmLine* foot = nullptr;    // the title block's lines from its top-left corner
    int footLines = 0;
    double footHeight = 0;           // 40: form 2; 15: form 2a
    const MmLine* block = nullptr;   // lines of the block above the title block, from its top-left corner
    int blockLines = 0;
    double blockHeight = 0;
    const MmLine* extra = nullptr;   // further lines of the sheet, from the frame's corner
    int extraLines = 0;
};

/// The fields of one kind's list, from column C on (a kind may have two grids: the
/// list of elements with and without its zone column, told by the text of C1).
struct MmListBand {
    ksStateOfDocument state;
    const char* c1 = nullptr;  // the head text of column C that selects this band (null: any)
    MmField fields[16] = {};
    int head = 1;              // head rows (lines under the list's head are main)
};

struct MmTurnedSheet;

/// A form on paper.
struct PaperGeometry {
    FormId form;
    double paperWidth, paperHeight;       // the sheet of paper, as it prints (landscape: wide)
    double frameLeft, frameTop, frameWidth, frameHeight;
    double titleLeft;                     // the title block's left edge (the frame's right edge less 185)
    double stripWidths[2];                // columns A and B: the binding-margin strip, left of the frame
    MmField title[26] = {};               // the title band from column C on
    const MmField* stripBand = nullptr;   // the strip band (a form bound at its top edge)
    int stripFields = 0;
    const MmListBand* lists = nullptr;
    int listCount = 0;
    MmListBand registration = {};         // the change-registration table (GOST 2.503)
    MmSheet first = {}, further = {}, registrationSheet = {};
    CellAt designation = {};              // the first sheet's designation and name fields
    CellAt name = {};
    bool registrationOnA4 = false;        // the change-registration sheet prints on A4 portrait
    const MmTurnedSheet* turnedRegistration = nullptr;  // ... drawn turned (then printed upright)
    double mainLine = 0.6;                // GOST 2.303: s = 0.5..1.4 mm
    double thinLine = 0.25;               // s/3..s/2
};

/// GOST 2.104 form 2, the first sheet's title block of a text document: 185 x 40 mm.
inline constexpr MmLine kForm2Lines[] = {
    {0, 0, 185, 0, true},                                                   // top
    {0, 0, 0, 40, true},                                                    // left
    {7, 0, 7, 15, true},   {17, 0, 17, 40, true}, {40, 0, 40, 40, true},    // left part's columns
    {55, 0, 55, 40, true}, {65, 0, 65, 40, true},
    {0, 5, 65, 5, false},  {0, 10, 65, 10, true}, {0, 15, 65, 15, true},    // change rows, their head
    {0, 20, 65, 20, false}, {0, 25, 65, 25, false}, {0, 30, 65, 30, false}, {0, 35, 65, 35, false},
    {65, 15, 185, 15, true},                                                // under the designation
    {135, 15, 135, 40, true},                                               // name | letter, sheets, organisation
    {135, 20, 185, 20, true}, {135, 25, 185, 25, true},                     // "Лит.", "Лист", "Листов"
    {150, 15, 150, 25, true}, {165, 15, 165, 25, true},
    {140, 20, 140, 25, false}, {145, 20, 145, 25, false},                   // the three letter cells
};

/// GOST 2.104 form 2a, a further sheet's title block: 185 x 15 mm, "Лист" 10 mm
/// wide (its label 7 mm high, the number 8 mm).
inline constexpr MmLine kForm2aLines[] = {
    {0, 0, 185, 0, true},  {0, 0, 0, 15, true},
    {7, 0, 7, 15, true},   {17, 0, 17, 15, true}, {40, 0, 40, 15, true}, {55, 0, 55, 15, true},
    {65, 0, 65, 15, true}, {175, 0, 175, 15, true},
    {0, 5, 65, 5, false},  {0, 10, 65, 10, true},
    {175, 7, 185, 7, true},
};

/// The block forming puts above the first sheet's title block (the change letter,
/// the document and the customer fields in the title band's columns), 48 mm high
/// on A4 and A3 alike: the list's table ends on its top line.
inline constexpr MmLine kFirstBlockLines[] = {
    {0, 0, 185, 0, true},
    {65, 4, 65, 48, true},
    {65, 4, 185, 4, false}, {89, 4, 89, 30, false}, {135, 4, 135, 30, false}, {65, 30, 185, 30, false},
};

/// GOST 2.104 columns 19..23 from the frame's bottom (287 mm frame): "Инв. № подл." 25,
/// "Подп. и дата" 35, "Взам. инв. №" 25, "Инв. № дубл." 25, "Подп. и дата" 35 mm; on a
/// first sheet "Перв. примен." and "Справ. №" (columns 24, 25), 60 mm each from the top.
constexpr MmSheet StripOfFirst(MmSheet s, double frameHeight, int lowest) {
    const double b = frameHeight;
    s.strip[0] = {lowest, b - 25, 25};
    s.strip[1] = {lowest - 5, b - 60, 35};
    s.strip[2] = {lowest - 9, b - 85, 25};
    s.strip[3] = {lowest - 12, b - 110, 25};
    s.strip[4] = {lowest - 16, b - 145, 35};
    s.strip[5] = {1, 0, 60};
    s.strip[6] = {7, 60, 60};
    return s;
}

/// The lower strip of a further sheet: its fields begin in block rows 31, 27, 24
/// (A4 and A3), then the first sheet's two upper ones copied to block rows 21, 17.
constexpr MmSheet StripOfFurther(MmSheet s, double frameHeight) {
    const double b = frameHeight;
    s.strip[0] = {31, b - 25, 25};
    s.strip[1] = {27, b - 60, 35};
    s.strip[2] = {24, b - 85, 25};
    s.strip[3] = {21, b - 110, 25};
    s.strip[4] = {17, b - 145, 35};
    return s;
}

/// The list bands of the A4 kinds. The specification (GOST 2.106 form 1): 6, 6, 8,
/// 70, 63, 10, 22 mm; the list of elements (GOST 2.701): 20, 110, 10, 45 mm (with
/// its zone column the position designation gives the zone 6 of its 20 mm); the
/// lists of documents on data media and of operational documents on the A4 grid
/// in proportion to the columns their forming gives each field.
inline constexpr MmListBand kA4Lists[] = {
    {ksSPA_OF, nullptr, {{3, 6}, {4, 6}, {5, 8}, {7, 70}, {16, 63}, {22, 10}, {24, 22}}},
    {ksPE_OF, "Зона", {{3, 6}, {4, 14}, {8, 110}, {21, 10}, {23, 45}}},
    {ksPE_OF, nullptr, {{3, 20}, {8, 110}, {21, 10}, {23, 45}}},
    {ksVN_OF, nullptr, {{3, 10}, {4, 80}, {16, 65}, {23, 30}}},
    {ksVE_OF, nullptr, {{3, 60}, {13, 60}, {19, 20}, {21, 15}, {23, 30}}},
};

/// The title band of the A4 form, columns C..Z: form 2's grid (7, 10, 23, 15, 10 mm;
/// designation and name from M; "Лит." S..U 3 x 5 mm, "Лист" V..X 15 mm, "Листов"
/// Y..Z 20 mm; form 2a's "Лист" is Z, 10 mm).
inline constexpr MmField kA4TitleBand[] = {
    {3, 7},   {4, 5},   {5, 5},   {6, 8},   {7, 8},   {8, 7},   {9, 8},   {10, 7},  {11, 5},  {12, 5},
    {13, 12}, {14, 12}, {15, 12}, {16, 12}, {17, 11}, {18, 11}, {19, 5},  {20, 5},  {21, 5},  {22, 5},
    {23, 5},  {24, 5},  {25, 10}, {26, 10},
};

/// The change-registration table (GOST 2.503 form 1): "Изм." 10, the sheet numbers
/// changed, replaced, new, cancelled 20 each, sheets in all 20, "№ докум." 25, the
/// accompanying document 25, "Подп." 15, "Дата" 10 mm.
inline constexpr MmListBand kRegistrationBand = {
    ksDOC_NO, nullptr,
    {{3, 10}, {5, 20}, {8, 20}, {10, 20}, {13, 20}, {15, 20}, {17, 25}, {18, 25}, {22, 15}, {25, 10}}, 3};

constexpr PaperGeometry A4PortraitPaper() {
    PaperGeometry p{.form = FormId::A4Portrait,
                    .paperWidth = 210, .paperHeight = 297,
                    .frameLeft = 20, .frameTop = 5, .frameWidth = 185, .frameHeight = 287,
                    .titleLeft = 0,
                    .stripWidths = {5, 7},
                    .designation = {29, 13},   // M29
                    .name = {32, 13}};         // M32
    for (std::size_t i = 0; i < std::size(kA4TitleBand); ++i) p.title[i] = kA4TitleBand[i];
    p.lists = kA4Lists;
    p.listCount = static_cast<int>(std::size(kA4Lists));
    p.registration = kRegistrationBand;
    // first sheet: head 15, 23 list rows of 8, the block (4 + 11 + 15 + 18 = 48), form 2 in 8 rows of 5
    p.first = {.rows = {{1, 1, 15, MmBand::List},
                        {2, 24, 8, MmBand::List},
                        {25, 25, 4, MmBand::Title},
                        {26, 26, 11, MmBand::Title},
                        {27, 27, 15, MmBand::Title},
                        {28, 28, 18, MmBand::Title},
                        {29, 36, 5, MmBand::Title},
                        {37, 37, 5, MmBand::Below}},
               .foot = kForm2Lines, .footLines = static_cast<int>(std::size(kForm2Lines)), .footHeight = 40,
               .block = kFirstBlockLines, .blockLines = static_cast<int>(std::size(kFirstBlockLines)),
               .blockHeight = 48};
    p.first = StripOfFirst(p.first, 287, 32);
    // further sheet: head 15, 29 list rows of 8, form 2a at the foot (5, 2 + 3, 5)
    p.further = {.rows = {{2, 2, 15, MmBand::List},
                          {3, 31, 8, MmBand::List},
                          {32, 32, 5, MmBand::Title, true},
                          {33, 33, 2, MmBand::Title},
                          {34, 34, 3, MmBand::Title},
                          {35, 35, 5, MmBand::Title},
                          {36, 36, 5, MmBand::Below}},
                 .foot = kForm2aLines, .footLines = static_cast<int>(std::size(kForm2aLines)), .footHeight = 15};
    p.further = StripOfFurther(p.further, 287);
    // change registration: heading 10, table head 10 + 15, rows of 8, form 2a
    p.registrationSheet = p.further;
    p.registrationSheet.registrationTable = true;
    p.registrationSheet.rows[0] = {2, 2, 10, MmBand::List};
    p.registrationSheet.rows[1] = {3, 3, 10, MmBand::List};
    p.registrationSheet.rows[2] = {4, 4, 15, MmBand::List};
    p.registrationSheet.rows[3] = {5, 31, 8, MmBand::List};
    p.registrationSheet.rows[4] = {32, 32, 5, MmBand::Title, true};
    p.registrationSheet.rows[5] = {33, 33, 2, MmBand::Title};
    p.registrationSheet.rows[6] = {34, 34, 3, MmBand::Title};
    p.registrationSheet.rows[7] = {35, 35, 5, MmBand::Title};
    p.registrationSheet.rows[8] = {36, 36, 5, MmBand::Below};
    return p;
}

inline constexpr PaperGeometry kA4PortraitPaper = A4PortraitPaper();

/// The list of purchased products (GOST 2.106 form 5) on A3: 7, 60, 45, 70, 55, 70
/// mm, the quantity in four columns of 16 mm (AJ, AK, AL..AN, AO..AP), the note 24.
inline constexpr MmListBand kA3Lists[] = {
    {ksVPA_OF, nullptr, {{3, 7}, {4, 60}, {15, 45}, {18, 70}, {27, 55}, {31, 70}, {36, 16}, {37, 16}, {38, 16},
                         {41, 16}, {43, 24}}, 2},
};

/// The title band of the A3 form: the area left of the title block (C..AA, 210 mm),
/// then form 2's grid from AB: "Изм." 7, "Лист" 10, "№ докум." AD..AE 23, "Подп." 15,
/// "Дата" 10, the name AH..AL 70, "Лит." AM..AO, "Лист" AP..AQ, "Листов" AR..AS
/// (form 2a's "Лист" is AS, 10 mm).
inline constexpr MmField kA3TitleBand[] = {
    {3, 210}, {28, 7},  {29, 10}, {30, 12}, {31, 11}, {32, 15},  {33, 10},  {34, 14}, {35, 14},
    {36, 14}, {37, 14}, {38, 14}, {39, 5},  {40, 5},  {41, 5},   {42, 7.5}, {43, 7.5}, {44, 10}, {45, 10},
};

constexpr PaperGeometry A3Paper() {
    PaperGeometry p{.form = FormId::A3PurchasedProducts,
                    .paperWidth = 420, .paperHeight = 297,
                    .frameLeft = 20, .frameTop = 5, .frameWidth = 395, .frameHeight = 287,
                    .titleLeft = 210,
                    .stripWidths = {5, 7},
                    .designation = {29, 34},   // AH29
                    .name = {32, 34},          // AH32
                    .registrationOnA4 = true};
    for (std::size_t i = 0; i < std::size(kA3TitleBand); ++i) p.title[i] = kA3TitleBand[i];
    p.lists = kA3Lists;
    p.listCount = static_cast<int>(std::size(kA3Lists));
    p.registration = kRegistrationBand;
    // first sheet: the two head rows (8 + 7), 23 list rows of 8, the block (4 + 26 + 18), form 2
    p.first = {.rows = {{1, 1, 8, MmBand::List},
                        {2, 2, 7, MmBand::List},
                        {3, 25, 8, MmBand::List},
                        {26, 26, 4, MmBand::Title},
                        {27, 27, 26, MmBand::Title},
                        {28, 28, 18, MmBand::Title},
                        {29, 36, 5, MmBand::Title},
                        {37, 37, 5, MmBand::Below}},
               .foot = kForm2Lines, .footLines = static_cast<int>(std::size(kForm2Lines)), .footHeight = 40,
               .block = kFirstBlockLines, .blockLines = static_cast<int>(std::size(kFirstBlockLines)),
               .blockHeight = 48};
    p.first = StripOfFirst(p.first, 287, 32);
    p.further = {.rows = {{2, 2, 8, MmBand::List},
                          {3, 3, 7, MmBand::List},
                          {4, 31, 8, MmBand::List},
                          {32, 32, 5, MmBand::Title, true},
                          {33, 33, 2, MmBand::Title},
                          {34, 34, 3, MmBand::Title},
                          {35, 35, 5, MmBand::Title},
                          {36, 36, 5, MmBand::Below}},
                 .foot = kForm2aLines, .footLines = static_cast<int>(std::size(kForm2aLines)), .footHeight = 15};
    p.further = StripOfFurther(p.further, 287);
    p.registrationSheet = kA4PortraitPaper.registrationSheet;
    return p;
}

inline constexpr PaperGeometry kA3Paper = A3Paper();

/// The group specification (GOST 2.113, A4 landscape bound at its top edge): the
/// frame 287 x 185 mm at 5 mm left, right and bottom and 20 mm top; the binding-margin
/// fields along the top edge, 5 + 7 mm high: "Инв. № подл." 25, "Подп. и дата" 35,
/// "Взам. инв. №" 25, "Инв. № дубл." 25, "Подп. и дата" 35 mm from the left, "Справ. №"
/// and "Перв. примен." 60 mm each at the right.
inline constexpr MmField kGroupStripBand[] = {{1, 25}, {7, 35}, {8, 25}, {9, 25}, {12, 35}, {15, 22}, {16, 60}, {23, 60}};

/// Its list: "Формат" 6, "Зона" 6, "Поз." 8, "Обозначение" 70, "Наименование" 63 mm as
/// in GOST 2.106 form 1, ten columns of 10 mm for the quantities per execution, the
/// note in the 34 mm left.
inline constexpr MmListBand kGroupLists[] = {
    {ksSPB_OF, nullptr, {{1, 6}, {3, 6}, {5, 8}, {6, 70}, {9, 63}, {15, 10}, {16, 10}, {17, 10}, {19, 10},
                         {20, 10}, {21, 10}, {22, 10}, {23, 10}, {25, 10}, {27, 10}, {29, 34}}, 2},
};

/// Its title band: the area left of the title block (A..I, 102 mm), form 2's grid
/// from J ("Изм." 7, "Лист" 10, "№ докум." 23, "Подп." M..N 15, "Дата" 10), the name
/// P..X 70, "Лит." Y..AA, "Лист" AB..AC, "Листов" AD..AE (form 2a's "Лист" AE, 10 mm).
inline constexpr MmField kGroupTitleBand[] = {
    {1, 102}, {10, 7}, {11, 10}, {12, 23}, {13, 7.5}, {14, 7.5}, {15, 10}, {16, 70},
    {25, 5},  {26, 5}, {27, 5},  {28, 7.5}, {29, 7.5}, {30, 10}, {31, 10},
};

/// The binding-margin fields of a first sheet along the top edge, and of a further
/// sheet (the lower five only).
inline constexpr MmLine kGroupStripFirst[] = {
    {0, -12, 145, -12, true},  {0, -7, 145, -7, true},    {0, -12, 0, 0, true},     {25, -12, 25, 0, true},
    {60, -12, 60, 0, true},    {85, -12, 85, 0, true},    {110, -12, 110, 0, true}, {145, -12, 145, 0, true},
    {167, -12, 287, -12, true}, {167, -7, 287, -7, true}, {167, -12, 167, 0, true}, {227, -12, 227, 0, true},
    {287, -12, 287, 0, true},
};
inline constexpr MmLine kGroupStripFurther[] = {
    {0, -12, 145, -12, true}, {0, -7, 145, -7, true},  {0, -12, 0, 0, true},     {25, -12, 25, 0, true},
    {60, -12, 60, 0, true},   {85, -12, 85, 0, true},  {110, -12, 110, 0, true}, {145, -12, 145, 0, true},
};

/// The first sheet's variable-data zone (the letter and code of each execution, in
/// the quantity columns, "Лит." and "Код" in N) and the block of fields above the
/// title block, from the title block's left edge (102 mm) at the zone's top (79 mm):
/// 26 mm of zone, 40 of block.
inline constexpr MmLine kGroupZoneLines[] = {
    {-102, 0, 185, 0, true},
    {40.5, 0, 40.5, 26, true}, {51, 0, 51, 26, true},  {61, 0, 61, 26, true},   {71, 0, 71, 26, true},
    {81, 0, 81, 26, true},     {91, 0, 91, 26, true},  {101, 0, 101, 26, true}, {111, 0, 111, 26, true},
    {121, 0, 121, 26, true},   {131, 0, 131, 26, true}, {141, 0, 141, 26, true}, {151, 0, 151, 26, true},
    {51, 10, 151, 10, false},  {40.5, 18, 151, 18, false},
    {40.5, 26, 185, 26, true},
    {65, 26, 65, 66, true},    {65, 48, 185, 48, false}, {80.56, 26, 80.56, 48, false}, {127.22, 26, 127.22, 48, false},
};

/// A sheet drawn turned on its landscape page, whose rows run across the paper read
/// upright and whose columns run down it, the last column at the top: the group
/// specification's change-registration sheet, an A4 portrait form (GOST 2.503 form 1
/// over form 2a) printed upright. Columns count as the sheet has them once the form
/// stood a column further right.
struct MmTurnedSheet {
    double columnMm[33] = {};      // by column, 1-based: its height on the upright page (0: not printed)
    int titleColumnsTo = 0;        // columns up to this one take the title rows; the others the table rows
    MmField titleRows[12] = {};    // the sheet's own rows (1: its first), from x = -12 (the binding strip)
    MmField tableRows[14] = {};
    double bodyTop = 0, bodyBottom = 0, bodyRow = 0;  // the table's body: thin lines every bodyRow mm
    int stripRows = 0;             // its first rows hold the binding-margin fields, laid along the columns:
    MmField stripColumns[6] = {};  // each from its column, mm up the page from the frame's bottom
    const MmLine* lines = nullptr;  // the table's lines, from the frame's corner
    int lineCount = 0;
};

/// GOST 2.503 form 1 upright: the heading 10 mm, the head 10 + 15 ("Номера листов"
/// over its four columns), the body of rows of 8 mm down to form 2a.
inline constexpr MmLine kTurnedRegistrationLines[] = {
    {0, 10, 185, 10, true},   {10, 20, 90, 20, true},   {0, 35, 185, 35, true},
    {10, 10, 10, 272, true},  {30, 20, 30, 272, true},  {50, 20, 50, 272, true},  {70, 20, 70, 272, true},
    {90, 10, 90, 272, true},  {110, 10, 110, 272, true}, {135, 10, 135, 272, true}, {160, 10, 160, 272, true},
    {175, 10, 175, 272, true},
};

constexpr MmTurnedSheet GroupTurnedRegistration() {
    MmTurnedSheet t{};
    t.columnMm[1] = 5;                                   // A: the line under the frame
    t.columnMm[2] = 5;                                   // B..E: form 2a, its head row at the foot
    t.columnMm[3] = 3;
    t.columnMm[4] = 2;
    t.columnMm[5] = 5;
    for (int c = 6; c <= 27; ++c) t.columnMm[c] = 237.0 / 22;  // F..AA: the body
    t.columnMm[28] = 5;                                  // AB..AD: the head's lower part
    t.columnMm[29] = 5;
    t.columnMm[30] = 5;
    t.columnMm[31] = 10;                                 // AE: "Номера листов (страниц)"
    t.columnMm[32] = 10;                                 // AF: the heading
    t.titleColumnsTo = 5;
    const MmField title[] = {{1, 5}, {2, 7}, {3, 7}, {5, 10}, {7, 23}, {12, 15}, {15, 10}, {17, 110}, {38, 10}};
    for (std::size_t i = 0; i < std::size(title); ++i) t.titleRows[i] = title[i];
    const MmField table[] = {{1, 5},   {2, 7},   {3, 10},  {6, 20},  {9, 20},  {13, 20},
                             {16, 20}, {19, 20}, {23, 25}, {27, 25}, {33, 15}, {36, 10}};
    for (std::size_t i = 0; i < std::size(table); ++i) t.tableRows[i] = table[i];
    t.stripRows = 2;  // B..G "Инв. № подл." 25, H 35, I 25, J..L 25, M..O 35 (then nothing)
    const MmField strip[] = {{2, 25}, {8, 35}, {9, 25}, {10, 25}, {13, 35}, {16, 0}};
    for (std::size_t i = 0; i < std::size(strip); ++i) t.stripColumns[i] = strip[i];
    t.bodyTop = 35;
    t.bodyBottom = 272;
    t.bodyRow = 8;
    t.lines = kTurnedRegistrationLines;
    t.lineCount = static_cast<int>(std::size(kTurnedRegistrationLines));
    return t;
}

inline constexpr MmTurnedSheet kGroupTurnedRegistration = GroupTurnedRegistration();

constexpr PaperGeometry GroupPaper() {
    PaperGeometry p{.form = FormId::A4LandscapeGroup,
                    .paperWidth = 297, .paperHeight = 210,
                    .frameLeft = 5, .frameTop = 20, .frameWidth = 287, .frameHeight = 185,
                    .titleLeft = 102,
                    .stripWidths = {0, 0}};
    for (std::size_t i = 0; i < std::size(kGroupTitleBand); ++i) p.title[i] = kGroupTitleBand[i];
    p.stripBand = kGroupStripBand;
    p.stripFields = static_cast<int>(std::size(kGroupStripBand));
    p.lists = kGroupLists;
    p.listCount = static_cast<int>(std::size(kGroupLists));
    p.designation = {19, 16};  // P19
    p.name = {22, 16};         // P22
    p.turnedRegistration = &kGroupTurnedRegistration;
    // first sheet: the strip (5 + 7) above the frame, head 8 + 7, 8 list rows, the
    // zone (5 + 5 + 8 + 8), the block (22 + 18), form 2
    p.first = {.rows = {{1, 1, 5, MmBand::Strip},
                        {2, 2, 7, MmBand::Strip},
                        {3, 3, 8, MmBand::List},
                        {4, 4, 7, MmBand::List},
                        {5, 12, 8, MmBand::List},
                        {13, 14, 5, MmBand::Zone},
                        {15, 16, 8, MmBand::Zone},
                        {17, 17, 22, MmBand::Title},
                        {18, 18, 18, MmBand::Title},
                        {19, 26, 5, MmBand::Title},
                        {27, 27, 5, MmBand::Below}},
               .firstRowTop = -12,
               .foot = kForm2Lines, .footLines = static_cast<int>(std::size(kForm2Lines)), .footHeight = 40,
               .block = kGroupZoneLines, .blockLines = static_cast<int>(std::size(kGroupZoneLines)),
               .blockHeight = 66,
               .extra = kGroupStripFirst, .extraLines = static_cast<int>(std::size(kGroupStripFirst))};
    // further sheet: the strip, head, 17 list rows, form 2a at the foot
    p.further = {.rows = {{2, 2, 5, MmBand::Strip},
                          {3, 3, 7, MmBand::Strip},
                          {4, 4, 8, MmBand::List},
                          {5, 5, 7, MmBand::List},
                          {6, 22, 8, MmBand::List},
                          {23, 23, 5, MmBand::Title, true},
                          {24, 24, 2, MmBand::Title},
                          {25, 25, 3, MmBand::Title},
                          {26, 26, 5, MmBand::Title},
                          {27, 27, 5, MmBand::Below}},
                 .firstRowTop = -12,
                 .foot = kForm2aLines, .footLines = static_cast<int>(std::size(kForm2aLines)), .footHeight = 15,
                 .extra = kGroupStripFurther, .extraLines = static_cast<int>(std::size(kGroupStripFurther))};
    return p;
}

inline constexpr PaperGeometry kGroupPaper = GroupPaper();

/// The paper geometry of a form, or null for a form not yet laid out in millimetres.
constexpr const PaperGeometry* PaperOf(FormId form) {
    switch (form) {
        case FormId::A4Portrait: return &kA4PortraitPaper;
        case FormId::A3PurchasedProducts: return &kA3Paper;
        case FormId::A4LandscapeGroup: return &kGroupPaper;
        case FormId::None: break;
    }
    return nullptr;
}

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

/// Where the first sheet's title block of a form shows its fields: the first cell
/// of the step that writes each (worksheet rows as formed, before rows are moved).
struct TitleCells {
    struct Cell {
        int row = 0, column = 0;
    };
    Cell designation, name, letter, organisation, change, changeDocument;
    /// The five signature rows from "Разраб." down: label, surname and date columns.
    int firstSignatureRow = 0, labelColumn = 0, surnameColumn = 0, dateColumn = 0;
};

}  // namespace ormelin::forming
