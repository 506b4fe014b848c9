#include "import/GltfNames.h"

namespace qx {

std::string bytesOfText(const std::string& text, std::size_t& replaced) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        bool wellFormed = length != 0 && i + length <= text.size();
        unsigned code = length == 1 ? lead : length == 2 ? lead & 0x1Fu : length == 3 ? lead & 0x0Fu : lead & 0x07u;
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            wellFormed = (next >> 6) == 2;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (wellFormed && code <= 0xFF && (length == 1 || code >= 0x80)) {
            out += static_cast<char>(code);
        } else {
            out += '?';
            ++replaced;
        }
        i += wellFormed ? length : 1;
    }
    return out;
}

std::string safeFileName(const std::string& bytes, const std::string& fallback) {
    std::string out;
    for (const char c : bytes) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '_' || (c == '.' && !out.empty());
        out += kept ? c : '_';
    }
    return out.find_first_not_of('_') == std::string::npos ? fallback : out;
}

std::string uniqueName(const std::string& name, std::set<std::string>& used, const char* separator) {
    std::string candidate = name;
    for (int n = 2; used.count(candidate) != 0; ++n) candidate = name + separator + std::to_string(n);
    used.insert(candidate);
    return candidate;
}

void noteReplacedCharacters(std::size_t replaced, std::vector<std::string>& notes) {
    if (replaced > 0)
        notes.push_back(std::to_string(replaced) + " characters of names lie beyond U+00FF and became '?'");
}

}  // namespace qx
