#include "app/settings/settings_file.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <system_error>

namespace vantrel {

std::string ReadSettings(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    char buffer[kSettingsReadLimit + 1] = {};
    in.read(buffer, kSettingsReadLimit);
    return std::string(buffer);  // stops at the first NUL, or at the zero after the last byte read
}

int32_t GetInt(const std::string& settingsText, const std::string& key, int32_t fallback) {
    const size_t found = settingsText.find(key);
    if (found == std::string::npos) return fallback;
    int64_t value = 0;
    for (size_t p = found + key.size() + 1; p < settingsText.size(); ++p) {
        const char c = settingsText[p];
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

std::string FormatSettings(const SettingsValues& v) {
    struct Line {
        const char* key;
        int32_t value;
    };
    const Line lines[] = {
        {"SelCell", v.selCell},
        {"SelP1", v.selLead[0]},
        {"SelP2", v.selLead[1]},
        {"SelP3", v.selLead[2]},
        {"SelX1", v.electrodeCell[0] + 1},
        {"SelX2", v.electrodeCell[1] + 1},
        {"SelX3", v.electrodeCell[2] + 1},
        {"SelX4", v.electrodeCell[3] + 1},
        {"SelPMA1", v.pmAtrialCell + 1},
        {"SelPMV1", v.pmVentricularCell + 1},
        {"SelPMV2", v.pmVentricular2Cell + 1},
        {"PM_AVD", v.pmAvDelay},
        {"PM_MaxRate", v.pmMaxRate},
        {"PM_Rate", v.pmRate},
        {"PM_VVD", v.pmVvDelay},
        {"PM_ABlk", v.pmAtrialBlanking},
        {"PM_VBlk", v.pmVentricularBlanking},
        {"Language", v.languageIndex},
    };
    std::string text;
    char line[64];
    for (const Line& l : lines) {
        std::snprintf(line, sizeof line, "%s %d;\r\n", l.key, static_cast<int>(l.value));
        text += line;
    }
    return text;
}

bool WriteSettings(const std::filesystem::path& file, const SettingsValues& values) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    const std::string text = FormatSettings(values);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace vantrel
