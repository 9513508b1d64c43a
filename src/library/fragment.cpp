// Quoting and parsing of query fragments.
#include "library/fragment.h"

#include "text/ascii.h"

namespace orv::library {

std::string doubleApostrophes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 4);
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

std::string quoteText(std::string_view text) { return "'" + doubleApostrophes(text) + "'"; }

std::string undoubleApostrophes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\'' && i + 1 < text.size() && text[i + 1] == '\'') ++i;
    }
    return out;
}

long long toInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    unsigned long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 9223372036854775807ULL) return 0;  // not a row value: treat as unreadable
    }
    return negative ? -static_cast<long long>(value) : static_cast<long long>(value);
}

void Assignments::separator() {
    if (!text_.empty()) text_ += ',';
}

Assignments& Assignments::add(std::string_view column, long long value) {
    separator();
    text_.append(column).append("=").append(std::to_string(value));
    return *this;
}

Assignments& Assignments::addText(std::string_view column, std::string_view value) {
    separator();
    text_.append(column).append("=").append(quoteText(value));
    return *this;
}

Assignments& Assignments::append(std::string_view items) {
    if (items.empty()) return *this;
    separator();
    text_.append(items);
    return *this;
}

std::string joinConditions(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view p : parts) {
        if (p.empty()) continue;
        if (!out.empty()) out += " And ";
        out.append(p);
    }
    return out;
}

std::vector<std::string_view> splitOutsideQuotes(std::string_view list) {
    std::vector<std::string_view> items;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == '\'') quoted = !quoted;
        else if (list[i] == ',' && !quoted) {
            items.push_back(list.substr(start, i - start));
            start = i + 1;
        }
    }
    items.push_back(list.substr(start));
    return items;
}

bool splitAssignment(std::string_view item, Assignment& out) {
    const size_t eq = item.find('=');
    if (eq == std::string_view::npos) return false;
    out.column = text::trimBlanks(item.substr(0, eq));
    out.value = text::trimBlanks(item.substr(eq + 1));
    return true;
}

}  // namespace orv::library
