// Writing a workbook archive: parts are deflated as they are written, straight
// into an open file, so a part of any size never sits in memory whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <zlib.h>

namespace ormelin::xlsx::detail {

class ArchiveWriter {
public:
    /// Writes to an open descriptor (kept by the caller), whose file `name`
    /// appears in messages. Parts are deflated at `level` (1: fastest).
    ArchiveWriter(int fd, std::string name, int level = 1);
    ~ArchiveWriter();
    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;

    /// Starts a part; the previous one must have been ended.
    void Begin(const std::string& part);
    /// Adds bytes to the part being written.
    void Write(std::string_view bytes);
    void End();
    /// Writes the central directory. Every write is checked: a failure throws
    /// Error(FileError) naming the file.
    void Finish();

private:
    struct Entry {
        std::string name;
        std::uint32_t crc = 0;
        std::uint64_t compressed = 0, size = 0, offset = 0;
    };
    void Put(const void* data, std::size_t size);  // appends to the file
    void Deflate(const void* data, std::size_t size, int flush);
    [[noreturn]] void FailWrite(int error);

    int fd_;
    std::string name_;
    int level_;
    z_stream z_{};
    bool open_ = false;   // a part is being written
    bool zinit_ = false;
    std::uint64_t position_ = 0;
    std::vector<Entry> entries_;
    std::vector<unsigned char> out_;
};

}  // namespace ormelin::xlsx::detail
