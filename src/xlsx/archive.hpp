// Read access to the parts of a workbook archive, within bounds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ormelin/xlsx.hpp"

struct zip;

namespace ormelin::xlsx::detail {

class Archive {
public:
    /// Opens a file or a buffer (kept by the caller while the archive lives).
    /// Throws Error(FileError) naming `name` when it is no readable archive.
    static Archive OpenFile(const std::string& path, const Limits& limits);
    static Archive OpenMemory(const void* data, std::size_t size, const std::string& name, const Limits& limits);

    Archive(Archive&& other) noexcept;
    Archive& operator=(Archive&&) = delete;
    ~Archive();

    const std::string& Name() const { return name_; }
    /// Part names as the archive lists them.
    const std::vector<std::string>& Parts() const { return parts_; }
    bool Has(const std::string& part) const;
    /// The inflated bytes of a part. Throws Error(FileError) naming the part when
    /// it is missing, damaged, or inflates past the bounds.
    std::string Read(const std::string& part);

private:
    Archive(struct zip* archive, std::string name, const Limits& limits);
    std::int64_t Locate(const std::string& part) const;

    struct zip* zip_ = nullptr;
    std::string name_;
    Limits limits_;
    std::uint64_t total_ = 0;
    std::vector<std::string> parts_;
};

}  // namespace ormelin::xlsx::detail
