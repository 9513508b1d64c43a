// Dispatch of orvhelp's subcommands: one table made of every subsystem's list.
#include "cli/commands.h"

#include "cli/command.h"

#include <algorithm>
#include <ostream>

namespace orv::cli {

namespace {

std::vector<Command> allCommands() {
    std::vector<Command> all;
    for (auto list : {libraryCommands, renderCommands, syncCommands, serverCommands, toolsCommands,
                      indexCommands, treeCommands, catalogueCommands, editorCommands}) {
        std::vector<Command> more = list();
        all.insert(all.end(), more.begin(), more.end());
    }
    return all;
}

void printHelp(std::ostream& out, const std::vector<Command>& commands) {
    out << "usage: orvhelp [--ide DIR] COMMAND [ARGS...]\n\n"
           "Options may stand before or after the command.\n"
           "  --ide DIR   the IDE folder (Settings\\PubHelp.db, Private\\PriHelp.db, Settings\\orv.ini)\n"
           "  --help      this text\n\n"
           "Commands:\n";
    for (const Command& c : commands) {
        std::string usage = c.usage;
        usage.resize(std::max<size_t>(usage.size() + 2, 24), ' ');
        out << "  " << usage << c.summary << '\n';
    }
    out << "\nExit status: 0 success, 1 failure, 2 bad usage.\n";
}

}  // namespace

int run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    const std::vector<Command> commands = allCommands();
    std::vector<std::string> valueOptions{"--ide"};
    for (const Command& c : commands) valueOptions.insert(valueOptions.end(), c.valueOptions.begin(), c.valueOptions.end());
    Arguments args;
    std::string error;
    if (!parseArguments(argv, valueOptions, args, error)) {
        err << "orvhelp: " << error << '\n';
        return kExitUsage;
    }
    if (args.has("--help") || (args.command.empty() && args.values.empty() && args.flags.empty())) {
        printHelp(out, commands);
        return args.has("--help") ? kExitOk : kExitUsage;
    }
    if (args.command.empty()) {
        err << "orvhelp: no command given (see orvhelp --help)\n";
        return kExitUsage;
    }
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const Command& c) { return args.command == c.name; });
    if (it == commands.end()) {
        err << "orvhelp: unknown command \"" << args.command << "\" (see orvhelp --help)\n";
        return kExitUsage;
    }
    if (args.positional.size() < it->minArgs || args.positional.size() > it->maxArgs) {
        err << "orvhelp: usage: orvhelp " << it->usage << '\n';
        return kExitUsage;
    }
    Context ctx{args, out, err};
    try {
        return it->handler(ctx);
    } catch (const CommandError& e) {
        err << "orvhelp: " << e.message << '\n';
        return e.exitCode;
    }
}

}  // namespace orv::cli
