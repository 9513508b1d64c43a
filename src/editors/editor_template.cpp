// Loading and filling the editors' page templates.
#include "editors/editor_template.h"

#include "render/page_text.h"
#include "text/ascii.h"
#include "text/markup.h"

#include <cstdio>

namespace orv::editors {

std::string LoadEditorTemplate(std::string_view ideFolder, std::string_view name) {
    std::string page = render::LoadTemplate(ideFolder, name);
    page = text::replaceAll(page, "href=\"", "href=\"view/");
    return text::replaceAll(page, "src=\"", "src=\"view/");
}

void putRaw(std::string& page, std::string_view name, std::string_view value) {
    page = text::replaceAll(page, "<!-- " + std::string(name) + " -->", value);
}

void putAttribute(std::string& page, std::string_view name, std::string_view value) {
    putRaw(page, name, text::escapeHtml(value));
}

void putTextArea(std::string& page, std::string_view name, std::string_view value) {
    putRaw(page, name, "\n" + text::escapeHtml(value));
}

std::string htmlColour(unsigned red, unsigned green, unsigned blue) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02X%02X%02X", red & 0xFF, green & 0xFF, blue & 0xFF);
    return colour;
}

}  // namespace orv::editors
