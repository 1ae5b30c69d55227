#include <gtest/gtest.h>

#include "model/model_fixture.hpp"

namespace ormelin::test {
namespace {

ErrorCode CodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.code();
    }
    return ErrorCode::NotImplemented;  // nothing was thrown
}

TEST_F(ModelTest, DeletedSheetReferenceThrowsObjectDeleted) {
    auto second = book->Add(nullptr, nullptr);
    host::Range r = second->RangeAt("A1:B2");
    second->Delete();
    EXPECT_TRUE(second->IsDeleted());
    EXPECT_EQ(book->Count(), 1);
    EXPECT_EQ(CodeOf([&] { second->Name(); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { second->Cells(1, 1); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { second->InsertRows(1, 1); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { r.SetValue(1.0); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { r.Text(); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { r.Offset(1, 1); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { r.Font().Bold(true); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { r.Select(); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { second->Delete(); }), ErrorCode::ObjectDeleted);
    EXPECT_EQ(CodeOf([&] { ws->RangeAt("A1").Copy(r); }), ErrorCode::ObjectDeleted);
    // the last sheet stays
    EXPECT_EQ(CodeOf([&] { ws->Delete(); }), ErrorCode::ApplicationDefined);
    EXPECT_FALSE(ws->IsDeleted());
}

TEST_F(ModelTest, SheetsOutliveTheirWorkbookSafely) {
    std::shared_ptr<host::Worksheet> kept;
    {
        model::ModelApplication other(nullptr);
        kept = other.NewWorkbook()->Sheet(1);
    }
    EXPECT_TRUE(kept->IsDeleted());
    EXPECT_EQ(CodeOf([&] { kept->Name(); }), ErrorCode::ObjectDeleted);
}

TEST_F(ModelTest, WorkbookAndSheetNames) {
    EXPECT_EQ(book->Name(), "Книга1");
    EXPECT_EQ(ws->Name(), "Лист1");
    EXPECT_EQ(app.NewWorkbook()->Name(), "Книга2");
    book->Activate();
    auto s2 = book->Add(nullptr, nullptr);
    EXPECT_EQ(s2->Name(), "Лист2");
    s2->Name("список");
    EXPECT_EQ(book->Sheet("СПИСОК"), s2);
    EXPECT_EQ(book->Add(ws.get(), nullptr)->Index(), 1);
    EXPECT_EQ(book->Sheet(1)->Name(), "Лист2");
    EXPECT_EQ(ws->Index(), 2);
    EXPECT_EQ(CodeOf([&] { ws->Name("Список"); }), ErrorCode::ApplicationDefined);
    EXPECT_EQ(CodeOf([&] { ws->Name("a/b"); }), ErrorCode::ApplicationDefined);
    EXPECT_EQ(CodeOf([&] { ws->Name(std::string(32, 'x')); }), ErrorCode::ApplicationDefined);
    EXPECT_EQ(CodeOf([&] { ws->Name(""); }), ErrorCode::ApplicationDefined);
    ws->Name("Лист Лист Лист Лист Лист Лист 1");  // 31 letters in Cyrillic
    EXPECT_EQ(CodeOf([&] { book->Sheet("нет"); }), ErrorCode::SubscriptOutOfRange);
    EXPECT_EQ(CodeOf([&] { book->Sheet(9); }), ErrorCode::SubscriptOutOfRange);
    EXPECT_EQ(book->FindSheet("нет"), nullptr);
}

TEST_F(ModelTest, AWorkbookMadeDirectlyJoinsTheApplicationWhenActivated) {
    auto loaded = std::make_shared<model::ModelWorkbook>(app, "файл.xlsx");
    loaded->AddNamed("список");
    app.SetActiveWorkbook(loaded);
    EXPECT_EQ(app.ActiveWorkbook(), loaded);
    EXPECT_EQ(app.Workbooks().size(), 2u);
    book->Activate();
    loaded->Sheet(1)->Activate();
    EXPECT_EQ(app.ActiveWorkbook(), loaded);
    EXPECT_EQ(app.Workbooks().size(), 2u);
    model::ModelApplication other(nullptr);
    EXPECT_EQ(CodeOf([&] { other.SetActiveWorkbook(loaded); }), ErrorCode::ApplicationDefined);
}

TEST_F(ModelTest, SaveNeedsASaverAndRecordsThePath) {
    EXPECT_EQ(CodeOf([&] { book->SaveAs("/tmp/x.xlsx"); }), ErrorCode::FileError);
    EXPECT_FALSE(book->HasPath());
    std::vector<std::string> saved;
    app.SetSaver([&](const model::ModelWorkbook& b, const std::string& path) {
        EXPECT_EQ(&b, book.get());
        saved.push_back(path);
    });
    book->SaveAs("/home/u/docs/изделие.xlsx");
    EXPECT_EQ(book->Name(), "изделие.xlsx");
    EXPECT_EQ(book->FullName(), "/home/u/docs/изделие.xlsx");
    EXPECT_TRUE(book->HasPath());
    book->Save();
    EXPECT_EQ(saved, (std::vector<std::string>{"/home/u/docs/изделие.xlsx", "/home/u/docs/изделие.xlsx"}));
}

TEST_F(ModelTest, ApplicationFlagsAndScriptedUi) {
    app.ScreenUpdating(false);
    app.ScreenUpdating(false);
    app.ScreenUpdating(true);
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_EQ(app.ScreenUpdatingChanges(), 2);
    app.DisplayAlerts(false);
    EXPECT_FALSE(app.DisplayAlerts());
    ui->answers.push_back(host::MsgResult::Cancel);
    EXPECT_EQ(app.UI().MsgBox("Удалить?", host::MsgButtons::OKCancel, host::MsgIcon::Question, "t"),
              host::MsgResult::Cancel);
    EXPECT_EQ(app.UI().MsgBox("ok", host::MsgButtons::OK, host::MsgIcon::Information, ""), host::MsgResult::OK);
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(ui->messages[0].text, "Удалить?");
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::Question);
    ui->saveAsAnswers.push_back(std::string("/tmp/a.xlsx"));
    EXPECT_EQ(app.UI().GetSaveAsFilename("a", "*.xlsx"), std::optional<std::string>("/tmp/a.xlsx"));
    EXPECT_EQ(app.UI().GetSaveAsFilename("b", "*.xlsx"), std::nullopt);
    EXPECT_EQ(ui->saveAsRequests.size(), 2u);
}

TEST_F(ModelTest, PageSetupAndBulkAccess) {
    ws->Page().printArea = "$A:$Z";
    ws->Page().orientation = host::PageOrientation::Landscape;
    EXPECT_EQ(ws->Page().printArea, "$A:$Z");
    ws->RangeAt("B2").SetValue(std::string("x"));
    ws->Columns("C:D").ColumnWidth(3.5);
    ws->Rows(4).RowHeight(8);
    std::vector<std::pair<int, int>> seen;
    ws->ForEachCell([&](int r, int c, const host::CellContent&, model::StyleId) { seen.emplace_back(r, c); });
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{2, 2}}));
    auto cols = ws->Columns();
    ASSERT_EQ(cols.size(), 1u);
    EXPECT_EQ(cols[0].first, 3);
    EXPECT_EQ(cols[0].last, 4);
    int rows = 0;
    ws->ForEachRow([&](int r, const model::RowRecord& rec) {
        EXPECT_EQ(r, 4);
        EXPECT_EQ(rec.height, 8);
        ++rows;
    });
    EXPECT_EQ(rows, 1);
    ws->LoadMerge(host::Area{5, 1, 6, 2});
    EXPECT_THROW(ws->LoadMerge(host::Area{6, 2, 7, 3}), Error);
}

}  // namespace
}  // namespace ormelin::test

namespace ormelin::model {
namespace {

TEST(ModelBookMove, SheetsMoveBeforeAndAfterOthersAndTheActiveSheetStays) {
    ModelApplication app(std::make_shared<ScriptedUi>());
    auto book = app.NewWorkbook();
    auto s1 = book->Sheet(1);
    auto s2 = book->Add(nullptr, s1.get());
    auto s3 = book->Add(nullptr, s2.get());
    s2->Activate();
    auto names = [&] {
        std::string all;
        for (int i = 1; i <= book->Count(); ++i) all += book->Sheet(i)->Name() + ";";
        return all;
    };
    ASSERT_EQ(names(), "Лист1;Лист2;Лист3;");
    s3->Move(s1.get(), nullptr);
    EXPECT_EQ(names(), "Лист3;Лист1;Лист2;");
    EXPECT_EQ(s3->Index(), 1);
    s3->Move(nullptr, s2.get());
    EXPECT_EQ(names(), "Лист1;Лист2;Лист3;");
    s1->Move(nullptr, s3.get());
    EXPECT_EQ(names(), "Лист2;Лист3;Лист1;");
    EXPECT_EQ(book->ActiveSheet().get(), s2.get());
    auto other = app.NewWorkbook();
    EXPECT_THROW(s1->Move(other->Sheet(1).get(), nullptr), Error);
    EXPECT_EQ(names(), "Лист2;Лист3;Лист1;");
}

TEST(ModelBookMove, AddWorkbookMakesANewActiveWorkbook) {
    ModelApplication app(std::make_shared<ScriptedUi>());
    auto first = app.NewWorkbook();
    auto added = app.AddWorkbook();
    EXPECT_NE(added.get(), first.get());
    EXPECT_EQ(app.ActiveWorkbook().get(), added.get());
    EXPECT_EQ(added->Count(), 1);
}

}  // namespace
}  // namespace ormelin::model
