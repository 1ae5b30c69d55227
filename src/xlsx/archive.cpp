#include "xlsx/archive.hpp"

#include <zip.h>

#include "xlsx/common.hpp"

namespace ormelin::xlsx::detail {

namespace {

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

zip_t* OpenSource(zip_source_t* source, const std::string& name) {
    zip_error_t error;
    zip_error_init(&error);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive) {
        std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        zip_source_free(source);
        Fail(name, "not a readable workbook archive (" + text + ")");
    }
    zip_error_fini(&error);
    return archive;
}

}  // namespace

Archive Archive::OpenFile(const std::string& path, const Limits& limits) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(path.c_str(), 0, -1, &error);
    if (!source) {
        std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        Fail(path, "cannot open (" + text + ")");
    }
    zip_error_fini(&error);
    return Archive(OpenSource(source, path), path, limits);
}

Archive Archive::OpenMemory(const void* data, std::size_t size, const std::string& name, const Limits& limits) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    if (!source) {
        std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        Fail(name, "cannot open (" + text + ")");
    }
    zip_error_fini(&error);
    return Archive(OpenSource(source, name), name, limits);
}

Archive::Archive(zip_t* archive, std::string name, const Limits& limits)
    : zip_(archive), name_(std::move(name)), limits_(limits) {
    zip_int64_t count = zip_get_num_entries(zip_, 0);
    if (count < 0 || static_cast<std::uint64_t>(count) > limits_.maxEntries) {
        zip_discard(zip_);
        zip_ = nullptr;
        Fail(name_, "the archive holds too many parts (" + std::to_string(count) + ")");
    }
    parts_.reserve(static_cast<std::size_t>(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* entry = zip_get_name(zip_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        parts_.emplace_back(entry ? entry : "");
    }
}

Archive::Archive(Archive&& other) noexcept
    : zip_(other.zip_), name_(std::move(other.name_)), limits_(other.limits_), total_(other.total_),
      parts_(std::move(other.parts_)) {
    other.zip_ = nullptr;
}

Archive::~Archive() {
    if (zip_) zip_discard(zip_);
}

std::int64_t Archive::Locate(const std::string& part) const {
    return zip_name_locate(zip_, part.c_str(), ZIP_FL_NOCASE);
}

bool Archive::Has(const std::string& part) const { return Locate(part) >= 0; }

std::string Archive::Read(const std::string& part) {
    zip_int64_t index = Locate(part);
    if (index < 0) Fail(part, "part missing from the archive");
    auto entry = static_cast<zip_uint64_t>(index);
    std::uint64_t bound = std::min(limits_.maxPartBytes, limits_.maxTotalBytes - std::min(total_, limits_.maxTotalBytes));

    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip_, entry, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) && st.size > bound)
        Fail(part, "inflates past the size bound (" + std::to_string(st.size) + " bytes)");

    zip_file_t* file = zip_fopen_index(zip_, entry, 0);
    if (!file) Fail(part, "cannot be read (" + std::string(zip_strerror(zip_)) + ")");
    std::string data;
    auto failRead = [&] {
        std::string text = zip_file_strerror(file);
        zip_fclose(file);
        Fail(part, "damaged in the archive (" + text + ")");
    };
    if ((st.valid & ZIP_STAT_SIZE) && st.size <= bound) {
        // The stated size is inflated straight into the text; what the part
        // holds beyond it is read on below, as from a part of unknown size.
        data.resize(static_cast<std::size_t>(st.size));
        std::size_t got = 0;
        while (got < data.size()) {
            zip_int64_t n = zip_fread(file, data.data() + got, data.size() - got);
            if (n < 0) failRead();
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        data.resize(got);
    }
    char buffer[65536];
    for (;;) {
        zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
        if (n < 0) failRead();
        if (n == 0) break;
        if (data.size() + static_cast<std::uint64_t>(n) > bound) {
            zip_fclose(file);
            Fail(part, "inflates past the size bound");
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    int closed = zip_fclose(file);
    if (closed != 0) Fail(part, "damaged in the archive (" + ZipErrorText(closed) + ")");
    total_ += data.size();
    return data;
}

}  // namespace ormelin::xlsx::detail
