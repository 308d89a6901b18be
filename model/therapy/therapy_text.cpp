#include "model/therapy/therapy_text.h"

#include <algorithm>

#include "engine/heart_record.h"

namespace vantrel {

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

constexpr std::string_view kDrugMarker = "#Drug:";
constexpr std::string_view kDrugEnd = "#Drug";
constexpr std::string_view kSequenceMarker = "#Sequence:";
constexpr std::string_view kSequenceEnd = "#Sequence";
constexpr std::string_view kStartMarker = "#StartSequence:";
constexpr std::string_view kStartEnd = "#StartSequence";

// Start of the line that holds `position`.
std::size_t LineStart(std::string_view text, std::size_t position) {
    while (position > 0 && !IsLineEnd(text[position - 1])) --position;
    return position;
}

// Start of the line after the one that holds `position` (the end of the text when there is none).
std::size_t NextLineStart(std::string_view text, std::size_t position) {
    TherapyTextCursor cursor(text, position);
    cursor.NextLine();
    return cursor.Position();
}

// Start of the line holding the first of `markers` found at or after `from`; the end of the text
// when none is found.
std::size_t RegionEnd(std::string_view text, std::size_t from,
                      std::initializer_list<std::string_view> markers) {
    std::size_t end = text.size();
    for (std::string_view marker : markers) {
        const std::size_t at = text.find(marker, from);
        if (at != std::string_view::npos && at < end) end = at;
    }
    return end == text.size() ? end : std::max(from, LineStart(text, end));
}

// Where the entry's display name stands in the text; npos when the entry has no name or the text
// is not the one it was listed from.
std::size_t NameAt(std::string_view text, const TherapyEntry& entry) {
    if (entry.name.empty() || text.substr(std::min(entry.nameAt, text.size()), entry.name.size()) != entry.name)
        return std::string_view::npos;
    return entry.nameAt;
}

}  // namespace

TherapyTextCursor::TherapyTextCursor(std::string_view text, std::size_t position)
    : text_(text), position_(std::min(position, text.size())) {}

void TherapyTextCursor::Skip(std::size_t n) {
    position_ = n >= text_.size() - position_ ? text_.size() : position_ + n;
}

bool TherapyTextCursor::Find(std::string_view keyword) {
    const std::size_t at = text_.find(keyword, position_);
    if (at == std::string_view::npos) return false;
    position_ = at + keyword.size();
    return true;
}

std::string TherapyTextCursor::Word() {
    while (Peek() == ' ') ++position_;
    const std::size_t start = position_;
    while (!AtEnd()) {
        const char c = text_[position_];
        if (c == ' ' || c == ';' || c == '=' || c == '\t' || IsLineEnd(c)) break;
        ++position_;
    }
    std::string word(text_.substr(start, position_ - start));
    // The delimiter goes with the word; a line break stays so that the line is seen to end.
    if (!AtEnd() && !IsLineEnd(text_[position_])) ++position_;
    return word;
}

std::string TherapyTextCursor::TextToken() {
    while (Peek() == ' ') ++position_;
    const std::size_t start = position_;
    while (!AtEnd()) {
        const char c = text_[position_];
        if (c == ';' || c == '=' || IsLineEnd(c)) break;
        ++position_;
    }
    std::string token(text_.substr(start, position_ - start));
    if (!AtEnd() && !IsLineEnd(text_[position_])) ++position_;
    return token;
}

int32_t TherapyTextCursor::Number() {
    while (Peek() == ' ' || Peek() == '=' || Peek() == ';') ++position_;
    if (Peek() == '+') ++position_;
    bool negative = false;
    if (Peek() == '-') {
        negative = true;
        ++position_;
    }
    if (Peek() < '0' || Peek() > '9') return kNoValue;
    // Unsigned arithmetic wraps at 32 bits without undefined behaviour.
    uint32_t value = 0;
    while (Peek() >= '0' && Peek() <= '9') value = value * 10u + static_cast<uint32_t>(text_[position_++] - '0');
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

void TherapyTextCursor::NextLine() {
    while (!AtEnd() && !IsLineEnd(text_[position_])) ++position_;
    // CR LF, a lone CR and a lone LF each end one line.
    if (Peek() == '\r') ++position_;
    if (Peek() == '\n') ++position_;
}

std::vector<std::string_view> ActionLines(std::string_view actions) {
    std::vector<std::string_view> lines;
    std::size_t position = 0;
    while (position < actions.size()) {
        std::size_t end = position;
        while (end < actions.size() && !IsLineEnd(actions[end])) ++end;
        std::size_t start = position;
        while (start < end && actions[start] == ' ') ++start;
        if (start < end) lines.push_back(actions.substr(start, end - start));
        position = NextLineStart(actions, position);
    }
    return lines;
}

std::vector<TherapyEntry> ListDrugs(std::string_view drugText) {
    std::vector<TherapyEntry> entries;
    TherapyTextCursor cursor(drugText);
    while (cursor.Find(kDrugMarker)) {
        TherapyEntry entry;
        cursor.NextLine();
        if (cursor.Peek() == '"') cursor.Skip(1);
        while (cursor.Peek() == ' ') cursor.Skip(1);
        entry.nameAt = cursor.Position();
        entry.name = cursor.TextToken();
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<TherapyEntry> ListSequences(std::string_view sequenceText) {
    std::vector<TherapyEntry> entries;
    TherapyTextCursor cursor(sequenceText);
    while (cursor.Find(kSequenceMarker)) {
        TherapyEntry entry;
        while (cursor.Peek() == ' ') cursor.Skip(1);
        entry.nameAt = cursor.Position();
        entry.name = cursor.TextToken();
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<TherapyEntryText> DrugText(std::string_view drugText, const TherapyEntry& entry) {
    const std::size_t nameAt = NameAt(drugText, entry);
    if (nameAt == std::string_view::npos) return std::nullopt;
    const std::size_t quoteAt = drugText.find('"', nameAt + entry.name.size());
    if (quoteAt == std::string_view::npos) return std::nullopt;

    TherapyEntryText parts;
    parts.comment = std::string(drugText.substr(nameAt, quoteAt - nameAt));
    const std::size_t actionsAt = NextLineStart(drugText, quoteAt);
    std::size_t actionsEnd = drugText.find(kDrugEnd, actionsAt);
    if (actionsEnd == std::string_view::npos) actionsEnd = drugText.size();
    parts.actions = std::string(drugText.substr(actionsAt, actionsEnd - actionsAt));
    return parts;
}

std::optional<TherapyEntryText> SequenceText(std::string_view sequenceText,
                                             const TherapyEntry& entry) {
    const std::size_t nameAt = NameAt(sequenceText, entry);
    if (nameAt == std::string_view::npos) return std::nullopt;
    std::size_t commentAt = NextLineStart(sequenceText, nameAt + entry.name.size());
    if (commentAt < sequenceText.size() && sequenceText[commentAt] == '"') ++commentAt;
    const std::size_t quoteAt = sequenceText.find('"', commentAt);
    if (quoteAt == std::string_view::npos) return std::nullopt;

    TherapyEntryText parts;
    parts.comment = std::string(sequenceText.substr(commentAt, quoteAt - commentAt));
    const std::size_t actionsAt = NextLineStart(sequenceText, quoteAt);
    // A start sequence written after an entry is not part of that entry's actions.
    const std::size_t actionsEnd = RegionEnd(sequenceText, actionsAt, {kSequenceEnd, kStartEnd});
    parts.actions = std::string(sequenceText.substr(actionsAt, actionsEnd - actionsAt));
    return parts;
}

std::optional<std::string> StartSequenceActions(std::string_view sequenceText) {
    const std::size_t markerAt = sequenceText.find(kStartMarker);
    if (markerAt == std::string_view::npos) return std::nullopt;
    const std::size_t actionsAt = NextLineStart(sequenceText, markerAt + kStartMarker.size());
    const std::size_t actionsEnd = RegionEnd(sequenceText, actionsAt, {kSequenceEnd});
    return std::string(sequenceText.substr(actionsAt, actionsEnd - actionsAt));
}

}  // namespace vantrel
