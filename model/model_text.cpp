#include "model/model_text.h"

#include <cmath>

#include "engine/heart_record.h"

namespace vantrel {

bool LineReader::Next(std::string& line) {
    if (AtEnd()) return false;
    line.clear();
    while (pos_ < bytes_.size()) {
        const char c = bytes_[pos_++];
        if (c == '\n' || c == '\0') break;
        if (c != '\r') line.push_back(c);
    }
    return true;
}

namespace {

void SkipSpaces(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
}

template <typename EndsToken>
std::string ReadUntil(std::string_view line, std::size_t& pos, EndsToken ends, char* delimiter) {
    SkipSpaces(line, pos);
    const std::size_t start = pos;
    while (pos < line.size() && !ends(line[pos])) ++pos;
    std::string token(line.substr(start, pos - start));
    char found = 0;
    if (pos < line.size()) found = line[pos++];
    if (delimiter) *delimiter = found;
    return token;
}

}  // namespace

std::string ReadWord(std::string_view line, std::size_t& pos, char* delimiter) {
    return ReadUntil(
        line, pos,
        [](char c) { return c == ' ' || c == ';' || c == '=' || c == '\t' || c == '\r'; },
        delimiter);
}

std::string ReadTextToken(std::string_view line, std::size_t& pos) {
    return ReadUntil(line, pos, [](char c) { return c == ';' || c == '=' || c == '\r'; }, nullptr);
}

int32_t ReadNumber(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '=' || line[pos] == ';')) ++pos;
    if (pos < line.size() && line[pos] == '+') ++pos;
    bool negative = false;
    if (pos < line.size() && line[pos] == '-') {
        negative = true;
        ++pos;
    }
    if (pos >= line.size() || line[pos] < '0' || line[pos] > '9') return kNoValue;
    uint32_t value = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9')
        value = value * 10u + static_cast<uint32_t>(line[pos++] - '0');
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

bool FindKeyword(std::string_view text, std::size_t& pos, std::string_view keyword) {
    if (pos > text.size()) return false;
    const std::size_t found = text.find(keyword, pos);
    if (found == std::string_view::npos) return false;
    pos = found + keyword.size();
    return true;
}

int32_t AddLineChecksum(int32_t sum, std::string_view line) {
    uint32_t total = static_cast<uint32_t>(sum);
    for (const char byte : line) {
        const int32_t c = static_cast<signed char>(byte);
        total += static_cast<uint32_t>(c / 2 + c + 5);
    }
    return static_cast<int32_t>(total);
}

std::string Message(std::string_view pattern, std::initializer_list<int32_t> numbers) {
    std::string text;
    auto next = numbers.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'd' &&
            next != numbers.end()) {
            text += std::to_string(*next++);
            ++i;
        } else {
            text.push_back(pattern[i]);
        }
    }
    return text;
}

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace vantrel
