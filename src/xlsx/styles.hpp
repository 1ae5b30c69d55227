// The styles part, read and written side by side: the file's cell formats
// (xf) and the model's style table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"
#include "xlsx/archive.hpp"
#include "xlsx/archive_writer.hpp"
#include "xlsx/common.hpp"

namespace ormelin::xlsx::detail {

struct Styles {
    std::vector<host::Style> xfs;                     // resolved cell formats
    std::vector<std::optional<model::StyleId>> ids;   // interned on first use
};
/// The cell formats of a styles part (one default format when there is none).
/// Colours named by the theme's numbers take the workbook's theme colours
/// (`theme`), or the default office theme's when it has none.
Styles ReadStyles(Archive& zip, const std::string& part, LoadReport& report, const ThemeColours* theme = nullptr);

/// Writes the workbook's style table: style id N is cell format N.
void WriteStyles(ArchiveWriter& zip, const model::ModelWorkbook& book);

/// A colour element (<color>, <fgColor>) of a font, fill, border or text run;
/// a font's colour in the theme's text colour is automatic.
host::Color ReadColor(const pugi::xml_node& c, bool font, const std::string& part, const ThemeColours* theme = nullptr);
/// Appends a colour element; an automatic colour is not written.
void ColorXml(std::string& out, const char* element, const host::Color& c);

}  // namespace ormelin::xlsx::detail
