// The rows of a worksheet part, read apart from the rest of the part: a large
// sheet's document of every cell took more memory than its model, and the time
// of a load went largely to fetching and freeing that memory
// (docs/performance.md, "Loading a formed workbook").
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include <pugixml.hpp>

#include "xlsx/archive.hpp"
#include "xlsx/xml_in.hpp"

namespace ormelin::xlsx::detail {

/// The text of a worksheet's rows, left out of the part's document.
struct SheetRowsText {
    char* text = nullptr;    // inside the part's bytes; parsed in place, a slice at a time
    std::size_t size = 0;
    std::size_t offset = 0;  // where the rows begin in the part
    std::string rest;        // the part without the rows: the document's text
    explicit operator bool() const { return text != nullptr; }
};

/// Parses a worksheet part. Where its rows can be told apart by their text alone
/// (an unprefixed <sheetData> holding no comment, CDATA section or processing
/// instruction, so that "</row>" can only end a row), the document is parsed
/// without them and `rows` names them for ForEachRowSlice; otherwise the whole
/// part is parsed as any other and `rows` stays empty. Either way a part that
/// is not well-formed is refused.
void ParseWorksheet(Archive& zip, const std::string& part, XmlPart& out, SheetRowsText& rows);

/// Calls `read(parent)` for slices of about `sliceBytes` of the rows, in order,
/// each parsed as a fragment whose children are the slice's rows; a slice ends
/// after a "</row>". The next slice is parsed on a second thread while `read`
/// takes the one before. A slice that is not well-formed is refused with its
/// offset in the part, after the slices before it were read.
void ForEachRowSlice(const std::string& part, const SheetRowsText& rows,
                     const std::function<void(const pugi::xml_node&)>& read, std::size_t sliceBytes = 1u << 18);

}  // namespace ormelin::xlsx::detail
