#include <gtest/gtest.h>

#include "host/display.hpp"
#include "ormelin/host.hpp"

namespace ormelin::host {
namespace {

TEST(Address, ColumnLettersAndNumbers) {
    EXPECT_EQ(ColumnLetters(1), "A");
    EXPECT_EQ(ColumnLetters(26), "Z");
    EXPECT_EQ(ColumnLetters(27), "AA");
    EXPECT_EQ(ColumnLetters(16384), "XFD");
    EXPECT_THROW(ColumnLetters(0), Error);
    EXPECT_THROW(ColumnLetters(16385), Error);
    EXPECT_EQ(ColumnNumber("aa"), 27);
    EXPECT_EQ(ColumnNumber("XFD"), 16384);
    EXPECT_EQ(ColumnNumber("XFE"), 0);
    EXPECT_EQ(ColumnNumber("A1"), 0);
}

TEST(Address, ParsesEveryForm) {
    EXPECT_EQ(ParseAddress("E5"), (Area{5, 5, 5, 5}));
    EXPECT_EQ(ParseAddress("$B$3"), (Area{3, 2, 3, 2}));
    EXPECT_EQ(ParseAddress("a1:b2"), (Area{1, 1, 2, 2}));
    EXPECT_EQ(ParseAddress("B2:A1"), (Area{1, 1, 2, 2}));
    EXPECT_EQ(ParseAddress("A:B"), (Area{1, 1, kMaxRows, 2}));
    EXPECT_EQ(ParseAddress("$A:$Z"), (Area{1, 1, kMaxRows, 26}));
    EXPECT_EQ(ParseAddress("1:2"), (Area{1, 1, 2, kMaxColumns}));
    EXPECT_EQ(ParseAddress("$3:$3"), (Area{3, 1, 3, kMaxColumns}));
    for (const char* bad : {"", "A", "5", "A0", "A1:", ":B2", "A1:B2:C3", "1A", "A1048577", "$$A1", "A$", "A1:B"}) {
        EXPECT_THROW(ParseAddress(bad), Error) << bad;
    }
}

TEST(Address, AddressOfRoundTrips) {
    EXPECT_EQ(AddressOf(Area{5, 5, 5, 5}), "E5");
    EXPECT_EQ(AddressOf(Area{5, 5, 5, 5}, true), "$E$5");
    EXPECT_EQ(AddressOf(Area{1, 1, 2, 2}), "A1:B2");
    EXPECT_EQ(AddressOf(Area{1, 1, kMaxRows, 26}, true), "$A:$Z");
    EXPECT_EQ(AddressOf(Area{1, 1, 2, kMaxColumns}, true), "$1:$2");
    for (const char* a : {"C7", "A1:Z36", "B:C", "38:72"}) EXPECT_EQ(AddressOf(ParseAddress(a)), a);
}

TEST(Address, QuoteSheetName) {
    EXPECT_EQ(QuoteSheetName("список"), "список");
    EXPECT_EQ(QuoteSheetName("Sheet_2"), "Sheet_2");
    EXPECT_EQ(QuoteSheetName("Лист 1"), "'Лист 1'");
    EXPECT_EQ(QuoteSheetName("O'Neil"), "'O''Neil'");
    EXPECT_EQ(QuoteSheetName("2019"), "'2019'");
    EXPECT_EQ(QuoteSheetName("a-b"), "'a-b'");
    EXPECT_EQ(QuoteSheetName("Ελλάδα"), "Ελλάδα");
}

// The print area as a file's _xlnm.Print_Area holds it: areas of the sheet joined by
// commas, the sheet's name quoted where a reference needs it. The names hold what
// splitting the text at commas or at "!" gets wrong.
TEST(PrintArea, ReadsWhatFilesHoldAndWritesItBackTheSame) {
    const Area columns{1, 1, kMaxRows, 26}, rows{1, 1, 3, kMaxColumns}, cell{2, 2, 2, 2}, box{1, 1, 5, 3};
    struct Case {
        std::string sheet, text;
        std::vector<Area> areas;
    };
    for (const Case& c : {Case{"Sheet1", "Sheet1!$A$1:$C$5,Sheet1!$B$2", {box, cell}},
                          Case{"a,b", "'a,b'!$A:$Z", {columns}},
                          Case{"O'Neil's, x!y", "'O''Neil''s, x!y'!$1:$3,'O''Neil''s, x!y'!$A:$Z", {rows, columns}},
                          Case{"Лист 1", "'Лист 1'!$A$1:$C$5,'Лист 1'!$1:$3,'Лист 1'!$B$2", {box, rows, cell}},
                          Case{"A1", "'A1'!$B$2", {cell}},
                          Case{"список", "список!$A:$Z", {columns}}}) {
        auto read = PrintArea::FromReference(c.text, c.sheet);
        ASSERT_TRUE(read) << c.text;
        EXPECT_EQ(read->Areas(), c.areas) << c.text;
        EXPECT_EQ(read->Reference(c.sheet), c.text);
        EXPECT_EQ(PrintArea(c.areas).Reference(c.sheet), c.text);
    }
    // As other programs write it: whole columns as a rectangle, the name in another
    // case or not at all, relative addresses.
    auto libreOffice = PrintArea::FromReference("'a,b'!$A$1:$Z$1048576", "a,b");
    ASSERT_TRUE(libreOffice);
    EXPECT_EQ(libreOffice->Areas(), std::vector<Area>{columns});
    EXPECT_EQ(libreOffice->Reference("a,b"), "'a,b'!$A:$Z");
    auto loose = PrintArea::FromReference("SHEET1!A1:C5,$B$2", "Sheet1");
    ASSERT_TRUE(loose);
    EXPECT_EQ(loose->Areas(), (std::vector<Area>{box, cell}));
    // What is no union of the sheet's areas reads as nothing, the text a save of an
    // earlier version made of "'a,b'!$A$1:$C$5" among them.
    for (const char* other : {"'a,b'!'a,'a,b'!$A$1:$C$5", "a,b!$A$1:$C$5", "Sheet2!$A$1", "'a,b'!#REF!", "Итого",
                              "OFFSET($A$1,0,0,5,3)", "", "'a,b'!$A$1,", ",'a,b'!$A$1", "'a,b'!$A$1 'a,b'!$B$2",
                              "'a,b'!$A$1:'a,b'!$C$5", "'a,b:c'!$A$1"})
        EXPECT_FALSE(PrintArea::FromReference(other, "a,b")) << other;
}

// The text form, as the spreadsheet's PageSetup.PrintArea takes and gives it.
TEST(PrintArea, TextFormParsesOrRefusesAndKeepsWhatItHad) {
    PrintArea area;
    EXPECT_TRUE(area.empty());
    area = "$A:$Z,$1:$3,B2:C4";
    EXPECT_EQ(area.Areas(), (std::vector<Area>{{1, 1, kMaxRows, 26}, {1, 1, 3, kMaxColumns}, {2, 2, 4, 3}}));
    EXPECT_EQ(area, "$A:$Z,$1:$3,$B$2:$C$4");
    for (const char* bad : {"Лист1!$A:$Z", "$A:$Z,", "$A:$XFE", "#REF!", "A1 B2"}) {
        EXPECT_THROW(area = bad, Error) << bad;
        EXPECT_EQ(area.Areas().size(), 3u) << bad;
    }
    area = "";
    EXPECT_TRUE(area.empty());
    EXPECT_THROW(PrintArea({Area{0, 1, 1, 1}}), Error);
}

TEST(Display, GeneralNumbers) {
    EXPECT_EQ(GeneralNumber(1), "1");
    EXPECT_EQ(GeneralNumber(0), "0");
    EXPECT_EQ(GeneralNumber(-2.5), "-2.5");
    EXPECT_EQ(GeneralNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(GeneralNumber(1.0 / 3), "0.333333333");
    EXPECT_EQ(GeneralNumber(2.0 / 3), "0.666666667");
    EXPECT_EQ(GeneralNumber(123456.789), "123456.789");
    EXPECT_EQ(GeneralNumber(12345678901.0), "12345678901");
    EXPECT_EQ(GeneralNumber(1234567890123.0), "1.23457E+12");
    EXPECT_EQ(GeneralNumber(1e12), "1E+12");
    EXPECT_EQ(GeneralNumber(1e-7), "1E-07");
    EXPECT_EQ(GeneralNumber(0.0001), "0.0001");
    EXPECT_EQ(GeneralNumber(26), "26");
}

TEST(Display, NumberAndDateFormats) {
    EXPECT_EQ(DisplayValue(2.5, "0"), "3");
    EXPECT_EQ(DisplayValue(2.0, "0.00"), "2.00");
    EXPECT_EQ(DisplayValue(2.675, "0.00"), "2.68");
    EXPECT_EQ(DisplayValue(-0.004, "0.00"), "0.00");
    EXPECT_EQ(DisplayValue(0.5, "0"), "1");
    EXPECT_EQ(DisplayValue(9.999, "0.00"), "10.00");
    EXPECT_EQ(DisplayValue(0.05, "0.0"), "0.1");
    EXPECT_EQ(DisplayValue(1234.5, "#,##0.00"), "1,234.50");
    EXPECT_EQ(DisplayValue(-1.5, "0.00"), "-1.50");
    EXPECT_EQ(DisplayValue(1234567.0, "#,##0"), "1,234,567");
    EXPECT_EQ(DisplayValue(0.25, "0%"), "25%");
    EXPECT_EQ(DisplayValue(45000.0, "dd.mm.yyyy"), "15.03.2023");
    EXPECT_EQ(DisplayValue(45000.0, "dd.mm.yy"), "15.03.23");
    EXPECT_EQ(DisplayValue(1.0, "dd.mm.yyyy"), "01.01.1900");
    EXPECT_EQ(DisplayValue(60.0, "dd.mm.yyyy"), "29.02.1900");
    EXPECT_EQ(DisplayValue(61.0, "dd.mm.yyyy"), "01.03.1900");
    EXPECT_EQ(DisplayValue(Value(std::string("a\nb")), "0.00"), "a\nb");
    EXPECT_EQ(DisplayValue(true, "General"), "TRUE");
    EXPECT_EQ(DisplayValue(CellError::Ref, "General"), "#REF!");
    EXPECT_EQ(DisplayValue(7.0, "@"), "7");
    // an empty text section hides a text; without one, or with "@" in it, it shows
    EXPECT_EQ(DisplayValue(Value(std::string("mark")), ";;;"), "");
    EXPECT_EQ(DisplayValue(Value(std::string("mark")), "General;-General;\"\";@"), "mark");
    EXPECT_EQ(DisplayValue(Value(std::string("mark")), "0;-0;"), "mark");
}

}  // namespace
}  // namespace ormelin::host
