// Forming the group specification: its list (head in rows 1:2, the per-execution
// letter and code rows 3:4, data from row 5) becomes printable A4 landscape sheets
// in place. Blank columns are inserted so that the list's columns land on the
// form's 31-column grid A..AE, and frame rows are inserted around the list rows:
// 8 list rows on the first sheet, 17 on every further one.
//
// FormSPB takes the worksheet, the attribute record (normally the reference
// record, whose values are formulas into the register row) and the options
// explicitly; what it did comes back in the forming result all forms share.
#pragma once

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "forming/forming.hpp"
#include "forming/geometry.hpp"
#include "ormelin/attr_doc.hpp"
#include "ormelin/host.hpp"

namespace ormelin::forming {

/// The change-registration sheet's first entry, "Изм." and "№ докум.": addresses in
/// its block (row 1 is the row under the last sheet's bottom line), before the
/// narrow column A is inserted beside the sheet.
inline constexpr const char* kRegistrationChangeCell = "E3";
inline constexpr const char* kRegistrationDocumentCell = "E23";

/// The first data row of the group specification's list and of its first formed sheet.
inline constexpr int kGroupListDataRow = 5;

/// The rows forming inserted (or, for rows 15:16 of sheet 1, moved there from
/// the list's header), as row spans, for a document of `sheets` list sheets with
/// or without the change-registration sheet after them. Every other row from row
/// 5 to the last sheet's last row is a list data row.
std::vector<std::pair<long long, long long>> GroupFrameRows(int sheets, bool registration);

/// Forms the group specification list on ws with the record's attributes (the
/// caller refreshes its register references). Screen updating is off while it
/// runs; it ends with the window's zoom at 100 and screen updating on.
FormResult FormSPB(host::Application& app, const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc,
                   const FormOptions& options);

/// The sheet count that the first sheet's title block of a formed group
/// specification holds: the sheets of the list and whether the change-registration
/// sheet follows them (from "Листов": AD23, or AE23 when the registration column
/// moved the form).
struct SpbSheets {
    int sheets = 0;
    bool registration = false;
};
std::optional<SpbSheets> SpbSheetsOnForm(const host::Worksheet& ws);

/// The first row of a formed group specification that holds anything below the
/// last sheet (the change-registration sheet included), or 0. Reads the sheet
/// count from the first sheet's title block.
long long SpbFirstRowLeftBelow(const host::Worksheet& ws);

// ---------------------------------------------------------------- frames (title_spb.cpp)

/// Rows 1:2 of sheet 1: the binding-margin lines.
void SpbBindingLines(const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc);
/// The "Лит." and "Код" labels of the variable-data zone.
void SpbVariableZone(const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc);
/// The first sheet's title block in rows 17..27.
void SpbTitleFirst(const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc);
/// The merges of the first sheet's heads and zones, and the designation over the
/// execution numbers.
void SpbFirstSheetMerges(const std::shared_ptr<host::Worksheet>& ws, const AttrDoc& attDoc);
/// The frame lines of the first sheet.
void SpbFirstSheetBorders(const std::shared_ptr<host::Worksheet>& ws);
/// A further sheet: its heads and title block inserted around the 17 list rows
/// below row b (the previous sheet's last row); k is the sheet's number.
void SpbPageNext(const std::shared_ptr<host::Worksheet>& ws, long long b, int k, const AttrDoc& attDoc);
/// The change-registration sheet in the rows below row b (the last sheet's last
/// row), numbered k, and the inserted column A.
void SpbPageRevi(const std::shared_ptr<host::Worksheet>& ws, long long b, int k, const AttrDoc& attDoc);

/// A text that reads as a date as "dd.mm.yy" shows it; any other text unchanged.
std::string DateText(const std::string& text);

}  // namespace ormelin::forming
