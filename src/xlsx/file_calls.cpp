#include "xlsx/file_calls.hpp"

#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace ormelin::xlsx::detail {

namespace {

const FileCalls kSystem{
    [](char* pattern) { return ::mkstemp(pattern); },
    [](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
    [](int fd, const void* data, std::size_t size, off_t offset) { return ::pwrite(fd, data, size, offset); },
    [](int fd) { return ::fsync(fd); },
    [](const char* from, const char* to) { return std::rename(from, to); },
};

std::atomic<const FileCalls*> current{&kSystem};

}  // namespace

const FileCalls& Calls() { return *current.load(std::memory_order_acquire); }

void UseFileCalls(const FileCalls* calls) { current.store(calls ? calls : &kSystem, std::memory_order_release); }

const FileCalls& SystemFileCalls() { return kSystem; }

}  // namespace ormelin::xlsx::detail
