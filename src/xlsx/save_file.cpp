#include "xlsx/save_file.hpp"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

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
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) Fail(destination, "cannot create a file in " + folder_ + " (" + ErrorText(errno) + ")");
    temp_.assign(name.data());
    Watch(temp_);
}

SaveFile::~SaveFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        Unwatch();
    }
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
    if (::fsync(fd_) != 0) Fail(destination_, "cannot write the file to disk (" + ErrorText(errno) + ")");
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(destination_, "cannot write the file (" + ErrorText(errno) + ")");
    if (::rename(temp_.c_str(), destination_.c_str()) != 0)
        Fail(destination_, "cannot replace the file (" + ErrorText(errno) + ")");
    temp_.clear();
    Unwatch();
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
