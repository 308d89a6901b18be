#include "recording/pending_file.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string Reason(int errorNumber) { return std::generic_category().message(errorNumber); }

// "<name>.<16 hex digits>.part" beside the final name: the same folder, so that the rename stays
// on one file system.
fs::path TemporaryCandidate(const fs::path& path, std::mt19937_64& random) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.part",
                  static_cast<unsigned long long>(random()));
    fs::path candidate = path;
    candidate += suffix;
    return candidate;
}

bool Writable(const fs::path& path) {
#ifdef _WIN32
    return _access(path.string().c_str(), 2) == 0;
#else
    return ::access(path.c_str(), W_OK) == 0;
#endif
}

// Pushes a closed file's contents to the disk, so that the rename never puts an empty name in
// place of an older file after a crash; false when the system reports a failed write.
bool SyncFile(const fs::path& path) {
#ifdef _WIN32
    (void)path;
    return true;
#else
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;  // EINVAL: cannot be synced (pipes)
    return ::close(fd) == 0 && synced;
#endif
}

}  // namespace

bool CheckOutputPath(const fs::path& path, std::string& error) {
    const std::string name = path.string();
    if (path.empty() || !path.has_filename()) {
        error = name + ": not a file name";
        return false;
    }
    std::error_code failure;
    const fs::file_status status = fs::status(path, failure);
    if (fs::is_directory(status)) {
        error = name + ": cannot create the file: it is a folder";
        return false;
    }
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!fs::is_directory(fs::status(folder, failure))) {
        error = name + ": cannot create the file: the folder " + folder.string() + " does not exist";
        return false;
    }
    if (!Writable(folder)) {
        error = name + ": cannot create the file: " + Reason(errno);
        return false;
    }
    if (fs::exists(status) && !Writable(path)) {
        error = name + ": cannot replace the file: " + Reason(errno);
        return false;
    }
    return true;
}

bool SameOutputFile(const fs::path& a, const fs::path& b) {
    std::error_code failure;
    if (fs::exists(a, failure) && fs::exists(b, failure) && fs::equivalent(a, b, failure))
        return true;
    const fs::path ra = fs::weakly_canonical(fs::absolute(a, failure), failure);
    const fs::path rb = fs::weakly_canonical(fs::absolute(b, failure), failure);
    return ra.lexically_normal() == rb.lexically_normal();
}

PendingFile::PendingFile(fs::path path, std::FILE** file, std::string& error)
    : final_(std::move(path)) {
    *file = nullptr;
    std::mt19937_64 random(std::random_device{}());
    int reason = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path candidate = TemporaryCandidate(final_, random);
        // "x": created exclusively; an existing name is never opened, whoever made it.
        errno = 0;
        *file = std::fopen(candidate.string().c_str(), "wbx");
        if (*file) {
            temporary_ = candidate;
            return;
        }
        reason = errno;
        if (reason != EEXIST) break;
    }
    error = final_.string() + ": cannot create the file: " + Reason(reason ? reason : EIO);
}

PendingFile::~PendingFile() {
    if (!committed_) Abandon();
}

void PendingFile::Abandon() {
    if (temporary_.empty()) return;
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

bool PendingFile::Commit(std::string& error) {
    if (!SyncFile(temporary_)) {
        error = final_.string() + ": write error: " + Reason(errno ? errno : EIO);
        Abandon();
        return false;
    }
    std::error_code failure;
    fs::rename(temporary_, final_, failure);
    if (failure) {
        error = final_.string() + ": " + failure.message();
        Abandon();
        return false;
    }
    committed_ = true;
    return true;
}

std::unique_ptr<PendingTextFile> PendingTextFile::Create(const fs::path& path, std::string& error) {
    std::unique_ptr<PendingTextFile> text(new PendingTextFile());
    text->pending_ = std::make_unique<PendingFile>(path, &text->file_, error);
    if (!text->pending_->Created()) return nullptr;
    return text;
}

PendingTextFile::~PendingTextFile() {
    if (file_) std::fclose(file_);
}

void PendingTextFile::Write(std::string_view text) {
    if (failed_ || !file_) return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
        failed_ = true;
        errorNumber_ = errno;
    }
}

bool PendingTextFile::Finish(std::string& error) {
    std::FILE* file = file_;
    file_ = nullptr;
    if (!file) {
        error = pending_->FinalPath().string() + ": already finished";
        return false;
    }
    errno = 0;
    if (std::fflush(file) != 0 && !failed_) {
        failed_ = true;
        errorNumber_ = errno;
    }
    errno = 0;
    if (std::fclose(file) != 0 && !failed_) {
        failed_ = true;
        errorNumber_ = errno;
    }
    if (failed_) {
        error = pending_->FinalPath().string() + ": write error: " +
                Reason(errorNumber_ ? errorNumber_ : EIO);
        pending_->Abandon();
        return false;
    }
    return pending_->Commit(error);
}

}  // namespace vantrel
