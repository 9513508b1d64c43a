// The keyword page: one entry of KeywordList joined with its KeywordData row, filled
// into view\keyword.htm section by section.
#include "library/fragment.h"
#include "library/schema.h"
#include "render/category_trail.h"
#include "render/highlighter.h"
#include "render/library_word_lookup.h"
#include "render/page_renderer.h"
#include "render/page_text.h"
#include "text/ascii.h"

#include <vector>

namespace orv::render {

namespace col = library::joined;
using library::Row;
using library::cellNumber;
using library::cellText;

namespace {

struct AttributeLabel {
    int attribute;
    const char* text;
};
const AttributeLabel kAttributeLabels[] = {{0, "（"}, {1, "（FB原生"}, {3, "（扩展库"}, {2, "（源码库"}};

struct TypeLabel {
    int type;
    const char* text;
};
const TypeLabel kTypeLabels[] = {
    {1, ".语句）"}, {2, ".过程）"}, {3, ".函数）"}, {4, ".标准类型）"}, {5, ".定义类型）"},
    {6, ".别名）"}, {7, ".枚举）"}, {8, ".联合）"}, {9, ".常量）"},   {10, ".宏）"},
    {11, ".变量）"}, {20, ".成员）"}, {21, ".枚举成员）"}};

const char* const kPlatformNames[] = {"Windows", "Linux", "Windows , Linux"};

constexpr std::string_view kTableOpen = "<table style=\"width:0%;\" class=\"table table-condensed table-bordered\">";

std::string typeLabel(long long attribute, long long type) {
    std::string label;
    for (const AttributeLabel& a : kAttributeLabels)
        if (a.attribute == attribute) label = a.text;
    for (const TypeLabel& t : kTypeLabels)
        if (t.type == type) return label + t.text;
    return label == "（" ? std::string() : label + "）";
}

// Lines of a field: split at CR LF, trimmed of blanks, empty lines left out.
std::vector<std::string> fieldLines(std::string_view field) {
    std::vector<std::string> lines;
    for (std::string_view line : text::splitCrlf(field)) {
        while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        if (!line.empty()) lines.emplace_back(line);
    }
    return lines;
}

std::string parameterTable(std::string_view field) {
    std::string html(kTableOpen);
    for (const std::string& line : fieldLines(field)) {
        const size_t blank = line.find(' ');
        const std::string name = line.substr(0, blank);
        const std::string note = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        html.append("<tr><td class=\"text-sub\">").append(name).append("</td><td>").append(note).append("</td></tr>");
    }
    return html + "</table>";
}

// One line of a type's member list: "<FUN>name<AS:type>parameters<'>note".
std::string memberRow(std::string line, const std::string& linkPrefix) {
    std::string tag;
    if (!line.empty() && line[0] == '<') {
        tag = line.substr(0, 5);
        line.erase(0, std::min<size_t>(5, line.size()));
    }
    const size_t as = line.find("<AS:");
    const size_t close = as == std::string::npos ? std::string::npos : line.find('>', as + 4);
    if (close == std::string::npos) return "<tr><td >" + line + "</td><td></td></tr>";
    const std::string name = line.substr(0, as);
    const std::string type = line.substr(as + 4, close - as - 4);
    const std::string rest = line.substr(close + 1);
    const std::string asType = type.empty() ? std::string() : "As " + type;
    std::string cell;
    if (tag.empty())
        cell = asType + replaceAll(rest, "<'>", "</span><br><span>");
    else
        cell = "&lt;" + tag.substr(1, 3) + "&gt;" + replaceAll(rest, "<'>", asType + "</span><br><span>");
    return "<tr><td ><a target=\"_blank\" href=\"" + linkPrefix + name + "\">" + name + "</a></td><td><span class=\"text-main\">" +
           cell + "</span></td></tr>";
}

std::string relatedList(std::string_view field) {
    std::string html = "<ul>";
    for (const std::string& line : fieldLines(field)) {
        size_t end = line.find(' ');
        // "Option Explicit" and its kin keep both words as the name.
        if (end != std::string::npos && text::equalsNoCaseAscii(line.substr(0, end), "option")) end = line.find(' ', end + 1);
        const std::string name = line.substr(0, end);
        const std::string note = end == std::string::npos ? std::string() : line.substr(end + 1);
        html.append("<li><a target=\"_blank\" href=\"t").append(name).append("\">").append(name)
            .append("</a>&nbsp;&nbsp;").append(note).append("</li>");
    }
    return html + "</ul>";
}

// '[images="file"] comments of the examples become images.
std::string imagesFromComments(std::string html) {
    static constexpr std::string_view kOpen = "'[images=\"";
    size_t from = 0;
    for (;;) {
        const size_t open = html.find(kOpen, from);
        if (open == std::string::npos) break;
        const size_t close = html.find("\"]", open + kOpen.size());
        if (close == std::string::npos) break;
        const std::string file = html.substr(open + kOpen.size(), close - open - kOpen.size());
        const std::string image = "<img src=\"" + file + "\">";
        html.replace(open, close + 2 - open, image);
        from = open + image.size();
    }
    return html;
}

class KeywordPageBuilder {
public:
    KeywordPageBuilder(const PageSources& sources, const library::TreeNode& record, const Marking& marking, Row row)
        : s_(sources), lib_(record.lib), marking_(marking), row_(std::move(row)), lookup_(sources.db) {}

    Page build() {
        page_ = LoadTemplate(s_.ideFolder, "view\\keyword.htm");
        const long long type = number(col::data_nType);
        const long long attribute = number(col::Attribute);
        const std::string& keyword = text(col::KeyWord);
        const bool member = type >= library::kFirstMemberType;
        const bool plainDocument = text(col::Description).empty() && attribute == 0 && type == 0;

        put("href=\"pui/", "href=\"view/pui/");
        put("src=\"pui/", "src=\"view/pui/");
        put("<!-- Contents -->", trails(member));
        put("<!-- DisplayKeyWord -->", markNoCase(text(col::DisplayKeyWord)));
        head(plainDocument);
        const std::string label = typeLabel(attribute, type);
        put("<!-- Syntax -->", text(col::Syntax).empty() ? std::string()
                                : mark(section("语法：" + label, code(text(col::Syntax), keyword, CodeMode::Numbered))));
        explain(plainDocument);
        if (!text(col::Parameter).empty() && !library::canOwnMembers(static_cast<int>(type)))
            put("<!-- Parameter -->", section("参数：", mark(parameterTable(text(col::Parameter)))));
        if (!text(col::Member).empty() && library::canOwnMembers(static_cast<int>(type)))
            put("<!-- Member -->", section("成员：", mark(memberTable())));
        put("<!-- Examples -->", text(col::Examples).empty() ? std::string()
            : mark(imagesFromComments(section("示例：", code(text(col::Examples), keyword, CodeMode::Numbered)))));
        put("<!-- Source -->", text(col::Source).empty() ? std::string()
            : mark(section("源码：", code(text(col::Source), keyword, CodeMode::Numbered))));
        if (!text(col::Related).empty()) put("<!-- Related -->", section("相关：", mark(relatedList(text(col::Related)))));
        if (member)
            put("<!-- Include -->", "");
        else if (!text(col::Include).empty())
            put("<!-- Include -->", section("引用文件：", mark(code(text(col::Include), keyword, CodeMode::Plain))));
        // Help documents name no platform, whatever their description says.
        platform((attribute == library::kAttrHelpDocument && type == library::kEntryOther) || member);
        put("<!-- date -->", dateText(number(col::uDate)));
        put("<!-- User -->", pageAuthor(s_.db, number(col::uID)));
        const char letter = member ? 'y' : 'k';
        return {WithoutEscapeTags(page_), letter + std::to_string(lib_) + std::to_string(number(col::kID))};
    }

private:
    const std::string& text(int column) const { return cellText(row_, column); }
    long long number(int column) const { return cellNumber(row_, column); }
    void put(std::string_view placeholder, std::string_view value) { page_ = replaceAll(page_, placeholder, value); }
    std::string mark(std::string_view html) const {
        return marking_.on() ? MarkSearchWord(html, marking_.word, marking_.marker) : std::string(html);
    }
    std::string markNoCase(std::string_view plain) const {
        return marking_.on() ? ReplaceNoCase(plain, marking_.word, marking_.marker) : std::string(plain);
    }
    static std::string section(std::string_view title, std::string_view content) {
        return FillSection(kSectionTemplate, title, content);
    }
    std::string code(std::string_view source, std::string_view keyword, CodeMode mode) {
        return HighlightCode(source, keyword, mode, lookup_);
    }

    // Every place where the entry (or, for a member, its parent) is listed gives a trail.
    std::string trails(bool member) {
        long long trailSID = number(col::sID);
        std::string parentName;
        if (member) {
            Row parent;
            trailSID = 0;
            if (s_.db.findOne(lib_, library::tables::KeywordList, "kID=" + std::to_string(number(col::dID)), parent,
                              "kID,dID,sID,DisplayKeyWord", "")) {
                trailSID = cellNumber(parent, 2);
                parentName = cellText(parent, 3);
            }
        }
        std::string contents;
        if (trailSID != 0) {
            library::ResultTable places;
            s_.db.find(lib_, library::tables::KeywordList, "sID=" + std::to_string(trailSID), places, "kID,dID", "", 0);
            for (int i = 0; i < places.count(); ++i) {
                const long long dID = places.number(i, 1);
                if (i > 0 && dID <= 0) continue;
                const std::string trail = BuildCategoryTrail(s_.db, lib_, "", dID);
                if (trail.empty()) continue;
                if (!contents.empty()) contents += "<br><li>Help</li>";
                contents += trail;
            }
        }
        if (member)
            contents += "<li><a  target=\"_blank\" href=\"k" + std::to_string(lib_) + std::to_string(number(col::dID)) +
                        "\">" + parentName + "</a></li>";
        return contents;
    }

    void head(bool plainDocument) {
        if (plainDocument) {
            const size_t open = page_.find("<blockquote");
            const size_t close = page_.find("</blockquote>");
            if (open != std::string::npos && close != std::string::npos && close >= open)
                page_ = page_.substr(0, open) + "<hr style=\"margin-top:-20px;\">" + page_.substr(close + 13);
            return;
        }
        const std::string keyword = markNoCase(text(col::KeyWord));
        put("<!-- KeyWord -->", keyword.empty() ? std::string() : "<h2>" + keyword + "</h2>");
        put("<!-- Description -->", mark(replaceAll(text(col::Description), "\r\n", "<br>")));
    }

    void explain(bool plainDocument) {
        const std::string& explain = text(col::Explain);
        if (explain.empty()) {
            put("<!-- Explain -->", "");
            return;
        }
        // A plain help document is its own page: its text goes in without a frame.
        const bool bare = plainDocument && text(col::Syntax).empty();
        put("<!-- Explain -->", mark(bare ? explain : section("说明：", explain)));
    }

    std::string memberTable() const {
        const std::string linkPrefix = "c" + std::to_string(lib_) + std::to_string(number(col::kID)) + ",";
        std::string html(kTableOpen);
        for (const std::string& line : fieldLines(text(col::Member))) html += memberRow(line, linkPrefix);
        return html + "</table>";
    }

    void platform(bool none) {
        if (none) {
            put("<!-- Platform -->", "");
            return;
        }
        const long long p = number(col::Platform);
        put("<!-- Platform -->", section("平台：", p >= 0 && p <= 2 ? kPlatformNames[p] : ""));
    }

    const PageSources& s_;
    int lib_;
    const Marking& marking_;
    Row row_;
    LibraryWordLookup lookup_;
    std::string page_;
};

}  // namespace

std::optional<Page> buildKeywordPage(const PageSources& sources, const library::TreeNode& record,
                                     const Marking& marking) {
    Row row;
    const std::string where = library::joinConditions(
        {library::tables::JoinCondition, "KeywordList.kID=" + std::to_string(record.id)});
    if (!sources.db.findOne(record.lib, library::tables::ListAndData, where, row, "*", "")) return std::nullopt;
    return KeywordPageBuilder(sources, record, marking, std::move(row)).build();
}

}  // namespace orv::render
