// Importing a bill of materials into a document's list: the BOM read (before the
// workbook is opened, so that its faults leave the workbook alone), then the
// list the sheet holds filled by the drafting rules of its kind. The typed
// results say what was done and what the host should tell the user.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "import/bom.hpp"
#include "ormelin/documents.hpp"
#include "ormelin/host.hpp"

namespace ormelin::import {

/// Where a BOM is read from and how.
struct BomSource {
    std::string file;
    Encoding encoding = Encoding::Detect;
    char delimiter = 0;       // 0: found from the head line
    std::string sheet;        // of an .xlsx BOM; empty: its first sheet
    Profile profile;
};

/// A BOM file that cannot be read at all (missing, no permission).
class BomUnreadable : public BomError {
public:
    using BomError::BomError;
};

/// The elements of a BOM, read through its profile.
struct PreparedBom {
    std::string file;
    std::vector<Element> elements;
    int symbolsLeftOut = 0;   // power and flag symbols ("#PWR01"): no parts
};

/// Reads the BOM: BomUnreadable for a file that cannot be read, BomError (file,
/// line and column) for every other fault.
PreparedBom PrepareBom(const BomSource& source);

/// How the list is filled.
struct ImportChoices {
    bool replace = false;   // the list's rows (a specification's "Прочие изделия") replaced
    int gap = 1;            // empty rows between the groups of a list of elements
    bool markDnp = false;   // elements not to be fitted listed with a note instead of left out
    /// The convention of the designators' letter codes; nothing: found from the codes.
    std::optional<Convention> designators;
    bool rawValues = false;   // values as the BOM gives them, not in GOST form
};

/// Why a sheet took nothing; it is left as it was.
enum class ImportRefusal : std::uint8_t {
    None,
    FormedDocument,   // the sheet holds a formed document
    NoTargetList,     // no list of elements, list of purchased products or specification
};

struct ImportOutcome {
    ImportRefusal refused = ImportRefusal::None;
    std::optional<Target> target;
    /// The register holds no designation of the document: "Куда входит" was left empty.
    bool assemblyMissing = false;
    /// The printing font is not installed: long names were wrapped by a coarse estimate.
    bool coarseMeasure = false;
    /// The convention the elements were named by.
    Convention convention = Convention::Unknown;
    /// Letter codes that got no kind name because the convention was not decided.
    std::vector<std::string> undecidedCodes;
    FillResult fill;
};

/// Fills the list on the sheet from the BOM's elements. A list that holds rows
/// without choices.replace, and other faults of the filling, throw
/// std::runtime_error with nothing changed.
ImportOutcome ImportInto(Documents& docs, const std::shared_ptr<host::Worksheet>& sheet, const PreparedBom& bom,
                         const ImportChoices& choices);

/// The designation of the assembly a list belongs to: the document's designation
/// without its document code ("АБВГ.436234.001 ВП" gives "АБВГ.436234.001").
std::string AssemblyOf(const std::string& designation);

}  // namespace ormelin::import
