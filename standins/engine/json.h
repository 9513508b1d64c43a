// The JSON values of the DevTools protocol: a small tree, its reader and its writer.
// Portable; text is UTF-8 throughout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::mb {

class Json {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool value) : kind_(Kind::Bool), bool_(value) {}
    Json(int value) : kind_(Kind::Number), number_(value) {}
    Json(std::int64_t value) : kind_(Kind::Number), number_(static_cast<double>(value)) {}
    Json(double value) : kind_(Kind::Number), number_(value) {}
    Json(const char* value) : kind_(Kind::String), string_(value) {}
    Json(std::string value) : kind_(Kind::String), string_(std::move(value)) {}
    Json(std::string_view value) : kind_(Kind::String), string_(value) {}

    static Json array() { return withKind(Kind::Array); }
    static Json object() { return withKind(Kind::Object); }

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isString() const { return kind_ == Kind::String; }
    bool isObject() const { return kind_ == Kind::Object; }

    // Reading never throws: a missing member or an element past the end reads as null,
    // a value of another kind as the empty string, zero or false.
    const Json& operator[](std::string_view key) const;
    const Json& operator[](std::size_t index) const;
    bool has(std::string_view key) const;
    std::size_t size() const { return items_.size(); }
    const std::string& str() const { return kind_ == Kind::String ? string_ : empty().string_; }
    double number() const { return kind_ == Kind::Number ? number_ : 0.0; }
    std::int64_t integer() const { return static_cast<std::int64_t>(number()); }
    bool boolean() const { return kind_ == Kind::Bool && bool_; }
    const std::vector<std::pair<std::string, Json>>& items() const { return items_; }

    // Building: set replaces a member of the same name; push appends to an array.
    Json& set(std::string_view key, Json value);
    Json& push(Json value);

    std::string dump() const;
    void dumpTo(std::string& out) const;

    // False with a short reason when `text` is not one JSON value.
    static bool parse(std::string_view text, Json& out, std::string& error);

private:
    static Json withKind(Kind kind) {
        Json j;
        j.kind_ = kind;
        return j;
    }
    static const Json& empty();

    Kind kind_ = Kind::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    // Array elements have empty names; objects keep their members in arrival order.
    std::vector<std::pair<std::string, Json>> items_;
};

// `text` as a JSON string literal, quotes included.
void appendJsonString(std::string& out, std::string_view text);
std::string jsonQuoted(std::string_view text);

}  // namespace orv::mb
