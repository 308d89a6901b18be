// How the model language reads its files: bytes into lines, lines into words, text tokens,
// numbers and keywords, and the checksum of a line.  Every comparison is byte for byte and
// case-sensitive; nothing is converted from the 8-bit Western European code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vantrel {

// Splits a file's bytes into lines: a carriage return is dropped, a line feed ends the line, a
// zero byte ends the line too, and the end of the bytes ends the last line.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // The next line into `line`; false (and `line` untouched) when no byte is left.
    bool Next(std::string& line);

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// A word: spaces skipped, then the characters up to the first space, ";", "=", TAB or carriage
// return, or the end.  The delimiter is consumed and reported through `delimiter` (0 at the end).
// An empty word means the line is used up.
std::string ReadWord(std::string_view line, std::size_t& pos, char* delimiter = nullptr);

// A text token (drug and sequence texts): like a word, but only ";", "=" and carriage return end
// it, so it may hold spaces.
std::string ReadTextToken(std::string_view line, std::size_t& pos);

// A number: spaces, "=" and ";" skipped, one optional "+", one optional "-", decimal digits.
// kNoValue (32768) when no digit follows.  Wraps in 32 bits like the language's arithmetic.
int32_t ReadNumber(std::string_view line, std::size_t& pos);

// Finds `keyword` anywhere from `pos` on and moves `pos` just past it; false (pos unchanged) when
// it does not occur.
bool FindKeyword(std::string_view text, std::size_t& pos, std::string_view keyword);
inline bool Contains(std::string_view text, std::string_view keyword) {
    return text.find(keyword) != std::string_view::npos;
}

// The checksum contribution of one line: every byte c, taken as a signed byte, adds
// c / 2 + c + 5; the sum wraps in 32 bits.
int32_t AddLineChecksum(int32_t sum, std::string_view line);

// A status message: each "%d" of the fixed `pattern` replaced by the next number.  Words from the
// model file are appended by the caller, never formatted, so a "%" in a file cannot misformat.
std::string Message(std::string_view pattern, std::initializer_list<int32_t> numbers);

// 32-bit wrapping arithmetic of the formula language (no undefined overflow).
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
// Truncating division; the one overflowing case (-2^31 / -1) wraps to -2^31.  b must not be 0.
inline int32_t WrapDiv(int32_t a, int32_t b) {
    if (b == -1) return WrapSub(0, a);
    return a / b;
}
// A floating value truncated toward zero into 32 bits, held inside the range (NaN gives 0).
int32_t TruncateToInt32(double value);

}  // namespace vantrel
