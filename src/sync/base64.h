// Base64 with the standard alphabet and "=" padding (RFC 4648), as the server
// wire packing uses it.
#pragma once

#include <string>
#include <string_view>

namespace orv::sync {

std::string base64Encode(std::string_view bytes);
// False for anything but canonical padded base64 (wrong length, a foreign character,
// padding in the middle or non-zero bits under the padding); `out` is then untouched.
bool base64Decode(std::string_view text, std::string& out);

}  // namespace orv::sync
