#include "engine/program_wide.h"

namespace vantrel {

ProgramWide& Program() {
    static ProgramWide program;
    return program;
}

std::string Translate(const std::string& key, const std::string& defaultText) {
    const auto& texts = Program().translation.texts;
    const auto found = texts.find(key);
    return found == texts.end() ? defaultText : found->second;
}

}  // namespace vantrel
