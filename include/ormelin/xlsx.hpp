// The .xlsx file layer: loads a workbook file into the embedded model and saves
// the model as a workbook file.
//
// Reading uses libzip for the archive and pugixml for the parts; writing builds
// every part itself and deflates it with zlib as it goes. docs/xlsx.md lists
// what a saved file keeps and what it loses.
//
// Every failure is an ormelin::Error(ErrorCode::FileError) whose description
// names the part of the archive at fault ("xl/worksheets/sheet1.xml: malformed
// XML at offset 123").
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ormelin/model.hpp"

namespace ormelin::xlsx {

/// What a loaded file holds that the model does not keep. Saving the workbook
/// over the same file would lose these, so the command refuses to overwrite a
/// file whose report is not empty.
struct LoadReport {
    struct Item {
        std::string what;   // "images", "comments", "data validation", ...
        std::string part;   // the part of the archive where it was found
        friend bool operator==(const Item&, const Item&) = default;
    };
    std::vector<Item> items;

    bool empty() const { return items.empty(); }
    bool Has(const std::string& what) const;
    /// One line per item: "images (xl/media/image1.png)".
    std::string Describe() const;
    /// Records an item once per kind and part.
    void Add(const std::string& what, const std::string& part);
};

/// Bounds that protect the reader from hostile archives.
struct Limits {
    std::uint64_t maxTotalBytes = std::uint64_t{1} << 30;  // all parts read, inflated
    std::uint64_t maxPartBytes = std::uint64_t{512} << 20; // one part, inflated
    std::uint64_t maxEntries = 20000;                      // entries in the archive
    int maxSheets = 4096;
};

/// Loads a workbook file into a new workbook of the application (it becomes the
/// active workbook and remembers the path). Throws Error(FileError).
std::shared_ptr<model::ModelWorkbook> LoadWorkbook(model::ModelApplication& app, const std::string& path,
                                                   LoadReport* report = nullptr);
std::shared_ptr<model::ModelWorkbook> LoadWorkbook(model::ModelApplication& app, const std::string& path,
                                                   LoadReport* report, const Limits& limits);

/// Loads a workbook from an archive held in memory (the name only appears in
/// messages and becomes the workbook's name). Throws Error(FileError).
std::shared_ptr<model::ModelWorkbook> LoadWorkbookFromMemory(model::ModelApplication& app, const void* data,
                                                             std::size_t size, const std::string& name,
                                                             LoadReport* report = nullptr,
                                                             const Limits& limits = Limits{});

/// The most manual page breaks a sheet keeps in the file: the desktop
/// spreadsheet drops a sheet's breaks beyond these.
inline constexpr std::size_t kMaxManualBreaks = 1026;

/// What a save could not keep.
struct SaveReport {
    /// A sheet with more manual page breaks than the file keeps: the first
    /// `kept` are written, the pages after them break automatically.
    struct Breaks {
        std::string sheet;
        int given = 0, kept = 0;
    };
    std::vector<Breaks> breaks;

    bool empty() const { return breaks.empty(); }
    /// One line per sheet.
    std::string Describe() const;
};

/// Writes the workbook to the path. The file is written next to the destination
/// under a temporary name, flushed to disk and renamed over it, so a failed or
/// interrupted save leaves an earlier file as it was; the new file keeps the
/// replaced file's mode, owner and group. A symbolic link is written through to
/// its target; a destination that is neither a regular file nor a new path is
/// refused. Throws Error(FileError).
SaveReport SaveWorkbook(const model::ModelWorkbook& book, const std::string& path);

/// Removes the temporary files that saves to the path left behind when their
/// process was killed: files beside it named as a save names them (".NAME.XXXXXX"),
/// owned by this user and locked by no running save (a save holds a lock on its
/// file until it is renamed). Call it while holding the workbook's own lock.
/// Returns how many were removed; a file that cannot be examined is passed over.
std::size_t RemoveLeftoverSaves(const std::string& path);

/// Makes SaveWorkbook the application's saver (Workbook::Save and SaveAs).
void InstallSaver(model::ModelApplication& app);

}  // namespace ormelin::xlsx
