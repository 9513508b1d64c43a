// Helpers shared by orvhelp's subcommands.
#include "cli/command.h"

#include "library/fragment.h"
#include "library/paths.h"
#include "library/schema.h"

#include <filesystem>
#include <ostream>

namespace orv::cli {

void usageError(const std::string& message) { throw CommandError{kExitUsage, message}; }
void failure(const std::string& message) { throw CommandError{kExitFailure, message}; }

std::string ideFolder(const Context& ctx) {
    const std::string dir = ctx.args.value("--ide");
    if (dir.empty()) usageError("this command needs --ide DIR (the IDE folder)");
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::u8path(dir), ec))
        failure("the IDE folder " + dir + " does not exist");
    return dir;
}

long long numberArgument(const std::string& text, const char* what) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        usageError(std::string(what) + " must be a whole number, not \"" + text + "\"");
    return library::toInt(text);
}

int libraryArgument(const std::string& text) {
    if (text != "0" && text != "1") usageError("LIB must be 0 (public) or 1 (private), not \"" + text + "\"");
    return text == "0" ? library::kPublic : library::kPrivate;
}

void openLibrary(library::SqliteHostDb& db, const std::string& ide, int lib) {
    const std::string path =
        library::ideFile(ide, lib == library::kPublic ? library::kPublicFile : library::kPrivateFile);
    std::string error;
    if (!db.open(lib, path, library::OpenMode::ExistingOnly, error)) failure(error);
}

void openBothLibraries(library::SqliteHostDb& db, const std::string& ide) {
    openLibrary(db, ide, library::kPublic);
    openLibrary(db, ide, library::kPrivate);
}

library::Settings ideSettings(const std::string& ide) {
    return library::readSettings(*library::makeSettingsStore(library::ideFile(ide, library::kSettingsFile)));
}

std::string onOneLine(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\\n");
    for (size_t at; (at = text.find('\n')) != std::string::npos;) text.replace(at, 1, "\\n");
    return text;
}

void ConsolePrompter::message(std::string_view text, library::MessageKind kind) {
    std::string line;
    for (char c : text)
        if (c != '\r') line += c;
    (kind == library::MessageKind::Information ? ctx_.out : ctx_.err) << line << '\n';
    shown_ = true;
}

}  // namespace orv::cli
