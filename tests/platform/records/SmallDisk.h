#pragma once
// A real small disk for the tests of full disks: a tmpfs of a given size mounted over a folder
// while the object lives, so that writes fail with ENOSPC as on a full disk. Mounting needs the
// right to mount (root, or a test run in its own mount namespace); Mounted() says whether it
// worked, and tests that need the disk skip without it.
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <filesystem>
#include <fstream>
#include <string>

class SmallDisk {
public:
    SmallDisk(const std::string& dir, size_t bytes) : dir_(dir) {
        std::filesystem::create_directories(dir);
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
        mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    // Fills the disk with the file "fueller" until only `free` bytes are left.
    void LeaveFree(size_t free) {
        struct statvfs s {};
        if (::statvfs(dir_.c_str(), &s) != 0) return;
        const size_t avail = size_t(s.f_bavail) * s.f_frsize;
        if (avail > free) std::ofstream(dir_ + "/fueller", std::ios::binary) << std::string(avail - free, 'x');
    }

private:
    std::string dir_;
    bool mounted_ = false;
};
