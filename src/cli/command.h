// One orvhelp subcommand, and the helpers every subcommand uses to read its arguments
// and reach the IDE folder. Each subsystem lists its subcommands in a file of its own.
#pragma once

#include "cli/arguments.h"
#include "library/prompt.h"
#include "library/settings.h"
#include "library/sqlite_host_db.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace orv::cli {

enum ExitCode : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// Thrown inside a command for bad usage (exit 2) or a failure (exit 1); caught by run().
struct CommandError {
    int exitCode;
    std::string message;
};

struct Context {
    const Arguments& args;
    std::ostream& out;
    std::ostream& err;
};

struct Command {
    const char* name;
    const char* usage;    // "descendants LIB DID"
    const char* summary;  // one line for --help
    size_t minArgs;
    size_t maxArgs;
    std::function<int(Context&)> handler;
    std::vector<std::string> valueOptions = {};  // options of this command that take a value
};

[[noreturn]] void usageError(const std::string& message);
[[noreturn]] void failure(const std::string& message);

// The IDE folder named by --ide; it must exist.
std::string ideFolder(const Context& ctx);
// A whole non-negative number, or a usage error naming `what`.
long long numberArgument(const std::string& text, const char* what);
// 0 (public) or 1 (private), or a usage error.
int libraryArgument(const std::string& text);
// Opens one library file of the IDE folder as it is, creating and changing nothing;
// a missing or damaged file is a failure.
void openLibrary(library::SqliteHostDb& db, const std::string& ide, int lib);
// Both libraries of the IDE folder, as the help window sees them.
void openBothLibraries(library::SqliteHostDb& db, const std::string& ide);
// The settings of the IDE folder, defaults filled in.
library::Settings ideSettings(const std::string& ide);
// A value printed on one line: its line breaks (CR LF or LF) shown as "\n".
std::string onOneLine(std::string text);

// Messages meant for a message box, as console lines: information on the command's
// output, the rest on its error stream. Questions keep their default answer, No.
class ConsolePrompter : public library::Prompter {
public:
    explicit ConsolePrompter(Context& ctx) : ctx_(ctx) {}
    void message(std::string_view text, library::MessageKind kind) override;
    bool ask(std::string_view) override { return false; }
    bool shown() const { return shown_; }

private:
    Context& ctx_;
    bool shown_ = false;
};

// The subcommands of each subsystem.
std::vector<Command> libraryCommands();
std::vector<Command> syncCommands();
std::vector<Command> renderCommands();
std::vector<Command> toolsCommands();
std::vector<Command> treeCommands();
std::vector<Command> indexCommands();
std::vector<Command> catalogueCommands();
std::vector<Command> serverCommands();
std::vector<Command> editorCommands();

}  // namespace orv::cli
