// orvhelp's subcommands for keeping in step with the server: the wire packing, and
// replaying a change on the public library of an IDE folder.
#include "cli/command.h"

#include "library/change_log.h"
#include "library/schema.h"
#include "library/udate.h"
#include "sync/wire_packing.h"

#include <ostream>

namespace orv::cli {
namespace {

int digestCommand(Context& ctx) {
    ctx.out << sync::PasswordDigest(ctx.args.positional[0]) << '\n';
    return kExitOk;
}

int scrambleCommand(Context& ctx) {
    const std::string digitText = ctx.args.value("--digit");
    if (digitText.empty()) {
        ctx.out << sync::ScrambleText(ctx.args.positional[0]) << '\n';
        return kExitOk;
    }
    if (digitText.size() != 1 || digitText[0] < '1' || digitText[0] > '9')
        usageError("--digit must be one digit from 1 to 9, not \"" + digitText + "\"");
    const int digit = digitText[0] - '0';
    ctx.out << sync::ScrambleText(ctx.args.positional[0], [digit] { return digit; }) << '\n';
    return kExitOk;
}

int unscrambleCommand(Context& ctx) {
    const std::optional<std::string> text = sync::tryUnscrambleText(ctx.args.positional[0]);
    if (!text) failure("not packed text, or its check characters do not match");
    ctx.out << *text << '\n';
    return kExitOk;
}

int applyCommand(Context& ctx) {
    const auto& p = ctx.args.positional;
    const long long code = numberArgument(p[0], "CODE");
    long long target = numberArgument(p[1], "TARGET");
    const std::string userId = ctx.args.value("--user-id", "0");
    const long long uID = numberArgument(userId, "--user-id");
    const std::string dateText = ctx.args.value("--date");
    const long long date = dateText.empty() ? library::uDateNow() : numberArgument(dateText, "--date");
    const std::string ide = ideFolder(ctx);
    library::SqliteHostDb db;
    openLibrary(db, ide, library::kPublic);
    const long long result =
        library::ApplyChange(db, library::kPublic, code, target, p[2], uID, ctx.args.value("--user-name"), date);
    ctx.out << result << '\n';
    if (code == library::kNewEntry) ctx.out << target << '\n';
    if (result == 0) failure("the change was not applied (malformed body, unknown code or nothing to change)");
    return kExitOk;
}

}  // namespace

std::vector<Command> syncCommands() {
    return {
        {"digest", "digest PASSWORD", "print the password digest the settings keep", 1, 1, digestCommand},
        {"scramble", "scramble TEXT [--digit N]", "pack text for the server wire (N from 1 to 9, else random)",
         1, 1, scrambleCommand, {"--digit"}},
        {"unscramble", "unscramble TEXT", "unpack text from the server wire (exit 1 on a failed check)", 1, 1,
         unscrambleCommand},
        {"apply",
         "apply CODE TARGET BODY [--user-id N --user-name S --date D]",
         "carry out a change on the public library of --ide; prints the result (and the new kID for code 2)",
         3, 3, applyCommand, {"--user-id", "--user-name", "--date"}},
    };
}

}  // namespace orv::cli
