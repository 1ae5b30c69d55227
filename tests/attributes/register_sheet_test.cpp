// The register sheet: FindSPIS, the column titles and their synonyms, the row lookup.
#include "attributes/register_fixture.hpp"

namespace ormelin::testing_support {
namespace {

using RegisterSheet = RegisterTest;

// ------------------------------------------------------------------ FindSPIS

TEST_F(RegisterSheet, ThreeSheetsGetAFourthInFrontWithTheHeader) {
    Put("A1", std::string("данные"));
    AddSheet("Лист2");
    AddSheet("Лист3");
    WbRef b = book;
    k->FindSPIS(b);
    EXPECT_TRUE(ui->messages.empty());
    ASSERT_EQ(SheetNames(), (std::vector<std::string>{"список", "Лист1", "Лист2", "Лист3"}));
    auto reg = book->Sheet(1);
    for (int c = 1; c <= 32; ++c) EXPECT_EQ(TextAt(reg, 1, c), kRegisterTitles[c - 1]) << "column " << c;
    EXPECT_EQ(TextAt(reg, 1, 33), "");
    EXPECT_EQ(Text("A1"), "данные");
}

TEST_F(RegisterSheet, CreatedRegisterIsFormatted) {
    Put("A1", std::string("данные"));
    auto reg = CreateRegister();
    ASSERT_TRUE(reg);
    // every cell
    const host::Style& cell = reg->CellStyle(40, 50);
    EXPECT_EQ(cell.numberFormat, "@");
    EXPECT_EQ(cell.horizontal, host::HAlign::Left);
    EXPECT_EQ(cell.vertical, host::VAlign::Center);
    EXPECT_EQ(cell.font.size, 11);
    EXPECT_TRUE(cell.font.italic);
    EXPECT_FALSE(cell.font.bold);
    EXPECT_EQ(cell.fill, host::Color::Auto());
    // the header
    for (int c : {1, 16, 32}) {
        const host::Style& h = reg->CellStyle(1, c);
        EXPECT_EQ(h.horizontal, host::HAlign::Center) << c;
        EXPECT_TRUE(h.font.bold) << c;
        EXPECT_TRUE(h.font.italic) << c;
        EXPECT_EQ(h.fill, host::Color::Index(36)) << c;
        EXPECT_EQ(h.left.style, host::LineStyle::Continuous) << c;
        EXPECT_EQ(h.right.style, host::LineStyle::Continuous) << c;
        EXPECT_EQ(h.top.style, host::LineStyle::Continuous) << c;
        EXPECT_EQ(h.bottom.style, host::LineStyle::Continuous) << c;
        EXPECT_EQ(h.numberFormat, "@") << c;
    }
    EXPECT_EQ(reg->CellStyle(1, 33).fill, host::Color::Auto());
    EXPECT_FALSE(reg->CellStyle(1, 33).font.bold);
}

TEST_F(RegisterSheet, ColumnsAreFittedToTheirLongestTitle) {
    Put("A1", std::string("данные"));
    auto reg = CreateRegister();
    const double standard = reg->StandardWidth();
    EXPECT_DOUBLE_EQ(reg->ColumnWidth(29), 14);  // "ДатаИнвНомПодл"
    EXPECT_DOUBLE_EQ(reg->ColumnWidth(4), 12);   // "Наименование"
    EXPECT_DOUBLE_EQ(reg->ColumnWidth(1), standard);  // "Файл" is narrower than the standard width
    EXPECT_DOUBLE_EQ(reg->ColumnWidth(33), standard);
}

TEST_F(RegisterSheet, SingleEmptySheetBecomesTheRegister) {
    WbRef b = book;
    k->FindSPIS(b);
    EXPECT_TRUE(ui->messages.empty());
    ASSERT_EQ(SheetNames(), (std::vector<std::string>{"список"}));
    EXPECT_EQ(book->Sheet(1), ws);
    EXPECT_EQ(Text("B1"), "Лист");
    EXPECT_EQ(Text("AF1"), "ДатаИнвНомДубл");
}

TEST_F(RegisterSheet, SingleSheetHoldingDataIsNeverCleared) {
    Put("C7", std::string("не стирать"));
    WbRef b = book;
    k->FindSPIS(b);
    ASSERT_EQ(SheetNames(), (std::vector<std::string>{"список", "Лист1"}));
    EXPECT_EQ(Text("C7"), "не стирать");
    EXPECT_EQ(Text("A1"), "");
    EXPECT_EQ(TextAt(book->Sheet(1), 1, 1), "Файл");
}

TEST_F(RegisterSheet, SingleSheetWithOnlyA1FilledIsKept) {
    Put("A1", 5.0);
    WbRef b = book;
    k->FindSPIS(b);
    ASSERT_EQ(book->Count(), 2);
    EXPECT_EQ(ValueOf("A1"), host::Value(5.0));
}

TEST_F(RegisterSheet, ExistingFirstRegisterIsLeftAlone) {
    auto reg = MakeRegister({"Лист", "Обозначение"});
    PutText(reg, 2, 1, "Лист1");
    Put("A1", std::string("x"));
    WbRef b = book;
    k->FindSPIS(b);
    EXPECT_TRUE(ui->messages.empty());
    ASSERT_EQ(SheetNames(), (std::vector<std::string>{"список", "Лист1"}));
    EXPECT_EQ(TextAt(reg, 1, 1), "Лист");  // neither reformatted nor checked
    EXPECT_EQ(TextAt(reg, 1, 3), "");
    EXPECT_EQ(reg->CellStyle(1, 1).numberFormat, "General");
}

TEST_F(RegisterSheet, ExistingRegisterIsBroughtToTheFront) {
    AddSheet("Лист2");
    auto reg = AddSheet("список");
    PutText(reg, 1, 1, "Лист");
    WbRef b = book;
    k->FindSPIS(b);
    if (!ui->messages.empty() && ui->messages[0].text.find("not supported") != std::string::npos)
        GTEST_SKIP() << "the host cannot move sheets: " << ui->messages[0].text;
    EXPECT_TRUE(ui->messages.empty());
    ASSERT_EQ(SheetNames(), (std::vector<std::string>{"список", "Лист1", "Лист2"}));
    EXPECT_EQ(TextAt(reg, 1, 1), "Лист");
    EXPECT_EQ(TextAt(reg, 1, 2), "");
}

TEST_F(RegisterSheet, NameIsComparedCaseSensitively) {
    // "Список" is not the register, and it blocks the name "список": the failure
    // is reported, and no sheet is left under a default name.
    auto other = AddSheet("Список");
    Put("A1", std::string("x"));
    WbRef b = book;
    k->FindSPIS(b);
    ASSERT_GE(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text.rfind("FindSPIS: ", 0), 0u) << ui->messages[0].text;
    EXPECT_GT(ui->messages[0].text.size(), std::string("FindSPIS: ").size());
    EXPECT_EQ(ui->messages[0].buttons, host::MsgButtons::OK);
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::None);
    EXPECT_EQ(ui->messages[0].title, "");
    EXPECT_EQ(SheetNames(), (std::vector<std::string>{"Лист1", "Список"}));
    EXPECT_EQ(TextAt(other, 1, 1), "");
}

TEST_F(RegisterSheet, WithoutAWorkbookTheFailureIsReported) {
    WbRef none;
    k->FindSPIS(none);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "FindSPIS: Object variable or With block variable not set");
    EXPECT_EQ(book->Count(), 1);
}

// ------------------------------------------------------------------ column map

struct Synonym {
    const char* title;
    AttrProp prop;
    bool formula;
};

class ColumnTitles : public RegisterTest, public ::testing::WithParamInterface<Synonym> {};

// Each accepted title, standing alone in column E beside "Лист" in column B, is
// found: its attribute refers to column 5, every other one to nothing.
TEST_P(ColumnTitles, TitleFindsItsColumn) {
    const Synonym& s = GetParam();
    auto reg = MakeRegister({"", "Лист", "", "", s.title});
    PutText(reg, 3, 2, "Лист1");
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    EXPECT_TRUE(ui->messages.empty());
    const std::string expected = std::string(s.formula ? "=" : "") + "список!R3C5";
    EXPECT_EQ(Ref().Get(s.prop), expected);
    int referring = 0;
    for (const auto& info : AttrDocProperties())
        if (info.kind != AttrKind::Array && !Ref().GetText(info.name).empty()) ++referring;
    // the composite's line and one-line form follow its whole
    const bool composite = s.prop == AttrProp::aNaim || s.prop == AttrProp::aFirm;
    EXPECT_EQ(referring, composite ? 3 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Synonyms, ColumnTitles,
    ::testing::Values(
        Synonym{"Обозначение", AttrProp::aOboz, true}, Synonym{"Наименование", AttrProp::aNaim, true},
        Synonym{"ПервПримен", AttrProp::aPerv, true}, Synonym{"Проект", AttrProp::aProj, false},
        Synonym{"Индекс", AttrProp::aProj, false}, Synonym{"Изм", AttrProp::aIzme, true},
        Synonym{"Изм.", AttrProp::aIzme, true}, Synonym{"ЛистИ", AttrProp::aIzml, true},
        Synonym{"НомИзв", AttrProp::aNdoc, true}, Synonym{"№ докум.", AttrProp::aNdoc, true},
        Synonym{"ДатаИ", AttrProp::aIzmd, true}, Synonym{"Разраб", AttrProp::aDesi, true},
        Synonym{"Разраб.", AttrProp::aDesi, true}, Synonym{"Пров", AttrProp::aChec, true},
        Synonym{"ДобПоле", AttrProp::aAddb, true}, Synonym{"ДобФам", AttrProp::aAddf, true},
        Synonym{"Н. контр.", AttrProp::aNcon, true}, Synonym{"Нконтр", AttrProp::aNcon, true},
        Synonym{"Утв", AttrProp::aAppr, true}, Synonym{"ДатаР", AttrProp::aDesd, true},
        Synonym{"ДатаП", AttrProp::aChed, true}, Synonym{"ДатаД", AttrProp::aAddd, true},
        Synonym{"ДатаН", AttrProp::aNcod, true}, Synonym{"ДатаУ", AttrProp::aAppd, true},
        Synonym{"Лит.", AttrProp::aLite, true}, Synonym{"Лит", AttrProp::aLite, true},
        Synonym{"Фирма", AttrProp::aFirm, true}, Synonym{"СправНом", AttrProp::aSpra, true},
        Synonym{"УтвЛит", AttrProp::aAlit, true}, Synonym{"УтвДок", AttrProp::aAdoc, true},
        Synonym{"ИндЗак", AttrProp::aIcus, true}, Synonym{"ИнвНомПодл", AttrProp::aInpo, true},
        Synonym{"ДатаИнвНомПодл", AttrProp::aInpd, true}, Synonym{"ВзамИнвНом", AttrProp::aInvz, true},
        Synonym{"ИнвНомДубл", AttrProp::aIndu, true}, Synonym{"ДатаИнвНомДубл", AttrProp::aIndd, true}));

TEST_F(RegisterSheet, FileAndSheetTitlesAreFoundWherever) {
    auto reg = MakeRegister({"Обозначение", "", "Файл", "", "", "Лист"});
    Put("A1", std::string("x"));
    auto d = std::make_shared<AttrDoc>();
    d->aOboz("О-1");
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    EXPECT_EQ(TextAt(reg, 2, 1), "О-1");
    EXPECT_EQ(TextAt(reg, 2, 3), "Книга1.xlsx");
    EXPECT_EQ(TextAt(reg, 2, 6), "Лист1");
}

TEST_F(RegisterSheet, TitlesAreTrimmedButCaseSensitive) {
    auto reg = MakeRegister({"  Лист ", "обозначение", "Обозначение "});
    PutText(reg, 2, 1, "Лист1");
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    EXPECT_TRUE(ui->messages.empty());  // " Лист " found the row
    EXPECT_EQ(Ref().aOboz(), "=список!R2C3");
}

TEST_F(RegisterSheet, LaterColumnWithTheSameTitleWins) {
    auto reg = MakeRegister({"Лист", "Обозначение", "Изм.", "Обозначение", "Изм"});
    PutText(reg, 2, 1, "Лист1");
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    EXPECT_EQ(Ref().aOboz(), "=список!R2C4");
    EXPECT_EQ(Ref().aIzme(), "=список!R2C5");
}

// ------------------------------------------------------------------ row lookup with create

TEST_F(RegisterSheet, EmptyRegisterOffersRowTwo) {
    auto reg = MakeRegister(kRegisterTitles);
    WsRef w = ws;
    auto cell = k->CellSpis(w);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Row(), 2);
    EXPECT_EQ(cell->Column(), 2);
    // without create there is no row
    k->AttribsRefFromSPIS(w);
    EXPECT_EQ(ui->messages.size(), 1u);
    EXPECT_FALSE(k->RegisterRow());
}

TEST_F(RegisterSheet, NewRowIsBelowTheUsedRangeEvenPastGaps) {
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 2, 2, "А");
    PutText(reg, 6, 9, "что-то");  // a stray entry further down
    WsRef w = ws;
    auto cell = k->CellSpis(w);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Row(), 7);
}

}  // namespace
}  // namespace ormelin::testing_support
