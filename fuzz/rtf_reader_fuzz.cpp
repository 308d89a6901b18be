// Arbitrary bytes as the welcome document: the reader must end, without a crash or a touch outside
// its memory, on every input; and the text it gives must be valid to search.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vantrel::RichDocument doc =
        vantrel::ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)doc.PlainText();
    return 0;
}
