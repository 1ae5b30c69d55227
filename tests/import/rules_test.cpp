// The rules of the list of elements, the purchased products and "Прочие изделия",
// from BOMs written the way the CAD programs write them.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include <string>
#include <vector>

#include "import/bom.hpp"

namespace ormelin::import {
namespace {

std::vector<Element> Kicad(const std::string& csv) {
    return ReadElements(ReadCsv(csv, "bom.csv"), *BuiltinProfile("kicad"));
}

/// The rows as "designator|name|quantity|note", a heading as "# name", an empty row as "".
std::vector<std::string> Show(const std::vector<ListRow>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) {
        if (r.heading) {
            out.push_back("# " + r.name);
        } else if (r.designator.empty() && r.name.empty()) {
            out.push_back("");
        } else {
            out.push_back(r.designator + "|" + r.name + "|" + r.quantity + "|" + r.note);
        }
    }
    return out;
}

struct GroupingCase {
    const char* what;
    const char* csv;
    ElementRules rules;
    std::vector<std::string> rows;
};

// Printed by what it checks, so that the test's listing stays the same from run to run.
void PrintTo(const GroupingCase& c, std::ostream* os) { *os << c.what; }

class ElementListGrouping : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(ElementListGrouping, GivesTheRowsOfTheList) {
    const auto& c = GetParam();
    const auto elements = Kicad(c.csv);
    EXPECT_EQ(Show(ElementListRows(elements, c.rules, {DetectConvention(elements)})), c.rows) << c.what;
}

const GroupingCase kGroupingCases[] = {
    {"a run of four consecutive equal resistors is one row",
     "Reference,Value\nR1,10k\nR2,10k\nR3,10k\nR4,10k\n",
     {},
     {"R1...R4|Резистор 10 кОм|4|"}},
    {"two consecutive equal elements are named both, with a comma",
     "Reference,Value\nC1,100n\nC2,100n\n",
     {},
     {"C1, C2|Конденсатор 100 нФ|2|"}},
    {"a different value breaks a run",
     "Reference,Value\nR1,10k\nR2,10k\nR3,1k\nR4,10k\nR5,10k\nR6,10k\n",
     {},
     {"# Резисторы", "R1, R2|10 кОм|2|", "R3|1 кОм|1|", "R4...R6|10 кОм|3|"}},
    {"a gap in the numbers breaks a run",
     "Reference,Value\nR1,10k\nR2,10k\nR4,10k\n",
     {},
     {"# Резисторы", "R1, R2|10 кОм|2|", "R4|10 кОм|1|"}},
    {"a not-fitted element left out breaks the run around it",
     "Reference,Value,DNP\nR1,10k,\nR2,10k,DNP\nR3,10k,\n",
     {},
     {"# Резисторы", "R1|10 кОм|1|", "R3|10 кОм|1|"}},
    {"a not-fitted element kept is marked and still breaks the run",
     "Reference,Value,DNP\nR1,10k,\nR2,10k,DNP\nR3,10k,\n",
     {1, DnpRule::Mark},
     {"# Резисторы", "R1|10 кОм|1|", "R2|10 кОм|1|Не устанавливать", "R3|10 кОм|1|"}},
    {"R9 comes before R10 (natural order), whatever the file's order",
     "Reference,Value\nR10,1k\nR2,2k\nR9,3k\n",
     {},
     {"# Резисторы", "R2|2 кОм|1|", "R9|3 кОм|1|", "R10|1 кОм|1|"}},
    {"R9 and R10 are consecutive",
     "Reference,Value\nR10,1k\nR9,1k\n",
     {},
     {"R9, R10|Резистор 1 кОм|2|"}},
    {"groups in alphabetical order of their letter codes, two-letter codes their own groups",
     "Reference,Value\nX1,a\nVT1,b\nVD1,c\nR1,d\nL1,e\nHL1,f\nDD1,g\nDA1,h\nD1,i\nC1,j\n",
     {},
     {"C1|Конденсатор j|1|", "", "D1|Микросхема i|1|", "", "DA1|Микросхема h|1|", "", "DD1|Микросхема g|1|", "",
      "HL1|Индикатор f|1|", "", "L1|Дроссель e|1|", "", "R1|Резистор d|1|", "", "VD1|Диод c|1|", "",
      "VT1|Транзистор b|1|", "", "X1|Соединитель a|1|"}},
    {"a one-element group has no heading: the singular kind name leads its row",
     "Reference,Value,MPN,Manufacturer\nVD1,1N4148,1N4148W,Diodes\n",
     {},
     {"VD1|Диод 1N4148W 1N4148 Diodes|1|"}},
    {"a type and document every element shares go into the heading",
     "Reference,Value,MPN,Manufacturer\nR1,10 кОм,RC0603,Yageo\nR2,1 кОм,RC0603,Yageo\nR3,1 кОм,RC0603,Yageo\n",
     {},
     {"# Резисторы RC0603 Yageo", "R1|10 кОм|1|", "R2, R3|1 кОм|2|"}},
    {"without a shared type the heading is the kind alone and rows keep everything",
     "Reference,Value,MPN\nR1,10k,RC0603\nR2,1k,RC0805\n",
     {},
     {"# Резисторы", "R1|RC0603 10 кОм|1|", "R2|RC0805 1 кОм|1|"}},
    {"two empty rows between groups when asked",
     "Reference,Value\nC1,1n\nR1,1k\n",
     {2, DnpRule::Omit},
     {"C1|Конденсатор 1 нФ|1|", "", "", "R1|Резистор 1 кОм|1|"}},
    {"a letter code without a kind name gets no heading",
     "Reference,Value\nTP1,TP-5000\nTP2,TP-5001\n",
     {},
     {"TP1|TP-5000|1|", "TP2|TP-5001|1|"}},
    {"grouped lines (KiCad Refs/Qty) are split and joined again",
     "Refs,Value,Qty\n\"C3, C4, C5, C6\",100n,4\nC1,10u,1\n",
     {},
     {"# Конденсаторы", "C1|10 мкФ|1|", "C3...C6|100 нФ|4|"}},
    {"a line without designators has no place in the list of elements",
     "Reference,Value,Qty\n,Винт М3,4\nR1,1k,1\n",
     {},
     {"R1|Резистор 1 кОм|1|"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ElementListGrouping, ::testing::ValuesIn(kGroupingCases),
                         [](const ::testing::TestParamInfo<GroupingCase>& param) { return std::to_string(param.index); });

// The letter codes decide the convention when one of them is used only by GOST
// 2.710 or only by IEC; D then is a microcircuit or a diode. A BOM that decides
// neither leaves D without a kind name, until the convention is given.
TEST(Conventions, TheCodesDecideWhatDAndXAre) {
    const auto iec = Kicad("Reference,Value\nD1,SM4007\nD2,LL4148\nU1,CD4047BP\nQ1,BC847\nY1,HC-49\nX1,HC-49S\n");
    ASSERT_EQ(DetectConvention(iec), Convention::Iec);
    EXPECT_EQ(Show(ElementListRows(iec, {}, {Convention::Iec})),
              (std::vector<std::string>{"# Диоды", "D1|SM4007|1|", "D2|LL4148|1|", "", "Q1|Транзистор BC847|1|", "",
                                        "U1|Микросхема CD4047BP|1|", "", "X1|HC-49S|1|", "",
                                        "Y1|Резонатор кварцевый HC-49|1|"}));

    const auto gost = Kicad("Reference,Value\nD1,К561ЛА7\nVD1,КД522Б\nX1,PLS-2\nZQ1,HC-49\n");
    ASSERT_EQ(DetectConvention(gost), Convention::Gost);
    EXPECT_EQ(Show(ElementListRows(gost, {}, {Convention::Gost})),
              (std::vector<std::string>{"D1|Микросхема К561ЛА7|1|", "", "VD1|Диод КД522Б|1|", "",
                                        "X1|Соединитель PLS-2|1|", "", "ZQ1|Резонатор кварцевый HC-49|1|"}));

    // R, C and L mean the same under both; D, DS and X do not.
    const auto neither = Kicad("Reference,Value\nD1,1N4148\nR1,R-1\nX1,PLS-2\n");
    ASSERT_EQ(DetectConvention(neither), Convention::Unknown);
    EXPECT_EQ(UndecidedCodes(neither), (std::vector<std::string>{"D", "X"}));
    EXPECT_EQ(Show(ElementListRows(neither, {}, {Convention::Unknown})),
              (std::vector<std::string>{"D1|1N4148|1|", "", "R1|Резистор R-1|1|", "", "X1|PLS-2|1|"}));
    EXPECT_EQ(Show(ElementListRows(neither, {}, {Convention::Iec}))[0], "D1|Диод 1N4148|1|");
    // As many codes of one as of the other decide nothing either.
    EXPECT_EQ(DetectConvention(Kicad("Reference,Value\nVD1,a\nU1,b\nD1,c\n")), Convention::Unknown);
}

// Designators of real boards, kept exactly as written and in natural order; only
// plain ones join runs; power and flag symbols are no parts.
TEST(Designators, AreKeptAsWrittenInNaturalOrder) {
    int symbols = 0;
    const auto es = ReadElements(ReadCsv("Reference,Value\nR10,1k\nR2,1k\nR3,1k\nR1A,1k\nR001,1k\n"
                                         "R1.1,1k\nC1_2,1n\nC1_1,1n\nC1_10,1n\nBOOT0_2,a\nBOOT0_1,a\n"
                                         "\"#PWR01, #PWR02\",GND\n#FLG01,PWR_FLAG\n",
                                         "bom.csv"),
                                 *BuiltinProfile("kicad"), &symbols);
    EXPECT_EQ(symbols, 3);
    EXPECT_EQ(Show(ElementListRows(es, {}, {Convention::Gost})),
              (std::vector<std::string>{"BOOT0_1|a|1|", "BOOT0_2|a|1|", "", "# Конденсаторы", "C1_1|1 нФ|1|",
                                        "C1_2|1 нФ|1|", "C1_10|1 нФ|1|", "", "# Резисторы", "R1.1|1 кОм|1|",
                                        "R1A|1 кОм|1|", "R001|1 кОм|1|", "R2, R3|1 кОм|2|", "R10|1 кОм|1|"}));
    const auto products = OtherProductRows(es, 1, {Convention::Gost});
    EXPECT_EQ(products.at(2).note, "R1.1, R1A, R001, R2, R3, R10");
}

// Every bad line of a file is named, each with its line and column, up to 50.
TEST(Designators, EveryBadLineIsNamed) {
    std::string csv = "Reference,Value,Qty\nR1,1k,1\nР2,1k,1\nR3,1k,x\nR_4,1k,1\n\"R5, R6\",1k,3\nR1,2k,1\n";
    std::string e;
    try {
        Kicad(csv);
    } catch (const BomError& error) {
        e = error.what();
    }
    EXPECT_EQ(e,
              "bom.csv:3:1: \"Р2\" is not a designator (Latin letters and a number, as R12 or R1A; column 1)\n"
              "bom.csv:4:3: the quantity \"x\" is not a whole number (column 3)\n"
              "bom.csv:5:1: \"R_4\" is not a designator (Latin letters and a number, as R12 or R1A; column 1)\n"
              "bom.csv:6:3: the quantity 3 does not match the 2 designators of the line\n"
              "bom.csv:7:1: the designator R1 is named twice (also on line 2)");
    for (int i = 0; i < 60; ++i) csv += "Q" + std::to_string(i) + "!,x,1\n";
    try {
        Kicad(csv);
    } catch (const BomError& error) {
        e = error.what();
    }
    EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 50);
    EXPECT_NE(e.find("(and 15 more faults, not named)"), std::string::npos);
}

// A name that already begins with a kind's name, in any case or number, is
// written as it stands; so is a group's heading.
TEST(KindNames, AreNotDoubled) {
    const auto es = Kicad(
        "Reference,Value,MPN\nDD1,CD4047BP,Микросхема\nVS1,S6X8BBS,Тиристор\nVD1,BZX84C3V3,стабилитрон\n"
        "XS1,IDC-10,Разъем\nXP1,PLS-2,ВИЛКИ штыревые\nC1,1n,Конденсатор чип\nC2,2n,Конденсатор чип\n");
    EXPECT_EQ(Show(ElementListRows(es, {}, {Convention::Gost})),
              (std::vector<std::string>{"# Конденсаторы", "C1|Конденсатор чип 1 нФ|1|", "C2|Конденсатор чип 2 нФ|1|", "",
                                        "DD1|Микросхема CD4047BP|1|", "", "VD1|стабилитрон BZX84C3V3|1|", "",
                                        "VS1|Тиристор S6X8BBS|1|", "", "XP1|ВИЛКИ штыревые PLS-2|1|", "",
                                        "XS1|Разъем IDC-10|1|"}));
    EXPECT_EQ(PurchasedRows(es, "", {Convention::Gost}).at(2).name, "Конденсатор чип 2 нФ");
}

// Values as real BOMs give them, and as a drawing writes them.
TEST(Values, AreWrittenInGostForm) {
    struct Case {
        const char* given;
        MainUnit unit;
        const char* written;
        double magnitude;   // 0: none
    };
    const Case cases[] = {
        {"4k7", MainUnit::Ohm, "4,7 кОм", 4700},
        {"4R7", MainUnit::Ohm, "4,7 Ом", 4.7},
        {"R47", MainUnit::Ohm, "0,47 Ом", 0.47},
        {"0R", MainUnit::Ohm, "0 Ом", 0},
        {"100", MainUnit::Ohm, "100 Ом", 100},
        {"1M", MainUnit::Ohm, "1 МОм", 1e6},
        {"10kΩ", MainUnit::Ohm, "10 кОм", 1e4},
        {"10K 1%", MainUnit::Ohm, "10 кОм ±1 %", 1e4},
        {"1k 0.125W 5%", MainUnit::Ohm, "1 кОм 0,125 Вт ±5 %", 1e3},
        {"10 кОм ±5 %", MainUnit::Ohm, "10 кОм ±5 %", 1e4},
        {"8p2", MainUnit::Farad, "8,2 пФ", 8.2e-12},
        {"100n", MainUnit::Farad, "100 нФ", 1e-7},
        {"2.2uF", MainUnit::Farad, "2,2 мкФ", 2.2e-6},
        {"2u2", MainUnit::Farad, "2,2 мкФ", 2.2e-6},
        {"0.1uF/50V X7R", MainUnit::Farad, "0,1 мкФ 50 В X7R", 1e-7},
        {"100nF 16V 0603", MainUnit::Farad, "100 нФ 16 В 0603", 1e-7},
        {"4.7 µF", MainUnit::Farad, "4,7 мкФ", 4.7e-6},
        {"22", MainUnit::Farad, "22", 0},   // pF or µF: not guessed
        {"10uH", MainUnit::Henry, "10 мкГн", 1e-5},
        {"4.7mH", MainUnit::Henry, "4,7 мГн", 4.7e-3},
        {"8MHz", MainUnit::Hertz, "8 МГц", 8e6},
        {"32.768kHz", MainUnit::Hertz, "32,768 кГц", 32768},
        {"3V3", MainUnit::None, "3,3 В", 0},
        {"SMBJ15A 0.5A 60V", MainUnit::None, "SMBJ15A 0,5 А 60 В", 0},
        {"1N4148", MainUnit::None, "1N4148", 0},
        {"STM32F103C8T6", MainUnit::None, "STM32F103C8T6", 0},
        {"1/4W", MainUnit::Ohm, "1/4W", 0},
        {"DNP", MainUnit::Ohm, "DNP", 0},
    };
    for (const auto& c : cases) {
        const GostValue v = FormatValue(c.given, c.unit);
        EXPECT_EQ(v.text, c.written) << c.given;
        if (c.magnitude != 0) {
            ASSERT_TRUE(v.magnitude.has_value()) << c.given;
            EXPECT_NEAR(*v.magnitude / c.magnitude, 1.0, 1e-9) << c.given;
        } else if (std::string(c.given) != "0R") {
            EXPECT_FALSE(v.magnitude.has_value()) << c.given;
        }
    }
    // Through the import: by the kind of the designator, or kept as given.
    const auto es = Kicad("Reference,Value\nR1,4k7\nC1,8p2\nL1,10u\nY1,16M\nD1,5V1\n");
    EXPECT_EQ(Show(ElementListRows(es, {}, {Convention::Iec})),
              (std::vector<std::string>{"C1|Конденсатор 8,2 пФ|1|", "", "D1|Диод 5,1 В|1|", "",
                                        "L1|Дроссель 10 мкГн|1|", "", "R1|Резистор 4,7 кОм|1|", "",
                                        "Y1|Резонатор кварцевый 16 МГц|1|"}));
    EXPECT_EQ(Show(ElementListRows(es, {}, {Convention::Iec, true}))[0], "C1|Конденсатор 8p2|1|");
}

// "Прочие изделия" and the list of purchased products follow GOST 2.106: groups of
// like products alphabetically, names in a group alphabetically, one name by its
// main parameter ascending; the list of elements keeps the designators' order.
TEST(ProductOrder, GroupsNamesAndMainParameterAscending) {
    const auto es = Kicad(
        "Reference,Value,MPN,Qty\nZQ1,8MHz,HC-49S,\nC1,100n,К10-17б,\nDD1,К561ЛА7,,\nHL1,АЛ307БМ,,\n"
        "R1,4k7,С2-33Н-0.25,\nR2,10,С2-33Н-0.25,\nR3,1k,С2-33Н-0.25,\nR4,100k,Р1-12,\nVD1,КД522Б,,\n"
        "C2,2.2n,К10-17б,\nC3,47u,К50-35,\n,Винт М3х8,,4\n");
    std::vector<std::string> names;
    for (const auto& r : OtherProductRows(es, 1, {Convention::Gost})) names.push_back(r.position + " " + r.name + " | " + r.note);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "1 Винт М3х8 | ",
                         "2 Диод КД522Б | VD1",
                         "3 Индикатор АЛ307БМ | HL1",
                         "4 Конденсатор К10-17б 2,2 нФ | C2",
                         "5 Конденсатор К10-17б 100 нФ | C1",
                         "6 Конденсатор К50-35 47 мкФ | C3",
                         "7 Микросхема К561ЛА7 | DD1",
                         "8 Резистор Р1-12 100 кОм | R4",
                         "9 Резистор С2-33Н-0.25 10 Ом | R2",
                         "10 Резистор С2-33Н-0.25 1 кОм | R3",
                         "11 Резистор С2-33Н-0.25 4,7 кОм | R1",
                         "12 Резонатор кварцевый HC-49S 8 МГц | ZQ1",
                     }));
    const auto purchased = PurchasedRows(es, "", {Convention::Gost});
    ASSERT_EQ(purchased.size(), 12u) << "one row per product";
    EXPECT_EQ(purchased[8].name, "Резистор С2-33Н-0.25 10 Ом");
    EXPECT_EQ(Show(ElementListRows(es, {}, {Convention::Gost})).front(), "# Конденсаторы")
        << "the list of elements stays in the order of the designators";
}

TEST(RunText, NamesOneTwoAndMoreDesignators) {
    EXPECT_EQ(RunText("R", 5, 5), "R5");
    EXPECT_EQ(RunText("R", 1, 2), "R1, R2");
    EXPECT_EQ(RunText("VD", 3, 5), "VD3...VD5");
}

TEST(PurchasedProducts, OneRowPerProductWithItsQuantitySupplierAndAssembly) {
    const auto elements = Kicad(
        "Reference,Value,MPN,Manufacturer,Supplier,DNP\n"
        "R1,10k,RC0603FR-0710KL,Yageo,ЧипДип,\n"
        "R7,10k,RC0603FR-0710KL,Yageo,,\n"
        "C1,100n,GRM188,Murata,Элитан,\n"
        "R2,10k,RC0603FR-0710KL,Yageo,,DNP\n");
    const auto rows = PurchasedRows(elements, "АБВГ.436234.001");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "Конденсатор GRM188 100 нФ");
    EXPECT_EQ(rows[0].document, "Murata");
    EXPECT_EQ(rows[0].quantity, "1");
    EXPECT_EQ(rows[1].name, "Резистор RC0603FR-0710KL 10 кОм");
    EXPECT_EQ(rows[1].quantity, "2") << "the not-fitted R2 is not bought";
    EXPECT_EQ(rows[1].supplier, "ЧипДип");
    EXPECT_EQ(rows[1].assembly, "АБВГ.436234.001");
    EXPECT_TRUE(rows[1].designator.empty());
}

TEST(PurchasedProducts, LinesWithoutDesignatorsCountTheirQuantity) {
    const auto rows = PurchasedRows(Kicad("Reference,Value,Qty\n,Винт М3x8,12\n,Винт М3x8,4\nR1,1k,\n"), "");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "Винт М3x8");
    EXPECT_EQ(rows[0].quantity, "16");
    EXPECT_EQ(rows[1].name, "Резистор 1 кОм");
}

TEST(OtherProducts, PositionsContinueAndTheNoteNamesTheDesignators) {
    const auto rows = OtherProductRows(
        Kicad("Reference,Value\nR1,1k\nR2,1k\nR3,1k\nR5,1k\nC1,1n\nC2,1n\nXS1,DB9\n"), 41);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].position, "41");
    EXPECT_EQ(rows[0].name, "Конденсатор 1 нФ");
    EXPECT_EQ(rows[0].note, "C1, C2");
    EXPECT_EQ(rows[1].position, "42");
    EXPECT_EQ(rows[1].quantity, "4");
    EXPECT_EQ(rows[1].note, "R1...R3, R5");
    EXPECT_EQ(rows[2].position, "43");
    EXPECT_EQ(rows[2].name, "Розетка DB9");
}

}  // namespace
}  // namespace ormelin::import
