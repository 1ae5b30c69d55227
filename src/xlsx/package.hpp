// The package parts: content types, relationships and document properties,
// read and written side by side.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "xlsx/archive.hpp"
#include "xlsx/archive_writer.hpp"
#include "xlsx/common.hpp"

namespace ormelin::xlsx::detail {

inline constexpr std::string_view kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
/// Relationship types are this followed by "worksheet", "styles", ...
inline constexpr std::string_view kRelTypes = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

/// A relationship as read: the target resolved to a part name unless external.
struct Rel {
    std::string id, type, target;
    bool external = false;
};
/// The relationships of a part (from its _rels part; none when it has none and
/// they are not required).
std::vector<Rel> ReadRels(Archive& zip, const std::string& sourcePart, bool required);
bool TypeEndsWith(const Rel& r, std::string_view suffix);
const Rel* FindRel(const std::vector<Rel>& rels, std::string_view suffix);

/// A relationship to write: numbered rId1, rId2, ... in order.
struct Relationship {
    std::string type, target;
    bool external = false;
};
void WriteRels(ArchiveWriter& zip, const std::string& part, const std::vector<Relationship>& rels);

/// The relationship types of the document-properties parts.
inline constexpr std::string_view kCorePropertiesRel =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
inline constexpr std::string_view kCustomPropertiesRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
/// The most bytes of one document-properties part kept; a larger one is reported.
inline constexpr std::size_t kMaxPropertiesBytes = std::size_t{1} << 20;

void WriteContentTypes(ArchiveWriter& zip, int sheets, bool customProperties, bool theme);
/// Keeps the document-properties parts the package relationships name, each
/// as its XML; a part too large or not well-formed is reported and not kept.
void ReadDocumentProperties(Archive& zip, const std::vector<Rel>& packageRels, model::DocumentProperties& out,
                            LoadReport& report);
/// Writes the kept parts back unchanged; without kept ones, empty core
/// properties and the application's name. Custom properties only when kept.
void WriteDocumentProperties(ArchiveWriter& zip, const model::DocumentProperties& kept);

/// The theme part's relationship type and the part it is written as.
inline constexpr std::string_view kThemeRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";
inline constexpr std::string_view kThemePart = "xl/theme/theme1.xml";
/// Keeps the theme part the workbook relationships name, as its XML, and gives
/// its colours; a part too large, not well-formed or without a full colour
/// scheme is reported and not kept.
std::optional<ThemeColours> ReadTheme(Archive& zip, const std::vector<Rel>& bookRels, std::string& out,
                                      LoadReport& report);
/// Writes the kept theme part back unchanged (nothing when none was kept).
void WriteTheme(ArchiveWriter& zip, const std::string& kept);

}  // namespace ormelin::xlsx::detail
