// The loader of an .xlsx file's parts into the embedded model, shared by the
// reading of the workbook part (reader.cpp) and of the sheets (sheet_reader.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "ormelin/xlsx.hpp"
#include "xlsx/archive.hpp"
#include "xlsx/common.hpp"
#include "xlsx/package.hpp"
#include "xlsx/sheet_rows.hpp"
#include "xlsx/xml_in.hpp"
#include "xlsx/styles.hpp"

namespace ormelin::xlsx::detail {

using host::Area;
using host::Border;
using host::Color;
using host::CellContent;
using host::Style;
using model::ModelWorkbook;
using model::ModelWorksheet;
using model::StyleId;

// ---------------------------------------------------------------- parts the model does not hold

struct Unsupported {
    const char* prefix;
    const char* what;
};

inline constexpr Unsupported kUnsupportedParts[] = {
    {"xl/media/", "images"},
    {"xl/charts/", "charts"},
    {"xl/chartsheets/", "chart sheets"},
    {"xl/drawings/drawing", "drawings"},
    {"xl/comments", "comments"},
    {"xl/threadedComments/", "comments"},
    {"xl/vbaProject.bin", "macros (vbaProject)"},
    {"xl/pivotTables/", "pivot tables"},
    {"xl/pivotCache/", "pivot tables"},
    {"xl/tables/", "tables"},
    {"xl/externalLinks/", "external links"},
    {"xl/embeddings/", "embedded objects"},
    {"xl/activeX/", "controls"},
    {"xl/ctrlProps/", "controls"},
    {"xl/macrosheets/", "macro sheets"},
    {"xl/dialogsheets/", "dialog sheets"},
    {"xl/connections.xml", "data connections"},
    {"xl/queryTables/", "query tables"},
    {"xl/slicers/", "slicers"},
    {"xl/timelines/", "timelines"},
};

// Elements of a worksheet that the model does not hold.
inline constexpr Unsupported kUnsupportedElements[] = {
    {"conditionalFormatting", "conditional formats"},
    {"dataValidations", "data validation"},
    {"drawing", "drawings"},
    {"legacyDrawing", "comments"},
    {"legacyDrawingHF", "header and footer images"},
    {"picture", "images"},
    {"tableParts", "tables"},
    {"autoFilter", "autofilter"},
    {"sortState", "sort state"},
    {"sheetProtection", "sheet protection"},
    {"protectedRanges", "sheet protection"},
    {"colBreaks", "vertical page breaks"},
    {"oleObjects", "embedded objects"},
    {"controls", "controls"},
    {"scenarios", "scenarios"},
    {"dataConsolidate", "data consolidation"},
    {"customSheetViews", "custom views"},
    {"phoneticPr", "phonetic settings"},
    {"extLst", "extensions"},
};

// ---------------------------------------------------------------- cells

struct CellRef {
    int row = 0, column = 0;
};

/// Parses a cell reference "B12" of a <c> element.
bool ParseCellRef(const char* text, CellRef& ref);

std::string CellName(int row, int column);

/// A cell's own text longer than a cell holds is refused here, as a save would
/// refuse it: what loads can be saved. A formula's result is the formula's.
void CheckCellText(const CellContent& content, const std::string& sheet, int row, int column, const std::string& part);

/// Why the reference of a <c> element in row `row` cannot be taken: not a cell
/// reference at all, a cell beyond the last column or row of a sheet, or a cell
/// of another row. Built only when a reference has failed.
std::string BadCellRef(const char* text, int row);

// ---------------------------------------------------------------- the loader

class Loader {
public:
    Loader(Archive& zip, ModelWorkbook& book, LoadReport& report, const Limits& limits)
        : zip_(zip), book_(book), report_(report), limits_(limits) {}

    void Run();

private:
    struct SheetEntry {
        std::string name, part;
    };

    void ReportParts();
    /// The workbook part found through the package's relationships, parsed; returns its name.
    std::string ReadWorkbookPart(XmlPart& bookXml);
    void ReadStringsAndStyles(const std::vector<Rel>& bookRels);
    /// The print areas by sheet index; every other defined name is reported.
    std::map<int, std::string> ReadDefinedNames(const pugi::xml_node& bookRoot, const std::string& bookPart);
    /// The sheets in order (an entry without a part for a sheet the model does not hold).
    std::vector<SheetEntry> ReadSheetList(const pugi::xml_node& bookRoot, const std::vector<Rel>& bookRels,
                                          const std::string& bookPart);
    void LoadSheets(const std::vector<SheetEntry>& sheets, const std::map<int, std::string>& printAreas, int active,
                    const std::string& bookPart);
    void ReadSharedStrings(const std::string& part);
    StyleId StyleOf(std::size_t xf, const std::string& part, int row, int column);
    void ReadSheet(ModelWorksheet& sheet, const std::string& part, const host::PrintArea& printArea);
    void ReadSheetProperties(ModelWorksheet& sheet, const pugi::xml_node& pr, const std::string& part);
    void ReadColumns(ModelWorksheet& sheet, const pugi::xml_node& cols, const std::string& part);
    /// The rows and cells: from `rows` a slice at a time where the part was
    /// parsed without them, else from the document's <sheetData> `data`.
    void ReadCells(ModelWorksheet& sheet, pugi::xml_node data, const SheetRowsText& rows, const std::string& part,
                   const std::set<int>& breaks);
    /// Shared formulas of the sheet being read by their index: the R1C1 text,
    /// which is the same in every cell of the formula.
    struct SharedFormula {
        std::string r1c1;
        RelativeReach reach;
    };
    using SharedFormulas = std::unordered_map<int, SharedFormula>;
    /// A row's record from its attributes; lastRow becomes its number.
    model::RowRecord ReadRowRecord(ModelWorksheet& sheet, const pugi::xml_node& r, const std::string& part,
                                   int& lastRow);
    void ReadRowCells(ModelWorksheet& sheet, const pugi::xml_node& r, int row, const model::RowRecord& record,
                      const std::string& part, SharedFormulas& shared);
    CellContent ReadCell(const pugi::xml_node& c, std::string_view type, int row, int column, const std::string& part,
                         SharedFormulas& shared);
    void ReadView(ModelWorksheet& sheet, const pugi::xml_node& views, const std::string& part);
    void ReadPage(ModelWorksheet& sheet, const pugi::xml_node& root, const std::string& part);
    void ReadHyperlinks(ModelWorksheet& sheet, const pugi::xml_node& links, const std::string& part);

    Archive& zip_;
    ModelWorkbook& book_;
    LoadReport& report_;
    Limits limits_;
    std::vector<std::string> strings_;
    /// The formatted runs of shared strings that have them, by index.
    std::unordered_map<std::size_t, std::shared_ptr<const host::RichText>> stringRuns_;
    Styles styles_;
    std::vector<StyleId> columnStyles_;  // fallback style per column of the sheet being read
};

}  // namespace ormelin::xlsx::detail
