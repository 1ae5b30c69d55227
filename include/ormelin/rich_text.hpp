// Formatted runs of a cell's text: each run its own font, as the spreadsheet
// programs give parts of one text (a bold word, a superscript digit). The
// cell's value is the runs' texts joined; writing a value into the cell drops
// its runs, as the desktop spreadsheet does.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ormelin/host.hpp"

namespace ormelin::host {

/// The font of one run. What the run does not give (name, size, colour)
/// stays unset and is written unset.
struct RunFont {
    std::optional<std::string> name;
    std::optional<double> size;
    bool bold = false;
    bool italic = false;
    bool strikethrough = false;
    bool superscript = false;
    bool subscript = false;
    Underline underline = Underline::None;
    std::optional<Color> color;
    /// Properties the model does not name (font family, character set, font
    /// scheme, outline, shadow, ...), kept as the file's XML elements.
    std::string other;
    friend bool operator==(const RunFont&, const RunFont&) = default;
};

struct TextRun {
    std::string text;
    std::optional<RunFont> font;  // nothing: the run takes the cell's font
    friend bool operator==(const TextRun&, const TextRun&) = default;
};

struct RichText {
    std::vector<TextRun> runs;
    /// The runs' texts joined: the cell's value.
    std::string Joined() const {
        std::string text;
        for (const auto& r : runs) text += r.text;
        return text;
    }
    friend bool operator==(const RichText&, const RichText&) = default;
};

}  // namespace ormelin::host
