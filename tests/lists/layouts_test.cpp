// The list layouts of the six kinds, checked cell by cell against their tables.
#include <gtest/gtest.h>

#include <vector>

#include "core/kalvora_fixture.hpp"

namespace ormelin {
namespace {

using host::HAlign;
using host::VAlign;
using testing_support::KalvoraTest;

struct ColumnWidth {
    const char* column;
    double width;
};

class ListLayouts : public KalvoraTest {
protected:
    void ExpectWidths(const std::vector<ColumnWidth>& widths) {
        for (const auto& w : widths) EXPECT_DOUBLE_EQ(Width(w.column), w.width) << "column " << w.column;
    }
    void ExpectTexts(const std::vector<std::pair<const char*, const char*>>& texts) {
        for (const auto& [cell, text] : texts) EXPECT_EQ(Text(cell), text) << "cell " << cell;
    }
    void ExpectMerged(const std::vector<const char*>& areas) {
        for (const char* area : areas) {
            const auto a = A(area);
            EXPECT_EQ(MergeOf(host::AddressOf({a.r1, a.c1, a.r1, a.c1})), area) << "merge " << area;
        }
    }
    void ExpectLink(const char* cell) {
        const auto link = LinkAt(cell);
        ASSERT_TRUE(link.has_value()) << "no link on " << cell;
        EXPECT_EQ(link->address, "");
        EXPECT_EQ(link->subAddress, "список!A1");
        EXPECT_EQ(Text(cell), "список");
    }
    void ExpectOrientation(const char* cell, int degrees) {
        EXPECT_EQ(StyleOf(cell).orientation, degrees) << "orientation of " << cell;
    }
    void ExpectFontSize(const char* cell, double size) {
        EXPECT_DOUBLE_EQ(StyleOf(cell).font.size, size) << "font size of " << cell;
    }
    void ExpectAlign(const char* cell, HAlign h) {
        EXPECT_EQ(StyleOf(cell).horizontal, h) << "alignment of " << cell;
    }
};

// ------------------------------------------------------------------ SPA

TEST_F(ListLayouts, SpecificationColumnsHeadAndLink) {
    k->SPA_Blank(ws);
    ExpectWidths({{"A", 3}, {"B", 3}, {"C", 4}, {"D", 30}, {"E", 34}, {"F", 5}, {"G", 13.5}, {"H", 7}});
    ExpectTexts({{"A1", "Формат"}, {"B1", "Зона"}, {"C1", "Поз."}, {"D1", "Обозначение"}, {"E1", "Наименование"},
                 {"F1", "Кол."}, {"G1", "Приме-\nчание"}, {"H1", "список"}, {"I1", ""}});
    ExpectLink("H1");
    ExpectFontSize("A1", 11);
    ExpectFontSize("B1", 14);
    ExpectFontSize("C1", 14);
    for (const char* c : {"A1", "B1", "C1", "F1"}) ExpectOrientation(c, 90);
    for (const char* c : {"D1", "E1", "G1", "H1"}) ExpectOrientation(c, 0);
    // The head is centred over the left-aligned designation and name columns.
    for (const char* c : {"C1", "D1", "E1", "F1", "G1"}) ExpectAlign(c, HAlign::Center);
    ExpectAlign("D2", HAlign::Left);
    ExpectAlign("E40", HAlign::Left);
    ExpectAlign("C2", HAlign::Center);
    EXPECT_TRUE(StyleOf("G1").wrap);
    EXPECT_FALSE(StyleOf("F1").wrap);
    EXPECT_FALSE(StyleOf("C7").shrink);
    EXPECT_TRUE(StyleOf("F7").shrink);
    EXPECT_TRUE(StyleOf("G7").shrink);
    EXPECT_FALSE(StyleOf("D7").shrink);
    EXPECT_TRUE(ws->MergedAreas(A("A1:H4")).empty());
    EXPECT_DOUBLE_EQ(Height(1), 43);
    EXPECT_DOUBLE_EQ(Height(2), 26);
    EXPECT_DOUBLE_EQ(Height(30), 26);
}

TEST_F(ListLayouts, SpecificationRedrawnForRollbackKeepsAlignmentsAndOrientations) {
    k->SPA_Blank(ws);
    ws->RangeAt("D:E").HorizontalAlignment(HAlign::Right);
    ws->RangeAt("A1:C1").Orientation(0);
    ws->RangeAt("F1").Orientation(45);
    ws->ColumnWidth(4, 4, 10);
    Put("A1", "x");
    Put("G1", "Примечание");
    KalvoraTestAccess::SPA_ColumnsWidthAndHead(*k, true);
    ExpectAlign("D1", HAlign::Right);
    ExpectAlign("E9", HAlign::Right);
    ExpectOrientation("A1", 0);
    ExpectOrientation("C1", 0);
    ExpectOrientation("F1", 45);
    // Widths, texts and the link are drawn again.
    EXPECT_DOUBLE_EQ(Width("D"), 30);
    EXPECT_EQ(Text("A1"), "Формат");
    EXPECT_EQ(Text("G1"), "Приме-\nчание");
    ExpectLink("H1");
    EXPECT_TRUE(ui->messages.empty());
}

// ------------------------------------------------------------------ PE

TEST_F(ListLayouts, ListOfElementsColumnsHeadAndLink) {
    k->PE_Blank(ws);
    ExpectWidths({{"A", 3}, {"B", 11}, {"C", 57}, {"D", 5}, {"E", 14.7}, {"F", 7}});
    ExpectTexts({{"A1", "Зона"}, {"B1", "Поз.\nобозна-\nчение"}, {"C1", "Наименование"}, {"D1", "Кол."},
                 {"E1", "Примечание"}, {"F1", "список"}});
    ExpectLink("F1");
    ExpectOrientation("A1", 90);
    ExpectOrientation("B1", 0);
    ExpectFontSize("B1", 11);
    ExpectFontSize("C1", 14);
    EXPECT_TRUE(StyleOf("B1").wrap);
    for (const char* c : {"A1", "B1", "C1", "D1", "E1", "F1"}) {
        ExpectAlign(c, HAlign::Center);
        EXPECT_EQ(StyleOf(c).vertical, VAlign::Center) << c;
    }
    ExpectAlign("C2", HAlign::Left);
    ExpectAlign("D2", HAlign::Center);
    EXPECT_TRUE(StyleOf("B5").shrink);
    EXPECT_FALSE(StyleOf("C5").shrink);
    EXPECT_TRUE(StyleOf("E5").shrink);
    EXPECT_DOUBLE_EQ(Height(1), 43);
    EXPECT_DOUBLE_EQ(Height(2), 26);
}

TEST_F(ListLayouts, ListOfElementsRedrawnForRollbackKeepsNameAlignment) {
    k->PE_Blank(ws);
    ws->RangeAt("C:C").HorizontalAlignment(HAlign::Right);
    k->PE_ColumnsWidthAndHead(true);
    ExpectAlign("C2", HAlign::Right);
    ExpectAlign("C1", HAlign::Center);  // the head row is centred in both cases
    EXPECT_EQ(Text("B1"), "Поз.\nобозна-\nчение");
}

// ------------------------------------------------------------------ VN

TEST_F(ListLayouts, DataMediaListColumnsHeadAndLink) {
    k->VN_Blank(ws);
    ExpectWidths({{"A", 3}, {"B", 41}, {"C", 34}, {"D", 14.7}, {"E", 7}});
    ExpectTexts({{"A1", "№ строки"},
                 {"B1", "Обозначение, имя файла,\nразмер файла (байт), контрольная сумма"},
                 {"C1", "Наименование"}, {"D1", "Примечание"}, {"E1", "список"}});
    ExpectLink("E1");
    ExpectOrientation("A1", 90);
    ExpectFontSize("A1", 8);
    ExpectFontSize("A2", 11);
    ExpectFontSize("B1", 12);
    ExpectFontSize("C1", 14);
    EXPECT_TRUE(StyleOf("B3").shrink);
    EXPECT_FALSE(StyleOf("C3").shrink);
    EXPECT_TRUE(StyleOf("D3").shrink);
    ExpectAlign("C1", HAlign::Center);
    ExpectAlign("C2", HAlign::Left);
    ExpectAlign("E1", HAlign::Center);
}

TEST_F(ListLayouts, DataMediaLineNumberColumnIsEmptiedEveryTime) {
    k->VN_Blank(ws);
    ws->RangeAt("C:C").HorizontalAlignment(HAlign::Right);
    for (int r = 2; r <= 9; ++r) ws->SetValue({r, 1, r, 1}, static_cast<double>(r - 1));
    Put("B3", "ABCD.001");
    k->VN_ColumnsWidthAndHead(true);
    EXPECT_EQ(Text("A1"), "№ строки");
    for (int r = 2; r <= 9; ++r) EXPECT_EQ(ws->CellText(r, 1), "") << "row " << r;
    EXPECT_EQ(Text("B3"), "ABCD.001");
    ExpectAlign("C4", HAlign::Right);
}

// ------------------------------------------------------------------ VE

TEST_F(ListLayouts, OperationalDocumentsColumnsHeadAndFirstEntry) {
    ws->Name("АБВГ.468332.001ЭД (ред. 2)");
    k->VE_Blank(ws);
    ExpectWidths({{"A", 33}, {"B", 35}, {"C", 5}, {"D", 5}, {"E", 15}, {"F", 7}});
    ExpectTexts({{"A1", "Обозначение документа"}, {"B1", "Наименование документа"}, {"C1", "Кол.\nэкз.,\nшт."},
                 {"D1", "№\nэкз."}, {"E1", "Место\nнахождения"}, {"F1", "список"}});
    ExpectLink("F1");
    ExpectFontSize("A1", 14);
    ExpectFontSize("B1", 14);
    ExpectFontSize("C1", 11);
    ExpectFontSize("D1", 12);
    ExpectFontSize("E1", 14);
    for (const char* c : {"A1", "B1", "C1", "D1", "E1"}) ExpectAlign(c, HAlign::Center);
    for (const char* c : {"A2", "B2", "E2"}) ExpectAlign(c, HAlign::Left);
    EXPECT_TRUE(StyleOf("B8").shrink);
    EXPECT_FALSE(StyleOf("C8").shrink);
    EXPECT_TRUE(StyleOf("D8").shrink);
    EXPECT_TRUE(StyleOf("E8").shrink);
    // The list names itself under the general documentation.
    EXPECT_EQ(Text("B3"), "Документация общая");
    ExpectAlign("B3", HAlign::Center);
    EXPECT_EQ(StyleOf("B3").font.underline, host::Underline::Single);
    EXPECT_EQ(StyleOf("B5").font.underline, host::Underline::None);
    EXPECT_EQ(Text("A5"), "АБВГ.468332.001ЭД");
    EXPECT_EQ(Text("B5"), "Ведомость эксплуатационных");
    EXPECT_EQ(Text("B6"), "документов");
    EXPECT_EQ(ValueOf("C5"), host::Value(1.0));
    EXPECT_EQ(Text("C5"), "1");
}

TEST_F(ListLayouts, OperationalDocumentsFirstEntryFromSheetName) {
    struct Case {
        const char* sheet;
        const char* a5;
    };
    for (const Case& c : {Case{"АБВГ.001ЭД", "АБВГ.001ЭД"}, Case{"  X1  (проект)", "X1"},
                          Case{"Ведомость ЭД", "Ведомость ЭД"}, Case{"(черновик)", ""}}) {
        auto sheet = book->Add(nullptr, nullptr);
        sheet->Name(c.sheet);
        k->VE_Blank(sheet);
        EXPECT_EQ(sheet->CellText(5, 1), c.a5) << "sheet " << c.sheet;
        EXPECT_EQ(sheet->Content(5, 3).value, host::Value(1.0)) << "sheet " << c.sheet;
    }
}

TEST_F(ListLayouts, OperationalDocumentsRedrawnForRollbackLeavesEntriesAlone) {
    k->VE_Blank(ws);
    ws->RangeAt("A2:E6").ClearContents();
    Put("A5", "ГОСТ 2.601");
    Put("B2", "Руководство");
    ws->RangeAt("A:A").HorizontalAlignment(HAlign::Right);
    k->VE_ColumnsWidthAndHead(true);
    EXPECT_EQ(Text("A5"), "ГОСТ 2.601");
    EXPECT_EQ(Text("B2"), "Руководство");
    for (const char* c : {"B3", "B5", "B6", "C5", "A2", "C2"}) EXPECT_EQ(Text(c), "") << c;
    ExpectAlign("A3", HAlign::Right);
    EXPECT_EQ(Text("A1"), "Обозначение документа");
    ExpectLink("F1");
}

// ------------------------------------------------------------------ SPB

TEST_F(ListLayouts, GroupSpecificationColumnsHeadsAndMerges) {
    k->SPB_Blank(ws);
    ExpectWidths({{"A", 3}, {"B", 3}, {"C", 4}, {"D", 30}, {"E", 32}, {"F", 4.5}, {"J", 4.5}, {"O", 4.5},
                  {"P", 15}, {"Q", 7}});
    ExpectMerged({"A1:A2", "B1:B2", "C1:C2", "D1:D2", "E1:E2", "F1:I1", "J1:O1", "P1:P2"});
    EXPECT_EQ(MergeOf("F2"), "");
    EXPECT_EQ(MergeOf("Q1"), "");
    ExpectTexts({{"A1", "Формат"}, {"B1", "Зона"}, {"C1", "Поз."}, {"D1", "Обозначение"}, {"E1", "Наименование"},
                 {"F1", "Кол. на исполн."}, {"J1", ""}, {"P1", "Примечание"}, {"Q1", "список"}});
    ExpectLink("Q1");
    for (const char* c : {"A1", "B1", "C1"}) ExpectOrientation(c, 90);
    EXPECT_EQ(StyleOf("A1").vertical, VAlign::Bottom);
    ExpectFontSize("A1", 11);
    ExpectAlign("B1", HAlign::Center);
    ExpectAlign("D1", HAlign::Center);
    ExpectAlign("D6", HAlign::Left);
    ExpectAlign("E6", HAlign::Left);
    ExpectAlign("F1", HAlign::Right);
    ExpectAlign("J1", HAlign::Left);
    ExpectAlign("P1", HAlign::Center);
    EXPECT_TRUE(StyleOf("C6").shrink);
    for (const char* c : {"F2", "K2", "O2"}) EXPECT_EQ(StyleOf(c).numberFormat, "@") << c;
    EXPECT_EQ(StyleOf("P2").numberFormat, "General");
    EXPECT_DOUBLE_EQ(Height(1), 20);
    EXPECT_DOUBLE_EQ(Height(2), 23);
    EXPECT_DOUBLE_EQ(Height(3), 15);
    EXPECT_DOUBLE_EQ(Height(4), 57);
    EXPECT_DOUBLE_EQ(Height(5), 26);
    ExpectOrientation("D4", 90);
    ExpectOrientation("D5", 0);
}

TEST_F(ListLayouts, GroupSpecificationExecutionNumbersKeepLeadingZeros) {
    k->SPB_Blank(ws);
    ws->RangeAt("G2").SetValue(std::string("01"));
    EXPECT_EQ(Text("G2"), "01");
    EXPECT_EQ(ValueOf("G2"), host::Value(std::string("01")));
}

TEST_F(ListLayouts, GroupSpecificationRedrawnForRollbackNamesTheSheet) {
    ws->Name("АБВГ.301");
    k->SPB_Blank(ws);
    EXPECT_EQ(Text("J1"), "");
    ws->Cells().MergeCells(false);
    k->SPB_ColumnsWidthAndHead(true);
    EXPECT_EQ(Text("J1"), "АБВГ.301-");
    EXPECT_EQ(MergeOf("O1"), "J1:O1");
    EXPECT_EQ(Text("F1"), "Кол. на исполн.");
    EXPECT_TRUE(ui->messages.empty());
}

// ------------------------------------------------------------------ VPA

TEST_F(ListLayouts, PurchasedProductsColumnsHeadsAndMerges) {
    k->VPA_Blank(ws);
    ExpectWidths({{"A", 3}, {"B", 38}, {"C", 19.5}, {"D", 32.25}, {"E", 26.7}, {"F", 35.5}, {"G", 7.75},
                  {"H", 7.75}, {"I", 7.75}, {"J", 7.75}, {"K", 12}, {"L", 7}});
    ExpectMerged({"A1:A2", "B1:B2", "C1:C2", "D1:D2", "E1:E2", "F1:F2", "G1:J1", "K1:K2", "L1:L2"});
    EXPECT_EQ(MergeOf("G2"), "");
    ExpectTexts({{"A1", "№ строки"}, {"B1", "Наименование"}, {"C1", "Код продукции"},
                 {"D1", "Обозначение\nдокумента\nна поставку"}, {"E1", "Поставщик"},
                 {"F1", "Куда входит (обозначение)"}, {"G1", "Количество"}, {"K1", "Приме-\nчание"},
                 {"G2", "на из-\nделие"}, {"H2", "в ком-\nплекты"}, {"I2", "на ре-\nгулир."}, {"J2", "всего"},
                 {"L1", "список"}});
    ExpectLink("L1");
    ExpectOrientation("A1", 90);
    for (const char* c : {"A1", "B1", "F1", "G1", "K1", "L1"}) ExpectFontSize(c, 14);
    for (const char* c : {"G2", "J2"}) ExpectFontSize(c, 11);
    for (const char* c : {"B1", "C1", "D1", "E1", "F1", "K1", "G7", "J7", "A7"}) ExpectAlign(c, HAlign::Center);
    EXPECT_EQ(StyleOf("A7").vertical, VAlign::Center);
    EXPECT_TRUE(StyleOf("A7").font.italic);
    EXPECT_DOUBLE_EQ(Height(1), 24);
    EXPECT_DOUBLE_EQ(Height(2), 50);
    EXPECT_DOUBLE_EQ(Height(3), 26);
}

TEST_F(ListLayouts, PurchasedProductsUntouchedCellsHaveTwelvePointFont) {
    k->VPA_Blank(ws);
    for (const char* c : {"B3", "M1", "K40", "A3", "Z100"}) ExpectFontSize(c, 12);
}

TEST_F(ListLayouts, PurchasedProductsSameSheetWhateverTheRollbackFlag) {
    auto other = book->Add(nullptr, nullptr);
    auto draw = [&](std::shared_ptr<host::Worksheet>& sheet, bool bOtkat) {
        k->DocumentBlank(sheet, ksDOC_NO);
        sheet->Cells().Font().Size(12);
        sheet->SetValue(A("A5"), 3.0);
        k->VPA_ColumnsWidthAndHead(bOtkat);
    };
    draw(ws, false);
    draw(other, true);
    for (int r = 1; r <= 6; ++r)
        for (int c = 1; c <= 13; ++c) {
            EXPECT_EQ(ws->CellText(r, c), other->CellText(r, c)) << r << "," << c;
            EXPECT_EQ(ws->CellStyle(r, c), other->CellStyle(r, c)) << r << "," << c;
            EXPECT_EQ(ws->MergeArea(r, c), other->MergeArea(r, c)) << r << "," << c;
        }
    for (int c = 1; c <= 13; ++c) EXPECT_DOUBLE_EQ(ws->ColumnWidth(c), other->ColumnWidth(c));
    EXPECT_EQ(other->CellText(5, 1), "");
}

// ------------------------------------------------------------------ errors

TEST_F(ListLayouts, LayoutWithoutCurrentWorksheetReportsAndContinues) {
    std::vector<Variant> args{false};
    const CallStatus status = k->InvokeByName("SPB_ColumnsWidthAndHead", args);
    EXPECT_TRUE(status.ok());
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "SPB_ColumnsWidthAndHead: Object variable or With block variable not set");
    EXPECT_EQ(ui->messages[0].buttons, host::MsgButtons::OK);
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::None);
    EXPECT_EQ(ui->messages[0].title, "");
    EXPECT_EQ(Text("A1"), "");
    EXPECT_EQ(Width("A"), ws->StandardWidth());
}

TEST_F(ListLayouts, EveryPublicLayoutNamesItselfInItsMessage) {
    for (const char* name : {"SPB_ColumnsWidthAndHead", "VPA_ColumnsWidthAndHead", "PE_ColumnsWidthAndHead",
                             "VN_ColumnsWidthAndHead", "VE_ColumnsWidthAndHead"}) {
        ui->messages.clear();
        std::vector<Variant> args{true};
        EXPECT_TRUE(k->InvokeByName(name, args).ok()) << name;
        ASSERT_EQ(ui->messages.size(), 1u) << name;
        EXPECT_EQ(ui->messages[0].text, std::string(name) + ": Object variable or With block variable not set");
    }
    ui->messages.clear();
    KalvoraTestAccess::SPA_ColumnsWidthAndHead(*k, false);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "SPA_ColumnsWidthAndHead: Object variable or With block variable not set");
}

TEST_F(ListLayouts, LayoutOnDeletedWorksheetReportsTheHostError) {
    auto other = book->Add(nullptr, nullptr);
    k->VN_Blank(other);
    other->Delete();
    k->VN_ColumnsWidthAndHead(false);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text,
              std::string("VN_ColumnsWidthAndHead: ") + describe(ErrorCode::ObjectDeleted));
}

}  // namespace
}  // namespace ormelin
