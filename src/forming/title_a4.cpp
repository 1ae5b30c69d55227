// The frames and title blocks of an A4 document: the first sheet's title area,
// title block, bottom line and binding margin (TitleFirst); a subsequent sheet's
// repeated column heads (PageNext) and title block (TitleNext); and the
// change-registration sheet (PageRevi).
//
// Addresses in the tables of a subsequent sheet count from its sheet block, whose
// row 1 is the previous sheet's bottom line.
// Format patches below name only the fields they change; the others stay empty.

#include "forming/forming.hpp"
#include "forming/steps.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin::forming {

namespace {

using H = host::HAlign;
using V = host::VAlign;
using U = host::Underline;
using P = AttrProp;

const host::Color kBlack = host::Color::Rgb(0);
const host::Color kNoFill = host::Color::Auto();

/// The nine values of one row of the change and signature grid, C..K: the fields
/// C, D:E, F:H, I:J and K:L receive c, d, f, i and k; the other members of the
/// merged groups the empty text.
std::vector<Put> GridRow(Put c, Put d, Put f, Put i, Put k) {
    return {c, d, Empty(), f, Empty(), Empty(), i, Empty(), k};
}

// ------------------------------------------------------------------ first sheet

// Rows 25..37, inserted under the first 23 data rows.
const std::vector<CellStep>& TitleFirstSteps() {
    static const host::FormatPatch date = {.numberFormat = "dd.mm.yy", .horizontal = H::Center, .fontSize = 7};
    static const host::FormatPatch small = {.horizontal = H::Center, .fontSize = 11};
    static const std::vector<CellStep> steps = {
        // reset of the new rows, heights
        {.range = "A25:Z37", .format = {.numberFormat = "General", .wrap = false, .shrink = false, .bold = false,
                                        .underline = U::None, .fontColor = kBlack, .fill = kNoFill}},
        {.range = "25:25", .rowHeight = 8},
        {.range = "26:26", .rowHeight = 14},
        {.range = "27:27", .rowHeight = 30},
        {.range = "28:28", .rowHeight = 24.5},
        {.range = "29:37", .rowHeight = 15},
        {.range = "A29:Z37", .format = {.horizontal = H::Center, .fontSize = 11}},
        // area above the title block
        {.range = "C25:Z25", .merge = true},
        {.range = "C26:L28", .merge = true},
        {.range = "M26:N27", .merge = true},
        {.range = "O26:R27", .merge = true, .format = small, .values = {Attr(P::aAlit)}},
        {.range = "S26:Z27", .merge = true, .format = small, .values = {Attr(P::aAdoc)}},
        {.range = "M28:Z28", .merge = true, .format = small, .values = {Attr(P::aIcus)}},
        // designation and name
        {.range = "M29:Z31", .merge = true, .format = {.fontSize = 20}, .values = {Attr(P::aOboz)}},
        {.range = "M32:R35", .merge = true, .format = {.wrap = true, .fontSize = 14}, .values = {Attr(P::aNaim)}},
        {.range = "M36:R36", .merge = true, .format = NoLine(host::Edge::Top)},
        {.range = "M36:R36", .format = {.shrink = true}},
        // grid of the left part (merges per row come from TitleFirstMerges)
        {.range = "K30:L30", .format = date},
        {.range = "C31", .format = {.shrink = false, .fontSize = 10}},
        {.range = "K32:L36", .format = date},
        {.range = "C32:H36", .format = {.horizontal = H::Left}},
        {.range = "C30:K30", .values = GridRow(Attr(P::aIzme), Attr(P::aIzml), Attr(P::aNdoc), Empty(),
                                                Attr(P::aIzmd))},
        {.range = "C31:K31", .values = GridRow(Text("Изм."), Text("Лист"), Text("№ докум."), Text("Подп."),
                                                Text("Дата"))},
        {.range = "C32:K32", .values = GridRow(Text("Разраб."), Empty(), Attr(P::aDesi), Empty(), Attr(P::aDesd))},
        {.range = "C33:K33", .values = GridRow(Text("Пров."), Empty(), Attr(P::aChec), Empty(), Attr(P::aChed))},
        {.range = "C34:K34", .values = GridRow(Attr(P::aAddb), Empty(), Attr(P::aAddf), Empty(), Attr(P::aAddd))},
        {.range = "C35:K35", .values = GridRow(Text("Н. контр."), Empty(), Attr(P::aNcon), Empty(),
                                                Attr(P::aNcod))},
        {.range = "C36:K36", .values = GridRow(Text("Утв."), Empty(), Attr(P::aAppr), Empty(), Attr(P::aAppd))},
        // right part: letter, sheet, sheets, organisation
        {.range = "S32:U32", .merge = true, .values = {Text("Лит.")}},
        {.range = "V32:X32", .merge = true, .values = {Text("Лист")}},
        {.range = "Y32:Z32", .merge = true, .values = {Text("Листов")}},
        {.range = "S33", .values = {Attr(P::aLite)}},
        {.range = "V33:X33", .merge = true},
        {.range = "Y33:Z33", .merge = true},
        {.range = "S34:Z36", .merge = true, .format = {.wrap = true, .fontSize = 14}, .values = {Attr(P::aFirm)}},
        // bottom line under the frame
        {.range = "A37:L37", .merge = true},
        {.range = "M37:R37", .merge = true, .format = {.horizontal = H::Left}, .values = {Text("Копировал:")}},
        {.range = "S37:Z37", .merge = true, .format = {.horizontal = H::Right}, .values = {Text("Формат А4")}},
    };
    return steps;
}

// The per-row merges of the left part of the first sheet's title block.
const std::vector<RowMerges>& TitleFirstMerges() {
    static const std::vector<RowMerges> merges = {
        {"D:E", 29, 31}, {"C:E", 32, 36}, {"F:H", 29, 36}, {"I:J", 29, 36}, {"K:L", 29, 36},
    };
    return merges;
}

// ------------------------------------------------------------------ subsequent sheets

// The column-head row at block row 2.
const host::FormatPatch& HeadRowFormat() {
    static const host::FormatPatch f = {.bold = false, .underline = U::None, .fontColor = kBlack, .fill = kNoFill};
    return f;
}

// Block rows 32..36, inserted at the foot of the sheet.
const std::vector<CellStep>& TitleNextSteps() {
    static const std::vector<CellStep> steps = {
        // change rows
        {.range = "D32:E32", .merge = true},
        {.range = "F32:H32", .merge = true},
        {.range = "C33:C34", .merge = true, .values = {Attr(P::aIzme)}},
        {.range = "D33:E34", .merge = true, .values = {Attr(P::aIzml)}},
        {.range = "F33:H34", .merge = true, .values = {Attr(P::aNdoc)}},
        {.range = "I33:J34", .merge = true},
        {.range = "K33:L34", .merge = true,
         .format = {.numberFormat = "dd.mm.yy", .horizontal = H::Center, .fontSize = 7},
         .values = {Attr(P::aIzmd)}},
        {.range = "C35", .format = {.shrink = false, .fontSize = 10}},
        {.range = "I32:J32", .merge = true},
        {.range = "K32:L32", .merge = true},
        {.range = "D32:E32", .merge = true},
        {.range = "F32:H32", .merge = true},
        {.range = "D35:E35", .merge = true},
        {.range = "F35:H35", .merge = true},
        {.range = "I35:J35", .merge = true},
        {.range = "K35:L35", .merge = true},
        {.range = "C35:K35", .values = GridRow(Text("Изм."), Text("Лист"), Text("№ докум."), Text("Подп."),
                                                Text("Дата"))},
        // designation and the sheet number's label
        {.range = "M32:Y35", .merge = true, .format = {.vertical = V::Center, .fontSize = 20},
         .values = {Attr(P::aOboz)}},
        {.range = "Z32:Z33", .merge = true, .format = {.vertical = V::Center}, .values = {Text("Лист")}},
        {.range = "33:33", .rowHeight = 6},
        {.range = "34:34", .rowHeight = 9},
        {.range = "Z34:Z35", .merge = true, .format = {.vertical = V::Center, .fontSize = 11}},
    };
    return steps;
}

// ------------------------------------------------------------------ change-registration sheet

const std::vector<CellStep>& PageReviSteps() {
    static const std::vector<CellStep> steps = {
        {.range = "2:4",
         .format = {.horizontal = H::Center, .vertical = V::Center, .orientation = 0, .indent = 0,
                    .readingOrder = host::ReadingOrder::Context, .fontSize = 12}},
        {.range = "2:2", .rowHeight = 25.4},
        {.range = "3:3", .rowHeight = 25.4},
        {.range = "4:4", .rowHeight = 43},
        {.range = "5:5", .rowHeight = 25},
        {.range = "C2:Z2", .merge = true, .values = {Text("Лист регистрации изменений")}},
        // table head
        {.range = "E3:N3", .merge = true, .values = {Text("Номера листов (страниц)")}},
        {.range = "C3:D4", .merge = true, .format = {.fontSize = 12}, .values = {Text("Изм.")}},
        {.range = "E4:G4", .merge = true, .format = {.fontSize = 11}, .values = {Text("изменен-\nных")}},
        {.range = "H4:I4", .merge = true, .format = {.fontSize = 11}, .values = {Text("заменен-\nных")}},
        {.range = "J4:L4", .merge = true, .format = {.fontSize = 11}, .values = {Text("новых")}},
        {.range = "M4:N4", .merge = true, .format = {.fontSize = 10}, .values = {Text("аннулиро-\nванных")}},
        {.range = "O3:P4", .merge = true, .format = {.fontSize = 10},
         .values = {Text("Всего\nлистов\n(страниц)\nв докум.")}},
        {.range = "Q3:Q4", .merge = true, .format = {.fontSize = 12}, .values = {Text("№\nдокум.")}},
        {.range = "R3:U4", .merge = true, .format = {.fontSize = 10},
         .values = {Text("Входящий №\nсопроводитель\nного докум.\nи дата")}},
        {.range = "V3:X4", .merge = true, .format = {.fontSize = 12}, .values = {Text("Подп.")}},
        {.range = "Y3:Z4", .merge = true, .format = {.fontSize = 12}, .values = {Text("Дата")}},
        // first entry: the document's current change. Its row is inserted under the
        // last sheet's bottom line and takes that line's 11-point font; the entry
        // keeps the list row's 14 points, as the table body below it does.
        {.range = "C5:Y5",
         .format = {.numberFormat = "General", .horizontal = H::Center, .vertical = V::Top, .wrap = false,
                    .fontSize = 14}},
        {.range = "C5", .values = {Attr(P::aIzme)}},
        {.range = "E5", .values = {Formula("=IF(OR(RC[-2]=\"\",RC[-2]=0),\"\",\"-\")")}},
        {.range = "H5", .values = {Formula("=IF(OR(RC[-3]=\"\",RC[-3]=0),\"\",\"-\")")}},
        {.range = "J5", .values = {Formula("=IF(OR(RC[-2]=\"\",RC[-2]=0),\"\",\"Все\")")}},
        {.range = "Q5", .values = {Attr(P::aNdoc)}},
        {.range = "R5", .values = {Formula("=IF(OR(RC[-1]=\"\",RC[-1]=0),\"\",\"-\")")}},
        {.range = "Y5", .values = {Attr(P::aIzmd)}},
    };
    return steps;
}

}  // namespace

void TitleFirst(const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& record) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    sheet->InsertRows(25, 13);
    ApplyRowMerges(*sheet, 1, TitleFirstMerges());
    ApplySteps(sheet, 1, TitleFirstSteps(), record);
    ApplySteps(sheet, 1, BindingMarginSteps(), record);
}

void PageNext(const host::Range& block, int k, const AttrDoc& record) {
    const auto sheet = block.SheetPtr();
    host::Worksheet& w = *sheet;
    const int b = block.Row();
    w.InsertRows(b + 1, 1);
    const host::Range head = w.Rows(b + 1);
    head.RowHeight(kHeadRowHeight);
    head.ApplyFormat(HeadRowFormat());
    w.CopyTo(host::ParseAddress("C1:Z1"), w, b + 1, 3);
    TitleNext(block, k, record);
}

void TitleNext(const host::Range& block, int k, const AttrDoc& record) {
    const auto sheet = block.SheetPtr();
    host::Worksheet& w = *sheet;
    const int b = block.Row();
    w.InsertRows(b + 31, 5);
    ApplySteps(sheet, b, SheetFootSteps(), record);
    ApplySteps(sheet, b, TitleNextSteps(), record);
    ApplySteps(sheet, b, LowerBindingMarginSteps(), record);
    w.SetValue(At("Z34", b), static_cast<double>(k));
    // The first sheet's upper binding-margin fields, "Подп. и дата" and
    // "Инв. № дубл.", with their merges, formats and lines, from block row 17 on.
    w.CopyTo(host::ParseAddress("A16:B22"), w, b + 16, 1);
}

void PageRevi(const host::Range& block, int k, const AttrDoc& record) {
    const auto sheet = block.SheetPtr();
    // The heading, the table head and the first entry take four rows of their own,
    // so that the table body runs over empty rows the last sheet left and no list
    // row after them is drawn into the table or lost on rollback.
    sheet->InsertRows(block.Row() + 1, 4);
    ApplySteps(sheet, block.Row(), PageReviSteps(), record);
    TitleNext(block, k, record);
}

TitleCells FirstTitleCellsA4() { return TitleCellsOf(TitleFirstSteps(), nullptr); }

}  // namespace ormelin::forming
