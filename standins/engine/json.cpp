// Reading and writing JSON text for the DevTools protocol.
#include "json.h"

#include <charconv>
#include <cmath>

namespace orv::mb {
namespace {

constexpr int kMaxDepth = 200;

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool document(Json& out, std::string& error) {
        if (!value(out, 0)) {
            error = error_ + " at offset " + std::to_string(at_);
            return false;
        }
        skipBlanks();
        if (at_ != text_.size()) {
            error = "text after the value at offset " + std::to_string(at_);
            return false;
        }
        return true;
    }

private:
    bool fail(const char* why) {
        error_ = why;
        return false;
    }
    void skipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n'))
            ++at_;
    }
    bool literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return fail("unknown word");
        at_ += word.size();
        return true;
    }

    bool value(Json& out, int depth) {
        if (depth > kMaxDepth) return fail("nested too deeply");
        skipBlanks();
        if (at_ >= text_.size()) return fail("value missing");
        switch (text_[at_]) {
        case '{': return object(out, depth);
        case '[': return array(out, depth);
        case '"': {
            std::string s;
            if (!string(s)) return false;
            out = Json(std::move(s));
            return true;
        }
        case 't': out = Json(true); return literal("true");
        case 'f': out = Json(false); return literal("false");
        case 'n': out = Json(); return literal("null");
        default: return number(out);
        }
    }

    bool number(Json& out) {
        const char* begin = text_.data() + at_;
        const char* end = text_.data() + text_.size();
        double d = 0;
        const auto [stop, ec] = std::from_chars(begin, end, d);
        if (ec != std::errc() || stop == begin) return fail("bad number");
        at_ += static_cast<std::size_t>(stop - begin);
        out = Json(d);
        return true;
    }

    bool hex4(std::uint32_t& code) {
        if (at_ + 4 > text_.size()) return fail("short \\u escape");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
            if (v < 0) return fail("bad \\u escape");
            code = code * 16 + static_cast<std::uint32_t>(v);
        }
        return true;
    }

    bool escape(std::string& out) {
        if (at_ >= text_.size()) return fail("unfinished escape");
        const char c = text_[at_++];
        switch (c) {
        case '"': out += '"'; return true;
        case '\\': out += '\\'; return true;
        case '/': out += '/'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'u': break;
        default: return fail("bad escape");
        }
        std::uint32_t code = 0;
        if (!hex4(code)) return false;
        if (code >= 0xD800 && code < 0xDC00 && text_.substr(at_, 2) == "\\u") {
            const std::size_t back = at_;
            at_ += 2;
            std::uint32_t low = 0;
            if (!hex4(low)) return false;
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                return true;
            }
            at_ = back;
        }
        // A lone surrogate cannot be UTF-8: it becomes the replacement character.
        appendUtf8(out, (code >= 0xD800 && code < 0xE000) ? 0xFFFD : code);
        return true;
    }

    bool string(std::string& out) {
        ++at_;  // the opening quote
        for (;;) {
            const std::size_t run = at_;
            while (at_ < text_.size() && text_[at_] != '"' && text_[at_] != '\\') ++at_;
            out.append(text_.substr(run, at_ - run));
            if (at_ >= text_.size()) return fail("unfinished string");
            if (text_[at_++] == '"') return true;
            if (!escape(out)) return false;
        }
    }

    bool array(Json& out, int depth) {
        out = Json::array();
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        for (;;) {
            Json item;
            if (!value(item, depth + 1)) return false;
            out.push(std::move(item));
            skipBlanks();
            if (at_ >= text_.size()) return fail("unfinished array");
            const char c = text_[at_++];
            if (c == ']') return true;
            if (c != ',') return fail("',' or ']' expected");
        }
    }

    bool object(Json& out, int depth) {
        out = Json::object();
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        for (;;) {
            skipBlanks();
            if (at_ >= text_.size() || text_[at_] != '"') return fail("member name expected");
            std::string key;
            if (!string(key)) return false;
            skipBlanks();
            if (at_ >= text_.size() || text_[at_++] != ':') return fail("':' expected");
            Json item;
            if (!value(item, depth + 1)) return false;
            out.set(key, std::move(item));
            skipBlanks();
            if (at_ >= text_.size()) return fail("unfinished object");
            const char c = text_[at_++];
            if (c == '}') return true;
            if (c != ',') return fail("',' or '}' expected");
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

}  // namespace

const Json& Json::empty() {
    static const Json none;
    return none;
}

const Json& Json::operator[](std::string_view key) const {
    if (kind_ == Kind::Object)
        for (const auto& [name, value] : items_)
            if (name == key) return value;
    return empty();
}

const Json& Json::operator[](std::size_t index) const {
    return kind_ == Kind::Array && index < items_.size() ? items_[index].second : empty();
}

bool Json::has(std::string_view key) const {
    if (kind_ == Kind::Object)
        for (const auto& item : items_)
            if (item.first == key) return true;
    return false;
}

Json& Json::set(std::string_view key, Json value) {
    kind_ = Kind::Object;
    for (auto& item : items_)
        if (item.first == key) {
            item.second = std::move(value);
            return *this;
        }
    items_.emplace_back(std::string(key), std::move(value));
    return *this;
}

Json& Json::push(Json value) {
    kind_ = Kind::Array;
    items_.emplace_back(std::string(), std::move(value));
    return *this;
}

void appendJsonString(std::string& out, std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string jsonQuoted(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

void Json::dumpTo(std::string& out) const {
    switch (kind_) {
    case Kind::Null: out += "null"; break;
    case Kind::Bool: out += bool_ ? "true" : "false"; break;
    case Kind::Number: {
        if (!std::isfinite(number_)) {
            out += "null";  // JSON has no infinities
            break;
        }
        char buffer[32];
        const bool whole = std::fabs(number_) < 9007199254740992.0 && number_ == std::floor(number_);
        const auto result = whole ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(number_))
                                  : std::to_chars(buffer, buffer + sizeof buffer, number_);
        out.append(buffer, result.ptr);
        break;
    }
    case Kind::String: appendJsonString(out, string_); break;
    case Kind::Array:
        out += '[';
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (i) out += ',';
            items_[i].second.dumpTo(out);
        }
        out += ']';
        break;
    case Kind::Object:
        out += '{';
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (i) out += ',';
            appendJsonString(out, items_[i].first);
            out += ':';
            items_[i].second.dumpTo(out);
        }
        out += '}';
        break;
    }
}

std::string Json::dump() const {
    std::string out;
    dumpTo(out);
    return out;
}

bool Json::parse(std::string_view text, Json& out, std::string& error) {
    Json parsed;
    if (!Reader(text).document(parsed, error)) return false;
    out = std::move(parsed);
    return true;
}

}  // namespace orv::mb
