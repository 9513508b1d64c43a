// What differs between Windows and the native build, decided here and nowhere else:
// the path separator, file paths from UTF-8, the local clock and the console of the
// command-line tool. Each build compiles one implementation file (see src/CMakeLists.txt).
#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orv::os {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A file path from UTF-8 text, keeping every character the platform's paths can hold.
std::filesystem::path pathFromUtf8(std::string_view utf8);
// A path back as UTF-8 text.
std::string utf8FromPath(const std::filesystem::path& path);

// The local calendar time of `when`.
std::tm localTime(std::time_t when);

// True when the stream is an interactive terminal.
bool isTerminal(std::FILE* stream);
// The program's arguments (without the program name) as UTF-8.
std::vector<std::string> commandLineArguments(int argc, char** argv);

}  // namespace orv::os
