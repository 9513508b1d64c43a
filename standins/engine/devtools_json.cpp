// Reading and writing JSON text for the DevTools protocol, through nlohmann's parser and
// writer, without letting either throw into the engine.
#include "devtools_json.h"

namespace orv::mb {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code unit of the \u escape at `at` (which points at the backslash), -1 if none.
long escapedUnit(std::string_view text, std::size_t at) {
    if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return -1;
    long unit = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

bool isHigh(long unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool isLow(long unit) { return unit >= 0xDC00 && unit < 0xE000; }

// Chromium writes the UTF-16 code units of a page's strings as \u escapes, so a string
// the page cut between the halves of a pair arrives with a lone surrogate, which
// nlohmann (rightly, for UTF-8) refuses. Each lone one becomes \ufffd, an escape of
// the same length. False when there was none, so the text was bad for another reason.
bool replaceLoneSurrogates(std::string& text) {
    bool replaced = false;
    for (std::size_t at = text.find('\\'); at != std::string::npos; at = text.find('\\', at)) {
        const long unit = escapedUnit(text, at);
        if (unit < 0) {
            at += 2;  // another escape: \" or \\ must not be read as the start of one
            continue;
        }
        if (isHigh(unit) && isLow(escapedUnit(text, at + 6))) {
            at += 12;
            continue;
        }
        if (isHigh(unit) || isLow(unit)) {
            text.replace(at + 2, 4, "fffd");
            replaced = true;
        }
        at += 6;
    }
    return replaced;
}

}  // namespace

JsonView JsonView::null() {
    static const Json none;
    return JsonView(none);
}

const std::string& JsonView::emptyText() {
    static const std::string none;
    return none;
}

const Json::array_t& JsonView::emptyList() {
    static const Json::array_t none;
    return none;
}

const Json::object_t& JsonView::emptyMembers() {
    static const Json::object_t none;
    return none;
}

bool parseJson(std::string_view text, Json& out) {
    Json parsed = Json::parse(text, nullptr, false);
    if (parsed.is_discarded()) {
        // The rare bad message pays for the second look, not every message.
        std::string repaired(text);
        if (!replaceLoneSurrogates(repaired)) return false;
        parsed = Json::parse(repaired, nullptr, false);
        if (parsed.is_discarded()) return false;
    }
    out = std::move(parsed);
    return true;
}

bool parseMessage(std::string& text, Json& out) {
    // Chromium writes a frame's members in this order; anything else takes the usual way.
    static constexpr std::string_view kFrameStart = R"({"method":"Page.screencastFrame","params":{"data":")";
    if (text.compare(0, kFrameStart.size(), kFrameStart) != 0) return parseJson(text, out);
    // Base64 has neither quotes nor backslashes; an escape means this is no plain image.
    // (Two plain searches: find_first_of looks for each byte in the set in turn.)
    const std::size_t end = text.find('"', kFrameStart.size());
    if (end == std::string::npos || text.find('\\', kFrameStart.size()) < end) return parseJson(text, out);
    // The image keeps the received text's buffer; only the few members around it are copied.
    const std::string rest = text.substr(0, kFrameStart.size()) + text.substr(end);
    std::string image = std::move(text);
    image.erase(end);
    image.erase(0, kFrameStart.size());
    Json parsed;
    if (!parseJson(rest, parsed)) return false;
    // A later member of the same name may have replaced what the start promised: then
    // the whole text goes the usual way after all.
    const auto params = parsed.find("params");
    if (params != parsed.end() && params->is_object()) {
        const auto data = params->find("data");
        if (data != params->end() && data->is_string()) {
            data->get_ref<std::string&>() = std::move(image);
            out = std::move(parsed);
            return true;
        }
    }
    return parseJson(rest.substr(0, kFrameStart.size()) + image + rest.substr(kFrameStart.size()), out);
}

void appendJsonText(std::string& out, const Json& value) {
    out += value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string jsonText(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string jsonQuoted(std::string_view text) { return jsonText(Json(text)); }

}  // namespace orv::mb
