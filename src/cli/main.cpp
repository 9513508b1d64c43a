// orvhelp: the command-line face of the help library's core.
#include "cli/commands.h"

#include "os/os.h"

#include <iostream>

int main(int argc, char** argv) {
    return orv::cli::run(orv::os::commandLineArguments(argc, argv), std::cout, std::cerr);
}
