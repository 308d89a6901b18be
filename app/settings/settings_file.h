// "Vantrel.cfg": the user's choices kept from one run to the next (display style, lead choices,
// electrode cells, pacemaker settings, language).  Read once at the view's first paint, written
// once when the main window closes.  Plain 8-bit text, one "Key value;" line per setting.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace vantrel {

inline constexpr const char* kSettingsFileName = "Vantrel.cfg";
// Only the first 1000 bytes of the file are read: keys beyond them take their defaults.
inline constexpr int kSettingsReadLimit = 1000;

// What the writer puts in the file, in the order of its 18 lines.  Cells are written plus 1, so
// that 0 means "not placed".
struct SettingsValues {
    int32_t selCell = 2;               // display-style list selection of the heart picture
    int32_t selLead[3] = {0, 1, 6};    // LeadTable index of the three lower traces ("I", "II", "V1")
    int32_t electrodeCell[4] = {-1, -1, -1, -1};  // intracardiac electrode cells, -1 = not placed
    int32_t pmAtrialCell = -1;         // pacemaker lead cells, -1 = not placed (written only)
    int32_t pmVentricularCell = -1;
    int32_t pmVentricular2Cell = -1;
    int32_t pmAvDelay = 160;           // pacemaker dialog fields, ms or bpm
    int32_t pmMaxRate = 120;
    int32_t pmRate = 70;
    int32_t pmVvDelay = 0;
    int32_t pmAtrialBlanking = 200;
    int32_t pmVentricularBlanking = 200;
    int32_t languageIndex = 0;
};

// The whole file as text: at most its first 1000 bytes, cut at the first NUL.  Empty when the
// file does not open (every key then takes its default).
std::string ReadSettings(const std::filesystem::path& file);

// The value written after `key`: the first occurrence of the key anywhere in the text, one
// separator character skipped, then decimal digits up to the first other character.  There is no
// sign ("-1" reads back as 0); a key followed by no digit reads as 0.  Missing key: `fallback`.
// Values too large for 32 bits saturate instead of wrapping.
int32_t GetInt(const std::string& settingsText, const std::string& key, int32_t fallback);

// The same for a value whose range reaches below zero (the pacemaker's V-V' delay): a minus sign
// right after the separator is read as the value's sign, so that what was written comes back.
int32_t GetSignedInt(const std::string& settingsText, const std::string& key, int32_t fallback);

// Every value the file keeps, read from its text.  A value outside its range (a pacemaker field
// outside its dialog's range, a lead or display style the lists do not have) takes its default:
// the program never starts on a value that its own dialogs would refuse, and the file written at
// close is valid again.  The pacemaker lead cells are not read back (they start unplaced); an
// electrode cell is checked against the model by the caller.
SettingsValues SettingsFromText(const std::string& settingsText);

// The 18 lines, CR LF ended, in their fixed order.
std::string FormatSettings(const SettingsValues& values);

// Writes the file safely: to a temporary file of its own in the same folder, then renamed over the
// old one, so that a failure while writing (a full disk) never leaves a truncated file.
// - A file the user made read-only (no write permission at all) is left as it is: nothing is
//   written.
// - A symbolic link is written through: its target gets the new text, the link stays.
// - When only the folder cannot be written, the existing file is rewritten in place.
// False when nothing could be written; `why` (when given) then says why, in English.
bool WriteSettings(const std::filesystem::path& file, const SettingsValues& values, std::string* why = nullptr);

}  // namespace vantrel
