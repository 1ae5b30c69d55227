// The register, transfer and lifecycle modules on a model workbook, without the
// service object: the register a lookup finds, the row of a document by its sheet
// name, records written and read through a register laid out in another order,
// and the references after a register row has been deleted.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "attributes/lifecycle.hpp"
#include "attributes/register.hpp"
#include "attributes/register_fixture.hpp"
#include "attributes/transfer.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/model.hpp"

namespace ormelin {
namespace {

using testing_support::kRegisterTitles;
using WsRef = std::shared_ptr<host::Worksheet>;

class RegisterModule : public ::testing::Test {
protected:
    std::shared_ptr<model::ScriptedUi> ui = std::make_shared<model::ScriptedUi>();
    model::ModelApplication app{ui};
    std::shared_ptr<model::ModelWorkbook> book = app.NewWorkbook();
    WsRef ws = book->Sheet(1);  // "Лист1"

    /// A sheet "список" in front of a workbook, with the titles in row 1 from A on
    /// (an empty title leaves its cell empty).
    static WsRef MakeRegister(model::ModelWorkbook& in, const std::vector<std::string>& titles) {
        auto reg = in.Add(in.Sheet(1).get(), nullptr);
        reg->Name("список");
        for (std::size_t i = 0; i < titles.size(); ++i)
            if (!titles[i].empty()) Put(reg, 1, static_cast<int>(i) + 1, titles[i]);
        return reg;
    }
    static void Put(const WsRef& sheet, int row, int column, const std::string& text) {
        sheet->SetLiteral(host::Area{row, column, row, column}, text);
    }
    WsRef AddSheet(const std::string& name) {
        auto s = book->Add(nullptr, book->Sheet(book->Count()).get());
        s->Name(name);
        return s;
    }
    /// The column of row 1 showing the title, 0 when none does.
    static int ColumnTitled(const WsRef& reg, const std::string& title) {
        for (int c = 1; c <= reg->UsedRange().c2; ++c)
            if (reg->CellText(1, c) == title) return c;
        return 0;
    }
};

/// The attributes the register keeps for a document besides its file and sheet.
const std::vector<AttrProp> kRegisterBacked = {
    AttrProp::aOboz, AttrProp::aNaim, AttrProp::aProj, AttrProp::aPerv, AttrProp::aIzme, AttrProp::aIzml,
    AttrProp::aNdoc, AttrProp::aIzmd, AttrProp::aDesi, AttrProp::aChec, AttrProp::aAddb, AttrProp::aAddf,
    AttrProp::aNcon, AttrProp::aAppr, AttrProp::aDesd, AttrProp::aChed, AttrProp::aAddd, AttrProp::aNcod,
    AttrProp::aAppd, AttrProp::aLite, AttrProp::aFirm, AttrProp::aSpra, AttrProp::aAlit, AttrProp::aAdoc,
    AttrProp::aIcus, AttrProp::aInpo, AttrProp::aInpd, AttrProp::aInvz, AttrProp::aIndu, AttrProp::aIndd};

// ------------------------------------------------------------------ the register of a workbook

TEST_F(RegisterModule, LookupReadsTheDocumentsOwnWorkbookAndWithoutOneTheActive) {
    auto ownReg = MakeRegister(*book, {"", "", "", "Лист", "Обозначение"});
    Put(ownReg, 3, 4, "Лист1");
    auto other = app.NewWorkbook();  // active now, with a register of its own
    auto otherReg = MakeRegister(*other, kRegisterTitles);
    Put(otherReg, 2, 2, "Лист1");
    ASSERT_EQ(app.ActiveWorkbook(), other);

    const attributes::RowLookup found = attributes::FindRow(app, ws.get(), false);
    EXPECT_EQ(found.reg.sheet, ownReg);
    EXPECT_EQ(found.reg.Column(spShee), 4);
    EXPECT_EQ(found.reg.Column(spOboz), 5);
    ASSERT_TRUE(found.row);
    EXPECT_EQ(found.row->Row(), 3);

    const attributes::RowLookup active = attributes::FindRow(app, nullptr, true);
    EXPECT_EQ(active.reg.sheet, otherReg);
    EXPECT_EQ(active.reg.Column(spShee), 2);  // the map is read even without a document
    EXPECT_FALSE(active.row);                 // but there is no document to give a row
}

TEST_F(RegisterModule, WorkbookWithoutARegisterHasNoRowEvenToCreate) {
    const attributes::RowLookup found = attributes::FindRow(app, ws.get(), true);
    EXPECT_FALSE(found.reg);
    EXPECT_FALSE(found.row);
    for (int c : found.reg.columns) EXPECT_EQ(c, 0);
    // a sheet named like the register in another case is not it
    book->Add(nullptr, ws.get())->Name("Список");
    EXPECT_FALSE(attributes::RegisterOf(*book));
}

TEST_F(RegisterModule, CreatedRegisterIsReadBackWholeByTheColumnMap) {
    Put(ws, 1, 1, "данные");  // not blank: the register is added in front
    attributes::FindSPIS(app, book);
    EXPECT_TRUE(ui->messages.empty());
    ASSERT_EQ(book->Count(), 2);
    auto reg = book->Sheet(1);
    EXPECT_EQ(reg->Name(), "список");
    EXPECT_EQ(ws->CellText(1, 1), "данные");

    attributes::ColumnMap map{};
    attributes::ScanColumnMap(*reg, map);
    std::set<int> columns(map.begin(), map.end());
    EXPECT_EQ(columns.size(), map.size()) << "every title the register is created with is read, each in its own column";
    EXPECT_EQ(columns.count(0), 0u);
    EXPECT_EQ(*columns.rbegin(), reg->UsedRange().c2);
}

TEST_F(RegisterModule, FindSpisReportsUnderItsOwnNameAndReturns) {
    attributes::FindSPIS(app, nullptr);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text.rfind("FindSPIS: ", 0), 0u);
    EXPECT_EQ(book->Count(), 1);
}

TEST_F(RegisterModule, ColumnMapScanForgetsTheColumnsOfAnEarlierRegister) {
    auto reg = MakeRegister(*book, {"Лист", "Обозначение"});
    attributes::ColumnMap map{};
    map.fill(7);
    attributes::ScanColumnMap(*reg, map);
    EXPECT_EQ(map[spShee], 1);
    EXPECT_EQ(map[spOboz], 2);
    EXPECT_EQ(map[spNaim], 0);
    EXPECT_EQ(map[spFile], 0);
}

// ------------------------------------------------------------------ the row of a document

TEST_F(RegisterModule, RowIsTheFirstShowingTheExactSheetName) {
    auto reg = MakeRegister(*book, kRegisterTitles);
    Put(reg, 2, 2, "лист1");
    Put(reg, 3, 2, " Лист1");
    Put(reg, 4, 2, "Лист1");
    Put(reg, 5, 2, "Лист1");
    const attributes::RowLookup found = attributes::FindRow(app, ws.get(), true);
    ASSERT_TRUE(found.row);
    EXPECT_EQ(found.row->Row(), 4);
    EXPECT_EQ(attributes::RowOfSheet(found.reg, "Лист1", 3), 0);  // the search ends at the given last row
    EXPECT_EQ(attributes::RowOfSheet(found.reg, "Лист1", 5), 4);
}

TEST_F(RegisterModule, RenamedSheetLosesItsRowAndCreateOffersTheFirstFreeOne) {
    auto reg = MakeRegister(*book, kRegisterTitles);
    Put(reg, 2, 2, "Лист1");
    Put(reg, 4, 2, "Другой");  // row 3 left empty
    ws->Name("Спецификация");
    EXPECT_FALSE(attributes::FindRow(app, ws.get(), false).row);
    const attributes::RowLookup created = attributes::FindRow(app, ws.get(), true);
    ASSERT_TRUE(created.row);
    EXPECT_EQ(created.row->Row(), 5);
}

TEST_F(RegisterModule, WithoutASheetColumnNoDocumentIsFound) {
    auto reg = MakeRegister(*book, {"Файл", "Листы", "Обозначение"});
    Put(reg, 2, 2, "Лист1");
    EXPECT_FALSE(attributes::FindRow(app, ws.get(), false).row);
    const attributes::RowLookup created = attributes::FindRow(app, ws.get(), true);
    ASSERT_TRUE(created.row);
    EXPECT_EQ(created.row->Row(), 3);
    EXPECT_FALSE(attributes::SheetCell(created.reg, *created.row));  // and no cell names it
}

TEST_F(RegisterModule, SheetCellIsTheRowsCellInTheSheetColumn) {
    auto reg = MakeRegister(*book, {"Обозначение", "", "Лист"});
    Put(reg, 2, 3, "Лист1");
    const attributes::RowLookup found = attributes::FindRow(app, ws.get(), false);
    ASSERT_TRUE(found.row);
    const auto cell = attributes::SheetCell(found.reg, *found.row);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Row(), 2);
    EXPECT_EQ(cell->Column(), 3);
}

// ------------------------------------------------------------------ transfer on a register

TEST_F(RegisterModule, RecordRoundTripsThroughARegisterInReverseOrder) {
    std::vector<std::string> reversed(kRegisterTitles.rbegin(), kRegisterTitles.rend());
    auto reg = MakeRegister(*book, reversed);
    AttrDoc record;
    for (std::size_t i = 0; i < kRegisterBacked.size(); ++i)
        record.Let(kRegisterBacked[i], "значение " + std::to_string(i + 1));

    const attributes::RowLookup row = attributes::FindRow(app, ws.get(), true);
    ASSERT_TRUE(row.row);
    EXPECT_EQ(row.row->Row(), 2);
    attributes::AttribsToSPIS(row.reg, 2, *ws, record);
    EXPECT_EQ(reg->CellText(2, ColumnTitled(reg, "Файл")), "Книга1.xlsx");
    EXPECT_EQ(reg->CellText(2, ColumnTitled(reg, "Лист")), "Лист1");
    EXPECT_EQ(reg->CellText(2, ColumnTitled(reg, "Обозначение")), "значение 1");
    EXPECT_EQ(reg->CellText(2, ColumnTitled(reg, "Наименование")), "значение 2");
    EXPECT_EQ(reg->CellText(2, ColumnTitled(reg, "Проект")), "значение 3");

    // the row written is now the document's row, and reads back whole
    const attributes::RowLookup again = attributes::FindRow(app, ws.get(), false);
    ASSERT_TRUE(again.row);
    EXPECT_EQ(again.row->Row(), 2);
    AttrDoc back;
    attributes::AttribsFromSPIS(again.reg, 2, *ws, back);
    EXPECT_EQ(back.aFile(), "Книга1");
    EXPECT_EQ(back.aShee(), "Лист1");
    for (AttrProp p : kRegisterBacked) EXPECT_EQ(back.Get(p), record.Get(p)) << Info(p).name;
}

TEST_F(RegisterModule, ColumnsTheHeaderLacksAreNeitherWrittenNorRead) {
    auto reg = MakeRegister(*book, {"", "Лист", "Примечание", "Обозначение"});
    Put(reg, 2, 1, "чужое");
    Put(reg, 2, 2, "Лист1");
    Put(reg, 2, 3, "заметка");
    AttrDoc record;
    record.aOboz("АБВГ.1");
    record.aDesi("Иванов");
    const attributes::RowLookup found = attributes::FindRow(app, ws.get(), true);
    ASSERT_TRUE(found.row);
    attributes::AttribsToSPIS(found.reg, found.row->Row(), *ws, record);
    EXPECT_EQ(reg->CellText(2, 1), "чужое");
    EXPECT_EQ(reg->CellText(2, 3), "заметка");
    EXPECT_EQ(reg->CellText(2, 4), "АБВГ.1");
    EXPECT_EQ(reg->UsedRange().c2, 4);

    AttrDoc back;
    back.aDesi("прежний");
    attributes::AttribsFromSPIS(found.reg, 2, *ws, back);
    EXPECT_EQ(back.aOboz(), "АБВГ.1");
    EXPECT_EQ(back.aDesi(), "");  // a column the header lacks reads as empty
}

TEST_F(RegisterModule, ReferencesFollowTheRowAfterAnEarlierRowIsDeleted) {
    auto reg = MakeRegister(*book, kRegisterTitles);
    auto first = AddSheet("Спецификация");
    auto second = AddSheet("Перечень");
    Put(reg, 2, 2, "Спецификация");
    Put(reg, 3, 2, "Перечень");
    Put(reg, 3, 3, "АБВГ.2");

    AttrDoc ref;
    attributes::RowLookup before = attributes::FindRow(app, second.get(), false);
    ASSERT_TRUE(before.row);
    attributes::AttribsRefFromSPIS(before.reg, before.row->Row(), ref);
    EXPECT_EQ(ref.aOboz(), "=список!R3C3");

    ASSERT_TRUE(lifecycle::DocumentIsDelete(app, *first, reg.get()));  // the scripted answer is OK
    EXPECT_TRUE(first->IsDeleted());
    attributes::RowLookup after = attributes::FindRow(app, second.get(), false);
    ASSERT_TRUE(after.row);
    EXPECT_EQ(after.row->Row(), 2);
    attributes::AttribsRefFromSPIS(after.reg, after.row->Row(), ref);
    EXPECT_EQ(ref.aOboz(), "=список!R2C3");
    EXPECT_EQ(ref.aProj(), "список!R2C5");
    EXPECT_EQ(reg->CellText(2, 3), "АБВГ.2");  // the row the references point at holds the document
    EXPECT_FALSE(attributes::FindRow(app, first.get(), false).row);
}

TEST_F(RegisterModule, ReferringToNothingEmptiesOnlyTheRegisterBackedAttributes) {
    auto reg = MakeRegister(*book, kRegisterTitles);
    Put(reg, 2, 2, "Лист1");
    AttrDoc ref;
    ref.aJob1("Технолог");
    const attributes::RowLookup found = attributes::FindRow(app, ws.get(), false);
    ASSERT_TRUE(found.row);
    attributes::AttribsRefFromSPIS(found.reg, 2, ref);
    ASSERT_EQ(ref.aIndd(), "=список!R2C32");
    attributes::ReferToNothing(ref);
    for (AttrProp p : kRegisterBacked) EXPECT_EQ(ref.Get(p), "") << Info(p).name;
    EXPECT_EQ(ref.aJob1(), "Технолог");
}

// ------------------------------------------------------------------ lifecycle

TEST_F(RegisterModule, NewSheetIsAddedOnceUntilItIsRenamed) {
    EXPECT_TRUE(lifecycle::AddNewSheet(app, *book));
    EXPECT_FALSE(lifecycle::AddNewSheet(app, *book));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::Information);
    EXPECT_EQ(book->Count(), 2);  // no stray sheet under a default name
    book->Sheet(2)->Name("Спецификация");
    EXPECT_TRUE(lifecycle::AddNewSheet(app, *book));
    EXPECT_EQ(book->Sheet(3)->Name(), "Новый");
}

TEST_F(RegisterModule, DeletionWithoutARegisterFailsAndDeletesNothing) {
    EXPECT_THROW(lifecycle::DocumentIsDelete(app, *ws, nullptr), Error);
    EXPECT_FALSE(ws->IsDeleted());
    EXPECT_TRUE(ui->messages.empty());
}

}  // namespace
}  // namespace ormelin
