#include "model/model_files.h"

#include <fstream>
#include <iterator>

namespace vantrel {

std::optional<std::string> DiskFiles::Read(const std::filesystem::path& path,
                                           std::size_t maxBytes) const {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    while (bytes.size() < maxBytes && in) {
        in.read(buffer, static_cast<std::streamsize>(std::min(sizeof buffer, maxBytes - bytes.size())));
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return bytes;
}

const DiskFiles& DiskFiles::Instance() {
    static const DiskFiles disk;
    return disk;
}

std::filesystem::path DataPath(const std::filesystem::path& dataDirectory, const char* folder,
                               const std::string& file) {
    return dataDirectory / folder / std::filesystem::path(file).relative_path();
}

namespace {

// True when `inner`, both paths normalised, lies strictly below `outer`.
bool LiesBelow(const std::filesystem::path& outer, const std::filesystem::path& inner) {
    const std::filesystem::path rest = inner.lexically_relative(outer);
    return !rest.empty() && *rest.begin() != ".." && rest != ".";
}

}  // namespace

std::optional<std::filesystem::path> DataPathInside(const std::filesystem::path& dataDirectory,
                                                    const char* folder, const std::string& file) {
    const std::filesystem::path name(file);
    if (name.empty() || name.has_root_path()) return std::nullopt;
    const std::filesystem::path normal = name.lexically_normal();
    if (normal.empty() || *normal.begin() == ".." || normal == ".") return std::nullopt;
    const std::filesystem::path base = dataDirectory / folder;
    const std::filesystem::path path = base / name;
    // Symbolic links: where the folder and the file really are.  Parts that do not exist are
    // taken as written, so a file that is missing stays missing rather than refused.
    std::error_code error;
    const std::filesystem::path realBase = std::filesystem::weakly_canonical(base, error);
    if (error) return std::nullopt;
    const std::filesystem::path realPath = std::filesystem::weakly_canonical(path, error);
    if (error || !LiesBelow(realBase, realPath)) return std::nullopt;
    return base / normal;
}

}  // namespace vantrel
