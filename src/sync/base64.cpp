// Base64 in groups of three bytes to four characters.
#include "sync/base64.h"

#include <algorithm>
#include <cstdint>

namespace orv::sync {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int valueOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<std::uint8_t>(bytes[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

bool base64Decode(std::string_view text, std::string& out) {
    if (text.size() % 4 != 0) return false;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        size_t padding = 0;
        while (last && padding < 2 && text[i + 3 - padding] == '=') ++padding;
        std::uint32_t group = 0;
        for (size_t k = 0; k < 4; ++k) {
            const int v = k < 4 - padding ? valueOf(text[i + k]) : 0;
            if (v < 0) return false;
            group = group << 6 | static_cast<std::uint32_t>(v);
        }
        // Bits under the padding must be zero, or two texts would decode alike.
        if ((padding == 1 && (group & 0xff)) || (padding == 2 && (group & 0xffff))) return false;
        for (size_t k = 0; k < 3 - padding; ++k) bytes += static_cast<char>((group >> (16 - 8 * k)) & 0xff);
    }
    out = std::move(bytes);
    return true;
}

}  // namespace orv::sync
