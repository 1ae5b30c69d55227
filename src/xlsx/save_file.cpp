#include "xlsx/save_file.hpp"

#include "xlsx/file_calls.hpp"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <dirent.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "ormelin/xlsx.hpp"
#include "xlsx/common.hpp"

namespace ormelin::xlsx::detail {

namespace {

std::string ErrorText(int error) { return std::strerror(error); }

// The new file of the save in progress, removed when the process is
// interrupted or terminated before it is renamed.
char gPending[PATH_MAX + 1];
struct sigaction gPreviousInt, gPreviousTerm;
int gDepth = 0;

extern "C" void RemovePendingAndRaise(int signal) {
    if (gPending[0]) ::unlink(gPending);
    ::sigaction(signal, signal == SIGINT ? &gPreviousInt : &gPreviousTerm, nullptr);
    ::raise(signal);
}

/// Sets the pending path with the two signals held back, so that a handler
/// never sees half a path.
void SetPending(const char* path, std::size_t size) {
    sigset_t signals, previous;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &signals, &previous);
    std::memcpy(gPending, path, size);
    gPending[size] = '\0';
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void Watch(const std::string& path) {
    if (path.size() > PATH_MAX) return;
    SetPending(path.c_str(), path.size());
    if (gDepth++ > 0) return;
    struct sigaction action {};
    action.sa_handler = RemovePendingAndRaise;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &gPreviousInt);
    ::sigaction(SIGTERM, &action, &gPreviousTerm);
}

void Unwatch() {
    SetPending("", 0);
    if (--gDepth > 0) return;
    ::sigaction(SIGINT, &gPreviousInt, nullptr);
    ::sigaction(SIGTERM, &gPreviousTerm, nullptr);
}

}  // namespace

SaveFile::SaveFile(const std::string& destination) : destination_(destination) {
    struct stat st;
    if (::stat(destination.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) Fail(destination, "exists and is not a regular file; it is not replaced");
        replaces_ = true;
        mode_ = st.st_mode & 07777;
        owner_ = st.st_uid;
        group_ = st.st_gid;
        // A symbolic link is written through: its target is replaced, the link stays.
        struct stat lst;
        if (::lstat(destination.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
            char* target = ::realpath(destination.c_str(), nullptr);
            if (!target) Fail(destination, "cannot follow the symbolic link (" + ErrorText(errno) + ")");
            destination_ = target;
            ::free(target);
        }
    } else if (errno != ENOENT) {
        Fail(destination, "cannot be examined (" + ErrorText(errno) + ")");
    }
    auto slash = destination_.find_last_of('/');
    folder_ = slash == std::string::npos ? "." : slash == 0 ? "/" : destination_.substr(0, slash);
    std::string base = slash == std::string::npos ? destination_ : destination_.substr(slash + 1);
    std::string pattern = (slash == std::string::npos ? std::string() : destination_.substr(0, slash + 1)) + "." + base + ".XXXXXX";
    CreateLocked(pattern, destination);
    Watch(temp_);
}

void SaveFile::CreateLocked(const std::string& pattern, const std::string& destination) {
    // A cleaner may take the lock of a file created an instant ago and remove it:
    // the file is locked, then checked to be still the one at its name.
    for (int attempt = 0;; ++attempt) {
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd_ = Calls().mkstemp(name.data());
        if (fd_ < 0) Fail(destination, "cannot create a file in " + folder_ + " (" + ErrorText(errno) + ")");
        temp_.assign(name.data());
        lockFd_ = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        struct stat held, named;
        if (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd_, &held) == 0 &&
            ::stat(temp_.c_str(), &named) == 0 && held.st_ino == named.st_ino && held.st_dev == named.st_dev)
            return;
        const int error = errno;
        if (lockFd_ >= 0) ::close(lockFd_);
        lockFd_ = -1;
        ::close(fd_);
        fd_ = -1;
        temp_.clear();
        if (attempt == 10) Fail(destination, "cannot lock a new file in " + folder_ + " (" + ErrorText(error) + ")");
    }
}

SaveFile::~SaveFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        Unwatch();
    }
    if (lockFd_ >= 0) ::close(lockFd_);
}

void SaveFile::Commit() {
    mode_t mode;
    if (replaces_) {
        mode = static_cast<mode_t>(mode_);
        // Another owner or group can only be given by a privileged process; a
        // file the user could replace but not re-own keeps the user's.
        if (::fchown(fd_, static_cast<uid_t>(owner_), static_cast<gid_t>(group_)) != 0 && errno != EPERM)
            Fail(destination_, "cannot keep the owner of the file (" + ErrorText(errno) + ")");
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd_, mode) != 0) Fail(destination_, "cannot set the file's permissions (" + ErrorText(errno) + ")");
    if (Calls().fsync(fd_) != 0) Fail(destination_, "cannot write the file to disk (" + ErrorText(errno) + ")");
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(destination_, "cannot write the file (" + ErrorText(errno) + ")");
    if (Calls().rename(temp_.c_str(), destination_.c_str()) != 0)
        Fail(destination_, "cannot replace the file (" + ErrorText(errno) + ")");
    temp_.clear();
    Unwatch();
    ::close(lockFd_);
    lockFd_ = -1;
    // The rename is on disk once the folder is.
    int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        int rc = ::fsync(dir);
        int error = errno;
        ::close(dir);
        if (rc != 0 && error != EINVAL) Fail(destination_, "cannot write the folder to disk (" + ErrorText(error) + ")");
    }
}

}  // namespace ormelin::xlsx::detail

namespace ormelin::xlsx {

namespace {

/// Whether a folder entry is named as a save to base names its new file:
/// "." + base + "." and the six letters or digits mkstemp puts in.
bool IsSaveName(std::string_view entry, std::string_view base) {
    if (entry.size() != base.size() + 8 || entry[0] != '.' || entry.substr(1, base.size()) != base ||
        entry[base.size() + 1] != '.')
        return false;
    for (const char c : entry.substr(base.size() + 2)) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

/// Removes one leftover when it is a regular file of this user that no save
/// holds locked.
bool RemoveIfLeftOver(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    bool removed = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        struct stat named;
        // still the file that was examined
        if (::lstat(path.c_str(), &named) == 0 && named.st_ino == st.st_ino && named.st_dev == st.st_dev)
            removed = ::unlink(path.c_str()) == 0;
    }
    ::close(fd);
    return removed;
}

}  // namespace

std::size_t RemoveLeftoverSaves(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) return 0;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    std::vector<std::string> found;
    while (const dirent* e = ::readdir(dir)) {
        if (IsSaveName(e->d_name, base)) found.push_back(folder + "/" + e->d_name);
    }
    ::closedir(dir);
    std::size_t removed = 0;
    for (const auto& f : found) removed += RemoveIfLeftOver(f);
    return removed;
}

}  // namespace ormelin::xlsx
