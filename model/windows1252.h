// Model texts are bytes of the Western European code page (Windows-1252); this turns them into
// UTF-8 where they are shown outside the program's own windows (the runner's output).
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// Every byte decoded as Windows-1252; the five bytes that code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number.
std::string Windows1252ToUtf8(std::string_view bytes);

}  // namespace vantrel
