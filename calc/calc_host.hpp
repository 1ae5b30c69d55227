// The LibreOffice Calc host: the host interface (ormelin/host.hpp) over Calc's
// UNO API, for the extension's commands on the open document.
//
// Most members map to one UNO call or a few. Those without a one-call
// counterpart are emulated here (docs/hosts.md lists them): the common text of
// a multi-cell range, the list of merged areas, the used range, the per-sheet
// page setup and window view (kept as records and written back by Flush), the
// cached values of formulas (Calc computes its own) and column widths in
// characters of the standard font.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "ormelin/host.hpp"

namespace ormelin::calc {

class CalcWorkbook;
class CalcApplication;
struct MergeStep;

class CalcWorksheet final : public host::Worksheet {
public:
    CalcWorksheet(CalcWorkbook& book, css::uno::Reference<css::sheet::XSpreadsheet> sheet);

    std::string Name() const override;
    void Name(const std::string& name) override;
    host::Workbook& Parent() const override;
    bool IsDeleted() const override;
    void Activate() override;
    void Delete() override;
    int Index() const override;
    void Move(const host::Worksheet* before, const host::Worksheet* after) override;

    host::CellContent Content(int row, int column) const override;
    void SetValue(const host::Area& area, const host::Value& value) override;
    void SetLiteral(const host::Area& area, const host::Value& value) override;
    void SetFormula(int row, int column, const std::string& formulaR1C1, const host::Value& cached) override;
    std::string CellText(int row, int column) const override;
    std::optional<std::string> Text(const host::Area& area) const override;

    const host::Style& CellStyle(int row, int column) const override;
    void Format(const host::Area& area, const host::FormatPatch& patch) override;
    void SetCellStyle(int row, int column, const host::Style& style) override;

    double RowHeight(int row) const override;
    void RowHeight(int r1, int r2, double points) override;
    double ColumnWidth(int column) const override;
    void ColumnWidth(int c1, int c2, double characters) override;
    double StandardHeight() const override;
    void StandardHeight(double points) override;
    double StandardWidth() const override;

    void InsertRows(int at, int count) override;
    void DeleteRows(int at, int count) override;
    void InsertColumns(int at, int count) override;
    void DeleteColumns(int at, int count) override;
    void InsertCells(const host::Area& area, host::Shift shift) override;
    void DeleteCells(const host::Area& area, host::Shift shift) override;
    void Clear(const host::Area& area) override;
    void ClearContents(const host::Area& area) override;
    void CopyTo(const host::Area& source, host::Worksheet& destination, int row, int column) override;

    void Merge(const host::Area& area) override;
    /// A run of merges is made with Calc's undo off and undone by an action of
    /// the host's own (calc_undo.hpp).
    void MergeEach(const std::vector<host::Area>& areas) override;
    void UnMerge(const host::Area& area) override;
    std::optional<host::Area> MergeArea(int row, int column) const override;
    std::vector<host::Area> MergedAreas(const host::Area& within) const override;
    host::Area UsedRange() const override;

    void AddHyperlink(const host::Hyperlink& link) override;
    std::vector<host::Hyperlink> Hyperlinks() const override;

    host::PageSetup& Page() override;
    const host::PageSetup& Page() const override;
    std::vector<int> HPageBreaks() const override;
    void AddHPageBreak(int row) override;
    void RemoveHPageBreak(int row) override;
    bool DisplayAutomaticPageBreaks() const override { return autoBreaks_; }
    void DisplayAutomaticPageBreaks(bool on) override { autoBreaks_ = on; }

    host::SheetView& View() override;
    const host::SheetView& View() const override;

    /// Writes the page setup and the view back when they were handed out for change.
    void Flush();
    const css::uno::Reference<css::sheet::XSpreadsheet>& Uno() const { return sheet_; }

private:
    void Check() const;
    css::uno::Reference<css::table::XCellRange> RangeOf(const host::Area& area) const;
    host::PageSetup ReadPage() const;
    void WritePage(const host::PageSetup& page);
    host::SheetView ReadView() const;
    void WriteView(const host::SheetView& view);
    int LastColumn() const;
    /// Merges the area (the merged areas it holds or reaches into give way), and
    /// notes in `done` what it changed.
    void MergeOne(const host::Area& area, std::vector<MergeStep>* done);
    /// Takes apart the merged areas the area holds or reaches into, noting them in `done`.
    void TakeApart(const host::Area& area, std::vector<MergeStep>* done);
    /// The text a cell shows, from its content.
    std::string TextOf(int row, int column, const host::CellContent& content) const;

    CalcWorkbook& book_;
    css::uno::Reference<css::sheet::XSpreadsheet> sheet_;
    bool deleted_ = false;
    bool autoBreaks_ = true;
    mutable host::Style style_;  // the style CellStyle handed out last
    mutable std::optional<host::PageSetup> page_;
    mutable std::optional<host::SheetView> view_;
    bool pageOut_ = false, viewOut_ = false;  // handed out for change
    bool endRepair_ = false;                  // the command's undo gives the end columns their format back
    /// Where the uniform end of whole rows begins (UniformEndOf), for the rows a
    /// command copies again and again: a form copies its first sheet's bottom
    /// line under every further sheet, which took Calc 3 to 4 ms a time to find
    /// on a 20,000-row form (2.6 s in all). Forgotten when the rows change or move.
    mutable std::map<std::pair<int, int>, int> uniformEnds_;
    /// Rows r1..r2 change in contents, formats or merges; with `moved`, the rows
    /// from r1 on move (rows or cells inserted or deleted).
    void Changed(int r1, int r2, bool moved = false);

    friend class CalcWorkbook;
};

class CalcWorkbook final : public host::Workbook {
public:
    CalcWorkbook(CalcApplication& app, css::uno::Reference<css::frame::XModel> model);

    std::string Name() const override;
    std::string FullName() const override;
    bool HasPath() const override;
    host::Application& Parent() const override;
    int Count() const override;
    std::shared_ptr<host::Worksheet> Sheet(int index) const override;
    std::shared_ptr<host::Worksheet> Sheet(const std::string& name) const override;
    std::shared_ptr<host::Worksheet> FindSheet(const std::string& name) const override;
    std::shared_ptr<host::Worksheet> Add(const host::Worksheet* before, const host::Worksheet* after) override;
    std::shared_ptr<host::Worksheet> ActiveSheet() const override;
    void Activate() override {}
    void Save() override;
    void SaveAs(const std::string& path) override;

    /// Writes back what the sheets keep (page setups, views).
    void Flush();
    const css::uno::Reference<css::frame::XModel>& Model() const { return model_; }
    css::uno::Reference<css::sheet::XSpreadsheetDocument> Document() const;
    CalcApplication& App() const { return app_; }
    /// The sheet object of a UNO sheet (one per sheet while the workbook lives).
    std::shared_ptr<CalcWorksheet> Wrap(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet) const;
    void Forget(const CalcWorksheet* sheet) const;
    /// The (0-based) positions of the sheets a command has reached so far.
    std::vector<sal_Int32> SheetsReached() const;
    /// Number formats: the format text of a key ("General", "@", "0.00") and the
    /// key of a text (added to the document when it has none).
    std::string NumberFormatText(sal_Int32 key) const;
    sal_Int32 NumberFormatKey(const std::string& text) const;

private:
    mutable std::map<sal_Int32, std::string> formatTexts_;
    mutable std::map<std::string, sal_Int32> formatKeys_;
    CalcApplication& app_;
    css::uno::Reference<css::frame::XModel> model_;
    mutable std::vector<std::shared_ptr<CalcWorksheet>> sheets_;
};

class CalcWindow final : public host::Window {
public:
    explicit CalcWindow(CalcApplication& app) : app_(app) {}
    host::ViewMode View() const override;
    void View(host::ViewMode mode) override;
    bool FreezePanes() const override;
    void FreezePanes(bool on) override;
    int SplitRow() const override;
    int SplitColumn() const override;
    bool DisplayZeros() const override;
    void DisplayZeros(bool on) override;
    bool DisplayGridlines() const override;
    void DisplayGridlines(bool on) override;
    int Zoom() const override;
    void Zoom(int percent) override;
    int ScrollRow() const override;
    void ScrollRow(int row) override;

private:
    host::SheetView& Active() const;
    CalcApplication& app_;
};

class CalcApplication final : public host::Application {
public:
    CalcApplication(css::uno::Reference<css::uno::XComponentContext> context,
                    css::uno::Reference<css::frame::XModel> model, std::shared_ptr<host::Ui> ui);
    /// Appends the host's timing journal (calc_timing.hpp) when it is kept.
    ~CalcApplication() override;
    CalcApplication(const CalcApplication&) = delete;
    CalcApplication& operator=(const CalcApplication&) = delete;

    bool ScreenUpdating() const override { return screen_; }
    void ScreenUpdating(bool on) override { screen_ = on; }
    bool DisplayAlerts() const override { return alerts_; }
    void DisplayAlerts(bool on) override { alerts_ = on; }
    std::string Name() const override { return "LibreOffice Calc"; }
    host::Window& ActiveWindow() override { return window_; }
    std::shared_ptr<host::Workbook> ActiveWorkbook() const override { return book_; }
    std::vector<std::shared_ptr<host::Workbook>> Workbooks() const override { return {book_}; }
    host::Range Selection() override;
    host::Ui& UI() override { return *ui_; }

    CalcWorkbook& Book() const { return *book_; }
    const css::uno::Reference<css::uno::XComponentContext>& Context() const { return context_; }
    /// Writes back what the sheets keep; the commands call it before they end.
    void Flush() { book_->Flush(); }

private:
    css::uno::Reference<css::uno::XComponentContext> context_;
    std::shared_ptr<host::Ui> ui_;
    std::shared_ptr<CalcWorkbook> book_;
    CalcWindow window_;
    bool screen_ = true, alerts_ = true;
};

/// Calc keeps a print area read from a file twice: as the sheet's print ranges and
/// as the sheet's name _xlnm.Print_Area, which moves with inserted and deleted
/// columns and which Calc writes to the file instead of the ranges. The host keeps
/// the print ranges only: this drops the name (when there is one).
void DropPrintAreaName(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);

/// An office exception as the host's error (Calc's message kept).
[[noreturn]] void Fail(const css::uno::Exception& e);

/// UTF-8 and UNO strings.
rtl::OUString U(const std::string& s);
std::string S(const rtl::OUString& s);

}  // namespace ormelin::calc
