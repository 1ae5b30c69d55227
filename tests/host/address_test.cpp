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
}

}  // namespace
}  // namespace ormelin::host
