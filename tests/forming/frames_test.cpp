// A4 forming: the fixed texts and attribute cells of the first and subsequent
// sheets' title blocks, the register references, the field merges, the frame
// lines, and the heights of the rows forming inserts.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <optional>

#include "forming/forming_fixture.hpp"
#include "ormelin/attr_doc.hpp"

namespace ormelin {
namespace {

using testing_support::FormingTest;

/// A reference "<prefix>список!R<row>C<column>" at the start of a formula text,
/// with what follows it.
struct Reference {
    int row = 0, column = 0;
    std::string rest;
};
std::optional<Reference> ParseReference(const std::string& text, const std::string& prefix) {
    const std::string head = prefix + "список!R";
    if (text.rfind(head, 0) != 0) return std::nullopt;
    std::size_t p = head.size();
    auto number = [&](int& out) {
        const std::size_t start = p;
        while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) ++p;
        if (p == start) return false;
        out = std::stoi(text.substr(start, p - start));
        return true;
    };
    Reference r;
    if (!number(r.row) || p >= text.size() || text[p++] != 'C' || !number(r.column)) return std::nullopt;
    r.rest = text.substr(p);
    return r;
}

class TitleBlocks : public FormingTest {
protected:
    void ExpectTexts(std::initializer_list<std::pair<const char*, const char*>> cells, const char* what) {
        for (const auto& [cell, text] : cells) EXPECT_EQ(Text(cell), text) << what << " " << cell;
    }
    bool Framed(const char* cell, host::Edge e) {
        const host::Style& s = StyleOf(cell);
        const host::Border* b = e == host::Edge::Left     ? &s.left
                                : e == host::Edge::Top    ? &s.top
                                : e == host::Edge::Bottom ? &s.bottom
                                                          : &s.right;
        return b->style == host::LineStyle::Continuous;
    }
    bool Boxed(const char* cell) {
        return Framed(cell, host::Edge::Left) && Framed(cell, host::Edge::Top) && Framed(cell, host::Edge::Bottom) &&
               Framed(cell, host::Edge::Right);
    }
};

TEST_F(TitleBlocks, FirstSheetFixedTextsWithAnEmptyRecord) {
    FillList(ksPE_OT_1, 5);
    Form();
    // no register row: the message, and the title block gets its fixed texts only
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Строка атрибутов документа в листе \"список\" не найдена");
    ExpectTexts({{"C31", "Изм."}, {"D31", "Лист"}, {"F31", "№ докум."}, {"I31", "Подп."}, {"K31", "Дата"},
                 {"C32", "Разраб."}, {"C33", "Пров."}, {"C34", ""}, {"C35", "Н. контр."}, {"C36", "Утв."},
                 {"S32", "Лит."}, {"V32", "Лист"}, {"Y32", "Листов"}, {"M37", "Копировал:"}, {"S37", "Формат А4"},
                 {"A1", "Перв. примен."}, {"A7", "Справ. №"}, {"A16", "Подп. и дата"}, {"A20", "Инв. № дубл."},
                 {"A23", "Взам. инв. №"}, {"A27", "Подп. и дата"}, {"A32", "Инв. № подл."},
                 {"M36", "Перечень элементов"}, {"M29", ""}, {"M32", ""}, {"S33", ""}, {"S34", ""}, {"C30", ""},
                 {"F32", ""}, {"B7", ""}, {"B32", ""}, {"O26", ""}, {"M28", ""}},
                "first sheet");
    // without a register row the first-use field stays empty: its joining text alone would print
    EXPECT_EQ(Text("B1"), "");
    EXPECT_TRUE(Content("B1").formula.empty());
    // the merges of the title block
    EXPECT_EQ(MergeOf("M29"), "M29:Z31");
    EXPECT_EQ(MergeOf("M32"), "M32:R35");
    EXPECT_EQ(MergeOf("C32"), "C32:E32");
    EXPECT_EQ(MergeOf("D30"), "D30:E30");
    EXPECT_EQ(MergeOf("F36"), "F36:H36");
    EXPECT_EQ(MergeOf("S34"), "S34:Z36");
    EXPECT_EQ(MergeOf("S33"), "");
    EXPECT_EQ(MergeOf("A1"), "A1:A6");
    EXPECT_EQ(MergeOf("A14"), "A14:B15");
    EXPECT_EQ(MergeOf("B32"), "B32:B36");
    // a date, and nothing for the 0 of an empty register cell
    EXPECT_EQ(StyleOf("K33").numberFormat, "dd.mm.yy;dd.mm.yy;\"\";@");
    EXPECT_EQ(StyleOf("A10").orientation, 90);
}

TEST_F(TitleBlocks, KindNameUnderTheProductName) {
    for (const auto& [kind, name] : {std::pair{ksSPA_OT, ""}, {ksPE_OT_2, "Перечень элементов"},
                                     {ksVN_OT, "Ведомость документов на носителях данных"},
                                     {ksVE_OT, "Ведомость эксплуатационных документов"}}) {
        FillList(kind, 2);
        Form();
        EXPECT_EQ(Text("M36"), name) << kind;
    }
}

TEST_F(TitleBlocks, SubsequentSheetFixedTextsWithAnEmptyRecord) {
    FillList(ksSPA_OT, 30);
    Form();
    // sheet 2: block from row 37 (sheet 1's bottom line)
    ExpectTexts({{"C38", "Формат"}, {"G38", "Обозначение"}, {"X38", "Приме-\nчание"},
                 {"C71", "Изм."}, {"D71", "Лист"}, {"F71", "№ докум."}, {"I71", "Подп."}, {"K71", "Дата"},
                 {"Z68", "Лист"}, {"Z70", "2"}, {"M68", ""}, {"C69", ""},
                 {"A67", "Инв. № подл."}, {"A63", "Подп. и дата"}, {"A60", "Взам. инв. №"},
                 {"A53", "Подп. и дата"}, {"A57", "Инв. № дубл."}, {"B67", ""},
                 {"M72", "Копировал:"}, {"S72", "Формат А4"}},
                "sheet 2");
    EXPECT_EQ(MergeOf("M68"), "M68:Y71");
    EXPECT_EQ(MergeOf("Z70"), "Z70:Z71");
    EXPECT_EQ(MergeOf("A53"), "A53:A56");
    EXPECT_EQ(MergeOf("A57"), "A57:A59");
    EXPECT_EQ(MergeOf("B67"), "B67:B71");
    EXPECT_EQ(MergeOf("G38"), "G38:O38");
    // the 24th..30th data rows (sheet 2) keep their places under the heads
    EXPECT_EQ(RowOfEntry(7, 30), 45);
}

TEST_F(TitleBlocks, RegisterReferencesShowTheRegistersCurrentValues) {
    Kalvora::WorkbookRef wb = book;
    k->FindSPIS(wb);  // the empty first sheet becomes the register
    ws = book->Add(nullptr, nullptr);
    auto rec = std::make_shared<AttrDoc>();
    rec->aOboz("АБВГ.468332.001ПЭ3");
    rec->aNaim("Блок питания");
    rec->aDesi("Иванов");
    rec->aPerv("АБВГ.468332.001");
    rec->aProj("П-17");
    rec->aIzme("2");
    rec->aNdoc("АБВГ.12-24");
    rec->aInpo("1234");
    Kalvora::AttrDocRef recRef = rec;
    FillList(ksPE_OT_1, 60);
    k->AttribsToSPIS(recRef, ws);
    Form(false, true);
    EXPECT_TRUE(ui->messages.empty());

    // every attribute cell holds a formula into the document's register row
    const auto reg = book->FindSheet("список");
    ASSERT_TRUE(reg);
    auto shown = [&](const char* cell) {
        const std::string f = Content(cell).formula;
        const auto ref = ParseReference(f, "=");
        if (!ref || ref->rest.size()) return "<" + f + ">";
        return reg->CellText(ref->row, ref->column);
    };
    for (const auto& [cell, text] :
         {std::pair{"M29", "АБВГ.468332.001ПЭ3"}, {"M32", "Блок питания"}, {"F32", "Иванов"}, {"C30", "2"},
          {"B32", "1234"}, {"F30", "АБВГ.12-24"}, {"D30", ""}, {"S33", ""},
          // sheet 2 and the change-registration sheet (sheet 4, block from row 107)
          {"M68", "АБВГ.468332.001ПЭ3"}, {"C69", "2"}, {"F69", "АБВГ.12-24"}, {"B67", "1234"},
          {"C111", "2"}, {"Q111", "АБВГ.12-24"}, {"M138", "АБВГ.468332.001ПЭ3"}})
        EXPECT_EQ(shown(cell), text) << cell;
    // the first-use field: one formula joining the two register cells five blanks apart
    const std::string firstUse = Content("B1").formula;
    const auto perv = ParseReference(firstUse, "=");
    ASSERT_TRUE(perv) << firstUse;
    const auto proj = ParseReference(perv->rest, " & \"     \" & ");
    ASSERT_TRUE(proj && proj->rest.empty()) << firstUse;
    EXPECT_EQ(reg->CellText(perv->row, perv->column), "АБВГ.468332.001");
    EXPECT_EQ(reg->CellText(proj->row, proj->column), "П-17");
    // the registration table's formulas stay relative to their own row
    EXPECT_EQ(Content("E111").formula, "=IF(OR(RC[-2]=\"\",RC[-2]=0),\"\",\"-\")");
    EXPECT_EQ(Content("R111").formula, "=IF(OR(RC[-1]=\"\",RC[-1]=0),\"\",\"-\")");
}

TEST_F(TitleBlocks, FieldMergesOfEveryKind) {
    struct Case {
        ksStateOfDocument kind;
        std::vector<const char*> merges;  // in row 1, and the same in a data row
        ksStateOfDocument formed;
    };
    for (const Case& c : {Case{ksSPA_OT, {"C1", "D1", "E1:F1", "G1:O1", "P1:U1", "V1:W1", "X1:Z1"}, ksSPA_OF},
                          Case{ksPE_OT_1, {"C1", "D1:G1", "H1:T1", "U1:V1", "W1:Z1"}, ksPE_OF},
                          Case{ksPE_OT_2, {"C1:G1", "H1:T1", "U1:V1", "W1:Z1"}, ksPE_OF},
                          Case{ksVN_OT, {"C1", "D1:O1", "P1:V1", "W1:Z1"}, ksVN_OF},
                          Case{ksVE_OT, {"C1:L1", "M1:R1", "S1:T1", "U1:V1", "W1:Z1"}, ksVE_OF}}) {
        FillList(c.kind, 30);
        Form();
        EXPECT_EQ(State(), c.formed) << c.kind;
        for (const char* m : c.merges) {
            const host::Area a = host::ParseAddress(m);
            const std::string first = host::AddressOf(host::Area{a.r1, a.c1, a.r1, a.c1});
            const std::string want = a.single() ? "" : m;
            EXPECT_EQ(MergeOf(first), want) << c.kind << " head";
            for (int row : {24, 38, 39, 67}) {
                const host::Area d{row, a.c1, row, a.c2};
                EXPECT_EQ(MergeOf(host::AddressOf(host::Area{row, a.c1, row, a.c1})),
                          a.single() ? "" : host::AddressOf(d))
                    << c.kind << " row " << row;
            }
        }
        // the link cell stands outside the print area, in AA
        EXPECT_EQ(Text("AA1"), "список") << c.kind;
    }
}

TEST_F(TitleBlocks, ListOfElementsWithoutZoneHasEveryColumnInAFieldOfItsOwn) {
    Blank(ksPE_OT_2);
    ASSERT_EQ(State(), ksPE_OT_2);
    ws->SetValue(A("A2"), std::string("R1"));
    ws->SetValue(A("B2"), std::string("Резистор"));
    ws->SetValue(A("C2"), 2.0);
    ws->SetValue(A("D2"), std::string("прим."));
    Form();
    EXPECT_EQ(State(), ksPE_OF);
    EXPECT_EQ(Text("C1"), "Поз.\nобозна-\nчение");
    EXPECT_EQ(Text("H1"), "Наименование");
    EXPECT_EQ(Text("U1"), "Кол.");
    EXPECT_EQ(Text("W1"), "Примечание");
    EXPECT_EQ(Text("C2"), "R1");
    EXPECT_EQ(Text("H2"), "Резистор");
    EXPECT_EQ(Text("U2"), "2");
    EXPECT_EQ(Text("W2"), "прим.");
    EXPECT_EQ(MergeOf("W2"), "W2:Z2");
}

TEST_F(TitleBlocks, FrameLinesOfTheFirstSheet) {
    FillList(ksSPA_OT, 10);
    Form();
    for (const char* c : {"A1", "B6", "A13", "B13", "A16", "B36", "C1", "Z1", "G12", "Z36", "C36", "Q30", "A30"})
        EXPECT_TRUE(Boxed(c)) << c;
    // the strip between the two binding-margin frames is not framed inside
    EXPECT_FALSE(Framed("A14", host::Edge::Left));
    // no line along the top of the area above the title block
    EXPECT_FALSE(Framed("C26", host::Edge::Top));
    EXPECT_FALSE(Framed("H25", host::Edge::Bottom));
    EXPECT_TRUE(Framed("M26", host::Edge::Top));
    // the name field and the kind name read as one box
    EXPECT_FALSE(Framed("M36", host::Edge::Top));
    EXPECT_FALSE(Framed("M35", host::Edge::Bottom));
    EXPECT_TRUE(Framed("M36", host::Edge::Bottom));
    // the bottom line is outside the frame
    EXPECT_FALSE(Framed("M37", host::Edge::Bottom));
}

TEST_F(TitleBlocks, FrameLinesOfEverySheetBlock) {
    FillList(ksSPA_OT, 60);
    Form(false, true);
    for (int b : {37, 72, 107}) {  // sheets 2, 3 and the registration sheet
        for (const auto& [col, r] : {std::pair{"C", 2}, {"Z", 2}, {"G", 20}, {"Z", 35}, {"C", 35}, {"A", 18},
                                     {"B", 35}, {"A", 30}, {"A", 17}}) {
            const std::string cell = col + std::to_string(b + r - 1);
            EXPECT_TRUE(Boxed(cell.c_str())) << cell;
        }
        const std::string above = "A" + std::to_string(b + 4);  // binding margin above the fields
        EXPECT_FALSE(Framed(above.c_str(), host::Edge::Left)) << above;
        const std::string bottom = "M" + std::to_string(b + 35);
        EXPECT_EQ(Text(bottom), "Копировал:") << bottom;
        EXPECT_FALSE(Framed(bottom.c_str(), host::Edge::Bottom)) << bottom;
    }
}

TEST_F(TitleBlocks, NoInsertedRowHasTheListRowHeight) {
    // four full sheets: every row that is not a data row was inserted by forming
    const int n = 23 + 3 * 29;
    FillList(ksVE_OT, n);
    Form(false, true);
    const int col = 3;  // the designation field of the formed list
    std::vector<bool> dataRow(200, false);
    for (int i = 1; i <= n; ++i) {
        const int r = RowOfEntry(col, i);
        ASSERT_GT(r, 0) << i;
        dataRow[r] = true;
        EXPECT_DOUBLE_EQ(Height(r), 26) << r;
    }
    const int sheets = 5;  // four sheets and the registration sheet
    const int last = 2 + 35 * sheets;
    for (int r = 2; r <= last; ++r) {
        if (dataRow[r]) continue;
        const int inBlock = r <= 37 ? 0 : (r - 37 - 1) % 35 + 2;  // block row on subsequent sheets
        const bool registrationBody = r > 37 + 35 * 3 && inBlock >= 6 && inBlock <= 31;
        if (registrationBody) {
            EXPECT_DOUBLE_EQ(Height(r), 26) << r;  // the empty rows the table body runs over
            continue;
        }
        EXPECT_GT(std::abs(Height(r) - 26), 0.4) << r;
    }
    // the heights the frames use
    for (const auto& [r, h] : {std::pair{25, 8.0}, {26, 14.0}, {27, 30.0}, {28, 24.5}, {29, 15.0}, {37, 15.0},
                               {38, 43.0}, {68, 15.0}, {69, 6.0}, {70, 9.0}, {71, 15.0}, {72, 15.0},
                               {143, 25.4}, {144, 25.4}, {145, 43.0}, {146, 25.0}})
        EXPECT_DOUBLE_EQ(Height(r), h) << r;
}

}  // namespace
}  // namespace ormelin

namespace ormelin {
namespace {

class TitleFormats : public testing_support::FormingTest {};

// The replaced-inventory field of the first sheet is centred like its neighbours;
// only the two signature-and-date fields read from the top.
TEST_F(TitleFormats, FirstSheetBindingMarginAlignments) {
    FillList(ksSPA_OT, 5);
    Form(false, false);
    EXPECT_EQ(StyleOf("B23").vertical, host::VAlign::Center);
    EXPECT_EQ(StyleOf("B16").vertical, host::VAlign::Top);
    EXPECT_EQ(StyleOf("B27").vertical, host::VAlign::Top);
}

// The change-registration sheet's first entry is written at the list rows' size,
// not at the size of the bottom line its row is inserted under.
TEST_F(TitleFormats, RegistrationEntryHasTheListFontSize) {
    FillList(ksSPA_OT, 60);
    Form(false, true);
    const int b = 107;  // the registration sheet's block starts at the last sheet's bottom line
    for (const char* col : {"C", "E", "H", "J", "Q", "R", "Y"}) {
        const std::string cell = col + std::to_string(b + 4);
        EXPECT_EQ(StyleOf(cell.c_str()).font.size, 14) << cell;
    }
    EXPECT_EQ(StyleOf(("C" + std::to_string(b + 20)).c_str()).font.size, 14);  // the body's empty rows
}

}  // namespace
}  // namespace ormelin
