// Reading a worksheet's rows a slice at a time (sheet_rows.hpp).
#include "xlsx/sheet_rows.hpp"

#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace ormelin::xlsx::detail {
namespace {

/// Whether `text` holds "<" followed by `mark` ("<!" opens a comment or a CDATA
/// section, "<?" a processing instruction). The mark is the rarer character of
/// the two, so it is the one looked for.
bool HasMarkupOpener(std::string_view text, char mark) {
    for (std::size_t at = text.find(mark); at != std::string_view::npos; at = text.find(mark, at + 1))
        if (at > 0 && text[at - 1] == '<') return true;
    return false;
}

constexpr unsigned kSliceOptions = kParseOptions | pugi::parse_fragment;

}  // namespace

void ParseWorksheet(Archive& zip, const std::string& part, XmlPart& out, SheetRowsText& rows) {
    out.name = part;
    out.bytes = zip.Read(part);
    rows = {};
    std::string_view text(out.bytes);
    std::size_t open = text.find("<sheetData");
    std::size_t begin = std::string_view::npos, end = std::string_view::npos;
    if (open != std::string_view::npos && open + 10 < text.size()) {
        char next = text[open + 10];
        std::size_t close = text.find('>', open);
        if ((next == '>' || next == ' ' || next == '\t' || next == '\r' || next == '\n') &&
            close != std::string_view::npos && text[close - 1] != '/') {
            begin = close + 1;
            end = text.find("</sheetData>", begin);
        }
    }
    if (end != std::string_view::npos) {
        std::string_view inside = text.substr(begin, end - begin);
        if (!HasMarkupOpener(inside, '!') && !HasMarkupOpener(inside, '?')) {
            // The rest of the part, parsed as a document of its own; it must hold
            // the emptied <sheetData> as the root's child, or the split is not used.
            std::string& rest = rows.rest;
            rest.reserve(text.size() - inside.size());
            rest.append(text.substr(0, begin)).append(text.substr(end));
            if (out.doc.load_buffer_inplace(rest.data(), rest.size(), kParseOptions, pugi::encoding_utf8)) {
                pugi::xml_node data;
                for (auto c = out.doc.document_element().first_child(); c; c = c.next_sibling())
                    if (std::strcmp(c.name(), "sheetData") == 0) data = c;
                if (data && !data.first_child()) {
                    rows.text = out.bytes.data() + begin;
                    rows.size = inside.size();
                    rows.offset = begin;
                    return;
                }
            }
        }
    }
    rows = {};
    ParseWhole(out);
}

void ForEachRowSlice(const std::string& part, const SheetRowsText& rows,
                     const std::function<void(const pugi::xml_node&)>& read, std::size_t sliceBytes) {
    const std::string_view text(rows.text, rows.size);
    std::vector<std::pair<std::size_t, std::size_t>> slices;  // [start, stop) in the rows
    for (std::size_t start = 0; start < text.size();) {
        std::size_t stop = text.size();
        if (text.size() - start > sliceBytes) {
            std::size_t endTag = text.find("</row>", start + sliceBytes);
            if (endTag != std::string_view::npos) stop = endTag + 6;
        }
        slices.emplace_back(start, stop);
        start = stop;
    }
    auto parse = [&](pugi::xml_document& doc, std::size_t i) {
        return doc.load_buffer_inplace(rows.text + slices[i].first, slices[i].second - slices[i].first, kSliceOptions,
                                       pugi::encoding_utf8);
    };
    if (slices.size() < 2) {
        pugi::xml_document doc;
        for (std::size_t i = 0; i < slices.size(); ++i) {
            if (auto result = parse(doc, i); !result) FailMalformed(part, result, rows.offset + slices[i].first);
            read(doc);
        }
        return;
    }

    // Two documents in turn: the parser fills one while the reader takes the
    // other; slice i is parsed once slice i - 2 has been read.
    struct Parsed {
        pugi::xml_document doc;
        pugi::xml_parse_result result;
    };
    std::array<Parsed, 2> parsed;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t parsedCount = 0, readCount = 0;
    bool stop = false;
    std::thread parser([&] {
        for (std::size_t i = 0; i < slices.size(); ++i) {
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || i < readCount + 2; });
                if (stop) return;
            }
            Parsed& p = parsed[i % 2];
            p.result = parse(p.doc, i);
            {
                std::lock_guard lock(mutex);
                ++parsedCount;
            }
            changed.notify_all();
            if (!p.result) return;
        }
    });
    // The parser stops and is joined however the reading ends.
    struct Join {
        std::thread& thread;
        std::mutex& mutex;
        std::condition_variable& changed;
        bool& stop;
        ~Join() {
            {
                std::lock_guard lock(mutex);
                stop = true;
            }
            changed.notify_all();
            thread.join();
        }
    } join{parser, mutex, changed, stop};
    for (std::size_t i = 0; i < slices.size(); ++i) {
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return parsedCount > i; });
        }
        const Parsed& p = parsed[i % 2];
        if (!p.result) FailMalformed(part, p.result, rows.offset + slices[i].first);
        read(p.doc);
        {
            std::lock_guard lock(mutex);
            ++readCount;
        }
        changed.notify_all();
    }
}

}  // namespace ormelin::xlsx::detail
