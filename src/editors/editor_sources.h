// What both editors and the category chooser work with: the libraries, the prompts, the
// server session (whose settings are the help window's), the clock, and the page seam
// through which an editor's HTML form is read and nudged.
#pragma once

#include "library/host_db.h"
#include "library/prompt.h"
#include "sync/server_protocol.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orv::editors {

// The editor's HTML form in the browser control. The window runs scripts in the engine;
// orvhelp has no page at all.
class EditorPage {
public:
    virtual ~EditorPage() = default;
    // Runs a script of the editor's own in the page; its value as UTF-8 text, nothing when
    // there is no page or the script threw.
    virtual std::optional<std::string> run(std::string_view script) = 0;
};

struct EditorSources {
    library::HostDb& db;
    library::Prompter& prompter;
    sync::ServerSession& session;
    std::function<long long()> now;  // uDate now
};

// The texts both editors show.
namespace texts {
inline constexpr std::string_view kModified = "内容已经被修改！！！\r\n你需要保存修改吗？";
inline constexpr std::string_view kRequiredMarker = "&nbsp;<span class='tag bg-dot'>必填</span>";
inline constexpr std::string_view kSortNotNumber = "排序号必须是整数。";
inline constexpr std::string_view kTemplateMissing = "找不到编辑页面：";
inline constexpr std::string_view kPageMissingFields = "编辑页面缺少这些字段，不能编辑：";
inline constexpr std::string_view kPageUnreadable = "无法读取编辑页面的内容，没有保存。";
// Closing an editor whose page cannot be read: what was typed there cannot be saved.
inline constexpr std::string_view kCloseUnreadable =
    "无法读取编辑页面的内容，修改无法保存。\r\n关闭窗口将丢失在页面里所做的修改，确定要关闭吗？";
inline constexpr std::string_view kShownDifferently =
    "下面的内容在编辑页面里无法原样显示；不去修改它们，就不会保存它们：";
}  // namespace texts

// The silent account test before a public-library edit: true when free changes are on,
// for the private library, for rows the server keeps no copy of (`serverKeepsNoCopy`),
// or when the account may still change the public library.
bool editingAllowed(sync::ServerSession& session, int lib, bool serverKeepsNoCopy = false);

// The author of a save: the account of the settings as records name it, and its uID in
// the public User table (0 when unknown or without an account).
struct Author {
    std::string name;
    long long uID = 0;
};
Author currentAuthor(const EditorSources& s);

// A whole number as a form field holds it (blanks around it allowed); nothing otherwise.
std::optional<long long> fieldInteger(std::string_view text);

}  // namespace orv::editors
