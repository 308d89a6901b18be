// The translation service: finds the language files in the data folder, loads the chosen one, and
// reads its menu section.  Language 0 is English and needs no file.  Plain C++ (no toolkit), so
// that the headless runner finds the same languages as the desktop.
//
// A language file is "CVantrel" + display name + "_" + two characters + ".LNG", 8-bit text with
// CR LF line ends:
//   - an optional menu section: "#Menu", then one line per entry (key, one of tab, space, ";" or
//     "=", the new text), ended by "#EndMenu" or an empty line; after "#ColMenu" the keys name
//     menu-bar entries by position instead of menu commands;
//   - text entries anywhere: a line that begins with a key, a tab and the text.  The file's first
//     line is never read as an entry;
//   - in every text, backslash-n stands for a line break.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/program_wide.h"

namespace vantrel {

inline constexpr const char* kLanguagePrefix = "CVantrel";
// Shown for a language file whose name has no "_" after the display name.
inline constexpr const char* kBadLanguageFileName = "Error LNG file";
// Bytes of a language file that are read: room for a complete translation with every prompt,
// while a file that is not a language file cannot fill the memory.
inline constexpr std::size_t kLanguageTextLimit = 65536;

// One line of the menu section.
struct MenuSectionLine {
    std::string key;
    std::string text;         // line breaks already made from backslash-n
    bool byPosition = false;  // after "#ColMenu": the key names a menu-bar entry
};

class CLangue {
public:
    // `table` receives the loaded text; the program's own table by default.
    explicit CLangue(std::filesystem::path dataDirectory,
                     TranslationTable& table = Program().translation);

    // Searches the data folder for prefix + "*.LNG", in name order; remembers each file's base
    // name and returns the display names, each followed by CR LF.
    std::string ListLanguages(const std::string& prefix = kLanguagePrefix);
    // Loads the language `index` (1 = the first file found) and returns its suffix ("_FR").
    // Below 1: nothing is loaded, the text stays as it was, the suffix is empty.  A file that
    // cannot be read leaves the text empty.
    std::string LoadLanguage(int32_t index);

    // The menu section of the loaded text, in file order.
    std::vector<MenuSectionLine> MenuSection() const;

    // Translate(key, default) while `languageIndex` is the current language.
    std::string Translate(const std::string& key, const std::string& defaultText) const {
        return table_.Text(key, defaultText);
    }

    // Makes the table answer in the loaded language (index above 0) or in English (0).
    void SetActive(bool active) { table_.active = active; }

    const std::string& LanguageText() const { return table_.languageText; }
    // The files found, base names (without ".LNG"), each followed by CR LF.
    const std::string& LanguageFiles() const { return languageFiles_; }
    const std::filesystem::path& DataDirectory() const { return dataDirectory_; }

private:
    std::filesystem::path dataDirectory_;
    TranslationTable& table_;
    std::string languageFiles_;
};

// The display names of a ListLanguages() answer, in order.
std::vector<std::string> SplitLines(std::string_view crLfLines);

// The suffix of the language whose display name is `name` (compared exactly), loaded into
// `langue`; false when no language file has that name.  "English" is language 0, suffix "".
bool LoadLanguageByName(CLangue& langue, const std::string& name, std::string& suffix);

}  // namespace vantrel
