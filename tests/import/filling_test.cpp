// Wrapping against the printed font and the list's field widths, and filling the
// lists of each kind: where texts go, continuation rows, refusal and --replace.
#include <gtest/gtest.h>

#include "core/kalvora_fixture.hpp"
#include "import/bom.hpp"
#include "lists/lists.hpp"
#include "recognition/recognition.hpp"

namespace ormelin::import {
namespace {

using testing_support::KalvoraTest;

Measure PrintedFont() {
    auto file = FormFontFile();
    if (!file) return {};
    auto m = FontMeasure(*file);
    return m ? *m : Measure{};
}

TEST(FontMetrics, WidthsAreThoseOfTheDraftingFontAt14Points) {
    const Measure m = PrintedFont();
    if (!m) GTEST_SKIP() << "osifont is not installed";
    EXPECT_EQ(m(""), 0.0);
    EXPECT_GT(m("ШШШШ"), m("iiii")) << "a proportional font";
    EXPECT_DOUBLE_EQ(m("Резистор 10 кОм"), m("Резистор ") + m("10 кОм"));
    // A drafting font at 14 pt: a letter is some points wide, not a pixel nor an em of 100.
    EXPECT_GT(m("Н") , 5.0);
    EXPECT_LT(m("Н"), 14.0);
    EXPECT_FALSE(FontMeasure("/nonexistent/font.ttf").has_value());
}

TEST(FieldWidths, AListColumnIsNoWiderThanItsPrintedField) {
    // The name column of the list of elements (57 characters) prints in the
    // form's name field of 110 mm (311.8 pt); text that fits the column fits the field.
    const double name = FieldWidthPoints(57);
    EXPECT_GT(name, 280.0);
    EXPECT_LT(name, 311.8);
    EXPECT_LT(FieldWidthPoints(11), FieldWidthPoints(14.7));
}

class Wrapping : public ::testing::Test {
protected:
    void SetUp() override {
        m = PrintedFont();
        if (!m) GTEST_SKIP() << "osifont is not installed";
        width = FieldWidthPoints(57);
    }
    /// Words "Конденсатор" repeated while the line still fits the width.
    std::string FittingLine() const {
        std::string line = "Конденсатор";
        while (m(line + " Конденсатор") <= width) line += " Конденсатор";
        return line;
    }
    Measure m;
    double width = 0;
};

TEST_F(Wrapping, ANameJustFittingStaysOnOneRowAndOneCharacterMoreBreaksAtTheBlank) {
    const std::string fits = FittingLine();
    ASSERT_LE(m(fits), width);
    EXPECT_EQ(Wrap(fits, width, m), std::vector<std::string>{fits});
    const std::string over = fits + " Конденсатор";
    ASSERT_GT(m(over), width);
    const auto lines = Wrap(over, width, m);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], fits);
    EXPECT_EQ(lines[1], "Конденсатор");
    for (const auto& l : Wrap(fits + " " + fits + " " + fits, width, m)) EXPECT_LE(m(l), width) << l;
}

TEST_F(Wrapping, AWordLongerThanTheFieldStandsAloneUnbroken) {
    const std::string word(200, 'W');
    const auto lines = Wrap("Резистор " + word + " 10 кОм", width, m);
    EXPECT_EQ(lines, (std::vector<std::string>{"Резистор", word, "10 кОм"}));
    EXPECT_EQ(Wrap("  a   b  ", width, m), std::vector<std::string>{"a b"});
    EXPECT_EQ(Wrap("", width, m), std::vector<std::string>{""});
}

// At the exact width where a unit, a "ТУ" or a standard's number would be cut from
// its number or designation, the two go to the next line together.
TEST_F(Wrapping, ANumberAndItsUnitADesignationAndItsTuStayTogether) {
    struct Case {
        std::string head, tail;   // the head just fits
        std::string second;       // the second line
    };
    const Case cases[] = {
        {"Диод SMBJ15A 0,5 А 60", "В", "60 В"},
        {"Конденсатор К10-17б Н50-0,1", "мкФ", "Н50-0,1 мкФ"},
        {"Резистор С2-33Н-0,125-10 кОм", "±5 %", "С2-33Н-0,125-10 кОм ±5 %"},
        {"Резистор С2-33Н АЖЯР.673546.007", "ТУ", "АЖЯР.673546.007 ТУ"},
        {"Винт М3-6gx8.48.016 ГОСТ", "17473-80", "ГОСТ 17473-80"},
    };
    for (const auto& c : cases) {
        const std::string text = c.head + " " + c.tail;
        const double exact = m(c.head);
        ASSERT_GT(m(text), exact);
        const auto lines = Wrap(text, exact, m);
        ASSERT_EQ(lines.size(), 2u) << text;
        EXPECT_EQ(lines[1], c.second) << text;
        EXPECT_EQ(lines[0] + " " + lines[1], text);
    }
    // "ГОСТ Р" and its number, and "ТУ" before its number, as one.
    EXPECT_EQ(Wrap("Шайба ГОСТ Р 52002-2003", m("Шайба ГОСТ Р"), m),
              (std::vector<std::string>{"Шайба", "ГОСТ Р 52002-2003"}));
    EXPECT_EQ(Wrap("Припой ТУ 16-526.463-80", m("Припой ТУ"), m), (std::vector<std::string>{"Припой", "ТУ 16-526.463-80"}));
    // Otherwise at blanks as before: a word that merely looks like a unit after a word is no unit.
    EXPECT_EQ(Wrap("Набор А В", m("Набор А"), m), (std::vector<std::string>{"Набор А", "В"}));
}

class Filling : public KalvoraTest {
protected:
    void Blank(ksStateOfDocument kind) {
        k->DocumentBlank(ws, kind == ksPE_OT_2 ? ksPE_OT_1 : kind);
        // The list of elements without its zone column is the head rollback draws.
        if (kind == ksPE_OT_2) lists::ColumnsWidthAndHead(ws, lists::Layout::PeWithoutZone, true, {});
        ASSERT_EQ(recognition::StateOf(*ws), kind);
    }
    std::int32_t State() const { return recognition::StateOf(*ws); }
    Measure measure = CoarseMeasure();
};

ListRow Row(const std::string& des, const std::string& name, const std::string& qty, const std::string& note = "") {
    ListRow r;
    r.designator = des;
    r.name = name;
    r.quantity = qty;
    r.note = note;
    return r;
}

TEST_F(Filling, TheListOfElementsTakesItsColumnsInBothLayouts) {
    for (auto kind : {ksPE_OT_1, ksPE_OT_2}) {
        Blank(kind);
        const std::vector<ListRow> rows = {Row("C1, C2", "Конденсатор 1n", "2"), ListRow{},
                                           Row("R1", "Резистор 1k", "1", "дп")};
        const auto r = FillList(ws, kind, rows, false, measure);
        EXPECT_EQ(r.firstRow, 2);
        EXPECT_EQ(r.rowsWritten, 3);
        const std::string d = kind == ksPE_OT_1 ? "B" : "A", n = kind == ksPE_OT_1 ? "C" : "B",
                          q = kind == ksPE_OT_1 ? "D" : "C", e = kind == ksPE_OT_1 ? "E" : "D";
        EXPECT_EQ(Text(d + "2"), "C1, C2");
        EXPECT_EQ(Text(n + "2"), "Конденсатор 1n");
        EXPECT_EQ(ValueOf(q + "2"), host::Value(2.0));
        EXPECT_EQ(Text(n + "3"), "");
        EXPECT_EQ(Text(d + "4"), "R1");
        EXPECT_EQ(Text(e + "4"), "дп");
        EXPECT_EQ(State(), kind) << "the head is untouched";
        EXPECT_DOUBLE_EQ(Height(4), 26);
    }
}

TEST_F(Filling, ALongNameContinuesOnRowsWithoutDesignatorOrQuantity) {
    Blank(ksPE_OT_1);
    const std::string name = "Конденсатор К10-17б-Н90-0,1 мкФ ОЖО.460.107 ТУ с очень длинным наименованием "
                             "которое не помещается в графе";
    FillList(ws, ksPE_OT_1, {Row("C3...C6", name, "4"), Row("C7", "x", "1")}, false, measure);
    const auto lines = Wrap(name, FieldWidthPoints(Width("C")), measure);
    ASSERT_GE(lines.size(), 2u);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string row = std::to_string(2 + i);
        joined += (i ? " " : "") + Text("C" + row);
        if (i > 0) {
            EXPECT_EQ(Text("B" + row), "") << row;
            EXPECT_EQ(Text("D" + row), "") << row;
        }
    }
    EXPECT_EQ(joined, name) << "nothing of the name is lost";
    EXPECT_EQ(Text("B" + std::to_string(2 + lines.size())), "C7");
}

TEST_F(Filling, AListHoldingRowsIsRefusedAndReplaceKeepsTheHead) {
    Blank(ksPE_OT_2);
    Put("B7", std::string("набрано вручную"));
    try {
        FillList(ws, ksPE_OT_2, {Row("R1", "x", "1")}, false, measure);
        ADD_FAILURE() << "a list with rows was filled";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("row 7"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Text("B7"), "набрано вручную");
    EXPECT_EQ(Text("A2"), "");
    FillList(ws, ksPE_OT_2, {Row("R1", "x", "1")}, true, measure);
    EXPECT_EQ(Text("A2"), "R1");
    EXPECT_EQ(Text("B7"), "");
    EXPECT_EQ(State(), ksPE_OT_2);
    EXPECT_EQ(Text("E1"), "список") << "the link cell stays";
}

TEST_F(Filling, PurchasedProductsLeaveTheLineNumberColumnEmpty) {
    Blank(ksVPA_OT);
    ListRow r;
    r.name = "Резистор 10k";
    r.document = "Yageo";
    r.supplier = "ЧипДип";
    r.assembly = "АБВГ.436234.001";
    r.quantity = "12";
    FillList(ws, ksVPA_OT, {r}, false, measure);
    EXPECT_EQ(Text("A3"), "");
    EXPECT_EQ(Text("B3"), r.name);
    EXPECT_EQ(Text("D3"), "Yageo");
    EXPECT_EQ(Text("E3"), "ЧипДип");
    EXPECT_EQ(Text("F3"), "АБВГ.436234.001");
    EXPECT_EQ(ValueOf("G3"), host::Value(12.0));
    EXPECT_EQ(ValueOf("J3"), host::Value(12.0));
    EXPECT_EQ(State(), ksVPA_OT);
}

class SpecificationFilling : public Filling {
protected:
    void SetUp() override {
        Blank(ksSPA_OT);
        // Standard products at positions 30, 31; then "Прочие изделия" and "Материалы".
        const char* rows[][3] = {{"", "Стандартные изделия", ""}, {"", "", ""}, {"30", "Винт", "4"},
                                 {"31", "Гайка", "4"},            {"", "", ""}, {"", "Прочие изделия", ""},
                                 {"", "", ""},                    {"", "", ""}, {"", "Материалы", ""},
                                 {"", "", ""},                    {"50", "Припой", "0,05"}};
        int r = 2;
        for (const auto& row : rows) {
            if (*row[0]) Put("C" + std::to_string(r), std::stod(row[0]));
            if (*row[1]) Put("E" + std::to_string(r), std::string(row[1]));
            if (*row[2]) Put("F" + std::to_string(r), std::string(row[2]));
            ++r;
        }
    }
    std::vector<ListRow> Items(int first) {
        return OtherProductRows(ReadElements(ReadCsv("Reference,Value\nXS1,DB9\nXP1,DB9M\n", "b.csv"),
                                             *BuiltinProfile("kicad")),
                                first);
    }
    int RowOf(const std::string& text) {
        for (int r = 1; r <= ws->UsedRange().r2; ++r) {
            if (Text("E" + std::to_string(r)) == text) return r;
        }
        return 0;
    }
};

TEST_F(SpecificationFilling, OtherProductsContinueThePositionsAndKeepTheOtherSections) {
    EXPECT_EQ(NextSpecificationPosition(*ws), 32);
    FillList(ws, ksSPA_OT, Items(NextSpecificationPosition(*ws)), false, measure);
    const int head = RowOf("Прочие изделия");
    EXPECT_EQ(head, 7);
    EXPECT_EQ(Text("E8"), "");
    EXPECT_EQ(ValueOf("C9"), host::Value(32.0));
    EXPECT_EQ(Text("E9"), "Вилка DB9M");
    EXPECT_EQ(ValueOf("C10"), host::Value(33.0));
    EXPECT_EQ(Text("G10"), "XS1");
    EXPECT_EQ(Text("E11"), "") << "an empty row before the next section";
    EXPECT_EQ(RowOf("Материалы"), 12);
    EXPECT_EQ(Text("E14"), "Припой");
    EXPECT_DOUBLE_EQ(Height(10), 26);
    EXPECT_EQ(State(), ksSPA_OT);
}

// A position out of range is named by its cell, never wrapped into another number.
TEST_F(SpecificationFilling, PositionsOutOfRangeAreNamedByTheirCell) {
    auto errorOf = [&] {
        try {
            NextSpecificationPosition(*ws);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    for (const host::Value& v : {host::Value(2147483647.0), host::Value(1e10), host::Value(0.0), host::Value(-3.0),
                                 host::Value(30.5), host::Value(std::string("2147483648"))}) {
        Put("C4", v);
        const std::string e = errorOf();
        EXPECT_NE(e.find("cell C4"), std::string::npos) << e;
    }
    // The largest position is taken, and the products cannot run past it.
    Put("C4", static_cast<double>(kMaxPosition) - 1);
    EXPECT_EQ(NextSpecificationPosition(*ws), kMaxPosition);
    EXPECT_EQ(Items(kMaxPosition - 1).back().position, std::to_string(kMaxPosition));
    EXPECT_THROW(Items(kMaxPosition), std::runtime_error);
    Put("C4", std::string("31а"));   // a text that is no number is no position
    EXPECT_EQ(NextSpecificationPosition(*ws), 32);
}

TEST_F(SpecificationFilling, ASectionWithRowsIsRefusedAndReplaceTouchesOnlyIt) {
    FillList(ws, ksSPA_OT, Items(32), false, measure);
    EXPECT_THROW(FillList(ws, ksSPA_OT, Items(32), false, measure), std::runtime_error);
    FillList(ws, ksSPA_OT, {Items(32)[0]}, true, measure);
    EXPECT_EQ(Text("E9"), "Вилка DB9M");
    EXPECT_EQ(Text("E10"), "");
    EXPECT_EQ(RowOf("Материалы"), 11);
    EXPECT_EQ(RowOf("Гайка"), 5);
    EXPECT_EQ(Text("E13"), "Припой");
}

// In a specification the note holds the designators; what the user added beside
// them stays with the product's name, and a product that is gone names its note.
TEST_F(SpecificationFilling, ReplaceKeepsTheUsersWordsBesideTheDesignators) {
    FillList(ws, ksSPA_OT, Items(32), false, measure);
    ASSERT_EQ(Text("G9"), "XP1");
    Put("G9", std::string("XP1 к кабелю"));
    Put("G10", std::string("XS1, корпус"));
    std::vector<ListRow> again = {Items(32)[0]};
    again[0].note = "XP1, XP2";
    const FillResult r = FillList(ws, ksSPA_OT, again, true, measure);
    std::string note = Text("G9");   // a narrow column: the note continues below
    for (int row = 10; Text("E" + std::to_string(row)).empty() && !Text("G" + std::to_string(row)).empty(); ++row) {
        note += " " + Text("G" + std::to_string(row));
    }
    EXPECT_EQ(note, "XP1, XP2 к кабелю");
    ASSERT_EQ(r.droppedNotes.size(), 1u);
    EXPECT_EQ(r.droppedNotes[0].row, "Розетка DB9");
    EXPECT_EQ(r.droppedNotes[0].note, "корпус");
}

TEST_F(Filling, ASpecificationWithoutTheSectionGetsItAtItsEnd) {
    Blank(ksSPA_OT);
    Put("C2", 1.0);
    Put("E2", std::string("Плата"));
    FillList(ws, ksSPA_OT, {Row("", "Розетка DB9", "1")}, false, measure);
    EXPECT_EQ(Text("E3"), "");
    EXPECT_EQ(Text("E4"), "Прочие изделия");
    EXPECT_EQ(Text("E5"), "");
    EXPECT_EQ(Text("E6"), "Розетка DB9");
}

}  // namespace
}  // namespace ormelin::import
