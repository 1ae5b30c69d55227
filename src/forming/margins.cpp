// The parts every form shares, A4 and A3 alike: the binding-margin fields in
// columns A and B of the first sheet and of every further sheet, and the reset of
// the five rows at a further sheet's foot.
// Format patches below name only the fields they change; the others stay empty.

#include "forming/steps.hpp"

namespace ormelin::forming {

namespace {
using H = host::HAlign;
using V = host::VAlign;
using P = AttrProp;
}  // namespace

const std::vector<CellStep>& BindingMarginSteps() {
    static const std::vector<CellStep> steps = {
        // binding margin: label in A, value in B over the same rows
        {.range = "A1:A6", .merge = true, .values = {Text("Перв. примен.")}},
        {.range = "B1:B6", .merge = true, .values = {FirstUse()}},
        {.range = "A7:A13", .merge = true, .values = {Text("Справ. №")}},
        {.range = "B7:B13", .merge = true, .values = {Attr(P::aSpra)}},
        {.range = "A14:B15", .merge = true},
        {.range = "A16:A19", .merge = true, .values = {Text("Подп. и дата")}},
        {.range = "B16:B19", .merge = true, .format = {.vertical = V::Top}, .values = {Attr(P::aIndd)}},
        {.range = "A20:A22", .merge = true, .values = {Text("Инв. № дубл.")}},
        {.range = "B20:B22", .merge = true, .values = {Attr(P::aIndu)}},
        {.range = "A23:A26", .merge = true, .values = {Text("Взам. инв. №")}},
        {.range = "B23:B26", .merge = true, .values = {Attr(P::aInvz)}},
        {.range = "A27:A31", .merge = true, .values = {Text("Подп. и дата")}},
        {.range = "B27:B31", .merge = true, .format = {.vertical = V::Top}, .values = {Attr(P::aInpd)}},
        {.range = "A32:A36", .merge = true, .values = {Text("Инв. № подл.")}},
        {.range = "B32:B36", .merge = true, .values = {Attr(P::aInpo)}},
    };
    return steps;
}

const std::vector<CellStep>& SheetFootSteps() {
    static const std::vector<CellStep> steps = {
        {.range = "32:36",
         .format = {.numberFormat = "General", .horizontal = H::Center, .vertical = V::Center, .wrap = false,
                    .shrink = false, .fontSize = 11, .bold = false, .italic = true, .underline = host::Underline::None,
                    .fontColor = host::Color::Rgb(0), .fill = host::Color::Auto()},
         .rowHeight = 15},
    };
    return steps;
}

const std::vector<CellStep>& LowerBindingMarginSteps() {
    static const std::vector<CellStep> steps = {
        // lower binding-margin fields
        {.range = "A31:A35", .merge = true, .values = {Text("Инв. № подл.")}},
        {.range = "B31:B35", .merge = true, .values = {Attr(P::aInpo)}},
        {.range = "A27:A30", .merge = true, .values = {Text("Подп. и дата")}},
        {.range = "B27:B30", .merge = true, .format = {.vertical = V::Top}, .values = {Attr(P::aInpd)}},
        {.range = "A24:A26", .merge = true, .values = {Text("Взам. инв. №")}},
        {.range = "B24:B26", .merge = true, .format = {.vertical = V::Top}, .values = {Attr(P::aInvz)}},
    };
    return steps;
}

}  // namespace ormelin::forming
