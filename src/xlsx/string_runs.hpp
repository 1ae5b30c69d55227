// Formatted runs of a text (<r> elements of a shared or inline string), read
// and written side by side.
#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

#include "ormelin/rich_text.hpp"
#include "xlsx/xml_out.hpp"

namespace ormelin::xlsx::detail {

/// The runs of a string element (<si> or <is>); null when it has none.
std::shared_ptr<const host::RichText> ReadRuns(const pugi::xml_node& string, const std::string& part);

/// Writes the runs as the content of a string element.
void WriteRuns(XmlOut& x, const host::RichText& text);

}  // namespace ormelin::xlsx::detail
