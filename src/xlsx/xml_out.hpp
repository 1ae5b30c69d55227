// Building the XML of a part straight into the archive: text is gathered in a
// buffer and deflated whenever the buffer fills, so the largest sheet costs no
// more memory than the buffer.
#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include "xlsx/archive_writer.hpp"

namespace ormelin::xlsx::detail {

class XmlOut {
public:
    XmlOut(ArchiveWriter& archive, std::string part);
    ~XmlOut();
    XmlOut(const XmlOut&) = delete;
    XmlOut& operator=(const XmlOut&) = delete;

    const std::string& Part() const { return part_; }

    XmlOut& Raw(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kFlushAt) Flush();
        return *this;
    }
    XmlOut& Int(long long value) {
        char digits[24];
        auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return Raw(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    /// The shortest decimal that reads back as the same double.
    XmlOut& Number(double value) {
        char digits[32];
        auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return Raw(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    /// A cell reference "AB12".
    XmlOut& Cell(int row, int column);

    /// Element text of a cell value or string: markup characters as entities,
    /// control characters and the file's own escape "_xHHHH_" as escapes the
    /// readers decode.
    XmlOut& Text(std::string_view text);
    /// Element text that is not decoded by readers (formulas): markup characters
    /// as entities; a control character other than tab and line feed fails.
    XmlOut& PlainText(std::string_view text, std::string_view what);
    /// An attribute value, quotes included: ` name="value"`.
    XmlOut& Attr(std::string_view name, std::string_view value);
    XmlOut& Attr(std::string_view name, long long value) {
        Raw(" ").Raw(name).Raw("=\"");
        return Int(value).Raw("\"");
    }
    XmlOut& AttrNumber(std::string_view name, double value) {
        Raw(" ").Raw(name).Raw("=\"");
        return Number(value).Raw("\"");
    }

    /// Deflates what is gathered and ends the part.
    void Close();

private:
    static constexpr std::size_t kFlushAt = 1 << 20;
    void Flush();
    void Escaped(std::string_view text, bool attribute, std::string_view what);

    ArchiveWriter& archive_;
    std::string part_;
    std::string buffer_;
    bool closed_ = false;
};

}  // namespace ormelin::xlsx::detail
