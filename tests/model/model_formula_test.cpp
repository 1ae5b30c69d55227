// Formulas in the embedded model: what they show, and how their references
// follow insertions, deletions and renamed or deleted sheets.
#include <gtest/gtest.h>

#include "model/model_fixture.hpp"

namespace ormelin::test {
namespace {

using host::Area;
using host::CellContent;
using host::Value;

/// A workbook with the document sheet "Лист1" and the register sheet "список",
/// whose row 7 holds a document's attributes.
class ModelFormulaTest : public ModelTest {
protected:
    ModelFormulaTest() : list(book->AddNamed("список")) {
        list->SetLiteral(Area{6, 3, 6, 3}, std::string("АБВГ.000000.000"));
        list->SetLiteral(Area{7, 3, 7, 3}, std::string("АБВГ.468332.001"));
        list->SetLiteral(Area{7, 4, 7, 4}, std::string("Блок питания"));
        list->SetLiteral(Area{7, 7, 7, 7}, std::string("АБВГ.468000.001"));
        list->SetLiteral(Area{7, 8, 7, 8}, std::string("ПР-17"));
    }
    std::string Formula(int row, int column) const { return ws->Content(row, column).formula; }

    std::shared_ptr<model::ModelWorksheet> list;
};

// ---------------------------------------------------------------- evaluation

TEST_F(ModelFormulaTest, RegisterReferencesShowTheRegisterCell) {
    R("E5").SetValue(std::string("=список!R7C3"));
    EXPECT_EQ(Formula(5, 5), "=список!R7C3");
    EXPECT_EQ(ws->CellText(5, 5), "АБВГ.468332.001");
    EXPECT_EQ(std::get<std::string>(ws->Content(5, 5).value), "АБВГ.468332.001");
    EXPECT_EQ(R("E5").Text(), std::optional<std::string>("АБВГ.468332.001"));
    // a merged title field: the formula stands in the top-left cell
    R("E5:K6").Merge();
    EXPECT_EQ(R("E5:K6").Text(), std::nullopt);  // the other cells show nothing
    EXPECT_EQ(Txt("E5"), "АБВГ.468332.001");
    // the title follows a later edit of the register row
    list->SetLiteral(Area{7, 3, 7, 3}, std::string("АБВГ.468332.002"));
    EXPECT_EQ(ws->CellText(5, 5), "АБВГ.468332.002");
    // an empty register cell shows nothing (its value is 0 when displayed as a number)
    R("A1").SetValue(std::string("=список!R20C3"));
    EXPECT_EQ(ws->CellText(1, 1), "0");
    ws->View().displayZeros = false;
    EXPECT_EQ(ws->CellText(1, 1), "");
}

TEST_F(ModelFormulaTest, FirstUseFormulaJoinsTwoRegisterCellsWithFiveBlanks) {
    R("W2").SetValue(std::string("=список!R7C7 & \"     \" & список!R7C8"));
    EXPECT_EQ(Txt("W2"), "АБВГ.468000.001     ПР-17");
    list->ClearContents(Area{7, 7, 7, 8});
    EXPECT_EQ(Txt("W2"), "     ");
}

TEST_F(ModelFormulaTest, ChangeRegistrationFormulasFollowTheCellsToTheLeft) {
    R("E5").SetValue(std::string("=IF(RC[-2]=\"\",\"\",\"-\")"));
    R("J5").SetValue(std::string("=IF(RC[-7]=\"\",\"\",\"Все\")"));
    R("U5").SetValue(std::string("=IF(RC[-1]=\"\",\"\",\"-\")"));
    // nothing filled in: the cells show the empty text, as a test for "" expects
    EXPECT_EQ(Txt("E5"), "");
    EXPECT_EQ(R("E5:U5").Text(), std::optional<std::string>(""));
    EXPECT_EQ(std::get<std::string>(ws->Content(5, 5).value), "");
    R("C5").SetValue(std::string("3"));
    EXPECT_EQ(Txt("E5"), "-");
    EXPECT_EQ(Txt("J5"), "Все");
    EXPECT_EQ(Txt("U5"), "");
    R("T5").SetValue(1.0);
    EXPECT_EQ(Txt("U5"), "-");
    // group-specification form: the change number three rows up
    R("E6").SetValue(std::string("=IF(R[-3]C=\"\",\"\",\"-\")"));
    EXPECT_EQ(Txt("E6"), "");
    R("E3").SetValue(std::string("1"));
    EXPECT_EQ(Txt("E6"), "-");
}

TEST_F(ModelFormulaTest, ResultsUseTheCellsNumberFormat) {
    R("B1").SetValue(0.25);
    R("A1").SetValue(std::string("=R1C2*2"));
    EXPECT_EQ(Txt("A1"), "0.5");
    R("A1").NumberFormat("0%");
    EXPECT_EQ(Txt("A1"), "50%");
    R("A2").SetValue(std::string("=R1C2-R1C2"));
    EXPECT_EQ(Txt("A2"), "0");
    ws->View().displayZeros = false;
    EXPECT_EQ(Txt("A2"), "");
    R("A3").SetValue(std::string("=1/0"));
    EXPECT_EQ(Txt("A3"), "#DIV/0!");
}

TEST_F(ModelFormulaTest, OtherSheetsAreFoundByNameWithoutRegardToCase) {
    auto spaced = book->AddNamed("Мой список");
    spaced->SetLiteral(Area{1, 1, 1, 1}, std::string("с пробелом"));
    auto quote = book->AddNamed("Д'Артаньян");
    quote->SetLiteral(Area{2, 2, 2, 2}, 42.0);
    R("A1").SetValue(std::string("=СПИСОК!R7C4"));
    R("A2").SetValue(std::string("='мой СПИСОК'!R1C1"));
    R("A3").SetValue(std::string("='Д''Артаньян'!R2C2+1"));
    R("A4").SetValue(std::string("=Нет!R1C1"));
    EXPECT_EQ(Txt("A1"), "Блок питания");
    EXPECT_EQ(Txt("A2"), "с пробелом");
    EXPECT_EQ(Txt("A3"), "43");
    EXPECT_EQ(Txt("A4"), "#REF!");
}

TEST_F(ModelFormulaTest, SheetsFoundByTheWorkbookAreFoundByFormulasToo) {
    // the workbook and the formulas fold case by one rule, Ukrainian letters included
    auto chart = book->AddNamed("Ґрафік");
    chart->SetLiteral(Area{1, 1, 1, 1}, std::string("план"));
    EXPECT_EQ(book->FindSheet("ґрафік"), chart);
    R("A1").SetValue(std::string("='ґрафік'!R1C1"));
    R("A2").SetValue(std::string("=ҐРАФІК!R1C1"));
    EXPECT_EQ(Txt("A1"), "план");
    EXPECT_EQ(Txt("A2"), "план");
    // a sheet whose name reads as a cell stays quoted when a rename writes it
    chart->Name("A1");
    EXPECT_EQ(Formula(1, 1), "='A1'!R1C1");
    EXPECT_EQ(Txt("A1"), "план");
    chart->Name("RC");
    EXPECT_EQ(Formula(2, 1), "='RC'!R1C1");
    EXPECT_EQ(Txt("A2"), "план");
}

TEST_F(ModelFormulaTest, LongChainsOfFormulasWithoutCachedValuesAreComputed) {
    // a running total of 300 rows, as openpyxl writes it: formulas, no cached values
    ws->SetLiteral(Area{1, 1, 1, 1}, 1.0);
    for (int r = 2; r <= 300; ++r) ws->SetFormula(r, 1, "=R[-1]C+1", Value{});
    EXPECT_EQ(Txt("A300"), "300");
    EXPECT_EQ(Txt("A129"), "129");
    EXPECT_EQ(std::get<double>(ws->Content(300, 1).value), 300.0);
    // a chain across two sheets
    for (int r = 1; r <= 300; ++r) list->SetFormula(r, 10, "=Лист1!R" + std::to_string(r) + "C1*2", Value{});
    EXPECT_EQ(list->CellText(300, 10), "600");
    // a loop longer than one evaluation follows ends, showing the cached value
    ws->SetFormula(1, 2, "=R300C+1", Value{7.0});
    for (int r = 2; r <= 300; ++r) ws->SetFormula(r, 2, "=R[-1]C+1", Value{});
    EXPECT_EQ(Txt("B1"), "7");
}

TEST_F(ModelFormulaTest, FormulasReadFormulasInTurn) {
    list->SetValue(Area{1, 1, 1, 1}, std::string("=R7C3&\" (\"&R7C4&\")\""));
    R("A1").SetValue(std::string("=список!R1C1"));
    R("A2").SetValue(std::string("=LEN(R1C1)"));
    EXPECT_EQ(Txt("A1"), "АБВГ.468332.001 (Блок питания)");
    EXPECT_EQ(Txt("A2"), "30");
    // a diamond of references is read once per cell, not once per path
    for (int r = 10; r <= 40; ++r) R("A" + std::to_string(r)).SetValue(std::string("=R[-1]C+R[-1]C"));
    R("A9").SetValue(1.0);
    EXPECT_EQ(Txt("A40"), "2147483648");
}

TEST_F(ModelFormulaTest, UnknownFunctionKeepsTheCachedValue) {
    ws->LoadCell(1, 1, CellContent{std::string("из файла"), "=ВПР(R1C2,список!C1:C3,2)"}, 0);
    ws->SetFormula(2, 1, "=CUSTOMFN(1)", 12.0);
    EXPECT_EQ(Txt("A1"), "из файла");
    EXPECT_EQ(std::get<std::string>(ws->Content(1, 1).value), "из файла");
    EXPECT_EQ(Txt("A2"), "12");
    // a formula that reads it sees the cached value too
    R("A3").SetValue(std::string("=R2C1*2"));
    EXPECT_EQ(Txt("A3"), "24");
}

TEST_F(ModelFormulaTest, CircularReferencesShowTheCachedValueAndEnd) {
    ws->SetFormula(1, 1, "=R2C1+1", 7.0);
    ws->SetFormula(2, 1, "=R1C1+1", 8.0);
    ws->SetFormula(3, 1, "=R3C1", Value{});
    EXPECT_EQ(Txt("A1"), "7");
    EXPECT_EQ(Txt("A2"), "8");
    EXPECT_EQ(Txt("A3"), "");
    // a cycle across sheets
    list->SetFormula(1, 1, "=Лист1!R4C1", std::string("кэш"));
    ws->SetFormula(4, 1, "=список!R1C1", std::string("тоже"));
    EXPECT_EQ(Txt("A4"), "тоже");
    EXPECT_EQ(list->CellText(1, 1), "кэш");
    // a chain far longer than the evaluation follows ends without exhausting the stack
    R("B1").SetValue(1.0);
    R("B2:B5000").SetValue(std::string("=R[-1]C+1"));
    Value last = ws->Content(5000, 2).value;
    ASSERT_TRUE(std::holds_alternative<double>(last));
    EXPECT_GT(std::get<double>(last), 100.0);
}

TEST_F(ModelFormulaTest, LiteralsAndTextCellsAreNeverFormulas) {
    ws->SetLiteral(Area{1, 1, 1, 1}, std::string("=список!R7C3"));
    EXPECT_EQ(Formula(1, 1), "");
    EXPECT_EQ(Txt("A1"), "=список!R7C3");
    R("A2").NumberFormat("@");
    R("A2").SetValue(std::string("=список!R7C3"));
    EXPECT_EQ(Txt("A2"), "=список!R7C3");
    // neither moves with the register
    list->DeleteRows(1, 1);
    EXPECT_EQ(Txt("A1"), "=список!R7C3");
    EXPECT_EQ(Txt("A2"), "=список!R7C3");
}

TEST_F(ModelFormulaTest, TheFileLayerSeesCurrentResults) {
    R("B2").SetValue(std::string("=список!R7C4"));
    std::string seen;
    ws->ForEachCell([&](int row, int column, const CellContent& c, model::StyleId) {
        if (row == 2 && column == 2) seen = std::get<std::string>(c.value);
    });
    EXPECT_EQ(seen, "Блок питания");
}

// ---------------------------------------------------------------- references follow the sheet

TEST_F(ModelFormulaTest, TitleCellFollowsDeletedAndInsertedRegisterRows) {
    R("E5").SetValue(std::string("=список!R7C3"));
    list->DeleteRows(3, 1);
    EXPECT_EQ(Formula(5, 5), "=список!R6C3");
    EXPECT_EQ(Txt("E5"), "АБВГ.468332.001");
    list->InsertRows(1, 4);
    EXPECT_EQ(Formula(5, 5), "=список!R10C3");
    EXPECT_EQ(Txt("E5"), "АБВГ.468332.001");
    // rows below the reference change nothing
    list->InsertRows(11, 2);
    list->DeleteRows(20, 3);
    EXPECT_EQ(Formula(5, 5), "=список!R10C3");
    // the referenced row itself goes: the reference is lost
    list->DeleteRows(9, 2);
    EXPECT_EQ(Formula(5, 5), "=список!#REF!");
    EXPECT_EQ(Txt("E5"), "#REF!");
}

TEST_F(ModelFormulaTest, FormulasFollowRegisterColumns) {
    R("W2").SetValue(std::string("=список!R7C7 & \"     \" & список!R7C8"));
    list->InsertColumns(5, 2);
    EXPECT_EQ(Formula(2, 23), "=список!R7C9 & \"     \" & список!R7C10");
    EXPECT_EQ(Txt("W2"), "АБВГ.468000.001     ПР-17");
    list->DeleteColumns(1, 1);
    EXPECT_EQ(Formula(2, 23), "=список!R7C8 & \"     \" & список!R7C9");
    list->DeleteColumns(9, 1);
    EXPECT_EQ(Formula(2, 23), "=список!R7C8 & \"     \" & список!#REF!");
    EXPECT_EQ(Txt("W2"), "#REF!");
}

TEST_F(ModelFormulaTest, RelativeRowReferenceKeepsItsTarget) {
    R("A3").SetValue(std::string("верх"));
    R("A5").SetValue(std::string("=R[-2]C"));
    ws->InsertRows(4, 2);  // between the formula and its target
    EXPECT_EQ(Txt("A3"), "верх");
    EXPECT_EQ(Formula(7, 1), "=R[-4]C");
    EXPECT_EQ(Txt("A7"), "верх");
    ws->InsertRows(1, 1);  // above both: the offset stays
    EXPECT_EQ(Formula(8, 1), "=R[-4]C");
    EXPECT_EQ(Txt("A8"), "верх");
    ws->DeleteRows(5, 2);  // between again
    EXPECT_EQ(Formula(6, 1), "=R[-2]C");
    EXPECT_EQ(Txt("A6"), "верх");
    ws->InsertRows(7, 3);  // below both
    EXPECT_EQ(Formula(6, 1), "=R[-2]C");
    ws->DeleteRows(4, 1);  // the target
    EXPECT_EQ(Formula(5, 1), "=#REF!");
    EXPECT_EQ(Txt("A5"), "#REF!");
}

TEST_F(ModelFormulaTest, ChangeRegistrationFormulaFollowsInsertedColumns) {
    R("E5").SetValue(std::string("=IF(RC[-2]=\"\",\"\",\"-\")"));
    R("C5").SetValue(std::string("1"));
    EXPECT_EQ(Txt("E5"), "-");
    ws->InsertColumns(1, 1);  // left of both: the offset is unchanged
    EXPECT_EQ(Formula(5, 6), "=IF(RC[-2]=\"\",\"\",\"-\")");
    EXPECT_EQ(Txt("F5"), "-");
    ws->InsertColumns(5, 2);  // between them: the offset grows
    EXPECT_EQ(Formula(5, 8), "=IF(RC[-4]=\"\",\"\",\"-\")");
    EXPECT_EQ(Txt("H5"), "-");
    ws->ClearContents(Area{5, 4, 5, 4});
    EXPECT_EQ(Txt("H5"), "");
    ws->RangeAt("D5").SetValue(std::string("2"));
    ws->DeleteColumns(5, 1);  // between them again
    EXPECT_EQ(Formula(5, 7), "=IF(RC[-3]=\"\",\"\",\"-\")");
    EXPECT_EQ(Txt("G5"), "-");
    ws->InsertRows(2, 10);  // rows do not touch it
    EXPECT_EQ(Formula(15, 7), "=IF(RC[-3]=\"\",\"\",\"-\")");
    EXPECT_EQ(Txt("G15"), "-");
    ws->DeleteColumns(4, 1);  // the cell it tests
    EXPECT_EQ(Formula(15, 6), "=IF(#REF!=\"\",\"\",\"-\")");
    EXPECT_EQ(Txt("F15"), "#REF!");
}

TEST_F(ModelFormulaTest, AbsoluteOwnSheetReferencesMove) {
    R("B10").SetValue(5.0);
    R("A1").SetValue(std::string("=R10C2*2"));
    R("A2").SetValue(std::string("=SUM(R8C2:R12C2)"));
    ws->InsertRows(5, 3);
    EXPECT_EQ(Formula(1, 1), "=R13C2*2");
    EXPECT_EQ(Formula(2, 1), "=SUM(R11C2:R15C2)");
    EXPECT_EQ(Txt("A1"), "10");
    ws->InsertColumns(1, 1);
    EXPECT_EQ(Formula(1, 2), "=R13C3*2");
    EXPECT_EQ(Txt("B1"), "10");
    ws->DeleteRows(12, 2);  // part of the range and its cell
    EXPECT_EQ(Formula(1, 2), "=#REF!*2");
    EXPECT_EQ(Formula(2, 2), "=SUM(R11C3:R13C3)");
}

TEST_F(ModelFormulaTest, OffsetsIntoOtherSheetsFollowTheFormulasOwnMove) {
    // the formula moves with its sheet, the register cell it points at does not
    R("A5").SetValue(std::string("=список!R[2]C[2]"));
    EXPECT_EQ(Txt("A5"), "АБВГ.468332.001");
    ws->InsertRows(1, 2);
    EXPECT_EQ(Formula(7, 1), "=список!RC[2]");
    EXPECT_EQ(Txt("A7"), "АБВГ.468332.001");
    ws->InsertColumns(1, 1);
    EXPECT_EQ(Formula(7, 2), "=список!RC[1]");
    EXPECT_EQ(Txt("B7"), "АБВГ.468332.001");
    // a formula naming its own sheet moves as an own-sheet one
    R("C1").SetValue(std::string("=Лист1!R7C2"));
    ws->InsertRows(1, 1);
    EXPECT_EQ(Formula(2, 3), "=Лист1!R8C2");
    EXPECT_EQ(Txt("C2"), "АБВГ.468332.001");
}

TEST_F(ModelFormulaTest, DeletedSheetLeavesLostReferences) {
    auto other = book->AddNamed("Прочее");
    other->SetValue(Area{1, 1, 1, 1}, std::string("=список!R7C3"));
    R("E5").SetValue(std::string("=список!R7C3&\"/\"&R1C1"));
    list->Delete();
    EXPECT_EQ(Formula(5, 5), "=#REF!&\"/\"&R1C1");
    EXPECT_EQ(Txt("E5"), "#REF!");
    EXPECT_EQ(other->Content(1, 1).formula, "=#REF!");
    // a new sheet of that name does not bring the references back
    auto again = book->AddNamed("список");
    again->SetLiteral(Area{7, 3, 7, 3}, std::string("новый"));
    EXPECT_EQ(Txt("E5"), "#REF!");
}

TEST_F(ModelFormulaTest, RenamedSheetRenamesReferences) {
    R("E5").SetValue(std::string("=список!R7C3"));
    R("E6").SetValue(std::string("=СПИСОК!R7C4"));
    list->Name("Реестр документов");
    EXPECT_EQ(Formula(5, 5), "='Реестр документов'!R7C3");
    EXPECT_EQ(Formula(6, 5), "='Реестр документов'!R7C4");
    EXPECT_EQ(Txt("E5"), "АБВГ.468332.001");
    EXPECT_EQ(Txt("E6"), "Блок питания");
    // the counts follow the new name: a later deletion still reaches the formula
    list->DeleteRows(1, 1);
    EXPECT_EQ(Formula(5, 5), "='Реестр документов'!R6C3");
    // a lost reference keeps its sheet's name, which follows a rename
    list->DeleteRows(6, 1);
    EXPECT_EQ(Formula(5, 5), "='Реестр документов'!#REF!");
    list->Name("список");
    EXPECT_EQ(Formula(5, 5), "=список!#REF!");
    EXPECT_EQ(Formula(6, 5), "=список!#REF!");
}

TEST_F(ModelFormulaTest, LoadedAndCopiedFormulasAreFollowedToo) {
    // the file loader writes cells directly
    ws->LoadCell(3, 3, CellContent{std::string("кэш"), "=список!R7C3"}, 0);
    auto other = book->AddNamed("Копия");
    ws->CopyTo(Area{3, 3, 3, 3}, *other, 10, 10);
    EXPECT_EQ(other->Content(10, 10).formula, "=список!R7C3");
    list->DeleteRows(1, 2);
    EXPECT_EQ(Formula(3, 3), "=список!R5C3");
    EXPECT_EQ(other->Content(10, 10).formula, "=список!R5C3");
    EXPECT_EQ(Txt("C3"), "АБВГ.468332.001");
    // a copied relative formula points at the cells at the same offsets
    R("A1").SetValue(std::string("верх"));
    R("A2").SetValue(std::string("=R[-1]C"));
    ws->CopyTo(Area{1, 1, 2, 1}, *other, 1, 1);
    EXPECT_EQ(other->CellText(2, 1), "верх");
    other->InsertRows(2, 1);
    EXPECT_EQ(other->Content(3, 1).formula, "=R[-2]C");
    EXPECT_EQ(other->CellText(3, 1), "верх");
}

TEST_F(ModelFormulaTest, ChangesInASheetWithoutSensitiveFormulasLeaveThemAlone) {
    // absolute references into another sheet and same-row offsets
    R("E5").SetValue(std::string("=список!R7C3"));
    R("E6").SetValue(std::string("=IF(RC[-2]=\"\",\"\",\"-\")"));
    auto third = book->AddNamed("Третий");
    third->SetValue(Area{2, 2, 2, 2}, std::string("=список!R7C4"));
    ws->InsertRows(1, 3);
    ws->DeleteRows(2, 1);
    EXPECT_EQ(Formula(7, 5), "=список!R7C3");
    EXPECT_EQ(Formula(8, 5), "=IF(RC[-2]=\"\",\"\",\"-\")");
    EXPECT_EQ(Txt("E7"), "АБВГ.468332.001");
    EXPECT_EQ(third->Content(2, 2).formula, "=список!R7C4");
    // changes in the third sheet leave the document alone
    third->InsertRows(1, 5);
    third->InsertColumns(1, 5);
    EXPECT_EQ(Formula(7, 5), "=список!R7C3");
    EXPECT_EQ(third->Content(7, 7).formula, "=список!R7C4");
    EXPECT_EQ(third->CellText(7, 7), "Блок питания");
}

TEST_F(ModelFormulaTest, FormulasInDeletedRowsGoWithThem) {
    R("A3").SetValue(std::string("=R[1]C"));
    R("A4").SetValue(std::string("x"));
    R("A10").SetValue(std::string("=R3C1&R4C1"));
    ws->DeleteRows(3, 1);
    EXPECT_EQ(Formula(3, 1), "");
    EXPECT_EQ(Txt("A3"), "x");
    EXPECT_EQ(Formula(9, 1), "=#REF!&R3C1");
}

TEST_F(ModelFormulaTest, ReferenceOffTheSheetSurvivesInsertionAndDeletion) {
    // "one column to the left" in column A names no cell
    R("A5").SetValue(std::string("=R[1]C[-1]"));
    R("A6").SetValue(std::string("x"));
    EXPECT_EQ(Txt("A5"), "#REF!");
    ws->InsertColumns(1, 2);
    EXPECT_EQ(Txt("C5"), "#REF!");  // it does not come to name the new column B
    ws->InsertRows(1, 1);
    ws->DeleteRows(1, 1);
    ws->DeleteColumns(1, 2);
    EXPECT_EQ(Formula(5, 1), "=R[1]C[-1]");
    EXPECT_EQ(Txt("A5"), "#REF!");
}

TEST_F(ModelFormulaTest, ShiftedCellsCarryReferencesWithThem) {
    R("B5").SetValue(std::string("пять"));
    R("A1").SetValue(std::string("=R5C2"));
    ws->InsertCells(Area{3, 2, 4, 2}, host::Shift::Down);
    EXPECT_EQ(Formula(1, 1), "=R7C2");
    EXPECT_EQ(Txt("A1"), "пять");
    ws->DeleteCells(Area{1, 2, 2, 2}, host::Shift::Up);
    EXPECT_EQ(Formula(1, 1), "=R5C2");
    EXPECT_EQ(Txt("A1"), "пять");
    ws->DeleteCells(Area{5, 2, 5, 2}, host::Shift::Up);
    EXPECT_EQ(Formula(1, 1), "=#REF!");
    // cells shifted right
    R("C2").SetValue(std::string("два"));
    R("A2").SetValue(std::string("=RC[2]"));
    ws->InsertCells(Area{2, 2, 2, 2}, host::Shift::Right);
    EXPECT_EQ(Formula(2, 1), "=RC[3]");
    EXPECT_EQ(Txt("A2"), "два");
}

}  // namespace
}  // namespace ormelin::test
