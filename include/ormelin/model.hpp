// The embedded spreadsheet model: the default host. An in-memory application with
// workbooks and worksheets that behave as the desktop spreadsheet does wherever
// the library relies on it (docs/model.md lists the rules and the differences).
//
// Besides the host interface, the concrete classes offer the bulk access that the
// file layer (src/xlsx) needs to load and save a workbook quickly: interned style
// ids, row and column records, and cell iteration in row order.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ormelin/host.hpp"

namespace ormelin::model {

using host::Area;
using host::CellContent;
using host::Style;

/// Index into a workbook's style table. 0 is the workbook's default style.
using StyleId = std::uint32_t;

/// The workbook's table of distinct styles.
class StyleTable {
public:
    StyleTable();
    StyleId Intern(const Style& style);
    const Style& Get(StyleId id) const;
    std::size_t Size() const;

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

/// One row's own record.
struct RowRecord {
    double height = -1;          // points; < 0: the sheet's standard height; 0: hidden
    std::optional<StyleId> style;  // a format given to the whole row
    bool manualBreak = false;    // a manual page break begins the page with this row
    std::uint8_t outlineLevel = 0;  // 0..7: how deep the row lies in the sheet's outline groups
    bool collapsed = false;         // the group this row sums up is collapsed
    float hiddenHeight = -1;        // a hidden row's height, shown again when it is unhidden; < 0: the standard height
    bool outlined() const { return outlineLevel > 0 || collapsed; }
};

/// A run of columns sharing one record.
struct ColumnRecord {
    int first = 1, last = 1;
    double width = -1;             // characters; < 0: the standard width; 0: hidden
    std::optional<StyleId> style;  // a format given to the whole column
    double hiddenWidth = -1;       // a hidden column's width, shown again when it is unhidden; < 0: the standard width
    std::uint8_t outlineLevel = 0;  // 0..7: how deep the column lies in the sheet's outline groups
    bool collapsed = false;         // the group this column sums up is collapsed
    /// The width exactly as the file gave it (with its padding, in the file's
    /// units); written back as long as the column shows the width read from it,
    /// so a column keeps its file width to the last digit. < 0: none.
    double fileWidth = -1;
};

/// How the sheet's outline groups are laid out and shown.
struct SheetOutline {
    bool summaryBelow = true;   // a group's summary row lies below the group (else above)
    bool summaryRight = true;   // a group's summary column lies to its right (else left)
    bool applyStyles = false;   // the outline styles are applied to summary rows and columns
    bool showSymbols = true;    // the outline symbols (levels, plus and minus) are shown
    friend bool operator==(const SheetOutline&, const SheetOutline&) = default;
};

/// The sheet's default column width and row height as a file gives them, kept
/// so that a saved file gives them back. The standard width in characters that
/// columns without a width of their own take is the sheet's StandardWidth().
struct SheetDefaults {
    double fileColumnWidth = -1;       // the file's default column width (padding included); < 0: none given
    int baseColumnWidth = 8;           // digits of the standard font the default width is built from
    std::optional<bool> customHeight;  // the standard height was set by hand; nothing: when it is not 15
    friend bool operator==(const SheetDefaults&, const SheetDefaults&) = default;
};

/// A file's document properties, kept as the file gave them (each part's XML,
/// without its declaration) and written back unchanged. Empty: none kept.
struct DocumentProperties {
    std::string core;    // title, subject, creator, keywords, dates, ...
    std::string app;     // the application and its statistics
    std::string custom;  // custom properties with their types
};

class ModelWorkbook;
class ModelApplication;

class ModelWorksheet final : public host::Worksheet {
public:
    ModelWorksheet(ModelWorkbook& book, std::string name);
    ~ModelWorksheet() override;

    // host::Worksheet
    std::string Name() const override;
    void Name(const std::string& name) override;
    host::Workbook& Parent() const override;
    bool IsDeleted() const override;
    void Activate() override;
    void Delete() override;
    int Index() const override;
    void Move(const host::Worksheet* before, const host::Worksheet* after) override;
    CellContent Content(int row, int column) const override;
    void SetValue(const Area& area, const host::Value& value) override;
    void SetLiteral(const Area& area, const host::Value& value) override;
    void SetFormula(int row, int column, const std::string& formulaR1C1, const host::Value& cached) override;
    std::string CellText(int row, int column) const override;
    std::optional<std::string> Text(const Area& area) const override;
    bool HasReferringFormulas() const override;
    const Style& CellStyle(int row, int column) const override;
    void Format(const Area& area, const host::FormatPatch& patch) override;
    void SetCellStyle(int row, int column, const Style& style) override;
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
    void InsertColumnRuns(const std::vector<host::ColumnRun>& runs) override;
    void DeleteColumnRuns(const std::vector<host::ColumnRun>& runs) override;
    void InsertCells(const Area& area, host::Shift shift) override;
    void DeleteCells(const Area& area, host::Shift shift) override;
    void Clear(const Area& area) override;
    void ClearContents(const Area& area) override;
    void CopyTo(const Area& source, host::Worksheet& destination, int row, int column) override;
    void Merge(const Area& area) override;
    void UnMerge(const Area& area) override;
    std::optional<Area> MergeArea(int row, int column) const override;
    std::vector<Area> MergedAreas(const Area& within) const override;
    Area UsedRange() const override;
    void AddHyperlink(const host::Hyperlink& link) override;
    std::vector<host::Hyperlink> Hyperlinks() const override;
    host::PageSetup& Page() override;
    const host::PageSetup& Page() const override;
    std::vector<int> HPageBreaks() const override;
    void AddHPageBreak(int row) override;
    void RemoveHPageBreak(int row) override;
    bool DisplayAutomaticPageBreaks() const override;
    void DisplayAutomaticPageBreaks(bool on) override;
    host::SheetView& View() override;
    const host::SheetView& View() const override;

    // bulk access for the file layer
    ModelWorkbook& Book() const;
    /// Visits every cell that holds a value, a formula or a style of its own, in
    /// row order and, within a row, in column order.
    void ForEachCell(const std::function<void(int row, int column, const CellContent&, StyleId)>& visit) const;
    /// Visits every row that has a record of its own (height, style or break), ascending.
    void ForEachRow(const std::function<void(int row, const RowRecord&)>& visit) const;
    std::vector<ColumnRecord> Columns() const;
    using host::Worksheet::Columns;  // Columns(int) and Columns("A:B") stay visible
    std::optional<StyleId> SheetStyle() const;   // a format given to the whole sheet
    /// Loader entry points: no checks beyond the bounds, no formula handling.
    void LoadCell(int row, int column, CellContent content, StyleId style);
    void LoadRow(int row, const RowRecord& record);
    void LoadColumns(const ColumnRecord& record);
    void LoadSheetStyle(StyleId style);
    /// The standard column width in characters (0..255) and the file's defaults it came from.
    void LoadStandardWidth(double characters);
    SheetDefaults& Defaults();
    const SheetDefaults& Defaults() const;
    /// How the outline groups of rows and columns (the records' outline levels) are laid out.
    SheetOutline& Outline();
    const SheetOutline& Outline() const;
    void LoadMerge(const Area& area);   // areas must not overlap; overlapping ones are refused
    /// The style id a cell has of its own (nothing: it takes its row's, column's or sheet's).
    std::optional<StyleId> OwnStyle(int row, int column) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    friend class ModelWorkbook;
};

class ModelWorkbook final : public host::Workbook {
public:
    explicit ModelWorkbook(ModelApplication& app, std::string name);
    ~ModelWorkbook() override;

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
    void Activate() override;
    void Save() override;
    void SaveAs(const std::string& path) override;

    // for the file layer and the command
    StyleTable& Styles();
    const StyleTable& Styles() const;
    std::shared_ptr<ModelWorksheet> ModelSheet(int index) const;
    /// Adds a sheet with the given name at the end (loading).
    std::shared_ptr<ModelWorksheet> AddNamed(const std::string& name);
    void SetActiveSheet(int index);
    /// The document properties of the file the workbook was loaded from.
    DocumentProperties& Properties();
    const DocumentProperties& Properties() const;
    /// The theme part of the file the workbook was loaded from (its colour scheme
    /// and fonts, which styles name by number), kept as its XML and written back
    /// unchanged; empty when it had none.
    std::string& Theme();
    const std::string& Theme() const;
    /// Dates count from 1 January 1904 (serial 0) instead of 1900: the cells keep
    /// their serial numbers and date formats show them in this system.
    bool Date1904() const;
    void Date1904(bool on);
    /// Records the file the workbook belongs to, without saving.
    void SetPath(const std::string& path);
    /// Called by the sheets: removes one from the workbook.
    void RemoveSheet(const ModelWorksheet& sheet);
    /// Called by the sheets: moves one before or after another (at the end when
    /// both are null); the active sheet stays active.
    void MoveSheet(const ModelWorksheet& sheet, const host::Worksheet* before, const host::Worksheet* after);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    friend class ModelApplication;
};

/// Writes a workbook to a file; supplied by the file layer (src/xlsx).
using Saver = std::function<void(const ModelWorkbook& book, const std::string& path)>;

class ModelApplication final : public host::Application {
public:
    explicit ModelApplication(std::shared_ptr<host::Ui> ui);
    ~ModelApplication() override;

    bool ScreenUpdating() const override;
    void ScreenUpdating(bool on) override;
    bool DisplayAlerts() const override;
    void DisplayAlerts(bool on) override;
    std::string Name() const override;
    host::Window& ActiveWindow() override;
    std::shared_ptr<host::Workbook> ActiveWorkbook() const override;
    std::vector<std::shared_ptr<host::Workbook>> Workbooks() const override;
    std::shared_ptr<host::Workbook> AddWorkbook() override;
    host::Range Selection() override;
    host::Ui& UI() override;

    /// A new workbook with one sheet "Лист1", named "Книга<n>"; it becomes active.
    std::shared_ptr<ModelWorkbook> NewWorkbook();
    /// A new workbook with no sheets (the loader adds them); it becomes active.
    std::shared_ptr<ModelWorkbook> EmptyWorkbook();
    void SetActiveWorkbook(const std::shared_ptr<ModelWorkbook>& book);
    /// Closes a workbook without saving: it leaves Workbooks(), its calls fail
    /// from then on, and when it was active the last workbook opened before it
    /// becomes active (none when it was the only one).
    void CloseWorkbook(const std::shared_ptr<ModelWorkbook>& book);
    void SetSaver(Saver saver);
    const Saver& GetSaver() const;
    /// How often screen updating was switched on and off (observable for tests).
    int ScreenUpdatingChanges() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

/// A message box and save-as dialog that answer from a script and record what was
/// asked. Used by tests, and by the command with answers taken from its options.
class ScriptedUi final : public host::Ui {
public:
    struct Message {
        std::string text;
        host::MsgButtons buttons;
        host::MsgIcon icon;
        std::string title;
    };
    host::MsgResult MsgBox(const std::string& text, host::MsgButtons buttons, host::MsgIcon icon,
                           const std::string& title) override;
    std::optional<std::string> GetSaveAsFilename(const std::string& initialFileName,
                                                 const std::string& fileFilter) override;

    /// Answers given in order; when none is left, OK.
    std::deque<host::MsgResult> answers;
    /// Save-as answers in order; when none is left, cancelled.
    std::deque<std::optional<std::string>> saveAsAnswers;
    /// Called for every message after it is recorded (the command prints them).
    std::function<void(const Message&)> onMessage;

    std::vector<Message> messages;
    struct SaveAsRequest {
        std::string initialFileName, fileFilter;
    };
    std::vector<SaveAsRequest> saveAsRequests;
};

}  // namespace ormelin::model
