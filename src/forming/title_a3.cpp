// The frames and title blocks of an A3 document (the list of purchased
// products): the first sheet's title area, title block, bottom line and binding
// margin (TitleFirstA3), and a further sheet's two head rows, title block and
// lower binding-margin fields (PageNextA3).
//
// Addresses in the tables of a further sheet count from its sheet block, whose
// row 1 is the previous sheet's bottom line.
// Format patches below name only the fields they change; the others stay empty.

#include "forming/forming.hpp"
#include "forming/steps.hpp"

namespace ormelin::forming {

namespace {

using H = host::HAlign;
using V = host::VAlign;
using U = host::Underline;
using P = AttrProp;

/// The six values of one row of the change and signature grid, AB..AG.
std::vector<Put> GridRow(Put ab, Put ac, Put ad, Put af, Put ag) { return {ab, ac, ad, Empty(), af, ag}; }

// ------------------------------------------------------------------ first sheet

// Rows 26..37, inserted under the first 23 data rows.
const std::vector<CellStep>& TitleFirstA3Steps() {
    static const host::FormatPatch date = {.numberFormat = "dd.mm.yy", .horizontal = H::Center, .fontSize = 7};
    static const host::FormatPatch small = {.horizontal = H::Center, .fontSize = 11};
    static const std::vector<CellStep> steps = {
        // reset of the new rows, heights
        {.range = "A26:AS37",
         .format = {.numberFormat = "General", .wrap = false, .shrink = false, .bold = false, .underline = U::None,
                    .fontColor = host::Color::Rgb(0), .fill = host::Color::Auto()},
         .rowHeight = 15},
        {.range = "26:26", .rowHeight = 5},
        {.range = "27:27", .rowHeight = 37},
        {.range = "28:28", .rowHeight = 23},
        {.range = "A26:AS37", .format = small},
        // area above the title block, and the blank area left of it
        {.range = "C26:AG28", .merge = true},
        {.range = "C29:AA36", .merge = true},
        {.range = "AH26:AH27", .merge = true},
        {.range = "AI26:AK27", .merge = true, .format = small, .values = {Attr(P::aAlit)}},
        {.range = "AL26:AS27", .merge = true, .format = small, .values = {Attr(P::aAdoc)}},
        {.range = "AH28:AS28", .merge = true, .format = small, .values = {Attr(P::aIcus)}},
        // designation, name and the document's title
        {.range = "AH29:AS31", .merge = true, .format = {.fontSize = 20}, .values = {Attr(P::aOboz)}},
        {.range = "AH32:AL35", .merge = true, .format = {.wrap = true, .fontSize = 14}, .values = {Attr(P::aNaim)}},
        {.range = "AH36:AL36", .merge = true, .format = {.shrink = true, .fontSize = 12},
         .values = {Text("Ведомость покупных изделий")}},
        // grid of the left part (merges per row come from TitleFirstA3Merges)
        {.range = "AG30", .format = date},
        {.range = "AB30", .format = {.shrink = false, .fontSize = 10}},
        {.range = "AB30:AG30", .values = GridRow(Attr(P::aIzme), Attr(P::aIzml), Attr(P::aNdoc), Empty(),
                                                  Attr(P::aIzmd))},
        {.range = "AB31:AG31", .values = GridRow(Text("Изм."), Text("Лист"), Text("№ докум."), Text("Подп."),
                                                  Text("Дата"))},
        {.range = "AG32:AG36", .format = date},
        {.range = "AB32:AE36", .format = {.horizontal = H::Left}},
        {.range = "AB32:AG32", .values = GridRow(Text("Разраб."), Empty(), Attr(P::aDesi), Empty(), Attr(P::aDesd))},
        {.range = "AB33:AG33", .values = GridRow(Text("Пров."), Empty(), Attr(P::aChec), Empty(), Attr(P::aChed))},
        {.range = "AB34:AG34", .values = GridRow(Attr(P::aAddb), Empty(), Attr(P::aAddf), Empty(), Attr(P::aAddd))},
        {.range = "AB35:AG35", .values = GridRow(Text("Н. контр."), Empty(), Attr(P::aNcon), Empty(),
                                                  Attr(P::aNcod))},
        {.range = "AB36:AG36", .values = GridRow(Text("Утв."), Empty(), Attr(P::aAppr), Empty(), Attr(P::aAppd))},
        // right part: letter, sheet, sheets, organisation
        {.range = "AM32:AO32", .merge = true, .values = {Text("Лит.")}},
        {.range = "AP32:AQ32", .merge = true, .values = {Text("Лист")}},
        {.range = "AR32:AS32", .merge = true, .values = {Text("Листов")}},
        {.range = "AM33", .values = {Attr(P::aLite)}},
        {.range = "AP33:AQ33", .merge = true},
        {.range = "AR33:AS33", .merge = true},
        {.range = "AM34:AS36", .merge = true, .format = {.wrap = true, .fontSize = 14}, .values = {Attr(P::aFirm)}},
        // bottom line under the frame
        {.range = "A37:AG37", .merge = true},
        {.range = "AH37:AL37", .merge = true, .format = {.horizontal = H::Left}, .values = {Text("Копировал:")}},
        {.range = "AM37:AS37", .merge = true, .format = {.horizontal = H::Right}, .values = {Text("Формат А3")}},
    };
    return steps;
}

// The per-row merges of the left part of the first sheet's title block.
const std::vector<RowMerges>& TitleFirstA3Merges() {
    static const std::vector<RowMerges> merges = {{"AD:AE", 29, 36}, {"AB:AC", 32, 36}};
    return merges;
}

// ------------------------------------------------------------------ further sheets

// Block rows 32..35 (the foot rows are reset by SheetFootSteps first).
const std::vector<CellStep>& PageNextA3Steps() {
    static const std::vector<CellStep> steps = {
        {.range = "C32:AA35", .merge = true},
        // change rows
        {.range = "AD32:AE32", .merge = true},
        {.range = "AB33:AB34", .merge = true, .values = {Attr(P::aIzme)}},
        {.range = "AC33:AC34", .merge = true, .values = {Attr(P::aIzml)}},
        {.range = "AD33:AE34", .merge = true, .values = {Attr(P::aNdoc)}},
        {.range = "AF33:AF34", .merge = true},
        {.range = "AG33:AG34", .merge = true,
         .format = {.numberFormat = "dd.mm.yy", .horizontal = H::General, .fontSize = 7},
         .values = {Attr(P::aIzmd)}},
        {.range = "AB35", .format = {.shrink = false, .fontSize = 10}},
        {.range = "AD35:AE35", .merge = true},
        {.range = "AB35:AG35", .values = GridRow(Text("Изм."), Text("Лист"), Text("№ докум."), Text("Подп."),
                                                  Text("Дата"))},
        // designation and the sheet number's label
        {.range = "AH32:AR35", .merge = true, .format = {.vertical = V::Center, .fontSize = 20},
         .values = {Attr(P::aOboz)}},
        {.range = "AS32:AS33", .merge = true, .format = {.vertical = V::Center}, .values = {Text("Лист")}},
        {.range = "33:33", .rowHeight = 6},
        {.range = "34:34", .rowHeight = 9},
        {.range = "AS34:AS35", .merge = true, .format = {.vertical = V::Center, .fontSize = 11}},
    };
    return steps;
}

}  // namespace

void TitleFirstA3(const std::shared_ptr<host::Worksheet>& sheet, const AttrDoc& attDoc) {
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    const SheetGeometry& g = kPurchasedProducts;
    const int firstInserted = FirstSheetListEnd(g) + 1;
    sheet->InsertRows(firstInserted, g.firstBottomLine - firstInserted + 1);
    ApplyRowMerges(*sheet, 1, TitleFirstA3Merges());
    ApplySteps(sheet, 1, TitleFirstA3Steps(), attDoc);
    ApplySteps(sheet, 1, BindingMarginSteps(), attDoc);
}

void PageNextA3(const host::Range& block, int k, const AttrDoc& attDoc) {
    const auto sheet = block.SheetPtr();
    if (!sheet) throw Error(ErrorCode::ObjectRequired);
    host::Worksheet& w = *sheet;
    const int b = block.Row();
    const SheetGeometry& g = kPurchasedProducts;
    // the column heads of the first sheet, with their texts, merges, formats and lines
    w.InsertRows(b + 1, g.headRows);
    w.RowHeight(b + 1, b + 1, 24);
    w.RowHeight(b + 2, b + 2, 50);
    w.CopyTo(host::ParseAddress("C1:AS2"), w, b + 1, 3);
    // the title block: the list rows from the 29th candidate row on move to the next sheet
    w.InsertRows(b + g.sheetRows - FootRowsOf(g) + 1, FootRowsOf(g));
    ApplySteps(sheet, b, SheetFootSteps(), attDoc);
    ApplySteps(sheet, b, PageNextA3Steps(), attDoc);
    w.SetValue(At("AS34", b), static_cast<double>(k));
    ApplySteps(sheet, b, LowerBindingMarginSteps(), attDoc);
    // the first sheet's "Подп. и дата" and "Инв. № дубл." from block row 17 on
    w.CopyTo(host::ParseAddress("A16:B22"), w, b + 16, 1);
}

TitleCells FirstTitleCellsA3() { return TitleCellsOf(TitleFirstA3Steps(), nullptr); }

}  // namespace ormelin::forming
