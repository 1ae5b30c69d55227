// Pieces the benchmarks share: running another client as a whole command, and
// reading one part of an .xlsx archive for the floor measurements.
#pragma once

#include <benchmark/benchmark.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

inline std::string Quoted(const std::string& s) { return "'" + s + "'"; }

/// Times a shell command per iteration; a failing command ends the benchmark with an error.
inline void RunCommand(benchmark::State& state, const std::string& command) {
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            break;
        }
    }
}

/// LibreOffice's headless load-and-save of a file, timed per iteration; skipped
/// when LibreOffice is not installed. The first start, which creates the profile,
/// is not timed.
inline void LibreOfficeLoadSave(benchmark::State& state, const std::string& file) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
        state.SkipWithError("soffice is not installed");
        return;
    }
    auto dir = std::filesystem::temp_directory_path() / "ormelin-bench-lo";
    std::filesystem::create_directories(dir);
    std::string command = "soffice --headless -env:UserInstallation=file://" + (dir / "profile").string() +
                          " --convert-to xlsx --outdir " + Quoted(dir.string()) + " " + Quoted(file) +
                          " >/dev/null 2>&1";
    (void)std::system(command.c_str());
    RunCommand(state, command);
}

/// The bytes of one part of an archive (empty when it has no such part).
inline std::string ReadPart(zip_t* z, const char* name) {
    zip_stat_t st;
    if (zip_stat(z, name, 0, &st) != 0) return {};
    std::string bytes(st.size, '\0');
    zip_file_t* f = zip_fopen(z, name, 0);
    zip_fread(f, bytes.data(), st.size);
    zip_fclose(f);
    return bytes;
}

}  // namespace bench
