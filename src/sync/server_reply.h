// Reading the sync server's replies: the frame around the payload, and the error words
// that turn a reply into a message for the user.
#pragma once

#include "library/prompt.h"

#include <functional>
#include <string>
#include <string_view>

namespace orv::sync {

// The payload sits between the first two occurrences of this marker.
inline constexpr std::string_view kReplyMarker = "澄岭";
// Every reply that is not an error carries this.
inline constexpr std::string_view kGoodReplySign = "//chengling//";

// The text between the first and the second marker; "" when either is missing.
std::string replyPayload(std::string_view reply);

// The message a reply calls for, "" for a good reply. The first matching row of the
// error table decides; an empty reply (time-out, no connection, stopped) is a failure
// to communicate.
std::string serverReplyMessage(std::string_view reply);

// 0 for a good reply. Otherwise shows the message as an error, calls `openSetup` (when
// set) so that the user can correct the account, and returns -1.
int CheckServerReply(library::Prompter& prompter, std::string_view reply,
                     const std::function<void()>& openSetup = {});

}  // namespace orv::sync
