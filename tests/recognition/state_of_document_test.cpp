// Recognising the kind and state of a worksheet from its header texts.
#include <gtest/gtest.h>

#include <vector>

#include "core/kalvora_fixture.hpp"

namespace ormelin {
namespace {

using testing_support::KalvoraTest;

using Cells = std::vector<std::pair<const char*, const char*>>;

class Recognition : public KalvoraTest {
protected:
    std::shared_ptr<host::Worksheet> Sheet(const Cells& cells) {
        auto sheet = book->Add(nullptr, nullptr);
        for (const auto& [cell, text] : cells) sheet->SetValue(A(cell), std::string(text));
        return sheet;
    }
    std::int32_t StateOf(std::shared_ptr<host::Worksheet> sheet) { return k->StateOfDocument(sheet); }
};

const Cells kSpaList = {{"A1", "Формат"}, {"B1", "Зона"}, {"C1", "Поз."}, {"D1", "Обозначение"},
                        {"E1", "Наименование"}, {"F1", "Кол."}, {"G1", "Приме-\nчание"}};

TEST_F(Recognition, EveryBlankListIsRecognisedAsItsCode) {
    struct Case {
        void (Kalvora::*blank)(Kalvora::WorksheetRef&);
        std::int32_t state;
    };
    for (const Case& c : {Case{&Kalvora::SPA_Blank, ksSPA_OT}, Case{&Kalvora::SPB_Blank, ksSPB_OT},
                          Case{&Kalvora::PE_Blank, ksPE_OT_1}, Case{&Kalvora::VE_Blank, ksVE_OT},
                          Case{&Kalvora::VN_Blank, ksVN_OT}, Case{&Kalvora::VPA_Blank, ksVPA_OT}}) {
        auto sheet = book->Add(nullptr, nullptr);
        ((*k).*c.blank)(sheet);
        EXPECT_EQ(StateOf(sheet), c.state);
    }
}

TEST_F(Recognition, DocumentBlankOfEachListCodeReadsBack) {
    for (auto code : {ksSPA_OT, ksSPB_OT, ksPE_OT_1, ksPE_OT_2, ksVPA_OT, ksVN_OT, ksVE_OT}) {
        auto sheet = book->Add(nullptr, nullptr);
        k->DocumentBlank(sheet, code);
        EXPECT_EQ(StateOf(sheet), code == ksPE_OT_2 ? ksPE_OT_1 : code) << code;
    }
}

TEST_F(Recognition, EmptySheetIsNoDocument) { EXPECT_EQ(StateOf(ws), ksDOC_NO); }

TEST_F(Recognition, SpecificationHeadWinsWhateverElseTheSheetHolds) {
    k->SPA_Blank(ws);
    for (int r = 2; r <= 30; ++r) ws->SetValue({r, 1, r, 26}, std::string("x"));
    // Texts of other signatures in cells the specification does not use.
    Put("P1", std::string("Наименование"));
    Put("V1", std::string("Кол."));
    Put("X1", std::string("Приме-\nчание"));
    EXPECT_EQ(StateOf(ws), ksSPA_OT);
}

TEST_F(Recognition, NearMissHeadersAreNotRecognised) {
    struct Miss {
        const char* cell;
        const char* text;
    };
    for (const Miss& m : {Miss{"A1", "Формат "}, Miss{"A1", " Формат"}, Miss{"B1", "зона"}, Miss{"D1", "ОБОЗНАЧЕНИЕ"},
                          Miss{"G1", "Примечание"}, Miss{"G1", "Приме-\r\nчание"}, Miss{"C1", "Поз"}}) {
        Cells cells = kSpaList;
        for (auto& [cell, text] : cells)
            if (std::string(cell) == m.cell) text = m.text;
        EXPECT_EQ(StateOf(Sheet(cells)), ksDOC_NO) << m.cell << " \"" << m.text << "\"";
    }
}

TEST_F(Recognition, FailedTestLetsLaterTestsRun) {
    // "Примечание" in E1 fails the specification tests but is the list of elements.
    EXPECT_EQ(StateOf(Sheet({{"A1", "Зона"}, {"B1", "Поз.\nобозна-\nчение"}, {"C1", "Наименование"},
                             {"D1", "Кол."}, {"E1", "Примечание"}})),
              ksPE_OT_1);
    EXPECT_EQ(StateOf(Sheet({{"A1", "Поз.\nобозна-\nчение"}, {"B1", "Наименование"}, {"C1", "Кол."},
                             {"D1", "Примечание"}})),
              ksPE_OT_2);
}

TEST_F(Recognition, FirstMatchingTestWins) {
    // Both connection-table schemes match: the newer one comes first.
    EXPECT_EQ(StateOf(Sheet({{"C1", "Поз."}, {"D1", "Провод"}, {"E1", "Провод"}, {"H1", "Откуда идет"},
                             {"K1", "Куда поступает"}, {"L1", "Длина"}, {"N1", "Примеч."}})),
              ksTB_OF);
    EXPECT_EQ(StateOf(Sheet({{"C1", "Поз."}, {"E1", "Провод"}, {"H1", "Откуда идет"}, {"K1", "Куда поступает"},
                             {"L1", "Длина"}, {"N1", "Примеч."}})),
              ksTB_OF_old);
}

TEST_F(Recognition, FormedSignatures) {
    struct Case {
        Cells cells;
        std::int32_t state;
    };
    const std::vector<Case> cases = {
        {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"P1", "Наименование"},
          {"V1", "Кол."}, {"X1", "Приме-\nчание"}},
         ksSPA_OF},
        {{{"C1", "Формат"}, {"D1", "Зона"}, {"E1", "Поз."}, {"G1", "Обозначение"}, {"K1", "Наименование"},
          {"M1", "Кол."}, {"N1", "Приме-\nчание"}},
         ksSPA_OF},
        {{{"C1", "FRMT."}, {"D1", "Поз."}, {"E1", "Обозначение"}, {"I1", "Наименование"}, {"K1", "Кол."},
          {"L1", "Прим."}},
         ksSPA_OF},
        {{{"B3", "Формат"}, {"D3", "Зона"}, {"F3", "Поз."}, {"G3", "Обозначение"}, {"J3", "Наименование"},
          {"P3", "Кол. на исполн."}, {"AD3", "Примечание"}},
         ksSPB_OF},
        {{{"A3", "Формат"}, {"C3", "Зона"}, {"E3", "Поз."}, {"F3", "Обозначение"}, {"I3", "Наименование"},
          {"O3", "Кол. на исполн."}, {"AC3", "Примечание"}},
         ksSPB_OF},
        {{{"A3", "Формат"}, {"B3", "Зона"}, {"C3", "Поз."}, {"D3", "Обозначение"}, {"G3", "Наименование"},
          {"M3", "Кол. на исполн."}, {"AA3", "Примечание"}},
         ksSPB_OF},
        {{{"C1", "Зона"}, {"D1", "Поз.\nобозна-\nчение"}, {"H1", "Наименование"}, {"U1", "Кол."},
          {"W1", "Примечание"}},
         ksPE_OF},
        {{{"D1", "Поз.\nобозна-\nчение"}, {"G1", "Наименование"}, {"L1", "Кол."}, {"M1", "Примечание"}}, ksPE_OF},
        {{{"D1", "Наименование"}, {"O1", "Код продукции"}, {"R1", "Обозначение\nдокумента\nна поставку"},
          {"AA1", "Поставщик"}, {"AE1", "Куда входит (обозначение)"}, {"AJ1", "Количество"},
          {"AQ1", "Приме-\nчание"}},
         ksVPA_OF},
        {{{"C1", "№ строки"}, {"D1", "Обозначение, имя файла,\nразмер файла (байт), контрольная сумма"},
          {"P1", "Наименование"}, {"W1", "Примечание"}},
         ksVN_OF},
        {{{"A1", "Поз."}, {"B1", "Провод"}, {"C1", "Откуда идет"}, {"D1", "Куда поступает"}, {"E1", "Длина"},
          {"F1", "Примеч."}},
         ksTB_OT},
        {{{"C1", "Обозначение документа"}, {"M1", "Наименование документа"}, {"S1", "Кол.\nэкз.,\nшт."},
          {"U1", "№\nэкз."}, {"W1", "Место\nнахождения"}},
         ksVE_OF},
        {{{"A1", "Имя папки, файла"}, {"B1", "Размер,\nбайт"}, {"C1", "Контр.\nсумма"}}, ksVEO_OT},
        {{{"C1", "Имя папки, файла"}, {"M1", "Размер,\nбайт"}, {"O1", "Контр.\nсумма"}}, ksVEO_OF},
    };
    for (const Case& c : cases) EXPECT_EQ(StateOf(Sheet(c.cells)), c.state) << c.cells.front().second;
}

TEST_F(Recognition, GroupSpecificationHeadsOnlyCountInRowThree) {
    EXPECT_EQ(StateOf(Sheet({{"A1", "Формат"}, {"C1", "Зона"}, {"E1", "Поз."}, {"F1", "Обозначение"},
                             {"I1", "Наименование"}, {"O1", "Кол. на исполн."}, {"AC1", "Примечание"}})),
              ksDOC_NO);
}

TEST_F(Recognition, DisplayedTextIsCompared) {
    // A head cell holding a formula counts by what it shows.
    auto sheet = Sheet(kSpaList);
    sheet->SetFormula(1, 1, "=\"Фор\"&\"мат\"", std::string("Формат"));
    EXPECT_EQ(StateOf(sheet), ksSPA_OT);
    sheet->SetFormula(1, 1, "=\"Формат \"", std::string("Формат "));
    EXPECT_EQ(StateOf(sheet), ksDOC_NO);
}

TEST_F(Recognition, WithoutArgumentUsesAndHandsBackTheCurrentWorksheet) {
    auto other = book->Add(nullptr, nullptr);
    k->VN_Blank(other);
    std::shared_ptr<host::Worksheet> arg;
    EXPECT_EQ(k->StateOfDocument(arg), ksVN_OT);
    EXPECT_EQ(arg, other);
    EXPECT_EQ(k->StateOfDocument(), ksVN_OT);
    // A given worksheet is used as it is.
    std::shared_ptr<host::Worksheet> given = ws;
    EXPECT_EQ(k->StateOfDocument(given), ksDOC_NO);
    EXPECT_EQ(given, ws);
}

TEST_F(Recognition, FreshInstanceWithoutArgumentIsSilent) {
    std::shared_ptr<host::Worksheet> arg;
    EXPECT_EQ(k->StateOfDocument(arg), ksDOC_NO);
    EXPECT_EQ(arg, nullptr);
    std::vector<Variant> args;
    Variant result;
    ASSERT_TRUE(k->InvokeByName("StateOfDocument", args, &result).ok());
    EXPECT_EQ(std::get<std::int32_t>(result), 0);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(Recognition, UnreadableSheetIsSilentlyNoDocument) {
    auto sheet = book->Add(nullptr, nullptr);
    k->SPA_Blank(sheet);
    sheet->Delete();
    std::shared_ptr<host::Worksheet> arg = sheet;
    EXPECT_EQ(k->StateOfDocument(arg), ksDOC_NO);
    std::vector<Variant> args{std::shared_ptr<host::Workbook>(book)};
    Variant result;
    EXPECT_TRUE(k->InvokeByName("StateOfDocument", args, &result).ok());
    EXPECT_EQ(std::get<std::int32_t>(result), 0);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(Recognition, SheetIsNotChanged) {
    k->VE_Blank(ws);
    const auto used = ws->UsedRange();
    const auto links = ws->Hyperlinks();
    const std::string a1 = Text("A1");
    EXPECT_EQ(StateOf(ws), ksVE_OT);
    EXPECT_EQ(ws->UsedRange(), used);
    EXPECT_EQ(ws->Hyperlinks(), links);
    EXPECT_EQ(Text("A1"), a1);
}

}  // namespace
}  // namespace ormelin
