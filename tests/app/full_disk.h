// A folder on a full disk, for the tests of what a failed write leaves behind.  With the right to
// mount (an administrator), a small tmpfs is mounted on the folder and filled up; otherwise every
// write past a few bytes fails the way a full disk does, through the process's file-size limit
// (RLIMIT_FSIZE, with SIGXFSZ ignored so that the failing write only returns an error).  Files
// written before Fill() are kept whole; child processes started after it inherit the limit.
#pragma once

#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantrel::testing {

class FullDisk {
public:
    explicit FullDisk(const std::filesystem::path& folder) : folder_(folder) {
        std::filesystem::create_directories(folder_);
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=100k") == 0;
    }
    ~FullDisk() {
        if (limited_) {
            ::setrlimit(RLIMIT_FSIZE, &previousLimit_);
            std::signal(SIGXFSZ, previousHandler_);
        }
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Uses up what is left.
    void Fill() {
        if (mounted_) {
            std::ofstream filler(folder_ / "filler", std::ios::binary);
            const std::string block(512, 'x');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
            }
            return;
        }
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previousLimit_);
        rlimit tiny = previousLimit_;
        tiny.rlim_cur = 64;
        limited_ = ::setrlimit(RLIMIT_FSIZE, &tiny) == 0;
    }
    bool Mounted() const { return mounted_; }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
    bool limited_ = false;
    rlimit previousLimit_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

}  // namespace vantrel::testing
