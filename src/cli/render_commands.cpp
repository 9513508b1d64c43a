// orvhelp's page commands: the page a link leads to, and highlighted code.
#include "cli/command.h"

#include "render/highlighter.h"
#include "render/library_word_lookup.h"
#include "render/link.h"
#include "render/page_renderer.h"
#include "render/page_text.h"
#include "library/paths.h"
#include "library/schema.h"
#include "library/settings.h"

#include <iostream>
#include <iterator>
#include <ostream>

namespace orv::cli {
namespace {

class FixedSearch : public render::SearchState {
public:
    explicit FixedSearch(std::string word) : word_(std::move(word)) {}
    bool searchTabActive() const override { return !word_.empty(); }
    std::string searchText() const override { return word_; }

private:
    std::string word_;
};

class CapturedView : public render::PageView {
public:
    void LoadHtml(const std::string& utf8) override { html = utf8.empty() ? std::string(render::kEmptyDocument) : utf8; }
    std::string html;
};

int renderCommand(Context& ctx) {
    const std::string link = ctx.args.positional[0];
    const std::string ide = ideFolder(ctx);
    library::SqliteHostDb db;
    openBothLibraries(db, ide);
    render::ParsedLink parsed;
    if (!render::ParseLink(link, parsed)) usageError("\"" + link + "\" is not a page link (r, k, y, s, t or c form)");
    const std::optional<render::LinkTarget> target = render::ResolveLink(db, link);
    if (!target) failure("the link " + link + " leads nowhere");
    const library::TreeNode record = render::recordOfTarget(*target);
    render::NavigationHistory history;
    CapturedView view;
    FixedSearch search(ctx.args.value("--search"));
    render::PageRenderer renderer({db, library::withTrailingSeparator(ide), ideSettings(ide).classified != 0},
                                  history, view, search);
    if (!renderer.RenderPage(record)) failure("the page of " + link + " has nothing to show");
    ctx.out << view.html;
    return kExitOk;
}

// Words are looked up in the libraries when --ide names a folder, else nowhere.
class NoLookup : public render::WordLookup {
public:
    std::optional<render::WordTarget> find(std::string_view) override { return std::nullopt; }
};

int highlightCommand(Context& ctx) {
    const std::string code((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    const render::CodeMode mode = ctx.args.has("--plain") ? render::CodeMode::Plain : render::CodeMode::Numbered;
    const std::string keyword = ctx.args.value("--keyword");
    if (ctx.args.value("--ide").empty()) {
        NoLookup none;
        ctx.out << render::HighlightCode(code, keyword, mode, none) << '\n';
        return kExitOk;
    }
    library::SqliteHostDb db;
    openBothLibraries(db, ideFolder(ctx));
    render::LibraryWordLookup lookup(db);
    ctx.out << render::HighlightCode(code, keyword, mode, lookup) << '\n';
    return kExitOk;
}

}  // namespace

std::vector<Command> renderCommands() {
    return {
        {"render", "render LINK [--search WORD]", "print the page a link (k015, r12, y07, s03, tPRINT, c05,x) shows",
         1, 1, renderCommand, {"--search"}},
        {"highlight", "highlight [--keyword K] [--plain]", "highlight code from standard input as HTML", 0, 0,
         highlightCommand, {"--keyword"}},
    };
}

}  // namespace orv::cli
