// Where the model reader gets its files: the data directory on disk, or (for the fuzz target and
// tests) any other source of bytes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vantrel {

class ModelFileSource {
public:
    virtual ~ModelFileSource() = default;
    // The first `maxBytes` bytes of the file, or nothing when it cannot be opened.
    virtual std::optional<std::string> Read(const std::filesystem::path& path,
                                            std::size_t maxBytes) const = 0;
};

// Plain files on disk.
class DiskFiles : public ModelFileSource {
public:
    std::optional<std::string> Read(const std::filesystem::path& path,
                                    std::size_t maxBytes) const override;
    static const DiskFiles& Instance();
};

// `folder` / `file` under the data directory, as written: the path a message names.  A file name
// is always taken as relative, so a name from a model file cannot replace the directory.
std::filesystem::path DataPath(const std::filesystem::path& dataDirectory, const char* folder,
                               const std::string& file);

// The same path when `file` stays inside `folder`, or nothing: a name from a model (a drug or
// sequence include, a model name) may not reach other files of the machine.  Refused are absolute
// names, names that climb out with "..", and names that lead out through a symbolic link (the
// folder itself may be a link).  A refused name reads as a missing file.
std::optional<std::filesystem::path> DataPathInside(const std::filesystem::path& dataDirectory,
                                                    const char* folder, const std::string& file);

}  // namespace vantrel
