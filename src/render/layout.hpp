// Where the cells and lines of a formed document fall on paper, from the form
// table's millimetres: the pages of a document, the rectangle of every field that
// holds a text, the text fitted into it (size, condensing, what is cut), and the
// form's lines. The PDF writer draws what this lays out; the clipped-text listing
// uses the same layout without drawing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forming/geometry.hpp"
#include "measure/text_measure.hpp"
#include "ormelin/host.hpp"
#include "render/render.hpp"

namespace ormelin::render {

/// The GOST 2.304 size (capital height, mm) a cell's font size in points prints at.
double GostSize(double points);

/// A line of text placed in its field's box (millimetres from the box's corner,
/// along the text's direction).
struct PlacedLine {
    std::string text;
    double x = 0, baseline = 0;
    double condense = 1;  // horizontal scale, 0.8..1
};

/// A field's text laid out: the field on the paper (mm from the paper's corner), the
/// direction it reads in, its size and lines.
struct FieldText {
    double x = 0, y = 0, w = 0, h = 0;
    int rotation = 0;  // 90: reads upwards, -90: downwards
    double em = 0;     // the font's em, mm
    bool cut = false;  // a line or the block does not fit: drawn clipped at the field's edges
    std::vector<PlacedLine> lines;
};

/// One printed sheet of a document.
struct PageLayout {
    double paperWidth = 0, paperHeight = 0;
    double lineMain = 0, lineThin = 0;
    std::vector<forming::MmLine> lines;  // mm from the paper's corner
    std::vector<FieldText> texts;
};

/// Lays out documents; holds the measure of the printed font.
class Layout {
public:
    /// Throws std::runtime_error when the drafting font cannot be read.
    Layout();
    const std::string& FontFile() const { return fontFile_; }

    /// The pages of a document, texts and lines; clipped texts are added to `clipped`
    /// when it is given. Throws std::runtime_error for a form without millimetres.
    std::vector<PageLayout> Pages(const host::Worksheet& ws, std::int32_t state,
                                  std::vector<ClippedText>* clipped, bool withLines = true);

private:
    struct Cut {
        std::string text;
        double need, available;
    };
    double WidthMm(const std::string& text, double em) const;
    /// Sets the field's lines for its rotation: split at line feeds, wrapped when the
    /// cell wraps, condensed down to 80 %; what still does not fit goes to cuts.
    void Fit(FieldText& f, const std::string& text, const host::Style& st, host::HAlign align, double size,
             std::vector<Cut>& cuts) const;
    /// A sheet drawn turned on the worksheet (its own row 1 is worksheet row base + 1),
    /// laid out upright on its portrait paper.
    PageLayout TurnedPage(const host::Worksheet& ws, const forming::MmTurnedSheet& t, int base, int number,
                          std::vector<ClippedText>* clipped, bool withLines) const;

    std::string fontFile_;
    double capShare_ = 0.74;
    measure::Measure measure_;  // at kMeasurePoints
};

}  // namespace ormelin::render
