#include "app/ui_text.h"

namespace vantrel {

namespace {

// Code points of bytes 0x80..0x9F in the Western European code page (0 = undefined there).
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

QString FromWestern(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char c : bytes) {
        if (c >= 0x80 && c < 0xA0) {
            const char16_t mapped = kHighControls[c - 0x80];
            text.append(QChar(mapped ? mapped : char16_t{c}));
        } else {
            text.append(QChar(char16_t{c}));
        }
    }
    return text;
}

std::string ToWestern(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            byte = static_cast<char>(u);
        } else {
            for (int i = 0; i < 32; ++i)
                if (kHighControls[i] == u) byte = static_cast<char>(0x80 + i);
        }
        bytes.push_back(byte);
    }
    return bytes;
}

}  // namespace vantrel
