// The password digest and the packing of text for the server wire.
#include "sync/wire_packing.h"

#include "sync/base64.h"
#include "sync/md5.h"
#include "text/encoding.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace orv::sync {
namespace {

constexpr size_t kCheckLength = 4;

// The first n characters reversed, then the rest reversed; the whole reversed when n
// reaches the end. Undoes itself with the same n.
std::string reverseInTwo(std::string_view text, size_t n) {
    std::string out(text);
    if (n >= out.size()) {
        std::reverse(out.begin(), out.end());
    } else {
        std::reverse(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n));
        std::reverse(out.begin() + static_cast<std::ptrdiff_t>(n), out.end());
    }
    return out;
}

std::string checkOf(std::string_view digitAndBody) { return md5Hex(digitAndBody).substr(0, kCheckLength); }

}  // namespace

std::string PasswordDigest(std::string_view password) {
    const std::string hex = md5Hex(text::utf8ToGbk(password));
    return hex.substr(8, 8) + hex.substr(24, 8) + hex.substr(0, 8) + hex.substr(16, 8);
}

int clockDigit() {
    std::mt19937 generator(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    return std::uniform_int_distribution<int>(1, 9)(generator);
}

std::string ScrambleText(std::string_view text, const DigitSource& digit) {
    if (text.empty()) return {};
    std::string body = base64Encode(text);
    const size_t pad = std::min(body.find('='), body.size());
    const std::string padding = body.substr(pad);
    body.resize(pad);
    const int n = std::clamp(digit ? digit() : clockDigit(), 1, 9);
    std::string packed = std::to_string(n) + reverseInTwo(body, static_cast<size_t>(n));
    std::replace(packed.begin(), packed.end(), '+', '-');
    return checkOf(packed) + packed + padding;
}

std::optional<std::string> tryUnscrambleText(std::string_view text) {
    if (text.empty()) return std::string();
    if (text.size() <= kCheckLength || text[kCheckLength] < '0' || text[kCheckLength] > '9') return std::nullopt;
    const std::string_view check = text.substr(0, kCheckLength);
    const size_t n = static_cast<size_t>(text[kCheckLength] - '0');
    std::string_view body = text.substr(kCheckLength + 1);
    const size_t pad = std::min(body.find('='), body.size());
    const std::string_view padding = body.substr(pad);
    body = body.substr(0, pad);
    if (checkOf(text.substr(kCheckLength, 1 + body.size())) != check) return std::nullopt;
    std::string b64 = reverseInTwo(body, n);
    std::replace(b64.begin(), b64.end(), '-', '+');
    b64.append(padding);
    std::string bytes;
    if (!base64Decode(b64, bytes)) return std::nullopt;
    return bytes;
}

std::string UnscrambleText(std::string_view text) { return tryUnscrambleText(text).value_or(std::string()); }

}  // namespace orv::sync
