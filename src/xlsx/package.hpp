// The package parts: content types, relationships and document properties,
// read and written side by side.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "xlsx/archive.hpp"
#include "xlsx/archive_writer.hpp"

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

void WriteContentTypes(ArchiveWriter& zip, int sheets);
void WriteDocumentProperties(ArchiveWriter& zip);

}  // namespace ormelin::xlsx::detail
