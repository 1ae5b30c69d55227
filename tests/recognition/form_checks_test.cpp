// DocumIsForm and CellSpis.
#include "attributes/register_fixture.hpp"

namespace ormelin::testing_support {
namespace {

class FormChecks : public RegisterTest {
protected:
    void Head(const std::vector<std::pair<const char*, const char*>>& cells) {
        for (const auto& [cell, text] : cells) Put(cell, std::string(text));
    }
};

// ------------------------------------------------------------------ DocumIsForm

TEST_F(FormChecks, EmptySheetIsNoDocument) {
    std::int32_t s = 99;
    EXPECT_EQ(k->DocumIsForm(ws, &s), -1);
    EXPECT_EQ(s, ksDOC_NO);
}

TEST_F(FormChecks, ListIsNotFormed) {
    WsRef w = ws;
    k->SPA_Blank(w);
    std::int32_t s = 0;
    EXPECT_EQ(k->DocumIsForm(ws, &s), 0);
    EXPECT_EQ(s, ksSPA_OT);
}

TEST_F(FormChecks, FormedListOfDataMediaIsFormed) {
    Head({{"C1", "№ строки"},
          {"D1", "Обозначение, имя файла,\nразмер файла (байт), контрольная сумма"},
          {"P1", "Наименование"},
          {"W1", "Примечание"}});
    std::int32_t s = 0;
    EXPECT_EQ(k->DocumIsForm(ws, &s), 1);
    EXPECT_EQ(s, ksVN_OF);
}

TEST_F(FormChecks, FormedConnectionTableIsFormed) {
    Head({{"C1", "Поз."}, {"D1", "Провод"}, {"H1", "Откуда идет"}, {"K1", "Куда поступает"}, {"L1", "Длина"},
          {"N1", "Примеч."}});
    std::int32_t s = 0;
    EXPECT_EQ(k->DocumIsForm(ws, &s), 1);
    EXPECT_EQ(s, ksTB_OF);
}

TEST_F(FormChecks, OlderConnectionTableIsNotCountedFormed) {
    Head({{"C1", "Поз."}, {"E1", "Провод"}, {"H1", "Откуда идет"}, {"K1", "Куда поступает"}, {"L1", "Длина"},
          {"N1", "Примеч."}});
    std::int32_t s = 0;
    EXPECT_EQ(k->DocumIsForm(ws, &s), 0);
    EXPECT_EQ(s, ksTB_OF_old);
}

TEST_F(FormChecks, FormedListOfElectronicOriginalsIsNotCountedFormed) {
    Head({{"C1", "Имя папки, файла"}, {"M1", "Размер,\nбайт"}, {"O1", "Контр.\nсумма"}});
    std::int32_t s = 0;
    EXPECT_EQ(k->DocumIsForm(ws, &s), 0);
    EXPECT_EQ(s, ksVEO_OF);
}

TEST_F(FormChecks, NoWorksheetMeansTheCurrentOne) {
    WsRef w = ws;
    k->VN_Blank(w);
    std::int32_t s = 0;
    EXPECT_EQ(k->DocumIsForm(nullptr, &s), 0);
    EXPECT_EQ(s, ksVN_OT);
    EXPECT_EQ(k->DocumIsForm(nullptr), 0);  // the code is optional
}

TEST_F(FormChecks, NoWorksheetAtAllIsNoDocument) {
    std::int32_t s = 5;
    EXPECT_EQ(k->DocumIsForm(nullptr, &s), -1);
    EXPECT_EQ(s, ksDOC_NO);
}

TEST_F(FormChecks, DispatchedCallWritesTheCodeBack) {
    WsRef w = ws;
    k->PE_Blank(w);
    std::vector<Variant> args{w, std::int32_t{0}};
    Variant result;
    ASSERT_TRUE(k->InvokeByName("DocumIsForm", args, &result).ok());
    EXPECT_EQ(std::get<std::int32_t>(result), 0);
    EXPECT_EQ(std::get<std::int32_t>(args[1]), ksPE_OT_1);
}

// ------------------------------------------------------------------ CellSpis

TEST_F(FormChecks, CellOfARegisteredDocumentIsItsSheetCell) {
    auto reg = MakeRegister({"Файл", "Обозначение", "Лист"});
    PutText(reg, 2, 3, "Другой");
    PutText(reg, 3, 3, "Лист1");
    PutText(reg, 4, 3, "Третий");
    WsRef w = ws;
    auto cell = k->CellSpis(w);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->SheetPtr(), reg);
    EXPECT_EQ(cell->area(), (host::Area{3, 3, 3, 3}));
    EXPECT_EQ(cell->Text(), "Лист1");
    ASSERT_TRUE(k->RegisterRow());
    EXPECT_EQ(k->RegisterRow()->Row(), 3);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(FormChecks, CellOfAnUnregisteredDocumentIsTheFirstEmptyRow) {
    auto reg = MakeRegister({"Файл", "Лист"});
    PutText(reg, 2, 2, "Другой");
    PutText(reg, 3, 2, "Третий");
    WsRef w = ws;
    auto cell = k->CellSpis(w);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->area(), (host::Area{4, 2, 4, 2}));
    EXPECT_EQ(cell->Text(), "");
}

TEST_F(FormChecks, NoRegisterNoCellNoMessage) {
    WsRef w = ws;
    EXPECT_FALSE(k->CellSpis(w));
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_FALSE(k->RegisterRow());
    EXPECT_EQ(book->Count(), 1);
}

TEST_F(FormChecks, RegisterWithoutSheetColumnNamesNoCell) {
    MakeRegister({"Файл", "Обозначение"});
    WsRef w = ws;
    EXPECT_FALSE(k->CellSpis(w));
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(FormChecks, CellOfTheCurrentWorksheetWhenNoneIsGiven) {
    auto reg = MakeRegister({"Лист"});
    auto other = AddSheet("Второй");
    PutText(reg, 2, 1, "Второй");
    WsRef w = other;
    k->SPA_Blank(w);  // the current worksheet
    WsRef none;
    auto cell = k->CellSpis(none);
    EXPECT_EQ(none, other);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Row(), 2);
}

}  // namespace
}  // namespace ormelin::testing_support
