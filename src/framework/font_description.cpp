// Reading font texts and the key under which equal fonts are shared.
#include "framework/font_description.h"

#include "text/ascii.h"

#include <charconv>
#include <initializer_list>
#include <vector>

namespace orv::framework {

namespace {

constexpr size_t kMaxItems = 6;
constexpr const char* kItemNames[kMaxItems] = {"face", "size", "bold", "italic", "underline", "strikeout"};

std::vector<std::string_view> splitItems(std::string_view text) {
    std::vector<std::string_view> items;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        items.push_back(text::trimBlanks(text.substr(start, comma == std::string_view::npos ? comma : comma - start)));
        if (comma == std::string_view::npos) return items;
        start = comma + 1;
    }
}

// A whole decimal number, or nothing: "9" and "-1" read, "9.5", "x" and "" do not.
bool readWhole(std::string_view item, int& value) {
    if (!item.empty() && item.front() == '+') item.remove_prefix(1);
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    return !item.empty() && error == std::errc() && end == item.data() + item.size();
}

void note(std::string* problem, std::string_view text, std::string_view what) {
    if (!problem) return;
    if (!problem->empty()) *problem += "; ";
    *problem += "font \"" + std::string(text) + "\": " + std::string(what);
}

}  // namespace

FontDescription ParseFontDescription(std::string_view text, std::string* problem) {
    if (problem) problem->clear();
    FontDescription font;
    const std::vector<std::string_view> items = splitItems(text);
    if (!items[0].empty()) font.face = std::string(items[0]);
    if (items.size() > kMaxItems) note(problem, text, "more than six items, the rest is ignored");
    for (size_t i = 1; i < items.size() && i < kMaxItems; ++i) {
        if (items[i].empty()) continue;  // an empty item is the same as a missing one
        int value = 0;
        if (!readWhole(items[i], value)) {
            note(problem, text, std::string(kItemNames[i]) + " \"" + std::string(items[i]) + "\" is not a whole number");
            continue;
        }
        switch (i) {
        case 1:
            if (value < 0) note(problem, text, "a negative size, 9 is used");
            else if (value > 0) font.points = value;
            break;
        case 2: font.weight = value != 0 ? kBoldWeight : kNormalWeight; break;
        case 3: font.italic = value != 0; break;
        case 4: font.underline = value != 0; break;
        default: font.strikeout = value != 0; break;
        }
    }
    return font;
}

std::string FontDescriptionKey(const FontDescription& font) {
    std::string key;
    for (const char c : font.face) key += text::lowerAscii(c);
    key += ',' + std::to_string(font.points) + ',' + std::to_string(font.weight);
    for (const bool flag : {font.italic, font.underline, font.strikeout}) key += flag ? ",1" : ",0";
    return key;
}

}  // namespace orv::framework
