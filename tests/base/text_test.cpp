// The shared text rules: UTF-8, case, blanks, column letters, sheet names in
// references and numbers as text.
#include <gtest/gtest.h>

#include <limits>

#include "base/number.hpp"
#include "base/text.hpp"

namespace ormelin::text {
namespace {

TEST(Utf8, DecodesAndCountsCodePointsOfAnyLength) {
    const std::string mixed = "Aж€😀";  // one, two, three and four bytes
    EXPECT_EQ(Length(mixed), 4u);
    EXPECT_EQ(Decode(mixed), (std::u32string{U'A', U'ж', U'€', U'😀'}));
    EXPECT_EQ(Encode(Decode(mixed)), mixed);
    EXPECT_EQ(Length(""), 0u);
}

TEST(Utf8, MalformedBytesStandForThemselvesAndNeverReadPastTheEnd) {
    // a lead byte cut off at the end of the text, a lone continuation byte, a lead
    // byte followed by ASCII: each byte is one character
    EXPECT_EQ(Length(std::string("ab\xD0")), 3u);
    EXPECT_EQ(Length(std::string("\x80x")), 2u);
    EXPECT_EQ(Length(std::string("\xE2\x82" "A")), 3u);
    std::size_t i = 0;
    const std::string cut = "\xF0\x9F";
    EXPECT_EQ(Next(cut, i), 0xF0u);
    EXPECT_EQ(i, 1u);
}

TEST(Case, FoldsTheScriptsOfSheetNames) {
    EXPECT_EQ(Fold("ҐРАФІК"), "ґрафік");        // Ukrainian Ґ and І
    EXPECT_EQ(Fold("ЁЛКА Ђ"), "ёлка ђ");
    EXPECT_EQ(Fold("ΆΈΉΊΌΎΏ"), "άέήίόύώ");    // Greek capitals with tonos
    EXPECT_EQ(Fold("ĄČĘŁŃŚŹŻŸ"), "ąčęłńśźżÿ");  // Latin Extended-A, both parities
    EXPECT_EQ(Fold("ÀÉÖØÞ×"), "àéöøþ×");        // the multiplication sign is no letter
    EXPECT_EQ(Fold("ӁӃӀ"), "ӂӄӏ");               // the odd-capital Cyrillic block, palochka
    EXPECT_EQ(Fold("Sheet_1"), "sheet_1");
}

TEST(Case, UpperIsTheInverseOfLower) {
    for (const char* s : {"ґрафік", "ёлка ђ", "άέήίόύώ", "ąčęłńśźżÿ", "àéöøþ", "ӂӄӏ", "sheet_1"})
        EXPECT_EQ(Lower(Upper(s)), s) << s;
    EXPECT_EQ(Upper("ґрафік"), "ҐРАФІК");
    EXPECT_EQ(Upper("σς"), "ΣΣ");  // final sigma
    EXPECT_TRUE(EqualsNoCase("Ґрафік", "ґРАФІК"));
    EXPECT_TRUE(EqualsNoCase("Clear", "CLEAR"));
    EXPECT_FALSE(EqualsNoCase("список", "списки"));
    EXPECT_FALSE(EqualsNoCase("a", "ab"));
}

TEST(Blanks, TrimTakesSpacesFromBothEndsOnly) {
    EXPECT_EQ(Trim("  АБВГ 1  "), "АБВГ 1");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim("\tx\n"), "\tx\n");
}

TEST(Columns, LettersAndNumbersOfTheWholeSheetWidth) {
    const std::pair<int, const char*> cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"},
                                                 {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (auto [n, letters] : cases) {
        EXPECT_EQ(ColumnLetters(n), letters);
        EXPECT_EQ(ColumnNumber(letters), n);
    }
    EXPECT_EQ(ColumnNumber("xfd"), 16384);
    EXPECT_EQ(ColumnLetters(0), "");
    EXPECT_EQ(ColumnLetters(16385), "");
    for (const char* bad : {"", "XFE", "AAAA", "A1", "Ж"}) EXPECT_EQ(ColumnNumber(bad), 0) << bad;
}

TEST(SheetNames, QuotedUnlessPlainAndNotReadableAsAReference) {
    EXPECT_EQ(QuoteSheetName("список"), "список");
    EXPECT_EQ(QuoteSheetName("Sheet1"), "Sheet1");
    EXPECT_EQ(QuoteSheetName("Ελλάδα"), "Ελλάδα");
    EXPECT_EQ(QuoteSheetName("Лист 1"), "'Лист 1'");
    EXPECT_EQ(QuoteSheetName("O'Neil"), "'O''Neil'");
    EXPECT_EQ(QuoteSheetName("2019"), "'2019'");
    EXPECT_EQ(QuoteSheetName("a-b"), "'a-b'");
    // names a formula would read as a cell, row or column
    for (const char* cell : {"A1", "AB12", "xfd1048576", "R1C1", "RC", "R", "C", "r5", "C12", "R2C"})
        EXPECT_EQ(QuoteSheetName(cell), "'" + std::string(cell) + "'") << cell;
    EXPECT_EQ(QuoteSheetName("ABCD1"), "ABCD1");
    EXPECT_EQ(QuoteSheetName("RCX"), "RCX");
}

TEST(Numbers, TextInsideFormulasHasFifteenSignificantDigits) {
    EXPECT_EQ(NumberText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(NumberText(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberText(123456789012345.0), "123456789012345");
    EXPECT_EQ(NumberText(1e15), "1E+15");
    EXPECT_EQ(NumberText(-2.5), "-2.5");
    EXPECT_EQ(NumberText(-0.0), "0");
    EXPECT_EQ(NumberText(0.0001), "0.0001");
    // Small numbers are written out in full, as LibreOffice and Excel join them to texts.
    EXPECT_EQ(NumberText(-0.000001), "-0.000001");
    EXPECT_EQ(NumberText(1.5e-10), "0.00000000015");
    EXPECT_EQ(NumberText(1.23456789012345e-5), "0.0000123456789012345");
    EXPECT_EQ(NumberText(1e-14), "0.00000000000001");
    EXPECT_EQ(NumberText(1e-15), "1E-15");
    EXPECT_EQ(NumberText(99999999999999.9), "99999999999999.9");
    EXPECT_EQ(NumberText(-1e20), "-1E+20");
}

TEST(Numbers, DisplayInAStandardColumnHasElevenCharacters) {
    EXPECT_EQ(GeneralNumber(1.0 / 3), "0.333333333");
    EXPECT_EQ(GeneralNumber(12345678901.0), "12345678901");
    EXPECT_EQ(GeneralNumber(123456789012.0), "1.23457E+11");
    EXPECT_EQ(GeneralNumber(std::numeric_limits<double>::infinity()), "#NUM!");
    EXPECT_EQ(NumberText(std::numeric_limits<double>::quiet_NaN()), "#NUM!");
}

}  // namespace
}  // namespace ormelin::text
