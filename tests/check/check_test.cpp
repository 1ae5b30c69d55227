// The rules of the check on formed documents: a document of each kind that an
// engineer would hand in holds every rule; each mutation of it breaks the rules
// named, at the cells named, and no other. The command: exit statuses, --json and
// the Russian messages.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "check/check.hpp"
#include "cli/command_fixture.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "recognition/recognition.hpp"

namespace ormelin {
namespace {

using Rows = std::vector<std::vector<std::string>>;

/// A document as a user prepares it: the list's rows from its first data row, the
/// register attributes, and whether it is formed with the change-registration sheet.
struct Doc {
    ksStateOfDocument list;
    int firstRow;
    Rows rows;
    std::map<std::string, std::string> attrs;
    bool revisions = false;
};

std::map<std::string, std::string> TitleOf(const std::string& designation) {
    return {{"aOboz", designation}, {"aNaim", "Блок питания"}, {"aDesi", "Иванов"},  {"aDesd", "12.10.26"},
            {"aChec", "Петров"},    {"aChed", "14.10.26"},      {"aNcon", "Сидорова"}, {"aNcod", "20.10.26"},
            {"aAppr", "Смирнов"},   {"aAppd", "21.10.26"},      {"aLite", "О1"},       {"aFirm", "АО \"Ормелин\""},
            {"aIzme", "1"},         {"aNdoc", "АБВГ.12-26"}};
}

/// A list of elements of three sheets: capacitors under a heading, a microcircuit,
/// a fuse, fifty resistors under a heading; one empty row between groups.
/// Position A, name B, quantity C, remark D.
Doc Elements() {
    Doc d{ksPE_OT_2, 2, {}, TitleOf("АБВГ.468332.001 ПЭ3"), true};
    d.rows = {{"", "Конденсаторы К10-17б ОЖО.460.107 ТУ", "", ""},
              {"C1, C2", "Н90-0,1 мкФ", "2", ""},
              {"C3...C6", "М47-22 пФ", "4", ""},
              {"", "", "", ""},
              {"DA1", "Микросхема КР142ЕН5А", "1", ""},
              {"", "", "", ""},
              {"FU1", "Предохранитель ВП1-1 2 А", "1", ""},
              {"", "", "", ""},
              {"", "Резисторы С2-33Н-0,125 ОЖО.467.093 ТУ", "", ""}};
    for (int i = 1; i <= 50; ++i) d.rows.push_back({"R" + std::to_string(i), "10 кОм ±5 %", "1", ""});
    return d;
}

/// A specification: format A, zone B, position C, designation D, name E, quantity F.
Doc Specification() {
    Doc d{ksSPA_OT, 2, {}, TitleOf("АБВГ.468332.001"), false};
    d.rows = {{"", "", "", "", "Документация", "", ""},
              {},
              {"А4", "", "", "АБВГ.468332.001 Э3", "Схема электрическая", "", ""},
              {"", "", "", "", "принципиальная", "", ""},
              {},
              {"", "", "", "", "Сборочные единицы", "", ""},
              {},
              {"А3", "", "1", "АБВГ.687281.010", "Плата печатная", "1", ""},
              {},
              {"", "", "", "", "Детали", "", ""},
              {},
              {"А4", "", "2", "АБВГ.301261.001", "Корпус", "1", ""},
              {},
              {"", "", "", "", "Стандартные изделия", "", ""},
              {},
              {"", "", "3", "", "Винт М3-6gx8.48.016", "4", ""},
              {"", "", "", "", "ГОСТ 17473-80", "", ""},
              {},
              {"", "", "", "", "Прочие изделия", "", ""},
              {},
              {"", "", "4", "", "Резистор С2-33Н-0,125", "1", ""},
              {"", "", "", "", "10 кОм ±5 %", "", ""}};
    return d;
}

/// A list of purchased products: line A, name B, code C, document D, supplier E,
/// where used F, quantities G (per product), H (in sets), I (for tuning), J (total).
Doc Purchased() {
    Doc d{ksVPA_OT, 3, {}, TitleOf("АБВГ.468332.001 ВП"), false};
    d.rows = {{"", "Микросхема КР142ЕН5А", "", "бК0.348.634 ТУ", "АО \"Элемент\"", "АБВГ.468332.001", "1", "", "",
               "1", ""},
              {"", "Резистор С2-33Н-0,125", "", "ОЖО.467.093 ТУ", "АО \"Резистор\"", "АБВГ.468332.001",
               "4", "1", "1", "6", ""},
              {"", "10 кОм ±5 %", "", "", "", "", "", "", "", "", ""}};
    return d;
}

/// A group specification with its change-registration sheet: format A, zone B,
/// position C, designation D, name E, quantities per execution F.., note P.
Doc GroupSpecification() {
    Doc d{ksSPB_OT, 5, {}, TitleOf("АБВГ.468332.002"), true};
    d.rows = {{"", "", "", "", "Сборочные единицы", "", "", ""},
              {},
              {"А3", "", "1", "АБВГ.687281.010", "Плата печатная", "1", "1", "1"},
              {},
              {"", "", "", "", "Детали", "", "", ""},
              {},
              {"А4", "", "2", "АБВГ.301261.001", "Корпус", "1", "1", ""},
              {},
              {"", "", "", "", "Стандартные изделия", "", "", ""},
              {}};
    for (int i = 0; i < 40; ++i)
        d.rows.push_back({"", "", std::to_string(3 + i), "", "Винт М3-6gx" + std::to_string(4 + i),
                          "2", "2", ""});
    return d;
}

/// Draws the list on a new sheet (named by the designation) after the register, fills it, writes its
/// attributes into the register and forms it.
std::shared_ptr<host::Worksheet> Build(Kalvora& k, model::ModelWorkbook& book, const Doc& d) {
    Kalvora::WorkbookRef wb = book.shared_from_this();
    k.FindSPIS(wb);
    auto ws = book.Add(nullptr, nullptr);
    ws->Name(d.attrs.at("aOboz"));  // the register keeps the document by its sheet's name
    k.DocumentBlank(ws, d.list == ksPE_OT_2 ? ksPE_OT_1 : d.list);
    if (d.list == ksPE_OT_2) ws->DeleteColumns(1, 1);
    for (std::size_t i = 0; i < d.rows.size(); ++i)
        for (std::size_t c = 0; c < d.rows[i].size(); ++c)
            if (!d.rows[i][c].empty()) {
                const int r = d.firstRow + static_cast<int>(i), col = static_cast<int>(c) + 1;
                ws->SetLiteral(host::Area{r, col, r, col}, d.rows[i][c]);
            }
    auto rec = std::make_shared<AttrDoc>();
    for (const auto& [name, value] : d.attrs) rec->LetText(name, value);
    Kalvora::AttrDocRef ref = rec;
    k.AttribsToSPIS(ref, ws);
    k.Forming(ws, false, d.revisions);
    return ws;
}

constexpr check::Date kToday{2026, 12, 8};

using Found = std::set<std::pair<std::string, std::string>>;  // rule, cell

Found FoundOn(const host::Worksheet& ws) {
    Found found;
    for (const check::Finding& f : check::CheckSheet(ws, kToday)) found.insert({f.rule, f.cell});
    return found;
}

class CheckRules : public ::testing::Test {
protected:
    std::shared_ptr<model::ScriptedUi> ui = std::make_shared<model::ScriptedUi>();
    model::ModelApplication app{ui};
    std::shared_ptr<model::ModelWorkbook> book = app.NewWorkbook();
    std::shared_ptr<Kalvora> k = Kalvora::Create(app);
};

// ------------------------------------------------------------------ documents that hold

TEST_F(CheckRules, DocumentsAnEngineerHandsInHoldEveryRule) {
    for (const Doc& d : {Elements(), Specification(), Purchased(), GroupSpecification()}) {
        auto ws = Build(*k, *book, d);
        ASSERT_TRUE(IsFormedState(recognition::StateOf(*ws))) << d.attrs.at("aOboz");
        EXPECT_EQ(FoundOn(*ws), Found{}) << d.attrs.at("aOboz");
    }
}

// ------------------------------------------------------------------ each rule broken

struct Case {
    const char* name;
    Doc (*make)();
    void (*edit)(Doc&);
    void (*afterForming)(host::Worksheet&);
    Found expected;
};

void Row(Doc& d, std::size_t i, std::vector<std::string> row) { d.rows[i] = std::move(row); }
void Put(host::Worksheet& ws, const char* cell, const std::string& text) {
    ws.SetLiteral(host::ParseAddress(cell), text);
}

// The list of elements: list row i stands in worksheet row i + 2 of the first
// sheet; position C, name H, quantity U. The specification: format C, position
// E, name P. The title block of the A4 form: designation M29, letter S33,
// organisation S34, surnames F32..F36, dates K32..K36, "Листов" Y33.
const Case kCases[] = {
    {"DesignatorTwice", &Elements, [](Doc& d) { Row(d, 2, {"C2...C5", "М47-22 пФ", "4", ""}); }, nullptr,
     {{"pe-designators", "C4"}, {"pe-order", "C4"}}},
    {"GroupsOutOfLetterOrder", &Elements, [](Doc& d) { Row(d, 4, {"B1", "Микросхема КР142ЕН5А", "1", ""}); },
     nullptr, {{"pe-order", "C6"}}},
    {"NumbersGoingDown", &Elements, [](Doc& d) { Row(d, 1, {"C7, C8", "Н90-0,1 мкФ", "2", ""}); }, nullptr,
     {{"pe-order", "C4"}}},
    {"RowOfNumbersNotConsecutive", &Elements, [](Doc& d) { Row(d, 2, {"C3, C6", "М47-22 пФ", "2", ""}); }, nullptr,
     {{"pe-ranges", "C4"}}},
    {"RangeDownwards", &Elements, [](Doc& d) { Row(d, 2, {"C6...C3", "М47-22 пФ", "4", ""}); }, nullptr,
     {{"pe-designators", "C4"}, {"pe-ranges", "C4"}, {"pe-quantity", "U4"}}},
    {"QuantityNotTheDesignators", &Elements, [](Doc& d) { Row(d, 2, {"C3...C6", "М47-22 пФ", "3", ""}); }, nullptr,
     {{"pe-quantity", "U4"}}},
    {"HeadingInTheSingular", &Elements,
     [](Doc& d) { Row(d, 8, {"", "Резистор С2-33Н-0,125 ОЖО.467.093 ТУ", "", ""}); }, nullptr,
     {{"pe-headings", "H10"}}},
    {"TwoEmptyRowsBeforeOneGroup", &Elements,
     [](Doc& d) { d.rows.insert(d.rows.begin() + 7, std::vector<std::string>{"", "", "", ""}); }, nullptr,
     {{"pe-spacing", "C11"}}},
    {"MultiplierLetter", &Elements, [](Doc& d) { Row(d, 9, {"R1", "4k7 ±5 %", "1", ""}); }, nullptr,
     {{"values", "H11"}}},
    {"TypeWithLatinUnits", &Elements, [](Doc& d) { Row(d, 1, {"C1, C2", "К73-17 63V-0.47uF", "2", ""}); }, nullptr,
     {{"values", "H3"}}},
    {"DecimalPoint", &Elements, [](Doc& d) { Row(d, 10, {"R2", "0.25 Вт 10 кОм", "1", ""}); }, nullptr,
     {{"values", "H12"}}},
    {"DayNotInTheCalendar", &Elements, [](Doc& d) { d.attrs["aDesd"] = "31.02.26"; }, nullptr,
     {{"title-dates", "K32"}}},
    {"SurnameWithoutDate", &Elements, [](Doc& d) { d.attrs["aChed"] = ""; }, nullptr, {{"title-dates", "K33"}}},
    {"DateAfterToday", &Elements, [](Doc& d) { d.attrs["aNcod"] = "09.12.26"; }, nullptr, {{"title-dates", "K35"}}},
    {"DateWithoutSurname", &Elements, [](Doc& d) { d.attrs["aAppr"] = ""; }, nullptr,
     {{"title-filled", "F36"}, {"title-dates", "K36"}}},
    {"NoLetter", &Elements, [](Doc& d) { d.attrs["aLite"] = ""; }, nullptr, {{"title-filled", "S33"}}},
    {"NoOrganisation", &Elements, [](Doc& d) { d.attrs["aFirm"] = ""; }, nullptr, {{"title-filled", "S34"}}},
    {"FiveDigitClassCharacteristic", &Elements, [](Doc& d) { d.attrs["aOboz"] = "АБВГ.46833.001 ПЭ3"; }, nullptr,
     {{"designation-form", "M29"}}},
    {"CodeOfAnotherKind", &Elements, [](Doc& d) { d.attrs["aOboz"] = "АБВГ.468332.001 Э3"; }, nullptr,
     {{"document-code", "M29"}}},
    {"ChangeWithoutItsDocument", &Elements, [](Doc& d) { d.attrs["aNdoc"] = ""; }, nullptr,
     {{"registration", "F30"}}},
    {"SheetCountWrong", &Elements, nullptr, [](host::Worksheet& ws) { ws.SetValue(host::ParseAddress("Y33"), 3.0); },
     {{"sheet-count", "Y33"}}},
    {"SheetNumberWrong", &Elements, nullptr, [](host::Worksheet& ws) { Put(ws, "Z70", "5"); },
     {{"sheet-numbers", "Z70"}}},
    {"RegistrationDisagrees", &Elements, nullptr, [](host::Worksheet& ws) { Put(ws, "Q111", "АБВГ.99-26"); },
     {{"registration", "Q111"}}},
    // the group specification's turned change-registration sheet: "№ докум." in F128
    {"GroupRegistrationDisagrees", &GroupSpecification, nullptr,
     [](host::Worksheet& ws) { Put(ws, "F128", "АБВГ.99-26"); }, {{"registration", "F128"}}},
    {"SectionsOutOfOrder", &Specification,
     [](Doc& d) {
         d.rows[5][4] = "Детали";
         d.rows[9][4] = "Сборочные единицы";
     },
     nullptr, {{"spec-sections", "P11"}}},
    {"SectionTwice", &Specification, [](Doc& d) { d.rows[9][4] = "Сборочные единицы"; }, nullptr,
     {{"spec-sections", "P11"}}},
    {"PositionTwice", &Specification, [](Doc& d) { d.rows[11][2] = "1"; }, nullptr, {{"spec-positions", "E13"}}},
    {"PositionsGoingDown", &Specification,
     [](Doc& d) {
         d.rows[11][2] = "3";
         d.rows[15][2] = "2";
     },
     nullptr, {{"spec-positions", "E17"}}},
    {"DocumentWithoutFormat", &Specification, [](Doc& d) { d.rows[11][0] = ""; }, nullptr, {{"spec-format", "C13"}}},
    {"SpecificationWithDocumentCode", &Specification, [](Doc& d) { d.attrs["aOboz"] = "АБВГ.468332.001 СП"; },
     nullptr, {{"document-code", "M29"}}},
    {"ValueByItsKindWord", &Specification, [](Doc& d) { d.rows[20][4] = "Резистор 10k ±5 %"; }, nullptr,
     {{"values", "P22"}}},
    {"TotalNotTheSum", &Purchased, [](Doc& d) { d.rows[1][9] = "5"; }, nullptr, {{"vpa-total", "AO4"}}},
    {"NoWhereUsed", &Purchased, [](Doc& d) { d.rows[0][5] = ""; }, nullptr, {{"vpa-where-used", "AE3"}}},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class EachRule : public CheckRules, public ::testing::WithParamInterface<Case> {};

TEST_P(EachRule, BrokenWhereItIsBroken) {
    const Case& c = GetParam();
    Doc d = c.make();
    if (c.edit) c.edit(d);
    auto ws = Build(*k, *book, d);
    ASSERT_TRUE(IsFormedState(recognition::StateOf(*ws)));
    if (c.afterForming) c.afterForming(*ws);
    EXPECT_EQ(FoundOn(*ws), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Check, EachRule, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// What prints wrong is found from the print itself: a name wider than its field
// even condensed, and the sheet breaks of a list formed strictly in list order
// (groups of a heading and one entry under an empty row: wherever a sheet ends, it
// ends after a heading or before an empty row); formed with entries kept whole,
// the same list gives none of those.
TEST_F(CheckRules, WhatThePrintCutsOrBreaksApart) {
    Doc d = Elements();
    d.rows[4][1] = "Микросхема КР142ЕН5А в пластмассовом корпусе с выводами для монтажа в отверстия платы, "
                   "исполнение для поставки на экспорт";
    auto ws = Build(*k, *book, d);
    EXPECT_TRUE(FoundOn(*ws).contains({"text-fits", "H6"})) << "the name of DA1";

    const char* breakRules[] = {"heading-alone", "entry-split", "empty-top"};
    for (const bool keep : {false, true}) {
        Doc groups{ksPE_OT_2, 2, {}, TitleOf(keep ? "АБВГ.468332.003 ПЭ3" : "АБВГ.468332.002 ПЭ3"), false};
        const char* letters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "K", "L", "M", "Q", "R", "S", "T", "U",
                                 "V", "W", "X", "Y", "Z"};
        for (const char* letter : letters) {
            if (!groups.rows.empty()) groups.rows.push_back({"", "", "", ""});
            groups.rows.push_back({"", std::string("Группа ") + letter, "", ""});
            groups.rows.push_back({std::string(letter) + "1", "Изделие", "1", ""});
            groups.rows.push_back({"", "продолжение записи", "", ""});
        }
        auto wsg = book->Add(nullptr, nullptr);
        wsg->Name(groups.attrs.at("aOboz"));
        Kalvora::WorkbookRef wb = book->shared_from_this();
        k->DocumentBlank(wsg, ksPE_OT_1);
        wsg->DeleteColumns(1, 1);
        for (std::size_t i = 0; i < groups.rows.size(); ++i)
            for (std::size_t c = 0; c < groups.rows[i].size(); ++c)
                if (!groups.rows[i][c].empty())
                    wsg->SetLiteral(host::Area{2 + static_cast<int>(i), static_cast<int>(c) + 1,
                                               2 + static_cast<int>(i), static_cast<int>(c) + 1},
                                    groups.rows[i][c]);
        Kalvora::WorksheetRef ref = wsg;
        k->Typed().Form(ref, {.keepTogether = keep});
        ASSERT_TRUE(IsFormedState(recognition::StateOf(*wsg)));
        std::set<std::string> broken;
        for (const auto& [rule, cell] : FoundOn(*wsg))
            for (const char* r : breakRules)
                if (rule == r) broken.insert(rule);
        if (keep)
            EXPECT_TRUE(broken.empty()) << "kept whole, yet " << *broken.begin();
        else
            EXPECT_FALSE(broken.empty()) << "a list of three-row groups formed in list order breaks somewhere";
    }
}

// Lists are read as well (the rules that make sense on a list), and a sheet
// whose form cannot be told apart is named rather than read wrongly.
TEST_F(CheckRules, ListsAndBrokenForms) {
    Doc d = Elements();
    d.rows[2] = {"C3...C6", "М47-22 пФ", "3", ""};
    Kalvora::WorkbookRef wb = book;
    k->FindSPIS(wb);
    auto list = book->Add(nullptr, nullptr);
    k->DocumentBlank(list, ksPE_OT_1);
    list->DeleteColumns(1, 1);
    for (std::size_t i = 0; i < d.rows.size(); ++i)
        for (std::size_t c = 0; c < d.rows[i].size(); ++c)
            if (!d.rows[i][c].empty()) list->SetLiteral(host::Area{int(i) + 2, int(c) + 1, int(i) + 2, int(c) + 1}, d.rows[i][c]);
    EXPECT_EQ(FoundOn(*list), (Found{{"pe-quantity", "C4"}}));

    auto formed = Build(*k, *book, Elements());
    formed->ClearContents(host::ParseAddress("M37"));  // the first sheet's bottom line "Копировал:"
    // The next bottom line (sheet 2's, row 72) is no first sheet's: its title
    // block has no "Изм." six rows above it. Nothing else is read.
    const auto found = check::CheckSheet(*formed, kToday);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_STREQ(found.front().rule, "form");
    EXPECT_EQ(found.front().cell, "A66");
    EXPECT_EQ(found.front().args, (std::vector<std::string>{"66", "Изм.", "C"}));
}

// docs/check.md lists every rule of the table with its severity and clause.
TEST(CheckRulesTable, DocumentedRuleByRule) {
    const std::string doc = testing_support::Bytes(std::string(ORMELIN_SOURCE_DIR) + "/docs/check.md");
    std::set<std::string> ids;
    for (const check::Rule& r : check::Rules()) {
        EXPECT_TRUE(ids.insert(r.id).second) << r.id;
        const std::string row = std::string("| `") + r.id + "` | " +
                                (r.severity == check::Severity::Error ? "error" : "warning") + " | " + r.clause + " |";
        EXPECT_NE(doc.find(row), std::string::npos) << "docs/check.md has no row " << row;
    }
}

TEST(CheckDates, TheCalendarDecides) {
    EXPECT_EQ(check::ParseDate("29.02.24"), (check::Date{2024, 2, 29}));
    EXPECT_EQ(check::ParseDate("01.10.2026"), (check::Date{2026, 10, 1}));
    for (const char* bad : {"29.02.25", "31.04.26", "00.01.26", "12.13.26", "12.10", "12-10-26", "12.10.026", "", "1.2.3.4"})
        EXPECT_FALSE(check::ParseDate(bad)) << bad;
}

// ------------------------------------------------------------------ the command

class CheckCommand : public testing_support::CommandTest {
protected:
    /// A workbook with the documents, formed, written through the file layer.
    std::string Book(const std::vector<Doc>& docs) {
        auto ui = std::make_shared<model::ScriptedUi>();
        model::ModelApplication app(ui);
        auto book = app.NewWorkbook();
        auto k = Kalvora::Create(app);
        for (const Doc& d : docs) Build(*k, *book, d);
        const std::string path = Path("book.xlsx");
        xlsx::SaveWorkbook(*book, path);
        return path;
    }
};

TEST_F(CheckCommand, ExitStatusesJsonAndRussianMessages) {
    Doc bad = Specification();
    bad.rows[11][2] = "1";
    const std::string book = Book({Elements(), bad});
    const std::string before = testing_support::Bytes(book);

    // Only the sheet that holds: nothing said on standard output, status 0.
    const auto good = Run({"check", book, "АБВГ.468332.001 ПЭ3"});
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(good.out, "");

    // The whole workbook: the broken position, one line, status 1.
    const auto all = Run({"check", book}, {"LANG=C.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="});
    EXPECT_NE(all.err.find("2 documents checked: 1 errors, 0 warnings"), std::string::npos) << all.err;
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(all.out, "'АБВГ.468332.001'!E13: spec-positions: error: the position 1 is given again (first in row 9)\n");

    const auto russian = Run({"check", book}, {"LANG=ru_RU.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="});
    EXPECT_EQ(russian.status, 1);
    EXPECT_EQ(russian.out, "'АБВГ.468332.001'!E13: spec-positions: ошибка: позиция 1 повторяется (впервые в строке 9)\n");

    const auto json = Run({"check", "--json", book}, {"LANG=C.UTF-8", "LC_ALL=", "LC_MESSAGES=", "LANGUAGE="});
    EXPECT_EQ(json.status, 1);
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["errors"], 1);
    EXPECT_EQ(j["warnings"], 0);
    ASSERT_EQ(j["findings"].size(), 1u);
    EXPECT_EQ(j["findings"][0]["sheet"], "АБВГ.468332.001");
    EXPECT_EQ(j["findings"][0]["cell"], "E13");
    EXPECT_EQ(j["findings"][0]["rule"], "spec-positions");
    EXPECT_EQ(j["findings"][0]["severity"], "error");
    EXPECT_NE(j["findings"][0]["clause"].get<std::string>().find("ГОСТ 2.106"), std::string::npos);

    // A sheet that is not there, the register, a wrong option, a file that is no workbook.
    EXPECT_EQ(Run({"check", book, "нет такого"}).status, 1);
    EXPECT_EQ(Run({"check", book, "список"}).status, 1);
    EXPECT_EQ(Run({"check", "--no-such-option", book}).status, 2);
    std::ofstream(Path("bad.xlsx"), std::ios::binary) << "not a zip archive";
    EXPECT_EQ(Run({"check", Path("bad.xlsx")}).status, 3);

    // The workbook is only read.
    EXPECT_EQ(testing_support::Bytes(book), before);
}

}  // namespace
}  // namespace ormelin
