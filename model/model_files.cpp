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

}  // namespace vantrel
