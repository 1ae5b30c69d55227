#include "cli/book_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "cli/failure.hpp"
#include "cli/i18n.hpp"

namespace fs = std::filesystem;

namespace ormelin::cli {

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{st.st_dev, st.st_ino, st.st_size,
                     static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

BookLock::BookLock(const std::string& path, bool exclusive, double waitSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(waitSeconds);
    for (;;) {
        fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return;  // no file: nothing to lock (the command says so when it opens it)
        if (flock(fd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) {
            // A command that held the lock before may have replaced the file (a save
            // renames a new file over it): the lock must be on the file the path names now.
            struct stat held {}, named {};
            if (fstat(fd_, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
                held.st_ino == named.st_ino) {
                return;
            }
            close(fd_);
            fd_ = -1;
            continue;
        }
        const int error = errno;
        close(fd_);
        fd_ = -1;
        if (error != EWOULDBLOCK && error != EINTR) return;  // a file system without locks
        if (std::chrono::steady_clock::now() >= deadline) {
            throw Failure{1, Say("{1}: the workbook is busy: another ormelin command is working on it; try again later",
                                 {path})};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

BookLock::~BookLock() {
    if (fd_ >= 0) close(fd_);  // closing the file releases the lock
}

std::optional<std::string> OpenedBy(const std::string& path) {
    const fs::path p(path);
    const fs::path dir = p.parent_path();
    const std::string name = p.filename().string();
    std::vector<fs::path> candidates = {dir / (".~lock." + name + "#"), dir / ("~$" + name)};
    // Excel shortens long names: the owner file replaces the first two characters.
    std::size_t cut = 0;
    for (int chars = 0; chars < 2 && cut < name.size(); ++chars) {
        ++cut;
        while (cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) ++cut;
    }
    if (cut < name.size()) candidates.push_back(dir / ("~$" + name.substr(cut)));
    std::error_code ec;
    for (const auto& c : candidates) {
        if (fs::exists(c, ec)) return c.string();
    }
    return std::nullopt;
}

}  // namespace ormelin::cli
