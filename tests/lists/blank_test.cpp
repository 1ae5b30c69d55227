// Sheet preparation and blank dispatch.
#include <gtest/gtest.h>

#include "core/kalvora_fixture.hpp"

namespace ormelin {
namespace {

using testing_support::KalvoraTest;

class BlankSheets : public KalvoraTest {
protected:
    void ExpectBaseFormat(const char* cell) {
        const host::Style& s = StyleOf(cell);
        EXPECT_EQ(s.numberFormat, "General") << cell;
        EXPECT_EQ(s.horizontal, host::HAlign::Center) << cell;
        EXPECT_EQ(s.vertical, host::VAlign::Center) << cell;
        EXPECT_EQ(s.orientation, 0) << cell;
        EXPECT_FALSE(s.wrap) << cell;
        EXPECT_EQ(s.font.name, "ISOCPEUR") << cell;
        EXPECT_DOUBLE_EQ(s.font.size, 14) << cell;
        EXPECT_TRUE(s.font.italic) << cell;
        EXPECT_FALSE(s.font.bold) << cell;
        EXPECT_EQ(s.font.underline, host::Underline::None) << cell;
        EXPECT_EQ(s.font.color, host::Color::Rgb(0)) << cell;
        EXPECT_EQ(s.left.style, host::LineStyle::None) << cell;
        EXPECT_EQ(s.top.style, host::LineStyle::None) << cell;
        EXPECT_EQ(s.bottom.style, host::LineStyle::None) << cell;
        EXPECT_EQ(s.right.style, host::LineStyle::None) << cell;
    }
    void Scribble() {
        Put("Z100", std::string("старое"));
        Put("B2", 5.0);
        ws->RangeAt("B2:C3").Merge();
        ws->RangeAt("A1:Z100").Font().Bold(true);
        ws->RangeAt("D4:F6").Borders().LineStyle(host::LineStyle::Continuous);
        ws->RangeAt("A50").AddHyperlink("http://example.org", "");
        ws->RowHeight(7, 7, 80);
    }
};

TEST_F(BlankSheets, PreviousContentFormatsAndMergesAreGone) {
    for (auto kind : {ksSPA_OT, ksSPB_OT, ksPE_OT_2, ksVPA_OT, ksVN_OT, ksVE_OT, ksTB_OT}) {
        Scribble();
        k->DocumentBlank(ws, kind);
        EXPECT_EQ(Text("Z100"), "") << kind;
        EXPECT_EQ(MergeOf("C3"), "") << kind;
        EXPECT_FALSE(StyleOf("Z100").font.bold) << kind;
        EXPECT_EQ(StyleOf("E5").left.style, host::LineStyle::None) << kind;
        EXPECT_FALSE(LinkAt("A50").has_value()) << kind;
        EXPECT_DOUBLE_EQ(Height(7), 26) << kind;
    }
}

TEST_F(BlankSheets, CodeWithoutLayoutLeavesPreparedSheetWithoutHeader) {
    for (auto kind : {ksTB_OT, ksVEO_OT, ksDOC_NO, ksSPA_OF}) {
        Scribble();
        k->DocumentBlank(ws, kind);
        for (const char* c : {"A1", "B1", "C1", "H1", "Q1"}) EXPECT_EQ(Text(c), "") << kind << " " << c;
        EXPECT_TRUE(ws->Hyperlinks().empty()) << kind;
        ExpectBaseFormat("A1");
        ExpectBaseFormat("C7");
        ExpectBaseFormat("XFD1048576");
        EXPECT_DOUBLE_EQ(Height(1), 43) << kind;
        EXPECT_DOUBLE_EQ(Height(2), 26) << kind;
        EXPECT_TRUE(app.ActiveWindow().FreezePanes()) << kind;
        EXPECT_EQ(app.Selection().area(), A("A1")) << kind;
        EXPECT_FALSE(app.ActiveWindow().DisplayZeros()) << kind;
        EXPECT_EQ(k->StateOfDocument(ws), ksDOC_NO) << kind;
    }
}

TEST_F(BlankSheets, PanesFreezeUnderEachKindsHeader) {
    struct Case {
        ksStateOfDocument kind;
        int frozenRows;
    };
    for (const Case& c : {Case{ksSPA_OT, 1}, Case{ksSPB_OT, 4}, Case{ksPE_OT_1, 1}, Case{ksPE_OT_2, 1},
                          Case{ksVPA_OT, 2}, Case{ksVN_OT, 1}, Case{ksVE_OT, 1}}) {
        app.ActiveWindow().View(host::ViewMode::PageBreakPreview);
        k->DocumentBlank(ws, c.kind);
        EXPECT_TRUE(app.ActiveWindow().FreezePanes()) << c.kind;
        EXPECT_EQ(app.ActiveWindow().SplitRow(), c.frozenRows) << c.kind;
        EXPECT_EQ(app.ActiveWindow().View(), host::ViewMode::Normal) << c.kind;
        EXPECT_EQ(app.Selection().area(), A(std::to_string(c.frozenRows + 1) + ":" + std::to_string(c.frozenRows + 1)))
            << c.kind;
        EXPECT_TRUE(app.ScreenUpdating()) << c.kind;
    }
}

TEST_F(BlankSheets, DataRowsStartAtListHeightUnderTallHeader) {
    for (auto kind : {ksSPA_OT, ksPE_OT_1, ksVN_OT, ksVE_OT}) {
        k->DocumentBlank(ws, kind);
        EXPECT_DOUBLE_EQ(Height(1), 43) << kind;
        for (int r = 2; r <= 40; ++r) EXPECT_DOUBLE_EQ(Height(r), 26) << kind << " row " << r;
        ExpectBaseFormat("J20");
    }
}

TEST_F(BlankSheets, BothListOfElementsCodesDrawTheSameSheet) {
    auto other = book->Add(nullptr, nullptr);
    k->DocumentBlank(ws, ksPE_OT_1);
    k->DocumentBlank(other, ksPE_OT_2);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 8; ++c) {
            EXPECT_EQ(ws->CellText(r, c), other->CellText(r, c)) << r << "," << c;
            EXPECT_EQ(ws->CellStyle(r, c), other->CellStyle(r, c)) << r << "," << c;
        }
    for (int c = 1; c <= 8; ++c) EXPECT_DOUBLE_EQ(ws->ColumnWidth(c), other->ColumnWidth(c));
    EXPECT_EQ(ws->Hyperlinks(), other->Hyperlinks());
    EXPECT_EQ(ws->View().frozenRows, other->View().frozenRows);
}

TEST_F(BlankSheets, BlankMakesTheSheetCurrentAndActive) {
    auto other = book->Add(nullptr, nullptr);
    ws->Activate();
    k->VE_Blank(other);
    EXPECT_EQ(k->CurrentWorksheet(), other);
    EXPECT_EQ(book->ActiveSheet(), other);
    // The public layouts then work on it.
    k->PE_ColumnsWidthAndHead(false);
    EXPECT_EQ(other->CellText(1, 3), "Наименование");
    EXPECT_EQ(Text("C1"), "");
}

TEST_F(BlankSheets, WorkbookArgumentFailsWithTypeMismatchAndDrawsNothing) {
    Put("A1", std::string("данные"));
    std::vector<Variant> args{std::shared_ptr<host::Workbook>(book), static_cast<std::int32_t>(ksSPA_OT)};
    const CallStatus status = k->InvokeByName("DocumentBlank", args);
    EXPECT_EQ(status.number, static_cast<long>(ErrorCode::TypeMismatch));
    EXPECT_EQ(status.description, describe(ErrorCode::TypeMismatch));
    EXPECT_EQ(Text("A1"), "данные");
    EXPECT_EQ(Text("B1"), "");
    EXPECT_EQ(k->CurrentWorksheet(), nullptr);
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(BlankSheets, BlankMethodRaisesTheFailureOfDocumentBlankAsItsOwn) {
    std::shared_ptr<host::Worksheet> nothing;
    try {
        k->SPA_Blank(nothing);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::ObjectRequired);
    }
    auto gone = book->Add(nullptr, nullptr);
    gone->Delete();
    std::vector<Variant> args{gone};
    const CallStatus status = k->InvokeByName("VPA_Blank", args);
    EXPECT_EQ(status.number, static_cast<long>(ErrorCode::ObjectDeleted));
    EXPECT_TRUE(ui->messages.empty());
}

// A host whose window cannot be reached: DocumentBlank fails after switching
// screen updating off, and leaves it off.
class NoWindowApplication final : public host::Application {
public:
    explicit NoWindowApplication(model::ModelApplication& inner) : inner_(inner) {}
    bool ScreenUpdating() const override { return inner_.ScreenUpdating(); }
    void ScreenUpdating(bool on) override { inner_.ScreenUpdating(on); }
    bool DisplayAlerts() const override { return inner_.DisplayAlerts(); }
    void DisplayAlerts(bool on) override { inner_.DisplayAlerts(on); }
    std::string Name() const override { return inner_.Name(); }
    host::Window& ActiveWindow() override { throw Error(ErrorCode::ApplicationDefined, "no window"); }
    std::shared_ptr<host::Workbook> ActiveWorkbook() const override { return inner_.ActiveWorkbook(); }
    std::vector<std::shared_ptr<host::Workbook>> Workbooks() const override { return inner_.Workbooks(); }
    host::Range Selection() override { return inner_.Selection(); }
    host::Ui& UI() override { return inner_.UI(); }

private:
    model::ModelApplication& inner_;
};

TEST_F(BlankSheets, FailureAfterScreenUpdatingOffLeavesItOff) {
    NoWindowApplication host(app);
    Kalvora service(host);
    Put("A1", std::string("данные"));
    try {
        service.SPA_Blank(ws);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::ApplicationDefined);
        EXPECT_EQ(e.description(), "no window");
    }
    EXPECT_FALSE(app.ScreenUpdating());
    EXPECT_EQ(Text("A1"), "данные");  // nothing after the failing step ran
    EXPECT_EQ(service.CurrentWorksheet(), ws);
    EXPECT_TRUE(ui->messages.empty());
}

}  // namespace
}  // namespace ormelin
