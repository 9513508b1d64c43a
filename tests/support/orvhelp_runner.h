// Runs orvhelp's command line in-process and keeps what it printed.
#pragma once

#include "cli/commands.h"

#include <sstream>
#include <string>
#include <vector>

namespace orv::test {

struct OrvhelpResult {
    int status;
    std::string out, err;
};

inline OrvhelpResult orvhelp(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace orv::test
