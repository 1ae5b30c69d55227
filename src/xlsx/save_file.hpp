// The file a save writes: a new file in the destination's own folder, renamed
// over the destination once it is complete and on disk.
#pragma once

#include <string>

namespace ormelin::xlsx::detail {

class SaveFile {
public:
    /// Refuses a destination that exists and is not a regular file (through
    /// symbolic links, which are written through to their target), and creates
    /// the new file beside it. Throws Error(FileError).
    explicit SaveFile(const std::string& destination);
    /// The new file is locked (flock) while this object lives, so that
    /// RemoveLeftoverSaves leaves it alone. Removes the new file unless it was committed.
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    int Descriptor() const { return fd_; }
    /// The new file's name, for a writer that opens it by name (it stays the
    /// same file: the mode, the flush and the rename go through the descriptor).
    const std::string& Path() const { return temp_; }
    /// Flushes the new file to disk, gives it the replaced file's mode, owner and
    /// group, renames it over the destination and flushes the folder.
    void Commit();

private:
    void CreateLocked(const std::string& pattern, const std::string& destination);

    std::string destination_;  // the path a symbolic link leads to
    std::string folder_;
    std::string temp_;
    int fd_ = -1;
    int lockFd_ = -1;          // holds the lock that tells a running save's file from a leftover
    bool replaces_ = false;    // the destination exists
    unsigned mode_ = 0;
    unsigned owner_ = 0, group_ = 0;
};

}  // namespace ormelin::xlsx::detail
