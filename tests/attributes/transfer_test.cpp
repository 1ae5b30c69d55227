// Attribute transfer: writing a record into the register, reading it back, and the
// reference record of formulas into the register's cells.
#include "attributes/register_fixture.hpp"

namespace ormelin::testing_support {
namespace {

using Transfer = RegisterTest;

// ------------------------------------------------------------------ references

TEST_F(Transfer, ReferencesOfARowPointAtItsCellsByColumnTitle) {
    // The designation column stands third: the document in row 5 refers to R5C3.
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 2, 2, "Другой1");
    PutText(reg, 3, 2, "Другой2");
    PutText(reg, 4, 2, "Другой3");
    PutText(reg, 5, 2, "Лист1");
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    ASSERT_TRUE(k->AttributeRecord());
    EXPECT_EQ(Ref().aOboz(), "=список!R5C3");
    EXPECT_EQ(Ref().aNaim(), "=список!R5C4");
    EXPECT_EQ(Ref().aProj(), "список!R5C5");  // appended inside the first-use formula
    EXPECT_EQ(Ref().aPerv(), "=список!R5C6");
    EXPECT_EQ(Ref().aDesi(), "=список!R5C7");
    EXPECT_EQ(Ref().aFirm(), "=список!R5C23");
    EXPECT_EQ(Ref().aIndd(), "=список!R5C32");
    EXPECT_EQ(Ref().aNdoc(), "=список!R5C20");
    EXPECT_EQ(Ref().aLite(), "=список!R5C22");
    // the composites keep the formula whole in their first line
    EXPECT_EQ(Ref().aNaim1(), "=список!R5C4");
    EXPECT_EQ(Ref().aFirmDB(), "=список!R5C23");
    // attributes without a register column stay empty
    EXPECT_EQ(Ref().aFile(), "");
    EXPECT_EQ(Ref().aShee(), "");
    EXPECT_EQ(Ref().aJob1(), "");
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(k->RegisterRow()->Row(), 5);
    EXPECT_EQ(k->CurrentWorksheet(), ws);
}

TEST_F(Transfer, ReferencesFollowReorderedColumns) {
    auto reg = MakeRegister({"Утв", "Обозначение", "", "Лист", "Индекс", "Наименование"});
    PutText(reg, 2, 4, "Лист1");
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    EXPECT_EQ(Ref().aAppr(), "=список!R2C1");
    EXPECT_EQ(Ref().aOboz(), "=список!R2C2");
    EXPECT_EQ(Ref().aProj(), "список!R2C5");
    EXPECT_EQ(Ref().aNaim(), "=список!R2C6");
    // columns missing from the header refer to nothing
    EXPECT_EQ(Ref().aDesi(), "");
    EXPECT_EQ(Ref().aIndd(), "");
}

TEST_F(Transfer, ReferencesWithoutARowReferToNothingAndTellSo) {
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 2, 2, "Лист1");
    auto other = AddSheet("Прочий");
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    ASSERT_EQ(Ref().aOboz(), "=список!R2C3");

    WsRef o = other;  // a sheet without a register row
    k->AttribsRefFromSPIS(o);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Строка атрибутов документа в листе \"список\" не найдена");
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::Information);
    EXPECT_EQ(ui->messages[0].buttons, host::MsgButtons::OK);
    // not the previous document's references
    EXPECT_EQ(Ref().aOboz(), "");
    EXPECT_EQ(Ref().aProj(), "");
    EXPECT_EQ(Ref().aNaim(), "");
    EXPECT_EQ(Ref().aFirm(), "");
    EXPECT_EQ(Ref().aIndd(), "");
}

TEST_F(Transfer, ReferencesWithoutARegisterTellSoAndReferToNothing) {
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Строка атрибутов документа в листе \"список\" не найдена");
    ASSERT_TRUE(k->AttributeRecord());
    EXPECT_EQ(Ref().aOboz(), "");
    EXPECT_FALSE(k->RegisterSheet());
}

TEST_F(Transfer, ReferencesWithoutAWorksheetUseTheCurrentOneAndHandItBack) {
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 3, 2, "Лист1");
    KalvoraTestAccess::SetCurrent(*k, ws);
    WsRef none;
    k->AttribsRefFromSPIS(none);
    EXPECT_EQ(none, ws);
    EXPECT_EQ(Ref().aOboz(), "=список!R3C3");
}

// ------------------------------------------------------------------ row lookup

TEST_F(Transfer, FirstMatchingRowWins) {
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 2, 2, "Другой");
    PutText(reg, 3, 2, "Лист1");
    PutText(reg, 4, 2, "Лист1");
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    EXPECT_EQ(Ref().aOboz(), "=список!R3C3");
}

TEST_F(Transfer, LookupComparesTheWholeNameExactly) {
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 2, 2, "лист1");    // other case
    PutText(reg, 3, 2, "Лист1 ");   // trailing blank
    PutText(reg, 4, 2, "Лист");     // prefix
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    EXPECT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(Ref().aOboz(), "");
}

TEST_F(Transfer, RegisterIsThatOfTheWorksheetsOwnWorkbook) {
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 4, 2, "Лист1");
    auto other = app.NewWorkbook();  // now the active workbook, without a register
    ASSERT_EQ(app.ActiveWorkbook(), other);
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(Ref().aOboz(), "=список!R4C3");
    EXPECT_EQ(k->RegisterSheet(), reg);
}

// ------------------------------------------------------------------ writing

std::shared_ptr<AttrDoc> FilledRecord() {
    auto d = std::make_shared<AttrDoc>();
    d->aOboz("АБВГ.123456.001");
    d->aNaim("Блок\r\nпитания\r\nсетевой");
    d->aProj("ПР-7_старое");  // cut at "_": "ПР-7"
    d->aPerv("АБВГ.100000.000");
    d->aDesi("Иванов");
    d->aChec("Петров");
    d->aAddb("Т. контр.");
    d->aAddf("Сидоров");
    d->aNcon("Кузнецов");
    d->aAppr("Смирнов");
    d->aDesd("01.02.24");
    d->aChed("02.02.24");
    d->aAddd("03.02.24");
    d->aNcod("04.02.24");
    d->aAppd("05.02.24");
    d->aIzme("2");
    d->aIzml("Зам.");
    d->aNdoc("АБВГ.12-24");
    d->aIzmd("06.02.24");
    d->aLite("О1");
    d->aFirm("АО \"Завод\"\r\nОтдел 5");
    d->aSpra("СП-1");
    d->aAlit("Л1");
    d->aAdoc("Д1");
    d->aIcus("ИЗ-9");
    d->aInpo("1234");
    d->aInpd("07.02.24");
    d->aInvz("1200");
    d->aIndu("55");
    d->aIndd("08.02.24");
    d->aJob1("не в регистре");
    return d;
}

TEST_F(Transfer, WritingAppendsARowBelowTheRegisterAndFillsEveryColumn) {
    auto reg = CreateRegister();
    ASSERT_TRUE(reg);
    PutText(reg, 2, 2, "Другой");
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    ASSERT_TRUE(k->RegisterRow());
    EXPECT_EQ(k->RegisterRow()->Row(), 3);

    const std::vector<std::string> expected = {
        "Книга1.xlsx", "Лист1", "АБВГ.123456.001", "Блок питания сетевой", "ПР-7", "АБВГ.100000.000",
        "Иванов", "Петров", "Т. контр.", "Сидоров", "Кузнецов", "Смирнов", "01.02.24", "02.02.24",
        "03.02.24", "04.02.24", "05.02.24", "2", "Зам.", "АБВГ.12-24", "06.02.24", "О1",
        "АО \"Завод\" Отдел 5", "СП-1", "Л1", "Д1", "ИЗ-9", "1234", "07.02.24", "1200", "55", "08.02.24"};
    for (int c = 1; c <= 32; ++c) EXPECT_EQ(TextAt(reg, 3, c), expected[c - 1]) << "column " << c;
    EXPECT_EQ(TextAt(reg, 3, 33), "");
    EXPECT_EQ(reg->CellStyle(3, 5).font.size, 11);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(Transfer, WritingTwiceUpdatesTheSameRow) {
    auto reg = CreateRegister();
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    host::FormatPatch small;
    small.fontSize = 8;
    reg->Format(host::Area{2, 1, 2, host::kMaxColumns}, small);
    d->aOboz("НОВОЕ.001");
    d->aDesi("");
    k->AttribsToSPIS(d, w);
    EXPECT_EQ(reg->CellStyle(2, 3).font.size, 11);  // the whole row is set again
    EXPECT_EQ(reg->CellStyle(2, 60).font.size, 11);
    EXPECT_EQ(k->RegisterRow()->Row(), 2);
    EXPECT_EQ(TextAt(reg, 2, 3), "НОВОЕ.001");
    EXPECT_EQ(TextAt(reg, 2, 7), "");
    EXPECT_EQ(TextAt(reg, 3, 2), "");
    EXPECT_EQ(reg->UsedRange().r2, 2);
}

TEST_F(Transfer, WrittenRecordReadsBack) {
    CreateRegister();
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsToSPIS(d, w);

    auto back = std::make_shared<AttrDoc>();
    back->aJob1("стирается");
    k->AttribsFromSPIS(back, w);
    EXPECT_EQ(back->aFile(), "Книга1");
    EXPECT_EQ(back->aShee(), "Лист1");
    EXPECT_EQ(back->aOboz(), "АБВГ.123456.001");
    EXPECT_EQ(back->aProj(), "ПР-7");
    EXPECT_EQ(back->aDesi(), "Иванов");
    EXPECT_EQ(back->aNdoc(), "АБВГ.12-24");
    EXPECT_EQ(back->aIndd(), "08.02.24");
    EXPECT_EQ(back->aJob1(), "");  // cleared first
    // the name went in on one line and comes back as one first line
    EXPECT_EQ(back->aNaim(), "Блок питания сетевой");
    EXPECT_EQ(back->aNaim1(), "Блок питания сетевой");
    EXPECT_EQ(back->aNaim2(), "");
    EXPECT_EQ(back->aFirm1(), "АО \"Завод\" Отдел 5");
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(Transfer, UnderscoreInARegisterNameSplitsItOnReading) {
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 2, 2, "Лист1");
    PutText(reg, 2, 4, "Блок_питания");
    WsRef w = ws;
    DocRef d = std::make_shared<AttrDoc>();
    k->AttribsFromSPIS(d, w);
    EXPECT_EQ(d->aNaim1(), "Блок");
    EXPECT_EQ(d->aNaim2(), "питания");
}

TEST_F(Transfer, SheetCellLinksToTheWorksheet) {
    auto reg = CreateRegister();
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    auto links = reg->Hyperlinks();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].anchor, (host::Area{2, 2, 2, 2}));
    EXPECT_EQ(links[0].address, "");
    EXPECT_EQ(links[0].subAddress, "Лист1!A1");
    EXPECT_EQ(links[0].textToDisplay, "Лист1");
}

TEST_F(Transfer, SheetNamesAreQuotedInTheLink) {
    auto reg = CreateRegister();
    DocRef d = FilledRecord();
    WsRef blank = AddSheet("Схема 1");
    k->AttribsToSPIS(d, blank);
    WsRef apos = AddSheet("O'Neil");
    k->AttribsToSPIS(d, apos);
    auto links = reg->Hyperlinks();
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].subAddress, "'Схема 1'!A1");
    EXPECT_EQ(links[1].subAddress, "'O''Neil'!A1");
    EXPECT_EQ(TextAt(reg, 3, 2), "O'Neil");
}

TEST_F(Transfer, FileColumnHoldsTheRealNameOfASavedWorkbook) {
    auto reg = CreateRegister();
    book->SetPath("/tmp/Изделие.xlsx");
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    EXPECT_EQ(TextAt(reg, 2, 1), "Изделие.xlsx");
    book->SetPath("/tmp/Старое.xls");
    k->AttribsToSPIS(d, w);
    EXPECT_EQ(TextAt(reg, 2, 1), "Старое.xls");
    book->SetPath("/tmp/Макро.xlsm");
    k->AttribsToSPIS(d, w);
    EXPECT_EQ(TextAt(reg, 2, 1), "Макро.xlsm");
}

TEST_F(Transfer, ValuesAreLiteralTextsEvenInAGeneralColumn) {
    // A register made by hand, without the text format: "=..." must stay text.
    auto reg = MakeRegister(kRegisterTitles);
    ASSERT_EQ(reg->CellStyle(2, 3).numberFormat, "General");
    DocRef d = std::make_shared<AttrDoc>();
    d->aOboz("=1+2");
    d->aDesi("007");
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    EXPECT_EQ(reg->Content(2, 3).formula, "");
    EXPECT_EQ(TextAt(reg, 2, 3), "=1+2");
    EXPECT_EQ(reg->Content(2, 7).value, host::Value(std::string("007")));
}

TEST_F(Transfer, MissingColumnsAreSkippedAndReadEmpty) {
    // no "Утв", no "Файл"
    auto reg = MakeRegister({"Лист", "Обозначение", "Разраб"});
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    EXPECT_EQ(TextAt(reg, 2, 1), "Лист1");
    EXPECT_EQ(TextAt(reg, 2, 2), "АБВГ.123456.001");
    EXPECT_EQ(TextAt(reg, 2, 3), "Иванов");
    EXPECT_EQ(TextAt(reg, 2, 4), "");

    DocRef back = std::make_shared<AttrDoc>();
    k->AttribsFromSPIS(back, w);
    EXPECT_EQ(back->aOboz(), "АБВГ.123456.001");
    EXPECT_EQ(back->aAppr(), "");
    EXPECT_EQ(back->aNaim(), "");
}

TEST_F(Transfer, WritingWithoutARegisterDoesNothing) {
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(book->Count(), 1);
    EXPECT_EQ(ws->UsedRange(), (host::Area{1, 1, 1, 1}));
    EXPECT_EQ(Text("A1"), "");
}

// ------------------------------------------------------------------ reading

TEST_F(Transfer, ReadingWithoutARegisterAsksToStartWithANewDocument) {
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsFromSPIS(d, w);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Начните работу с выбора команды меню Документ > Новый");
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::Information);
    EXPECT_EQ(ui->messages[0].buttons, host::MsgButtons::OK);
    EXPECT_EQ(d->aOboz(), "");
}

TEST_F(Transfer, ReadingAWorksheetWithoutARowIsQuietAndEmpty) {
    MakeRegister(kRegisterTitles);
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsFromSPIS(d, w);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(d->aOboz(), "");
    EXPECT_EQ(d->aFile(), "");
}

TEST_F(Transfer, ReadingTheRegisterItselfGivesAnEmptyRecord) {
    auto reg = MakeRegister(kRegisterTitles);
    PutText(reg, 2, 2, "список");  // even a row naming it
    PutText(reg, 2, 3, "X");
    DocRef d = FilledRecord();
    WsRef r = reg;
    k->AttribsFromSPIS(d, r);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(d->aOboz(), "");
    EXPECT_EQ(d->aShee(), "");
}

TEST_F(Transfer, RenamedWorksheetLosesItsRow) {
    auto reg = CreateRegister();
    DocRef d = FilledRecord();
    WsRef w = ws;
    k->AttribsToSPIS(d, w);
    ws->Name("Переименован");
    DocRef back = std::make_shared<AttrDoc>();
    k->AttribsFromSPIS(back, w);
    EXPECT_EQ(back->aOboz(), "");
    k->AttribsToSPIS(d, w);  // a new row below
    EXPECT_EQ(k->RegisterRow()->Row(), 3);
    EXPECT_EQ(TextAt(reg, 3, 2), "Переименован");
}

}  // namespace
}  // namespace ormelin::testing_support

namespace ormelin::testing_support {
namespace {

// A formed title cell refers to its register row by formula and so follows the
// register's later edits.
TEST_F(Transfer, TitleCellFollowsItsRowWhenARegisterRowAboveIsDeleted) {
    auto reg = MakeRegister(kRegisterTitles);
    for (int r = 2; r <= 8; ++r) {
        PutText(reg, r, 2, r == 7 ? "Лист1" : "Документ " + std::to_string(r));
        PutText(reg, r, 3, "АБВГ." + std::to_string(r));
    }
    WsRef w = ws;
    k->AttribsRefFromSPIS(w);
    ASSERT_EQ(Ref().aOboz(), "=список!R7C3");
    ws->SetValue(host::Area{40, 7, 40, 7}, Ref().aOboz());
    ASSERT_EQ(ws->Content(40, 7).formula, "=список!R7C3");
    EXPECT_EQ(ws->CellText(40, 7), "АБВГ.7");

    reg->DeleteRows(3, 1);
    EXPECT_EQ(ws->Content(40, 7).formula, "=список!R6C3");
    EXPECT_EQ(ws->CellText(40, 7), "АБВГ.7");
}

}  // namespace
}  // namespace ormelin::testing_support
