#include "app/translation/langue.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

namespace vantrel {

namespace {

constexpr const char* kCrLf = "\r\n";

bool HasLanguageExtension(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string ext = fileName.substr(fileName.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext == ".LNG";
}

// The display name of a file's base name: the text between the prefix and the first "_" after it.
std::string DisplayName(const std::string& baseName, const std::string& prefix) {
    const std::size_t underscore = baseName.find('_', prefix.size());
    if (underscore == std::string::npos || underscore == prefix.size()) return kBadLanguageFileName;
    return baseName.substr(prefix.size(), underscore - prefix.size());
}

// A name that can only stand for a file directly in the data folder: no folder part, no "..".
bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find_first_of("/\\:") != std::string::npos) return false;
    return name.find("..") == std::string::npos && !std::filesystem::path(name).is_absolute();
}

// A regular file that lies in `folder` itself, not reached through a link.
bool IsFileInFolder(const std::filesystem::path& folder, const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(file, error);
    if (error || !std::filesystem::is_regular_file(status)) return false;
    const std::filesystem::path realFolder = std::filesystem::canonical(folder, error);
    if (error) return false;
    const std::filesystem::path realFile = std::filesystem::canonical(file, error);
    return !error && realFile.parent_path() == realFolder;
}

// The first `limit` bytes of the file, cut at the first zero byte; empty when it does not open.
std::string ReadLanguageFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::string();
    std::string bytes(kLanguageTextLimit, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    return bytes;
}

std::string_view NextLine(std::string_view lines, std::size_t& pos) {
    const std::size_t end = std::min(lines.find(kCrLf, pos), lines.size());
    const std::string_view line = lines.substr(pos, end - pos);
    pos = end + 2;
    return line;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view crLfLines) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < crLfLines.size()) lines.emplace_back(NextLine(crLfLines, pos));
    return lines;
}

CLangue::CLangue(std::filesystem::path dataDirectory, TranslationTable& table)
    : dataDirectory_(std::move(dataDirectory)), table_(table) {}

std::string CLangue::ListLanguages(const std::string& prefix) {
    languageFiles_.clear();
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(dataDirectory_, error), end; !error && it != end;
         it.increment(error)) {
        const std::string fileName = it->path().filename().string();
        if (fileName.size() < prefix.size() + 4 || fileName.compare(0, prefix.size(), prefix) != 0 ||
            !HasLanguageExtension(fileName))
            continue;
        if (fileName.find_first_of("\r\n") != std::string::npos) continue;  // would split a line
        if (!IsFileInFolder(dataDirectory_, it->path())) continue;  // folders, links
        found.push_back(fileName);
    }
    // The order users see on the other platform's directory search: by name.
    std::sort(found.begin(), found.end());
    std::string names;
    for (const std::string& fileName : found) {
        const std::string baseName = fileName.substr(0, fileName.size() - 4);
        languageFiles_ += baseName + kCrLf;
        names += DisplayName(baseName, prefix) + kCrLf;
    }
    return names;
}

std::string CLangue::LoadLanguage(int32_t index) {
    if (index < 1) return std::string();
    table_.languageText.clear();
    const std::vector<std::string> files = SplitLines(languageFiles_);
    if (static_cast<std::size_t>(index) > files.size()) return std::string();
    const std::string& baseName = files[static_cast<std::size_t>(index) - 1];
    // A name that does not follow the pattern (listed as "Error LNG file") loads nothing: the
    // program stays in English and no drug or sequence file gets a suffix.
    if (DisplayName(baseName, kLanguagePrefix) == kBadLanguageFileName) return std::string();
    const std::size_t underscore = baseName.find('_');
    const std::string suffix = baseName.substr(underscore, 3);
    if (suffix.size() != 3 || !std::isalnum(static_cast<unsigned char>(suffix[1])) ||
        !std::isalnum(static_cast<unsigned char>(suffix[2])))
        return std::string();  // the suffix becomes part of drug and sequence file names
    const std::string stem = baseName.substr(0, underscore + 3);
    if (!IsPlainFileName(stem)) return std::string();
    for (const char* extension : {".LNG", ".lng"}) {
        const std::filesystem::path file = dataDirectory_ / (stem + extension);
        if (!IsFileInFolder(dataDirectory_, file)) continue;
        table_.languageText = ReadLanguageFile(file);
        break;
    }
    return suffix;
}

std::vector<MenuSectionLine> CLangue::MenuSection() const {
    std::vector<MenuSectionLine> entries;
    const std::string_view text = table_.languageText;
    const std::size_t mark = text.find("#Menu");
    if (mark == std::string_view::npos) return entries;
    std::size_t pos = text.find('\n', mark);
    if (pos == std::string_view::npos) return entries;
    ++pos;
    bool byPosition = false;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
        if (line.empty() || line.starts_with("#EndMenu")) break;
        if (line.starts_with("#ColMenu")) {
            byPosition = true;
            continue;
        }
        const std::size_t split = line.find_first_of("\t ;=");
        MenuSectionLine entry;
        entry.key = std::string(line.substr(0, split));
        if (split != std::string_view::npos) entry.text = ExpandLineBreaks(line.substr(split + 1));
        entry.byPosition = byPosition;
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool LoadLanguageByName(CLangue& langue, const std::string& name, std::string& suffix) {
    suffix.clear();
    if (name == "English") {
        langue.SetActive(false);
        return true;
    }
    const std::vector<std::string> names = SplitLines(langue.ListLanguages());
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] != name || name == kBadLanguageFileName) continue;
        suffix = langue.LoadLanguage(static_cast<int32_t>(i) + 1);
        langue.SetActive(true);
        return true;
    }
    return false;
}

}  // namespace vantrel
