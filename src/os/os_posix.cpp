// The native build's side of the operating-system differences: paths and arguments are
// UTF-8 bytes already.
#include "os/os.h"

#include <unistd.h>

namespace orv::os {

std::filesystem::path pathFromUtf8(std::string_view utf8) { return std::filesystem::path(std::string(utf8)); }

std::string utf8FromPath(const std::filesystem::path& path) { return path.string(); }

std::tm localTime(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

bool isTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace orv::os
