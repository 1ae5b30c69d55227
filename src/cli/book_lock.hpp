// Guards a workbook file for one run of the command: an advisory lock held for
// the whole run, the file's identity as it was read, and the lock files of the
// spreadsheet programs that have it open.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

namespace ormelin::cli {

/// What identifies one version of a file on disk.
struct FileStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

/// The stamp of the file at path, or nothing when there is none.
std::optional<FileStamp> StampOf(const std::string& path);

class BookLock {
public:
    /// Takes the lock on the file at path (shared for a command that only reads,
    /// exclusive for one that writes), waiting at most waitSeconds for another
    /// command to finish. A file that does not exist is not locked. Throws
    /// Failure(1) when the workbook stays busy.
    BookLock(const std::string& path, bool exclusive, double waitSeconds);
    ~BookLock();
    BookLock(const BookLock&) = delete;
    BookLock& operator=(const BookLock&) = delete;

private:
    int fd_ = -1;
};

/// The lock file a spreadsheet program keeps beside a workbook it has open
/// (LibreOffice's ".~lock.NAME#", Excel's "~$NAME"), or nothing.
std::optional<std::string> OpenedBy(const std::string& path);

}  // namespace ormelin::cli
