#include "launcher/ansi_text.h"

namespace vorta {

std::string_view CutAnsi(const Platform& codec, std::string_view bytes, std::size_t maxBytes) {
    const std::size_t limit = bytes.size() < maxBytes ? bytes.size() : maxBytes;
    std::size_t end = 0;
    while (end < limit) {
        const std::size_t width = codec.IsLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + width > limit) break;
        end += width;
    }
    return bytes.substr(0, end);
}

}  // namespace vorta
