// The structured input of the .xlsx parts fuzz target: the parts of a workbook
// one after another, each introduced by a line "%%% NAME" (NAME is its path in
// the archive) and running to the next such line. The target packs the parts
// into a well-formed archive, so that mutations reach the XML readers instead
// of failing at the archive's checksums.
#pragma once

#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fuzzparts {

inline constexpr std::string_view kMarker = "%%% ";
inline constexpr std::size_t kMaxParts = 64;
inline constexpr std::size_t kMaxName = 200;

struct Part {
    std::string name;
    std::string_view data;
};

/// Splits the input into parts; text before the first marker is ignored.
inline std::vector<Part> Split(std::string_view in) {
    std::vector<Part> parts;
    std::size_t at = in.substr(0, kMarker.size()) == kMarker ? 0 : in.find(std::string("\n").append(kMarker));
    if (at != std::string_view::npos && at != 0) ++at;
    while (at != std::string_view::npos && parts.size() < kMaxParts) {
        const std::size_t nameStart = at + kMarker.size();
        std::size_t nameEnd = in.find('\n', nameStart);
        if (nameEnd == std::string_view::npos) nameEnd = in.size();
        std::size_t next = in.find(std::string("\n").append(kMarker), nameEnd);
        const std::size_t dataStart = std::min(nameEnd + 1, in.size());
        const std::size_t dataEnd = next == std::string_view::npos ? in.size() : next;
        std::string name(in.substr(nameStart, std::min(nameEnd - nameStart, kMaxName)));
        if (!name.empty()) parts.push_back(Part{std::move(name), in.substr(dataStart, dataEnd - dataStart)});
        at = next == std::string_view::npos ? next : next + 1;
    }
    return parts;
}

/// The parts packed into a zip archive in memory (deflated, with correct
/// checksums); empty when libzip refuses a name.
inline std::vector<std::uint8_t> Pack(const std::vector<Part>& parts) {
    std::vector<std::uint8_t> out;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) return out;
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_source_free(buffer);
        return out;
    }
    zip_source_keep(buffer);
    bool ok = true;
    for (const Part& p : parts) {
        zip_source_t* s = zip_source_buffer(archive, p.data.data(), p.data.size(), 0);
        if (!s) {
            ok = false;
            break;
        }
        const zip_int64_t index = zip_file_add(archive, p.name.c_str(), s, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(s);
            ok = false;
            break;
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
    }
    if (!ok || zip_close(archive) != 0) {
        zip_discard(archive);
        zip_source_free(buffer);
        return out;
    }
    if (zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(buffer);
        zip_source_seek(buffer, 0, SEEK_SET);
        if (size > 0) {
            out.resize(static_cast<std::size_t>(size));
            if (zip_source_read(buffer, out.data(), static_cast<zip_uint64_t>(size)) != size) out.clear();
        }
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return out;
}

/// An archive's entries written as the structured input (for the seed corpus).
inline std::string Unpack(const std::string& path) {
    std::string text;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive) return text;
    const zip_int64_t n = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0) continue;
        zip_file_t* f = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (!f) continue;
        std::string data(static_cast<std::size_t>(st.size), '\0');
        const zip_int64_t got = zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        if (got < 0) continue;
        data.resize(static_cast<std::size_t>(got));
        text.append(kMarker).append(st.name).append("\n").append(data).append("\n");
    }
    zip_close(archive);
    return text;
}

}  // namespace fuzzparts
