// A reviewable text picture of a worksheet: column widths, row heights, merges,
// cell contents, borders, the print setup and the sheet's view. Reference
// pictures of formed sheets are kept under tests/forming/reference/ and compared
// in full; they are rewritten only when ORMELIN_UPDATE_REFERENCE=1 is set, and the
// rewritten files' diff is then read like code (docs/forming.md).
#pragma once

#include <string>

#include "ormelin/host.hpp"

namespace ormelin::testing_support {

/// The picture of the used range of the sheet.
std::string DumpSheet(const host::Worksheet& w);

/// Compares a picture with its reference file tests/forming/reference/<name>.txt.
/// Returns an empty text when they are equal, else a description of the first
/// difference. With ORMELIN_UPDATE_REFERENCE=1 the file is written instead (and
/// the comparison passes).
std::string CompareWithReference(const std::string& name, const std::string& picture);

}  // namespace ormelin::testing_support
