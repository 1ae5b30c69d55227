// Helpers of the .xlsx tests: a scratch folder, archives taken apart and put
// together again, and a sample workbook that uses everything the model holds.
#pragma once

#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "ormelin/model.hpp"
#include "ormelin/xlsx.hpp"

namespace ormelin::xlsx::testing {

namespace fs = std::filesystem;
using host::Area;
using host::CellContent;

inline std::shared_ptr<model::ModelApplication> MakeApp() {
    return std::make_shared<model::ModelApplication>(std::make_shared<model::ScriptedUi>());
}

class ScratchDir {
public:
    ScratchDir() {
        auto base = fs::temp_directory_path() / "ormelin-xlsx-XXXXXX";
        std::string pattern = base.string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

/// openpyxl under the system's Python (/usr/bin/python3), not any other.
inline bool HasOpenpyxl() {
    static const bool has = std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") == 0;
    return has;
}

/// Runs a Python script; returns its exit status and fills its output.
/// `arguments` are given inside single quotes.
inline int RunPython(const ScratchDir& dir, const std::string& script, std::string& output,
                     const std::string& arguments = "") {
    std::string file = dir / "script.py", out = dir / "script.out";
    WriteFile(file, script);
    std::string args = arguments.empty() ? std::string() : " '" + arguments + "'";
    int status = std::system(("/usr/bin/python3 '" + file + "'" + args + " >'" + out + "' 2>&1").c_str());
    output = ReadFile(out);
    return status;
}

inline bool HasSoffice() {
    static const bool has = std::system("command -v soffice >/dev/null 2>&1") == 0;
    return has;
}

/// Converts dir/in/<name> to .xlsx with LibreOffice into dir/out/<name>, under a private
/// profile in the folder; true when soffice succeeded, its messages in dir/soffice.log.
inline bool ConvertWithLibreOffice(const ScratchDir& dir, const std::string& name) {
    std::filesystem::create_directories(dir.path() / "out");
    const std::string command = "cd '" + dir.path().string() + "' && HOME='" + dir.path().string() +
                                "' timeout 180 soffice -env:UserInstallation=file://" + dir.path().string() +
                                "/profile --headless --convert-to xlsx --outdir out 'in/" + name +
                                "' >soffice.log 2>&1";
    return std::system(command.c_str()) == 0;
}

/// The parts of an archive by name, in the archive's order.
using Parts = std::vector<std::pair<std::string, std::string>>;

inline Parts ReadParts(const std::string& path) {
    Parts parts;
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!z) throw std::runtime_error("cannot open " + path);
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st);
        std::string bytes(st.size, '\0');
        zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        zip_fread(f, bytes.data(), st.size);
        zip_fclose(f);
        parts.emplace_back(st.name, std::move(bytes));
    }
    zip_discard(z);
    return parts;
}

inline void WriteParts(const std::string& path, const Parts& parts) {
    std::filesystem::remove(path);
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) throw std::runtime_error("cannot create " + path);
    for (const auto& [name, bytes] : parts) {
        zip_source_t* s = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    }
    if (zip_close(z) != 0) throw std::runtime_error("cannot write " + path);
}

inline std::string& Part(Parts& parts, const std::string& name) {
    for (auto& [n, bytes] : parts)
        if (n == name) return bytes;
    throw std::runtime_error("no part " + name);
}

inline void ReplaceOnce(std::string& text, const std::string& from, const std::string& to) {
    auto at = text.find(from);
    if (at == std::string::npos) throw std::runtime_error("text not found: " + from);
    text.replace(at, from.size(), to);
}

/// Expects an ErrorCode::FileError whose description contains every fragment.
template <typename F>
void ExpectFileError(F&& f, std::initializer_list<std::string> fragments) {
    try {
        f();
        ADD_FAILURE() << "no error was thrown";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), ErrorCode::FileError) << e.description();
        for (const auto& fragment : fragments)
            EXPECT_NE(e.description().find(fragment), std::string::npos)
                << "\"" << fragment << "\" is missing from: " << e.description();
    }
}

/// A workbook that holds something of every kind the model keeps.
std::shared_ptr<model::ModelWorkbook> SampleWorkbook(model::ModelApplication& app);

/// Compares everything the model holds of two workbooks.
void ExpectSameWorkbook(const model::ModelWorkbook& expected, const model::ModelWorkbook& actual);

}  // namespace ormelin::xlsx::testing
