// Creating a document sheet ("Новый") and deleting a document with its register row.
#include "attributes/register_fixture.hpp"

namespace ormelin::testing_support {
namespace {

class Lifecycle : public RegisterTest {
protected:
    std::vector<std::string> saved;  // paths the workbook was written to
    void SetUp() override {
        app.SetSaver([this](const model::ModelWorkbook&, const std::string& path) { saved.push_back(path); });
    }
};

// ------------------------------------------------------------------ DocumentIsNew

TEST_F(Lifecycle, NeverSavedWorkbookCancelledAsksToSaveOnce) {
    WsRef w = ws;
    EXPECT_FALSE(k->DocumentIsNew(w));
    ASSERT_EQ(ui->saveAsRequests.size(), 1u);
    EXPECT_EQ(ui->saveAsRequests[0].initialFileName, "Книга1.xlsx");
    EXPECT_EQ(ui->saveAsRequests[0].fileFilter, "Книга Excel (*.xlsx),*.xlsx");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Для продолжения сохраните один раз файл");
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::Information);
    EXPECT_EQ(ui->messages[0].buttons, host::MsgButtons::OK);
    EXPECT_EQ(SheetNames(), (std::vector<std::string>{"Лист1"}));
    EXPECT_TRUE(saved.empty());
}

TEST_F(Lifecycle, NeverSavedWorkbookIsSavedThenGetsRegisterAndNewSheet) {
    ui->saveAsAnswers.push_back(std::string("/tmp/Изделие.xlsx"));
    Put("A1", std::string("Формат"));
    WsRef w = ws;
    EXPECT_TRUE(k->DocumentIsNew(w));
    EXPECT_EQ(saved, (std::vector<std::string>{"/tmp/Изделие.xlsx"}));
    EXPECT_EQ(book->Name(), "Изделие.xlsx");
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(SheetNames(), (std::vector<std::string>{"список", "Лист1", "Новый"}));
    EXPECT_EQ(TextAt(book->Sheet(1), 1, 3), "Обозначение");
}

TEST_F(Lifecycle, SavedXlsxWorkbookNeedsNoDialog) {
    book->SetPath("/tmp/Изделие.xlsx");
    Put("A1", std::string("Формат"));
    WsRef w = ws;
    EXPECT_TRUE(k->DocumentIsNew(w));
    EXPECT_TRUE(ui->saveAsRequests.empty());
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(SheetNames(), (std::vector<std::string>{"список", "Лист1", "Новый"}));
}

TEST_F(Lifecycle, SavedXlsAndXlsmWorkbooksNeedNoDialog) {
    int made = 0;
    for (const char* path : {"/tmp/Старое.xls", "/tmp/Макро.xlsm"}) {
        book->SetPath(path);
        if (auto n = book->FindSheet("Новый")) n->Name("Документ " + std::to_string(++made));
        WsRef w = ws;
        EXPECT_TRUE(k->DocumentIsNew(w)) << path;
    }
    EXPECT_TRUE(ui->saveAsRequests.empty());
}

TEST_F(Lifecycle, SavingWithoutAWorkbookExtensionDoesNotCount) {
    ui->saveAsAnswers.push_back(std::string("/tmp/Изделие"));
    WsRef w = ws;
    EXPECT_FALSE(k->DocumentIsNew(w));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Для продолжения сохраните один раз файл");
    EXPECT_EQ(book->Count(), 1);
}

TEST_F(Lifecycle, NewSheetGoesAfterTheLastSheet) {
    book->SetPath("/tmp/Изделие.xlsx");
    AddSheet("Лист2");
    AddSheet("Лист3");
    WsRef w = book->Sheet(2);  // any worksheet of the workbook
    EXPECT_TRUE(k->DocumentIsNew(w));
    EXPECT_EQ(SheetNames(), (std::vector<std::string>{"список", "Лист1", "Лист2", "Лист3", "Новый"}));
}

TEST_F(Lifecycle, SecondNewBeforeRenamingIsRefusedWithoutAStraySheet) {
    book->SetPath("/tmp/Изделие.xlsx");
    Put("A1", std::string("Формат"));
    WsRef w = ws;
    ASSERT_TRUE(k->DocumentIsNew(w));
    const auto before = SheetNames();
    EXPECT_FALSE(k->DocumentIsNew(w));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Лист и именем \"Новый\" должен быть удален или переименован");
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::Information);
    EXPECT_EQ(ui->messages[0].buttons, host::MsgButtons::OK);
    EXPECT_EQ(SheetNames(), before);
}

TEST_F(Lifecycle, NewWithoutAWorksheetFailsQuietly) {
    WsRef none;
    EXPECT_FALSE(k->DocumentIsNew(none));
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_TRUE(ui->saveAsRequests.empty());
    EXPECT_EQ(book->Count(), 1);
}

// ------------------------------------------------------------------ DocumentIsDelete

class Deleting : public Lifecycle {
protected:
    WsRef reg, doc1, doc2;
    void SetUp() override {
        Lifecycle::SetUp();
        reg = MakeRegister(kRegisterTitles);
        doc1 = AddSheet("Спецификация");
        doc2 = AddSheet("Перечень");
        PutText(reg, 2, 2, "Спецификация");
        PutText(reg, 2, 3, "АБВГ.1");
        PutText(reg, 3, 2, "Перечень");
        PutText(reg, 3, 3, "АБВГ.2 ПЭ3");
        PutText(reg, 4, 2, "Лист1");
    }
};

TEST_F(Deleting, ConfirmedDeletionRemovesTheSheetAndItsRow) {
    WsRef w = doc1;
    EXPECT_TRUE(k->DocumentIsDelete(w));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Вы действительно хотите безвозвратно удалить документ АБВГ.1?");
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::Question);
    EXPECT_EQ(ui->messages[0].buttons, host::MsgButtons::OKCancel);
    EXPECT_EQ(SheetNames(), (std::vector<std::string>{"список", "Лист1", "Перечень"}));
    EXPECT_TRUE(doc1->IsDeleted());
    EXPECT_EQ(TextAt(reg, 2, 2), "Перечень");  // the rows below moved up
    EXPECT_EQ(TextAt(reg, 3, 2), "Лист1");
    EXPECT_EQ(TextAt(reg, 4, 2), "");
    EXPECT_TRUE(app.DisplayAlerts());
}

TEST_F(Deleting, CancelChangesNothing) {
    ui->answers.push_back(host::MsgResult::Cancel);
    WsRef w = doc2;
    EXPECT_FALSE(k->DocumentIsDelete(w));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Вы действительно хотите безвозвратно удалить документ АБВГ.2 ПЭ3?");
    EXPECT_FALSE(doc2->IsDeleted());
    EXPECT_EQ(TextAt(reg, 3, 2), "Перечень");
    EXPECT_EQ(book->Count(), 4);
}

TEST_F(Deleting, EmptyDesignationLeavesNothingBeforeTheQuestionMark) {
    WsRef w = ws;  // "Лист1", row 4, no designation
    EXPECT_TRUE(k->DocumentIsDelete(w));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Вы действительно хотите безвозвратно удалить документ ?");
    EXPECT_EQ(TextAt(reg, 4, 2), "");
    EXPECT_EQ(TextAt(reg, 3, 2), "Перечень");
}

TEST_F(Deleting, SheetWithoutARowIsNotDeleted) {
    auto lone = AddSheet("Без строки");
    WsRef w = lone;
    EXPECT_FALSE(k->DocumentIsDelete(w));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "Строка атрибутов в листе \"список\" не найдена");
    EXPECT_EQ(ui->messages[0].icon, host::MsgIcon::Information);
    EXPECT_EQ(ui->messages[0].buttons, host::MsgButtons::OK);
    EXPECT_FALSE(lone->IsDeleted());
    EXPECT_EQ(TextAt(reg, 4, 2), "Лист1");
}

TEST_F(Deleting, HeaderSynonymsDoNotCount) {
    PutText(reg, 1, 3, "Обозн.");  // not the exact title
    WsRef w = doc1;
    EXPECT_THROW(k->DocumentIsDelete(w), Error);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_FALSE(doc1->IsDeleted());
    EXPECT_EQ(TextAt(reg, 2, 2), "Спецификация");
}

TEST_F(Deleting, ColumnsAreFoundByTitleWherever) {
    reg->InsertColumns(1, 2);  // "Лист" now in D, "Обозначение" in E
    WsRef w = doc2;
    EXPECT_TRUE(k->DocumentIsDelete(w));
    EXPECT_EQ(ui->messages[0].text, "Вы действительно хотите безвозвратно удалить документ АБВГ.2 ПЭ3?");
    EXPECT_EQ(TextAt(reg, 3, 4), "Лист1");
}

TEST_F(Deleting, WithoutARegisterTheCallFails) {
    auto other = app.NewWorkbook();
    WsRef w = other->Sheet(1);
    std::vector<Variant> args{w};
    Variant result;
    const CallStatus status = k->InvokeByName("DocumentIsDelete", args, &result);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_FALSE(w->IsDeleted());
}

}  // namespace
}  // namespace ormelin::testing_support
