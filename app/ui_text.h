// Texts of the core are 8-bit Western European bytes; they are decoded only where they are shown.
#pragma once

#include <QString>
#include <string>

#include "engine/program_wide.h"

namespace vantrel {

QString FromWestern(const std::string& bytes);
std::string ToWestern(const QString& text);

// Translate() for display: the current language's text for a key, else the English default.
inline QString Tr(const char* key, const char* englishDefault) {
    return FromWestern(Translate(key, englishDefault));
}

}  // namespace vantrel
