// Output files that appear whole or not at all.  Each file is written under a temporary name of
// its own beside the final name (created exclusively, so that two writers, in one run or in two
// runs at once, never share one), and renamed to its name only once completely written and
// flushed: a failed or abandoned write leaves no file behind and never damages an older one.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vantrel {

// Checks that `path` can become an output file before anything is written: its folder exists
// and can be written, and the path is neither a folder nor a read-only file.  False with a
// one-line message naming the path and the reason.
bool CheckOutputPath(const std::filesystem::path& path, std::string& error);

// True when two output paths name one file: compared once resolved (".", "..", symbolic links
// of the existing part) and, for existing files, by identity (hard links).
bool SameOutputFile(const std::filesystem::path& a, const std::filesystem::path& b);

// A file written under a temporary name and put in place by Commit; removed when abandoned.
class PendingFile {
public:
    // Creates the temporary file exclusively; Created() tells whether it worked, and `file`
    // receives it opened for writing ("wb").  The message of a failure names the final path and
    // the system's reason.
    PendingFile(std::filesystem::path path, std::FILE** file, std::string& error);
    ~PendingFile();  // removes the temporary file unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool Created() const { return !temporary_.empty(); }
    const std::filesystem::path& TemporaryPath() const { return temporary_; }
    const std::filesystem::path& FinalPath() const { return final_; }
    // Makes the temporary file durable and renames it to the final name; false with a message
    // when it cannot (the temporary file is then removed).
    bool Commit(std::string& error);
    // Removes the temporary file now.
    void Abandon();

private:
    std::filesystem::path final_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};

// A text file written through a PendingFile (the CSV recording, the beats and events files).
class PendingTextFile {
public:
    // Null with a message when the file cannot be created.
    static std::unique_ptr<PendingTextFile> Create(const std::filesystem::path& path,
                                                   std::string& error);
    ~PendingTextFile();
    void Write(std::string_view text);
    // Flushes, closes and commits; false with a message on any write failure.
    bool Finish(std::string& error);

private:
    PendingTextFile() = default;
    std::unique_ptr<PendingFile> pending_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    int errorNumber_ = 0;  // the system's reason of the first failed write
};

}  // namespace vantrel
