#include <gtest/gtest.h>

#include <functional>

#include "ormelin/attr_doc.hpp"
#include "ormelin/errors.hpp"

namespace ormelin {
namespace {

const std::string CR = "\r\n";

// ---------------------------------------------------------------- composition rules

struct Example {
    const char* what;
    std::function<void(AttrDoc&)> set;
    std::vector<std::pair<const char*, std::string>> expect;
};

class AttrDocExamples : public ::testing::TestWithParam<Example> {};

TEST_P(AttrDocExamples, Hold) {
    const Example& ex = GetParam();
    AttrDoc d;
    ex.set(d);
    for (const auto& [name, want] : ex.expect) EXPECT_EQ(d.GetText(name), want) << ex.what << ": " << name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, AttrDocExamples,
    ::testing::Values(
        Example{"four lines run into the third",
                [](AttrDoc& d) { d.aNaim("A" + CR + "B" + CR + "C" + CR + "D"); },
                {{"aNaim1", "A"}, {"aNaim2", "B"}, {"aNaim3", "C D"},
                 {"aNaim", "A" + CR + "B" + CR + "C" + CR + "D"}, {"aNaimDB", "A B C D"},
                 {"NaimCrLf", "2,5"}}},
        Example{"underscore splits and lines are trimmed",
                [](AttrDoc& d) { d.aFirm("  Org_Dept "); },
                {{"aFirm1", "Org"}, {"aFirm2", "Dept"}, {"aFirm3", ""}, {"aFirm", "  Org_Dept "},
                 {"FirmCrLf", ""}, {"aFirmDB", "Org Dept"}}},
        Example{"empty middle line",
                [](AttrDoc& d) { d.aMate("A__B"); },
                {{"aMate1", "A"}, {"aMate2", ""}, {"aMate3", "B"}, {"aMateDB", "A B"}}},
        Example{"lines joined when the whole is empty",
                [](AttrDoc& d) { d.Clear(); d.aNaim1("X"); d.aNaim3("Z"); },
                {{"aNaim", "X" + CR + CR + "Z"}, {"NaimCrLf", ""}, {"aNaimDB", "X Z"}}},
        Example{"a line set later does not touch the whole",
                [](AttrDoc& d) { d.aNaim("A" + CR + "B"); d.aNaim2("Q"); },
                {{"aNaim", "A" + CR + "B"}, {"aNaimDB", "A Q"}, {"NaimCrLf", "2"}}},
        Example{"aTdoc never joins its lines",
                [](AttrDoc& d) { d.Clear(); d.aTdoc1("X"); },
                {{"aTdoc", ""}, {"aTdocDB", "X"}, {"TdocCrLf", ""}}},
        Example{"aProj cut at underscore", [](AttrDoc& d) { d.aProj("ABC_01"); }, {{"aProj", "ABC"}}},
        Example{"aProj cut to empty", [](AttrDoc& d) { d.aProj("_01"); }, {{"aProj", ""}}},
        Example{"aProj without underscore", [](AttrDoc& d) { d.aProj(" AB 1 "); }, {{"aProj", " AB 1 "}}},
        Example{"aDensAI text", [](AttrDoc& d) { d.aDensAI("abc"); }, {{"aDensAI", ""}}},
        Example{"aDensAI number", [](AttrDoc& d) { d.aDensAI("12"); }, {{"aDensAI", "12"}}},
        Example{"aDensAI decimal comma", [](AttrDoc& d) { d.aDensAI(" 7,85 "); }, {{"aDensAI", " 7,85 "}}},
        Example{"plain text stored unchanged", [](AttrDoc& d) { d.aOboz("  АБВГ.1_2 "); },
                {{"aOboz", "  АБВГ.1_2 "}}}));

TEST(AttrDocJoin, AllEightCases) {
    struct Case { const char *l1, *l2, *l3; std::string want; };
    const Case cases[] = {
        {"", "", "", ""},
        {"a", "", "", "a"},
        {"", "b", "", CR + "b"},
        {"", "", "c", CR + CR + "c"},
        {"a", "b", "", "a" + CR + "b"},
        {"a", "", "c", "a" + CR + CR + "c"},
        {"", "b", "c", CR + "b" + CR + "c"},
        {"a", "b", "c", "a" + CR + "b" + CR + "c"},
    };
    for (const Case& c : cases) {
        AttrDoc d;
        d.aMate1(c.l1);
        d.aMate2(c.l2);
        d.aMate3(c.l3);
        EXPECT_EQ(d.aMate(), c.want) << c.l1 << "|" << c.l2 << "|" << c.l3;
        d.aFirm1(c.l1);
        d.aFirm2(c.l2);
        d.aFirm3(c.l3);
        EXPECT_EQ(d.aFirm(), c.want);
    }
    AttrDoc d;
    d.aNaim1(" a ");
    d.aNaim2("  ");
    EXPECT_EQ(d.aNaim(), " a " + CR + "  ") << "lines are joined as stored";
    EXPECT_EQ(d.aNaimDB(), "a");
}

TEST(AttrDocBreaks, LoneCrOrLfIsAnOrdinaryCharacter) {
    AttrDoc d;
    d.aNaim("A\nB\rC");
    EXPECT_EQ(d.aNaim1(), "A\nB\rC");
    EXPECT_EQ(d.NaimCrLf(), "");
    d.aNaim("\r\n\r\nx\r\ny");
    EXPECT_EQ(d.NaimCrLf(), "1,3");
    EXPECT_EQ(d.aNaim1(), "");
    EXPECT_EQ(d.aNaim2(), "");
    EXPECT_EQ(d.aNaim3(), "x y");
}

TEST(AttrDocBreaks, CyrillicPositionsCountCharacters) {
    AttrDoc d;
    d.aNaim("Плата" + CR + "печатная" + CR + "ИИ");
    EXPECT_EQ(d.NaimCrLf(), "6,16");
    EXPECT_EQ(d.aNaim1(), "Плата");
    EXPECT_EQ(d.aNaimDB(), "Плата печатная ИИ");
    d.aFirm("ООО «Ромашка»_отдел 5");
    EXPECT_EQ(d.aFirm1(), "ООО «Ромашка»");
    EXPECT_EQ(d.aFirm2(), "отдел 5");
    d.aProj("ЭЮ.123_Ж");
    EXPECT_EQ(d.aProj(), "ЭЮ.123");
}

TEST(AttrDocBreaks, OnlyTheFirstTwoBreaksAreReported) {
    AttrDoc d;
    d.aTdoc("Ж" + CR + "ЖЖ" + CR + "Ж" + CR + "Ж");
    EXPECT_EQ(d.TdocCrLf(), "2,6");
    EXPECT_EQ(d.aTdoc3(), "Ж Ж");
    EXPECT_EQ(d.aTdoc(), "Ж" + CR + "ЖЖ" + CR + "Ж" + CR + "Ж");
    d.aMate(CR);
    EXPECT_EQ(d.MateCrLf(), "1");
    EXPECT_EQ(d.aMate(), CR) << "a stored whole is returned even when its lines are empty";
    EXPECT_EQ(d.aMateDB(), "");
}

TEST(AttrDocClear, EmptiesTextsButKeepsArrays) {
    AttrDoc d;
    d.Stamp(Variant(std::vector<std::string>{"s1", "s2"}));
    d.Post(Variant(std::vector<std::string>{"p"}));
    d.aNaim("A_B_C");
    d.aOboz("X");
    d.Department("D");
    d.aFileAI("f");
    d.Clear();
    EXPECT_EQ(d.aNaim(), "");
    EXPECT_EQ(d.aNaim1(), "");
    EXPECT_EQ(d.aNaim3(), "");
    EXPECT_EQ(d.aNaimDB(), "");
    EXPECT_EQ(d.aOboz(), "");
    EXPECT_EQ(d.Department(), "");
    EXPECT_EQ(d.aFileAI(), "");
    EXPECT_EQ(d.GetArray(AttrProp::Stamp), (std::vector<std::string>{"s1", "s2"}));
    EXPECT_EQ(d.GetArray(AttrProp::Post), (std::vector<std::string>{"p"}));
}

TEST(AttrDocArrays, NeverSetIsAnEmptyArrayAndWrongTypeKeepsValue) {
    AttrDoc d;
    Variant v = d.Postd();
    ASSERT_TRUE(std::holds_alternative<std::vector<std::string>>(v));
    EXPECT_TRUE(std::get<std::vector<std::string>>(v).empty());
    d.Postf(Variant(std::vector<std::string>{"a"}));
    EXPECT_THROW(d.Postf(Variant(std::string("a"))), Error);
    EXPECT_EQ(std::get<std::vector<std::string>>(d.Postf()), std::vector<std::string>{"a"});
    EXPECT_THROW(d.GetText("Stamp"), Error);
}

// ---------------------------------------------------------------- dispatch surface

TEST(AttrDocDispatch, TableOrderAndIdentifiers) {
    const auto& t = AttrDocProperties();
    ASSERT_EQ(t.size(), 89u);
    EXPECT_EQ(t.front().name, "Department");
    EXPECT_EQ(t.front().dispid, 0x68030058);
    EXPECT_EQ(t.back().name, "aFileAI");
    EXPECT_EQ(t.back().dispid, 0x68030000);
    EXPECT_EQ(AttrDoc::GetIDOfName("Stamp"), 0x68030054);
    EXPECT_EQ(AttrDoc::GetIDOfName("aFile"), 0x6803004F);
    EXPECT_EQ(AttrDoc::GetIDOfName("aOboz"), 0x68030026);
    EXPECT_EQ(AttrDoc::GetIDOfName("aNaimDB"), 0x68030021);
    EXPECT_EQ(AttrDoc::GetIDOfName("aIndd"), 0x68030001);
    EXPECT_EQ(AttrDoc::GetIDOfName("Clear"), 0x60030059);
    EXPECT_EQ(AttrDoc::GetIDOfName("AOBOZ"), 0x68030026) << "names compare without case";
    EXPECT_FALSE(AttrDoc::GetIDOfName("aNaim4"));
    EXPECT_EQ(FindAttrProp(0x68030059L), std::nullopt);
    EXPECT_EQ(FindAttrProp(0x68030026L), AttrProp::aOboz);
}

TEST(AttrDocDispatch, GetPutAndClearByIdAndName) {
    AttrDoc d;
    std::vector<Variant> args{std::string("A_B")};
    d.Invoke(0x68030025L, InvokeKind::PropertyPut, args);  // aNaim
    std::vector<Variant> none;
    EXPECT_EQ(std::get<std::string>(d.Invoke("aNaim2", InvokeKind::PropertyGet, none)), "B");
    EXPECT_EQ(std::get<std::string>(d.Invoke(0x68030021L, InvokeKind::PropertyGet, none)), "A B");
    EXPECT_EQ(std::get<std::string>(d.Invoke("aNaimDB", InvokeKind::Method, none)), "A B");

    std::vector<Variant> number{std::int32_t{42}};
    d.Invoke("aIzml", InvokeKind::PropertyPut, number);
    EXPECT_EQ(d.aIzml(), "42");

    std::vector<Variant> arr{std::vector<std::string>{"x", "y"}};
    d.Invoke("Stamp", InvokeKind::PropertyPut, arr);
    EXPECT_EQ(std::get<std::vector<std::string>>(d.Invoke(0x68030054L, InvokeKind::PropertyGet, none)),
              (std::vector<std::string>{"x", "y"}));

    d.Invoke(kAttrDocClearDispId, InvokeKind::Method, none);
    EXPECT_EQ(d.aNaim(), "");
    EXPECT_EQ(d.aIzml(), "");
    EXPECT_EQ(d.GetArray(AttrProp::Stamp).size(), 2u);
    d.aOboz("Z");
    d.Invoke("clear", InvokeKind::Method, none);
    EXPECT_EQ(d.aOboz(), "");
}

TEST(AttrDocDispatch, FailuresAreErrors) {
    AttrDoc d;
    std::vector<Variant> none;
    std::vector<Variant> one{std::string("v")};
    EXPECT_THROW(d.Invoke(0x68030059L, InvokeKind::PropertyGet, none), Error);
    EXPECT_THROW(d.Invoke("aBogus", InvokeKind::PropertyGet, none), Error);
    EXPECT_THROW(d.Invoke("aFirmDB", InvokeKind::PropertyPut, one), Error) << "get only";
    EXPECT_THROW(d.Invoke("FirmCrLf", InvokeKind::PropertyPut, one), Error) << "get only";
    EXPECT_THROW(d.Invoke("aOboz", InvokeKind::PropertyPut, none), Error);
    std::vector<Variant> arr{std::vector<std::string>{"x"}};
    EXPECT_THROW(d.Invoke("aOboz", InvokeKind::PropertyPut, arr), Error);
    try {
        std::vector<Variant> text{std::string("t")};
        d.Invoke("Post", InvokeKind::PropertyPut, text);
        FAIL() << "a text is not an array";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::TypeMismatch);
    }
}

TEST(AttrDocByName, EveryWritablePropertyRoundTripsAsText) {
    AttrDoc d;
    for (const AttrPropInfo& p : AttrDocProperties()) {
        if (p.readOnly() || p.kind == AttrKind::Array || p.kind == AttrKind::Whole) continue;
        d.LetText(p.name, "12");
        EXPECT_EQ(d.GetText(p.name), "12") << p.name;
    }
    EXPECT_EQ(d.aNaim(), "12" + CR + "12" + CR + "12") << "joined from the lines";
    EXPECT_THROW(d.LetText("nope", "x"), Error);
}

}  // namespace
}  // namespace ormelin
