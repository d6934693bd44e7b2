#pragma once
// A folder nothing can be made in, for the tests of a temporary folder that takes no private
// folder: without write permission for an ordinary user, and for root (whom permissions do not
// stop) with a read-only tmpfs mounted over it while the object lives. Usable() says whether it
// worked; tests that need it skip without it.
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& dir) : dir_(dir) {
        std::filesystem::create_directories(dir);
        if (::geteuid() == 0)
            mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", MS_RDONLY | MS_NOSUID | MS_NODEV, "size=16k,mode=0555") == 0;
        else
            ::chmod(dir.c_str(), 0555);
    }
    ~ReadOnlyFolder() {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
        ::chmod(dir_.c_str(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool Usable() const { return ::geteuid() != 0 || mounted_; }
    bool Empty() const { return std::filesystem::is_empty(dir_); }
    const std::string& Path() const { return dir_; }

private:
    std::string dir_;
    bool mounted_ = false;
};
