// The typed service: what forming and rollback say they did is what the sheet
// shows afterwards, for every kind the kind table gives a list.
#include <gtest/gtest.h>

#include <string>

#include "forming/forming.hpp"
#include "forming/forming_spb.hpp"
#include "ormelin/documents.hpp"
#include "ormelin/model.hpp"

namespace ormelin {
namespace {

class TypedService : public ::testing::Test {
protected:
    std::shared_ptr<model::ScriptedUi> ui = std::make_shared<model::ScriptedUi>();
    model::ModelApplication app{ui};
    std::shared_ptr<model::ModelWorkbook> book = app.NewWorkbook();
    Documents docs{app};

    std::shared_ptr<host::Worksheet> NewSheet() { return book->Add(nullptr, nullptr); }
};

TEST_F(TypedService, EveryKindWithAListIsDrawnFormedAndRolledBackAsTheKindTableSays) {
    int kindsWithLists = 0;
    for (const kinds::KindEntry& kind : kinds::kKinds) {
        if (!kind.word) continue;
        ++kindsWithLists;
        SCOPED_TRACE(kind.word);
        auto ws = NewSheet();
        docs.Blank(ws, kind.blank);
        std::shared_ptr<host::Worksheet> probe = ws;
        const std::int32_t list = docs.State(probe);
        EXPECT_EQ(KindOf(list), kind.kind);
        EXPECT_TRUE(IsListState(list));

        // An entry on the first list row and one far below a run of empty rows.
        const int first = kind.firstDataRow;
        ws->SetLiteral({first, 3, first, 3}, std::string("запись"));
        ws->SetLiteral({first + 400, 3, first + 400, 3}, std::string("после пропуска"));

        std::shared_ptr<host::Worksheet> target = ws;
        const FormingOutcome formed = docs.Form(target, {});
        EXPECT_EQ(formed.stateBefore, list);
        ASSERT_TRUE(formed.formed);
        EXPECT_EQ(docs.State(probe), kind.formed);
        EXPECT_EQ(formed.sheetCount, 1);
        EXPECT_FALSE(formed.printSetupApplied);
        // The row the forming names is the one the formed sheet shows below its last sheet.
        ASSERT_TRUE(formed.rowsLeftBelow.has_value());
        if (kind.kind == DocKind::SPB) {
            EXPECT_EQ(forming::SpbFirstRowLeftBelow(*ws), *formed.rowsLeftBelow);
        } else {
            const auto* geometry = forming::GeometryOfFormed(kind.formed);
            ASSERT_NE(geometry, nullptr);
            EXPECT_EQ(forming::RowsLeftBelow(*ws, *geometry), formed.rowsLeftBelow);
        }

        const RollbackOutcome back = docs.Rollback(ws);
        EXPECT_TRUE(back.rolledBack);
        EXPECT_EQ(back.stateBefore, kind.formed);
        EXPECT_EQ(back.stateAfter, list);
        EXPECT_EQ(ws->CellText(first, 3), "запись");
        EXPECT_EQ(docs.CurrentWorksheet(), nullptr);
    }
    EXPECT_EQ(kindsWithLists, 6);
    EXPECT_TRUE(docs.Reports().empty());
}

TEST_F(TypedService, WhatCannotBeFormedOrRolledBackIsSaidAndLeftAlone) {
    auto ws = NewSheet();
    ws->SetLiteral({1, 1, 1, 1}, std::string("не документ"));
    std::shared_ptr<host::Worksheet> target = ws;
    const FormingOutcome formed = docs.Form(target, {.forPrint = true, .pageRevi = true});
    EXPECT_FALSE(formed.formed);
    EXPECT_EQ(formed.stateBefore, ksDOC_NO);
    EXPECT_EQ(formed.sheetCount, 0);
    const RollbackOutcome back = docs.Rollback(ws);
    EXPECT_FALSE(back.rolledBack);
    EXPECT_EQ(ws->CellText(1, 1), "не документ");

    // A formed document is not formed again.
    docs.Blank(ws, ksVN_OT);
    ASSERT_TRUE(docs.Form(target, {}).formed);
    const FormingOutcome again = docs.Form(target, {});
    EXPECT_FALSE(again.formed);
    EXPECT_EQ(again.stateBefore, ksVN_OF);
}

TEST_F(TypedService, ReportedFailuresAreKeptAsWellAsShown) {
    // No current worksheet: the layout reports under its own name and goes on.
    docs.ColumnsWidthAndHead(ListLayout::VE, false);
    ASSERT_EQ(docs.Reports().size(), 1u);
    EXPECT_EQ(docs.Reports()[0].rfind("VE_ColumnsWidthAndHead: ", 0), 0u) << docs.Reports()[0];
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, docs.Reports()[0]);
}

}  // namespace
}  // namespace ormelin
