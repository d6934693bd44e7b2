#include "FullDisk.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string_view>

namespace {

std::atomic<bool> armed{false};
std::mutex guard;
std::string folder;     // canonical, with a trailing '/'
size_t room = 0;
size_t refused = 0;

ssize_t Through(int fd, const void* data, size_t count)
{
    return static_cast<ssize_t>(::syscall(SYS_write, fd, data, count));
}

// Under `guard`.
bool InFolder(int fd)
{
    char link[40];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t n = ::readlink(link, path, sizeof path);
    return n > 0 && std::string_view(path, static_cast<size_t>(n)).starts_with(folder);
}

} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t count)
{
    if (!armed.load(std::memory_order_acquire))
        return Through(fd, data, count);
    std::lock_guard lock(guard);
    if (!InFolder(fd))
        return Through(fd, data, count);
    const size_t fits = std::min(room, count);
    refused += count - fits;
    if (fits == 0 && count > 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = Through(fd, data, fits);
    if (n > 0)
        room -= static_cast<size_t>(n);
    return n;
}

FullDisk::FullDisk(const std::string& dir, size_t freeBytes)
{
    std::filesystem::create_directories(dir);
    std::lock_guard lock(guard);
    folder = std::filesystem::canonical(dir).string() + "/";
    room = freeBytes;
    refused = 0;
    armed.store(true, std::memory_order_release);
}

FullDisk::~FullDisk()
{
    armed.store(false, std::memory_order_release);
}

size_t FullDisk::Refused() const
{
    std::lock_guard lock(guard);
    return refused;
}
