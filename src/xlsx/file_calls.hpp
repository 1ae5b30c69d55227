// The system calls by which a save writes its file, in one table: the system's
// own, unless a test puts others in their place to make a call fail as a full
// disk, a folder without write permission or a failing rename would (whoever
// runs the test, the superuser too).
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace ormelin::xlsx::detail {

struct FileCalls {
    int (*mkstemp)(char* pattern);
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    ssize_t (*pwrite)(int fd, const void* data, std::size_t size, off_t offset);
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};

/// The calls in use.
const FileCalls& Calls();

/// Puts other calls in place (a test's); nullptr gives back the system's.
void UseFileCalls(const FileCalls* calls);

/// The system's own calls.
const FileCalls& SystemFileCalls();

}  // namespace ormelin::xlsx::detail
