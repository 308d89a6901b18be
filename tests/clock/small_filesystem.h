// A small file system of its own for a test: a tmpfs of a given size (a full disk after a few
// kilobytes) or a read-only one, mounted on a scratch folder.  Mounting needs root: Mounted()
// is false otherwise and the test skips.
#pragma once

#include <sys/mount.h>

#include <filesystem>
#include <string>

namespace vantrel::testing {

class SmallFileSystem {
public:
    // `options`: the tmpfs mount options, e.g. "size=100k".
    SmallFileSystem(std::filesystem::path where, const std::string& options, bool readOnly = false)
        : where_(std::move(where)) {
        std::filesystem::create_directories(where_);
        mounted_ = ::mount("tmpfs", where_.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0,
                           options.c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::filesystem::path& Path() const { return where_; }

private:
    std::filesystem::path where_;
    bool mounted_ = false;
};

}  // namespace vantrel::testing
