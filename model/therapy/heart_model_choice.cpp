#include "model/therapy/heart_model_choice.h"

#include <algorithm>
#include <system_error>

#include "engine/program_wide.h"

namespace vantrel {

namespace {

constexpr std::size_t kTranslatedNameLength = 126;
constexpr std::string_view kModelExtension = ".hmd";

// The order a user sees in a file browser: letters compared without case, then byte for byte.
std::string SortKey(const std::string& name) {
    std::string key = name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

bool ByName(const HeartModelEntry& a, const HeartModelEntry& b) {
    const std::string keyA = SortKey(a.fileName), keyB = SortKey(b.fileName);
    return keyA != keyB ? keyA < keyB : a.fileName < b.fileName;
}

}  // namespace

void HeartModelChoice::Open(const std::filesystem::path& dataDir) {
    entries_.clear();
    selected_ = -1;
    chosenName_.clear();

    std::error_code error;
    std::filesystem::directory_iterator files(dataDir / "Clinic", error);
    if (!error) {
        for (const auto& file : files) {
            std::error_code kindError;
            if (!file.is_regular_file(kindError)) continue;
            const std::string name = file.path().filename().string();
            // Exactly ".hmd": the load completes any other ending with ".hmd" and would not
            // find the file.
            if (name.size() <= kModelExtension.size() ||
                name.compare(name.size() - kModelExtension.size(), kModelExtension.size(),
                             kModelExtension) != 0)
                continue;
            entries_.push_back({std::string(), name});
        }
    }
    std::sort(entries_.begin(), entries_.end(), ByName);

    for (HeartModelEntry& entry : entries_) {
        const std::string base = entry.fileName.substr(0, entry.fileName.size() - kModelExtension.size());
        entry.shown = base;
        if (base.size() < kTranslatedNameLength) {
            const std::string translated = Translate(base, base);
            if (translated != base) entry.shown = translated.substr(0, kTranslatedNameLength);
        }
    }
    Select(0);
}

void HeartModelChoice::Select(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    selected_ = index;
    chosenName_ = entries_[index].fileName;
}

}  // namespace vantrel
