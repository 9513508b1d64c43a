// How text and the password travel on the server wire: the password digest and the
// program's own packing of text (base64, reversed in two parts, with check characters).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orv::sync {

// MD5 of the password's GBK bytes as lower-case hex, regrouped as characters 9-16,
// 25-32, 1-8, 17-24. The settings keep only this.
std::string PasswordDigest(std::string_view password);

// Where the packing digit (1 to 9) comes from; tests fix it.
using DigitSource = std::function<int()>;
// A digit from a generator started afresh from the clock at each call.
int clockDigit();

// Packs UTF-8 text; "" stays "". A digit outside 1 to 9 is taken as the nearest of them.
std::string ScrambleText(std::string_view text, const DigitSource& digit = clockDigit);
// Unpacks; empty when the check characters do not match or the text is not packed text.
std::string UnscrambleText(std::string_view text);
// As UnscrambleText, but tells a failed check (nullopt) from a packed empty text ("").
std::optional<std::string> tryUnscrambleText(std::string_view text);

}  // namespace orv::sync
