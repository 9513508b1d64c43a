// MD5 message digest (RFC 1321), for the password digest and the check characters of
// packed text on the server wire.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv::sync {

class Md5 {
public:
    Md5();
    void update(std::string_view bytes);
    // The digest of everything given; the object is spent afterwards.
    std::array<std::uint8_t, 16> finish();

private:
    void block(const std::uint8_t* p);

    std::array<std::uint32_t, 4> state_;
    std::uint64_t length_ = 0;  // bytes seen
    std::array<std::uint8_t, 64> buffer_{};
    size_t buffered_ = 0;
};

// The digest of `bytes` as 32 lower-case hexadecimal characters.
std::string md5Hex(std::string_view bytes);

}  // namespace orv::sync
