// List rows: insertion with the list row format, removal by height.
#include <gtest/gtest.h>

#include "core/kalvora_fixture.hpp"
#include "lists/lists.hpp"

namespace ormelin {
namespace {

using testing_support::KalvoraTest;

class ListRows : public KalvoraTest {};

TEST_F(ListRows, InsertedRowDropsTheLooksOfTheRowAbove) {
    k->SPA_Blank(ws);
    for (int r = 2; r <= 6; ++r) ws->SetValue({r, 4, r, 4}, std::string("строка ") + std::to_string(r));
    const host::Range above = ws->Rows(4);
    above.Font().Bold(true);
    above.Font().Underline(host::Underline::Single);
    above.Font().Size(20);
    above.Interior().ColorIndex(6);
    above.WrapText(true);
    above.Orientation(45);
    above.VerticalAlignment(host::VAlign::Top);
    above.RowHeight(40);

    k->RowInsert(ws, 5);

    EXPECT_DOUBLE_EQ(Height(5), 26);
    EXPECT_EQ(Text("D5"), "");
    EXPECT_EQ(Text("D6"), "строка 5");
    EXPECT_EQ(Text("D4"), "строка 4");
    for (const char* c : {"A5", "D5", "H5", "Z5"}) {
        const host::Style& s = StyleOf(c);
        EXPECT_FALSE(s.font.bold) << c;
        EXPECT_EQ(s.font.underline, host::Underline::None) << c;
        EXPECT_DOUBLE_EQ(s.font.size, 14) << c;
        EXPECT_EQ(s.fill, host::Color::Auto()) << c;
        EXPECT_FALSE(s.wrap) << c;
        EXPECT_EQ(s.orientation, 0) << c;
        EXPECT_EQ(s.vertical, host::VAlign::Center) << c;
    }
    // The row above keeps its looks.
    EXPECT_TRUE(StyleOf("D4").font.bold);
    EXPECT_DOUBLE_EQ(Height(4), 40);
}

TEST_F(ListRows, InsertIntoARangeCountsRowsWithinIt) {
    k->SPA_Blank(ws);
    Put("A5", std::string("вне"));
    Put("C5", std::string("внутри"));
    Put("E5", std::string("справа"));
    std::optional<host::Range> rang = ws->RangeAt("B3:D10");
    k->RowInsert(ws, 3, rang);
    EXPECT_EQ(Text("C5"), "");
    EXPECT_EQ(Text("C6"), "внутри");
    EXPECT_EQ(Text("A5"), "вне");
    EXPECT_EQ(Text("E5"), "справа");
    EXPECT_DOUBLE_EQ(Height(5), 26);
    EXPECT_DOUBLE_EQ(StyleOf("C5").font.size, 14);
    EXPECT_EQ(rang->area(), A("B3:D10"));
}

TEST_F(ListRows, InsertThroughDispatchWithRangeOmittedOrGiven) {
    k->VN_Blank(ws);
    Put("B2", std::string("первая"));
    std::vector<Variant> args{ws, 2.0};
    ASSERT_TRUE(k->InvokeByName("RowInsert", args).ok());
    EXPECT_EQ(Text("B3"), "первая");
    std::vector<Variant> withRange{ws, std::int32_t{1}, ws->RangeAt("B3:B4")};
    ASSERT_TRUE(k->InvokeByName("rowinsert", withRange).ok());
    EXPECT_EQ(Text("B4"), "первая");
    EXPECT_TRUE(std::holds_alternative<host::Range>(withRange[2]));
}

TEST_F(ListRows, InsertAtAnInvalidRowFailsAndInsertsNothing) {
    k->SPA_Blank(ws);
    Put("D2", std::string("x"));
    std::vector<Variant> zero{ws, std::int32_t{0}};
    EXPECT_FALSE(k->InvokeByName("RowInsert", zero).ok());
    std::vector<Variant> huge{ws, std::int32_t{40000}};
    EXPECT_EQ(k->InvokeByName("RowInsert", huge).number, static_cast<long>(ErrorCode::Overflow));
    EXPECT_EQ(Text("D2"), "x");
    std::vector<Variant> book_{std::shared_ptr<host::Workbook>(book), std::int32_t{2}};
    EXPECT_EQ(k->InvokeByName("RowInsert", book_).number, static_cast<long>(ErrorCode::TypeMismatch));
    EXPECT_EQ(Text("D2"), "x");
}

TEST_F(ListRows, InsertIntoAFullSheetFailsWithTheHostsError) {
    k->SPA_Blank(ws);
    Put("D2", std::string("x"));
    ws->SetValue({host::kMaxRows, 1, host::kMaxRows, 1}, std::string("последняя"));
    std::vector<Variant> args{ws, std::int32_t{2}};
    const CallStatus status = k->InvokeByName("RowInsert", args);
    EXPECT_EQ(status.number, static_cast<long>(ErrorCode::ApplicationDefined));
    EXPECT_EQ(Text("D2"), "x");
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(ListRows, RowDeleteKeepsListRowsAndHiddenRows) {
    // Row 1 is a header of odd height; rows 2..10 carry their heights and a mark.
    const double heights[] = {26, 12, 12, 26, 26.3, 0, 40, 26, 26};
    ws->RowHeight(1, 1, 12);
    Put("A1", std::string("шапка"));
    for (int r = 2; r <= 10; ++r) {
        ws->RowHeight(r, r, heights[r - 2]);
        ws->SetValue({r, 1, r, 1}, std::string("r") + std::to_string(r));
    }
    ASSERT_EQ(ws->UsedRange().r2, 10);
    lists::RowDelete(ws, 2);

    const char* kept[] = {"r2", "r5", "r6", "r7", "r9", "r10"};
    const double keptHeights[] = {26, 26, 26.3, 0, 26, 26};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(ws->CellText(i + 2, 1), kept[i]) << "row " << i + 2;
        EXPECT_DOUBLE_EQ(Height(i + 2), keptHeights[i]) << "row " << i + 2;
    }
    EXPECT_EQ(Text("A8"), "");
    EXPECT_EQ(Text("A1"), "шапка");
    EXPECT_DOUBLE_EQ(Height(1), 12);
}

TEST_F(ListRows, RowDeleteNeverLooksAboveItsFirstRow) {
    k->SPB_Blank(ws);  // header rows of 20, 23, 15 and 57 points
    Put("B7", std::string("данные"));
    ws->RowHeight(6, 6, 9);
    lists::RowDelete(ws, 5);
    EXPECT_DOUBLE_EQ(Height(1), 20);
    EXPECT_DOUBLE_EQ(Height(4), 57);
    EXPECT_EQ(Text("A1"), "Формат");
    EXPECT_EQ(Text("B6"), "данные");
}

TEST_F(ListRows, RowDeleteWithoutAWorksheetFails) {
    EXPECT_THROW(lists::RowDelete(nullptr, 2), Error);
}

}  // namespace
}  // namespace ormelin
