// `ormelin import`: filling a list from a CAD bill of materials.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "import/bom.hpp"
#include "ormelin/host.hpp"
#include "ormelin/kalvora.hpp"

namespace CLI {
class App;
}

namespace ormelin::cli {

/// The command line of `import` beyond BOOK and SHEET.
struct ImportOptions {
    std::string bom, profile = "kicad", encoding = "auto", delimiter, bomSheet;
    bool replace = false, markDnp = false;
    int gap = 1;
};

/// Adds the import's own arguments and options to its subcommand.
void AddImportOptions(CLI::App& sub, ImportOptions& o);

/// The BOM read through its profile; every error of the file or the profile is
/// thrown here, before the workbook is opened.
struct PreparedImport {
    std::string file;
    std::vector<import::Element> elements;
};
PreparedImport PrepareImport(const ImportOptions& o);

/// Fills the list on the sheet; prints a line of what was done to out.
void ImportInto(const ImportOptions& o, const PreparedImport& bom, Kalvora& service,
                const std::shared_ptr<host::Worksheet>& sheet, std::ostream& out, std::ostream& err);

}  // namespace ormelin::cli
