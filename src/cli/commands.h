// Running orvhelp's command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orv::cli {

// Runs a whole command line (without the program name) and returns the exit status.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace orv::cli
