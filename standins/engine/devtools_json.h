// The JSON of the DevTools protocol: nlohmann's values, and the reading rules the engine
// relies on. Portable; text is UTF-8 throughout.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace orv::mb {

// Members keep their arrival order: what a page logs reads as the page wrote it.
using Json = nlohmann::ordered_json;

// A read-only look at a received value. Reading never throws: a missing member or an
// element past the end reads as null, a value of another kind as the empty string, zero
// or false. (nlohmann's own const operator[] has no answer for a missing member.)
class JsonView {
public:
    JsonView(const Json& value) : value_(&value) {}
    JsonView(const Json&&) = delete;  // a view of a temporary would outlive it

    JsonView operator[](std::string_view key) const {
        if (!value_->is_object()) return null();
        const auto found = value_->find(key);
        return found == value_->end() ? null() : JsonView(*found);
    }
    JsonView operator[](std::size_t index) const {
        return value_->is_array() && index < value_->size() ? JsonView((*value_)[index]) : null();
    }
    bool has(std::string_view key) const { return value_->is_object() && value_->contains(key); }

    bool isNull() const { return value_->is_null(); }
    bool isString() const { return value_->is_string(); }
    bool isObject() const { return value_->is_object(); }
    // Elements of an array, members of an object; zero for anything else.
    std::size_t size() const { return value_->is_array() || value_->is_object() ? value_->size() : 0; }

    const std::string& str() const {
        return value_->is_string() ? value_->get_ref<const std::string&>() : emptyText();
    }
    std::int64_t integer() const { return value_->is_number() ? value_->get<std::int64_t>() : 0; }
    double number() const { return value_->is_number() ? value_->get<double>() : 0.0; }
    bool boolean() const { return value_->is_boolean() && value_->get<bool>(); }
    // The elements of an array (none for anything else) and the members of an object.
    const Json::array_t& list() const { return value_->is_array() ? value_->get_ref<const Json::array_t&>() : emptyList(); }
    const Json::object_t& members() const {
        return value_->is_object() ? value_->get_ref<const Json::object_t&>() : emptyMembers();
    }

    const Json& json() const { return *value_; }

private:
    static JsonView null();
    static const std::string& emptyText();
    static const Json::array_t& emptyList();
    static const Json::object_t& emptyMembers();

    const Json* value_;
};

// An object of the given members, for a command's parameters.
inline Json with(std::initializer_list<std::pair<const char*, Json>> members) {
    Json object = Json::object();
    for (const auto& [name, value] : members) object[name] = value;
    return object;
}

// False when `text` is not one JSON value; never throws. A lone UTF-16 surrogate, which
// JSON text may carry in an escape but UTF-8 cannot, reads as U+FFFD.
bool parseJson(std::string_view text, Json& out);

// A message from Chromium, as parseJson reads it, using up `text`. The image of a
// painted frame (a few hundred kilobytes of base64) is moved into the value without
// passing through nlohmann's reader, which takes a string a byte at a time: some 10 ms
// a frame under Wine, against half a millisecond this way (bench/json_timing.cpp).
bool parseMessage(std::string& text, Json& out);

// The JSON text of `value`; bytes that are not UTF-8 are written as U+FFFD, so that the
// text can go out as a WebSocket text message. Never throws.
void appendJsonText(std::string& out, const Json& value);
std::string jsonText(const Json& value);

// `text` as a JSON (and JavaScript) string literal, quotes included.
std::string jsonQuoted(std::string_view text);

}  // namespace orv::mb
