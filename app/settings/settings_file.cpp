#include "app/settings/settings_file.h"

#include <QSaveFile>
#include <QString>
#include <cstdio>
#include <fstream>
#include <limits>
#include <system_error>

#include "display/ui/heart_picture_2d.h"
#include "engine/ecg_display.h"
#include "engine/heart_record.h"
#include "engine/pacemaker.h"

namespace vantrel {

std::string ReadSettings(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    char buffer[kSettingsReadLimit + 1] = {};
    in.read(buffer, kSettingsReadLimit);
    return std::string(buffer);  // stops at the first NUL, or at the zero after the last byte read
}

namespace {

// The digits after `key` and its one separator character, with a leading minus sign when
// `signedValue`; saturates at the 32-bit limits.
int32_t ReadValue(const std::string& settingsText, const std::string& key, int32_t fallback, bool signedValue) {
    const size_t found = settingsText.find(key);
    if (found == std::string::npos) return fallback;
    size_t p = found + key.size() + 1;
    const bool negative = signedValue && p < settingsText.size() && settingsText[p] == '-';
    if (negative) ++p;
    int64_t value = 0;
    for (; p < settingsText.size(); ++p) {
        const char c = settingsText[p];
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// The value of `key` when it lies in min..max, else `fallback` (which is also the value of a
// missing key).
int32_t ReadInRange(const std::string& text, const std::string& key, int32_t fallback, int32_t min, int32_t max,
                    bool signedValue = false) {
    const int32_t value = ReadValue(text, key, fallback, signedValue);
    return value >= min && value <= max ? value : fallback;
}

}  // namespace

int32_t GetInt(const std::string& settingsText, const std::string& key, int32_t fallback) {
    return ReadValue(settingsText, key, fallback, false);
}

int32_t GetSignedInt(const std::string& settingsText, const std::string& key, int32_t fallback) {
    return ReadValue(settingsText, key, fallback, true);
}

SettingsValues SettingsFromText(const std::string& text) {
    SettingsValues v;
    const SettingsValues defaults;
    v.selCell = ReadInRange(text, "SelCell", defaults.selCell, 0, kPictureStyleCount - 1);
    const char* leadKeys[3] = {"SelP1", "SelP2", "SelP3"};
    for (int i = 0; i < 3; ++i) v.selLead[i] = ReadInRange(text, leadKeys[i], defaults.selLead[i], 0, kLeadCount - 1);
    const char* electrodeKeys[4] = {"SelX1", "SelX2", "SelX3", "SelX4"};
    for (int n = 0; n < 4; ++n) v.electrodeCell[n] = ReadInRange(text, electrodeKeys[n], 0, 0, kMaxCells) - 1;
    // The pacemaker fields with the ranges of their dialog; the V-V' delay may be negative.
    PacemakerSettings pm;
    pm.avDelayMs = defaults.pmAvDelay;
    pm.maxRateBpm = defaults.pmMaxRate;
    pm.basicRateBpm = defaults.pmRate;
    pm.vvDelayMs = defaults.pmVvDelay;
    pm.atrialBlankingMs = defaults.pmAtrialBlanking;
    pm.ventricularBlankingMs = defaults.pmVentricularBlanking;
    struct Saved {
        const char* key;
        int32_t PacemakerSettings::*field;
    };
    const Saved saved[] = {
        {"PM_AVD", &PacemakerSettings::avDelayMs},       {"PM_MaxRate", &PacemakerSettings::maxRateBpm},
        {"PM_Rate", &PacemakerSettings::basicRateBpm},   {"PM_VVD", &PacemakerSettings::vvDelayMs},
        {"PM_ABlk", &PacemakerSettings::atrialBlankingMs}, {"PM_VBlk", &PacemakerSettings::ventricularBlankingMs},
    };
    for (const Saved& s : saved) {
        for (const PacemakerField& f : kPacemakerFields) {
            if (f.value != s.field) continue;
            pm.*s.field = ReadInRange(text, s.key, pm.*s.field, f.range.min, f.range.max, f.range.min < 0);
        }
    }
    v.pmAvDelay = pm.avDelayMs;
    v.pmMaxRate = pm.maxRateBpm;
    v.pmRate = pm.basicRateBpm;
    v.pmVvDelay = pm.vvDelayMs;
    v.pmAtrialBlanking = pm.atrialBlankingMs;
    v.pmVentricularBlanking = pm.ventricularBlankingMs;
    // Any language number is kept: the language dialog selects its last entry when there are
    // fewer languages.
    v.languageIndex = GetInt(text, "Language", defaults.languageIndex);
    return v;
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

namespace {

// Where a write of `file` lands: the end of its chain of symbolic links (a dangling link names the
// file to create).  The link itself is never replaced.
std::filesystem::path FinalTarget(const std::filesystem::path& file) {
    std::filesystem::path target = file;
    std::error_code error;
    for (int depth = 0; depth < 40 && std::filesystem::is_symlink(target, error); ++depth) {
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

// True when the file exists with no write permission for anybody: the user made it read-only.
// Judged from the permission bits, not from the process's rights, so that a user with every right
// (an administrator) still sees their read-only mark honoured.
bool MarkedReadOnly(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status)) return false;
    using std::filesystem::perms;
    return (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none;
}

bool Fail(std::string* why, const std::string& reason) {
    if (why) *why = reason;
    return false;
}

}  // namespace

bool WriteSettings(const std::filesystem::path& file, const SettingsValues& values, std::string* why) {
    const std::filesystem::path target = FinalTarget(file);
    if (MarkedReadOnly(target)) return Fail(why, target.string() + " is read-only");
    const std::string text = FormatSettings(values);
    QSaveFile out(QString::fromStdString(target.string()));
    // A folder that cannot be written holds no temporary file: the existing file is then
    // rewritten in place, which is still better than losing the user's choices.
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return Fail(why, target.string() + ": " + out.errorString().toStdString());
    // The explicit flush: a write error that only shows when the buffer is written out must still
    // stop the rename (the file is smaller than the buffer).
    if (out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !out.flush()) {
        const std::string reason = out.errorString().toStdString();
        out.cancelWriting();
        out.commit();  // drops the temporary file; the old file stays whole
        return Fail(why, target.string() + ": " + reason);
    }
    if (!out.commit()) return Fail(why, target.string() + ": " + out.errorString().toStdString());
    return true;
}

}  // namespace vantrel
