// The command line of orvhelp: a subcommand, its positional arguments and options that
// may stand anywhere on the line.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace orv::cli {

struct Arguments {
    std::string command;                        // "" when none was given
    std::vector<std::string> positional;        // after the command
    std::map<std::string, std::string> values;  // "--ide" -> "DIR"
    std::vector<std::string> flags;             // "--help", "--plain"

    bool has(const std::string& flag) const;
    std::string value(const std::string& option, const std::string& fallback = "") const;
};

// Options that take a value; every other "--x" is a flag. On a malformed line returns
// false with a one-line `error`.
bool parseArguments(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                    Arguments& out, std::string& error);

}  // namespace orv::cli
