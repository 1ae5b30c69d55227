// Building the XML of a part straight into the archive: text is gathered in a
// buffer and deflated whenever the buffer fills, so the largest sheet costs no
// more memory than the buffer.
#pragma once

#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "xlsx/archive_writer.hpp"

namespace ormelin::xlsx::detail {

// Writing into reserved room (XmlOut::Reserve): each returns the end of what it wrote.
template <std::size_t N>
char* Put(char* p, const char (&text)[N]) {
    std::memcpy(p, text, N - 1);
    return p + N - 1;
}
inline char* PutInt(char* p, unsigned long long value) { return std::to_chars(p, p + 20, value).ptr; }
/// A cell reference "AB12" (at most 10 characters).
inline char* PutRef(char* p, int row, int column) {
    char letters[4];
    int count = 0;
    for (int c = column; c > 0; c = (c - 1) / 26) letters[count++] = static_cast<char>('A' + (c - 1) % 26);
    while (count > 0) *p++ = letters[--count];
    return PutInt(p, static_cast<unsigned long long>(row));
}

class XmlOut {
public:
    XmlOut(ArchiveWriter& archive, std::string part);
    ~XmlOut();
    XmlOut(const XmlOut&) = delete;
    XmlOut& operator=(const XmlOut&) = delete;

    const std::string& Part() const { return part_; }

    XmlOut& Raw(std::string_view text) {
        if (text.size() > kRoom - size_) return Large(text);
        std::memcpy(buffer_.get() + size_, text.data(), text.size());
        size_ += text.size();
        if (size_ >= kFlushAt) Flush();
        return *this;
    }
    /// Room for `n` (at most kReserveMax) characters at the end of the text, for a
    /// caller that writes them itself and hands the end of what it wrote to Commit.
    static constexpr std::size_t kReserveMax = 4096;
    char* Reserve(std::size_t n) {
        if (n > kRoom - size_) Flush();
        return buffer_.get() + size_;
    }
    void Commit(char* end) {
        size_ = static_cast<std::size_t>(end - buffer_.get());
        if (size_ >= kFlushAt) Flush();
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
    XmlOut& Cell(int row, int column) {
        Commit(PutRef(Reserve(16), row, column));
        return *this;
    }

    /// Element text of a cell value or string: markup characters as entities,
    /// control characters and the file's own escape "_xHHHH_" as escapes the
    /// readers decode.
    XmlOut& Text(std::string_view text);
    /// Element text that is not decoded by readers (formulas): markup characters
    /// as entities; a control character other than tab and line feed fails, naming
    /// the text as what() tells (called only then).
    XmlOut& PlainText(std::string_view text, const std::function<std::string()>& what);
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
    // beyond kFlushAt: room for one reservation or short text before a flush
    static constexpr std::size_t kRoom = kFlushAt + kReserveMax;
    void Flush();
    XmlOut& Large(std::string_view text);  // a text that does not fit what is left
    void Escaped(std::string_view text, bool attribute, std::string_view what);

    ArchiveWriter& archive_;
    std::string part_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    bool closed_ = false;
};

}  // namespace ormelin::xlsx::detail
