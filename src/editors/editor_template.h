// The editors' page templates: loaded from the IDE's view folder, their addresses moved
// into view/, and their placeholders filled with each value escaped for its place, so a
// stored text can neither break the form nor put markup into it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::editors {

inline constexpr std::string_view kEntryTemplate = "view\\WordEditor.htm";
inline constexpr std::string_view kCategoryTemplate = "view\\edit.htm";

// The template with every `href="` and `src="` pointing into view/; empty when the file
// is missing or unreadable.
std::string LoadEditorTemplate(std::string_view ideFolder, std::string_view name);

// The values of a page's placeholders ("<!-- name -->"), each made ready for its place.
class Placeholders {
public:
    // As it stands.
    void raw(std::string_view name, std::string value);
    // A value inside a double-quoted attribute (value="<!-- KeyWord -->").
    void attribute(std::string_view name, std::string_view value);
    // A text area's content; the template writes the placeholder right after the
    // opening tag. HTML drops one line feed there, so one is put before the text to keep
    // its own.
    void textArea(std::string_view name, std::string_view value);

    // The page with every known placeholder replaced, in one pass: a value is never
    // searched for placeholders itself. Unknown ones stay as they are.
    std::string fill(std::string_view page) const;

private:
    std::vector<std::pair<std::string, std::string>> values_;
};

// "#RRGGBB" of a colour given as red, green, blue.
std::string htmlColour(unsigned red, unsigned green, unsigned blue);

}  // namespace orv::editors
