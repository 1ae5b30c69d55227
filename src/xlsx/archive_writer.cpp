#include "xlsx/archive_writer.hpp"
#include "xlsx/file_calls.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "xlsx/common.hpp"

namespace ormelin::xlsx::detail {

namespace {

constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();
// 1980-01-01 00:00 in the archive's DOS time: parts carry no meaningful date,
// and a fixed one keeps saves of the same workbook byte-identical.
constexpr std::uint16_t kDosTime = 0, kDosDate = (0 << 9) | (1 << 5) | 1;

struct Bytes {
    unsigned char data[64];
    std::size_t size = 0;
    void U16(std::uint32_t v) {
        data[size++] = static_cast<unsigned char>(v & 0xFF);
        data[size++] = static_cast<unsigned char>((v >> 8) & 0xFF);
    }
    void U32(std::uint64_t v) {
        U16(static_cast<std::uint32_t>(v & 0xFFFF));
        U16(static_cast<std::uint32_t>((v >> 16) & 0xFFFF));
    }
};

Bytes LocalHeader(std::uint32_t crc, std::uint64_t compressed, std::uint64_t size, std::size_t nameSize) {
    Bytes b;
    b.U32(0x04034b50);
    b.U16(20);  // version needed: deflate
    b.U16(0);   // flags
    b.U16(8);   // deflate
    b.U16(kDosTime);
    b.U16(kDosDate);
    b.U32(crc);
    b.U32(compressed);
    b.U32(size);
    b.U16(static_cast<std::uint32_t>(nameSize));
    b.U16(0);
    return b;
}

}  // namespace

ArchiveWriter::ArchiveWriter(int fd, std::string name, int level) : fd_(fd), name_(std::move(name)), level_(level) {
    out_.resize(256 * 1024);
}

ArchiveWriter::~ArchiveWriter() {
    if (zinit_) deflateEnd(&z_);
}

void ArchiveWriter::FailWrite(int error) {
    Fail(name_, std::string("cannot write the file (") + std::strerror(error) + ")");
}

void ArchiveWriter::Put(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        ssize_t n = Calls().write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            FailWrite(errno);
        }
        if (n == 0) FailWrite(ENOSPC);
        p += n;
        size -= static_cast<std::size_t>(n);
        position_ += static_cast<std::uint64_t>(n);
    }
}

void ArchiveWriter::Begin(const std::string& part) {
    if (open_) Fail(part, "a part was begun before the previous one ended");
    Entry e;
    e.name = part;
    e.offset = position_;
    // The header is written again with the sizes once the part is complete.
    Bytes header = LocalHeader(0, 0, 0, part.size());
    Put(header.data, header.size);
    Put(part.data(), part.size());
    entries_.push_back(std::move(e));
    if (!zinit_) {
        if (deflateInit2(&z_, level_, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            Fail(name_, "cannot start deflating");
        zinit_ = true;
    } else if (deflateReset(&z_) != Z_OK) {
        Fail(name_, "cannot start deflating");
    }
    open_ = true;
}

void ArchiveWriter::Deflate(const void* data, std::size_t size, int flush) {
    z_.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    z_.avail_in = static_cast<uInt>(size);
    Entry& e = entries_.back();
    do {
        z_.next_out = out_.data();
        z_.avail_out = static_cast<uInt>(out_.size());
        int rc = deflate(&z_, flush);
        if (rc == Z_STREAM_ERROR) Fail(e.name, "deflate failed");
        std::size_t produced = out_.size() - z_.avail_out;
        Put(out_.data(), produced);
        e.compressed += produced;
        if (flush == Z_FINISH && rc == Z_STREAM_END) break;
    } while (z_.avail_out == 0 || (flush == Z_FINISH));
}

void ArchiveWriter::Write(std::string_view bytes) {
    if (!open_) Fail(name_, "bytes written outside a part");
    Entry& e = entries_.back();
    // zlib takes at most 4 GiB at a time; parts are handed over in pieces far below it.
    while (!bytes.empty()) {
        std::size_t piece = std::min<std::size_t>(bytes.size(), std::size_t{1} << 30);
        e.crc = static_cast<std::uint32_t>(crc32(e.crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece)));
        e.size += piece;
        Deflate(bytes.data(), piece, Z_NO_FLUSH);
        bytes.remove_prefix(piece);
    }
}

void ArchiveWriter::End() {
    if (!open_) Fail(name_, "a part was ended that was not begun");
    Deflate(nullptr, 0, Z_FINISH);
    open_ = false;
    const Entry& e = entries_.back();
    if (e.size > kMax32 || e.compressed > kMax32 || e.offset > kMax32)
        Fail(e.name, "the part is larger than an archive without 64-bit extensions holds (4 GiB)");
    Bytes header = LocalHeader(e.crc, e.compressed, e.size, e.name.size());
    std::size_t done = 0;
    while (done < header.size) {
        ssize_t n = Calls().pwrite(fd_, header.data + done, header.size - done, static_cast<off_t>(e.offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            FailWrite(errno);
        }
        if (n == 0) FailWrite(ENOSPC);
        done += static_cast<std::size_t>(n);
    }
}

void ArchiveWriter::Finish() {
    if (open_) Fail(name_, "the archive was finished inside a part");
    std::uint64_t start = position_;
    for (const Entry& e : entries_) {
        Bytes b;
        b.U32(0x02014b50);
        b.U16(20);  // made by
        b.U16(20);  // needed
        b.U16(0);
        b.U16(8);
        b.U16(kDosTime);
        b.U16(kDosDate);
        b.U32(e.crc);
        b.U32(e.compressed);
        b.U32(e.size);
        b.U16(static_cast<std::uint32_t>(e.name.size()));
        b.U16(0);  // extra
        b.U16(0);  // comment
        b.U16(0);  // disk
        b.U16(0);  // internal attributes
        b.U32(0);  // external attributes
        b.U32(e.offset);
        Put(b.data, b.size);
        Put(e.name.data(), e.name.size());
    }
    std::uint64_t size = position_ - start;
    if (start > kMax32 || entries_.size() > 0xFFFF) Fail(name_, "the archive is larger than 4 GiB");
    Bytes end;
    end.U32(0x06054b50);
    end.U16(0);
    end.U16(0);
    end.U16(static_cast<std::uint32_t>(entries_.size()));
    end.U16(static_cast<std::uint32_t>(entries_.size()));
    end.U32(size);
    end.U32(start);
    end.U16(0);
    Put(end.data, end.size);
}

}  // namespace ormelin::xlsx::detail
