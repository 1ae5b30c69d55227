#include "xlsx/xml_out.hpp"

#include "xlsx/common.hpp"

namespace ormelin::xlsx::detail {

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

/// Whether the text at i begins like the file's escape sequence "_xHHHH_": its
/// closing underscore may come from what follows once that is escaped too (a
/// control character becomes "_x0001_"), so "_xHHHH" is enough.
bool IsEscape(std::string_view s, std::size_t i) {
    return i + 5 < s.size() && s[i] == '_' && s[i + 1] == 'x' && IsHex(s[i + 2]) && IsHex(s[i + 3]) &&
           IsHex(s[i + 4]) && IsHex(s[i + 5]);
}

/// "_xHHHH_" for a character code.
std::string_view EscapeOf(unsigned code, char (&text)[8]) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    text[0] = '_';
    text[1] = 'x';
    for (int i = 0; i < 4; ++i) text[2 + i] = kHex[(code >> (12 - 4 * i)) & 0xF];
    text[6] = '_';
    return {text, 7};
}

}  // namespace

XmlOut::XmlOut(ArchiveWriter& archive, std::string part)
    : archive_(archive), part_(std::move(part)), buffer_(std::make_unique_for_overwrite<char[]>(kRoom)) {
    archive_.Begin(part_);
    Raw("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n");
}

XmlOut::~XmlOut() = default;

void XmlOut::Flush() {
    archive_.Write(std::string_view(buffer_.get(), size_));
    size_ = 0;
}

XmlOut& XmlOut::Large(std::string_view text) {
    Flush();
    if (text.size() > kRoom) {
        archive_.Write(text);
        return *this;
    }
    return Raw(text);
}

void XmlOut::Close() {
    if (closed_) return;
    Flush();
    archive_.End();
    closed_ = true;
}

void XmlOut::Escaped(std::string_view s, bool attribute, std::string_view what) {
    // Runs of ordinary characters are appended whole.
    std::size_t run = 0;
    auto flushRun = [&](std::size_t i) {
        if (i > run) Raw(s.substr(run, i - run));
        run = i + 1;
    };
    char escape[8];
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c != '<' && c != '>' && c != '&' && c != '"' && c != '_' && c != 0xEF) continue;
        switch (c) {
            case '<': flushRun(i); Raw("&lt;"); continue;
            case '>': flushRun(i); Raw("&gt;"); continue;
            case '&': flushRun(i); Raw("&amp;"); continue;
            case '"':
                if (attribute) flushRun(i), Raw("&quot;");
                continue;
            case '_':
                // "_x0041_" in a text would read back as "A": its underscore is escaped,
                // also where the closing underscore is the start of the next escape.
                if (what.empty() && IsEscape(s, i)) flushRun(i), Raw(EscapeOf('_', escape));
                continue;
            case 0xEF:
                // U+FFFE and U+FFFF are no XML characters.
                if (i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBF &&
                    (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE) {
                    if (!what.empty()) Fail(part_, std::string(what) + " holds the non-character U+FFFE or U+FFFF");
                    flushRun(i);
                    Raw(EscapeOf(static_cast<unsigned char>(s[i + 2]) == 0xBE ? 0xFFFE : 0xFFFF, escape));
                    run = i + 3;
                    i += 2;
                }
                continue;
            default: break;
        }
        // A control character.
        if (attribute && (c == '\t' || c == '\n' || c == '\r')) {
            flushRun(i);
            Raw(c == '\t' ? "&#9;" : c == '\n' ? "&#10;" : "&#13;");
            continue;
        }
        if (c == '\t' || c == '\n') continue;
        if (!what.empty()) Fail(part_, std::string(what) + " holds the control character U+00" +
                                           "0123456789ABCDEF"[c >> 4] + "0123456789ABCDEF"[c & 0xF]);
        flushRun(i);
        Raw(EscapeOf(c, escape));  // also a carriage return, which XML would turn into a line feed
    }
    if (run < s.size()) Raw(s.substr(run));
}

XmlOut& XmlOut::Text(std::string_view text) {
    Escaped(text, false, {});
    return *this;
}

XmlOut& XmlOut::PlainText(std::string_view text, const std::function<std::string()>& what) {
    if (Savable(text, false)) Escaped(text, false, "a text");  // nothing in it fails
    else Escaped(text, false, what());
    return *this;
}

XmlOut& XmlOut::Attr(std::string_view name, std::string_view value) {
    Raw(" ").Raw(name).Raw("=\"");
    Escaped(value, true, name);
    return Raw("\"");
}

}  // namespace ormelin::xlsx::detail
