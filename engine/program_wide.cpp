#include "engine/program_wide.h"

namespace vantrel {

ProgramWide& Program() {
    static ProgramWide program;
    return program;
}

std::optional<std::string> TranslationTable::Find(std::string_view key) const {
    if (key.empty()) return std::nullopt;
    std::string needle;
    needle.reserve(key.size() + 2);
    needle.append(1, '\n').append(key).append(1, '\t');
    const std::size_t at = languageText.find(needle);
    if (at == std::string::npos) return std::nullopt;
    const std::size_t begin = at + needle.size();
    std::size_t end = languageText.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = languageText.size();
    return ExpandLineBreaks(std::string_view(languageText.data() + begin, end - begin));
}

std::string ExpandLineBreaks(std::string_view raw) {
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        // A backslash-n that ends the text stays as written.
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n' && i + 2 < raw.size()) {
            text.push_back('\n');
            ++i;
        } else {
            text.push_back(raw[i]);
        }
    }
    return text;
}

std::string TranslationTable::Text(std::string_view key, const std::string& defaultText) const {
    if (!active || languageText.empty()) return defaultText;
    if (std::optional<std::string> text = Find(key)) return *text;
    return defaultText.empty() ? std::string("Not found") : defaultText;
}

std::string Translate(const std::string& key, const std::string& defaultText) {
    return Program().translation.Text(key, defaultText);
}

}  // namespace vantrel
