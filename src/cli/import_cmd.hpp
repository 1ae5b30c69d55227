// `ormelin import`: filling a list from a CAD bill of materials.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "import/import.hpp"
#include "ormelin/host.hpp"
#include "ormelin/documents.hpp"

namespace CLI {
class App;
}

namespace ormelin::cli {

/// The command line of `import` beyond BOOK and SHEET.
struct ImportOptions {
    std::string bom, profile = "kicad", encoding = "auto", delimiter, bomSheet, designators = "auto";
    bool replace = false, markDnp = false, rawValues = false;
    int gap = 1;
};

/// Adds the import's own arguments and options to its subcommand.
void AddImportOptions(CLI::App& sub, ImportOptions& o);

/// The BOM read through its profile; every error of the file or the profile is
/// thrown here as the command's failure, before the workbook is opened.
import::PreparedBom PrepareImport(const ImportOptions& o);

/// Fills the list on the sheet; prints a line of what was done to out, and what
/// the user should know to err.
void ImportInto(const ImportOptions& o, const import::PreparedBom& bom, Documents& docs,
                const std::shared_ptr<host::Worksheet>& sheet, std::ostream& out, std::ostream& err);

}  // namespace ormelin::cli
