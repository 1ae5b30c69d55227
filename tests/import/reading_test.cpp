// Reading BOM files: delimiters, encodings, quoting, profiles, and the errors
// that name the file, the line and the column.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>

#include "import/bom.hpp"

namespace ormelin::import {
namespace {

std::vector<Element> Read(const std::string& csv, const Profile& p = *BuiltinProfile("kicad")) {
    return ReadElements(ReadCsv(csv, "bom.csv"), p);
}

/// The message of the BomError the call throws, or "" when it throws none.
template <typename F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const BomError& e) {
        return e.what();
    }
    return "";
}

TEST(CsvReading, FindsTheDelimiterOfTheHeadLine) {
    for (const char* csv : {"Reference;Value\nR1;1,5k\n", "Reference\tValue\nR1\t1,5k\n", "Reference,Value\nR1,\"1,5k\"\n"}) {
        const auto es = Read(csv);
        ASSERT_EQ(es.size(), 1u) << csv;
        EXPECT_EQ(es[0].value, "1,5k") << csv;
    }
}

TEST(CsvReading, QuotedFieldsKeepDelimitersQuotesAndLineBreaksAndLinesCountRight) {
    const Table t = ReadCsv("A,B\r\n\"x, \"\"y\"\"\",\"two\nlines\"\r\n\nz,w\r\n", "f.csv");
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0][0], "x, \"y\"");
    EXPECT_EQ(t.rows[0][1], "two\nlines");
    EXPECT_EQ(t.lines[0], 2);
    EXPECT_EQ(t.lines[1], 5) << "a quoted line break and an empty line both count";
    EXPECT_EQ(t.rows[1][1], "w") << "the carriage return is not part of the field";
}

TEST(CsvReading, Utf8WithByteOrderMarkAndCp1251ReadAlike) {
    const std::string utf8 = "Reference,Value\nR1,Резистор Ёж №5\n";
    std::string cp1251 = "Reference,Value\nR1,";
    // "Резистор Ёж №5" in cp1251.
    cp1251 += "\xD0\xE5\xE7\xE8\xF1\xF2\xEE\xF0 \xA8\xE6 \xB9" "5\n";
    for (const auto& [bytes, enc] : {std::pair{"\xEF\xBB\xBF" + utf8, Encoding::Detect}, std::pair{cp1251, Encoding::Detect},
                                     std::pair{cp1251, Encoding::Cp1251}, std::pair{utf8, Encoding::Utf8}}) {
        const auto es = ReadElements(ReadCsv(bytes, "bom.csv", enc), *BuiltinProfile("kicad"));
        ASSERT_EQ(es.size(), 1u);
        EXPECT_EQ(es[0].value, "Резистор Ёж №5");
    }
    EXPECT_NE(ErrorOf([&] { ReadCsv(cp1251, "bom.csv", Encoding::Utf8); }).find("not UTF-8"), std::string::npos);
}

// One bad byte in UTF-8 text does not turn the whole file into cp1251: it is
// refused at its line and column. A cp1251 file stays cp1251, even where two of
// its letters happen to form a UTF-8 sequence ("ВЁ" is C2 A8).
TEST(CsvReading, OneBadByteInUtf8IsRefusedWhereItStands) {
    const std::string text = "Reference,Value\nR1,Резистор\nR2,Кон\xFF" "денсатор\n";
    for (const auto& [bytes, enc] : {std::pair{text, Encoding::Detect}, std::pair{"\xEF\xBB\xBF" + text, Encoding::Detect},
                                     std::pair{"\xEF\xBB\xBF" + text, Encoding::Cp1251}, std::pair{text, Encoding::Utf8}}) {
        const std::string e = ErrorOf([&] { ReadCsv(bytes, "bom.csv", enc); });
        EXPECT_NE(e.find("bom.csv:3:7: byte 0xFF is not UTF-8"), std::string::npos) << e;
        EXPECT_NE(e.find("--encoding cp1251"), std::string::npos) << e;
    }
    // A sequence cut short at the end of the file is named at its lead byte.
    EXPECT_NE(ErrorOf([] { ReadCsv("Reference,Value\nR1,Ёж\xD0", "bom.csv"); }).find("bom.csv:2:6: byte 0xD0"),
              std::string::npos);
    // Given as cp1251, the same bytes are read as cp1251.
    EXPECT_EQ(ReadCsv(text, "bom.csv", Encoding::Cp1251).rows.size(), 2u);

    const std::string cp1251 = "Reference,Value\nR1,\xC2\xA8\xCB\xCA\xC0 \xF0\xE5\xE7\xE8\xF1\xF2\xEE\xF0\n";
    const Table t = ReadCsv(cp1251, "bom.csv");
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0][1], "ВЁЛКА резистор");
}

// A file read in pieces gives the elements of the whole text read at once: records
// with quoted line breaks across the pieces' ends, cp1251, lines counted alike.
TEST(CsvReading, AFileReadInPiecesGivesTheElementsOfTheWholeText) {
    std::string csv = "Reference;Value;Note\n";
    for (int i = 1; i <= 40000; ++i) {
        csv += "R" + std::to_string(i) + ";\xD0\xE5\xE7\xE8\xF1\xF2\xEE\xF0 " + std::to_string(i % 7) + ";";
        csv += i % 3 == 0 ? "\"two\nlines; \"\"q\"\"\"\n" : "\r\n";
    }
    const std::string path = testing::TempDir() + "/pieces.csv";
    std::ofstream(path, std::ios::binary) << csv;
    const auto whole = ReadElements(ReadCsv(csv, path), *BuiltinProfile("kicad"));
    const auto pieces = ReadBomElements(path, Encoding::Detect, 0, "", *BuiltinProfile("kicad"));
    ASSERT_EQ(pieces.size(), 40000u);
    ASSERT_EQ(whole.size(), pieces.size());
    for (std::size_t i = 0; i < whole.size(); i += 997) {
        EXPECT_EQ(pieces[i].number, whole[i].number);
        EXPECT_EQ(pieces[i].value, whole[i].value);
        EXPECT_EQ(pieces[i].note, whole[i].note);
        EXPECT_EQ(pieces[i].line, whole[i].line);
    }
    EXPECT_EQ(pieces.back().value, "Резистор " + std::to_string(40000 % 7));
    EXPECT_EQ(pieces[2].note, "two\nlines; \"q\"");
    EXPECT_EQ(pieces.back().line, 40000 + 40000 / 3 + 1);
    std::remove(path.c_str());
}

TEST(CsvReading, AnUnclosedQuoteIsAnError) {
    EXPECT_NE(ErrorOf([] { ReadCsv("A,B\nx,\"open\n", "f.csv"); }).find("f.csv:2:2"), std::string::npos);
}

TEST(Profiles, AltiumExportsReadWithTheirOwnColumns) {
    const auto es = Read(
        "\"Comment\",\"Description\",\"Designator\",\"Footprint\",\"Quantity\",\"Manufacturer 1\","
        "\"Manufacturer Part Number 1\",\"Supplier 1\",\"Fitted\"\n"
        "\"10k\",\"Resistor\",\"R1, R2\",\"0603\",\"2\",\"Yageo\",\"RC0603FR-0710KL\",\"Digikey\",\"Fitted\"\n"
        "\"1k\",\"Resistor\",\"R3\",\"0603\",\"1\",\"Yageo\",\"RC0603FR-071KL\",\"Digikey\",\"Not Fitted\"\n",
        *BuiltinProfile("altium"));
    ASSERT_EQ(es.size(), 3u);
    EXPECT_EQ(es[1].letters + std::to_string(es[1].number), "R2");
    EXPECT_EQ(es[1].type, "RC0603FR-0710KL");
    EXPECT_EQ(es[1].manufacturer, "Yageo");
    EXPECT_EQ(es[1].supplier, "Digikey");
    EXPECT_FALSE(es[1].dnp) << "\"Fitted\" is fitted";
    EXPECT_TRUE(es[2].dnp);
}

// KiCad's grouped BOM script writes its source, date, tool and count before the
// head; the head is found among the first 50 lines, in the text read at once and
// in the file read in pieces alike.
TEST(Layouts, APreambleBeforeTheHeadIsPassedOver) {
    const std::string script =
        "\"Source:\",\"/home/user/board/board.sch\"\n"
        "\"Date:\",\"Mon 07 Dec 2026 10:12:31 PM UTC\"\n"
        "\"Tool:\",\"Eeschema 5.1.9\"\n"
        "\"Generator:\",\"/usr/share/kicad/plugins/bom_csv_grouped_by_value.py\"\n"
        "\"Component Count:\",\"5\"\n"
        "\"Ref\",\"Qnty\",\"Value\",\"Cmp name\",\"Footprint\",\"Description\",\"Vendor\"\n"
        "\"C1 C2 \",\"2\",\"100n\",\"C\",\"Capacitor_SMD:C_0603\",\"Unpolarized capacitor\",\"\"\n"
        "\"R1 R2 R3 \",\"3\",\"4k7\",\"R\",\"Resistor_SMD:R_0603\",\"Resistor\",\"\"\n";
    const std::string path = testing::TempDir() + "/script.csv";
    std::ofstream(path, std::ios::binary) << script;
    for (const auto& es : {Read(script), ReadBomElements(path, Encoding::Detect, 0, "", *BuiltinProfile("kicad"))}) {
        ASSERT_EQ(es.size(), 5u);
        EXPECT_EQ(es[1].designator, "C2");
        EXPECT_EQ(es[4].value, "4k7");
        EXPECT_EQ(es[4].line, 8);
    }
    std::remove(path.c_str());

    // A preamble of fewer fields does not decide the delimiter.
    EXPECT_EQ(Read("BOM of board;rev. 2\nReference;Value;Footprint;Qty\nR1;1k;R_0603;1\n").at(0).value, "1k");
    // Past the first 50 lines no head is looked for: the first line is taken for it.
    std::string late;
    for (int i = 0; i < 50; ++i) late += "comment " + std::to_string(i) + "\n";
    const std::string e = ErrorOf([&] { Read(late + "Reference,Value\nR1,1k\n"); });
    EXPECT_NE(e.find("bom.csv:1: no designator column"), std::string::npos) << e;
}

// JLCPCB's assembly BOM, and Altium's with its library reference, which is no name.
TEST(Layouts, JlcAndAltiumTakeTheirValueAndTypeFromTheRightColumns) {
    const auto jlc = Read("Comment,Designator,Footprint,LCSC\n100nF,\"C1,C2\",C_0402,C1525\n", *BuiltinProfile("jlc"));
    ASSERT_EQ(jlc.size(), 2u);
    EXPECT_EQ(jlc[1].value, "100nF");
    EXPECT_EQ(jlc[1].type, "");

    const std::string head = "\"Comment\",\"Description\",\"Designator\",\"LibRef\",\"Quantity\"\n";
    const auto altium = Read(head + "\"0.1uf\",\"Capacitor\",\"C1\",\"CMP-03020-018297-1\",\"1\"\n", *BuiltinProfile("altium"));
    EXPECT_EQ(altium.at(0).value, "0.1uf");
    EXPECT_EQ(altium.at(0).type, "Capacitor") << "the description, never the LibRef";
    const auto valued = Read("Value,Comment,Designator,LibRef\n10k,RC0603FR,R1,CMP-1\n", *BuiltinProfile("altium"));
    EXPECT_EQ(valued.at(0).value, "10k");
    EXPECT_EQ(valued.at(0).type, "RC0603FR") << "the comment, when the value has its own column";
}

// KiCad's netlist and the XML its BOM plug-ins read give the same elements: fields
// by name, "exclude from BOM" left out, DNP marked, a multi-unit symbol once.
TEST(Netlists, SexpressionAndXmlGiveTheSameElements) {
    const std::string net =
        "(export (version \"E\")\n"
        "  (design (source \"/home/user/board.kicad_sch\") (tool \"Eeschema 8.0.4\"))\n"
        "  (components\n"
        "    (comp (ref \"C1\")\n"
        "      (value \"100n\")\n"
        "      (footprint \"Capacitor_SMD:C_0603_1608Metric\")\n"
        "      (fields\n"
        "        (field (name \"Footprint\") \"Capacitor_SMD:C_0603_1608Metric\")\n"
        "        (field (name \"MPN\") \"GRM188R71H104KA93D\")\n"
        "        (field (name \"Manufacturer\") \"Murata\"))\n"
        "      (libsource (lib \"Device\") (part \"C\") (description \"Unpolarized capacitor\"))\n"
        "      (property (name \"Sheetname\") (value \"Root\"))\n"
        "      (sheetpath (names \"/\") (tstamps \"/\")))\n"
        "    (comp (ref \"R1\") (value \"4k7\") (property (name \"dnp\")))\n"
        "    (comp (ref \"TP1\") (value \"TestPoint\") (property (name \"exclude_from_bom\")))\n"
        "    (comp (ref \"U1\") (value \"LM358\"))\n"
        "    (comp (ref \"U1\") (value \"LM358\")))\n"
        "  (nets (net (code \"1\") (name \"GND\") (node (ref \"C1\") (pin \"2\")))))\n";
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<export version=\"E\">\n"
        "  <components>\n"
        "    <comp ref=\"C1\">\n"
        "      <value>100n</value>\n"
        "      <fields>\n"
        "        <field name=\"MPN\">GRM188R71H104KA93D</field>\n"
        "        <field name=\"Manufacturer\">Murata</field>\n"
        "      </fields>\n"
        "    </comp>\n"
        "    <comp ref=\"R1\"><value>4k7</value><property name=\"dnp\"/></comp>\n"
        "    <comp ref=\"TP1\"><value>TestPoint</value><property name=\"exclude_from_bom\"/></comp>\n"
        "    <comp ref=\"U1\"><value>LM358</value></comp>\n"
        "    <comp ref=\"U1\"><value>LM358</value></comp>\n"
        "  </components>\n"
        "</export>\n";
    for (const auto& [name, text, firstLine] : {std::tuple{"board.net", net, 4}, std::tuple{"board.xml", xml, 4}}) {
        const std::string path = testing::TempDir() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        const auto es = ReadBomElements(path, Encoding::Detect, 0, "", *BuiltinProfile("kicad"));
        ASSERT_EQ(es.size(), 3u) << name;
        EXPECT_EQ(es[0].designator, "C1");
        EXPECT_EQ(es[0].type, "GRM188R71H104KA93D");
        EXPECT_EQ(es[0].manufacturer, "Murata");
        EXPECT_EQ(es[0].line, firstLine) << name;
        EXPECT_TRUE(es[1].dnp) << name;
        EXPECT_EQ(es[2].designator, "U1") << "the units of U1 are one element";
        std::remove(path.c_str());
    }
    const std::string bad = testing::TempDir() + "/bad.net";
    std::ofstream(bad, std::ios::binary) << "(export (components\n (comp (ref \"R1\") (value \"1k\"))\n";
    EXPECT_NE(ErrorOf([&] { ReadBomElements(bad, Encoding::Detect, 0, "", *BuiltinProfile("kicad")); }).find("bad.net:1"),
              std::string::npos);
    std::ofstream(bad, std::ios::binary) << "(export (components\n (comp (ref \"R1\"))\n (comp (ref \"R 2\"))))\n";
    const std::string e = ErrorOf([&] { ReadBomElements(bad, Encoding::Detect, 0, "", *BuiltinProfile("kicad")); });
    EXPECT_NE(e.find("bad.net:3:1: \"R\" is not a designator"), std::string::npos) << e;
    EXPECT_NE(e.find("column \"Reference\""), std::string::npos) << e;
    std::remove(bad.c_str());
}

TEST(Profiles, AProfileFileNamesTheColumnsAndEveryColumnItNamesMustBeThere) {
    const Profile p = ParseProfile(
        R"({"name": "our", "columns": {"designators": "Поз.", "value": "Наим.", "quantity": "Кол."},
            "dnp_values": ["нет"]})",
        "our.json");
    const auto es = Read("Поз.;Наим.;Кол.;Уст.\nR1-R3;Резистор;3;\n", p);
    ASSERT_EQ(es.size(), 3u) << "a range R1-R3 names three";
    EXPECT_EQ(es[2].number, 3);
    const Profile q = ParseProfile(R"({"columns": {"designators": "Поз.", "value": "Имя"}})", "q.json");
    const std::string e = ErrorOf([&] { Read("Поз.,Наим.\nR1,x\n", q); });
    EXPECT_NE(e.find("bom.csv:1"), std::string::npos) << e;
    EXPECT_NE(e.find("unknown column \"Имя\""), std::string::npos) << e;
}

TEST(Profiles, BadProfileFilesAreRefusedWithTheirName) {
    EXPECT_NE(ErrorOf([] { ParseProfile("{", "p.json"); }).find("p.json"), std::string::npos);
    EXPECT_NE(ErrorOf([] { ParseProfile(R"({"columns": {"colour": "C"}})", "p.json"); }).find("colour"),
              std::string::npos);
    EXPECT_NE(ErrorOf([] { ParseProfile(R"({"colums": {}})", "p.json"); }).find("colums"), std::string::npos);
    EXPECT_NE(ErrorOf([] { ParseProfile(R"({"columns": {"quantity": "Qty"}})", "p.json"); }), "");
    EXPECT_FALSE(BuiltinProfile("orcad").has_value());
}

struct BadInput {
    const char* csv;
    const char* where;
    const char* says;
};

class BadBom : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadBom, IsRefusedNamingFileLineAndColumn) {
    const auto& c = GetParam();
    const std::string e = ErrorOf([&] { Read(c.csv); });
    EXPECT_NE(e.find(c.where), std::string::npos) << e;
    EXPECT_NE(e.find(c.says), std::string::npos) << e;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadBom,
    ::testing::Values(BadInput{"Value,Reference\n1k,R1\n1k,1R\n", "bom.csv:3:2", "\"1R\" is not a designator"},
                      BadInput{"Reference,Value\nR_1,1k\n", "bom.csv:2:1", "not a designator"},
                      BadInput{"Reference,Value\nР1,1k\n", "bom.csv:2:1", "not a designator"},   // Cyrillic Р
                      BadInput{"Reference,Value,Qty\nR1,1k,1.5\n", "bom.csv:2:3", "not a whole number"},
                      BadInput{"Reference,Value,Qty\nR1,1k,-1\n", "bom.csv:2:3", "not a whole number"},
                      BadInput{"Reference,Value,Qty\n\"R1, R2\",1k,3\n", "bom.csv:2:3", "does not match"},
                      BadInput{"Reference,Value\nR1,1k\nC1,1n\n\"R2, R1\",1k\n", "bom.csv:4:1",
                               "R1 is named twice (also on line 2)"},
                      BadInput{"Reference,Value,Qty\n,Винт,\n", "bom.csv:2:1", "needs its quantity"},
                      BadInput{"Part,Value\nR1,1k\n", "bom.csv:1", "no designator column"}),
    [](const ::testing::TestParamInfo<BadInput>& param) { return std::to_string(param.index); });

}  // namespace
}  // namespace ormelin::import
