// What `check` and `pdf` do on documents already open, with the command's own
// words: the command line runs them on a workbook file, the Calc menu on the
// open document (calc/commands.cpp).
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "check/check.hpp"
#include "ormelin/host.hpp"
#include "ormelin/kalvora.hpp"

namespace ormelin::cli {

// ------------------------------------------------------------ check
/// Today by the system's clock, in the local time zone.
check::Date Today();

/// The documents `check` reads when given no sheet: every checkable sheet but the
/// register, in the workbook's order.
std::vector<std::shared_ptr<host::Worksheet>> CheckableDocuments(host::Workbook& book);

/// One finding as `check` prints it: SHEET!CELL: rule: error|warning: message.
std::string FindingLine(const check::Finding& f);

/// The closing line of `check`: how many documents, errors and warnings.
std::string CheckSummary(std::size_t documents, int errors, int warnings);

// ------------------------------------------------------------ pdf
/// The PDF goes to a new file or replaces an earlier PDF; never the workbook
/// (book) or another file. Throws Failure (usage).
void CheckPdfDestination(const std::string& pdf, const std::string& book);

/// Every formed document of the workbook, in its order.
std::vector<std::shared_ptr<host::Worksheet>> FormedDocuments(Kalvora& service, host::Workbook& book);

/// Prints formed documents with ormelin's own renderer into the PDF file pdf,
/// written whole or not at all: a bookmark per document when there are several
/// or `bookmarks`; the file's title is the document's, or the stem of the
/// workbook's file name book for several. Each text cut at its field's edge is
/// named on err, a line each. Throws Failure.
void RenderToPdf(Kalvora& service, const std::vector<std::shared_ptr<host::Worksheet>>& sheets,
                 const std::string& pdf, const std::string& book, bool bookmarks, std::ostream& err);

}  // namespace ormelin::cli
