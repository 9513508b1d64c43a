// Loading and filling the editors' page templates.
#include "editors/editor_template.h"

#include "render/page_text.h"
#include "text/ascii.h"
#include "text/markup.h"

#include <algorithm>
#include <cstdio>

namespace orv::editors {

std::string LoadEditorTemplate(std::string_view ideFolder, std::string_view name) {
    std::string page = render::LoadTemplate(ideFolder, name);
    page = text::replaceAll(page, "href=\"", "href=\"view/");
    return text::replaceAll(page, "src=\"", "src=\"view/");
}

void Placeholders::raw(std::string_view name, std::string value) { values_.emplace_back(name, std::move(value)); }

void Placeholders::attribute(std::string_view name, std::string_view value) { raw(name, text::escapeHtml(value)); }

void Placeholders::textArea(std::string_view name, std::string_view value) {
    std::string content = "\n";
    text::appendEscapedHtml(content, value);
    raw(name, std::move(content));
}

std::string Placeholders::fill(std::string_view page) const {
    constexpr std::string_view open = "<!-- ", close = " -->";
    std::string out;
    size_t size = page.size();
    for (const auto& value : values_) size += value.second.size();
    out.reserve(size);
    size_t at = 0;
    for (size_t start = page.find(open); start != std::string_view::npos; start = page.find(open, at)) {
        const size_t end = page.find(close, start + open.size());
        if (end == std::string_view::npos) break;
        const std::string_view name = page.substr(start + open.size(), end - start - open.size());
        const auto known = std::find_if(values_.begin(), values_.end(), [&](const auto& v) { return v.first == name; });
        out.append(page.substr(at, start - at));
        if (known != values_.end()) out.append(known->second);
        else out.append(page.substr(start, end + close.size() - start));
        at = end + close.size();
    }
    out.append(page.substr(at));
    return out;
}

std::string htmlColour(unsigned red, unsigned green, unsigned blue) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02X%02X%02X", red & 0xFF, green & 0xFF, blue & 0xFF);
    return colour;
}

}  // namespace orv::editors
