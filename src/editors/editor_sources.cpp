// The account test, the author and the number fields both editors share.
#include "editors/editor_sources.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "sync/server_reply.h"
#include "text/ascii.h"

namespace orv::editors {

bool editingAllowed(sync::ServerSession& session, int lib, bool serverKeepsNoCopy) {
    if (lib != library::kPublic || serverKeepsNoCopy || session.settings.freeChanges()) return true;
    const int remaining = sync::TestLogin(session, false);
    // The account test itself is silent; an editor that does not open says why.
    if (remaining == 0)
        session.prompter.message(std::string(sync::kNoChangesLeft) + "\r\n\r\n" + std::string(sync::kAccountLevels),
                                 library::MessageKind::Information);
    return remaining >= 1;
}

Author currentAuthor(const EditorSources& s) {
    Author author{library::recordedUserName(s.session.settings.user), 0};
    if (!author.name.empty())
        author.uID = library::toInt(s.db.findOnly(library::kPublic, library::tables::User,
                                                  "uName=" + library::quoteText(author.name), "uID", ""));
    return author;
}

std::optional<long long> fieldInteger(std::string_view text) {
    const std::string_view t = text::trimBlanks(text);
    size_t digits = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    if (t.size() == digits || t.size() - digits > 18) return std::nullopt;
    for (size_t i = digits; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return std::nullopt;
    return library::toInt(t);
}

}  // namespace orv::editors
