#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "formula/formula.hpp"

namespace ormelin::formula {
namespace {

/// Cells of a few sheets; "" is the formula's own sheet "Лист1".
class Cells : public CellSource {
public:
    std::map<std::tuple<std::string, int, int>, Value> values;
    std::optional<Area> extent;
    mutable int reads = 0;

    void Set(const std::string& sheet, int r, int c, Value v) {
        values[{sheet.empty() ? "Лист1" : sheet, r, c}] = std::move(v);
    }
    Value CellValue(std::string_view sheet, int row, int column) const override {
        ++reads;
        std::string s = sheet.empty() ? "Лист1" : std::string(sheet);
        if (s != "Лист1" && s != "список") return CellError::Ref;
        auto it = values.find({s, row, column});
        return it == values.end() ? Value{} : it->second;
    }
    std::optional<Area> Extent(std::string_view) const override { return extent; }
};

Value Eval(const Cells& cells, const char* f, int row = 1, int col = 1) {
    Result r = Evaluate(f, row, col, cells);
    EXPECT_TRUE(r.known) << f;
    return r.value;
}

TEST(FormulaEval, RegisterReferences) {
    Cells c;
    c.Set("список", 7, 3, std::string("АБВГ.301122.001"));
    c.Set("список", 7, 6, std::string("ПП1"));
    EXPECT_EQ(Eval(c, "=список!R7C3"), Value(std::string("АБВГ.301122.001")));
    EXPECT_EQ(Eval(c, "=список!R7C5"), Value(0.0)) << "an empty cell shows 0";
    EXPECT_EQ(Eval(c, "=IF(список!R7C5=\"\",\"\",список!R7C5)"), Value(std::string()));
    c.Set("список", 7, 5, std::string("X"));
    EXPECT_EQ(Eval(c, "=IF(список!R7C5=\"\",\"\",список!R7C5)"), Value(std::string("X")));
    EXPECT_EQ(Eval(c, "=список!R7C6 & \"     \" & список!R7C5"), Value(std::string("ПП1     X")));
    EXPECT_EQ(Eval(c, "=список!R7C3 & \"-\""), Value(std::string("АБВГ.301122.001-")));
    EXPECT_EQ(Eval(c, "=Нет!R1C1"), Value(CellError::Ref));
    EXPECT_EQ(Eval(c, "=список!#REF!"), Value(CellError::Ref));
}

TEST(FormulaEval, ChangeSheetEntries) {
    Cells c;
    EXPECT_EQ(Eval(c, "=IF(RC[-2]=\"\",\"\",\"-\")", 5, 5), Value(std::string()));
    c.Set("", 5, 3, 1.0);
    EXPECT_EQ(Eval(c, "=IF(RC[-2]=\"\",\"\",\"-\")", 5, 5), Value(std::string("-")));
    c.Set("", 3, 5, std::string("2"));
    EXPECT_EQ(Eval(c, "=IF(R[-3]C=\"\",\"\",\"Все\")", 6, 5), Value(std::string("Все")));
}

TEST(FormulaEval, ComparisonsAndEmptyCells) {
    Cells c;
    EXPECT_EQ(Eval(c, "=\"абв\"=\"АБВ\""), Value(true)) << "case-blind";
    EXPECT_EQ(Eval(c, "=\"Ёж\"=\"ёЖ\""), Value(true));
    EXPECT_EQ(Eval(c, "=\"a\"<\"B\""), Value(true));
    EXPECT_EQ(Eval(c, "=R9C9=\"\""), Value(true));
    EXPECT_EQ(Eval(c, "=R9C9=0"), Value(true));
    EXPECT_EQ(Eval(c, "=R9C9=FALSE"), Value(true));
    EXPECT_EQ(Eval(c, "=R9C9<>\"\""), Value(false));
    EXPECT_EQ(Eval(c, "=1<\"1\""), Value(true)) << "numbers sort before texts";
    EXPECT_EQ(Eval(c, "=\"z\"<TRUE"), Value(true)) << "texts sort before Booleans";
    EXPECT_EQ(Eval(c, "=2>=2"), Value(true));
    EXPECT_EQ(Eval(c, "=1=1=TRUE"), Value(true));
}

TEST(FormulaEval, Arithmetic) {
    Cells c;
    c.Set("", 1, 2, std::string("3"));
    c.Set("", 1, 3, std::string("x"));
    EXPECT_EQ(Eval(c, "=1+2*3^2"), Value(19.0));
    EXPECT_EQ(Eval(c, "=-2^2"), Value(4.0));
    EXPECT_EQ(Eval(c, "=2^-1"), Value(0.5));
    EXPECT_EQ(Eval(c, "=10%"), Value(0.1));
    EXPECT_EQ(Eval(c, "=(1+2)*3"), Value(9.0));
    EXPECT_EQ(Eval(c, "=RC[1]+1"), Value(4.0)) << "numeric text counts";
    EXPECT_EQ(Eval(c, "=RC[2]+1"), Value(CellError::Value));
    EXPECT_EQ(Eval(c, "=R5C5*2+TRUE"), Value(1.0));
    EXPECT_EQ(Eval(c, "=1/0"), Value(CellError::Div0));
    EXPECT_EQ(Eval(c, "=0^0"), Value(CellError::Num));
    EXPECT_EQ(Eval(c, "=1/0&\"a\""), Value(CellError::Div0));
    EXPECT_EQ(Eval(c, "=#N/A+1"), Value(CellError::NA));
}

TEST(FormulaEval, NumbersAsTextHaveFifteenSignificantDigits) {
    Cells c;
    EXPECT_EQ(Eval(c, "=1/3&\"\""), Value(std::string("0.333333333333333")));
    EXPECT_EQ(Eval(c, "=\"x\"&1/3"), Value(std::string("x0.333333333333333")));
    EXPECT_EQ(Eval(c, "=LEN(1/3)"), Value(17.0));
    EXPECT_EQ(Eval(c, "=123456789012345&\"\""), Value(std::string("123456789012345")));
    EXPECT_EQ(Eval(c, "=2.50&\"\""), Value(std::string("2.5")));
    EXPECT_EQ(Eval(c, "=100&\"\""), Value(std::string("100")));
    EXPECT_EQ(Eval(c, "=-0.1-0.2&\"\""), Value(std::string("-0.3")));
    EXPECT_EQ(Eval(c, "=\"x\"&-0.000001"), Value(std::string("x-0.000001")));
    EXPECT_EQ(Eval(c, "=LEN(0.00001)"), Value(7.0));
    EXPECT_EQ(Eval(c, "=1E+20&\"\""), Value(std::string("1E+20")));
    EXPECT_EQ(Eval(c, "=TRUE&1"), Value(std::string("TRUE1")));
    EXPECT_EQ(GeneralText(12345678901.0), "12345678901");
    EXPECT_EQ(GeneralText(0.0), "0");
}

TEST(FormulaEval, LongAndDeepFormulasTakeBoundedStack) {
    Cells c;
    // twenty thousand operators in a row: a chain as long as the formula
    std::string sum = "=1";
    for (int i = 0; i < 20000; ++i) sum += "+1";
    EXPECT_EQ(Eval(c, sum.c_str()), Value(20001.0));
    std::string joined = "=\"\"";
    for (int i = 0; i < 20000; ++i) joined += "&\"x\"";
    EXPECT_EQ(Eval(c, joined.c_str()), Value(std::string(20000, 'x')));
    std::string mixed = "=2";
    for (int i = 0; i < 10000; ++i) mixed += "*2/2-1+1";
    EXPECT_EQ(Eval(c, mixed.c_str()), Value(2.0));
    std::string percents = "=5";
    for (int i = 0; i < 20000; ++i) percents += "%";
    EXPECT_EQ(Eval(c, percents.c_str()), Value(0.0));
    EXPECT_EQ(Eval(c, "=5%%"), Value(0.0005));
    // nesting to the format's 64 levels is evaluated; far deeper nesting is left
    // unevaluated (the cached value stays) instead of exhausting the stack
    std::string nested = "=" + std::string(64, '(') + "1" + std::string(64, ')');
    EXPECT_EQ(Eval(c, nested.c_str()), Value(1.0));
    std::string calls;
    for (int i = 0; i < 64; ++i) calls += "ABS(";
    calls = "=" + calls + "-3" + std::string(64, ')');
    EXPECT_EQ(Eval(c, calls.c_str()), Value(3.0));
    std::string tooDeep = "=" + std::string(50000, '(') + "1" + std::string(50000, ')');
    EXPECT_FALSE(Evaluate(tooDeep, 1, 1, c).known);
    std::string signs = "=" + std::string(50000, '-') + "1";
    EXPECT_FALSE(Evaluate(signs, 1, 1, c).known);
}

TEST(FormulaEval, Functions) {
    Cells c;
    c.Set("", 1, 1, 2.0);
    c.Set("", 2, 1, std::string("text"));
    c.Set("", 3, 1, 5.0);
    c.Set("", 4, 1, true);
    EXPECT_EQ(Eval(c, "=SUM(R1C1:R4C1)", 9, 9), Value(7.0)) << "texts and Booleans in areas are skipped";
    EXPECT_EQ(Eval(c, "=SUM(1,\"2\",TRUE)", 9, 9), Value(4.0));
    EXPECT_EQ(Eval(c, "=SUM(1,\"z\")", 9, 9), Value(CellError::Value));
    EXPECT_EQ(Eval(c, "=CONCATENATE(\"a\",R1C1,\"-\",R2C1)", 9, 9), Value(std::string("a2-text")));
    EXPECT_EQ(Eval(c, "=AND(TRUE,1,R1C1:R4C1)", 9, 9), Value(true));
    EXPECT_EQ(Eval(c, "=AND(TRUE,0)"), Value(false));
    EXPECT_EQ(Eval(c, "=OR(FALSE,0,R4C1)", 9, 9), Value(true));
    EXPECT_EQ(Eval(c, "=OR(R2C1)", 9, 9), Value(CellError::Value)) << "no logical values";
    EXPECT_EQ(Eval(c, "=NOT(R9C9)", 1, 1), Value(true));
    EXPECT_EQ(Eval(c, "=LEN(\"Плата\")"), Value(5.0));
    EXPECT_EQ(Eval(c, "=TRIM(\"  a   b  \")"), Value(std::string("a b")));
    EXPECT_EQ(Eval(c, "=UPPER(\"лист a\")"), Value(std::string("ЛИСТ A")));
    EXPECT_EQ(Eval(c, "=LEFT(\"Плата\",2)&RIGHT(\"Плата\")&MID(\"Плата\",2,3)"), Value(std::string("Плалат")));
    EXPECT_EQ(Eval(c, "=IF(R9C9,1)"), Value(false));
    EXPECT_EQ(Eval(c, "=IF(TRUE,,2)"), Value(0.0));
    EXPECT_EQ(Eval(c, "=IFERROR(1/0,\"-\")"), Value(std::string("-")));
    EXPECT_EQ(Eval(c, "=ROUND(2.345,2)+MOD(-1,3)+ABS(-1)+INT(-1.5)"), Value(2.35 + 2 + 1 - 2));
    EXPECT_EQ(Eval(c, "=COUNTA(R1C1:R5C1)+COUNT(R1C1:R5C1)", 9, 9), Value(6.0));
    EXPECT_EQ(Eval(c, "=ISBLANK(R9C9)"), Value(true));
}

TEST(FormulaEval, UnknownKeepsTheCachedValue) {
    Cells c;
    EXPECT_FALSE(Evaluate("=VLOOKUP(1,R1C1:R2C2,2)", 1, 1, c).known);
    EXPECT_FALSE(Evaluate("=Total*2", 1, 1, c).known) << "a defined name";
    EXPECT_FALSE(Evaluate("=1+", 1, 1, c).known) << "unreadable";
    EXPECT_FALSE(Evaluate("=IF(1,2,3,4)", 1, 1, c).known) << "wrong argument count";
    EXPECT_FALSE(Evaluate("=SUM({1,2})", 1, 1, c).known);
    std::string deep = "=" + std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_FALSE(Evaluate(deep, 1, 1, c).known) << "nesting beyond reason is not evaluated";
    EXPECT_FALSE(Evaluate("=" + std::string(5000, '-') + "1", 1, 1, c).known);
    EXPECT_EQ(Eval(c, "=((((1))))+--1"), Value(2.0));
    Result lazy = Evaluate("=IF(TRUE,1,FOO())", 1, 1, c);
    EXPECT_TRUE(lazy.known) << "the branch not taken is not evaluated";
    EXPECT_EQ(lazy.value, Value(1.0));
    EXPECT_FALSE(Evaluate("=IF(FALSE,1,FOO())", 1, 1, c).known);
    EXPECT_NE(std::find(KnownFunctions().begin(), KnownFunctions().end(), "CONCATENATE"), KnownFunctions().end());
}

TEST(FormulaEval, AreasAreReadWithinTheSheetExtent) {
    Cells c;
    c.Set("", 2, 1, 1.0);
    c.Set("", 3, 1, 2.0);
    c.extent = Area{1, 1, 3, 2};
    EXPECT_EQ(Eval(c, "=SUM(C1)", 1, 5), Value(3.0));
    EXPECT_LE(c.reads, 3);
    EXPECT_EQ(Eval(c, "=C1", 3, 5), Value(2.0)) << "a column in a one-value place gives the formula's row";
    EXPECT_EQ(Eval(c, "=R1C1:R3C1", 5, 5), Value(CellError::Value));
}

TEST(FormulaEval, FunctionSource) {
    Result r = Evaluate("=R2C3&\"!\"", 1, 1, [](std::string_view sheet, int row, int col) -> Value {
        return std::string(sheet) + std::to_string(row) + "/" + std::to_string(col);
    });
    EXPECT_TRUE(r.known);
    EXPECT_EQ(r.value, Value(std::string("2/3!")));
}

}  // namespace
}  // namespace ormelin::formula
