// orvhelp's subcommands: each a row of one table, so usage text and dispatch agree.
#pragma once

#include "cli/arguments.h"

#include <iosfwd>
#include <string>

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

// Runs a whole command line (without the program name) and returns the exit status.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace orv::cli
