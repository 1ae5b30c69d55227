// Pieces the benchmarks share: running another client as a whole command,
// reading one part of an .xlsx archive, and the minimal streaming write of a
// sheet for the floor measurements.
#pragma once

#include <benchmark/benchmark.h>
#include <zip.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "ormelin/kalvora.hpp"
#include "ormelin/model.hpp"
#include "xlsx/archive_writer.hpp"

namespace bench {

/// A specification list of n data rows in a new workbook: designation, name and
/// quantity filled, every seventh row empty (the gaps between sections of a real list).
inline std::shared_ptr<ormelin::host::Worksheet> SpecificationList(ormelin::Kalvora& k,
                                                                   ormelin::model::ModelApplication& app, int n) {
    using ormelin::host::Area;
    auto book = app.NewWorkbook();
    std::shared_ptr<ormelin::host::Worksheet> ws = book->Sheet(1);
    k.SPA_Blank(ws);
    for (int i = 1; i <= n; ++i) {
        if (i % 7 == 0) continue;
        const int r = i + 1;
        ws->SetValue(Area{r, 1, r, 1}, std::string("А4"));
        ws->SetValue(Area{r, 4, r, 4}, "АБВГ.301234." + std::to_string(100 + i % 900));
        ws->SetValue(Area{r, 5, r, 5}, "Резистор С2-33Н-0,25-" + std::to_string(i) + " кОм");
        ws->SetValue(Area{r, 6, r, 6}, static_cast<double>(i % 5 + 1));
    }
    return ws;
}

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

/// The floor of writing: one sheet's cells, row heights and merges written as
/// bare XML, deflated at the writer's level straight into the file, with no
/// model, no escaping and no checks. Styles are given as the cellXfs indexes of
/// a fixed styles part.
class FloorWriter {
public:
    explicit FloorWriter(const std::string& path)
        : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)), zip_(fd_, path, 1) {
        Part("[Content_Types].xml",
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
             "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/><Override "
             "PartName=\"/xl/worksheets/sheet1.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></Types>");
        Part("_rels/.rels",
             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
             "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
             "Target=\"xl/workbook.xml\"/></Relationships>");
        Part("xl/workbook.xml",
             "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
             "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets><sheet name=\"s\" "
             "sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
        zip_.Begin("xl/worksheets/sheet1.xml");
        out_ = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    }
    void Row(int row, double height) {
        if (open_) out_ += "</row>";
        out_ += "<row r=\"";
        Int(row);
        if (height >= 0) {
            out_ += "\" ht=\"";
            Num(height);
            out_ += "\" customHeight=\"1";
        }
        out_ += "\">";
        open_ = true;
        if (out_.size() > (1 << 20)) Flush();
    }
    void Number(int row, int column, unsigned style, double value) {
        Ref(row, column, style);
        out_ += "><v>";
        Num(value);
        out_ += "</v></c>";
    }
    void Text(int row, int column, unsigned style, const std::string& text) {
        auto [it, added] = strings_.try_emplace(text, static_cast<unsigned>(order_.size()));
        if (added) order_.push_back(&it->first);
        Ref(row, column, style);
        out_ += " t=\"s\"><v>";
        Int(it->second);
        out_ += "</v></c>";
    }
    void Blank(int row, int column, unsigned style) {
        Ref(row, column, style);
        out_ += "/>";
    }
    void Merge(int r1, int c1, int r2, int c2) { merges_.push_back({r1, c1, r2, c2}); }
    /// Ends the sheet and writes the styles and shared strings.
    void Close(const std::string& stylesXml) {
        if (open_) out_ += "</row>";
        out_ += "</sheetData>";
        if (!merges_.empty()) {
            out_ += "<mergeCells>";
            for (const auto& m : merges_) {
                out_ += "<mergeCell ref=\"";
                Cell(m[0], m[1]);
                out_ += ":";
                Cell(m[2], m[3]);
                out_ += "\"/>";
                if (out_.size() > (1 << 20)) Flush();
            }
            out_ += "</mergeCells>";
        }
        out_ += "</worksheet>";
        Flush();
        zip_.End();
        Part("xl/styles.xml", stylesXml);
        zip_.Begin("xl/sharedStrings.xml");
        out_ = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
        for (const std::string* s : order_) {
            out_ += "<si><t>" + *s + "</t></si>";
            if (out_.size() > (1 << 20)) Flush();
        }
        out_ += "</sst>";
        Flush();
        zip_.End();
        zip_.Finish();
        ::close(fd_);
    }

private:
    void Part(const char* name, const std::string& xml) {
        zip_.Begin(name);
        zip_.Write(xml);
        zip_.End();
    }
    void Flush() {
        zip_.Write(out_);
        out_.clear();
    }
    void Int(long long v) {
        char b[24];
        out_.append(b, std::to_chars(b, b + sizeof b, v).ptr);
    }
    void Num(double v) {
        char b[32];
        out_.append(b, std::to_chars(b, b + sizeof b, v).ptr);
    }
    void Cell(int row, int column) {
        char letters[4];
        int n = 0;
        for (int c = column; c > 0; c = (c - 1) / 26) letters[n++] = static_cast<char>('A' + (c - 1) % 26);
        while (n > 0) out_ += letters[--n];
        Int(row);
    }
    void Ref(int row, int column, unsigned style) {
        out_ += "<c r=\"";
        Cell(row, column);
        out_ += "\" s=\"";
        Int(style);
        out_ += "\"";
        if (out_.size() > (1 << 20)) Flush();
    }

    int fd_;
    ormelin::xlsx::detail::ArchiveWriter zip_;
    std::string out_;
    bool open_ = false;
    std::unordered_map<std::string, unsigned> strings_;
    std::vector<const std::string*> order_;
    std::vector<std::array<int, 4>> merges_;
};

}  // namespace bench
