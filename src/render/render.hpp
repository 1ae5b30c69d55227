// The renderer: a formed document printed at the standards' millimetres, from the
// model, into a PDF file of its own writing (pdf.cpp). Where each cell falls on
// the paper and where the form's lines run come from the form table
// (forming/geometry.hpp, PaperGeometry); what each field shows comes from the
// cells (the displayed text, its alignment, rotation, merged area and font size,
// mapped to a GOST 2.304 size). Text is measured with the one measure of the
// printed font (measure/text_measure.hpp): a text wider than its field is
// condensed down to 80 % of its width, what still does not fit is cut at the
// field's edge and reported.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ormelin/host.hpp"

namespace ormelin::render {

/// A text cut at its field's edge.
struct ClippedText {
    std::string sheet;     // the worksheet's name
    std::string cell;      // the field's top-left cell, "M29"
    int page = 0;          // the sheet of the printed document, from 1
    std::string text;      // the line that does not fit
    double neededMm = 0;   // its width at its size, not condensed
    double availableMm = 0;
};

/// A formed document to print: the worksheet and its state (ksSPA_OF, ...).
struct Document {
    std::shared_ptr<const host::Worksheet> sheet;
    std::int32_t state = 0;
};

/// Whether the renderer has the millimetres of the form a formed state prints on.
bool CanRender(std::int32_t state);

/// The printed sheets of a formed document (the change-registration sheet included).
int PageCount(const host::Worksheet& ws, std::int32_t state);

/// The designation and name the first sheet's title block shows, for a bookmark.
std::string DocumentTitle(const host::Worksheet& ws, std::int32_t state);

/// The texts of a formed document that its print will cut, without drawing:
/// measures only the texts (cheap enough for a check after every forming).
/// Throws std::runtime_error when the form has no millimetres or the font is missing.
std::vector<ClippedText> ClippedTexts(const host::Worksheet& ws, std::int32_t state);

/// What the PDF file says of itself.
struct PdfInfo {
    std::string title;
    std::string subject;
    std::string creator;
};

/// What was printed of one document.
struct Printed {
    std::string sheet;
    std::string title;  // its bookmark
    int pages = 0;
    std::vector<ClippedText> clipped;
};

/// Prints the documents, one after the other, into one PDF file at path (written
/// there directly: the caller writes beside the destination and renames), with a
/// bookmark per document when there are several, or always when `bookmarks`.
/// Throws std::runtime_error naming what failed (no millimetres for a form, font
/// missing, file not writable).
std::vector<Printed> PrintPdf(const std::vector<Document>& documents, const std::string& path, const PdfInfo& info,
                              bool bookmarks);

}  // namespace ormelin::render
